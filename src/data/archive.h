// The ".saf" archive format: reading and checking a header, and writing archives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct VFile;

// One member as listed in an archive header.
struct ArchiveMember {
    std::string name; // "/"-separated, runs of "/" collapsed
    int64_t offset;   // first byte of the data, from the start of the archive
    int64_t size;     // bytes of data
};

// Longest header line, line feed included.
const int kArchiveLineMax = 1023;

// Reads the header at the start of vf; archive_size is the archive's length. The header
// is valid when every line ends in a line feed, the "-" line ends it, and every member
// has a size of zero or more and lies inside the archive. 1 when valid; 0 leaves
// members empty. header_length (may be 0) receives the header's byte count.
int archive_read_header(VFile *vf, int64_t archive_size, std::vector<ArchiveMember> *members,
                        int64_t *header_length);
// The same for a real file; archive_size (may be 0) receives its length.
int archive_read_file(const char *path, std::vector<ArchiveMember> *members, int64_t *header_length,
                      int64_t *archive_size);

// Header text for members of these names and sizes (offsets are not used). 0 when a
// name cannot be stored: empty, holding a line feed or NUL, or making a line too long.
int archive_format_header(const std::vector<ArchiveMember> &members, std::string *header);

// One member to pack: its name and the caller's bytes.
struct ArchiveInput {
    std::string name;
    const void *data;
    size_t size;
};
// The whole archive in memory. 0 when a name cannot be stored.
int archive_pack(const std::vector<ArchiveInput> &inputs, std::vector<uint8_t> *out);

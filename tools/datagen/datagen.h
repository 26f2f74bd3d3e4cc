// The data generator's shared record and file helpers: every generated file goes
// through these so that runs are byte-identical.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DataMember {
    std::string name;          // name inside the archive, "/"-separated
    std::vector<uint8_t> data; // the member's bytes
};

struct DataOut {
    std::string dir;                 // the ready-to-run folder, ending in "/"
    std::vector<DataMember> archive; // members of "zzzz.saf", in the order added
    int failed = 0;                  // set when any write failed
};

// Writes dir + rel, creating folders along the way. Records failure in out.
void write_data_file(DataOut *out, const std::string &rel, const void *data, size_t n);
void write_data_file(DataOut *out, const std::string &rel, const std::string &text);
// Adds a member to the game's own archive.
void add_archive_member(DataOut *out, const std::string &name, std::vector<uint8_t> data);
// gzip-compresses with fixed header fields (no time stamp), so output is reproducible.
std::vector<uint8_t> gzip_bytes(const void *data, size_t n);

// Generators, one per kind of data; each writes into out.
void generate_tracks(DataOut *out);
void generate_shapes(DataOut *out); // the bikes' collision shapes, into the archive
void generate_archive(DataOut *out); // packs out->archive as "zzzz.saf"; runs last

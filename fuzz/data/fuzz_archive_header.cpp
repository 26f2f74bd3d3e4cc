// Fuzz target: any bytes as a ".saf" archive. A valid header must place every member
// inside the data; reading members through their handles must stay inside them.
#include "data/archive.h"
#include "data/vfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    VFile *vf = vfile_open_memory(data, size, 0);
    std::vector<ArchiveMember> members;
    int64_t header = 0;
    int ok = archive_read_header(vf, (int64_t)size, &members, &header);
    vfile_close(vf);
    if (!ok) {
        if (!members.empty()) abort();
        return 0;
    }
    int64_t at = header;
    for (const ArchiveMember &m : members) {
        if (m.size < 0 || m.offset != at || m.offset + m.size > (int64_t)size || m.name.empty())
            abort();
        at += m.size;
        // Members as the index opens them: uncompressed within their bounds, or as gzip.
        VFile *part = vfile_open_memory(data + m.offset, (size_t)m.size, 1);
        uint8_t buf[512];
        size_t total = 0, n;
        while (part && (n = vfile_read(part, buf, sizeof buf)) > 0 && total < (1u << 20))
            total += n;
        vfile_close(part);
    }
    std::string text;
    if (!archive_format_header(members, &text)) abort(); // what was read can be written
    return 0;
}

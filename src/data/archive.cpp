// ".saf" archive headers: the strict reader used by the file index and the tools, and
// the writer used by the data generator and skarvex-saf.
#include "data/archive.h"
#include "data/vfile.h"
#include "data/vfile_internal.h"

#include <cstring>
#include <sys/stat.h>

static int is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one header line into line (line feed dropped). 0 when the data ends or the line
// limit is reached before a line feed.
static int read_header_line(VFile *vf, std::string *line, int64_t *consumed) {
    line->clear();
    for (int n = 0; n < kArchiveLineMax; n++) {
        int c = vfile_getc(vf);
        if (c < 0) return 0;
        (*consumed)++;
        if (c == '\n') return 1;
        *line += (char)c;
    }
    return 0;
}

// Parses "<count><separator><name>". 0 when the line is not a member line.
static int parse_member_line(const std::string &line, int64_t archive_size, ArchiveMember *m) {
    size_t i = 0;
    while (i < line.size() && is_blank((unsigned char)line[i])) i++;
    int negative = 0;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
    size_t digits = i;
    int64_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; i++)
        // Once past the archive size the value only has to stay past it.
        if (value <= archive_size && value < INT64_MAX / 10) value = value * 10 + (line[i] - '0');
    if (i == digits) return 0;
    if (negative && value != 0) return 0;
    if (i + 1 >= line.size()) return 0; // the separator and at least one name character
    std::string name = normalise_path(line.substr(i + 1));
    if (memchr(name.data(), 0, name.size())) return 0;
    m->name = name;
    m->size = value;
    m->offset = 0;
    return 1;
}

int archive_read_header(VFile *vf, int64_t archive_size, std::vector<ArchiveMember> *members,
                        int64_t *header_length) {
    members->clear();
    std::string line;
    int64_t consumed = 0;
    for (;;) {
        if (!read_header_line(vf, &line, &consumed)) break;
        if (line == "-") {
            int64_t at = consumed;
            for (ArchiveMember &m : *members) {
                if (m.size > archive_size - at) {
                    members->clear();
                    return 0;
                }
                m.offset = at;
                at += m.size;
            }
            if (header_length) *header_length = consumed;
            return 1;
        }
        ArchiveMember m;
        if (!parse_member_line(line, archive_size, &m)) break;
        members->push_back(m);
    }
    members->clear();
    return 0;
}

int archive_read_file(const char *path, std::vector<ArchiveMember> *members, int64_t *header_length,
                      int64_t *archive_size) {
    members->clear();
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    VFile *vf = vfile_open_part(path, 0, (long long)st.st_size, 0);
    if (!vf) return 0;
    int ok = archive_read_header(vf, (int64_t)st.st_size, members, header_length);
    vfile_close(vf);
    if (archive_size) *archive_size = (int64_t)st.st_size;
    return ok;
}

int archive_format_header(const std::vector<ArchiveMember> &members, std::string *header) {
    header->clear();
    for (const ArchiveMember &m : members) {
        std::string name = normalise_path(m.name);
        if (name.empty() || m.size < 0 || name.find('\n') != std::string::npos ||
            memchr(name.data(), 0, name.size()))
            return 0;
        std::string line = std::to_string(m.size) + " " + name + "\n";
        if (line.size() > (size_t)kArchiveLineMax) return 0;
        *header += line;
    }
    *header += "-\n";
    return 1;
}

int archive_pack(const std::vector<ArchiveInput> &inputs, std::vector<uint8_t> *out) {
    std::vector<ArchiveMember> members;
    size_t total = 0;
    for (const ArchiveInput &in : inputs) {
        members.push_back(ArchiveMember{in.name, 0, (int64_t)in.size});
        total += in.size;
    }
    std::string header;
    if (!archive_format_header(members, &header)) return 0;
    out->clear();
    out->reserve(header.size() + total);
    out->insert(out->end(), header.begin(), header.end());
    for (const ArchiveInput &in : inputs) {
        const uint8_t *p = (const uint8_t *)in.data;
        out->insert(out->end(), p, p + in.size);
    }
    return 1;
}

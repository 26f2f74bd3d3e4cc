// File writing and gzip helpers of the data generator.
#include "datagen.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <zlib.h>

static void make_parent_folders(const std::string &path) {
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

void write_data_file(DataOut *out, const std::string &rel, const void *data, size_t n) {
    std::string path = out->dir + rel;
    make_parent_folders(path);
    FILE *f = fopen(path.c_str(), "wb");
    if (!f || fwrite(data, 1, n, f) != n) {
        fprintf(stderr, "skarvex-datagen: can't write '%s'\n", path.c_str());
        out->failed = 1;
    }
    if (f && fclose(f) != 0) out->failed = 1;
}

void write_data_file(DataOut *out, const std::string &rel, const std::string &text) {
    write_data_file(out, rel, text.data(), text.size());
}

void add_archive_member(DataOut *out, const std::string &name, std::vector<uint8_t> data) {
    out->archive.push_back(DataMember{name, std::move(data)});
}

std::vector<uint8_t> gzip_bytes(const void *data, size_t n) {
    z_stream zs;
    memset(&zs, 0, sizeof zs);
    std::vector<uint8_t> res;
    // windowBits 15 + 16 asks zlib for a gzip wrapper; its header has no time stamp
    // and OS byte 3 unless set, which keeps the output reproducible.
    if (deflateInit2(&zs, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK) return res;
    gz_header head;
    memset(&head, 0, sizeof head);
    head.os = 3;
    deflateSetHeader(&zs, &head);
    res.resize(deflateBound(&zs, n) + 64);
    zs.next_in = (Bytef *)data;
    zs.avail_in = (uInt)n;
    zs.next_out = res.data();
    zs.avail_out = (uInt)res.size();
    deflate(&zs, Z_FINISH);
    res.resize(zs.total_out);
    deflateEnd(&zs);
    return res;
}

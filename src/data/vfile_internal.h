// The VFile record and the path helpers shared by the virtual-file sources of sk_data.
#pragma once
#include "data/vfile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <zlib.h>

// Longest path formed from a search folder and a virtual name.
const int kVirtualPathMax = 511;
// Longest real path opened, suffixes (".gz", backup numbers) included.
const int kRealPathMax = 1023;
// Gzip decoding buffers: compressed input per read, decoded output window.
const int kGzipInputSize = 16384;
const int kGzipWindowSize = 1024;
const int64_t kUnlimited = INT64_MAX;

// Decoder state of a compressed handle; owned by its VFile.
struct GzipState {
    z_stream zs;                   // raw-deflate decoder
    uint8_t input[kGzipInputSize]; // compressed bytes read but not yet decoded
    uint8_t window[kGzipWindowSize];
    int window_pos; // next byte of window to deliver
    int window_len; // bytes of window holding decoded data
    int64_t budget; // compressed bytes that may still be read from the source
    int64_t taken;  // compressed bytes read from the source so far
    int input_done; // the source has no more compressed bytes
    int ended;      // the decoder reached the end, an error or a stall
};

struct VFile {
    FILE *file;         // the open container, or 0 for a memory handle
    const uint8_t *mem; // memory source (caller's buffer), or 0
    int64_t mem_size;   // bytes of the memory source
    int64_t base;       // offset of the data in the container
    int64_t limit;      // bytes that may be taken from the source (kUnlimited for streams)
    int64_t position;   // bytes taken from the source, lookahead included
    int lookahead;      // byte taken but not delivered, or -1
    int writable;       // opened with a write mode
    GzipState *gz;      // decoder for a gzip stream, else 0
};

// "\\" to "/" and runs of "/" collapsed to one.
std::string normalise_path(const std::string &path);
// Creates every directory along path (each prefix ending before a "/").
void make_parent_folders(const std::string &path);

// Opens path[offset, offset + size) as a read handle (size kUnlimited: to the end);
// compressed streams draw at most size compressed bytes.
VFile *vfile_open_container(const std::string &path, int64_t offset, int64_t size, int compressed,
                            int whole_file);
// The real-path open of a virtual lookup or a plain path.
VFile *vfile_open_real(const std::string &path, const char *mode);

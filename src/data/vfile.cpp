// VFile handles: real-path opens with backups and ".gz" twins, gzip decoding, and the
// byte, line, block and write calls.
#include "data/vfile_internal.h"
#include "platform/fatal.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

std::string normalise_path(const std::string &path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

void make_parent_folders(const std::string &path) {
    if (path.size() > (size_t)kRealPathMax) return;
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0777);
}

static VFile *new_handle(FILE *file, const uint8_t *mem, int64_t base, int64_t limit,
                         int writable) {
    VFile *vf = new VFile;
    vf->file = file;
    vf->mem = mem;
    vf->mem_size = 0;
    vf->base = base;
    vf->limit = limit;
    vf->position = 0;
    vf->lookahead = -1;
    vf->writable = writable;
    vf->gz = nullptr;
    return vf;
}

// ---- gzip streams ----

// Length of the gzip header at the start of b[0, n), every field bounded by the bytes
// present. 0 when the header is not valid or not complete within n.
static int gzip_header_length(const uint8_t *b, size_t n, size_t *length) {
    if (n < 10 || b[0] != 0x1f || b[1] != 0x8b || b[2] != 8 || b[3] >= 32) return 0;
    const int flags = b[3];
    size_t p = 10; // magic, method, flags, time, extra flags, operating system
    if (flags & 4) {
        if (n - p < 2) return 0;
        size_t extra = b[p] | (size_t)b[p + 1] << 8;
        p += 2;
        if (n - p < extra) return 0;
        p += extra;
    }
    for (int bit : {8, 16}) { // name, then comment: NUL-terminated
        if (!(flags & bit)) continue;
        const void *nul = memchr(b + p, 0, n - p);
        if (!nul) return 0;
        p = (size_t)((const uint8_t *)nul - b) + 1;
    }
    if (flags & 2) {
        if (n - p < 2) return 0;
        p += 2;
    }
    *length = p;
    return 1;
}

// Reads up to n compressed bytes within the stream's budget.
static size_t gzip_source_read(VFile *vf, uint8_t *buf, size_t n) {
    GzipState *g = vf->gz;
    if ((int64_t)n > g->budget) n = (size_t)g->budget;
    size_t got = 0;
    if (vf->mem) {
        size_t left = (size_t)(vf->mem_size - g->taken);
        got = std::min(n, left);
        memcpy(buf, vf->mem + g->taken, got);
    } else if (n > 0) {
        got = fread(buf, 1, n, vf->file);
    }
    g->taken += (int64_t)got;
    g->budget -= (int64_t)got;
    if (got < n || g->budget == 0) g->input_done = 1;
    return got;
}

static int gzip_start(VFile *vf, int64_t budget) {
    GzipState *g = new GzipState;
    memset(&g->zs, 0, sizeof g->zs);
    g->window_pos = g->window_len = 0;
    g->budget = budget;
    g->taken = 0;
    g->input_done = 0;
    g->ended = 0;
    vf->gz = g;
    size_t got = gzip_source_read(vf, g->input, sizeof g->input);
    size_t header = 0;
    if (!gzip_header_length(g->input, got, &header)) return 0;
    g->zs.next_in = g->input + header;
    g->zs.avail_in = (uInt)(got - header);
    int rc = inflateInit2(&g->zs, -15);
    if (rc == Z_MEM_ERROR) fatal_out_of_memory();
    if (rc != Z_OK) return 0;
    return 1;
}

// Decodes into the emptied window; 0 when no byte could be decoded (the data ends).
static int gzip_refill(VFile *vf) {
    GzipState *g = vf->gz;
    g->window_pos = g->window_len = 0;
    if (g->ended) return 0;
    g->zs.next_out = g->window;
    g->zs.avail_out = sizeof g->window;
    while (g->zs.avail_out > 0) {
        if (g->zs.avail_in == 0 && !g->input_done) {
            g->zs.avail_in = (uInt)gzip_source_read(vf, g->input, sizeof g->input);
            g->zs.next_in = g->input;
        }
        uInt in_before = g->zs.avail_in, out_before = g->zs.avail_out;
        int rc = inflate(&g->zs, Z_NO_FLUSH);
        if (rc == Z_MEM_ERROR) fatal_out_of_memory();
        if (rc == Z_STREAM_END || (rc != Z_OK && rc != Z_BUF_ERROR)) {
            g->ended = 1; // the end, or corrupt data: what was decoded is still delivered
            break;
        }
        int progress = g->zs.avail_in != in_before || g->zs.avail_out != out_before;
        // Without progress and without more input to offer the stream is truncated.
        if (!progress && (g->input_done || g->zs.avail_in > 0)) {
            g->ended = 1;
            break;
        }
    }
    g->window_len = (int)(sizeof g->window - g->zs.avail_out);
    return g->window_len > 0;
}

static void free_handle(VFile *vf) {
    if (vf->gz) {
        inflateEnd(&vf->gz->zs);
        delete vf->gz;
    }
    if (vf->file) fclose(vf->file);
    delete vf;
}

VFile *vfile_open_container(const std::string &path, int64_t offset, int64_t size, int compressed,
                            int whole_file) {
    if (offset < 0 || size < 0) return nullptr;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    if (offset > 0 && fseeko(f, (off_t)offset, SEEK_SET) != 0) {
        fclose(f);
        return nullptr;
    }
    int64_t span = whole_file ? kUnlimited : size;
    VFile *vf = new_handle(f, nullptr, offset, compressed ? kUnlimited : span, 0);
    if (compressed && !gzip_start(vf, span)) {
        free_handle(vf);
        return nullptr;
    }
    return vf;
}

VFile *vfile_open_part(const char *container, long long offset, long long size, int compressed) {
    if (!container) return nullptr;
    return vfile_open_container(container, offset, size, compressed, 0);
}

VFile *vfile_open_memory(const void *data, size_t n, int compressed) {
    if (!data && n) return nullptr;
    VFile *vf =
        new_handle(nullptr, (const uint8_t *)data, 0, compressed ? kUnlimited : (int64_t)n, 0);
    vf->mem_size = (int64_t)n;
    if (compressed && !gzip_start(vf, (int64_t)n)) {
        free_handle(vf);
        return nullptr;
    }
    return vf;
}

// ---- real paths ----

static int mode_is_valid(const char *mode) {
    return mode[0] == 'r' || mode[0] == 'w' || mode[0] == 'a';
}

static int mode_is_read_only(const char *mode) {
    return strchr(mode, 'r') && !strchr(mode, '+');
}

// Copies path to the first free "path.~N~"; 1 when done or when there is nothing to copy.
static int backup_file(const std::string &path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 1;
    std::string name;
    int n = 1;
    for (; n <= 9999; n++) {
        name = path + ".~" + std::to_string(n) + "~";
        if (name.size() > (size_t)kRealPathMax) return 0;
        if (lstat(name.c_str(), &st) != 0) break;
    }
    if (n > 9999) return 0;
    FILE *in = fopen(path.c_str(), "rb");
    if (!in) return 0;
    FILE *out = fopen(name.c_str(), "wbx"); // never replaces a file that appeared meanwhile
    if (!out) {
        fclose(in);
        return 0;
    }
    static char piece[65536];
    int ok = 1;
    size_t got;
    while ((got = fread(piece, 1, sizeof piece, in)) > 0)
        if (fwrite(piece, 1, got, out) != got) ok = 0;
    if (ferror(in)) ok = 0;
    fclose(in);
    if (fclose(out) != 0) ok = 0;
    if (!ok) remove(name.c_str());
    return ok;
}

VFile *vfile_open_real(const std::string &path, const char *mode) {
    int backup = mode[0] == '~';
    if (backup) mode++;
    if (!mode_is_valid(mode) || path.empty() || path.size() > (size_t)kRealPathMax) return nullptr;
    int read_only = mode_is_read_only(mode);
    if (!read_only) {
        make_parent_folders(path);
        if (backup && !backup_file(path)) return nullptr;
    }
    FILE *f = fopen(path.c_str(), mode);
    if (f && read_only) {
        struct stat st;
        if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
            fclose(f);
            f = nullptr;
        }
    }
    if (f) return new_handle(f, nullptr, 0, kUnlimited, !read_only);
    if (!read_only || path.size() + 3 > (size_t)kRealPathMax) return nullptr;
    return vfile_open_container(path + ".gz", 0, 0, 1, 1);
}

void vfile_close(VFile *vf) {
    if (vf) free_handle(vf);
}

// ---- reading ----

// Takes one byte from the source (the lookahead aside), or -1.
static inline int source_byte(VFile *vf) {
    if (vf->gz) {
        GzipState *g = vf->gz;
        if (g->window_pos >= g->window_len && !gzip_refill(vf)) return -1;
        vf->position++;
        return g->window[g->window_pos++];
    }
    if (vf->position >= vf->limit) return -1;
    int c = vf->mem ? vf->mem[vf->position] : getc_unlocked(vf->file);
    if (c >= 0) vf->position++;
    return c;
}

int vfile_getc(VFile *vf) {
    if (vf->lookahead >= 0) {
        int c = vf->lookahead;
        vf->lookahead = -1;
        return c;
    }
    return source_byte(vf);
}

int vfile_peekc(VFile *vf) {
    if (vf->lookahead < 0) vf->lookahead = source_byte(vf);
    return vf->lookahead;
}

char *vfile_gets(VFile *vf, char *buf, int n) {
    if (!buf || n <= 0) return nullptr;
    int i = 0;
    while (i < n - 1) {
        int c = vfile_getc(vf);
        if (c < 0) break;
        buf[i++] = (char)c;
        if (c == '\n') break;
    }
    if (i == 0 && n > 1) return nullptr;
    buf[i] = 0;
    return buf;
}

size_t vfile_read(VFile *vf, void *buf, size_t n) {
    uint8_t *out = (uint8_t *)buf;
    size_t done = 0;
    if (n == 0) return 0;
    if (vf->lookahead >= 0) {
        out[done++] = (uint8_t)vf->lookahead;
        vf->lookahead = -1;
    }
    if (vf->gz) {
        GzipState *g = vf->gz;
        while (done < n) {
            if (g->window_pos >= g->window_len && !gzip_refill(vf)) break;
            size_t k = std::min(n - done, (size_t)(g->window_len - g->window_pos));
            memcpy(out + done, g->window + g->window_pos, k);
            g->window_pos += (int)k;
            vf->position += (int64_t)k;
            done += k;
        }
        return done;
    }
    int64_t left = vf->limit - vf->position;
    size_t want = std::min(n - done, (size_t)std::min<int64_t>(left, (int64_t)(SIZE_MAX / 2)));
    size_t got;
    if (vf->mem) {
        got = want;
        memcpy(out + done, vf->mem + vf->position, got);
    } else {
        got = fread(out + done, 1, want, vf->file);
    }
    vf->position += (int64_t)got;
    return done + got;
}

int vfile_seek(VFile *vf, long pos) {
    if (vf->gz || pos < 0 || (int64_t)pos >= vf->limit) return 0;
    if (vf->file && fseeko(vf->file, (off_t)(vf->base + pos), SEEK_SET) != 0) return 0;
    vf->lookahead = -1;
    vf->position = pos;
    return 1;
}

long vfile_tell(VFile *vf) {
    return (long)(vf->position - (vf->lookahead >= 0 ? 1 : 0));
}

// ---- writing ----

static FILE *write_target(VFile *vf) {
    return vf && vf->writable ? vf->file : nullptr;
}

int vfile_putc(VFile *vf, int c) {
    FILE *f = write_target(vf);
    return f && putc(c, f) != EOF ? (c & 255) : -1;
}

int vfile_puts(VFile *vf, const char *s) {
    FILE *f = write_target(vf);
    return f && fputs(s, f) >= 0;
}

size_t vfile_write(VFile *vf, const void *data, size_t n) {
    FILE *f = write_target(vf);
    return f && n ? fwrite(data, 1, n, f) : 0;
}

int vfile_printf(VFile *vf, const char *fmt, ...) {
    FILE *f = write_target(vf);
    if (!f) return -1;
    va_list ap;
    va_start(ap, fmt);
    int n = vfprintf(f, fmt, ap);
    va_end(ap);
    return n;
}

int vfile_flush(VFile *vf) {
    FILE *f = write_target(vf);
    return f && fflush(f) == 0;
}

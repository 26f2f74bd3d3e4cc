// The PPM and PGM readers: binary and text pixel data, "#" comments in the header.
#include "data/vfile.h"
#include "platform/fatal.h"
#include "render/image.h"
#include "render/image_internal.h"

#include <cstdlib>
#include <cstring>

// The reason texts of one format; the first two are the ones the texture manager shows.
struct PnmReasons {
    const char *header;     // wrong magic
    const char *dimensions; // width, height or maximum value missing
    const char *size;       // width or height out of range
    const char *maxval;     // maximum value outside 1..255
    const char *short_data; // the pixel data ends early
};

static const PnmReasons ppm_reasons = {"Can't parse PPM header", "Can't get PPM dimensions",
                                       "Bad PPM dimensions", "Bad PPM maximum value",
                                       "Short PPM pixel data"};
static const PnmReasons pgm_reasons = {"Can't parse PGM header", "Can't get PGM dimensions",
                                       "Bad PGM dimensions", "Bad PGM maximum value",
                                       "Short PGM pixel data"};

// Reads one header number, skipping white space and any "#" comment lines before it.
static int pnm_header_number(VFile *vf, int *value) {
    char mark[2];
    while (vfile_scan(vf, " %1[#]%*[^\n]", mark) == 1) {
    }
    return vfile_scan(vf, "%d", value) == 1;
}

// Binary pixel data: the buffer grows as bytes arrive, so a header that promises more than
// the file holds never costs the full allocation.
static unsigned char *pnm_read_binary(VFile *vf, unsigned long total) {
    unsigned long cap = total < (1ul << 20) ? total : (1ul << 20);
    unsigned char *buf = (unsigned char *)xmalloc(cap);
    unsigned long have = 0;
    while (have < total) {
        if (have == cap) {
            cap = cap * 2 < total ? cap * 2 : total;
            buf = (unsigned char *)xrealloc(buf, cap);
        }
        size_t got = vfile_read(vf, buf + have, cap - have);
        if (got == 0) {
            free(buf);
            return nullptr;
        }
        have += got;
    }
    return buf;
}

static unsigned char *pnm_read_text(VFile *vf, unsigned long total, int maxval) {
    unsigned long cap = total < 4096 ? total : 4096;
    unsigned char *buf = (unsigned char *)xmalloc(cap);
    for (unsigned long i = 0; i < total; i++) {
        int v;
        if (vfile_scan(vf, "%d", &v) != 1) {
            free(buf);
            return nullptr;
        }
        if (i == cap) {
            cap = cap * 2 < total ? cap * 2 : total;
            buf = (unsigned char *)xrealloc(buf, cap);
        }
        buf[i] = (unsigned char)(v < 0 ? 0 : v > maxval ? maxval : v);
    }
    return buf;
}

int read_pnm_after_magic(VFile *vf, int digit, Image *out) {
    image_init(out);
    int components = (digit == '3' || digit == '6') ? 3 : 1;
    int binary = digit == '5' || digit == '6';
    const PnmReasons &why = components == 3 ? ppm_reasons : pgm_reasons;
    if (digit != '2' && digit != '3' && digit != '5' && digit != '6') {
        image_set_error(why.header);
        return 0;
    }
    int width, height, maxval;
    if (!pnm_header_number(vf, &width) || !pnm_header_number(vf, &height) ||
        !pnm_header_number(vf, &maxval)) {
        image_set_error(why.dimensions);
        return 0;
    }
    unsigned long total = image_checked_size(width, height, components, 8);
    if (!total) {
        image_set_error(why.size);
        return 0;
    }
    if (maxval < 1 || maxval > 255) {
        image_set_error(why.maxval);
        return 0;
    }
    unsigned char *pixels;
    if (binary) {
        // Exactly one white-space byte separates the header from the data.
        pixels = vfile_getc(vf) < 0 ? nullptr : pnm_read_binary(vf, total);
    } else {
        pixels = pnm_read_text(vf, total, maxval);
    }
    if (!pixels) {
        image_set_error(why.short_data);
        return 0;
    }
    if (maxval != 255) {
        for (unsigned long i = 0; i < total; i++) {
            unsigned v = pixels[i] > maxval ? (unsigned)maxval : pixels[i];
            pixels[i] = (unsigned char)(v * 255 / (unsigned)maxval);
        }
    }
    out->pixels = pixels;
    out->width = width;
    out->height = height;
    out->components = components;
    return 1;
}

// Takes the two magic bytes and checks that they name one of the accepted digits.
static int pnm_read_magic(VFile *vf, const char *digits, const char *reason, int *digit) {
    int p = vfile_getc(vf);
    int d = vfile_getc(vf);
    if (p != 'P' || d <= 0 || !strchr(digits, d)) {
        image_set_error(reason);
        return 0;
    }
    *digit = d;
    return 1;
}

int read_ppm(VFile *vf, Image *out) {
    image_init(out);
    int digit;
    if (!pnm_read_magic(vf, "36", ppm_reasons.header, &digit)) return 0;
    return read_pnm_after_magic(vf, digit, out);
}

int read_pgm(VFile *vf, Image *out) {
    image_init(out);
    int digit;
    if (!pnm_read_magic(vf, "25", pgm_reasons.header, &digit)) return 0;
    return read_pnm_after_magic(vf, digit, out);
}

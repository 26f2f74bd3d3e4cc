// PNG reading and writing through libpng, with the data-file layer as its byte stream.
#include "data/vfile.h"
#include "platform/fatal.h"
#include "render/image.h"
#include "render/image_internal.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>

// libpng leaves a read or write through longjmp, so everything that must be freed on
// that path lives here, allocated before setjmp and reached through an unchanging pointer.
struct PngJob {
    VFile *vf;              // the stream being read or written
    unsigned char *pixels;  // the decoded image (reading)
    png_bytep *rows;        // row pointers into pixels (reading)
    unsigned char *row_buf; // one converted row (writing 16-bit samples)
    char reason[160];       // libpng's own error text
};

static void png_job_error(png_structp png, png_const_charp msg) {
    PngJob *job = (PngJob *)png_get_error_ptr(png);
    snprintf(job->reason, sizeof job->reason, "PNG error: %s", msg);
    longjmp(png_jmpbuf(png), 1);
}

static void png_job_warning(png_structp, png_const_charp) {}

static void png_vfile_read(png_structp png, png_bytep data, size_t n) {
    VFile *vf = (VFile *)png_get_io_ptr(png);
    if (vfile_read(vf, data, n) != n) png_error(png, "Short PNG data");
}

static void png_vfile_write(png_structp png, png_bytep data, size_t n) {
    VFile *vf = (VFile *)png_get_io_ptr(png);
    if (vfile_write(vf, data, n) != n) png_error(png, "Write failed");
}

static void png_vfile_flush(png_structp png) {
    vfile_flush((VFile *)png_get_io_ptr(png));
}

// libpng's own buffers (rows, chunk data) through a ceiling: ancillary chunks are read
// whole, and a corrupt chunk length must fail the read, not become a huge allocation.
// The pixel buffer itself is allocated by the reader after its own size checks.
static const size_t PNG_LIBRARY_ALLOC_MAX = 32ul << 20;

static png_voidp png_job_malloc(png_structp, png_alloc_size_t n) {
    return n > PNG_LIBRARY_ALLOC_MAX ? nullptr : malloc(n);
}

static void png_job_mfree(png_structp, png_voidp p) {
    free(p);
}

static PngJob *png_job_new(VFile *vf) {
    PngJob *job = (PngJob *)xmalloc(sizeof(PngJob));
    memset(job, 0, sizeof *job);
    job->vf = vf;
    return job;
}

static void png_job_free(PngJob *job) {
    free(job->pixels);
    free(job->rows);
    free(job->row_buf);
    free(job);
}

// Notes the text chunks that steer the texture manager's mip chains.
static void png_note_text(png_structp png, png_infop info, Image *out) {
    png_textp text = nullptr;
    int count = 0;
    png_get_text(png, info, &text, &count);
    for (int i = 0; i < count; i++) {
        if (!text[i].text) continue;
        if (strstr(text[i].text, "[mip_max_alpha]")) out->mip_max_alpha = 1;
        if (strstr(text[i].text, "[mip_custom]")) out->mip_custom = 1;
    }
}

// Sets the transformations of one of the two output layouts.
static void png_choose_transforms(png_structp png, png_infop info, int grey16) {
    int colour = png_get_color_type(png, info);
    int depth = png_get_bit_depth(png, info);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (grey16) {
        if (colour & PNG_COLOR_MASK_COLOR) png_set_rgb_to_gray_fixed(png, 1, -1, -1);
        if (colour & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
    } else {
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        if (depth == 16) png_set_strip_16(png);
        if (!(colour & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Turns rows of 8-bit or big-endian 16-bit grey samples, each at the start of its
// 2 x width byte row, into uint16_t samples in machine order.
static void png_widen_grey(unsigned char *pixels, int width, int height, int depth) {
    for (long y = 0; y < height; y++) {
        unsigned char *row = pixels + (size_t)y * width * 2;
        uint16_t *dst = (uint16_t *)row;
        if (depth == 8) {
            // Backwards, so no byte is overwritten before it is read.
            for (long x = width - 1; x >= 0; x--) dst[x] = (uint16_t)(row[x] * 257);
        } else {
            for (long x = 0; x < width; x++) dst[x] = (uint16_t)(row[2 * x] << 8 | row[2 * x + 1]);
        }
    }
}

static int png_read_any(VFile *vf, Image *out, int grey16) {
    image_init(out);
    unsigned char sig[8];
    if (vfile_read(vf, sig, 8) != 8 || png_sig_cmp(sig, 0, 8) != 0) {
        image_set_error("Not a PNG file");
        return 0;
    }
    PngJob *job = png_job_new(vf);
    png_structp png =
        png_create_read_struct_2(PNG_LIBPNG_VER_STRING, job, png_job_error, png_job_warning,
                                 nullptr, png_job_malloc, png_job_mfree);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) fatal_out_of_memory();
    if (setjmp(png_jmpbuf(png))) {
        static char reason[160];
        memcpy(reason, job->reason, sizeof reason);
        image_set_error(reason);
        png_destroy_read_struct(&png, &info, nullptr);
        png_job_free(job);
        image_init(out);
        return 0;
    }
    png_set_read_fn(png, vf, png_vfile_read);
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, IMAGE_MAX_SIDE, IMAGE_MAX_SIDE);
    png_set_chunk_cache_max(png, 1000);
    png_read_info(png, info);
    png_choose_transforms(png, info, grey16);

    int width = (int)png_get_image_width(png, info);
    int height = (int)png_get_image_height(png, info);
    int channels = png_get_channels(png, info);
    int depth = png_get_bit_depth(png, info);
    unsigned long bytes = image_checked_size(width, height, grey16 ? 1 : channels, grey16 ? 16 : 8);
    size_t row_bytes = png_get_rowbytes(png, info);
    size_t stride = grey16 ? (size_t)width * 2 : (size_t)width * channels;
    if (!bytes || row_bytes > stride || (grey16 && channels != 1) ||
        (!grey16 && channels != 3 && channels != 4))
        png_error(png, "Unsupported image size or layout");
    job->pixels = (unsigned char *)xmalloc(bytes);
    job->rows = (png_bytep *)xmalloc(sizeof(png_bytep) * (size_t)height);
    for (int y = 0; y < height; y++) job->rows[y] = job->pixels + (size_t)y * stride;
    png_read_image(png, job->rows);
    png_read_end(png, info);
    if (grey16) png_widen_grey(job->pixels, width, height, depth);

    png_note_text(png, info, out);
    out->pixels = job->pixels;
    out->width = width;
    out->height = height;
    out->components = grey16 ? 1 : channels;
    out->bits = grey16 ? 16 : 8;
    job->pixels = nullptr;
    png_destroy_read_struct(&png, &info, nullptr);
    png_job_free(job);
    return 1;
}

int read_png_rgb(VFile *vf, Image *out) {
    return png_read_any(vf, out, 0);
}

int read_png_grey16(VFile *vf, Image *out) {
    return png_read_any(vf, out, 1);
}

int image_write_png(const char *path, const void *pixels, int width, int height,
                    ImageFormat format) {
    int components = format == IMAGE_RGB8 ? 3 : format == IMAGE_RGBA8 ? 4 : 1;
    int bits = format == IMAGE_GREY16 ? 16 : 8;
    if (!image_checked_size(width, height, components, bits) || !pixels) {
        image_set_error("Bad PNG dimensions");
        return 0;
    }
    VFile *vf = vfile_open(path, "wb");
    if (!vf) {
        image_set_error("Can't open PNG for writing");
        return 0;
    }
    PngJob *job = png_job_new(vf);
    if (bits == 16) job->row_buf = (unsigned char *)xmalloc((size_t)width * 2);
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, job, png_job_error, png_job_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) fatal_out_of_memory();
    if (setjmp(png_jmpbuf(png))) {
        static char reason[160];
        memcpy(reason, job->reason, sizeof reason);
        image_set_error(reason);
        png_destroy_write_struct(&png, &info);
        vfile_close(job->vf);
        png_job_free(job);
        return 0;
    }
    static const int colour_of[] = {0, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB,
                                    PNG_COLOR_TYPE_RGB_ALPHA};
    png_set_write_fn(png, vf, png_vfile_write, png_vfile_flush);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, bits, colour_of[format],
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    size_t stride = (size_t)width * components * (bits / 8);
    for (int y = 0; y < height; y++) {
        const unsigned char *row = (const unsigned char *)pixels + (size_t)y * stride;
        if (bits == 16) {
            // The file holds big-endian samples whatever the machine's order.
            const uint16_t *src = (const uint16_t *)row;
            for (int x = 0; x < width; x++) {
                job->row_buf[2 * x] = (unsigned char)(src[x] >> 8);
                job->row_buf[2 * x + 1] = (unsigned char)(src[x] & 0xFF);
            }
            row = job->row_buf;
        }
        png_write_row(png, (png_const_bytep)row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    vfile_flush(vf);
    vfile_close(vf);
    png_job_free(job);
    return 1;
}

int write_png_grey16(const char *path, const uint16_t *samples, int width, int height) {
    return image_write_png(path, samples, width, height, IMAGE_GREY16);
}

int write_png_rgb(const char *path, const unsigned char *rgb, int width, int height) {
    return image_write_png(path, rgb, width, height, IMAGE_RGB8);
}

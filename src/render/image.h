// Pixel images in memory: the PPM, PGM and PNG readers and the PNG writers (no OpenGL).
#pragma once
#include <cstdint>

struct VFile;

// Largest side and largest pixel buffer a reader accepts; a header beyond them is refused
// before anything is allocated.
enum { IMAGE_MAX_SIDE = 16384 };
const unsigned long IMAGE_MAX_BYTES = 256ul << 20;

// One decoded image. The reader that fills it owns nothing afterwards: the caller frees
// the pixels with image_free.
struct Image {
    unsigned char *pixels; // rows from the top, pixels left to right, components interleaved
    int width, height;     // in pixels
    int components;        // 1 grey, 3 RGB, 4 RGBA
    int bits;              // 8, or 16 for read_png_grey16 (uint16_t samples, machine byte order)
    int mip_max_alpha;     // PNG text chunk asked for the maximum rule for alpha mip levels
    int mip_custom;        // PNG text chunk says the image holds its own mip levels
};

// Pixel layouts the PNG writer takes.
enum ImageFormat {
    IMAGE_GREY8 = 1,  // one byte per pixel
    IMAGE_GREY16 = 2, // one uint16_t per pixel in machine byte order
    IMAGE_RGB8 = 3,   // three bytes per pixel
    IMAGE_RGBA8 = 4,  // four bytes per pixel
};

void image_init(Image *img);
void image_free(Image *img);

// The reason the last failed read or write gave, e.g. "Can't parse PPM header".
const char *image_error();

// Bytes of a width x height x components x (bits / 8) buffer, or 0 when a side is not
// in 1..IMAGE_MAX_SIDE or the product exceeds IMAGE_MAX_BYTES.
unsigned long image_checked_size(long width, long height, int components, int bits);

// PPM "P6" (binary) and "P3" (text) to 3 components; the file is read from its magic on.
int read_ppm(VFile *vf, Image *out);
// PGM "P5" (binary) and "P2" (text) to 1 component.
int read_pgm(VFile *vf, Image *out);
// Both, for a caller that has already taken the magic "P" and its digit (3, 5, 6 or 2).
int read_pnm_after_magic(VFile *vf, int digit, Image *out);

// PNG to 8-bit RGB or RGBA: palettes and grey expanded, transparency to alpha, 16-bit
// samples reduced to 8; notes the "[mip_max_alpha]" and "[mip_custom]" text chunks.
int read_png_rgb(VFile *vf, Image *out);
// PNG to one 16-bit grey channel: colour to grey by the library's default weights,
// alpha dropped, an 8-bit sample v becoming v x 257.
int read_png_grey16(VFile *vf, Image *out);

// Writes a PNG through the data-file layer ("@" paths go below the home folder).
int image_write_png(const char *path, const void *pixels, int width, int height,
                    ImageFormat format);
// The two writers the game uses: the editor's 16-bit height image and screenshots.
int write_png_grey16(const char *path, const uint16_t *samples, int width, int height);
int write_png_rgb(const char *path, const unsigned char *rgb, int width, int height);

// The image record, its size checks and the readers' last failure reason.
#include "render/image.h"

#include <cstdlib>

static const char *g_image_error = "";

void image_set_error(const char *reason) {
    g_image_error = reason;
}

const char *image_error() {
    return g_image_error;
}

void image_init(Image *img) {
    img->pixels = nullptr;
    img->width = img->height = 0;
    img->components = 0;
    img->bits = 8;
    img->mip_max_alpha = 0;
    img->mip_custom = 0;
}

void image_free(Image *img) {
    free(img->pixels);
    image_init(img);
}

unsigned long image_checked_size(long width, long height, int components, int bits) {
    if (width < 1 || width > IMAGE_MAX_SIDE || height < 1 || height > IMAGE_MAX_SIDE) return 0;
    if (components < 1 || components > 4 || (bits != 8 && bits != 16)) return 0;
    // Each side is at most 2^14, so the product of all four factors stays below 2^33 and
    // cannot wrap an unsigned long on the 64-bit targets; the division check keeps it
    // honest where long is 32 bits.
    unsigned long pixels = (unsigned long)width * (unsigned long)height;
    if (pixels / (unsigned long)width != (unsigned long)height) return 0;
    unsigned long per = (unsigned long)components * (unsigned long)(bits / 8);
    if (pixels > IMAGE_MAX_BYTES / per) return 0;
    return pixels * per;
}

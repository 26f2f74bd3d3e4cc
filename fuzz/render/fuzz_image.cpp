// Fuzz target of one image reader (FUZZ_READER): any input either fails with a reason or
// gives an image whose size passed the checks and whose every byte can be read.
#include "data/vfile.h"
#include "render/image.h"

#include <cstdint>
#include <cstdlib>

volatile unsigned g_fuzz_sink; // keeps the read of every byte

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    VFile *vf = vfile_open_memory(data, size, 0);
    if (!vf) return 0;
    Image img;
    image_init(&img);
    int ok = FUZZ_READER(vf, &img);
    vfile_close(vf);
    if (!ok) {
        if (img.pixels || !image_error()[0]) abort();
        return 0;
    }
    if (FUZZ_COMPONENTS && img.components != FUZZ_COMPONENTS) abort();
    unsigned long bytes = image_checked_size(img.width, img.height, img.components, img.bits);
    if (!bytes || !img.pixels) abort();
    // Every byte is read, so the sanitizer sees a buffer shorter than its size.
    unsigned sum = 0;
    for (unsigned long k = 0; k < bytes; k++) sum += img.pixels[k];
    g_fuzz_sink = sum;
    image_free(&img);
    return 0;
}

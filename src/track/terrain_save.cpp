// The track editor's terrain writers: height header and 16-bit height image, both shading
// images and the tile map.
#include "data/vfile.h"
#include "platform/fatal.h"
#include "render/image.h"
#include "track/terrain.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int terrain_write_hf(const Terrain *t, const char *path, float *lo, float *hi) {
    long count = (long)t->samples_per_side * t->samples_per_side;
    float mn = t->heights[0], mx = t->heights[0];
    for (long k = 1; k < count; k++) {
        if (t->heights[k] < mn) mn = t->heights[k];
        if (t->heights[k] > mx) mx = t->heights[k];
    }
    char header[256];
    snprintf(header, sizeof header, "%d %f %f %f\n", t->size_log2, (double)t->spacing, (double)mn,
             (double)mx);
    // The image is quantised against the range exactly as the reader will see it, after
    // the header's six decimals.
    float a;
    if (sscanf(header, "%*d %f %f %f", &a, lo, hi) != 3) return 0;
    VFile *vf = vfile_open(path, "wb");
    if (!vf) return 0;
    int ok = vfile_puts(vf, header) == 1;
    vfile_close(vf);
    return ok;
}

int terrain_write_height_png(const Terrain *t, const char *path, float lo, float hi) {
    long count = (long)t->samples_per_side * t->samples_per_side;
    uint16_t *samples = (uint16_t *)xmalloc(sizeof(uint16_t) * (size_t)count);
    double range = (double)hi - lo;
    for (long k = 0; k < count; k++) {
        // Flat ground has no range to divide by: every sample is the minimum.
        double v = range > 0 ? ((double)t->heights[k] - lo) / range * 65535 + 0.5 : 0;
        samples[k] = (uint16_t)(v < 0 ? 0 : v > 65535 ? 65535 : (int)v);
    }
    int ok = write_png_grey16(path, samples, t->samples_per_side, t->samples_per_side);
    free(samples);
    return ok;
}

int terrain_write_shading(const Terrain *t, const char *path, int doubled) {
    int n = t->samples_per_side;
    size_t bytes = (size_t)n * n * 3;
    VFile *vf = vfile_open(path, "wb");
    if (!vf) return 0;
    int ok = vfile_printf(vf, "P6\n%d %d\n255\n", n, n) > 0;
    if (!doubled) {
        ok = ok && vfile_write(vf, t->shading, bytes) == bytes;
    } else {
        unsigned char *row = (unsigned char *)xmalloc((size_t)n * 3);
        for (int j = 0; ok && j < n; j++) {
            const unsigned char *src = t->shading + (size_t)j * n * 3;
            for (int k = 0; k < n * 3; k++)
                row[k] = (unsigned char)(src[k] > 127 ? 255 : src[k] * 2);
            ok = vfile_write(vf, row, (size_t)n * 3) == (size_t)n * 3;
        }
        free(row);
    }
    vfile_close(vf);
    return ok;
}

int terrain_write_tilemap(const Terrain *t, const char *path) {
    size_t cells = (size_t)t->tiles_per_side * t->tiles_per_side;
    VFile *vf = vfile_open(path, "wb");
    if (!vf) return 0;
    int ok = vfile_write(vf, t->tilemap, cells) == cells;
    vfile_close(vf);
    return ok;
}

int terrain_save(const Terrain *t, const char *folder) {
    std::string base = std::string(folder) + "/";
    float lo, hi;
    int ok = terrain_write_hf(t, (base + "terrain.hf").c_str(), &lo, &hi);
    ok = ok && terrain_write_height_png(t, (base + "terrain.png").c_str(), lo, hi);
    ok = ok && terrain_write_shading(t, (base + "shadingx2.ppm").c_str(), 0);
    ok = ok && terrain_write_shading(t, (base + "shading.ppm").c_str(), 1);
    ok = ok && terrain_write_tilemap(t, (base + "tilemap").c_str());
    return ok;
}

// The terrain loader: "terrain.hf" (binary heights or "terrain.png"), the shading and
// shadow images, the surface table and the tile map, in the order the renderer needs them.
#include "data/ripemd160.h"
#include "data/vfile.h"
#include "platform/fatal.h"
#include "platform/log.h"
#include "render/image.h"
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

static unsigned long texture_memory_used() {
    return g_track_hooks.texture_memory ? g_track_hooks.texture_memory() : 0;
}

void terrain_release(Terrain *t) {
    if (g_track_hooks.terrain_released) g_track_hooks.terrain_released(t);
    free(t->heights);
    free(t->tilemap);
    free(t->shading);
    free(t->shadows);
    // The tile pixels belong to the image cache and the textures to the texture manager.
    for (Tile &tile : t->tiles) tile_reset(&tile);
    t->size_log2 = t->tiles_per_side = t->samples_per_side = 0;
    t->spacing = t->inv_spacing = t->tile_size = t->extent = 0;
    t->min_height = t->max_height = 0;
    t->heights = nullptr;
    t->tilemap = t->shading = t->shadows = nullptr;
    t->tile_count = 0;
    t->modified = t->write_protected = 0;
    t->texture_method = 0;
    t->ground_texture_size = 128;
    t->tick = 0;
    t->light = TerrainLight();
    memset(t->height_digest, 0, sizeof t->height_digest);
    t->render = nullptr;
}

// Releases what was built so far and reports failure.
static int terrain_fail(Terrain *t) {
    terrain_release(t);
    return 0;
}

static std::string track_file(const char *folder, const char *name) {
    return std::string(folder) + "/" + name;
}

// Reads and checks the text header; derives the grid sizes from it.
static int read_hf_header(Terrain *t, VFile *vf) {
    int n;
    float a, lo, hi;
    if (vfile_scan(vf, "%d %f %f %f ", &n, &a, &lo, &hi) != 4) {
        track_post("Bad height field parameters");
        return 0;
    }
    // Beyond these sizes the arrays are either too coarse for a track or too large to
    // allocate; a zero, negative or endless spacing gives no grid at all.
    if (n < 7 || n > 11) {
        track_post("Bad height field size %d (must be 7 to 11)", n);
        return 0;
    }
    if (!(a > 0) || !std::isfinite(a)) {
        track_post("Bad height field spacing %g (must be a positive number)", (double)a);
        return 0;
    }
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        track_post("Bad height field range %g to %g", (double)lo, (double)hi);
        return 0;
    }
    terrain_set_grid(t, n, a);
    t->min_height = lo;
    t->max_height = hi;
    return 1;
}

// Heights from 16-bit samples: min + v (max - min) / 65535 in double precision.
static inline float sample_to_height(double lo, double scale, unsigned v) {
    return (float)(lo + (double)v * scale);
}

static int read_binary_heights(Terrain *t, VFile *vf, Ripemd160 *digest) {
    int n = t->samples_per_side;
    double lo = t->min_height, scale = ((double)t->max_height - lo) * (1.0 / 65535.0);
    unsigned char *row = (unsigned char *)xmalloc((size_t)n * 2);
    for (int j = 0; j < n; j++) {
        // A file that ends early would otherwise leave part of the ground at garbage heights.
        if (vfile_read(vf, row, (size_t)n * 2) != (size_t)n * 2) {
            free(row);
            return 0;
        }
        ripemd160_update(digest, row, (size_t)n * 2);
        float *h = t->heights + (long)j * n;
        for (int i = 0; i < n; i++)
            h[i] = sample_to_height(lo, scale, row[2 * i] | row[2 * i + 1] << 8);
    }
    free(row);
    return 1;
}

// Heights from "terrain.png"; a smaller image repeats its last row and column, and an
// unreadable one leaves the ground flat at the minimum height.
static void read_png_heights(Terrain *t, const char *folder, Ripemd160 *digest) {
    int n = t->samples_per_side;
    Image img;
    image_init(&img);
    std::string path = track_file(folder, "terrain.png");
    VFile *png = vfile_open(path.c_str(), "rb");
    int ok = png && read_png_grey16(png, &img);
    if (png) vfile_close(png);
    double lo = t->min_height, scale = ((double)t->max_height - lo) * (1.0 / 65535.0);
    const uint16_t *samples = (const uint16_t *)img.pixels;
    for (int j = 0; j < n; j++) {
        const uint16_t *src =
            ok ? samples + (long)(j < img.height ? j : img.height - 1) * img.width : nullptr;
        for (int i = 0; i < n; i++) {
            unsigned v = ok ? src[i < img.width ? i : img.width - 1] : 0;
            unsigned char bytes[2] = {(unsigned char)(v & 0xFF), (unsigned char)(v >> 8)};
            ripemd160_update(digest, bytes, 2);
            t->heights[i + (long)j * n] = sample_to_height(lo, scale, v);
        }
    }
    image_free(&img);
}

static int read_heights(Terrain *t, const char *folder, VFile *vf) {
    long count = (long)t->samples_per_side * t->samples_per_side;
    t->heights = (float *)xmalloc(sizeof(float) * (size_t)count);
    Ripemd160 digest;
    ripemd160_init(&digest);
    if (vfile_getc(vf) == ':') {
        if (!read_binary_heights(t, vf, &digest)) return 0;
    } else {
        read_png_heights(t, folder, &digest);
    }
    ripemd160_final(&digest, t->height_digest);
    if (g_track_hooks.debug_level >= 2) {
        char hex[41];
        for (int k = 0; k < 20; k++) snprintf(hex + 2 * k, 3, "%02x", t->height_digest[k]);
        log_printf("%s\n", hex);
    }
    return 1;
}

// "shadingx2.ppm" as stored, else "shading.ppm" at full brightness, halved.
static int read_shading(Terrain *t, const char *folder) {
    std::string path = track_file(folder, "shadingx2.ppm");
    int halve = 0;
    VFile *vf = vfile_open(path.c_str(), "rb");
    if (!vf) {
        path = track_file(folder, "shading.ppm");
        halve = 1;
        vf = vfile_open(path.c_str(), "rb");
        if (!vf) {
            track_post("Can't open '%.950s'", path.c_str());
            return 0;
        }
    }
    Image img;
    int ok = read_ppm(vf, &img);
    vfile_close(vf);
    if (!ok) {
        track_post("Error reading shading");
        return 0;
    }
    if (img.width != t->samples_per_side || img.height != t->samples_per_side) {
        track_post("Bad shading dimensions (%dx%d)", img.width, img.height);
        image_free(&img);
        return 0;
    }
    t->shading = img.pixels;
    if (halve) {
        long bytes = 3L * img.width * img.height;
        for (long k = 0; k < bytes; k++) t->shading[k] >>= 1;
    }
    return 1;
}

// "tileinfo", else the older "texturelist".
static int read_surfaces(Terrain *t, const char *folder) {
    std::string path = track_file(folder, "tileinfo");
    VFile *vf = vfile_open(path.c_str(), "rb");
    if (vf) {
        tileinfo_read(t, vf);
    } else {
        path = track_file(folder, "texturelist");
        vf = vfile_open(path.c_str(), "rb");
        if (!vf) {
            track_post("Can't open '%.950s'", path.c_str());
            return 0;
        }
        texturelist_read(t, vf);
    }
    vfile_close(vf);
    // Without a single tile there is no index the tile map could be clamped to.
    if (t->tile_count == 0) {
        track_post("No tiles defined in '%.950s'", path.c_str());
        return 0;
    }
    tile_transition_codes(t);
    return 1;
}

static int read_tilemap(Terrain *t, const char *folder) {
    std::string path = track_file(folder, "tilemap");
    VFile *vf = vfile_open(path.c_str(), "rb");
    if (!vf) {
        track_post("Can't open '%.950s'", path.c_str());
        return 0;
    }
    size_t cells = (size_t)t->tiles_per_side * t->tiles_per_side;
    t->tilemap = (unsigned char *)xmalloc(cells);
    // Cells beyond the end of a short file show tile 0.
    size_t got = vfile_read(vf, t->tilemap, cells);
    memset(t->tilemap + got, 0, cells - got);
    vfile_close(vf);
    unsigned char last = (unsigned char)(t->tile_count - 1);
    for (size_t k = 0; k < cells; k++)
        if (t->tilemap[k] > last) t->tilemap[k] = last;
    return 1;
}

// "shadows.pgm" (255 lit) stored inverted (255 fully shadowed); none means no shadow.
static int read_shadows(Terrain *t, const char *folder) {
    long count = (long)t->samples_per_side * t->samples_per_side;
    std::string path = track_file(folder, "shadows.pgm");
    VFile *vf = vfile_open(path.c_str(), "rb");
    if (!vf) {
        t->shadows = (unsigned char *)xmalloc((size_t)count);
        memset(t->shadows, 0, (size_t)count);
        return 1;
    }
    Image img;
    int ok = read_pgm(vf, &img);
    vfile_close(vf);
    if (!ok) {
        track_post("Error reading shadows");
        return 0;
    }
    if (img.width != t->samples_per_side || img.height != t->samples_per_side) {
        log_printf("Bad shadow dimensions (%dx%d)\n", img.width, img.height);
        image_free(&img);
        return 0;
    }
    t->shadows = img.pixels;
    for (long k = 0; k < count; k++) t->shadows[k] = (unsigned char)(255 - t->shadows[k]);
    return 1;
}

int terrain_load(Terrain *t, const char *path, int method) {
    terrain_release(t);
    std::string hf = track_file(path, "terrain.hf");
    VFile *vf = vfile_open(hf.c_str(), "rb");
    if (!vf) {
        track_post("Can't open '%.950s'", hf.c_str());
        return 0;
    }
    if (!read_hf_header(t, vf)) {
        track_post("Error reading heights");
        vfile_close(vf);
        return terrain_fail(t);
    }
    if (!read_heights(t, path, vf)) {
        track_post("Error reading heights");
        vfile_close(vf);
        return terrain_fail(t);
    }
    if (g_track_hooks.terrain_heights_loaded) g_track_hooks.terrain_heights_loaded(t);
    vfile_close(vf);

    t->texture_method = g_track_hooks.terrain_choose_method
                            ? g_track_hooks.terrain_choose_method(t, method)
                            : method;
    if (!read_shading(t, path)) return terrain_fail(t);
    log_printf("%lu bytes texture memory used before ground tiles loaded\n", texture_memory_used());
    if (!read_surfaces(t, path)) return terrain_fail(t);
    log_printf("%lu bytes texture memory used after ground tiles loaded\n", texture_memory_used());
    if (!read_tilemap(t, path)) return terrain_fail(t);
    if (g_track_hooks.terrain_tiles_loaded) g_track_hooks.terrain_tiles_loaded(t);
    log_printf("%lu bytes texture memory used after low detail ground textures\n",
               texture_memory_used());
    if (!read_shadows(t, path)) return terrain_fail(t);
    if (g_track_hooks.terrain_finish_load) g_track_hooks.terrain_finish_load(t);
    return 1;
}

void terrain_set_grid(Terrain *t, int n, float a) {
    t->size_log2 = n;
    t->tiles_per_side = 1 << n;
    t->samples_per_side = 2 * t->tiles_per_side + 1;
    t->spacing = a;
    t->inv_spacing = 1.0f / a;
    t->tile_size = 2 * a;
    t->extent = (float)(2 * t->tiles_per_side) * a;
}

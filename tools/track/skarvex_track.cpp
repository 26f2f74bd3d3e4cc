// skarvex-track: reports on a track folder's terrain and surfaces, probes points on it and
// renders its shading as a picture, all through the game's own loader.
#include "platform/fatal.h"
#include "render/image.h"
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static void print_to_stderr(const char *text) {
    size_t len = strlen(text);
    fprintf(stderr, "%s%s", text, len && text[len - 1] == '\n' ? "" : "\n");
}

static int usage() {
    fprintf(stderr, "usage: skarvex-track info FOLDER\n"
                    "       skarvex-track probe FOLDER X Z\n"
                    "       skarvex-track shading FOLDER OUT.png [X0 Z0 X1 Z1]\n"
                    "FOLDER is a track folder path, or \"@\" and a track name of the data "
                    "folders.\n");
    return 2;
}

static int parse_coord(const char *text, float *out) {
    char *end;
    double v = strtod(text, &end);
    if (end == text || *end || !std::isfinite(v)) {
        fprintf(stderr, "skarvex-track: '%s' is not a coordinate\n", text);
        return 0;
    }
    *out = (float)v;
    return 1;
}

static int cmd_info(const Terrain *t, const char *folder) {
    int n = t->samples_per_side;
    long count = (long)n * n;
    float lo = t->heights[0], hi = t->heights[0];
    for (long k = 1; k < count; k++) {
        if (t->heights[k] < lo) lo = t->heights[k];
        if (t->heights[k] > hi) hi = t->heights[k];
    }
    printf("folder:   %s\n", folder);
    printf("grid:     %d x %d samples, %d x %d tiles (size %d)\n", n, n, t->tiles_per_side,
           t->tiles_per_side, t->size_log2);
    printf("spacing:  %.4f ft (tiles %.4f ft)\n", (double)t->spacing, (double)t->tile_size);
    printf("extent:   %.2f ft x %.2f ft\n", (double)t->extent, (double)t->extent);
    printf("heights:  %.3f to %.3f ft (file range %.3f to %.3f ft)\n", (double)lo, (double)hi,
           (double)t->min_height, (double)t->max_height);
    printf("tiles:    %d\n", t->tile_count);
    std::vector<long> used(TILE_MAX, 0);
    long cells = (long)t->tiles_per_side * t->tiles_per_side;
    for (long k = 0; k < cells; k++) used[t->tilemap[k]]++;
    printf("  tile  cells     share   friction  roll_resist  texture\n");
    for (int k = 0; k < t->tile_count; k++) {
        const Tile &tile = t->tiles[k];
        float r1, r2;
        tile_roll_resist(&tile, 0, &r1, &r2);
        printf("  %4d  %8ld  %6.2f%%  %8.3f  %5.2f %5.2f  %s\n", k, used[k],
               100.0 * (double)used[k] / (double)cells, (double)tile_friction(&tile, 0), (double)r1,
               (double)r2, tile.name.c_str());
    }
    return 0;
}

static int cmd_probe(const Terrain *t, float x, float z) {
    float h = terrain_height(t, x, z);
    Vec3 n = terrain_normal(t, x, z);
    double len = std::sqrt((double)n.x * n.x + (double)n.y * n.y + (double)n.z * n.z);
    int index = terrain_tile_at(t, x, z);
    const Tile &tile = t->tiles[index];
    printf("point:    x %.3f z %.3f%s\n", (double)x, (double)z,
           x < 0 || z < 0 || x > t->extent || z > t->extent ? " (outside the terrain)" : "");
    printf("height:   %.4f ft\n", (double)h);
    printf("normal:   %.6f %.6f %.6f (slope %.2f degrees)\n", n.x / len, n.y / len, n.z / len,
           std::acos(n.y / len) * 180 / 3.14159265358979);
    printf("tile:     %d %s\n", index, tile.name.c_str());
    printf("friction:");
    static const float speeds[] = {0, 10, 30, 60};
    for (float s : speeds)
        printf(" %.3f at %g ft/s%s", (double)tile_friction(&tile, s), (double)s,
               s == speeds[3] ? "\n" : ",");
    printf("roll_resist:");
    for (float s : speeds) {
        float r1, r2;
        tile_roll_resist(&tile, s, &r1, &r2);
        printf(" %.2f %.2f at %g ft/s%s", (double)r1, (double)r2, (double)s,
               s == speeds[3] ? "\n" : ",");
    }
    return 0;
}

// The shading as the ground shows it (stored values are half the displayed brightness),
// of the whole terrain or of the samples inside the world rectangle box.
static int cmd_shading(const Terrain *t, const char *out, const float *box) {
    int n = t->samples_per_side;
    int i0 = 0, j0 = 0, i1 = n - 1, j1 = n - 1;
    if (box) {
        auto sample = [&](float v) {
            float f = v * t->inv_spacing;
            return f < 0 ? 0 : f > (float)(n - 1) ? n - 1 : (int)f;
        };
        i0 = sample(box[0] < box[2] ? box[0] : box[2]),
        i1 = sample(box[0] < box[2] ? box[2] : box[0]);
        j0 = sample(box[1] < box[3] ? box[1] : box[3]),
        j1 = sample(box[1] < box[3] ? box[3] : box[1]);
    }
    int w = i1 - i0 + 1, h = j1 - j0 + 1;
    unsigned char *rgb = (unsigned char *)xmalloc((size_t)w * h * 3);
    for (int j = 0; j < h; j++) {
        const unsigned char *src = t->shading + 3 * ((size_t)(j + j0) * n + i0);
        unsigned char *dst = rgb + 3 * (size_t)j * w;
        for (int k = 0; k < 3 * w; k++) dst[k] = (unsigned char)(src[k] > 127 ? 255 : src[k] * 2);
    }
    int ok = write_png_rgb(out, rgb, w, h);
    free(rgb);
    if (!ok) {
        fprintf(stderr, "skarvex-track: can't write '%s': %s\n", out, image_error());
        return 1;
    }
    printf("wrote %s (%d x %d)\n", out, w, h);
    return 0;
}

int main(int argc, char **argv) {
    install_fatal_handlers();
    if (argc < 3) return usage();
    const char *cmd = argv[1], *folder = argv[2];
    float x = 0, z = 0, box[4];
    if (strcmp(cmd, "info") == 0) {
        if (argc != 3) return usage();
    } else if (strcmp(cmd, "probe") == 0) {
        if (argc != 5) return usage();
        if (!parse_coord(argv[3], &x) || !parse_coord(argv[4], &z)) return 1;
    } else if (strcmp(cmd, "shading") == 0) {
        if (argc != 4 && argc != 8) return usage();
        for (int k = 0; argc == 8 && k < 4; k++)
            if (!parse_coord(argv[4 + k], &box[k])) return 1;
    } else {
        return usage();
    }
    g_track_hooks.post = print_to_stderr;
    static Terrain terrain;
    if (!terrain_load(&terrain, folder, 1)) return 1;
    int rc;
    if (strcmp(cmd, "info") == 0)
        rc = cmd_info(&terrain, folder);
    else if (strcmp(cmd, "probe") == 0)
        rc = cmd_probe(&terrain, x, z);
    else
        rc = cmd_shading(&terrain, argv[3], argc == 8 ? box : nullptr);
    terrain_release(&terrain);
    return rc;
}

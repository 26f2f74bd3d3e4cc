// Fuzz target: "tileinfo" parsing, then the table's invariants and curve lookups.
#include "data/vfile.h"
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

static void quiet(const char *) {}

// Given points come first in ascending speed; lookups at any speed stay finite.
static void check_table(const Terrain *t) {
    if (t->tile_count < 0 || t->tile_count > TILE_MAX) abort();
    for (int k = 0; k < t->tile_count; k++) {
        const Tile &tile = t->tiles[k];
        for (int p = 1; p < TILE_CURVE_POINTS; p++) {
            if (tile.friction[p].speed != 0 && tile.friction[p].speed < tile.friction[p - 1].speed)
                abort();
            if (tile.roll_resist[p].speed != 0 &&
                tile.roll_resist[p].speed < tile.roll_resist[p - 1].speed)
                abort();
        }
        for (float s : {0.0f, 0.5f, 3.0f, 40.0f, 1e30f}) {
            float a, b;
            tile_roll_resist(&tile, s, &a, &b);
            if (!std::isfinite(tile_friction(&tile, s)) || !std::isfinite(a) || !std::isfinite(b))
                abort();
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    g_track_hooks.post = quiet;
    static Terrain t;
    VFile *vf = vfile_open_memory(data, size, 0);
    if (!vf) return 0;
    tileinfo_read(&t, vf);
    vfile_close(vf);
    tile_transition_codes(&t);
    check_table(&t);
    terrain_release(&t);
    return 0;
}

// Fuzz target: "texturelist" parsing, then the table's invariants and curve lookups.
#include "data/vfile.h"
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

static void quiet(const char *) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    g_track_hooks.post = quiet;
    static Terrain t;
    VFile *vf = vfile_open_memory(data, size, 0);
    if (!vf) return 0;
    texturelist_read(&t, vf);
    vfile_close(vf);
    tile_transition_codes(&t);
    if (t.tile_count > TILE_MAX) abort();
    for (int k = 0; k < t.tile_count; k++) {
        const Tile &tile = t.tiles[k];
        // A name never keeps the line end or trailing blanks.
        if (tile.name.empty() || tile.name[0] != '@') abort();
        char last = tile.name.back();
        if (tile.name.size() > 1 && (last == '\r' || last == '\n' || last == ' ' || last == '\t'))
            abort();
        float a, b;
        tile_roll_resist(&tile, 10, &a, &b);
        if (!std::isfinite(tile_friction(&tile, 10)) || !std::isfinite(a) || !std::isfinite(b))
            abort();
    }
    terrain_release(&t);
    return 0;
}

// Fuzz target: terrain_load with any "terrain.hf" in a folder whose other files are a
// valid track of size 7.
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

static std::string g_folder;

static void put(const std::string &name, const std::string &data) {
    FILE *f = fopen((g_folder + "/" + name).c_str(), "wb");
    if (!f) abort();
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

static void remove_folder() {
    for (const char *name : {"terrain.hf", "tileinfo", "tilemap", "shadingx2.ppm"})
        remove((g_folder + "/" + name).c_str());
    rmdir(g_folder.c_str());
}

static void make_folder() {
    char templ[] = "/tmp/fuzz_terrain_hf_XXXXXX";
    if (!mkdtemp(templ)) abort();
    g_folder = templ;
    atexit(remove_folder);
    const int n = 257;
    put("tileinfo", "friction 1 1\naddtile\nfriction 0.5 1\naddtile\n");
    put("tilemap", std::string(128 * 128, '\x01'));
    put("shadingx2.ppm", "P6\n257 257\n255\n" + std::string(3 * n * n, '\x64'));
}

static void quiet(const char *) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (g_folder.empty()) {
        make_folder();
        g_track_hooks.post = quiet;
    }
    put("terrain.hf", std::string((const char *)data, size));
    static Terrain t;
    if (terrain_load(&t, g_folder.c_str(), 1)) {
        // A terrain that loads answers queries anywhere with finite values.
        if (t.samples_per_side != 257 || t.tile_count != 2) abort();
        float h = terrain_height(&t, t.extent * 0.37f, -5);
        Vec3 nrm = terrain_normal(&t, 3, t.extent + 9);
        if (h != h || nrm.y <= 0 || terrain_tile_at(&t, 1e30f, -1e30f) > 1) abort();
    }
    terrain_release(&t);
    return 0;
}

// Benchmarks of the terrain: height, normal and tile queries per second at random points,
// and the time and memory of loading rabbithill's terrain and surfaces.
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

static double now_s() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Resident memory of the process in bytes.
static long resident_bytes() {
    FILE *f = fopen("/proc/self/statm", "r");
    long pages = 0, rss = 0;
    if (f) {
        if (fscanf(f, "%ld %ld", &pages, &rss) != 2) rss = 0;
        fclose(f);
    }
    return rss * 4096;
}

// Runs query over the points until at least min_time has passed; returns queries per second.
template <class F> static double rate(const std::vector<float> &pts, double min_time, F query) {
    size_t n = pts.size() / 2, done = 0;
    double start = now_s(), elapsed = 0;
    while (elapsed < min_time) {
        for (size_t k = 0; k < n; k++) query(pts[2 * k], pts[2 * k + 1]);
        done += n;
        elapsed = now_s() - start;
    }
    return (double)done / elapsed;
}

int main(int argc, char **argv) {
    std::string folder = argc > 1 ? argv[1] : std::string(SK_GAME_DIR) + "/rabbithill";
    static Terrain t;
    long before = resident_bytes();
    double best = 1e9;
    for (int run = 0; run < 5; run++) {
        double s = now_s();
        if (!terrain_load(&t, folder.c_str(), 1)) {
            fprintf(stderr, "bench_terrain: can't load '%s'\n", folder.c_str());
            return 1;
        }
        best = std::min(best, now_s() - s);
        if (run < 4) terrain_release(&t);
    }
    long held = resident_bytes() - before;
    size_t N = (size_t)t.samples_per_side, S = (size_t)t.tiles_per_side;
    size_t arrays = N * N * sizeof(float) + N * N * 3 + N * N + S * S;
    printf("terrain %s: %zu x %zu samples, %d tiles\n", folder.c_str(), N, N, t.tile_count);
    printf("load (terrain and surfaces, gzip files): %.1f ms (best of 5)\n", best * 1000);
    printf("memory held: %.2f MiB in the arrays, %.2f MiB resident growth, %zu bytes of Terrain\n",
           arrays / 1048576.0, held / 1048576.0, sizeof(Terrain));

    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> pos(0, t.extent);
    std::vector<float> pts(2 * (1 << 20));
    for (float &p : pts) p = pos(rng);
    volatile float sink_f = 0;
    volatile unsigned sink_u = 0;
    float acc = 0;
    double h = rate(pts, 1.0, [&](float x, float z) { acc += terrain_height(&t, x, z); });
    sink_f = acc;
    acc = 0;
    double nr = rate(pts, 1.0, [&](float x, float z) { acc += terrain_normal(&t, x, z).x; });
    sink_f = acc;
    unsigned tiles = 0;
    double tr = rate(pts, 1.0, [&](float x, float z) { tiles += terrain_tile_at(&t, x, z); });
    sink_u = tiles;
    // The wheel contact asks about points close to each other; so do the height queries of
    // a bike moving along the ground.
    std::vector<float> walk(pts.size());
    float x = 100, z = 100;
    for (size_t k = 0; k < walk.size() / 2; k++) {
        x += 0.2f, z += 0.1f;
        if (x > t.extent) x -= t.extent;
        if (z > t.extent) z -= t.extent;
        walk[2 * k] = x, walk[2 * k + 1] = z;
    }
    acc = 0;
    double hw = rate(walk, 1.0, [&](float x, float z) { acc += terrain_height(&t, x, z); });
    sink_f = acc;
    (void)sink_f, (void)sink_u;
    printf("terrain_height, random points: %.1f million queries/s\n", h / 1e6);
    printf("terrain_height, along a path:  %.1f million queries/s\n", hw / 1e6);
    printf("terrain_normal, random points: %.1f million queries/s\n", nr / 1e6);
    printf("terrain_tile_at, random points: %.1f million queries/s\n", tr / 1e6);
    terrain_release(&t);
    return 0;
}

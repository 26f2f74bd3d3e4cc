// Shared helpers of the track and image tests.
#include "track_fixture.h"
#include "data/vfile.h"
#include "platform/fatal.h"
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

std::string make_temp_folder() {
    char templ[] = "/tmp/sk_track_test_XXXXXX";
    const char *dir = mkdtemp(templ);
    return dir ? dir : "/tmp";
}

static int remove_entry(const char *path, const struct stat *, int, struct FTW *) {
    return remove(path);
}

void remove_tree(const std::string &path) {
    nftw(path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

void put_file(const std::string &path, const Bytes &data) {
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!data.empty()) fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

void put_file(const std::string &path, const std::string &text) {
    put_file(path, Bytes(text.begin(), text.end()));
}

Bytes file_bytes(const std::string &path) {
    Bytes out;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = getc(f)) != EOF) out.push_back((uint8_t)c);
    fclose(f);
    return out;
}

static Bytes text_of(const std::string &s) {
    return Bytes(s.begin(), s.end());
}

Bytes ppm_bytes(int w, int h, std::function<void(int, int, uint8_t *)> colour) {
    Bytes out = text_of("P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n");
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint8_t rgb[3];
            colour(x, y, rgb);
            out.insert(out.end(), rgb, rgb + 3);
        }
    }
    return out;
}

Bytes ppm_fill(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    return ppm_bytes(w, h, [=](int, int, uint8_t *c) { c[0] = r, c[1] = g, c[2] = b; });
}

Bytes pgm_fill(int w, int h, uint8_t v) {
    Bytes out = text_of("P5\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n");
    out.insert(out.end(), (size_t)w * h, v);
    return out;
}

Bytes hf_bytes(int n, float spacing, float lo, float hi, const std::vector<uint16_t> *samples) {
    char header[128];
    snprintf(header, sizeof header, "%d %f %f %f\n", n, (double)spacing, (double)lo, (double)hi);
    Bytes out = text_of(header);
    if (samples) {
        out.push_back(':');
        for (uint16_t v : *samples) {
            out.push_back((uint8_t)(v & 0xFF));
            out.push_back((uint8_t)(v >> 8));
        }
    }
    return out;
}

std::string tileinfo_text(int count) {
    std::string s;
    for (int k = 0; k < count; k++) {
        char line[128];
        snprintf(line, sizeof line, "texture @tile%d.png\nfriction %.1f 1\naddtile\n", k,
                 1 + k / 10.0);
        s += line;
    }
    return s;
}

void write_track(const std::string &folder, int n, int tiles,
                 std::function<uint16_t(int, int)> sample) {
    int S = 1 << n, N = 2 * S + 1;
    std::vector<uint16_t> samples((size_t)N * N, 0);
    for (int j = 0; j < N; j++)
        for (int i = 0; i < N; i++) samples[(size_t)i + (size_t)j * N] = sample ? sample(i, j) : 0;
    put_file(folder + "/terrain.hf", hf_bytes(n, 1.0f, 0.0f, 100.0f, &samples));
    put_file(folder + "/tileinfo", tileinfo_text(tiles));
    put_file(folder + "/tilemap", Bytes((size_t)S * S, 0));
    put_file(folder + "/shadingx2.ppm", ppm_fill(N, N, 100, 100, 100));
    put_file(folder + "/shadows.pgm", pgm_fill(N, N, 255));
}

void terrain_fill(Terrain *t, int n, float spacing, std::function<float(int, int)> h) {
    terrain_release(t);
    terrain_set_grid(t, n, spacing);
    size_t N = (size_t)t->samples_per_side, S = (size_t)t->tiles_per_side;
    t->heights = (float *)xmalloc(sizeof(float) * N * N);
    t->shading = (unsigned char *)xmalloc(N * N * 3);
    t->shadows = (unsigned char *)xmalloc(N * N);
    t->tilemap = (unsigned char *)xmalloc(S * S);
    memset(t->shading, 128, N * N * 3);
    memset(t->shadows, 0, N * N);
    memset(t->tilemap, 0, S * S);
    float lo = 1e30f, hi = -1e30f;
    for (size_t j = 0; j < N; j++) {
        for (size_t i = 0; i < N; i++) {
            float v = h((int)i, (int)j);
            t->heights[i + j * N] = v;
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
    }
    t->min_height = lo, t->max_height = hi;
    tile_reset(&t->tiles[0]);
    t->tile_count = 1;
}

std::vector<std::string> TrackTest::console_;

void TrackTest::SetUp() {
    dir_ = make_temp_folder();
    t_ = new Terrain();
    console_.clear();
    g_track_hooks = TrackHooks();
    g_track_hooks.post = [](const char *text) { TrackTest::console_.push_back(text); };
}

void TrackTest::TearDown() {
    terrain_release(t_);
    delete t_;
    g_track_hooks = TrackHooks();
    remove_tree(dir_);
}

VFile *TrackTest::open_text(const char *name, const std::string &text) {
    put_file(path(name), text);
    return vfile_open(path(name).c_str(), "rb");
}

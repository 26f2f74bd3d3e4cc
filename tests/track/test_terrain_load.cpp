// The terrain loader on small track folders: every required file missing or bad, the
// header checks, shading halving, shadow inversion, the tile map clamp and PNG heights.
#include "render/image.h"
#include "track/terrain.h"
#include "track_fixture.h"

#include <cstdio>
#include <cstring>

namespace {

const int N7 = 257; // samples per side at n = 7

class TerrainLoad : public TrackTest {
  protected:
    int load() { return terrain_load(t_, dir_.c_str(), 1); }
    std::string console_text() const {
        std::string s;
        for (const std::string &line : console_) s += line + "|";
        return s;
    }
};

// Each broken track gives 0, its exact console lines, and a released terrain.
struct BadTrack {
    const char *what;
    std::function<void(const std::string &dir)> spoil;
    std::vector<std::string> lines; // "%s" stands for the folder
};

TEST_F(TerrainLoad, BrokenTracksFailWithTheirMessages) {
    auto drop = [](const char *name) {
        return [=](const std::string &d) { remove((d + "/" + name).c_str()); };
    };
    auto put = [](const char *name, Bytes data) {
        return [=](const std::string &d) { put_file(d + "/" + name, data); };
    };
    auto text = [](const char *s) { return Bytes(s, s + strlen(s)); };
    std::vector<uint16_t> short_samples(N7 * N7 - 1, 0);
    const BadTrack cases[] = {
        {"no terrain.hf", drop("terrain.hf"), {"Can't open '%s/terrain.hf'"}},
        {"three header values",
         put("terrain.hf", text("7 1.0 0.0\n")),
         {"Bad height field parameters", "Error reading heights"}},
        {"header not a number",
         put("terrain.hf", text("seven 1 0 1\n")),
         {"Bad height field parameters", "Error reading heights"}},
        {"n = 6",
         put("terrain.hf", text("6 1 0 1\n:")),
         {"Bad height field size 6 (must be 7 to 11)", "Error reading heights"}},
        {"n = 12",
         put("terrain.hf", text("12 1 0 1\n:")),
         {"Bad height field size 12 (must be 7 to 11)", "Error reading heights"}},
        {"spacing 0",
         put("terrain.hf", text("7 0 0 1\n:")),
         {"Bad height field spacing 0 (must be a positive number)", "Error reading heights"}},
        {"negative spacing",
         put("terrain.hf", text("7 -2.5 0 1\n:")),
         {"Bad height field spacing -2.5 (must be a positive number)", "Error reading heights"}},
        {"endless spacing",
         put("terrain.hf", text("7 1e99 0 1\n:")),
         {"Bad height field spacing inf (must be a positive number)", "Error reading heights"}},
        {"endless range",
         put("terrain.hf", text("7 1 0 1e99\n:")),
         {"Bad height field range 0 to inf", "Error reading heights"}},
        {"short binary heights",
         put("terrain.hf", hf_bytes(7, 1, 0, 1, &short_samples)),
         {"Error reading heights"}},
        {"no shading at all", drop("shadingx2.ppm"), {"Can't open '%s/shading.ppm'"}},
        {"shading not an image", put("shadingx2.ppm", text("P6\nbad")), {"Error reading shading"}},
        {"shading short",
         put("shadingx2.ppm", text("P6\n257 257\n255\n\x01\x02")),
         {"Error reading shading"}},
        {"shading too small",
         put("shadingx2.ppm", ppm_fill(10, 12, 1, 2, 3)),
         {"Bad shading dimensions (10x12)"}},
        {"no surface table", drop("tileinfo"), {"Can't open '%s/texturelist'"}},
        {"empty tileinfo",
         put("tileinfo", text("texture a.png\nfriction 1 1\n")),
         {"No tiles defined in '%s/tileinfo'"}},
        {"no tilemap", drop("tilemap"), {"Can't open '%s/tilemap'"}},
        {"shadows not an image", put("shadows.pgm", text("P5 1 1")), {"Error reading shadows"}},
        {"shadows too small", put("shadows.pgm", pgm_fill(256, 257, 255)), {}},
    };
    for (const BadTrack &c : cases) {
        SCOPED_TRACE(c.what);
        write_track(dir_, 7, 1);
        c.spoil(dir_);
        console_.clear();
        EXPECT_EQ(load(), 0);
        std::string want;
        for (const std::string &line : c.lines) {
            char buf[1200];
            snprintf(buf, sizeof buf, line.c_str(), dir_.c_str());
            want += std::string(buf) + "|";
        }
        EXPECT_EQ(console_text(), want);
        EXPECT_EQ(t_->heights, nullptr);
        EXPECT_EQ(t_->tile_count, 0);
        remove((dir_ + "/shading.ppm").c_str());
    }
}

TEST_F(TerrainLoad, AllSamplesAtMaximumGiveFlatGround) {
    write_track(dir_, 7, 1, [](int, int) { return (uint16_t)0xFFFF; });
    ASSERT_EQ(load(), 1) << console_text();
    EXPECT_EQ(t_->tiles_per_side, 128);
    EXPECT_EQ(t_->samples_per_side, 257);
    EXPECT_FLOAT_EQ(t_->extent, 256);
    EXPECT_FLOAT_EQ(t_->tile_size, 2);
    for (float x : {0.0f, 17.3f, 128.0f, 255.9f}) EXPECT_FLOAT_EQ(terrain_height(t_, x, x), 100);
    EXPECT_EQ(t_->modified, 0);
    EXPECT_EQ(console_text(), "");
}

TEST_F(TerrainLoad, SamplesMapLinearlyOntoTheRange) {
    write_track(dir_, 7, 1, [](int i, int j) { return (uint16_t)(i * 255 + j); });
    put_file(path("terrain.hf"), [&] {
        std::vector<uint16_t> s(N7 * N7);
        for (int j = 0; j < N7; j++)
            for (int i = 0; i < N7; i++) s[i + j * N7] = (uint16_t)(i * 255 + j);
        return hf_bytes(7, 2.0f, -10.0f, 30.0f, &s);
    }());
    ASSERT_EQ(load(), 1) << console_text();
    for (int j = 0; j < N7; j += 31)
        for (int i = 0; i < N7; i += 17)
            EXPECT_NEAR(t_->heights[i + j * N7], -10 + (i * 255 + j) * 40.0 / 65535, 1e-5);
    EXPECT_FLOAT_EQ(t_->spacing, 2);
    EXPECT_FLOAT_EQ(t_->extent, 512);
}

TEST_F(TerrainLoad, ShadingPpmIsHalvedAndShadowsInverted) {
    write_track(dir_, 7, 1);
    remove(path("shadingx2.ppm").c_str());
    put_file(path("shading.ppm"), ppm_fill(N7, N7, 200, 100, 255));
    put_file(path("shadows.pgm"), pgm_fill(N7, N7, 55));
    ASSERT_EQ(load(), 1) << console_text();
    EXPECT_EQ(t_->shading[0], 100);
    EXPECT_EQ(t_->shading[1], 50);
    EXPECT_EQ(t_->shading[3 * N7 * N7 - 1], 127);
    EXPECT_EQ(t_->shadows[N7 * N7 / 2], 200);

    // "shadingx2.ppm" wins over "shading.ppm" and is stored as it is; without
    // "shadows.pgm" nothing is shadowed.
    put_file(path("shadingx2.ppm"), ppm_fill(N7, N7, 201, 3, 77));
    remove(path("shadows.pgm").c_str());
    ASSERT_EQ(load(), 1) << console_text();
    EXPECT_EQ(t_->shading[3 * 100 + 0], 201);
    EXPECT_EQ(t_->shading[3 * 100 + 2], 77);
    for (int k = 0; k < N7 * N7; k += 97) ASSERT_EQ(t_->shadows[k], 0);
}

TEST_F(TerrainLoad, TileMapBytesAreClampedToTheTable) {
    write_track(dir_, 7, 3);
    Bytes map(128 * 128, 1);
    map[0] = 3; // equal to the tile count
    map[1] = 255;
    map[2] = 2;
    put_file(path("tilemap"), map);
    ASSERT_EQ(load(), 1) << console_text();
    EXPECT_EQ(t_->tile_count, 3);
    EXPECT_EQ(t_->tilemap[0], 2);
    EXPECT_EQ(t_->tilemap[1], 2);
    EXPECT_EQ(t_->tilemap[2], 2);
    EXPECT_EQ(t_->tilemap[3], 1);
    EXPECT_FLOAT_EQ(tile_friction(terrain_surface_at(t_, 0.5f, 0.5f), 0), 1.2f);

    // A short tile map shows tile 0 beyond its end.
    put_file(path("tilemap"), Bytes(100, 1));
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(t_->tilemap[99], 1);
    EXPECT_EQ(t_->tilemap[100], 0);
    EXPECT_EQ(t_->tilemap[128 * 128 - 1], 0);
}

TEST_F(TerrainLoad, PngHeightsRepeatTheirLastRowAndColumn) {
    write_track(dir_, 7, 1);
    put_file(path("terrain.hf"), hf_bytes(7, 1.0f, 10.0f, 20.0f, nullptr));
    const int w = 100, h = 60;
    std::vector<uint16_t> px(w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) px[x + y * w] = (uint16_t)(x * 600 + y * 7);
    ASSERT_EQ(write_png_grey16(path("terrain.png").c_str(), px.data(), w, h), 1);
    ASSERT_EQ(load(), 1) << console_text();
    auto expect = [&](int i, int j) {
        int x = i < w ? i : w - 1, y = j < h ? j : h - 1;
        return 10 + (x * 600 + y * 7) * 10.0 / 65535;
    };
    for (int j : {0, 30, 59, 60, 200, 256})
        for (int i : {0, 50, 99, 100, 256})
            EXPECT_NEAR(t_->heights[i + j * N7], expect(i, j), 1e-5) << i << "," << j;
}

TEST_F(TerrainLoad, EightBitPngSpansTheRangeAndAMissingOneIsFlat) {
    write_track(dir_, 7, 1);
    put_file(path("terrain.hf"), hf_bytes(7, 1.0f, -5.0f, 15.0f, nullptr));
    std::vector<uint8_t> px = {255, 0, 0, 255}; // 2 x 2
    ASSERT_EQ(image_write_png(path("terrain.png").c_str(), px.data(), 2, 2, IMAGE_GREY8), 1);
    ASSERT_EQ(load(), 1) << console_text();
    EXPECT_FLOAT_EQ(t_->heights[0], 15);
    EXPECT_FLOAT_EQ(t_->heights[1], -5);
    EXPECT_FLOAT_EQ(t_->heights[N7], -5);
    EXPECT_FLOAT_EQ(t_->heights[N7 * N7 - 1], 15);

    remove(path("terrain.png").c_str());
    ASSERT_EQ(load(), 1);
    EXPECT_FLOAT_EQ(t_->heights[0], -5);
    EXPECT_FLOAT_EQ(t_->heights[N7 * N7 - 1], -5);
}

TEST_F(TerrainLoad, TexturelistStandsInForTileinfo) {
    write_track(dir_, 7, 1);
    remove(path("tileinfo").c_str());
    put_file(path("texturelist"), "0.7 4 12 grass tile.png  \r\n\r\n  dirt.png\r\n");
    ASSERT_EQ(load(), 1) << console_text();
    ASSERT_EQ(t_->tile_count, 2);
    EXPECT_EQ(t_->tiles[0].name, "@grass tile.png");
    EXPECT_EQ(t_->tiles[1].name, "@dirt.png");
    EXPECT_FLOAT_EQ(tile_friction(&t_->tiles[0], 25), 0.7f);
}

TEST_F(TerrainLoad, DigestFollowsTheSamples) {
    write_track(dir_, 7, 1, [](int i, int) { return (uint16_t)i; });
    ASSERT_EQ(load(), 1);
    std::vector<uint8_t> first(t_->height_digest, t_->height_digest + 20);
    write_track(dir_, 7, 1, [](int i, int j) { return (uint16_t)(i + (i == 3 && j == 200)); });
    ASSERT_EQ(load(), 1);
    EXPECT_NE(first, std::vector<uint8_t>(t_->height_digest, t_->height_digest + 20));
}

} // namespace

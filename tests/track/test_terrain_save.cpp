// The editor's terrain writers: a save loads back within one quantisation step, flat
// ground writes zeros, and the shading and tile map survive the round trip.
#include "data/vfile.h"
#include "render/image.h"
#include "track/terrain.h"
#include "track_fixture.h"

#include <cmath>
#include <cstring>

namespace {

class TerrainSave : public TrackTest {
  protected:
    // A loaded track whose heights, shading and tiles are then changed in memory.
    void SetUp() override {
        TrackTest::SetUp();
        write_track(dir_, 7, 3, [](int i, int j) { return (uint16_t)(i * 97 + j * 31); });
        ASSERT_EQ(terrain_load(t_, dir_.c_str(), 1), 1);
        int n = t_->samples_per_side;
        for (int j = 0; j < n; j++) {
            for (int i = 0; i < n; i++) {
                t_->heights[i + j * n] = 12.5f + 9 * std::sin(i * 0.05f) * std::cos(j * 0.07f);
                unsigned char *s = t_->shading + 3 * (i + j * n);
                s[0] = (unsigned char)i, s[1] = (unsigned char)j, s[2] = (unsigned char)(i ^ j);
            }
        }
        for (int k = 0; k < t_->tiles_per_side * t_->tiles_per_side; k++) t_->tilemap[k] = k % 3;
        out_ = dir_ + "/saved";
    }
    std::string out_;
};

TEST_F(TerrainSave, RoundTripWithinOneQuantisationStep) {
    ASSERT_EQ(terrain_save(t_, out_.c_str()), 1);
    // The header has no binary section, so the heights come from "terrain.png".
    Bytes header = file_bytes(out_ + "/terrain.hf");
    std::string hf(header.begin(), header.end());
    EXPECT_EQ(hf.find(':'), std::string::npos);
    EXPECT_EQ(hf.back(), '\n');
    put_file(out_ + "/tileinfo", tileinfo_text(3));

    Terrain *back = new Terrain();
    ASSERT_EQ(terrain_load(back, out_.c_str(), 1), 1);
    int n = t_->samples_per_side;
    float lo = t_->heights[0], hi = t_->heights[0];
    for (int k = 0; k < n * n; k++)
        lo = std::fmin(lo, t_->heights[k]), hi = std::fmax(hi, t_->heights[k]);
    EXPECT_NEAR(back->min_height, lo, 1e-5);
    EXPECT_NEAR(back->max_height, hi, 1e-5);
    float step = (hi - lo) / 65535;
    float worst = 0;
    for (int k = 0; k < n * n; k++)
        worst = std::fmax(worst, std::fabs(back->heights[k] - t_->heights[k]));
    EXPECT_LE(worst, step);
    EXPECT_EQ(memcmp(back->shading, t_->shading, (size_t)3 * n * n), 0);
    EXPECT_EQ(memcmp(back->tilemap, t_->tilemap, (size_t)t_->tiles_per_side * t_->tiles_per_side),
              0);
    terrain_release(back);
    delete back;
}

TEST_F(TerrainSave, FullBrightnessShadingIsDoubledAndCapped) {
    ASSERT_EQ(terrain_save(t_, out_.c_str()), 1);
    VFile *vf = vfile_open((out_ + "/shading.ppm").c_str(), "rb");
    ASSERT_NE(vf, nullptr);
    Image img;
    ASSERT_EQ(read_ppm(vf, &img), 1);
    vfile_close(vf);
    int n = t_->samples_per_side;
    for (int k = 0; k < 3 * n * n; k += 7) {
        int want = t_->shading[k] * 2;
        ASSERT_EQ(img.pixels[k], want > 255 ? 255 : want) << k;
    }
    image_free(&img);
}

TEST_F(TerrainSave, FlatGroundWritesZeroSamples) {
    int n = t_->samples_per_side;
    for (int k = 0; k < n * n; k++) t_->heights[k] = 4.25f;
    ASSERT_EQ(terrain_save(t_, out_.c_str()), 1);
    VFile *vf = vfile_open((out_ + "/terrain.png").c_str(), "rb");
    ASSERT_NE(vf, nullptr);
    Image img;
    ASSERT_EQ(read_png_grey16(vf, &img), 1);
    vfile_close(vf);
    const uint16_t *px = (const uint16_t *)img.pixels;
    for (int k = 0; k < n * n; k++) ASSERT_EQ(px[k], 0);
    image_free(&img);
    put_file(out_ + "/tileinfo", tileinfo_text(1));
    Terrain *back = new Terrain();
    ASSERT_EQ(terrain_load(back, out_.c_str(), 1), 1);
    EXPECT_FLOAT_EQ(terrain_height(back, 30, 30), 4.25f);
    terrain_release(back);
    delete back;
}

TEST_F(TerrainSave, UnwritableFolderFails) {
    EXPECT_EQ(terrain_save(t_, "/proc/no-such-folder/track"), 0);
}

} // namespace

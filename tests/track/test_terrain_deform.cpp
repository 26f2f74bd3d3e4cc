// Ground deformation: the bump's total, its border behaviour, write protection and the
// shading mark it leaves.
#include "track/terrain.h"
#include "track_fixture.h"

#include <cstring>
#include <vector>

namespace {

class TerrainDeform : public TrackTest {
  protected:
    void SetUp() override {
        TrackTest::SetUp();
        terrain_fill(t_, 7, 1.0f, [](int i, int j) { return 0.01f * i + 0.02f * j; });
    }
    double height_sum() const {
        double s = 0;
        for (int k = 0; k < t_->samples_per_side * t_->samples_per_side; k++) s += t_->heights[k];
        return s;
    }
    std::vector<uint8_t> shading() const {
        int n = t_->samples_per_side;
        return std::vector<uint8_t>(t_->shading, t_->shading + 3 * n * n);
    }
    std::vector<float> heights() const {
        int n = t_->samples_per_side;
        return std::vector<float>(t_->heights, t_->heights + n * n);
    }
};

TEST_F(TerrainDeform, ZeroAmountChangesNothing) {
    std::vector<float> h = heights();
    std::vector<uint8_t> s = shading();
    terrain_deform(t_, 50.3f, 60.7f, 0);
    EXPECT_EQ(heights(), h);
    EXPECT_EQ(shading(), s);
    EXPECT_EQ(t_->modified, 0);
}

TEST_F(TerrainDeform, InsideTheGridTheBumpAddsExactlyTheAmount) {
    for (float amount : {0.5f, -0.25f}) {
        double before = height_sum();
        terrain_deform(t_, 100.3f, 40.8f, amount);
        EXPECT_NEAR(height_sum() - before, amount, 1e-4);
    }
    EXPECT_EQ(t_->modified, 1);
    // Only the 4 x 4 samples around the point move, the nearest the most.
    std::vector<float> h = heights();
    terrain_fill(t_, 7, 1.0f, [](int i, int j) { return 0.01f * i + 0.02f * j; });
    terrain_deform(t_, 100.3f, 40.8f, 1);
    int n = t_->samples_per_side;
    float nearest = t_->heights[100 + 41 * n] - (1.0f + 0.82f);
    for (int j = 0; j < n; j++) {
        for (int i = 0; i < n; i++) {
            float d = t_->heights[i + j * n] - (0.01f * i + 0.02f * j);
            if (i < 99 || i > 102 || j < 39 || j > 42)
                ASSERT_EQ(d, 0) << i << "," << j;
            else
                EXPECT_LE(d, nearest + 1e-6f);
        }
    }
}

TEST_F(TerrainDeform, AtTheBorderSamplesOutsideAreSkipped) {
    double before = height_sum();
    terrain_deform(t_, 0.2f, 0.2f, 1);
    double added = height_sum() - before;
    EXPECT_GT(added, 0.2);
    EXPECT_LT(added, 0.99);
    float lo = t_->min_height;
    terrain_deform(t_, 0.2f, 0.2f, -30);
    EXPECT_LT(t_->min_height, lo - 1);
}

TEST_F(TerrainDeform, WriteProtectionKeepsTheHeightsButMarksTheShading) {
    // Shading equal to the lit colour: no detail, so only the mark moves it.
    int n = t_->samples_per_side;
    for (int j = 0; j < n; j++)
        for (int i = 0; i < n; i++) terrain_sample_colour(t_, i, j, t_->shading + 3 * (i + j * n));
    t_->write_protected = 1;
    std::vector<float> h = heights();
    std::vector<uint8_t> s = shading();
    float lo = t_->min_height, hi = t_->max_height;
    // The race tick moves the dither, so repeated small steps add up.
    for (int k = 0; k < 40; k++) {
        t_->tick = (unsigned)k;
        terrain_deform(t_, 64.5f, 64.5f, 2);
    }
    EXPECT_EQ(heights(), h);
    EXPECT_EQ(t_->modified, 0);
    EXPECT_EQ(t_->min_height, lo);
    EXPECT_EQ(t_->max_height, hi);
    // The mark darkens the ground, green and blue more than red.
    int k = 3 * (64 + 64 * n);
    std::vector<uint8_t> now = shading();
    EXPECT_LT(now[k + 0], s[k + 0]);
    EXPECT_LT(now[k + 1], now[k + 0]);
    EXPECT_LT(now[k + 2], now[k + 0]);
    EXPECT_EQ(now[3 * (10 + 10 * n)], s[3 * (10 + 10 * n)]);
}

} // namespace

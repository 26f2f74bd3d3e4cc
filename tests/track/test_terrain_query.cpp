// Height, normal and tile queries on in-memory terrains: grid points, the checkerboard
// triangulation, the planes the normals report and clamping beyond the borders.
#include "track/terrain.h"
#include "track_fixture.h"

#include <cmath>
#include <random>

namespace {

// Rough heights with no two neighbouring cells coplanar, so every triangle is its own plane.
float rough(int i, int j) {
    uint32_t h = (uint32_t)i * 73856093u ^ (uint32_t)j * 19349663u;
    h = (h ^ (h >> 13)) * 0x5bd1e995u;
    return (float)((h >> 8) % 2000) / 100.0f;
}

class TerrainQuery : public TrackTest {
  protected:
    void SetUp() override {
        TrackTest::SetUp();
        terrain_fill(t_, 7, 1.5f, rough);
    }
    float H(int i, int j) const {
        int last = t_->samples_per_side - 1;
        i = i < 0 ? 0 : i > last ? last : i;
        j = j < 0 ? 0 : j > last ? last : j;
        return t_->heights[i + j * t_->samples_per_side];
    }
};

// Up to the rounding of the plane formula (a few units in the last place of the heights).
TEST_F(TerrainQuery, GridPointsReturnTheirSamples) {
    for (int j = 0; j < t_->samples_per_side; j += 3)
        for (int i = 0; i < t_->samples_per_side; i += 5)
            ASSERT_NEAR(terrain_height(t_, i * t_->spacing, j * t_->spacing), H(i, j), 1e-5f)
                << i << "," << j;
}

// Along a cell's cut diagonal the height is the straight line between its two ends, and
// points just either side of it agree: both triangles share the edge.
TEST_F(TerrainQuery, BothTrianglesAgreeOnTheDiagonal) {
    struct Cell {
        int i, j; // odd and even parity cells
    } cells[] = {{10, 11}, {3, 8}, {20, 20}, {0, 0}, {5, 6}, {254, 255}};
    float a = t_->spacing;
    for (const Cell &c : cells) {
        int odd = (c.i + c.j) & 1;
        for (float f = 0.05f; f < 1; f += 0.1f) {
            // Odd cells are cut from (i+1, j) to (i, j+1), even ones from (i, j) to (i+1, j+1).
            float u = odd ? 1 - f : f, v = f;
            float expect = odd ? H(c.i + 1, c.j) + f * (H(c.i, c.j + 1) - H(c.i + 1, c.j))
                               : H(c.i, c.j) + f * (H(c.i + 1, c.j + 1) - H(c.i, c.j));
            float x = (c.i + u) * a, z = (c.j + v) * a;
            EXPECT_NEAR(terrain_height(t_, x, z), expect, 1e-3f) << c.i << "," << c.j << " f=" << f;
            float e = 1e-3f * a;
            EXPECT_NEAR(terrain_height(t_, x + e, z), terrain_height(t_, x - e, z), 0.05f);
        }
    }
}

// Each point lies on the plane of terrain_normal, and that plane holds exactly the three
// cell corners of the triangle the checkerboard gives the point.
TEST_F(TerrainQuery, RandomPointsLieOnTheReportedTriangle) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(0, t_->extent);
    float a = t_->spacing;
    for (int k = 0; k < 2000; k++) {
        float x = pos(rng), z = pos(rng);
        float h = terrain_height(t_, x, z);
        Vec3 n = terrain_normal(t_, x, z);
        ASSERT_FLOAT_EQ(n.y, a * a);
        int i = (int)std::floor(x / a), j = (int)std::floor(z / a);
        float u = x / a - i, v = z / a - j;
        int odd = (i + j) & 1;
        // The corner that is not part of the point's triangle.
        int off_i, off_j;
        if (odd)
            off_i = u + v <= 1 ? 1 : 0, off_j = off_i;
        else
            off_i = v <= u ? 0 : 1, off_j = 1 - off_i;
        for (int cj = 0; cj < 2; cj++) {
            for (int ci = 0; ci < 2; ci++) {
                float dist = (n.x * ((i + ci) * a - x) + n.y * (H(i + ci, j + cj) - h) +
                              n.z * ((j + cj) * a - z)) /
                             std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
                if (ci == off_i && cj == off_j)
                    EXPECT_GT(std::fabs(dist), 1e-3f) << "corner off the plane";
                else
                    EXPECT_NEAR(dist, 0, 2e-3f) << x << "," << z << " corner " << ci << cj;
            }
        }
    }
}

TEST_F(TerrainQuery, NormalPointsUpOnSlopesBothWays) {
    terrain_fill(t_, 7, 2.0f, [](int i, int j) { return 0.5f * i - 0.25f * j; });
    for (float x : {3.3f, 100.7f, 200.1f}) {
        Vec3 n = terrain_normal(t_, x, 51.9f);
        EXPECT_FLOAT_EQ(n.y, 4.0f);
        // Rising 0.5 per cell along x and falling 0.25 along z: n = a (-0.5, a, 0.25).
        EXPECT_NEAR(n.x, -1.0f, 1e-4f);
        EXPECT_NEAR(n.z, 0.5f, 1e-4f);
    }
}

TEST_F(TerrainQuery, BeyondTheBordersTheBorderSamplesExtend) {
    float e = t_->extent, a = t_->spacing;
    int last = t_->samples_per_side - 1;
    struct Case {
        float x, z;   // query beyond a border
        float bx, bz; // the same point moved onto the border
    } cases[] = {
        {-10, 30.25f, 0, 30.25f}, {e + 50, 30.25f, e, 30.25f},
        {40.6f, -3, 40.6f, 0},    {40.6f, e + 1, 40.6f, e},
        {-5, -5, 0, 0},           {e + 9, e + 9, e, e},
        {-1e9f, 12.5f, 0, 12.5f}, {1e9f, 1e9f, e, e},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(terrain_height(t_, c.x, c.z), terrain_height(t_, c.bx, c.bz), 1e-4f)
            << c.x << "," << c.z;
    EXPECT_FLOAT_EQ(terrain_height(t_, -100, -100), H(0, 0));
    EXPECT_FLOAT_EQ(terrain_height(t_, e + 100, e + 100), H(last, last));
    // Outside the grid the ground is flat across the border direction.
    Vec3 n = terrain_normal(t_, -20, 7 * a + 0.3f * a);
    EXPECT_FLOAT_EQ(n.x, 0);
    EXPECT_TRUE(std::isfinite(terrain_height(t_, NAN, 3)));
}

TEST_F(TerrainQuery, TileLookupClampsToTheMap) {
    int S = t_->tiles_per_side;
    for (int k = 0; k < S * S; k++) t_->tilemap[k] = (uint8_t)((k % S) * 2 + k / S % 2);
    float ts = t_->tile_size, e = t_->extent;
    struct Case {
        float x, z;
        int u, v; // expected tile cell
    } cases[] = {
        {0, 0, 0, 0},          {ts * 0.99f, 0, 0, 0},   {ts, 0, 1, 0},
        {e, 0, S - 1, 0},      {e + 100, ts, S - 1, 1}, {-1, ts * 1.5f, 0, 1},
        {-1e30f, e, 0, S - 1}, {NAN, NAN, 0, 0},        {ts * 5.5f, ts * 7.2f, 5, 7},
    };
    for (const Case &c : cases)
        EXPECT_EQ(terrain_tile_at(t_, c.x, c.z), t_->tilemap[c.u + c.v * S]) << c.x << "," << c.z;
    EXPECT_EQ(terrain_surface_at(t_, ts * 5.5f, ts * 7.2f), &t_->tiles[t_->tilemap[5 + 7 * S]]);
}

TEST_F(TerrainQuery, SampleColourOfFlatSunlitGround) {
    terrain_fill(t_, 7, 1.0f, [](int, int) { return 3.0f; });
    t_->light.sun_dir[0] = 0, t_->light.sun_dir[1] = 1, t_->light.sun_dir[2] = 0;
    unsigned char rgb[3];
    terrain_sample_colour(t_, 10, 10, rgb);
    for (int c = 0; c < 3; c++) EXPECT_EQ(rgb[c], 191); // (1 x 1 + 0.5) x 0.5 x 255, truncated
    // Full shadow leaves the ambient part; indices beyond the grid read the border.
    t_->shadows[0] = 255;
    terrain_sample_colour(t_, -4, -4, rgb);
    for (int c = 0; c < 3; c++) EXPECT_EQ(rgb[c], 63);
    // A slope facing away from the sun is darker than one facing it.
    terrain_fill(t_, 7, 1.0f, [](int i, int) { return (float)i; });
    t_->light.sun_dir[0] = 1, t_->light.sun_dir[1] = 1, t_->light.sun_dir[2] = 0;
    unsigned char away[3];
    terrain_sample_colour(t_, 50, 50, away);
    t_->light.sun_dir[0] = -1;
    terrain_sample_colour(t_, 50, 50, rgb);
    EXPECT_GT(rgb[0], away[0]);
}

} // namespace

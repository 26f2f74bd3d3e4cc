// The generated tracks as the game and the track tool see them: rabbithill's course,
// surfaces, jumps and berms, the flat proving ground, the generator's determinism and
// skarvex-track's reports and failures.
#include "rabbithill_course.h"
#include "track/terrain.h"
#include "track_fixture.h"

#include <cmath>
#include <cstdio>
#include <sys/wait.h>

namespace {

// Runs a command; returns its exit status and its standard output and error together.
int run(const std::string &cmd, std::string *out) {
    FILE *p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    size_t n;
    out->clear();
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out->append(buf, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string game_dir = SK_GAME_DIR;
const std::string track_tool = std::string(SK_BIN_DIR) + "/skarvex-track";

class TrackData : public TrackTest {
  protected:
    void SetUp() override {
        TrackTest::SetUp();
        rabbithill_build_course(&course_);
    }
    Course course_;
};

TEST_F(TrackData, RabbithillCourseIsAboutAMileAndNeverCrossesItself) {
    EXPECT_GT(course_.length, 4800);
    EXPECT_LT(course_.length, 5800);
    EXPECT_GE(rabbithill_points[rabbithill_gate_point].width, 140); // 40 riders at 3.5 ft
    // Pieces of the course far apart along the loop keep clear of each other.
    int n = (int)course_.x.size(), step = 8;
    for (int a = 0; a < n; a += step) {
        for (int b = a + step; b < n; b += step) {
            double along = std::fmin(b - a, n - (b - a)) * COURSE_STEP;
            if (along < 300) continue;
            double dx = course_.x[a] - course_.x[b], dz = course_.z[a] - course_.z[b];
            double need = course_.half[a] + course_.half[b] + 20;
            ASSERT_GT(std::sqrt(dx * dx + dz * dz), need)
                << a * COURSE_STEP << " " << b * COURSE_STEP;
        }
    }
    // The whole course lies on the ground with room to spare.
    for (int k = 0; k < n; k++) {
        ASSERT_GT(course_.x[k] - course_.half[k], 40);
        ASSERT_GT(course_.z[k] - course_.half[k], 40);
        ASSERT_LT(course_.x[k] + course_.half[k], 1240);
        ASSERT_LT(course_.z[k] + course_.half[k], 1240);
    }
}

TEST_F(TrackData, RabbithillLoadsWithItsSurfacesJumpsAndBerms) {
    ASSERT_EQ(terrain_load(t_, (game_dir + "/rabbithill").c_str(), 1), 1);
    EXPECT_GE(t_->extent, 1000);
    ASSERT_EQ(t_->tile_count, 6);
    long cells = (long)t_->tiles_per_side * t_->tiles_per_side;
    std::vector<long> used(256, 0);
    for (long k = 0; k < cells; k++) used[t_->tilemap[k]]++;
    for (int k = 0; k < 6; k++) EXPECT_GT(used[k], 500) << "tile " << k;
    // Off-track grass grips less than any riding surface, at every speed.
    for (float s : {0.0f, 10.0f, 40.0f, 80.0f})
        for (int k = 1; k < 6; k++)
            EXPECT_LT(tile_friction(&t_->tiles[RH_GRASS], s), tile_friction(&t_->tiles[k], s));
    // The centreline runs on track surface all the way round.
    for (size_t k = 0; k < course_.x.size(); k += 4)
        ASSERT_NE(terrain_tile_at(t_, (float)course_.x[k], (float)course_.z[k]), RH_GRASS)
            << k * COURSE_STEP;
    // Every jump rises above its bed on the ground as loaded.
    for (const CourseFeature &f : rabbithill_features) {
        if (f.kind == FEATURE_WHOOPS || f.kind == FEATURE_ROLLERS) continue;
        double s0 = course_.point_s[f.point] + f.offset, best = 0;
        for (double u = 0; u < f.len1 + f.len2 + 10; u += 0.5) {
            int k = course_index(&course_, s0 + u);
            double above =
                terrain_height(t_, (float)course_.x[k], (float)course_.z[k]) - course_.bed[k];
            best = std::fmax(best, above);
        }
        EXPECT_GT(best, 0.8 * f.height) << "feature at point " << f.point;
    }
    // In turn 1 the outer edge stands well above the inner edge: a berm.
    double s1 = course_.point_s[6];
    int k = course_index(&course_, s1);
    double kx = course_.x[k], kz = course_.z[k];
    int k2 = course_index(&course_, s1 + 2);
    double tx = course_.x[k2] - kx, tz = course_.z[k2] - kz, tl = std::sqrt(tx * tx + tz * tz);
    double lx = tz / tl, lz = -tx / tl; // the left of travel: the inside of this left turn
    double w = course_.half[k] * 0.9;
    float inner = terrain_height(t_, (float)(kx + lx * w), (float)(kz + lz * w));
    float outer = terrain_height(t_, (float)(kx - lx * w), (float)(kz - lz * w));
    EXPECT_GT(outer - inner, 2.5f);
    // The start area is level enough for a gate across it.
    const CoursePoint &gate = rabbithill_points[rabbithill_gate_point];
    float lo = 1e9f, hi = -1e9f;
    for (float dz = -70; dz <= 70; dz += 5) {
        float h = terrain_height(t_, (float)gate.x, (float)(gate.z + dz));
        lo = std::fmin(lo, h), hi = std::fmax(hi, h);
    }
    EXPECT_LT(hi - lo, 1.5f);
    EXPECT_EQ(terrain_tile_at(t_, (float)gate.x - 10, (float)gate.z), RH_STARTPAD);
    // Some ground lies in shadow, most in sunshine.
    long n2 = (long)t_->samples_per_side * t_->samples_per_side, dark = 0;
    for (long s = 0; s < n2; s++) dark += t_->shadows[s] > 128;
    EXPECT_GT(dark, n2 / 2000);
    EXPECT_LT(dark, n2 / 10);
}

TEST_F(TrackData, ProvingGroundIsFlatWithOneSurface) {
    ASSERT_EQ(terrain_load(t_, (game_dir + "/proving").c_str(), 1), 1);
    EXPECT_GE(t_->extent, 1000);
    EXPECT_EQ(t_->tile_count, 1);
    long n2 = (long)t_->samples_per_side * t_->samples_per_side;
    for (long s = 0; s < n2; s++) ASSERT_EQ(t_->heights[s], t_->heights[0]);
    for (float s : {0.0f, 30.0f, 100.0f}) EXPECT_FLOAT_EQ(tile_friction(&t_->tiles[0], s), 1.0f);
    Vec3 n = terrain_normal(t_, 500.5f, 700.25f);
    EXPECT_EQ(n.x, 0);
    EXPECT_EQ(n.z, 0);
}

TEST_F(TrackData, GeneratorIsDeterministic) {
    std::string out;
    std::string gen = std::string(SK_BIN_DIR) + "/skarvex-datagen";
    ASSERT_EQ(run(gen + " " + dir_ + "/a", &out), 0) << out;
    ASSERT_EQ(run(gen + " " + dir_ + "/b", &out), 0) << out;
    ASSERT_EQ(run("diff -r " + dir_ + "/a " + dir_ + "/b", &out), 0) << out;
    ASSERT_EQ(
        run("cmp " + dir_ + "/a/rabbithill/terrain.hf.gz " + game_dir + "/rabbithill/terrain.hf.gz",
            &out),
        0)
        << out;
}

TEST_F(TrackData, TrackToolReportsAndProbes) {
    std::string out;
    ASSERT_EQ(run(track_tool + " info " + game_dir + "/rabbithill", &out), 0) << out;
    EXPECT_NE(out.find("1025 x 1025 samples"), std::string::npos) << out;
    EXPECT_NE(out.find("1280.00 ft x 1280.00 ft"), std::string::npos) << out;
    EXPECT_NE(out.find("@ground/sand.png"), std::string::npos) << out;
    ASSERT_EQ(terrain_load(t_, (game_dir + "/rabbithill").c_str(), 1), 1);
    float x = 367.5f, z = 837;
    ASSERT_EQ(run(track_tool + " probe " + game_dir + "/rabbithill 367.5 837", &out), 0) << out;
    float h;
    ASSERT_EQ(sscanf(out.c_str() + out.find("height:"), "height: %f", &h), 1) << out;
    EXPECT_NEAR(h, terrain_height(t_, x, z), 1e-3f);
    char tile[64];
    snprintf(tile, sizeof tile, "tile:     %d ", terrain_tile_at(t_, x, z));
    EXPECT_NE(out.find(tile), std::string::npos) << out;
    ASSERT_EQ(run(track_tool + " info " + game_dir + "/proving", &out), 0) << out;
    EXPECT_NE(out.find("tiles:    1"), std::string::npos) << out;
}

TEST_F(TrackData, TrackToolFailsWithTheLoadersMessages) {
    std::string out;
    EXPECT_EQ(run(track_tool + " info " + dir_ + "/nothing", &out), 1);
    EXPECT_EQ(out, "Can't open '" + dir_ + "/nothing/terrain.hf'\n");
    write_track(dir_, 7, 1);
    put_file(path("terrain.hf"), "13 1 0 1\n");
    EXPECT_EQ(run(track_tool + " probe " + dir_ + " 1 2", &out), 1);
    EXPECT_EQ(out, "Bad height field size 13 (must be 7 to 11)\nError reading heights\n");
    EXPECT_EQ(run(track_tool + " probe " + dir_ + " 1 z", &out), 1);
    EXPECT_NE(run(track_tool + " frobnicate " + dir_, &out), 0);
}

} // namespace

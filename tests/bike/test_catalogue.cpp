// The bike catalogue: its names and classes, the gearing and torque rules every model
// keeps, the yz250f(2009) as published, and name lookups.
#include "bike/bike_hooks.h"
#include "bike/bike_info.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace {

const BikeInfo &model(const char *name) {
    const BikeInfo *b = find_bike_info(name);
    EXPECT_NE(b, nullptr) << name;
    return b ? *b : *default_bike_info();
}

int gear_count(const BikeInfo &b) {
    int n = 0;
    while (n < GEAR_COUNT && b.gear_ratio[n] > 0) n++;
    return n;
}

// The index of the largest full-throttle torque (the first on a tie).
int peak_index(const BikeInfo &b) {
    int best = 0;
    for (int i = 1; i < TORQUE_POINTS; i++)
        if (b.torque_open[i] > b.torque_open[best]) best = i;
    return best;
}

void expect_vec(const float *got, float x, float y, float z, const char *what) {
    EXPECT_FLOAT_EQ(got[0], x) << what;
    EXPECT_FLOAT_EQ(got[1], y) << what;
    EXPECT_FLOAT_EQ(got[2], z) << what;
}

TEST(Catalogue, TwentyEightUniqueNamesInLookupOrder) {
    std::set<std::string> names;
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) names.insert(all[i].name);
    EXPECT_EQ(names.size(), 28u);
    EXPECT_STREQ(all[0].name, "crf450(2011)");
    EXPECT_STREQ(all[27].name, "rs50yz");
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) EXPECT_EQ(find_bike_info(all[i].name), &all[i]);
}

TEST(Catalogue, ClassCounts) {
    std::map<std::string, int> count;
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) count[all[i].class_name]++;
    EXPECT_EQ(count.size(), 4u);
    EXPECT_EQ(count["450f"], 6);
    EXPECT_EQ(count["250f"], 13);
    EXPECT_EQ(count["125"], 5);
    EXPECT_EQ(count["50"], 4);
}

TEST(Catalogue, GearboxesFallFromFirstToTopAndMarkMissingGears) {
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        const BikeInfo &b = all[i];
        std::string cls = b.class_name, name = b.name;
        int want = cls == "450f" || cls == "250f" || name == "cr125" ? 5 : 6;
        EXPECT_EQ(gear_count(b), want) << name;
        if (want == 5) {
            EXPECT_EQ(b.gear_ratio[5], -1.0f) << name;
        }
        for (int g = 1; g < gear_count(b); g++)
            EXPECT_LT(b.gear_ratio[g], b.gear_ratio[g - 1]) << name << " gear " << g;
        EXPECT_GE(b.primary_ratio, 2.74f) << name;
        EXPECT_LE(b.primary_ratio, 3.71429f) << name;
        EXPECT_GE(b.front_sprocket, 3.0f) << name;
        EXPECT_GT(b.rear_sprocket, b.front_sprocket) << name;
    }
}

struct PeakRange {
    const char *what; // a class, or a model name
    float torque_lo, torque_hi, rpm_lo, rpm_hi;
};

TEST(Catalogue, TorquePeaksLieWhereEachClassPutsThem) {
    const PeakRange ranges[] = {
        {"450f", 33, 36.1f, 6500, 7500},    {"350sxf(2011)", 27.7f, 27.7f, 8000, 8000},
        {"250f", 18.3f, 20.4f, 8000, 9500}, {"125", 15.9f, 17.4f, 9500, 10500},
        {"50", 4.31f, 4.31f, 9500, 9500},
    };
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        const BikeInfo &b = all[i];
        const PeakRange *r = nullptr;
        for (const PeakRange &c : ranges)
            if (std::string(c.what) == b.name) r = &c;
        for (const PeakRange &c : ranges)
            if (!r && std::string(c.what) == b.class_name) r = &c;
        ASSERT_NE(r, nullptr) << b.name;
        int peak = peak_index(b);
        EXPECT_GE(b.torque_open[peak], r->torque_lo) << b.name;
        EXPECT_LE(b.torque_open[peak], r->torque_hi) << b.name;
        EXPECT_GE(peak * 500.0f, r->rpm_lo) << b.name;
        EXPECT_LE(peak * 500.0f, r->rpm_hi) << b.name;
    }
}

TEST(Catalogue, TorqueTablesHaveTheirShape) {
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        const BikeInfo &b = all[i];
        // Closed throttle: positive at the lowest speeds, then falling into engine braking.
        EXPECT_GT(b.torque_closed[0], 0) << b.name;
        EXPECT_LT(b.torque_closed[TORQUE_POINTS - 1], 0) << b.name;
        for (int k = 1; k < TORQUE_POINTS; k++)
            EXPECT_LE(b.torque_closed[k], b.torque_closed[k - 1]) << b.name << " " << k;
        // Full throttle pulls up to the upshift speed and turns negative past the cut-off.
        EXPECT_GT(b.torque_open[(int)(b.upshift_rpm / 500)], 0) << b.name;
        EXPECT_LT(b.torque_open[TORQUE_POINTS - 1], 0) << b.name;
        EXPECT_LT(b.downshift_rpm, b.upshift_rpm) << b.name;
    }
    const BikeInfo &yz = model("yz250f(2009)");
    for (const char *name : {"cr125", "kx125", "rm125", "yz125", "125sx"}) {
        const BikeInfo &b = model(name);
        EXPECT_FLOAT_EQ(b.torque_closed[4], -1) << name;
        EXPECT_FLOAT_EQ(b.torque_closed[5], -1.2f) << name;
        EXPECT_FLOAT_EQ(b.torque_closed[6], -1.4f) << name;
        for (int k = 6; k < 25; k++) EXPECT_GE(b.torque_closed[k], yz.torque_closed[k]) << name;
    }
    for (const char *name : {"rs50cr", "rs50kx", "rs50rm", "rs50yz"}) {
        const BikeInfo &b = model(name);
        for (int k = 0; k < TORQUE_POINTS; k++) {
            float base = yz.torque_closed[k];
            EXPECT_FLOAT_EQ(b.torque_closed[k], base < 0 ? base / 2 : base) << name << " " << k;
        }
    }
}

struct ClassValues {
    const char *cls;
    float frame_mass, rider_mass, fork_mass, swingarm_mass, fork_spring_min, fork_spring_max,
        fork_rebound, shock_spring_min, shock_spring_max, shock_rebound, inertia, down, up,
        drive_stiffness, drive_damping;
};

TEST(Catalogue, ClassValues) {
    const ClassValues table[] = {
        {"450f", 4.735f, 5.46875f, 0.703125f, 0.5025f, 537.575f, 725.726f, 32, 2351.89f, 4166.21f,
         650, 0.00885f, 6000, 10500, 7500, 0.75f},
        {"250f", 4.24f, 4.6875f, 0.703125f, 0.504375f, 510.696f, 698.848f, 30, 2217.5f, 4031.81f,
         600, 0.00488281f, 8000, 12500, 7500, 0.75f},
        {"125", 3.65375f, 4.6875f, 0.739688f, 0.541875f, 510.696f, 698.848f, 30, 2217.5f, 4031.81f,
         600, 0.00488281f, 9400, 12000, 7500, 0.75f},
        {"50", 3.34125f, 4.6875f, 0.703125f, 0.504375f, 510.696f, 698.848f, 30, 2217.5f, 4031.81f,
         600, 0.00119358f, 8000, 12500, 1200, 1},
    };
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        const BikeInfo &b = all[i];
        for (const ClassValues &c : table) {
            if (std::string(c.cls) != b.class_name) continue;
            float inertia = std::string(b.name) == "350sxf(2011)" ? 0.00684f : c.inertia;
            EXPECT_FLOAT_EQ(b.frame_mass, c.frame_mass) << b.name;
            EXPECT_FLOAT_EQ(b.rider_mass, c.rider_mass) << b.name;
            EXPECT_FLOAT_EQ(b.fork_mass, c.fork_mass) << b.name;
            EXPECT_FLOAT_EQ(b.swingarm_mass, c.swingarm_mass) << b.name;
            EXPECT_FLOAT_EQ(b.fork_spring_min, c.fork_spring_min) << b.name;
            EXPECT_FLOAT_EQ(b.fork_spring_max, c.fork_spring_max) << b.name;
            EXPECT_FLOAT_EQ(b.fork_rebound_damping, c.fork_rebound) << b.name;
            EXPECT_FLOAT_EQ(b.shock_spring_min, c.shock_spring_min) << b.name;
            EXPECT_FLOAT_EQ(b.shock_spring_max, c.shock_spring_max) << b.name;
            EXPECT_FLOAT_EQ(b.shock_rebound_damping, c.shock_rebound) << b.name;
            EXPECT_FLOAT_EQ(b.engine_inertia, inertia) << b.name;
            EXPECT_FLOAT_EQ(b.downshift_rpm, c.down) << b.name;
            EXPECT_FLOAT_EQ(b.upshift_rpm, c.up) << b.name;
            EXPECT_FLOAT_EQ(b.drive_stiffness, c.drive_stiffness) << b.name;
            EXPECT_FLOAT_EQ(b.drive_damping, c.drive_damping) << b.name;
        }
        // Every model shares the body layout, the wheels and the rider geometry.
        EXPECT_EQ(memcmp(&b.front_wheel, &default_bike_info()->front_wheel, sizeof b.front_wheel),
                  0);
        EXPECT_EQ(memcmp(&b.rear_wheel, &default_bike_info()->rear_wheel, sizeof b.rear_wheel), 0);
        EXPECT_EQ(memcmp(b.rider_pos, default_bike_info()->rider_pos, sizeof b.rider_pos), 0);
    }
    for (const char *name : {"rs50cr", "rs50kx", "rs50rm", "rs50yz"}) {
        const BikeInfo &b = model(name);
        const float gears[6] = {3.09091f, 2, 1.5f, 1.2f, 1.04545f, 0.956522f};
        for (int g = 0; g < 6; g++) EXPECT_FLOAT_EQ(b.gear_ratio[g], gears[g]) << name;
        EXPECT_FLOAT_EQ(b.primary_ratio, 3.71429f);
        EXPECT_FLOAT_EQ(b.front_sprocket, 12);
        EXPECT_FLOAT_EQ(b.rear_sprocket, 55);
    }
}

TEST(Catalogue, FilesAreNamedAfterTheFamily) {
    struct Case {
        const char *name, *frame, *texture, *plate;
    } cases[] = {
        {"crf450(2011)", "@crf450_frame.qm", "@crf450.png", "@crf450_front_plate.qm"},
        {"350sxf(2011)", "@350sxf_frame.qm", "@350sxf.png", "@350sxf_front_plate.qm"},
        {"kx250f(2007)", "@kx250f_frame.qm", "@kx250f.png", "@kx250f_front_plate.qm"},
        {"125sx", "@125sx_frame.qm", "@125sx.png", "@125sx_front_plate.qm"},
        {"yz250f_se(2006)", "@yz250f_frame.qm", "@yz250f_se.png", "@yz250f_front_plate.qm"},
        {"rs50rm", "@rm125_frame.qm", "@rm125.png", "@rm125_front_plate.qm"},
    };
    for (const Case &c : cases) {
        const BikeFiles &f = model(c.name).files;
        EXPECT_STREQ(f.frame_model, c.frame) << c.name;
        EXPECT_STREQ(f.bike_texture, c.texture) << c.name;
        EXPECT_STREQ(f.front_plate_model, c.plate) << c.name;
        EXPECT_STREQ(f.frame_shape, "@generic_frame.shp") << c.name;
        EXPECT_STREQ(f.rear_wheel_model, "@rear_wheel.qm") << c.name;
        EXPECT_STREQ(f.rider_plate_model, "@rider_plate.qm") << c.name;
    }
}

TEST(Catalogue, Yz250f2009IsThePublishedRecord) {
    const BikeInfo &b = model("yz250f(2009)");
    EXPECT_STREQ(b.class_name, "250f");
    expect_vec(b.front_wheel.pos, 0, 1.09f, 1.11f, "front wheel");
    EXPECT_FLOAT_EQ(b.front_wheel.ring_radius, 0.833333f);
    EXPECT_FLOAT_EQ(b.front_wheel.section_radius, 0.333333f);
    EXPECT_FLOAT_EQ(b.front_wheel.tire_mass, 0.40625f);
    EXPECT_FLOAT_EQ(b.front_wheel.hub_radius, 0.5f);
    EXPECT_FLOAT_EQ(b.front_wheel.hub_mass, 0.15625f);
    expect_vec(b.rear_wheel.pos, 0, 1.04f, 6, "rear wheel");
    EXPECT_FLOAT_EQ(b.rear_wheel.ring_radius, 0.75f);
    EXPECT_FLOAT_EQ(b.rear_wheel.section_radius, 0.333333f);
    EXPECT_FLOAT_EQ(b.rear_wheel.tire_mass, 0.46875f);
    EXPECT_FLOAT_EQ(b.rear_wheel.hub_radius, 0.5f);
    EXPECT_FLOAT_EQ(b.rear_wheel.hub_mass, 0.3125f);
    expect_vec(b.frame_pos, 0, 1.98f, 3.6f, "frame");
    EXPECT_FLOAT_EQ(b.frame_mass, 4.24f);
    expect_vec(b.frame_size, 0.833333f, 1.66667f, 1.66667f, "frame size");
    expect_vec(b.fork_upper_pos, 0, 2.9f, 2.16f, "fork upper");
    expect_vec(b.swingarm_pos, 0, 1.34f, 4.99f, "swingarm");
    expect_vec(b.swingarm_pivot, 0, 1.58f, 4.17f, "pivot");
    expect_vec(b.fork_lower_pos, 0, 1.77f, 1.59f, "fork lower");
    const float scalars[][2] = {
        {b.fork_spacing, 0.833333f},
        {b.fork_length, 3},
        {b.fork_mass, 0.703125f},
        {b.fork_spring_min, 510.696f},
        {b.fork_spring_max, 698.848f},
        {b.fork_preload_min, 0},
        {b.fork_preload_max, 0.0833333f},
        {b.fork_air_gap_min_oil, 0.416667f},
        {b.fork_air_gap_max_oil, 0.25f},
        {b.fork_compression_damping, 60},
        {b.fork_rebound_damping, 30},
        {b.fork_travel, 1},
        {b.swingarm_mass, 0.504375f},
        {b.shock_spring_min, 2217.5f},
        {b.shock_spring_max, 4031.81f},
        {b.shock_preload_min, 0},
        {b.shock_preload_max, 0.0275f},
        {b.shock_compression_damping, 800},
        {b.shock_rebound_damping, 600},
        {b.swingarm_max_angle, 0.55f},
        {b.shock_ratio_top, 0.615385f},
        {b.shock_ratio_bottom, 0.615385f},
        {b.primary_ratio, 3.35294f},
        {b.front_sprocket, 13},
        {b.rear_sprocket, 48},
        {b.engine_inertia, 0.00488281f},
        {b.drive_stiffness, 7500},
        {b.drive_damping, 0.75f},
        {b.downshift_rpm, 8000},
        {b.upshift_rpm, 12500},
        {b.spare_rpm, 13250},
        {b.rider_slide_min, -0.666667f},
        {b.rider_slide_max, 0.5f},
        {b.rider_mass, 4.6875f},
        {b.upper_arm, 0.9f},
        {b.forearm, 1.15f},
        {b.thigh, 1.328f},
        {b.shin, 1.701f},
    };
    for (size_t i = 0; i < sizeof scalars / sizeof scalars[0]; i++)
        EXPECT_FLOAT_EQ(scalars[i][0], scalars[i][1]) << "scalar " << i;
    const float gears[6] = {2.14286f, 1.75f, 1.45f, 1.22727f, 1.04167f, -1};
    for (int g = 0; g < 6; g++) EXPECT_FLOAT_EQ(b.gear_ratio[g], gears[g]);
    // The published tables: the closed one loses a unit every 1000 rpm from 2000 rpm on,
    // the open one peaks at 8500 rpm and is cut at 14000 rpm.
    const float closed_start[] = {2, 2, 1, 0, -1, -1, -2, -2, -3};
    for (int k = 0; k < 9; k++) EXPECT_FLOAT_EQ(b.torque_closed[k], closed_start[k]);
    EXPECT_FLOAT_EQ(b.torque_closed[49], -23);
    const float open[] = {5,      5,      5,      5,      5,      6.4f,   7.9f,   9.4f,   10.8f,
                          12.3f,  13.83f, 15.13f, 16.52f, 18.15f, 19.3f,  19.83f, 20,     20.07f,
                          19.92f, 19.61f, 19.2f,  18.72f, 18.06f, 17.17f, 16.99f, 16.31f, 15.48f,
                          14.44f, 0,      -1,     -2,     -2,     -3};
    for (int k = 0; k < (int)(sizeof open / sizeof open[0]); k++)
        EXPECT_FLOAT_EQ(b.torque_open[k], open[k]) << k;
    EXPECT_FLOAT_EQ(b.torque_open[49], -11);
    expect_vec(b.rider_slide_dir, 0, 0.0833333f, 0.0833333f, "slide");
    expect_vec(b.rider_pos, 0, 4.5f, 4.12f, "rider");
    expect_vec(b.head_point, 0, 0.808383f, -0.943369f, "head");
    expect_vec(b.shoulder_point[0], -0.556f, 0.580375f, -0.654514f, "shoulder");
    expect_vec(b.hip_point[1], 0.269f, -0.570887f, 0.670607f, "hip");
    expect_vec(b.grip_point[0], -1.097f, 1.145f, 0.753f, "grip");
    expect_vec(b.foot_peg_point[1], 0.6f, -0.557f, 0.584f, "peg");
    expect_vec(b.rider_skeleton[0], -1.456f, 0.875f, 0.01f, "skeleton 0");
    expect_vec(b.rider_skeleton[4], -0.269f, -2.208f, 0.01f, "skeleton 4");
    expect_vec(b.rider_skeleton[9], 0, 0, 0, "skeleton 9");
    const BikeFiles &f = b.files;
    const char *files[] = {
        f.frame_model,       f.frame_shape,         f.bike_texture,      f.fork_upper_model,
        f.fork_upper_shape,  f.fork_lower_model,    f.fork_lower_shape,  f.swingarm_model,
        f.swingarm_shape,    f.front_wheel_model,   f.front_wheel_shape, f.rear_wheel_model,
        f.rear_wheel_shape,  f.wheel_texture,       f.rider_head_model,  f.helmet_texture,
        f.rider_body_model,  f.rider_body_fp_model, f.rider_shape,       f.rider_texture,
        f.side_plates_model, f.front_plate_model,   f.rider_plate_model};
    const char *want[] = {"@yz250f_frame.qm",
                          "@generic_frame.shp",
                          "@yz250f.png",
                          "@yz250f_fork_upper.qm",
                          "@generic_fork_upper.shp",
                          "@yz250f_fork_lower.qm",
                          "@generic_fork_lower.shp",
                          "@yz250f_swingarm.qm",
                          "@generic_swingarm.shp",
                          "@front_wheel.qm",
                          "@front_wheel.shp",
                          "@rear_wheel.qm",
                          "@rear_wheel.shp",
                          "@wheels.png",
                          "@rider_head.qm",
                          "@rider_head.png",
                          "@rider_body.qm",
                          "@rider_body_fp.qm",
                          "@generic_rider.shp",
                          "@rider_body.png",
                          "@yz250f_side_plates.qm",
                          "@yz250f_front_plate.qm",
                          "@rider_plate.qm"};
    for (int i = 0; i < 23; i++) EXPECT_STREQ(files[i], want[i]) << i;
}

TEST(Catalogue, NameResolution) {
    struct Case {
        const char *asked, *got;
        int exact;
    } cases[] = {
        {"yz250f(2009)", "yz250f(2009)", 1},
        {"rs50yz", "rs50yz", 1},
        {"crf450(2011)", "crf450(2011)", 1},
        {"yz250f(2010)", "kx250f(2009)", 0},
        {"cr125(2004)", "cr125", 0},
        {"supermoto", "kx250f(2009)", 0},
        {"", "kx250f(2009)", 0},
        {"YZ250F(2009)", "kx250f(2009)", 0},
        {"my125", "cr125", 0},
    };
    for (const Case &c : cases) {
        int exact = -1;
        const BikeInfo *b = resolve_bike_info(c.asked, &exact);
        ASSERT_NE(b, nullptr) << c.asked;
        EXPECT_STREQ(b->name, c.got) << c.asked;
        EXPECT_EQ(exact, c.exact) << c.asked;
        EXPECT_EQ(find_bike_info(c.asked) != nullptr, c.exact == 1) << c.asked;
    }
    EXPECT_EQ(find_bike_info(nullptr), nullptr);
    EXPECT_STREQ(resolve_bike_info(nullptr, nullptr)->name, "kx250f(2009)");
}

TEST(ModelVariants, ATwoDashTextureNamesTheModelVariant) {
    struct Case {
        const char *model, *texture;
        int count;
        const char *first, *second;
    } cases[] = {
        {"@yz250f_frame.qm", "@custom/yz250f-blue-1.png", 2, "@yz250f_frame-blue.qm",
         "@custom/yz250f_frame-blue.qm"},
        {"@yz250f_frame.qm", "@yz250f-red-2.png", 1, "@yz250f_frame-red.qm", ""},
        {"@rider_body.qm", "@x/y/rider-camo-3-x.png", 2, "@rider_body-camo.qm",
         "@x/y/rider_body-camo.qm"},
        {"@yz250f_frame.qm", "@custom/yz250f-blue.png", 0, "", ""},
        {"@yz250f_frame.qm", "@a-b-c/plain.png", 0, "", ""}, // dashes in the folder only
        {"@yz250f_frame.qm", nullptr, 0, "", ""},
    };
    for (const Case &c : cases) {
        char first[64] = "", second[64] = "";
        EXPECT_EQ(model_variant_paths(c.model, c.texture, first, second, sizeof first), c.count)
            << (c.texture ? c.texture : "null");
        EXPECT_STREQ(first, c.first);
        EXPECT_STREQ(second, c.second);
    }
}

} // namespace

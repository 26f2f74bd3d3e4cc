// The bike's setters: clamps, the crash rule, shifting and the option flags.
#include "bike/bike.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct SetterCase {
    const char *name;
    void (*set)(Bike *, float);
    float Bike::*field;
    float lo, hi;
    int zero_while_crashed;
};

const SetterCase kSetters[] = {
    {"throttle", set_throttle, &Bike::throttle, 0, 1, 1},
    {"clutch", set_clutch, &Bike::clutch, 0, 1, 0},
    {"front_brake", set_front_brake, &Bike::front_brake, 0, 1, 0},
    {"rear_brake", set_rear_brake, &Bike::rear_brake, 0, 1, 0},
    {"steer", set_steer, &Bike::steer, -1, 1, 0},
    {"lean", set_lean, &Bike::lean, -1, 1, 1},
    {"sit", set_sit, &Bike::sit, 0, 1, 1},
    {"back_up", set_back_up, &Bike::back_up, 0, 1, 1},
    {"leveling", set_leveling, &Bike::leveling, 0, 200, 0},
    {"roll_damping", set_roll_damping, &Bike::roll_damping, 0, 200, 0},
    {"roll_limit_angle", set_roll_limit_angle, &Bike::roll_limit_angle, 0, 3.14159265f, 0},
    {"roll_limit_factor", set_roll_limit_factor, &Bike::roll_limit_factor, 0, 64, 0},
    {"steering_damping", set_steering_damping, &Bike::steering_damping, 0, 100, 0},
    {"steering_strength", set_steering_strength, &Bike::steering_strength, 0, 200, 0},
    {"max_steering_force", set_max_steering_force, &Bike::max_steering_force, 0, 1000, 0},
    {"direct_steering", set_direct_steering, &Bike::direct_steering, 0, 1, 0},
    {"slow_damping_speed", set_slow_damping_speed, &Bike::slow_damping_speed, 0, 100, 0},
    {"slow_damping_factor", set_slow_damping_factor, &Bike::slow_damping_factor, 1, 10, 0},
    {"land_damping_falloff", set_land_damping_falloff, &Bike::land_damping_falloff, 0, 1, 0},
    {"land_damping_factor", set_land_damping_factor, &Bike::land_damping_factor, 1, 3, 0},
    {"auto_clutch_rpm", set_auto_clutch_rpm, &Bike::auto_clutch_rpm, 0, 5000, 0},
    {"front_brake_torque", set_front_brake_torque, &Bike::front_brake_torque, 0, 500, 0},
    {"rear_brake_torque", set_rear_brake_torque, &Bike::rear_brake_torque, 0, 500, 0},
    {"max_dab_speed", set_max_dab_speed, &Bike::max_dab_speed, 7, 30, 0},
};

TEST(Setters, ClampIntoTheirRanges) {
    for (const SetterCase &c : kSetters) {
        Bike b;
        float mid = (c.lo + c.hi) / 2;
        c.set(&b, mid);
        EXPECT_FLOAT_EQ(b.*c.field, mid) << c.name;
        c.set(&b, c.hi + 1);
        EXPECT_FLOAT_EQ(b.*c.field, c.hi) << c.name;
        c.set(&b, c.lo - 1);
        EXPECT_FLOAT_EQ(b.*c.field, c.lo) << c.name;
        c.set(&b, INFINITY);
        EXPECT_FLOAT_EQ(b.*c.field, c.hi) << c.name;
        c.set(&b, NAN); // a broken input device must not reach the simulation
        EXPECT_FLOAT_EQ(b.*c.field, c.lo) << c.name;
    }
}

TEST(Setters, ACrashedRiderGivesNoRiderInputs) {
    for (const SetterCase &c : kSetters) {
        Bike b;
        b.crash_timer = 300;
        float v = c.lo + 0.7f * (c.hi - c.lo);
        c.set(&b, v);
        EXPECT_FLOAT_EQ(b.*c.field, c.zero_while_crashed ? 0 : v) << c.name;
        b.crash_timer = 0;
        c.set(&b, v);
        EXPECT_FLOAT_EQ(b.*c.field, v) << c.name;
    }
}

TEST(Shift, AHeldInputShiftsOnce) {
    Bike b; // the default model, a five-speed
    EXPECT_EQ(b.gear, 0);
    shift(&b, 1);
    shift(&b, 1);
    EXPECT_EQ(b.gear, 1);
    shift(&b, 0);
    shift(&b, 1);
    EXPECT_EQ(b.gear, 2);
    shift(&b, -1); // a change of direction needs no release in between
    EXPECT_EQ(b.gear, 1);
    EXPECT_EQ(b.last_shift, -1);
    shift(&b, 2); // out of range: ignored, last_shift kept
    shift(&b, -5);
    EXPECT_EQ(b.gear, 1);
    EXPECT_EQ(b.last_shift, -1);
    shift(&b, 0);
    shift(&b, -1);
    shift(&b, 0);
    shift(&b, -1); // no gear below first
    EXPECT_EQ(b.gear, 0);
}

TEST(Shift, IgnoredWhileCrashed) {
    Bike b;
    b.crash_timer = 1;
    shift(&b, 1);
    EXPECT_EQ(b.gear, 0);
    EXPECT_EQ(b.last_shift, 0);
    b.crash_timer = 0;
    shift(&b, 1);
    EXPECT_EQ(b.gear, 1);
}

TEST(Shift, MissingGearsAreSkipped) {
    struct Case {
        const char *model;
        int asked, got;
    } cases[] = {
        {"yz250f(2009)", 5, 4}, {"yz250f(2009)", 9, 4}, {"yz250f(2009)", -3, 0},
        {"yz250f(2009)", 3, 3}, {"kx125", 5, 5},        {"cr125", 5, 4},
        {"rs50yz", 5, 5},
    };
    for (const Case &c : cases) {
        Bike b;
        b.info = *find_bike_info(c.model);
        set_gear(&b, c.asked);
        EXPECT_EQ(b.gear, c.got) << c.model << " " << c.asked;
    }
    Bike b; // upshifting from fifth on a five-speed stays in fifth
    set_gear(&b, 4);
    shift(&b, 1);
    EXPECT_EQ(b.gear, 4);
}

TEST(Flags, DefaultsAndSetters) {
    Bike b;
    EXPECT_EQ(b.flags, BIKE_STEER_IN_AIR | BIKE_STOP_WHEELIES_BRAKE | BIKE_FRONT_ANTILOCK);
    struct Case {
        int choice, power, brake;
    } wheelies[] = {
        {STOP_WHEELIES_YES, 1, 1}, {STOP_WHEELIES_FRONT_ONLY, 0, 1}, {STOP_WHEELIES_NO, 0, 0}};
    for (const Case &c : wheelies) {
        set_stop_wheelies(&b, c.choice);
        EXPECT_EQ(bike_flag(&b, BIKE_STOP_WHEELIES_POWER), c.power) << c.choice;
        EXPECT_EQ(bike_flag(&b, BIKE_STOP_WHEELIES_BRAKE), c.brake) << c.choice;
    }
    struct Flag {
        void (*set)(Bike *, int);
        int bit;
    } flags[] = {{set_front_antilock, BIKE_FRONT_ANTILOCK},
                 {set_rear_antilock, BIKE_REAR_ANTILOCK},
                 {set_auto_shift, BIKE_AUTO_SHIFT},
                 {set_dab_when_stopped, BIKE_DAB_WHEN_STOPPED},
                 {set_arcade_physics, BIKE_ARCADE}};
    for (const Flag &f : flags) {
        uint8_t others = b.flags & ~f.bit;
        f.set(&b, 1);
        EXPECT_TRUE(bike_flag(&b, f.bit));
        f.set(&b, 0);
        EXPECT_FALSE(bike_flag(&b, f.bit));
        EXPECT_EQ(b.flags & ~f.bit, others);
    }
    EXPECT_TRUE(bike_flag(&b, BIKE_STEER_IN_AIR));
}

TEST(Getters, AControlsOnlyBikeAnswersWithoutBodies) {
    Bike b;
    EXPECT_STREQ(bike_model_name(&b), "yz250f(2009)");
    EXPECT_EQ(bike_frame(&b), nullptr);
    EXPECT_EQ(forward_speed_mph(&b), 0);
    b.engine_speed = (float)M_PI * 100; // 3000 rpm
    EXPECT_NEAR(engine_rpm(&b), 3000, 0.01);
    bike_step(&b, 1); // nothing to step, nothing to crash
    EXPECT_EQ(b.gear, 0);
}

} // namespace

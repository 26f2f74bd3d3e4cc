// The bike's setters and getters: each input and setting clamped into its range.
#include "bike/bike.h"

#include <cmath>
#include <cstring>

// NaN fails both comparisons and lands on the low end, so no input can carry it further.
static float clampf(float v, float lo, float hi) {
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

// Inputs a fallen rider cannot give are stored as 0 while the crash lasts.
static float rider_input(const Bike *b, float v, float lo, float hi) {
    return b->crash_timer > 0 ? 0 : clampf(v, lo, hi);
}

void set_throttle(Bike *b, float v) {
    b->throttle = rider_input(b, v, 0, 1);
}
void set_clutch(Bike *b, float v) {
    b->clutch = clampf(v, 0, 1);
}
void set_front_brake(Bike *b, float v) {
    b->front_brake = clampf(v, 0, 1);
}
void set_rear_brake(Bike *b, float v) {
    b->rear_brake = clampf(v, 0, 1);
}
void set_steer(Bike *b, float v) {
    b->steer = clampf(v, -1, 1);
}
void set_lean(Bike *b, float v) {
    b->lean = rider_input(b, v, -1, 1);
}
void set_sit(Bike *b, float v) {
    b->sit = rider_input(b, v, 0, 1);
}
void set_back_up(Bike *b, float v) {
    b->back_up = rider_input(b, v, 0, 1);
}

int select_gear(const Bike *b, int g) {
    g = g < 0 ? 0 : g > GEAR_COUNT - 1 ? GEAR_COUNT - 1 : g;
    while (g >= 1 && !(b->info.gear_ratio[g] > 0)) g--;
    return g;
}

void shift(Bike *b, int dir) {
    if (b->crash_timer > 0 || dir == b->last_shift || dir < -1 || dir > 1) return;
    b->last_shift = dir;
    b->gear = select_gear(b, b->gear + dir);
}

void set_gear(Bike *b, int g) {
    b->gear = select_gear(b, g);
}

void set_leveling(Bike *b, float v) {
    b->leveling = clampf(v, 0, 200);
}
void set_roll_damping(Bike *b, float v) {
    b->roll_damping = clampf(v, 0, 200);
}
void set_roll_limit_angle(Bike *b, float rad) {
    b->roll_limit_angle = clampf(rad, 0, 3.14159265f);
}
void set_roll_limit_factor(Bike *b, float v) {
    b->roll_limit_factor = clampf(v, 0, 64);
}
void set_steering_damping(Bike *b, float v) {
    b->steering_damping = clampf(v, 0, 100);
}
void set_steering_strength(Bike *b, float v) {
    b->steering_strength = clampf(v, 0, 200);
}
void set_max_steering_force(Bike *b, float v) {
    b->max_steering_force = clampf(v, 0, 1000);
}
void set_direct_steering(Bike *b, float v) {
    b->direct_steering = clampf(v, 0, 1);
}
void set_slow_damping_speed(Bike *b, float v) {
    b->slow_damping_speed = clampf(v, 0, 100);
}
void set_slow_damping_factor(Bike *b, float v) {
    b->slow_damping_factor = clampf(v, 1, 10);
}
void set_land_damping_falloff(Bike *b, float v) {
    b->land_damping_falloff = clampf(v, 0, 1);
}
void set_land_damping_factor(Bike *b, float v) {
    b->land_damping_factor = clampf(v, 1, 3);
}
void set_auto_clutch_rpm(Bike *b, float v) {
    b->auto_clutch_rpm = clampf(v, 0, 5000);
}
void set_front_brake_torque(Bike *b, float v) {
    b->front_brake_torque = clampf(v, 0, 500);
}
void set_rear_brake_torque(Bike *b, float v) {
    b->rear_brake_torque = clampf(v, 0, 500);
}
void set_max_dab_speed(Bike *b, float ft_per_s) {
    b->max_dab_speed = clampf(ft_per_s, 7, 30);
}

static void set_flag(Bike *b, int flag, int on) {
    b->flags = (uint8_t)(on ? b->flags | flag : b->flags & ~flag);
}

void set_stop_wheelies(Bike *b, int choice) {
    set_flag(b, BIKE_STOP_WHEELIES_POWER, choice == STOP_WHEELIES_YES);
    set_flag(b, BIKE_STOP_WHEELIES_BRAKE,
             choice == STOP_WHEELIES_YES || choice == STOP_WHEELIES_FRONT_ONLY);
}
void set_front_antilock(Bike *b, int on) {
    set_flag(b, BIKE_FRONT_ANTILOCK, on);
}
void set_rear_antilock(Bike *b, int on) {
    set_flag(b, BIKE_REAR_ANTILOCK, on);
}
void set_auto_shift(Bike *b, int on) {
    set_flag(b, BIKE_AUTO_SHIFT, on);
}
void set_dab_when_stopped(Bike *b, int on) {
    set_flag(b, BIKE_DAB_WHEN_STOPPED, on);
}
void set_arcade_physics(Bike *b, int on) {
    set_flag(b, BIKE_ARCADE, on);
}
int bike_flag(const Bike *b, int flag) {
    return (b->flags & flag) == flag;
}

const char *bike_model_name(const Bike *b) {
    return b->info.name;
}
const char *bike_plate(const Bike *b) {
    return b->plate;
}
float engine_rpm(const Bike *b) {
    return b->engine_speed * (float)(30 / M_PI);
}
dBodyID bike_frame(const Bike *b) {
    return b->body[BODY_FRAME];
}

float forward_speed_mph(const Bike *b) {
    dBodyID frame = b->body[BODY_FRAME];
    if (!frame) return 0;
    const dReal *v = dBodyGetLinearVel(frame);
    const dReal *r = dBodyGetRotation(frame); // row-major 3x4: column 2 is the frame's z axis
    double along_z = v[0] * r[2] + v[1] * r[6] + v[2] * r[10];
    return (float)(-along_z * 0.6818182);
}

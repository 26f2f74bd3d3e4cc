// Packing a bike's pose into the 39-byte record and posing a bike from one (or from the
// older 26-byte record).
//
// A field of n bytes holds floor(f x M) for a fraction f of its range, M = 2^(8n) - 1, so
// that f = 1 still fits. Decoding puts a value in the middle of its quantum: re-reading
// it from the bodies, with their rounding, lands in the same quantum again, so that
// pack, unpack and pack give the same bytes. The top code decodes half a quantum past the
// range's end, which the next pack clamps back onto it.
#include "bike/packed_state.h"
#include "bike/bike.h"
#include "bike/bike_math.h"
#include "bike/bike_steps.h"
#include "bike/physics_world.h"
#include "track/terrain.h"

#include <cmath>

static const double kPi = 3.14159265358979323846;
static const double kMaxRpm = 32768;

static uint32_t field_max(int bytes) {
    return (uint32_t)((1ull << (8 * bytes)) - 1);
}

// The code of v in [lo, hi]; a value that is not a number packs as lo.
static uint32_t encode(double v, double lo, double hi, int bytes) {
    if (!(hi > lo) || !(v > lo)) return 0;
    uint32_t m = field_max(bytes);
    if (v >= hi) return m;
    double c = std::floor((v - lo) / (hi - lo) * m);
    return c >= m ? m : (uint32_t)c;
}

static double decode(uint32_t code, double lo, double hi, int bytes) {
    return lo + (code + 0.5) / field_max(bytes) * (hi - lo);
}

static void put(uint8_t *p, uint32_t code, int bytes) {
    for (int i = 0; i < bytes; i++) p[i] = (uint8_t)(code >> (8 * i));
}

static uint32_t get(const uint8_t *p, int bytes) {
    uint32_t c = 0;
    for (int i = 0; i < bytes; i++) c |= (uint32_t)p[i] << (8 * i);
    return c;
}

// The terrain's box: x and z in [0, E], y in [Hmin, Hmin + E].
struct Box {
    double extent, min_height;
};

static Box terrain_box(const Terrain *t) {
    Box box = {0, 0};
    if (!t) return box;
    if (std::isfinite(t->extent) && t->extent > 0) box.extent = t->extent;
    if (std::isfinite(t->min_height)) box.min_height = t->min_height;
    return box;
}

// ---- quaternions ----

static void put_quat(uint8_t *p, Quat q) {
    double c[4] = {q.w, q.x, q.y, q.z};
    for (int i = 0; i < 4; i++) put(p + 2 * i, encode(c[i], -1, 1, 2), 2);
}

static Quat normalised_or_identity(const double c[4]) {
    double n = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2] + c[3] * c[3]);
    if (!(n > 1e-6)) return Quat{1, 0, 0, 0};
    return Quat{c[0] / n, c[1] / n, c[2] / n, c[3] / n};
}

// A unit quaternion inside the record's four quanta, which a record packed from a pose
// always has. The largest component k is at least 1/2, so the others fix it as
// sqrt(1 - their squares). Moving the others together from the small-magnitude to the
// large-magnitude ends of their quanta shrinks |q_k| steadily and passes the packed pose,
// so a bisection finds others that put q_k in the middle of its quantum.
static Quat get_quat(const uint8_t *p) {
    const uint32_t m = field_max(2);
    const double margin = 1e-3 * 2.0 / m;
    double lo[4], hi[4], centre[4];
    int k = 0;
    for (int i = 0; i < 4; i++) {
        uint32_t code = get(p + 2 * i, 2);
        if (code == m) {
            // Only +1 itself packs to the top code: the other components are 0.
            double axis[4] = {0, 0, 0, 0};
            axis[i] = 1;
            return Quat{axis[0], axis[1], axis[2], axis[3]};
        }
        lo[i] = -1 + 2.0 * code / m + margin;
        hi[i] = -1 + 2.0 * (code + 1) / m - margin;
        centre[i] = decode(code, -1, 1, 2);
        if (std::fabs(centre[i]) > std::fabs(centre[k])) k = i;
    }
    // Each other component as a function of t: its smallest magnitude at 0, largest at 1.
    double small[4], large[4];
    for (int i = 0; i < 4; i++) {
        double a = lo[i], b = hi[i];
        if (a <= 0 && b >= 0) {
            small[i] = 0, large[i] = -a > b ? a : b;
        } else {
            small[i] = std::fabs(a) < std::fabs(b) ? a : b;
            large[i] = std::fabs(a) < std::fabs(b) ? b : a;
        }
    }
    double want = std::fabs(centre[k]), sign = centre[k] < 0 ? -1 : 1;
    auto compose = [&](double t, double c[4]) {
        double sum = 0;
        for (int i = 0; i < 4; i++) {
            if (i == k) continue;
            c[i] = small[i] + t * (large[i] - small[i]);
            sum += c[i] * c[i];
        }
        c[k] = sign * std::sqrt(sum < 1 ? 1 - sum : 0);
    };
    double t0 = 0, t1 = 1, c[4];
    for (int round = 0; round < 60; round++) {
        double t = (t0 + t1) / 2;
        compose(t, c);
        if (std::fabs(c[k]) > want)
            t0 = t;
        else
            t1 = t;
    }
    compose((t0 + t1) / 2, c);
    // A record no unit quaternion packs to (it came from elsewhere): its centres, normalised.
    if (!(c[k] >= lo[k] - margin && c[k] <= hi[k] + margin)) return normalised_or_identity(centre);
    return normalised_or_identity(c);
}

// ---- status byte ----

static int status_byte(const Bike *b) {
    if (b->crash_timer > 0) {
        int level = (15 * b->crash_timer - 15) / 127;
        return 7 + 16 * (level < 15 ? level : 15);
    }
    int gear = b->gear < 0 ? 0 : b->gear > 6 ? 6 : b->gear;
    double t = std::floor(15.0 * (double)b->throttle);
    int throttle = !(t > 0) ? 0 : t > 15 ? 15 : (int)t;
    return gear + (b->foot_down > 0 ? 8 : 0) + 16 * throttle;
}

// The throttle of a throttle level: level/15, nudged up where float rounding would pack it
// one level lower again.
static float throttle_of_level(int level) {
    float t = (float)level / 15;
    while (std::floor(15.0 * (double)t) < level) t = std::nextafter(t, 2.0f);
    return t;
}

// ---- packing ----

int packed_state_size(int version) {
    return version == 4 ? PACKED_STATE_V4_SIZE : version == 5 ? PACKED_STATE_SIZE : 0;
}

// Hinge angles live in (-pi, pi], where +pi and -pi are one pose: both pack as code 0.
static uint32_t encode_turn(double a) {
    uint32_t c = encode(a, -kPi, kPi, 1);
    return c == field_max(1) ? 0 : c;
}

int pack_bike_state(const Bike *b, const Terrain *terrain, PackedBikeState *out) {
    if (!b->body[BODY_FRAME]) return 0;
    const BikeInfo &in = b->info;
    Box box = terrain_box(terrain);
    uint8_t *p = out->bytes;
    V3 pos = body_position(b->body[BODY_FRAME]);
    put(p + 0, encode(pos.x, 0, box.extent, 3), 3);
    put(p + 3, encode(pos.y, box.min_height, box.min_height + box.extent, 3), 3);
    put(p + 6, encode(pos.z, 0, box.extent, 3), 3);
    put_quat(p + 9, body_quaternion(b->body[BODY_FRAME]));
    p[17] = (uint8_t)encode(dJointGetHingeAngle(b->joint[JOINT_STEERING]), -kPi / 4, kPi / 4, 1);
    p[18] = (uint8_t)encode(dJointGetHingeAngle(b->joint[JOINT_SWINGARM_PIVOT]),
                            -in.swingarm_max_angle, 0, 1);
    p[19] = (uint8_t)encode(dJointGetSliderPosition(b->joint[JOINT_FORK_SLIDER]), -in.fork_travel,
                            0, 1);
    V3 rider = body_position(b->body[BODY_RIDER]) - pos;
    put(p + 20, encode(rider.x, -16, 16, 2), 2);
    put(p + 22, encode(rider.y, -16, 16, 2), 2);
    put(p + 24, encode(rider.z, -16, 16, 2), 2);
    put_quat(p + 26, body_quaternion(b->body[BODY_RIDER]));
    p[34] = (uint8_t)encode_turn(dJointGetHingeAngle(b->joint[JOINT_FRONT_AXLE]));
    p[35] = (uint8_t)encode_turn(dJointGetHingeAngle(b->joint[JOINT_REAR_AXLE]));
    p[36] = (uint8_t)status_byte(b);
    put(p + 37, encode(engine_rpm(b), 0, kMaxRpm, 2), 2);
    return 1;
}

// ---- unpacking ----

// The fields of either layout, decoded.
struct Decoded {
    V3 frame_pos;
    Quat frame_quat;
    double steer, swingarm, fork, front_turn, rear_turn, rpm;
    int status;
    int has_rider_pose; // version 5: the rider's own offset and orientation
    V3 rider_offset;    // world offset from the frame (version 5)
    Quat rider_quat;
    double rider_slide; // version 4: distance along the slide direction
};

static Decoded decode_record(const Bike *b, const Box &box, const uint8_t *p, int version) {
    const BikeInfo &in = b->info;
    Decoded d;
    d.frame_pos = V3{decode(get(p, 3), 0, box.extent, 3),
                     decode(get(p + 3, 3), box.min_height, box.min_height + box.extent, 3),
                     decode(get(p + 6, 3), 0, box.extent, 3)};
    d.frame_quat = get_quat(p + 9);
    d.steer = decode(p[17], -kPi / 4, kPi / 4, 1);
    d.swingarm = decode(p[18], -in.swingarm_max_angle, 0, 1);
    d.fork = decode(p[19], -in.fork_travel, 0, 1);
    int wheels = version == 5 ? 34 : 21;
    d.front_turn = decode(p[wheels], -kPi, kPi, 1);
    d.rear_turn = decode(p[wheels + 1], -kPi, kPi, 1);
    d.status = p[wheels + 2];
    d.rpm = decode(get(p + wheels + 3, 2), 0, kMaxRpm, 2);
    d.has_rider_pose = version == 5;
    if (version == 5) {
        d.rider_offset = V3{decode(get(p + 20, 2), -16, 16, 2), decode(get(p + 22, 2), -16, 16, 2),
                            decode(get(p + 24, 2), -16, 16, 2)};
        d.rider_quat = get_quat(p + 26);
        d.rider_slide = 0;
    } else {
        d.rider_offset = V3{0, 0, 0};
        d.rider_quat = d.frame_quat;
        d.rider_slide =
            in.rider_slide_min + (in.rider_slide_max - in.rider_slide_min) * p[20] / 255.0;
    }
    return d;
}

// Places the six bike bodies from the frame pose and the joint values.
static void place_bike(Bike *b, const Decoded &d) {
    const BikeInfo &in = b->info;
    V3 x_axis = {1, 0, 0};
    V3 upper = v3(in.fork_upper_pos), lower = v3(in.fork_lower_pos), frame = v3(in.frame_pos);
    V3 pivot = v3(in.swingarm_pivot), swingarm = v3(in.swingarm_pos);
    Quat qf = d.frame_quat;
    V3 pf = d.frame_pos;
    set_position(b->body[BODY_FRAME], pf);
    set_quaternion(b->body[BODY_FRAME], qf);

    // The steering head turns about its own centre, where the steering hinge is anchored.
    Quat q_head = qf * axis_angle(unit(upper - lower), d.steer);
    V3 p_head = pf + rotate(qf, upper - frame);
    set_position(b->body[BODY_FORK_UPPER], p_head);
    set_quaternion(b->body[BODY_FORK_UPPER], q_head);

    // A compressed fork (negative position) slides the fork lower up the fork axis.
    V3 fork_axis = rotate(q_head, unit(upper - lower));
    V3 p_lower = p_head - rotate(q_head, upper - lower) - fork_axis * d.fork;
    set_position(b->body[BODY_FORK_LOWER], p_lower);
    set_quaternion(b->body[BODY_FORK_LOWER], q_head);

    Quat q_arm = qf * axis_angle(x_axis, d.swingarm);
    V3 p_arm = pf + rotate(qf, pivot - frame) + rotate(q_arm, swingarm - pivot);
    set_position(b->body[BODY_SWINGARM], p_arm);
    set_quaternion(b->body[BODY_SWINGARM], q_arm);

    // A hinge angle is the first body's turn against the second, here the wheel's carrier.
    set_position(b->body[BODY_FRONT_WHEEL],
                 p_lower + rotate(q_head, v3(in.front_wheel.pos) - lower));
    set_quaternion(b->body[BODY_FRONT_WHEEL], q_head * axis_angle(x_axis, -d.front_turn));
    set_position(b->body[BODY_REAR_WHEEL], p_arm + rotate(q_arm, v3(in.rear_wheel.pos) - swingarm));
    set_quaternion(b->body[BODY_REAR_WHEEL], q_arm * axis_angle(x_axis, -d.rear_turn));
}

static void place_rider(Bike *b, const Decoded &d) {
    const BikeInfo &in = b->info;
    dBodyID rider = b->body[BODY_RIDER];
    if (d.has_rider_pose) {
        set_position(rider, d.frame_pos + d.rider_offset);
        set_quaternion(rider, d.rider_quat);
        return;
    }
    V3 rest = v3(in.rider_pos) - v3(in.frame_pos) + unit(v3(in.rider_slide_dir)) * d.rider_slide;
    set_position(rider, d.frame_pos + rotate(d.frame_quat, rest));
    set_quaternion(rider, d.frame_quat);
}

// Velocities that carry every body from its last stored pose to the current one.
static void velocities_from_last_pose(Bike *b, int ticks) {
    double time = ticks * kPhysicsStep;
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodyID body = b->body[i];
        if (ticks <= 0) {
            dBodySetLinearVel(body, 0, 0, 0);
            dBodySetAngularVel(body, 0, 0, 0);
            continue;
        }
        V3 v = (body_position(body) - v3(b->last_pos[i])) * (1 / time);
        const float *lq = b->last_quat[i];
        Quat turn = body_quaternion(body) * conjugate(Quat{lq[0], lq[1], lq[2], lq[3]});
        if (turn.w < 0) turn = Quat{-turn.w, -turn.x, -turn.y, -turn.z};
        V3 axis = {turn.x, turn.y, turn.z};
        double s = length(axis);
        V3 w = {0, 0, 0};
        if (s > 0) w = axis * (2 * std::atan2(s, turn.w) / s / time);
        dBodySetLinearVel(body, v.x, v.y, v.z);
        dBodySetAngularVel(body, w.x, w.y, w.z);
    }
}

int unpack_bike_state(Bike *b, const Terrain *terrain, const uint8_t *bytes, int version,
                      int ticks) {
    if (!packed_state_size(version) || !b->body[BODY_FRAME]) return 0;
    Decoded d = decode_record(b, terrain_box(terrain), bytes, version);
    place_bike(b, d);

    int crashed = (d.status & 7) == 7, was_crashed = b->crash_timer > 0;
    if (crashed && !was_crashed) detach_rider(b);
    if (!crashed && was_crashed) remount_rider(b);
    place_rider(b, d);
    velocities_from_last_pose(b, ticks);
    store_last_pose(b);

    int level = d.status >> 4;
    if (crashed) {
        if (!was_crashed) start_loose_feet(b);
        // The smallest timer that packs to this level again (the level is rounded down).
        b->crash_timer = (level * 127 + 14) / 15 + 1;
        b->throttle = 0;
    } else {
        b->crash_timer = 0;
        b->gear = select_gear(b, (d.status & 7) < 5 ? d.status & 7 : 5);
        b->throttle = throttle_of_level(level);
        double elapsed = (ticks > 0 ? ticks : 1) * kPhysicsStep;
        if (d.status & 8)
            b->foot_down =
                b->foot_down + 8 * kPhysicsStep < 1 ? (float)(b->foot_down + 8 * kPhysicsStep) : 1;
        else
            b->foot_down = b->foot_down - 4 * elapsed > 0 ? (float)(b->foot_down - 4 * elapsed) : 0;
    }
    b->engine_speed = (float)(d.rpm * kPi / 30);
    return 1;
}

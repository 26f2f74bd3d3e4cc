// The packed bike state: sizes, pack-unpack-pack over many poses and every model, the
// decoding error, crash transitions, velocities from consecutive records, and the older
// 26-byte records.
#include "bike/packed_state.h"
#include "bike/physics_world.h"
#include "bike_fixture.h"
#include "track/terrain.h"

#include <cmath>
#include <cstring>

namespace {

const double kPi = 3.14159265358979323846;

// A pose built the way the bodies move, not the way the record is decoded.
struct Pose {
    V3 pos;    // frame position
    Quat quat; // frame orientation (normalised when applied)
    double steer, fork, swingarm, front_turn, rear_turn;
    V3 rider_shift;    // rider moved off his seat, in the bike's axes
    double rider_turn; // rider turned about his own x axis
    int gear;
    float throttle, foot_down;
    int crash_timer;
    float rpm;
};

Pose rest_pose() {
    return Pose{{500, 30, 600}, {1, 0, 0, 0}, 0, 0, 0, 0, 0, {0, 0, 0}, 0, 0, 0, 0, 0, 0};
}

void turn_about(Bike *b, std::initializer_list<int> bodies, V3 point, V3 axis, double angle) {
    Quat q = axis_angle(unit(axis), angle);
    for (int i : bodies) {
        set_position(b->body[i], point + rotate(q, body_position(b->body[i]) - point));
        set_quaternion(b->body[i], q * body_quaternion(b->body[i]));
    }
}

void apply_pose(Bike *b, const Pose &p) {
    reset_bike_pose(b);
    const BikeInfo &in = b->info;
    V3 upper = v3(in.fork_upper_pos), axis = unit(upper - v3(in.fork_lower_pos));
    V3 x_axis = {1, 0, 0};
    turn_about(b, {BODY_FORK_UPPER, BODY_FORK_LOWER, BODY_FRONT_WHEEL}, upper, axis, p.steer);
    V3 slide = rotate(body_quaternion(b->body[BODY_FORK_UPPER]), axis) * -p.fork;
    for (int i : {BODY_FORK_LOWER, BODY_FRONT_WHEEL})
        set_position(b->body[i], body_position(b->body[i]) + slide);
    turn_about(b, {BODY_SWINGARM, BODY_REAR_WHEEL}, v3(in.swingarm_pivot), x_axis, p.swingarm);
    // A hinge angle is the carrier's turn against the wheel: the wheel turns the other way.
    turn_about(b, {BODY_FRONT_WHEEL}, body_position(b->body[BODY_FRONT_WHEEL]),
               rotate(body_quaternion(b->body[BODY_FORK_LOWER]), x_axis), -p.front_turn);
    turn_about(b, {BODY_REAR_WHEEL}, body_position(b->body[BODY_REAR_WHEEL]),
               rotate(body_quaternion(b->body[BODY_SWINGARM]), x_axis), -p.rear_turn);
    set_position(b->body[BODY_RIDER], body_position(b->body[BODY_RIDER]) + p.rider_shift);
    turn_about(b, {BODY_RIDER}, body_position(b->body[BODY_RIDER]), x_axis, p.rider_turn);
    // Then the whole bike: turned about the frame's rest position and moved.
    double n = std::sqrt(p.quat.w * p.quat.w + p.quat.x * p.quat.x + p.quat.y * p.quat.y +
                         p.quat.z * p.quat.z);
    Quat qf = {p.quat.w / n, p.quat.x / n, p.quat.y / n, p.quat.z / n};
    V3 frame_rest = v3(in.frame_pos);
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodyID body = b->body[i];
        set_position(body, p.pos + rotate(qf, body_position(body) - frame_rest));
        // Quaternion products keep the sign of qf, so -identity poses stay negative.
        set_quaternion(body, qf * body_quaternion(body));
    }
    b->gear = p.gear;
    b->throttle = p.throttle;
    b->foot_down = p.foot_down;
    b->crash_timer = p.crash_timer;
    b->engine_speed = (float)(p.rpm * kPi / 30);
}

// The box positions are packed into: x, z in [0, 1024], y in [-20, 1004].
struct BoxTerrain {
    Terrain t;
    BoxTerrain() {
        t.extent = 1024;
        t.min_height = -20;
    }
};

PackedBikeState pack(const Bike *b, const Terrain *t) {
    PackedBikeState s;
    memset(&s, 0xEE, sizeof s);
    EXPECT_TRUE(pack_bike_state(b, t, &s));
    return s;
}

std::string hex(const PackedBikeState &s) {
    std::string out;
    char buf[4];
    for (uint8_t c : s.bytes) snprintf(buf, sizeof buf, "%02x ", c), out += buf;
    return out;
}

double clampd(double v, double lo, double hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

// B decoded from A's record lies within one quantum of A in every field.
void expect_within_a_quantum(const Bike *a, const Bike *b, const Terrain *t, const char *what) {
    const BikeInfo &in = a->info;
    double e = t->extent, h = t->min_height, q24 = e / 16777215.0;
    V3 pa = body_position(a->body[BODY_FRAME]), pb = body_position(b->body[BODY_FRAME]);
    EXPECT_NEAR(pb.x, clampd(pa.x, 0, e), q24) << what;
    EXPECT_NEAR(pb.y, clampd(pa.y, h, h + e), q24) << what;
    EXPECT_NEAR(pb.z, clampd(pa.z, 0, e), q24) << what;
    const double q16 = 2.0 / 65535;
    for (int body : {BODY_FRAME, BODY_RIDER}) {
        Quat qa = body_quaternion(a->body[body]), qb = body_quaternion(b->body[body]);
        EXPECT_NEAR(qb.w, qa.w, q16) << what;
        EXPECT_NEAR(qb.x, qa.x, q16) << what;
        EXPECT_NEAR(qb.y, qa.y, q16) << what;
        EXPECT_NEAR(qb.z, qa.z, q16) << what;
    }
    struct Field {
        int joint;
        double lo, hi;
    } fields[] = {{JOINT_STEERING, -kPi / 4, kPi / 4},
                  {JOINT_SWINGARM_PIVOT, -in.swingarm_max_angle, 0}};
    for (const Field &f : fields)
        EXPECT_NEAR(dJointGetHingeAngle(b->joint[f.joint]),
                    clampd(dJointGetHingeAngle(a->joint[f.joint]), f.lo, f.hi), (f.hi - f.lo) / 255)
            << what;
    EXPECT_NEAR(dJointGetSliderPosition(b->joint[JOINT_FORK_SLIDER]),
                clampd(dJointGetSliderPosition(a->joint[JOINT_FORK_SLIDER]), -in.fork_travel, 0),
                in.fork_travel / 255.0)
        << what;
    for (int j : {JOINT_FRONT_AXLE, JOINT_REAR_AXLE}) {
        double d = dJointGetHingeAngle(b->joint[j]) - dJointGetHingeAngle(a->joint[j]);
        d = std::remainder(d, 2 * kPi); // a turn is a turn
        EXPECT_LE(std::fabs(d), 2 * kPi / 255 + 1e-9) << what;
    }
    V3 ra = body_position(a->body[BODY_RIDER]) - pa, rb = body_position(b->body[BODY_RIDER]) - pb;
    EXPECT_NEAR(rb.x, clampd(ra.x, -16, 16), 32.0 / 65535) << what;
    EXPECT_NEAR(rb.y, clampd(ra.y, -16, 16), 32.0 / 65535) << what;
    EXPECT_NEAR(rb.z, clampd(ra.z, -16, 16), 32.0 / 65535) << what;
    EXPECT_NEAR(engine_rpm(b), clampd(engine_rpm(a), 0, 32768), 32768.0 / 65535 + 0.01) << what;
    if (a->crash_timer > 0) {
        EXPECT_GT(b->crash_timer, 0) << what;
        EXPECT_LE(b->crash_timer, a->crash_timer) << what;
        if (a->crash_timer <= 128) {
            EXPECT_LE(a->crash_timer - b->crash_timer, 9) << what;
        }
        EXPECT_EQ(b->throttle, 0) << what;
    } else {
        EXPECT_EQ(b->gear, a->gear) << what;
        EXPECT_NEAR(b->throttle, clampd(a->throttle, 0, 1), 1.0 / 15) << what;
        EXPECT_EQ(b->foot_down > 0, a->foot_down > 0) << what;
    }
}

std::vector<Pose> pose_table() {
    std::vector<Pose> poses;
    auto add = [&](void (*change)(Pose *)) {
        Pose p = rest_pose();
        change(&p);
        poses.push_back(p);
    };
    add([](Pose *) {});
    // Inside and outside the terrain box.
    add([](Pose *p) { p->pos = V3{0.001, -19.99, 1023.999}; });
    add([](Pose *p) { p->pos = V3{-10, 30, 2000}; });
    add([](Pose *p) { p->pos = V3{1200, -50, -3}; });
    add([](Pose *p) { p->pos = V3{12.5, 2000, 512}; });
    // Extreme orientations.
    add([](Pose *p) { p->quat = Quat{-1, 0, 0, 0}; });
    add([](Pose *p) { p->quat = Quat{0, 1, 0, 0}; });
    add([](Pose *p) { p->quat = Quat{0, 0, 0, -1}; });
    add([](Pose *p) { p->quat = Quat{0.5, 0.5, 0.5, 0.5}; });
    add([](Pose *p) { p->quat = Quat{0.70710678, 0, 0.70710678, 0}; });
    add([](Pose *p) { p->quat = Quat{0.3, -0.2, 0.9, 0.1}; });
    add([](Pose *p) { p->quat = Quat{-0.01, 0.99995, 0, 0.004}; });
    // Joints at and near their limits.
    add([](Pose *p) { p->steer = kPi / 4, p->fork = -1, p->swingarm = -0.55; });
    add([](Pose *p) { p->steer = -kPi / 4, p->fork = 0, p->swingarm = 0; });
    add([](Pose *p) { p->front_turn = kPi, p->rear_turn = -kPi; });
    add([](Pose *p) { p->front_turn = kPi - 1e-4, p->rear_turn = -kPi + 1e-4; });
    add([](Pose *p) { p->steer = 0.3, p->fork = -0.42, p->swingarm = -0.2, p->front_turn = 2.0; });
    add([](Pose *p) {
        p->quat = Quat{0.9, 0.1, -0.3, 0.2};
        p->steer = -0.5, p->fork = -0.999, p->swingarm = -0.549, p->rear_turn = -2.9;
        p->rider_shift = V3{0.3, -0.4, 0.2}, p->rider_turn = 0.6;
    });
    // The rider far from the bike.
    add([](Pose *p) { p->rider_shift = V3{20, -30, 5}; });
    // Crash timers, gears, throttle, foot and engine speed.
    for (int timer : {1, 9, 10, 128, 300, 512}) {
        Pose p = rest_pose();
        p.crash_timer = timer;
        poses.push_back(p);
    }
    for (int gear = 0; gear < 5; gear++) {
        Pose p = rest_pose();
        p.gear = gear;
        p.throttle = gear * 0.25f;
        p.foot_down = gear & 1 ? 0.5f : 0;
        p.rpm = 3000.0f * gear;
        poses.push_back(p);
    }
    add([](Pose *p) { p->throttle = 1.0f / 15 * 7, p->rpm = 40000; });
    return poses;
}

class PackedState : public BikeWorld {};

TEST(PackedStateSize, ByVersion) {
    struct Case {
        int version, size;
    } cases[] = {{4, 26}, {5, 39}, {0, 0}, {3, 0}, {6, 0}, {-1, 0}};
    for (const Case &c : cases) EXPECT_EQ(packed_state_size(c.version), c.size) << c.version;
}

TEST_F(PackedState, PackUnpackPackGivesTheSameBytes) {
    BoxTerrain box;
    Bike *a = make("yz250f(2009)");
    Bike *b = make("yz250f(2009)");
    int i = 0;
    for (const Pose &p : pose_table()) {
        std::string what = "pose " + std::to_string(i++);
        apply_pose(a, p);
        PackedBikeState first = pack(a, &box.t);
        reset_bike_pose(b);
        ASSERT_TRUE(unpack_bike_state(b, &box.t, first.bytes, 5, 0));
        PackedBikeState again = pack(b, &box.t);
        EXPECT_EQ(hex(first), hex(again)) << what;
        expect_within_a_quantum(a, b, &box.t, what.c_str());
        // Unpacking onto the bike it came from changes nothing either.
        ASSERT_TRUE(unpack_bike_state(a, &box.t, first.bytes, 5, 0));
        EXPECT_EQ(hex(first), hex(pack(a, &box.t))) << what;
    }
}

TEST_F(PackedState, RandomOrientationsRoundTrip) {
    BoxTerrain box;
    Bike *a = make("yz250f(2009)"), *b = make("yz250f(2009)");
    uint32_t seed = 99;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 8388608.0 - 1; // -1..1
    };
    int differing = 0;
    for (int n = 0; n < 3000; n++) {
        Pose p = rest_pose();
        p.quat = Quat{next(), next(), next(), next()};
        p.rider_turn = 3 * next();
        p.steer = next(), p.swingarm = -0.3 + 0.3 * next(), p.front_turn = 3.2 * next();
        apply_pose(a, p);
        PackedBikeState first = pack(a, &box.t);
        ASSERT_TRUE(unpack_bike_state(b, &box.t, first.bytes, 5, 0));
        differing += hex(first) != hex(pack(b, &box.t));
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(PackedState, TheRoundTripHoldsForEveryModel) {
    BoxTerrain box;
    std::vector<Pose> poses = pose_table();
    const BikeInfo *all = bike_catalogue();
    for (int m = 0; m < BIKE_MODEL_COUNT; m++) {
        Bike *a = make(all[m].name), *b = make(all[m].name);
        for (size_t i = 0; i < poses.size(); i += 3) {
            apply_pose(a, poses[i]);
            PackedBikeState first = pack(a, &box.t);
            reset_bike_pose(b);
            ASSERT_TRUE(unpack_bike_state(b, &box.t, first.bytes, 5, 0));
            EXPECT_EQ(hex(first), hex(pack(b, &box.t))) << all[m].name << " pose " << i;
        }
    }
}

TEST_F(PackedState, FieldsSitWhereTheLayoutPutsThem) {
    BoxTerrain box;
    Bike *a = make("yz250f(2009)");
    Pose p = rest_pose();
    p.pos = V3{1024, -20, 256}; // top, bottom and a quarter of the box
    p.swingarm = -0.55;         // fully compressed
    p.gear = 2, p.throttle = 1, p.foot_down = 1, p.rpm = 16384;
    apply_pose(a, p);
    PackedBikeState s = pack(a, &box.t);
    EXPECT_EQ(s.bytes[0] | s.bytes[1] << 8 | s.bytes[2] << 16, 0xFFFFFF);
    EXPECT_EQ(s.bytes[3] | s.bytes[4] << 8 | s.bytes[5] << 16, 0);
    EXPECT_EQ(s.bytes[6] | s.bytes[7] << 8 | s.bytes[8] << 16, 0x3FFFFF); // floor(M / 4)
    EXPECT_EQ(s.bytes[9] | s.bytes[10] << 8, 0xFFFF);                     // w = 1
    EXPECT_EQ(s.bytes[11] | s.bytes[12] << 8, 32767);                     // x = 0
    EXPECT_EQ(s.bytes[17], 127);                                          // straight ahead
    EXPECT_EQ(s.bytes[18], 0);
    EXPECT_EQ(s.bytes[19], 255); // fully extended
    EXPECT_EQ(s.bytes[36], 2 + 8 + 16 * 15);
    EXPECT_EQ(s.bytes[37] | s.bytes[38] << 8, 32767);
    a->crash_timer = 512;
    EXPECT_EQ(pack(a, &box.t).bytes[36], 7 + 16 * 15);
    a->crash_timer = 137; // (15 * 137 - 15) div 127 = 16, capped
    EXPECT_EQ(pack(a, &box.t).bytes[36], 7 + 16 * 15);
    a->crash_timer = 100;
    EXPECT_EQ(pack(a, &box.t).bytes[36], 7 + 16 * 11);
}

TEST_F(PackedState, NoTerrainPacksPositionsAsZero) {
    Bike *a = make("yz250f(2009)");
    Terrain flat; // extent 0
    for (const Terrain *t : {(const Terrain *)nullptr, (const Terrain *)&flat}) {
        PackedBikeState s = pack(a, t);
        for (int k = 0; k < 9; k++) EXPECT_EQ(s.bytes[k], 0) << k;
        Bike *b = make("yz250f(2009)");
        ASSERT_TRUE(unpack_bike_state(b, t, s.bytes, 5, 0));
        V3 pos = body_position(b->body[BODY_FRAME]);
        EXPECT_EQ(pos.x, 0);
        EXPECT_EQ(pos.y, 0);
        EXPECT_EQ(pos.z, 0);
        EXPECT_EQ(hex(s), hex(pack(b, t)));
    }
    // A pose that is not a number packs as the bottom of every range.
    BoxTerrain box;
    set_position(a->body[BODY_FRAME], V3{NAN, NAN, NAN});
    a->engine_speed = NAN;
    a->throttle = NAN;
    PackedBikeState s = pack(a, &box.t);
    for (int k = 0; k < 9; k++) EXPECT_EQ(s.bytes[k], 0) << k;
    EXPECT_EQ(s.bytes[37] | s.bytes[38] << 8, 0);
    EXPECT_EQ(s.bytes[36] >> 4, 0);
}

TEST_F(PackedState, CrashTransitions) {
    BoxTerrain box;
    Bike *a = make("yz250f(2009)"), *b = make("yz250f(2009)");
    Pose p = rest_pose();
    p.crash_timer = 512;
    apply_pose(a, p);
    PackedBikeState crashed = pack(a, &box.t);
    set_throttle(b, 0.8f);
    ASSERT_TRUE(unpack_bike_state(b, &box.t, crashed.bytes, 5, 0));
    EXPECT_FALSE(rider_attached(b));
    EXPECT_EQ(b->crash_timer, 128);
    EXPECT_EQ(b->throttle, 0);
    // The loose feet start at the pegs, in the world.
    V3 peg_world = body_position(b->body[BODY_FRAME]) + (v3(b->info.foot_peg_point[0]));
    EXPECT_NEAR(length(v3(b->loose_foot[0].pos) - peg_world), 0, 1e-3);

    p.crash_timer = 0;
    p.gear = 3;
    apply_pose(a, p);
    PackedBikeState riding = pack(a, &box.t);
    ASSERT_TRUE(unpack_bike_state(b, &box.t, riding.bytes, 5, 0));
    EXPECT_TRUE(rider_attached(b));
    EXPECT_EQ(b->crash_timer, 0);
    EXPECT_EQ(b->gear, 3);
    EXPECT_LT(joint_error(b), 1e-3);
    EXPECT_EQ(hex(riding), hex(pack(b, &box.t)));
}

TEST_F(PackedState, ConsecutiveRecordsGiveVelocities) {
    BoxTerrain box;
    Bike *a = make("yz250f(2009)"), *b = make("yz250f(2009)");
    Pose p = rest_pose();
    apply_pose(a, p);
    PackedBikeState first = pack(a, &box.t);
    p.pos.x += 1;
    p.quat = axis_angle(V3{0, 1, 0}, 0.1);
    apply_pose(a, p);
    PackedBikeState second = pack(a, &box.t);

    ASSERT_TRUE(unpack_bike_state(b, &box.t, first.bytes, 5, 0));
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        EXPECT_EQ(length(v3(dBodyGetLinearVel(b->body[i]))), 0);
        EXPECT_EQ(length(v3(dBodyGetAngularVel(b->body[i]))), 0);
    }
    ASSERT_TRUE(unpack_bike_state(b, &box.t, second.bytes, 5, 4)); // 4 ticks later
    const dReal *v = dBodyGetLinearVel(b->body[BODY_FRAME]);
    const dReal *w = dBodyGetAngularVel(b->body[BODY_FRAME]);
    EXPECT_NEAR(v[0], 32, 0.01); // 1 ft in 1/32 s
    EXPECT_NEAR(v[1], 0, 0.01);
    EXPECT_NEAR(w[1], 3.2, 0.01); // 0.1 rad in 1/32 s
    EXPECT_NEAR(w[0], 0, 0.01);
    // The turn about the frame swings the rear wheel sideways.
    EXPECT_GT(std::fabs(dBodyGetLinearVel(b->body[BODY_REAR_WHEEL])[0] - 32), 1);
    // The new pose is the one the next record's velocities start from.
    V3 frame = body_position(b->body[BODY_FRAME]);
    EXPECT_FLOAT_EQ(b->last_pos[BODY_FRAME][0], (float)frame.x);
    EXPECT_FLOAT_EQ(b->last_pos[BODY_FRAME][2], (float)frame.z);
}

// Builds a version-4 record field by field.
struct V4 {
    uint8_t b[26] = {};
    void put(int at, uint32_t v, int n) {
        for (int i = 0; i < n; i++) b[at + i] = (uint8_t)(v >> (8 * i));
    }
};

TEST_F(PackedState, Version4RecordsDecodeAsTheyWereMeant) {
    BoxTerrain box;
    Bike *b = make("yz250f(2009)");
    const BikeInfo &in = b->info;
    struct Case {
        uint32_t x, y, z;
        uint16_t q[4];
        uint8_t steer, swingarm, fork, slide, front, rear, status;
        uint16_t rpm;
    } cases[] = {
        {0x800000,
         0x100000,
         0x400000,
         {65535, 32767, 32767, 32767},
         0,
         255,
         0,
         0,
         0,
         128,
         3 + 8 + 160,
         16384},
        {0,
         0xFFFFFF,
         0xFFFFFF,
         {56112, 32767, 56112, 32767} /* not unit: normalised */,
         255,
         0,
         255,
         255,
         200,
         0,
         4,
         65535},
        {123456, 654321, 777, {49151, 49151, 49151, 49151}, 128, 100, 30, 51, 64, 192, 6, 0},
        {0x200000,
         0x200000,
         0x200000,
         {65535, 32767, 32767, 32767},
         128,
         128,
         128,
         128,
         0,
         0,
         7 + 16 * 15,
         0},
    };
    const double m24 = 16777215, m16 = 65535;
    for (const Case &c : cases) {
        V4 r;
        r.put(0, c.x, 3), r.put(3, c.y, 3), r.put(6, c.z, 3);
        for (int i = 0; i < 4; i++) r.put(9 + 2 * i, c.q[i], 2);
        r.b[17] = c.steer, r.b[18] = c.swingarm, r.b[19] = c.fork, r.b[20] = c.slide;
        r.b[21] = c.front, r.b[22] = c.rear, r.b[23] = c.status;
        r.put(24, c.rpm, 2);
        reset_bike_pose(b);
        ASSERT_TRUE(unpack_bike_state(b, &box.t, r.b, 4, 0));
        std::string what = "x code " + std::to_string(c.x);

        double e = 1024, q24 = e / m24;
        V3 pos = body_position(b->body[BODY_FRAME]);
        EXPECT_NEAR(pos.x, c.x / m24 * e, q24) << what;
        EXPECT_NEAR(pos.y, -20 + c.y / m24 * e, q24) << what;
        EXPECT_NEAR(pos.z, c.z / m24 * e, q24) << what;
        Quat q = body_quaternion(b->body[BODY_FRAME]);
        double raw[4], n = 0;
        for (int i = 0; i < 4; i++) raw[i] = c.q[i] / m16 * 2 - 1, n += raw[i] * raw[i];
        n = std::sqrt(n);
        EXPECT_NEAR(q.w, raw[0] / n, 1e-4) << what;
        EXPECT_NEAR(q.y, raw[2] / n, 1e-4) << what;
        EXPECT_NEAR(dJointGetHingeAngle(b->joint[JOINT_STEERING]),
                    c.steer / 255.0 * kPi / 2 - kPi / 4, kPi / 2 / 255)
            << what;
        EXPECT_NEAR(dJointGetHingeAngle(b->joint[JOINT_SWINGARM_PIVOT]),
                    (c.swingarm / 255.0 - 1) * in.swingarm_max_angle, in.swingarm_max_angle / 255)
            << what;
        EXPECT_NEAR(dJointGetSliderPosition(b->joint[JOINT_FORK_SLIDER]),
                    (c.fork / 255.0 - 1) * in.fork_travel, in.fork_travel / 255.0)
            << what;
        double front = std::remainder(dJointGetHingeAngle(b->joint[JOINT_FRONT_AXLE]) -
                                          (c.front / 255.0 * 2 * kPi - kPi),
                                      2 * kPi);
        EXPECT_LE(std::fabs(front), 2 * kPi / 255) << what;
        EXPECT_NEAR(engine_rpm(b), c.rpm / m16 * 32768, 32768 / m16 + 0.01) << what;
        EXPECT_LT(joint_error(b), 1e-6) << what;

        // The rider: slid along the slide direction from his seat, turned with the frame.
        double slide =
            in.rider_slide_min + (in.rider_slide_max - in.rider_slide_min) * c.slide / 255.0;
        V3 seat = v3(in.rider_pos) - v3(in.frame_pos) + unit(v3(in.rider_slide_dir)) * slide;
        V3 want = pos + rotate(q, seat);
        EXPECT_NEAR(length(body_position(b->body[BODY_RIDER]) - want), 0, 1e-9) << what;
        Quat qr = body_quaternion(b->body[BODY_RIDER]);
        EXPECT_NEAR(qr.w * q.w + qr.x * q.x + qr.y * q.y + qr.z * q.z, 1, 1e-12) << what;

        int status = c.status;
        if ((status & 7) == 7) {
            EXPECT_EQ(b->crash_timer, 128) << what;
            EXPECT_FALSE(rider_attached(b));
        } else {
            int gear = std::min(status & 7, 5);
            while (gear >= 1 && in.gear_ratio[gear] <= 0) gear--;
            EXPECT_EQ(b->gear, gear) << what;
            EXPECT_NEAR(b->throttle, (status >> 4) / 15.0, 1e-6) << what;
            EXPECT_EQ(b->foot_down > 0, (status & 8) != 0) << what;
        }
    }
    EXPECT_FALSE(unpack_bike_state(b, &box.t, V4().b, 3, 0));
}

TEST_F(PackedState, ArbitraryRecordsPoseFiniteBodies) {
    BoxTerrain box;
    Bike *b = make("yz250f(2009)");
    uint32_t seed = 12345;
    for (int n = 0; n < 300; n++) {
        uint8_t r[39];
        for (uint8_t &c : r) seed = seed * 1664525u + 1013904223u, c = (uint8_t)(seed >> 24);
        if (n < 4) memset(r, n & 1 ? 0xFF : 0, sizeof r);
        ASSERT_TRUE(unpack_bike_state(b, &box.t, r, n & 1 ? 4 : 5, n % 3));
        for (int i = 0; i < BIKE_BODY_COUNT; i++) {
            const dReal *p = dBodyGetPosition(b->body[i]), *q = dBodyGetQuaternion(b->body[i]);
            const dReal *v = dBodyGetLinearVel(b->body[i]), *w = dBodyGetAngularVel(b->body[i]);
            for (int k = 0; k < 3; k++) {
                ASSERT_TRUE(std::isfinite(p[k]) && std::isfinite(v[k]) && std::isfinite(w[k]));
            }
            double norm = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
            ASSERT_NEAR(norm, 1, 1e-9);
        }
        ASSERT_TRUE(std::isfinite(b->engine_speed) && std::isfinite(b->throttle));
    }
}

} // namespace

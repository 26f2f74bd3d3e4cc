// The rigid-body model: building every model, masses, sign conventions, reset, free fall,
// whole-bike motion, and the bike step's own parts.
#include "bike/bike_steps.h"
#include "bike/physics_world.h"
#include "bike/shape_file.h"
#include "bike_fixture.h"
#include "track/terrain.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

class BikeModel : public BikeWorld {};

double wheel_mass(const WheelInfo &w) {
    return w.hub_mass + w.tire_mass;
}

TEST_F(BikeModel, EveryModelBuildsWithoutAMessage) {
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        Bike *b = make(all[i].name);
        EXPECT_STREQ(bike_model_name(b), all[i].name);
        for (int k = 0; k < BIKE_BODY_COUNT; k++) EXPECT_NE(b->body[k], nullptr);
        for (int k = 0; k < BIKE_JOINT_COUNT; k++) EXPECT_NE(b->joint[k], nullptr);
        for (int k = 0; k < BIKE_BODY_COUNT; k++) EXPECT_GT(b->shape[k]->count, 0) << k;
        EXPECT_TRUE(rider_attached(b));
        EXPECT_EQ(b->slot, i);
        EXPECT_STREQ(bike_plate(b), "7");
        EXPECT_FLOAT_EQ(b->engine_inertia, all[i].engine_inertia);
        EXPECT_FLOAT_EQ(b->final_ratio, all[i].rear_sprocket / all[i].front_sprocket);
        EXPECT_LT(joint_error(b), 1e-9) << all[i].name;
    }
    EXPECT_TRUE(g_posted.empty());
}

TEST_F(BikeModel, UnknownNamesFallBackWithAMessage) {
    struct Case {
        const char *asked, *used, *message;
    } cases[] = {
        {"yz250f(2010)", "kx250f(2009)",
         "bike info for 'yz250f(2010)' not found using 'kx250f(2009)' instead"},
        {"cr125(2004)", "cr125", "bike info for 'cr125(2004)' not found using 'cr125' instead"},
        {"a_very_long_model_name_indeed", "kx250f(2009)",
         "bike info for 'a_very_long_model_na' not found using 'kx250f(2009)' instead"},
    };
    for (const Case &c : cases) {
        g_posted.clear();
        Bike *b = make(c.asked);
        EXPECT_STREQ(bike_model_name(b), c.used);
        ASSERT_EQ(g_posted.size(), 1u) << c.asked;
        EXPECT_EQ(g_posted[0], c.message);
    }
}

TEST_F(BikeModel, MassesFollowTheRecord) {
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        const BikeInfo &in = all[i];
        Bike *b = make(in.name);
        const double tol = 1e-5;
        EXPECT_NEAR(body_mass(b, BODY_FRAME), in.frame_mass + in.rider_mass / 3, tol) << in.name;
        EXPECT_NEAR(body_mass(b, BODY_RIDER), in.rider_mass * 2 / 3, tol) << in.name;
        EXPECT_NEAR(body_mass(b, BODY_FRONT_WHEEL), wheel_mass(in.front_wheel), tol);
        EXPECT_NEAR(body_mass(b, BODY_REAR_WHEEL), wheel_mass(in.rear_wheel), tol);
        EXPECT_NEAR(body_mass(b, BODY_FORK_UPPER), in.fork_mass, tol);
        EXPECT_NEAR(body_mass(b, BODY_FORK_LOWER), in.fork_mass, tol);
        EXPECT_NEAR(body_mass(b, BODY_SWINGARM), 2 * in.swingarm_mass, tol);
        double total = in.frame_mass + in.rider_mass + wheel_mass(in.front_wheel) +
                       wheel_mass(in.rear_wheel) + 2 * in.fork_mass + 2 * in.swingarm_mass;
        EXPECT_NEAR(b->total_mass, total, 1e-4) << in.name;

        set_rider_mass_distribution(b, 0.33f);
        EXPECT_NEAR(body_mass(b, BODY_FRAME), in.frame_mass + 0.67 * in.rider_mass, tol);
        EXPECT_NEAR(body_mass(b, BODY_RIDER), 0.33 * in.rider_mass, tol);
        EXPECT_NEAR(b->total_mass, total, 1e-4); // kept from building
    }
}

TEST_F(BikeModel, WheelAndForkInertiaFollowTheirParts) {
    Bike *b = make("yz250f(2009)");
    const WheelInfo &w = b->info.front_wheel;
    dMass m;
    dBodyGetMass(b->body[BODY_FRONT_WHEEL], &m);
    // About the axle: the hub sphere, and 16 tire spheres each a ring radius out.
    double axle =
        0.4 * w.hub_mass * w.hub_radius * w.hub_radius +
        w.tire_mass * (0.4 * w.section_radius * w.section_radius + w.ring_radius * w.ring_radius);
    EXPECT_NEAR(m.I[0], axle, 1e-6);
    EXPECT_NEAR(m.I[5], m.I[10], 1e-6); // the ring is round
    EXPECT_LT(m.I[5], m.I[0]);
    // The fork's cylinders lie along the fork: no inertia couples x with y or z, and the
    // smallest moment is about the fork axis.
    dBodyGetMass(b->body[BODY_FORK_UPPER], &m);
    EXPECT_NEAR(m.I[1], 0, 1e-9);
    EXPECT_NEAR(m.I[2], 0, 1e-9);
    V3 axis = unit(v3(b->info.fork_upper_pos) - v3(b->info.fork_lower_pos));
    double about_axis =
        m.I[5] * axis.y * axis.y + 2 * m.I[6] * axis.y * axis.z + m.I[10] * axis.z * axis.z;
    EXPECT_LT(about_axis, m.I[0]);
    for (int k = 0; k < 3; k++) EXPECT_EQ(m.c[k], 0);
}

// Turns bodies about a world axis through a point (positions and orientations).
void turn_bodies(Bike *b, std::initializer_list<int> bodies, V3 point, V3 axis, double angle) {
    Quat q = axis_angle(unit(axis), angle);
    for (int i : bodies) {
        set_position(b->body[i], point + rotate(q, body_position(b->body[i]) - point));
        set_quaternion(b->body[i], q * body_quaternion(b->body[i]));
    }
}

TEST_F(BikeModel, SignConventions) {
    Bike *b = make("yz250f(2009)");
    const BikeInfo &in = b->info;
    // Pushing the fork lower and the front wheel up the fork compresses the fork.
    V3 up = unit(v3(in.fork_upper_pos) - v3(in.fork_lower_pos)) * 0.3;
    for (int i : {BODY_FORK_LOWER, BODY_FRONT_WHEEL})
        set_position(b->body[i], body_position(b->body[i]) + up);
    EXPECT_NEAR(dJointGetSliderPosition(b->joint[JOINT_FORK_SLIDER]), -0.3, 1e-9);
    // Lifting the rear axle about the pivot compresses the rear suspension.
    double before = body_position(b->body[BODY_REAR_WHEEL]).y;
    turn_bodies(b, {BODY_SWINGARM, BODY_REAR_WHEEL}, v3(in.swingarm_pivot), V3{1, 0, 0}, -0.2);
    EXPECT_GT(body_position(b->body[BODY_REAR_WHEEL]).y, before);
    EXPECT_NEAR(dJointGetHingeAngle(b->joint[JOINT_SWINGARM_PIVOT]), -0.2, 1e-9);
    EXPECT_LT(joint_error(b), 1e-9);

    reset_bike_pose(b);
    // Rolling forward (along -z) without slip: each wheel's bottom point is still.
    const double speed = 20;
    for (int i = 0; i < BIKE_BODY_COUNT; i++) dBodySetLinearVel(b->body[i], 0, 0, -speed);
    struct Wheel {
        int body, joint;
        const WheelInfo *w;
    } wheels[] = {{BODY_FRONT_WHEEL, JOINT_FRONT_AXLE, &in.front_wheel},
                  {BODY_REAR_WHEEL, JOINT_REAR_AXLE, &in.rear_wheel}};
    for (const Wheel &w : wheels) {
        double radius = w.w->ring_radius + w.w->section_radius;
        dBodySetAngularVel(b->body[w.body], -speed / radius, 0, 0);
        dVector3 v;
        dBodyGetRelPointVel(b->body[w.body], 0, -radius, 0, v);
        EXPECT_NEAR(length(v3(v)), 0, 1e-9);
        EXPECT_NEAR(dJointGetHingeAngleRate(b->joint[w.joint]), speed / radius, 1e-9);
    }
    EXPECT_NEAR(forward_speed_mph(b), speed * 0.6818182, 1e-4);
}

TEST_F(BikeModel, ResetLeavesTheBikeStillAtRest) {
    Bike *b = make("kx450f(2011)");
    const float offset[3] = {100, 20, 50};
    move_bike(b, offset);
    const float axis[3] = {0, 1, 0};
    rotate_bike(b, axis, 1.0f);
    for (int i = 0; i < BIKE_BODY_COUNT; i++) dBodySetAngularVel(b->body[i], 1, 2, 3);
    run_ticks(b, 20);
    detach_rider(b);
    b->gear = 3, b->throttle = 1, b->crash_timer = 200, b->engine_speed = 900;
    b->bump_timer = 100, b->landing_boost = 2, b->touched_ground = 1, b->foot_down = 1;
    reset_bike_pose(b);
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        const dReal *v = dBodyGetLinearVel(b->body[i]), *w = dBodyGetAngularVel(b->body[i]);
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(v[k], 0) << i;
            EXPECT_EQ(w[k], 0) << i;
        }
        const dReal *q = dBodyGetQuaternion(b->body[i]);
        EXPECT_EQ(q[0], 1);
    }
    EXPECT_NEAR(body_position(b->body[BODY_FRAME]).y, b->info.frame_pos[1], 1e-6);
    EXPECT_EQ(b->gear, 0);
    EXPECT_EQ(b->throttle, 0);
    EXPECT_EQ(b->crash_timer, 0);
    EXPECT_EQ(b->engine_speed, 0);
    EXPECT_EQ(b->bump_timer, 0);
    EXPECT_EQ(b->landing_boost, 1);
    EXPECT_EQ(b->touched_ground, 0);
    EXPECT_EQ(b->foot_down, 0);
    EXPECT_TRUE(rider_attached(b));
    EXPECT_LT(joint_error(b), 1e-9);
    EXPECT_FLOAT_EQ(b->last_pos[BODY_REAR_WHEEL][2], b->info.rear_wheel.pos[2]);
}

// One second of free fall, upright or tumbling, keeps every joint together.
TEST_F(BikeModel, FreeFallKeepsTheJointsTogether) {
    const BikeInfo *all = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) {
        Bike *b = make(all[i].name);
        const float up[3] = {0, 40, 0};
        move_bike(b, up);
        double y0 = body_position(b->body[BODY_FRAME]).y;
        run_ticks(b, 128);
        double fell = y0 - body_position(b->body[BODY_FRAME]).y;
        EXPECT_NEAR(fell, 16, 0.2) << all[i].name; // g t^2 / 2 with g = 32 ft/s^2
        EXPECT_LT(joint_error(b), 1e-3) << all[i].name;
        for (int k = 0; k < BIKE_BODY_COUNT; k++)
            EXPECT_NEAR(dBodyGetLinearVel(b->body[k])[1], -32, 0.5) << all[i].name << " " << k;
    }
    // A slow tumble (a radian a second): the whole bike turning about its frame as one body.
    Bike *b = make("rmz250(2008)");
    V3 spin = {0.6, 0.3, -0.8}, centre = body_position(b->body[BODY_FRAME]);
    for (int k = 0; k < BIKE_BODY_COUNT; k++) {
        V3 v = cross(spin, body_position(b->body[k]) - centre);
        dBodySetLinearVel(b->body[k], v.x, v.y, v.z);
        dBodySetAngularVel(b->body[k], spin.x, spin.y, spin.z);
    }
    run_ticks(b, 128);
    EXPECT_LT(joint_error(b), 1e-3);
}

TEST_F(BikeModel, JointStopsHold) {
    Bike *b = make("yz250f(2009)");
    // Drive each limited joint past its stop with a large torque or force for a second.
    for (int t = 0; t < 128; t++) {
        dJointAddHingeTorque(b->joint[JOINT_STEERING], 200);
        dJointAddSliderForce(b->joint[JOINT_FORK_SLIDER], 3000);
        dJointAddHingeTorque(b->joint[JOINT_SWINGARM_PIVOT], -3000);
        physics_world_step();
    }
    EXPECT_NEAR(dJointGetHingeAngle(b->joint[JOINT_STEERING]), kPi / 4, 0.02);
    EXPECT_NEAR(dJointGetSliderPosition(b->joint[JOINT_FORK_SLIDER]), 0, 0.02);
    EXPECT_NEAR(dJointGetHingeAngle(b->joint[JOINT_SWINGARM_PIVOT]), -0.55, 0.02);
}

TEST_F(BikeModel, MoveAndRotateTurnTheWholeBike) {
    Bike *b = make("yz125");
    V3 rest_rear = body_position(b->body[BODY_REAR_WHEEL]);
    const float axis[3] = {0, 2, 0}; // not a unit vector: the direction counts
    rotate_bike(b, axis, (float)(kPi / 2));
    V3 rear = body_position(b->body[BODY_REAR_WHEEL]);
    EXPECT_NEAR(rear.x, rest_rear.z, 1e-5); // +z turns into +x about +y
    EXPECT_NEAR(rear.z, -rest_rear.x, 1e-5);
    const float offset[3] = {10, 2, -3};
    move_bike(b, offset);
    EXPECT_NEAR(body_position(b->body[BODY_REAR_WHEEL]).x, rest_rear.z + 10, 1e-5);
    EXPECT_LT(joint_error(b), 1e-6);
    // The bike now points along -x: its forward speed reads from the frame's axes.
    dBodySetLinearVel(b->body[BODY_FRAME], -10, 0, 0);
    EXPECT_NEAR(forward_speed_mph(b), 6.818182, 1e-4);
}

TEST_F(BikeModel, SavedVelocitiesComeBack) {
    Bike *b = make("yz125");
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodySetLinearVel(b->body[i], i, 2 * i, 3);
        dBodySetAngularVel(b->body[i], -i, 1, 0.5 * i);
    }
    save_velocities(b);
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodySetLinearVel(b->body[i], 0, 0, 0);
        dBodySetAngularVel(b->body[i], 0, 0, 0);
    }
    restore_velocities(b);
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        EXPECT_EQ(dBodyGetLinearVel(b->body[i])[1], 2 * i);
        EXPECT_EQ(dBodyGetAngularVel(b->body[i])[2], 0.5 * i);
    }
}

// A flat terrain at the given height, three samples a side one foot apart.
struct FlatTerrain {
    Terrain t;
    float heights[9];
    explicit FlatTerrain(float h) {
        for (float &v : heights) v = h;
        t.samples_per_side = 3;
        t.spacing = 1;
        t.inv_spacing = 1;
        t.extent = 2;
        t.heights = heights;
    }
    ~FlatTerrain() { t.heights = nullptr; }
};

TEST_F(BikeModel, ExtrapolationMovesOnAndKeepsAboveGround) {
    Bike *b = make("yz250f(2009)");
    for (int i = 0; i < BIKE_BODY_COUNT; i++) dBodySetLinearVel(b->body[i], 0, -4, 8);
    extrapolate_bike(b, nullptr, 16); // 1/8 s
    V3 frame = body_position(b->body[BODY_FRAME]);
    EXPECT_NEAR(frame.z, b->info.frame_pos[2] + 1, 1e-6);
    EXPECT_NEAR(frame.y, b->info.frame_pos[1] - 0.5, 1e-6);
    // The ground at 3 ft holds the frame's low point (a rear ring radius below it) up.
    FlatTerrain ground(3);
    extrapolate_bike(b, &ground.t, 16);
    frame = body_position(b->body[BODY_FRAME]);
    EXPECT_NEAR(frame.y - b->info.rear_wheel.ring_radius, 3, 1e-5);
    EXPECT_NEAR(body_position(b->body[BODY_RIDER]).y - frame.y,
                b->info.rider_pos[1] - b->info.frame_pos[1], 1e-5);
}

TEST_F(BikeModel, SteeringDampingActsAcrossTheAxleOnly) {
    Bike *b = make("yz250f(2009)");
    b->steering_damping = 45;
    dBodySetAngularVel(b->body[BODY_FRONT_WHEEL], 7, 2, 0); // 7 about the axle: rolling
    steering_damping_step(b);
    const dReal *wheel = dBodyGetTorque(b->body[BODY_FRONT_WHEEL]);
    const dReal *frame = dBodyGetTorque(b->body[BODY_FRAME]);
    EXPECT_NEAR(wheel[0], 0, 1e-9);
    EXPECT_NEAR(wheel[1], -90, 1e-9);
    EXPECT_NEAR(frame[1], 90, 1e-9);
}

TEST_F(BikeModel, MomentumCorrectionCancelsTheJointsNetPush) {
    Bike *b = make("yz250f(2009)");
    auto push = [&]() {
        for (dJointFeedback &f : b->joint_feedback) f = dJointFeedback{};
        b->joint_feedback[JOINT_STEERING].f1[1] = 10; // on the steering head
        b->joint_feedback[JOINT_STEERING].t2[0] = 3;  // on the frame
        for (int i = 0; i < BIKE_BODY_COUNT; i++) {
            dBodySetForce(b->body[i], 0, 0, 0);
            dBodySetTorque(b->body[i], 0, 0, 0);
        }
        momentum_correction(b);
    };
    g_physics.tick = 5;
    push();
    const dReal *f = dBodyGetForce(b->body[BODY_FRAME]), *t = dBodyGetTorque(b->body[BODY_FRAME]);
    V3 r = v3(b->info.fork_upper_pos) - v3(b->info.frame_pos);
    V3 want = cross(r, V3{0, 10, 0});
    EXPECT_NEAR(f[1], -10, 1e-9);
    EXPECT_NEAR(t[0], -(3 + want.x), 1e-9);
    EXPECT_NEAR(t[1], -want.y, 1e-9);
    EXPECT_NEAR(t[2], -want.z, 1e-9);
    // Not in the first ticks, not while crashed, not with the rider detached.
    struct Case {
        int tick, crash, detached;
    } skipped[] = {{1, 0, 0}, {5, 10, 0}, {5, 0, 1}};
    for (const Case &c : skipped) {
        g_physics.tick = c.tick;
        b->crash_timer = c.crash;
        if (c.detached) detach_rider(b);
        push();
        f = dBodyGetForce(b->body[BODY_FRAME]);
        EXPECT_EQ(f[1], 0) << c.tick << " " << c.crash << " " << c.detached;
        remount_rider(b);
    }
}

TEST_F(BikeModel, TheStepStoresTheRiderVelocityAndRestoresThePlayersInputs) {
    Bike *b = make("yz250f(2009)");
    g_physics.tick = 6;
    dBodySetLinearVel(b->body[BODY_RIDER], 1, 2, 3);
    set_front_brake(b, 0.25f);
    set_sit(b, 0.5f);
    bike_step(b, 1);
    EXPECT_EQ(b->rider_velocity_ring[2][1], 2);
    EXPECT_EQ(b->front_brake, 0.25f);
    EXPECT_EQ(b->sit, 0.5f);
    // A remote bike's step only clears what was added to its bodies.
    dBodyAddForce(b->body[BODY_SWINGARM], 5, 5, 5);
    dBodyAddTorque(b->body[BODY_RIDER], 5, 5, 5);
    bike_step(b, 0);
    EXPECT_EQ(dBodyGetForce(b->body[BODY_SWINGARM])[0], 0);
    EXPECT_EQ(dBodyGetTorque(b->body[BODY_RIDER])[2], 0);
}

TEST_F(BikeModel, DisabledBikesStandStill) {
    Bike *b = make("yz250f(2009)");
    disable_bike(b);
    run_ticks(b, 16);
    EXPECT_FLOAT_EQ((float)body_position(b->body[BODY_FRAME]).y, b->info.frame_pos[1]);
    enable_bike(b);
    run_ticks(b, 16);
    EXPECT_LT(body_position(b->body[BODY_FRAME]).y, b->info.frame_pos[1] - 0.1);
}

TEST_F(BikeModel, RemountPutsTheRiderBackOnTheSeat) {
    Bike *b = make("yz250f(2009)");
    const float axis[3] = {0, 0, 1};
    rotate_bike(b, axis, 0.3f);
    detach_rider(b);
    EXPECT_FALSE(rider_attached(b));
    set_position(b->body[BODY_RIDER], V3{10, 0, 0});
    remount_rider(b);
    EXPECT_TRUE(rider_attached(b));
    EXPECT_LT(joint_error(b), 1e-9);
    Quat qf = body_quaternion(b->body[BODY_FRAME]), qr = body_quaternion(b->body[BODY_RIDER]);
    EXPECT_NEAR(qf.w, qr.w, 1e-12);
    V3 seat = v3(b->info.rider_pos) - v3(b->info.frame_pos);
    V3 want = body_position(b->body[BODY_FRAME]) + rotate(qf, seat);
    EXPECT_NEAR(length(body_position(b->body[BODY_RIDER]) - want), 0, 1e-9);
}

TEST(BikeLoad, WithoutAWorldTheBikeHasNoBodies) {
    Bike *b = load_bike("yz250f(2009)", 3, "12345678", nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(b->body[BODY_FRAME], nullptr);
    EXPECT_STREQ(bike_plate(b), "1234567"); // seven characters at most
    bike_step(b, 1);
    free_bike(b);
    free_bike(nullptr);
}

} // namespace

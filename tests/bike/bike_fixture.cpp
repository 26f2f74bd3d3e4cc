// The bike test fixture: world, data folders, console capture and joint errors.
#include "bike_fixture.h"
#include "bike/bike_hooks.h"
#include "bike/physics_world.h"
#include "bike/shape_file.h"
#include "data/vfile.h"

#include <cstdlib>
#include <unistd.h>

std::vector<std::string> g_posted;

static void capture_post(const char *text) {
    g_posted.push_back(text);
}

// The installation folder is the generated game folder; the home folder is a temporary
// folder that stays empty, so nothing of the user's is read.
static void point_data_folders() {
    static std::string home;
    if (home.empty()) {
        char tmpl[] = "/tmp/sk_bike_test_XXXXXX";
        home = mkdtemp(tmpl);
    }
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("SK_HOME", SK_GAME_DIR, 1);
    vfile_reset();
}

void BikeWorld::SetUp() {
    point_data_folders();
    shape_cache_clear();
    g_posted.clear();
    g_bike_hooks = BikeHooks{};
    g_bike_hooks.post = capture_post;
    ASSERT_TRUE(physics_world_create());
    g_physics.tick = 0;
    messages_at_start_ = g_physics.message_count;
}

void BikeWorld::TearDown() {
    EXPECT_EQ(g_physics.message_count, messages_at_start_) << "ODE reported problems";
    for (Bike *b : bikes_) free_bike(b);
    bikes_.clear();
    physics_world_destroy();
    shape_cache_clear();
    g_bike_hooks = BikeHooks{};
}

Bike *BikeWorld::make(const char *model) {
    Bike *b = load_bike(model, (int)bikes_.size(), "7", nullptr, nullptr, nullptr, nullptr);
    bikes_.push_back(b);
    return b;
}

static double hinge_error(dJointID j) {
    dVector3 a, b;
    dJointGetHingeAnchor(j, a);
    dJointGetHingeAnchor2(j, b);
    return length(v3(a) - v3(b));
}

double joint_error(const Bike *bike) {
    double worst = 0;
    const int hinges[] = {JOINT_FRONT_AXLE, JOINT_REAR_AXLE, JOINT_STEERING, JOINT_SWINGARM_PIVOT};
    for (int j : hinges) worst = std::max(worst, hinge_error(bike->joint[j]));
    if (rider_attached(bike)) {
        dVector3 a, b;
        dJointGetHinge2Anchor(bike->joint[JOINT_RIDER_MOUNT], a);
        dJointGetHinge2Anchor2(bike->joint[JOINT_RIDER_MOUNT], b);
        // The mount's suspension lets the rider move along its first axis.
        dVector3 axis1;
        dJointGetHinge2Axis1(bike->joint[JOINT_RIDER_MOUNT], axis1);
        V3 d = v3(a) - v3(b), along = v3(axis1);
        worst = std::max(worst, length(d - along * dot(d, along)));
    }
    // The fork lower may only slide along the fork axis and must keep the head's turn.
    const BikeInfo &in = bike->info;
    dBodyID head = bike->body[BODY_FORK_UPPER], lower = bike->body[BODY_FORK_LOWER];
    Quat qh = body_quaternion(head), ql = body_quaternion(lower);
    V3 rest = v3(in.fork_upper_pos) - v3(in.fork_lower_pos);
    V3 axis = rotate(qh, unit(rest));
    V3 off = body_position(lower) - (body_position(head) - rotate(qh, rest));
    V3 across = off - axis * dot(off, axis);
    worst = std::max(worst, length(across));
    Quat rel = conjugate(qh) * ql;
    double turn =
        2 * std::asin(std::min(1.0, std::sqrt(rel.x * rel.x + rel.y * rel.y + rel.z * rel.z)));
    worst = std::max(worst, turn * in.fork_length);
    return worst;
}

void run_ticks(Bike *bike, int ticks) {
    for (int i = 0; i < ticks; i++) {
        physics_world_step();
        g_physics.tick++;
        bike_step(bike, 1);
    }
}

double body_mass(const Bike *bike, int body) {
    dMass m;
    dBodyGetMass(bike->body[body], &m);
    return m.mass;
}

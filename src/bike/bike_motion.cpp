// Whole-bike motion: moving and turning all seven bodies, saved velocities, extrapolation.
#include "bike/bike.h"
#include "bike/bike_math.h"
#include "bike/physics_world.h"
#include "track/terrain.h"

void store_last_pose(Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        if (!b->body[i]) return;
        const dReal *p = dBodyGetPosition(b->body[i]);
        const dReal *q = dBodyGetQuaternion(b->body[i]);
        for (int k = 0; k < 3; k++) b->last_pos[i][k] = (float)p[k];
        for (int k = 0; k < 4; k++) b->last_quat[i][k] = (float)q[k];
    }
}

void move_bike(Bike *b, const float offset[3]) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        if (!b->body[i]) return;
        set_position(b->body[i], body_position(b->body[i]) + v3(offset));
    }
}

void rotate_bike(Bike *b, const float axis[3], float angle) {
    V3 a = unit(v3(axis));
    if (length(a) == 0) return;
    Quat q = axis_angle(a, angle);
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        if (!b->body[i]) return;
        set_quaternion(b->body[i], q);
        set_position(b->body[i], rotate(q, body_position(b->body[i])));
    }
}

void save_velocities(Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        if (!b->body[i]) return;
        const dReal *v = dBodyGetLinearVel(b->body[i]), *w = dBodyGetAngularVel(b->body[i]);
        for (int k = 0; k < 3; k++) {
            b->saved_linear_vel[i][k] = (float)v[k];
            b->saved_angular_vel[i][k] = (float)w[k];
        }
    }
}

void restore_velocities(Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        if (!b->body[i]) return;
        const float *v = b->saved_linear_vel[i], *w = b->saved_angular_vel[i];
        dBodySetLinearVel(b->body[i], v[0], v[1], v[2]);
        dBodySetAngularVel(b->body[i], w[0], w[1], w[2]);
    }
}

void extrapolate_bike(Bike *b, const Terrain *terrain, int ticks) {
    dBodyID frame = b->body[BODY_FRAME];
    if (!frame) return;
    V3 shift = v3(dBodyGetLinearVel(frame)) * (ticks * kPhysicsStep);
    // The point one rear ring radius below the frame's centre must stay above the ground.
    dVector3 down;
    dBodyVectorToWorld(frame, 0, -1, 0, down);
    V3 low = v3(b->last_pos[BODY_FRAME]) + shift + v3(down) * b->info.rear_wheel.ring_radius;
    if (terrain && terrain->heights) {
        double ground = terrain_height(terrain, (float)low.x, (float)low.z);
        if (low.y < ground) shift.y += ground - low.y;
    }
    for (int i = 0; i < BIKE_BODY_COUNT; i++) set_position(b->body[i], v3(b->last_pos[i]) + shift);
}

// The bike's per-tick step: the order of the force steps, steering damping, the momentum
// correction and the rider velocity ring.
#include "bike/bike.h"
#include "bike/bike_math.h"
#include "bike/bike_steps.h"
#include "bike/physics_world.h"

void steering_damping_step(Bike *b) {
    dBodyID wheel = b->body[BODY_FRONT_WHEEL];
    dVector3 axle;
    dBodyVectorToWorld(wheel, 1, 0, 0, axle);
    V3 w = v3(dBodyGetAngularVel(wheel)), a = v3(axle);
    // Spin about the axle is rolling; what is left turns the wheel about the steering head.
    V3 t = (w - a * dot(w, a)) * -b->steering_damping;
    dBodyAddTorque(wheel, t.x, t.y, t.z);
    dBodyAddTorque(b->body[BODY_FRAME], -t.x, -t.y, -t.z);
}

void momentum_correction(Bike *b) {
    if (g_physics.tick <= 1 || b->crash_timer > 0) return;
    V3 frame_pos = body_position(b->body[BODY_FRAME]);
    V3 force = {0, 0, 0}, torque = {0, 0, 0};
    for (int i = 0; i < BIKE_JOINT_COUNT; i++) {
        dBodyID b1 = dJointGetBody(b->joint[i], 0), b2 = dJointGetBody(b->joint[i], 1);
        if (!b1 || !b2) return;
        const dJointFeedback &fb = b->joint_feedback[i];
        V3 f1 = v3(fb.f1), f2 = v3(fb.f2);
        V3 r1 = body_position(b1) - frame_pos, r2 = body_position(b2) - frame_pos;
        force = force + f1 + f2;
        torque = torque + v3(fb.t1) + v3(fb.t2) + cross(r1, f1) + cross(r2, f2);
    }
    dBodyID frame = b->body[BODY_FRAME];
    dBodyAddForce(frame, -force.x, -force.y, -force.z);
    dBodyAddTorque(frame, -torque.x, -torque.y, -torque.z);
}

static void clear_accumulators(Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodySetForce(b->body[i], 0, 0, 0);
        dBodySetTorque(b->body[i], 0, 0, 0);
    }
}

void bike_step(Bike *b, int simulated) {
    if (!b->body[BODY_FRAME]) return;
    if (!simulated) {
        clear_accumulators(b);
        return;
    }
    // The assists may brake or sit the rider down for this tick only.
    float front_brake = b->front_brake, rear_brake = b->rear_brake, sit = b->sit;

    crash_test(b);
    if (b->crash_timer > 0) crashed_step(b);
    rider_springs(b);
    suspension_step(b);
    steering_step(b);
    drive_train_step(b);
    steering_damping_step(b);
    momentum_correction(b);
    dab_step(b);
    feet_step(b);

    const dReal *v = dBodyGetLinearVel(b->body[BODY_RIDER]);
    float *slot = b->rider_velocity_ring[g_physics.tick & 3];
    for (int k = 0; k < 3; k++) slot[k] = (float)v[k];

    b->front_brake = front_brake;
    b->rear_brake = rear_brake;
    b->sit = sit;
}

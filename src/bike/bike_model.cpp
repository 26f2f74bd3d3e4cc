// The rigid-body model: a bike's seven bodies, their masses, its six joints, and its reset.
#include "bike/bike.h"
#include "bike/bike_math.h"
#include "bike/physics_world.h"

#include <cstring>

static const double kPi = 3.14159265358979323846;

// Rest positions of the bodies in body order, from the record.
static V3 rest_position(const BikeInfo &in, int body) {
    switch (body) {
    case BODY_FRAME:
        return v3(in.frame_pos);
    case BODY_FRONT_WHEEL:
        return v3(in.front_wheel.pos);
    case BODY_REAR_WHEEL:
        return v3(in.rear_wheel.pos);
    case BODY_FORK_UPPER:
        return v3(in.fork_upper_pos);
    case BODY_FORK_LOWER:
        return v3(in.fork_lower_pos);
    case BODY_SWINGARM:
        return v3(in.swingarm_pos);
    default:
        return v3(in.rider_pos);
    }
}

// The summed parts of a mass may leave its centre a rounding error off the body origin,
// which ODE refuses; the parts are symmetric, so the centre belongs exactly there.
static void centre_mass(dMass *m) {
    dMassTranslate(m, -m->c[0], -m->c[1], -m->c[2]);
    m->c[0] = m->c[1] = m->c[2] = 0;
}

static void wheel_mass(const WheelInfo &w, dMass *out) {
    dMassSetSphereTotal(out, w.hub_mass, w.hub_radius);
    for (int k = 0; k < 16; k++) {
        dMass part;
        dMassSetSphereTotal(&part, w.tire_mass / 16.0, w.section_radius);
        double a = k * kPi / 8;
        dMassTranslate(&part, 0, w.ring_radius * std::cos(a), w.ring_radius * std::sin(a));
        dMassAdd(out, &part);
    }
    centre_mass(out);
}

// Two fork legs along y, then turned about x so that they lie along the fork.
static void fork_mass(const BikeInfo &in, dMass *out) {
    double half = in.fork_spacing / 2.0;
    dMass leg;
    dMassSetCylinderTotal(out, in.fork_mass / 2.0, 2, in.fork_spacing / 8.0,
                          in.fork_length * 2.0 / 3);
    dMassTranslate(out, half, 0, 0);
    dMassSetCylinderTotal(&leg, in.fork_mass / 2.0, 2, in.fork_spacing / 8.0,
                          in.fork_length * 2.0 / 3);
    dMassTranslate(&leg, -half, 0, 0);
    dMassAdd(out, &leg);
    V3 d = v3(in.fork_lower_pos) - v3(in.fork_upper_pos);
    dMatrix3 r;
    dRFromAxisAndAngle(r, 1, 0, 0, std::atan(d.z / d.y));
    dMassRotate(out, r);
    centre_mass(out);
}

// Two arms from the pivot to the rear axle, either side of the wheel.
static void swingarm_mass(const BikeInfo &in, dMass *out) {
    double w = in.frame_size[0];
    V3 d = v3(in.rear_wheel.pos) - v3(in.swingarm_pivot);
    double l = length(d);
    dMass arm;
    dMassSetBoxTotal(out, in.swingarm_mass, w / 4, w / 4, l);
    dMassTranslate(out, w / 2, 0, 0);
    dMassSetBoxTotal(&arm, in.swingarm_mass, w / 4, w / 4, l);
    dMassTranslate(&arm, -w / 2, 0, 0);
    dMassAdd(out, &arm);
    dMatrix3 r;
    dRFromAxisAndAngle(r, 1, 0, 0, -std::atan(d.y / d.z));
    dMassRotate(out, r);
    centre_mass(out);
}

void set_rider_mass_distribution(Bike *b, float d) {
    b->rider_mass_distribution = d;
    if (!b->body[BODY_FRAME]) return;
    const BikeInfo &in = b->info;
    dMass m;
    dMassSetBoxTotal(&m, in.frame_mass + (1 - d) * in.rider_mass, in.frame_size[0],
                     in.frame_size[1], in.frame_size[2]);
    dBodySetMass(b->body[BODY_FRAME], &m);
    dMassSetSphereTotal(&m, d * in.rider_mass, 1);
    dBodySetMass(b->body[BODY_RIDER], &m);
}

static V3 fork_axis(const BikeInfo &in) {
    return v3(in.fork_upper_pos) - v3(in.fork_lower_pos);
}

static dJointID make_hinge(Bike *b, int slot, int body1, int body2, V3 anchor, V3 axis) {
    dJointID j = dJointCreateHinge(g_physics.world, 0);
    dJointAttach(j, b->body[body1], b->body[body2]);
    dJointSetHingeAnchor(j, anchor.x, anchor.y, anchor.z);
    dJointSetHingeAxis(j, axis.x, axis.y, axis.z);
    b->joint[slot] = j;
    return j;
}

// The rider mount: a hinge-2 whose anchor lies 50 ft ahead of the bike at rider height, so
// that turning about its second axis moves the rider almost straight up and down. Both
// axes are given in the frame's axes at its current pose.
static void set_rider_mount_geometry(Bike *b) {
    const BikeInfo &in = b->info;
    dBodyID frame = b->body[BODY_FRAME];
    dJointID j = b->joint[JOINT_RIDER_MOUNT];
    V3 rel = V3{0, in.rider_pos[1], -50} - v3(in.frame_pos);
    dVector3 anchor, axis1, axis2;
    dBodyGetRelPointPos(frame, rel.x, rel.y, rel.z, anchor);
    dBodyVectorToWorld(frame, 0, 1, 1, axis1);
    dBodyVectorToWorld(frame, 1, 0, 0, axis2);
    dJointSetHinge2Anchor(j, anchor[0], anchor[1], anchor[2]);
    dJointSetHinge2Axes(j, axis1, axis2);
    dJointSetHinge2Param(j, dParamLoStop, 0);
    dJointSetHinge2Param(j, dParamHiStop, 0);
}

void build_bike_bodies(Bike *b) {
    const BikeInfo &in = b->info;
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        b->body[i] = dBodyCreate(g_physics.world);
        set_position(b->body[i], rest_position(in, i));
    }
    dBodySetFiniteRotationMode(b->body[BODY_FRONT_WHEEL], 1);
    dBodySetFiniteRotationMode(b->body[BODY_REAR_WHEEL], 1);

    dMass m;
    wheel_mass(in.front_wheel, &m);
    dBodySetMass(b->body[BODY_FRONT_WHEEL], &m);
    wheel_mass(in.rear_wheel, &m);
    dBodySetMass(b->body[BODY_REAR_WHEEL], &m);
    fork_mass(in, &m);
    dBodySetMass(b->body[BODY_FORK_UPPER], &m);
    dBodySetMass(b->body[BODY_FORK_LOWER], &m);
    swingarm_mass(in, &m);
    dBodySetMass(b->body[BODY_SWINGARM], &m);
    set_rider_mass_distribution(b, 2.0f / 3);

    V3 x_axis = {1, 0, 0}, steer_axis = fork_axis(in);
    make_hinge(b, JOINT_FRONT_AXLE, BODY_FORK_LOWER, BODY_FRONT_WHEEL, v3(in.front_wheel.pos),
               x_axis);
    make_hinge(b, JOINT_REAR_AXLE, BODY_SWINGARM, BODY_REAR_WHEEL, v3(in.rear_wheel.pos), x_axis);
    dJointID steering = make_hinge(b, JOINT_STEERING, BODY_FORK_UPPER, BODY_FRAME,
                                   v3(in.fork_upper_pos), steer_axis);
    dJointSetHingeParam(steering, dParamLoStop, -kPi / 4);
    dJointSetHingeParam(steering, dParamHiStop, kPi / 4);

    dJointID slider = dJointCreateSlider(g_physics.world, 0);
    dJointAttach(slider, b->body[BODY_FORK_UPPER], b->body[BODY_FORK_LOWER]);
    dJointSetSliderAxis(slider, steer_axis.x, steer_axis.y, steer_axis.z);
    dJointSetSliderParam(slider, dParamBounce, 0);
    dJointSetSliderParam(slider, dParamLoStop, -in.fork_travel);
    dJointSetSliderParam(slider, dParamHiStop, 0);
    b->joint[JOINT_FORK_SLIDER] = slider;

    dJointID pivot = make_hinge(b, JOINT_SWINGARM_PIVOT, BODY_SWINGARM, BODY_FRAME,
                                v3(in.swingarm_pivot), x_axis);
    dJointSetHingeParam(pivot, dParamBounce, 0);
    dJointSetHingeParam(pivot, dParamLoStop, -in.swingarm_max_angle);
    dJointSetHingeParam(pivot, dParamHiStop, 0);

    dJointID mount = dJointCreateHinge2(g_physics.world, 0);
    dJointAttach(mount, b->body[BODY_RIDER], b->body[BODY_FRAME]);
    b->joint[JOINT_RIDER_MOUNT] = mount;
    set_rider_mount_geometry(b);

    for (int i = 0; i < BIKE_JOINT_COUNT; i++)
        dJointSetFeedback(b->joint[i], &b->joint_feedback[i]);

    b->front_contact.body = b->body[BODY_FRONT_WHEEL];
    b->front_contact.ring_radius = in.front_wheel.ring_radius;
    b->front_contact.section_radius = in.front_wheel.section_radius;
    b->rear_contact.body = b->body[BODY_REAR_WHEEL];
    b->rear_contact.ring_radius = in.rear_wheel.ring_radius;
    b->rear_contact.section_radius = in.rear_wheel.section_radius;

    double total = 0;
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodyGetMass(b->body[i], &m);
        total += m.mass;
    }
    b->total_mass = (float)total;
    reset_bike_pose(b);
}

void destroy_bike_bodies(Bike *b) {
    for (int i = 0; i < BIKE_JOINT_COUNT; i++) {
        if (b->joint[i]) dJointDestroy(b->joint[i]);
        b->joint[i] = nullptr;
    }
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        if (b->body[i]) dBodyDestroy(b->body[i]);
        b->body[i] = nullptr;
    }
    b->front_contact.body = b->rear_contact.body = nullptr;
}

int rider_attached(const Bike *b) {
    dJointID j = b->joint[JOINT_RIDER_MOUNT];
    return j && dJointGetBody(j, 0) && dJointGetBody(j, 1);
}

void detach_rider(Bike *b) {
    if (b->joint[JOINT_RIDER_MOUNT]) dJointAttach(b->joint[JOINT_RIDER_MOUNT], nullptr, nullptr);
}

void remount_rider(Bike *b) {
    if (!b->body[BODY_FRAME]) return;
    const BikeInfo &in = b->info;
    dBodyID frame = b->body[BODY_FRAME], rider = b->body[BODY_RIDER];
    V3 seat = v3(in.rider_pos) - v3(in.frame_pos);
    dVector3 p;
    dBodyGetRelPointPos(frame, seat.x, seat.y, seat.z, p);
    dBodySetPosition(rider, p[0], p[1], p[2]);
    dBodySetQuaternion(rider, dBodyGetQuaternion(frame));
    dJointAttach(b->joint[JOINT_RIDER_MOUNT], rider, frame);
    set_rider_mount_geometry(b);
}

static void clear_runtime_state(Bike *b) {
    b->throttle = b->clutch = b->front_brake = b->rear_brake = 0;
    b->steer = b->sit = b->back_up = b->lean = 0;
    b->foot_down = 0;
    b->gear = 0;
    b->last_shift = 0;
    b->engine_speed = 0;
    b->drive_angle = 0;
    b->crash_timer = 0;
    b->bump_timer = 0;
    b->start_check = 0;
    b->landing_boost = 1;
    b->touched_ground = 0;
    b->last_bike_contact_tick = -1;
    memset(b->loose_foot, 0, sizeof b->loose_foot);
    memset(b->rider_velocity_ring, 0, sizeof b->rider_velocity_ring);
    memset(b->joint_feedback, 0, sizeof b->joint_feedback);
    WheelContact *wheels[2] = {&b->front_contact, &b->rear_contact};
    for (WheelContact *w : wheels) {
        memset(w->contact_pos, 0, sizeof w->contact_pos);
        memset(w->contact_vel, 0, sizeof w->contact_vel);
        memset(w->normal, 0, sizeof w->normal);
        w->depth = 0;
        w->feedback = dJointFeedback{};
    }
}

void reset_bike_pose(Bike *b) {
    clear_runtime_state(b);
    if (!b->body[BODY_FRAME]) return;
    const dQuaternion identity = {1, 0, 0, 0};
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        dBodyID body = b->body[i];
        set_position(body, rest_position(b->info, i));
        dBodySetQuaternion(body, identity);
        dBodySetLinearVel(body, 0, 0, 0);
        dBodySetAngularVel(body, 0, 0, 0);
        dBodySetForce(body, 0, 0, 0);
        dBodySetTorque(body, 0, 0, 0);
    }
    remount_rider(b);
    store_last_pose(b);
}

void disable_bike(Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++)
        if (b->body[i]) dBodyDisable(b->body[i]);
}

void enable_bike(Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++)
        if (b->body[i]) dBodyEnable(b->body[i]);
}

// The simulated motorcycle with its rider: its record, construction, controls and tick.
#pragma once
#include "bike/bike_info.h"

#include <cstdint>
#include <ode/ode.h>
#include <vector>

struct Shape;
struct Terrain;
struct BikeGraphics; // the renderer's models and textures of one bike, opaque here

// Body handles, in this order in every bike.
enum BikeBody {
    BODY_FRAME = 0,
    BODY_FRONT_WHEEL = 1,
    BODY_REAR_WHEEL = 2,
    BODY_FORK_UPPER = 3, // the steering head
    BODY_FORK_LOWER = 4,
    BODY_SWINGARM = 5,
    BODY_RIDER = 6,
    BIKE_BODY_COUNT = 7,
};

// Joint handles, in this order; body 1 of each joint is named first.
enum BikeJoint {
    JOINT_FRONT_AXLE = 0,     // hinge: fork lower, front wheel
    JOINT_REAR_AXLE = 1,      // hinge: swingarm, rear wheel
    JOINT_STEERING = 2,       // hinge: steering head, frame
    JOINT_FORK_SLIDER = 3,    // slider: steering head, fork lower
    JOINT_SWINGARM_PIVOT = 4, // hinge: swingarm, frame
    JOINT_RIDER_MOUNT = 5,    // hinge-2: rider, frame; detached while crashed
    BIKE_JOINT_COUNT = 6,
};

// The option flags byte.
enum BikeFlag {
    BIKE_STEER_IN_AIR = 1 << 0,        // steering acts with the front wheel airborne
    BIKE_STOP_WHEELIES_POWER = 1 << 1, // the wheelie limiter cuts engine torque
    BIKE_STOP_WHEELIES_BRAKE = 1 << 2, // no front brake with only the front wheel down
    BIKE_FRONT_ANTILOCK = 1 << 3,
    BIKE_REAR_ANTILOCK = 1 << 4,
    BIKE_AUTO_SHIFT = 1 << 5,
    BIKE_DAB_WHEN_STOPPED = 1 << 6,
    BIKE_ARCADE = 1 << 7,
    BIKE_DEFAULT_FLAGS = BIKE_STEER_IN_AIR | BIKE_STOP_WHEELIES_BRAKE | BIKE_FRONT_ANTILOCK,
};

// The "Stop Wheelies" choices.
enum StopWheelies { STOP_WHEELIES_NO = 0, STOP_WHEELIES_YES = 1, STOP_WHEELIES_FRONT_ONLY = 2 };

// One wheel's ground contact of the current tick; the ground contact step rewrites it
// before every world step, the drive train and assists read it after.
struct WheelContact {
    dBodyID body = nullptr;       // the wheel body
    float axle[3] = {1, 0, 0};    // the axle in the wheel body's frame
    float ring_radius = 0;        // axle to the centre of the tire's cross-section
    float section_radius = 0;     // the tire tube's radius
    float contact_pos[3] = {};    // world contact point
    float contact_vel[3] = {};    // wheel velocity at that point: the slip velocity
    float normal[3] = {};         // out of the ground
    float depth = 0;              // penetration; 0 means not touching
    dJointFeedback feedback = {}; // this tick's contact joint feedback
};

// A foot of a crashed rider, moved by hand (world coordinates).
struct LooseFoot {
    float pos[3];
    float vel[3];
};

// One racing-line sample: the frame position, its speed (negative when both wheels were
// off the ground) and its lean. The auto pilot owns its meaning; the bike holds the lists.
struct LinePoint {
    float x, y, z, speed, lean;
};

// One motorcycle with its rider. Built by load_bike, freed by free_bike. A Bike made with
// new Bike() is a controls-only bike of the default model without bodies: its setters
// work, its step and packing do nothing.
struct Bike {
    BikeInfo info = *default_bike_info(); // the model's record; the setup may change it

    // ---- physics (the rigid-body model) ----
    dBodyID body[BIKE_BODY_COUNT] = {}; // null for a controls-only bike
    dJointID joint[BIKE_JOINT_COUNT] = {};
    dJointFeedback joint_feedback[BIKE_JOINT_COUNT] = {}; // filled by every world step
    WheelContact front_contact, rear_contact;             // written by the ground contacts
    const Shape *shape[BIKE_BODY_COUNT] = {};             // per body; owned by the shape cache
    float total_mass = 0;                     // sum of the seven body masses, set once at building
    float rider_mass_distribution = 2.0f / 3; // share of the rider mass in the rider body
    float last_pos[BIKE_BODY_COUNT][3] = {};  // positions at the last reset or packed state
    float last_quat[BIKE_BODY_COUNT][4] = {}; // orientations then (w, x, y, z)
    float rider_velocity_ring[4][3] = {};     // rider velocity by tick modulo 4
    float saved_linear_vel[BIKE_BODY_COUNT][3] = {}; // save_velocities / restore_velocities
    float saved_angular_vel[BIKE_BODY_COUNT][3] = {};

    // ---- control inputs (the setters clamp them) ----
    float throttle = 0;    // 0..1
    float clutch = 0;      // 0..1, 1 = engaged (lever released)
    float front_brake = 0; // 0..1
    float rear_brake = 0;  // 0..1
    float steer = 0;       // -1..1
    float sit = 0;         // 0..1: sit down, put a foot down
    float back_up = 0;     // 0..1: walk the bike backwards
    float lean = 0;        // -1..1: rider forward / backward
    float foot_down = 0;   // 0..1: raised by the dab logic, decays by 4 per second

    // ---- drive train ----
    int gear = 0;                      // 0..5, 0 = first gear; there is no neutral
    int last_shift = 0;                // the shift input of the previous tick: -1, 0, +1
    float drive_angle = 0;             // engine wind-up angle, -pi..pi
    float engine_speed = 0;            // rad/s
    float engine_inertia = 0;          // slug ft^2, from the record
    float final_ratio = 0;             // rear / front sprocket with the adjustments
    int front_sprocket_adjustment = 0; // teeth, -2..2
    int rear_sprocket_adjustment = 0;

    // ---- suspension and rider springs from the setup ----
    float fork_comp = 0, fork_reb = 0, fork_k = 0, fork_preload = 0, fork_gap = 0;
    float shock_comp = 0, shock_reb = 0, shock_k = 0, shock_preload = 0;
    float rider_vertical_spring = 0.5f, rider_vertical_damping = 0.5f;
    float rider_forward_spring = 0.5f, rider_forward_damping = 0.5f;

    // ---- stability assists ----
    float roll_damping = 60;               // 0..200
    float leveling = 20;                   // 0..200
    float roll_limit_factor = 10;          // 0..64
    float roll_limit_angle = 0.785398163f; // 0..pi rad
    float steering_damping = 45;           // 0..100
    float steering_strength = 75;          // 0..200
    float max_steering_force = 400;        // 0..1000
    float direct_steering = 1;             // 0..1
    float slow_damping_speed = 0;          // 0..100 ft/s
    float slow_damping_factor = 1;         // 1..10
    float land_damping_falloff = 0.25f;    // 0..1 s
    float land_damping_factor = 2;         // 1..3
    float auto_clutch_rpm = 5000;          // 0..5000
    float front_brake_torque = 250;        // 0..500 lbf ft
    float rear_brake_torque = 250;         // 0..500 lbf ft
    float max_dab_speed = 30;              // 7..30 ft/s
    float landing_boost = 1;               // >= 1: roll damping boost after a landing

    // ---- crash and contact state ----
    int crash_timer = 0;             // 0 riding; 512 at a crash, counted down to the remount
    float bump_timer = 0;            // raised by front-end hits on other bikes, falls by 1 a tick
    int last_bike_contact_tick = -1; // tick of the last bike-against-bike contact
    LooseFoot loose_foot[2] = {};    // left, right; moved while crashed
    int touched_ground = 0;          // set by the ground contacts when anything touched

    // ---- identity, options and the auto pilot's storage ----
    uint8_t flags = BIKE_DEFAULT_FLAGS; // BikeFlag bits
    int slot = -1;                      // racer slot
    int racer_number = 0;
    int personality = -1;             // auto pilot personality index; -1 for a human
    char plate[8] = {};               // plate number, up to 7 characters
    int plate_texture = 0;            // the plate's texture handle (renderer)
    BikeGraphics *graphics = nullptr; // models and textures (renderer)
    int start_check = 0;              // the race start check
    int recent_line_ids[4] = {};      // robots: line ids by segment modulo 4
    std::vector<int32_t> line_ids;    // auto pilot work lists, created empty
    std::vector<LinePoint> line_samples[2];
    std::vector<LinePoint> line_path;
};

// ---- building and freeing (bike_load.cpp) ----

// Builds a bike of the named model (an unknown name falls back, with a console message)
// for racer slot `slot`. Each texture may be null for the model's default. Never fails
// short of running out of memory; needs the physics world.
Bike *load_bike(const char *name, int slot, const char *plate_number, const char *rider_texture,
                const char *bike_texture, const char *wheel_texture, const char *helmet_texture);
// Destroys the bodies and joints and the graphics, and frees the bike. Null is ignored.
void free_bike(Bike *bike);
// Sets the runtime defaults a newly built bike starts from (suspension at base values,
// assists, flags, final ratio).
void set_bike_defaults(Bike *bike);

// ---- rigid-body model (bike_model.cpp) ----

void build_bike_bodies(Bike *bike);
void destroy_bike_bodies(Bike *bike);
// Every body back to its rest position, still and upright at the origin; the runtime state
// of the controls, drive train and rider cleared; the rider mounted.
void reset_bike_pose(Bike *bike);
void set_rider_mass_distribution(Bike *bike, float d);
// The rider mount: detach at a crash, re-attach with the rider put back on the seat.
void detach_rider(Bike *bike);
void remount_rider(Bike *bike);
int rider_attached(const Bike *bike);
void disable_bike(Bike *bike);
void enable_bike(Bike *bike);

// ---- whole-bike motion (bike_motion.cpp) ----

void move_bike(Bike *bike, const float offset[3]);
// Sets every body's orientation to the rotation and turns every position about the origin.
void rotate_bike(Bike *bike, const float axis[3], float angle);
void save_velocities(Bike *bike);
void restore_velocities(Bike *bike);
// Remote bikes: last stored positions moved on by the frame's velocity over `ticks`, and
// lifted so that the frame stays a rear ring radius above the terrain (which may be null).
void extrapolate_bike(Bike *bike, const Terrain *terrain, int ticks);
// Records the seven positions and orientations as the last known ones.
void store_last_pose(Bike *bike);

// ---- per tick (bike_step.cpp) ----

// The bike's own step after the world step. A bike that is not simulated here (its
// motion comes from the network) only has its force and torque accumulators cleared.
void bike_step(Bike *bike, int simulated);

// ---- controls (bike_controls.cpp) ----

void set_throttle(Bike *bike, float v);
void set_clutch(Bike *bike, float v);
void set_front_brake(Bike *bike, float v);
void set_rear_brake(Bike *bike, float v);
void set_steer(Bike *bike, float v);
void set_lean(Bike *bike, float v);
void set_sit(Bike *bike, float v);
void set_back_up(Bike *bike, float v);
// Acts once per change of the held input: dir -1, 0 or +1 moves the gear by dir.
void shift(Bike *bike, int dir);
void set_gear(Bike *bike, int g);
void set_leveling(Bike *bike, float v);
void set_roll_damping(Bike *bike, float v);
void set_roll_limit_angle(Bike *bike, float rad);
void set_roll_limit_factor(Bike *bike, float v);
void set_steering_damping(Bike *bike, float v);
void set_steering_strength(Bike *bike, float v);
void set_max_steering_force(Bike *bike, float v);
void set_direct_steering(Bike *bike, float v);
void set_slow_damping_speed(Bike *bike, float v);
void set_slow_damping_factor(Bike *bike, float v);
void set_land_damping_falloff(Bike *bike, float v);
void set_land_damping_factor(Bike *bike, float v);
void set_auto_clutch_rpm(Bike *bike, float v);
void set_front_brake_torque(Bike *bike, float v);
void set_rear_brake_torque(Bike *bike, float v);
void set_max_dab_speed(Bike *bike, float ft_per_s);
void set_stop_wheelies(Bike *bike, int choice); // a StopWheelies value
void set_front_antilock(Bike *bike, int on);
void set_rear_antilock(Bike *bike, int on);
void set_auto_shift(Bike *bike, int on);
void set_dab_when_stopped(Bike *bike, int on);
void set_arcade_physics(Bike *bike, int on);
// 1 when every bit of flag is set.
int bike_flag(const Bike *bike, int flag);
// The gear index g selects: clamped to 0..5 and lowered past gears the model lacks.
int select_gear(const Bike *bike, int g);

const char *bike_model_name(const Bike *bike);
const char *bike_plate(const Bike *bike);
float engine_rpm(const Bike *bike);
dBodyID bike_frame(const Bike *bike);
// Speed along the bike's forward direction, in miles per hour.
float forward_speed_mph(const Bike *bike);

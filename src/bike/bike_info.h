// The per-model parameter record of a bike and the compiled-in catalogue of all models.
#pragma once

enum {
    BIKE_MODEL_COUNT = 28, // models in the catalogue
    GEAR_COUNT = 6,        // gear ratio slots; a ratio <= 0 marks a gear the model lacks
    TORQUE_POINTS = 50,    // torque table entries at 0, 500, ... 24500 rpm
    SKELETON_POINTS = 10,  // rest points of the rider skeleton
};

// One wheel's mass and geometry, in the bike's own frame (feet, slugs).
struct WheelInfo {
    float pos[3];         // rest position of the wheel centre (the axle)
    float ring_radius;    // axle to the centre of the tire's cross-section
    float section_radius; // radius of the tire's cross-section
    float tire_mass;      // spread over 16 spheres on the ring
    float hub_radius;     // the hub sphere
    float hub_mass;
};

// The data files a model draws and collides with, each an "@" path. Models and textures
// are the renderer's to load; the ".shp" shapes are loaded with the bike.
struct BikeFiles {
    const char *frame_model, *frame_shape, *bike_texture;
    const char *fork_upper_model, *fork_upper_shape;
    const char *fork_lower_model, *fork_lower_shape;
    const char *swingarm_model, *swingarm_shape;
    const char *front_wheel_model, *front_wheel_shape;
    const char *rear_wheel_model, *rear_wheel_shape;
    const char *wheel_texture;
    const char *rider_head_model, *helmet_texture;
    const char *rider_body_model, *rider_body_fp_model, *rider_shape, *rider_texture;
    const char *side_plates_model, *front_plate_model, *rider_plate_model;
};

// One bike model. Lengths in ft, masses in slugs, angles in radians, torques in lbf ft,
// all in the bike's own frame (+x right, +y up, +z from the front wheel to the rear).
// Every bike keeps its own copy, which the setup may change.
struct BikeInfo {
    const char *name;       // e.g. "yz250f(2009)"
    const char *class_name; // "450f", "250f", "125" or "50"
    WheelInfo front_wheel;
    WheelInfo rear_wheel;
    float frame_pos[3];      // rest position of the frame body
    float frame_mass;        // the frame box without the rider's share
    float frame_size[3];     // sides of the frame box; [0] is the frame width
    float fork_upper_pos[3]; // steering head body; also the steering hinge anchor
    float swingarm_pos[3];
    float swingarm_pivot[3];
    float fork_lower_pos[3];
    float fork_spacing; // distance between the two fork legs
    float fork_length;
    float fork_mass;                          // each of the steering head and the fork lower
    float fork_spring_min, fork_spring_max;   // lbf/ft, both legs together
    float fork_preload_min, fork_preload_max; // ft
    float fork_air_gap_min_oil, fork_air_gap_max_oil; // ft
    float fork_compression_damping;                   // lbf s/ft
    float fork_rebound_damping;
    float fork_travel;   // ft of slider travel
    float swingarm_mass; // each of the two arms
    float shock_spring_min, shock_spring_max;
    float shock_preload_min, shock_preload_max;
    float shock_compression_damping;
    float shock_rebound_damping;
    float swingarm_max_angle; // rear travel as a swingarm angle
    float shock_ratio_top, shock_ratio_bottom;
    float primary_ratio;                  // crank to gearbox
    float front_sprocket, rear_sprocket;  // teeth
    float gear_ratio[GEAR_COUNT];         // first to sixth; <= 0: no such gear
    float engine_inertia;                 // slug ft^2
    float drive_stiffness, drive_damping; // the engine to rear wheel coupling
    float torque_closed[TORQUE_POINTS];   // engine torque at closed throttle
    float torque_open[TORQUE_POINTS];     // engine torque at full throttle
    float downshift_rpm, upshift_rpm;     // automatic shifting thresholds
    float spare_rpm;                      // kept with them; nothing reads it
    float rider_slide_dir[3];             // direction of the older packed rider offset
    float rider_pos[3];                   // rest position of the rider body
    float rider_slide_min, rider_slide_max;
    float rider_mass;
    BikeFiles files;
    // Rider geometry: points on the rider body, the steering head and the frame.
    float head_point[3];
    float shoulder_point[2][3]; // left, right
    float hip_point[2][3];
    float grip_point[2][3];                // on the steering head
    float foot_peg_point[2][3];            // on the frame
    float upper_arm, forearm, thigh, shin; // limb lengths
    const float (*rider_skeleton)[3];      // SKELETON_POINTS rest points of the rider models
};

// The catalogue in lookup order; BIKE_MODEL_COUNT records.
const BikeInfo *bike_catalogue();
// Exact name match in catalogue order, or null.
const BikeInfo *find_bike_info(const char *name);
// The record a name resolves to: the exact match, else the first record whose name
// contains "125" (for names containing "125") or "250f", else the first record. *exact
// (when given) tells whether the name matched.
const BikeInfo *resolve_bike_info(const char *name, int *exact);
// The model a bike gets when none is named: "yz250f(2009)".
const BikeInfo *default_bike_info();

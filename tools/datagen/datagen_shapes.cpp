// The bikes' seven collision shapes (".shp" sphere sets), laid out on the catalogue's body
// geometry and stored in the game's archive.
#include "bike/bike_info.h"
#include "datagen.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Contact properties of a part against other bikes: friction, stiffness kp, damping kd.
struct Material {
    float friction, kp, kd;
};

// Plastic and metal parts; the rider is softer; tires grip and are stiff, like the stand-in
// spheres the bike-against-bike contact makes for a wheel.
const Material kBikePart = {0.5f, 10000, 1000};
const Material kRider = {0.6f, 5000, 500};
const Material kTire = {1.0f, 25000, 2500};

struct Sphere {
    float x, y, z, radius;
    Material m;
};

struct ShapeText {
    std::vector<Sphere> spheres;
    void add(float x, float y, float z, float r, Material m) { spheres.push_back({x, y, z, r, m}); }
    // A sphere and its mirror image across the bike's centre plane.
    void add_pair(float x, float y, float z, float r, Material m) {
        add(-x, y, z, r, m);
        add(x, y, z, r, m);
    }
};

std::string shape_text(const ShapeText &s) {
    std::string out = std::to_string(s.spheres.size()) + "\n";
    char line[256];
    for (const Sphere &p : s.spheres) {
        snprintf(line, sizeof line, "%.4g %.4g %.4g %.4g %g %g %g\n", p.x, p.y, p.z, p.radius,
                 p.m.friction, p.m.kp, p.m.kd);
        out += line;
    }
    return out;
}

// b - a, the position of b in the frame of a body resting at a (no rotation at rest).
struct Rel {
    float x, y, z;
};
Rel rel(const float *b, const float *a) {
    return Rel{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
}

// The frame: a core where the frame box is, the engine below it (clear of the ground by
// about the rear tire's height), seat and tank on top, radiator shrouds and foot pegs out to
// the sides so that a bike on its side lies on them, and the rear fender above the rear
// tire. All of it stays below the seated rider's pelvis.
ShapeText frame_shape(const BikeInfo &in) {
    ShapeText s;
    float h = in.frame_size[1], w = in.frame_size[0];
    s.add(0, 0, 0, 0.3f * h, kBikePart);
    s.add(0, -0.33f * h, -0.06f * h, 0.24f * h, kBikePart);            // engine and skid plate
    s.add(0, 0.36f * h, 0.06f * h, 0.24f * h, kBikePart);              // seat
    s.add(0, 0.21f * h, -0.39f * h, 0.24f * h, kBikePart);             // tank and radiators
    s.add_pair(0.5f * w, 0.15f * h, -0.33f * h, 0.18f * h, kBikePart); // shrouds
    const float *peg = in.foot_peg_point[1];
    s.add_pair(peg[0] - 0.05f, peg[1], peg[2], 0.15f, kBikePart);
    Rel fender = rel(in.rear_wheel.pos, in.frame_pos);
    s.add(0, 0.75f, fender.z * 0.62f, 0.3f, kBikePart);
    return s;
}

// The steering head: the top clamp, the bar risers and the handlebar out to both grips,
// and the tops of the two fork tubes below the clamp.
ShapeText fork_upper_shape(const BikeInfo &in) {
    ShapeText s;
    const float *grip = in.grip_point[1];
    s.add(0, 0, 0, 0.3f, kBikePart);
    s.add(0, 0.5f * grip[1], 0.5f * grip[2], 0.2f, kBikePart);
    s.add(0, grip[1], grip[2], 0.2f, kBikePart);
    s.add_pair(0.5f * grip[0], grip[1], grip[2], 0.15f, kBikePart);
    s.add_pair(grip[0], grip[1], grip[2], 0.15f, kBikePart);
    Rel down = rel(in.fork_lower_pos, in.fork_upper_pos);
    float len = std::sqrt(down.y * down.y + down.z * down.z);
    s.add_pair(in.fork_spacing / 2, 0.4f * down.y / len, 0.4f * down.z / len, 0.15f, kBikePart);
    return s;
}

// The fork legs from the axle lugs up along the fork, just outside the tire, and the front
// fender just clear of the tire's top.
ShapeText fork_lower_shape(const BikeInfo &in) {
    ShapeText s;
    Rel axle = rel(in.front_wheel.pos, in.fork_lower_pos);
    Rel up = rel(in.fork_upper_pos, in.fork_lower_pos);
    float len = std::sqrt(up.y * up.y + up.z * up.z);
    float leg_x = in.front_wheel.section_radius + 0.12f, r = 0.1f;
    for (int k = 0; k < 4; k++) {
        float t = 0.4f * k;
        s.add_pair(leg_x, axle.y + t * up.y / len, axle.z + t * up.z / len, k == 0 ? 0.12f : r,
                   kBikePart);
    }
    float tire_top = in.front_wheel.ring_radius + in.front_wheel.section_radius;
    s.add(0, axle.y + tire_top + 0.24f, axle.z - 0.07f, 0.18f, kBikePart);
    return s;
}

// Two arms from the pivot to the rear axle, either side of the tire.
ShapeText swingarm_shape(const BikeInfo &in) {
    ShapeText s;
    Rel pivot = rel(in.swingarm_pivot, in.swingarm_pos);
    Rel axle = rel(in.rear_wheel.pos, in.swingarm_pos);
    float arm_x = in.rear_wheel.section_radius + 0.12f;
    for (int k = 0; k < 4; k++) {
        float t = 0.1f + 0.25f * k;
        s.add_pair(arm_x, pivot.y + t * (axle.y - pivot.y), pivot.z + t * (axle.z - pivot.z), 0.1f,
                   kBikePart);
    }
    return s;
}

// The tire as a ring of spheres of its section radius, as its mass is laid out.
ShapeText wheel_shape(const WheelInfo &w) {
    ShapeText s;
    for (int k = 0; k < 16; k++) {
        double a = k * 3.14159265358979323846 / 8;
        s.add(0, (float)(w.ring_radius * std::cos(a)), (float)(w.ring_radius * std::sin(a)),
              w.section_radius, kTire);
    }
    return s;
}

// The rider: helmet at the head point, shoulders, chest, belly and pelvis down to the hip
// points. The pelvis stays clear of the seat and the chest clear of the handlebar.
ShapeText rider_shape(const BikeInfo &in) {
    ShapeText s;
    const float *head = in.head_point, *shoulder = in.shoulder_point[1], *hip = in.hip_point[1];
    s.add(head[0], head[1], head[2], 0.45f, kRider);
    s.add_pair(shoulder[0], shoulder[1], shoulder[2], 0.25f, kRider);
    s.add(0, 0.35f, -0.45f, 0.5f, kRider);
    s.add(0, -0.1f, 0.1f, 0.45f, kRider);
    s.add(0, hip[1] + 0.07f, hip[2] - 0.07f, 0.4f, kRider);
    return s;
}

void add_shape(DataOut *out, const char *path, const ShapeText &s) {
    std::string text = shape_text(s);
    // The records name their shapes as "@" paths; the archive holds the bare names.
    add_archive_member(out, path + 1, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace

void generate_shapes(DataOut *out) {
    const BikeInfo &in = *default_bike_info();
    add_shape(out, in.files.frame_shape, frame_shape(in));
    add_shape(out, in.files.fork_upper_shape, fork_upper_shape(in));
    add_shape(out, in.files.fork_lower_shape, fork_lower_shape(in));
    add_shape(out, in.files.swingarm_shape, swingarm_shape(in));
    add_shape(out, in.files.front_wheel_shape, wheel_shape(in.front_wheel));
    add_shape(out, in.files.rear_wheel_shape, wheel_shape(in.rear_wheel));
    add_shape(out, in.files.rider_shape, rider_shape(in));
}

// The ".shp" reader with its checks, the shared cache, and the generated shapes' layout.
#include "bike/shape_file.h"
#include "bike_fixture.h"
#include "data/vfile.h"

#include <cmath>
#include <string>

namespace {

// Reads a shape from text; returns shape_read's result.
int read_text(const std::string &text, Shape *out) {
    VFile *vf = vfile_open_memory(text.data(), text.size(), 0);
    EXPECT_NE(vf, nullptr);
    int ok = shape_read(vf, "test", out);
    vfile_close(vf);
    return ok;
}

TEST(ShapeRead, ReadsSpheresAndTheirBound) {
    Shape s;
    ASSERT_EQ(read_text("2\n1 2 2 0.5 0.8 10000 1000\n0 0 -3 1 0.4 2500 250\n", &s), 1);
    ASSERT_EQ(s.count, 2);
    EXPECT_FLOAT_EQ(s.spheres[0].centre[1], 2);
    EXPECT_FLOAT_EQ(s.spheres[0].friction, 0.8f);
    EXPECT_FLOAT_EQ(s.spheres[1].kp, 2500);
    EXPECT_FLOAT_EQ(s.spheres[1].kd, 250);
    EXPECT_FLOAT_EQ(s.bounding_radius, 4); // the second: 3 + 1 beats 3 + 0.5
    shape_release(&s);
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(read_text("0\n", &s), 1);
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.bounding_radius, 0);
}

TEST(ShapeRead, NegativeRadiusAndFrictionReadAsZero) {
    Shape s;
    ASSERT_EQ(read_text("1 0 0 2 -0.5 -1 100 10", &s), 1);
    EXPECT_EQ(s.spheres[0].radius, 0);
    EXPECT_EQ(s.spheres[0].friction, 0);
    EXPECT_FLOAT_EQ(s.bounding_radius, 2);
    shape_release(&s);
}

TEST(ShapeRead, BadRecordsLeaveTheShapeEmpty) {
    const char *bad[] = {
        "",                          // no count
        "spheres",                   // not a number
        "-3\n",                      // negative count
        "2\n0 0 0 1 1 1 1\n0 0 0",   // short second record
        "1\n0 0 x 1 1 1 1",          // not a number inside a record
        "1\n0 0 0 1 1 -5 1",         // negative stiffness
        "1\n0 0 0 1 1 5 -1",         // negative damping
        "1\n0 0 0 1 1 0 0",          // kp = kd = 0: an infinite CFM
        "1\n0 0 1e99999 1 1 1 1",    // infinite centre
        "1\n0 0 0 1 1 1e99999 1",    // infinite stiffness
        "1\n3e38 3e38 3e38 1 1 1 1", // a bound beyond float
    };
    for (const char *text : bad) {
        Shape s;
        s.count = 99;
        EXPECT_EQ(read_text(text, &s), 0) << text;
        EXPECT_EQ(s.count, 0) << text;
        EXPECT_EQ(s.spheres, nullptr) << text;
        EXPECT_EQ(s.bounding_radius, 0) << text;
    }
}

TEST(ShapeRead, TheCountIsCapped) {
    std::string text = "100000\n";
    for (int i = 0; i < SHAPE_MAX_SPHERES + 10; i++) text += "0 0 0 1 1 1 1\n";
    Shape s;
    ASSERT_EQ(read_text(text, &s), 1);
    EXPECT_EQ(s.count, SHAPE_MAX_SPHERES);
    shape_release(&s);
}

class GeneratedShapes : public BikeWorld {};

TEST_F(GeneratedShapes, LoadOnceAndShare) {
    const BikeFiles &f = default_bike_info()->files;
    const char *paths[] = {f.frame_shape,    f.fork_upper_shape,  f.fork_lower_shape,
                           f.swingarm_shape, f.front_wheel_shape, f.rear_wheel_shape,
                           f.rider_shape};
    for (const char *p : paths) {
        const Shape *s = shape_load(p);
        ASSERT_NE(s, nullptr) << p;
        EXPECT_GT(s->count, 0) << p;
        EXPECT_EQ(shape_load(p), s) << p;
    }
    const Shape *missing = shape_load("@no_such_shape.shp");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->count, 0);
}

// A shape's spheres in bike coordinates at the rest pose (no body is turned at rest).
struct Placed {
    V3 c;
    double r;
};

std::vector<Placed> placed(const Bike *b, int body) {
    std::vector<Placed> out;
    const Shape *s = b->shape[body];
    V3 at = body_position(b->body[body]);
    for (int i = 0; i < s->count; i++)
        out.push_back({at + v3(s->spheres[i].centre), s->spheres[i].radius});
    return out;
}

// Distance from a sphere's centre to a wheel's tire ring, less both radii: below 0 overlaps.
double clearance_to_tire(const Placed &p, const WheelInfo &w) {
    V3 d = p.c - v3(w.pos);
    double in_plane = std::sqrt(d.y * d.y + d.z * d.z);
    double ring = std::sqrt((in_plane - w.ring_radius) * (in_plane - w.ring_radius) + d.x * d.x);
    return ring - w.section_radius - p.r;
}

TEST_F(GeneratedShapes, PartsTouchOnlyWhatTheyShould) {
    Bike *b = make("yz250f(2009)");
    const BikeInfo &in = b->info;
    double ground = std::min(in.front_wheel.pos[1] - in.front_wheel.ring_radius,
                             in.rear_wheel.pos[1] - in.rear_wheel.ring_radius) -
                    in.front_wheel.section_radius;
    const int parts[] = {BODY_FRAME, BODY_FORK_UPPER, BODY_FORK_LOWER, BODY_SWINGARM, BODY_RIDER};
    double widest = 0;
    for (int body : parts) {
        for (const Placed &p : placed(b, body)) {
            // Upright on level ground only the tires touch it.
            EXPECT_GT(p.c.y - p.r - ground, 0.5) << "body " << body;
            // No part rests inside its own bike's tires.
            if (body != BODY_RIDER) {
                EXPECT_GT(clearance_to_tire(p, in.front_wheel), 0.02) << "body " << body;
                EXPECT_GT(clearance_to_tire(p, in.rear_wheel), 0.02) << "body " << body;
            }
            if (body == BODY_FRAME || body == BODY_FORK_UPPER)
                widest = std::max(widest, std::fabs(p.c.x) + p.r);
        }
    }
    // On its side the bike lies on its bar ends and pegs, not on the tires' sidewalls.
    EXPECT_GT(widest, in.front_wheel.section_radius + 0.5);
    // The seated rider clears the frame and the steering head, which he is collided with
    // once he has crashed.
    for (const Placed &r : placed(b, BODY_RIDER))
        for (int body : {BODY_FRAME, BODY_FORK_UPPER})
            for (const Placed &p : placed(b, body))
                EXPECT_GT(length(r.c - p.c) - r.r - p.r, 0.1) << "rider against body " << body;
    // The wheel shapes are the tires: their reach is the tire's outer radius.
    EXPECT_NEAR(b->shape[BODY_FRONT_WHEEL]->bounding_radius,
                in.front_wheel.ring_radius + in.front_wheel.section_radius, 1e-3);
    EXPECT_NEAR(b->shape[BODY_REAR_WHEEL]->bounding_radius,
                in.rear_wheel.ring_radius + in.rear_wheel.section_radius, 1e-3);
}

} // namespace

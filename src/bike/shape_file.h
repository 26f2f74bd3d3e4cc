// Collision shapes: sets of spheres on a body, read from ".shp" files and shared by name.
#pragma once

struct VFile;

enum { SHAPE_MAX_SPHERES = 256 }; // longer shapes are cut here

struct ShapeSphere {
    float centre[3]; // in the body's frame
    float radius;    // >= 0
    float friction;  // >= 0
    float kp, kd;    // bike-against-bike stiffness and damping, giving a finite CFM
};

// One ".shp" file. Owned by the shape cache for the whole run; bikes only point at it.
struct Shape {
    int count;             // spheres in use
    ShapeSphere *spheres;  // count entries, or null
    float bounding_radius; // largest |centre| + radius; 0 for an empty shape
};

// Reads a shape from an open handle: a count, then seven numbers per sphere (centre x, y, z,
// radius, friction, kp, kd). A short or invalid record empties the shape and logs a
// warning naming what; radius and friction below zero read as zero. 1 on success.
int shape_read(VFile *vf, const char *what, Shape *out);
// Frees a shape's spheres; the record is empty afterwards.
void shape_release(Shape *shape);
// The shared shape of a file name, loaded on first use. A file that cannot be opened or
// read gives an empty shape (never null) and a warning in the log.
const Shape *shape_load(const char *path);
// Forgets every cached shape (tests, shutdown).
void shape_cache_clear();

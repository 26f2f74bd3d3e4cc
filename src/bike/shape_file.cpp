// The ".shp" reader and the cache that shares one loaded shape per file name.
#include "bike/shape_file.h"
#include "data/vfile.h"
#include "platform/fatal.h"
#include "platform/log.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

// The contact step the stiffness and damping are converted at; kd + kp h must stay
// positive for the contact's CFM 1 / (kd + kp h) to be finite.
static const double kContactStep = 1.0 / 128;

static int sphere_valid(const float v[7]) {
    for (int i = 0; i < 7; i++)
        if (!std::isfinite(v[i])) return 0;
    double kp = v[5], kd = v[6];
    return kp >= 0 && kd >= 0 && kd + kp * kContactStep > 0;
}

static void empty_shape(Shape *s) {
    s->count = 0;
    s->spheres = nullptr;
    s->bounding_radius = 0;
}

int shape_read(VFile *vf, const char *what, Shape *out) {
    empty_shape(out);
    int n = 0;
    if (vfile_scan(vf, "%d", &n) != 1) {
        log_printf("Warning: no sphere count in '%.900s'\n", what);
        return 0;
    }
    if (n < 0) {
        log_printf("Warning: negative sphere count %d in '%.900s'\n", n, what);
        return 0;
    }
    if (n > SHAPE_MAX_SPHERES) {
        log_printf("Warning: '%.900s' has %d spheres, reading the first %d\n", what, n,
                   SHAPE_MAX_SPHERES);
        n = SHAPE_MAX_SPHERES;
    }
    if (n == 0) return 1;
    ShapeSphere *spheres = (ShapeSphere *)xmalloc(sizeof(ShapeSphere) * (unsigned long)n);
    float bound = 0;
    for (int i = 0; i < n; i++) {
        float v[7];
        int got =
            vfile_scan(vf, "%f %f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]);
        if (got != 7 || !sphere_valid(v)) {
            log_printf("Warning: %s sphere %d of '%.900s', shape left empty\n",
                       got != 7 ? "short" : "invalid", i, what);
            free(spheres);
            return 0;
        }
        ShapeSphere *s = &spheres[i];
        s->centre[0] = v[0], s->centre[1] = v[1], s->centre[2] = v[2];
        s->radius = v[3] > 0 ? v[3] : 0;
        s->friction = v[4] > 0 ? v[4] : 0;
        s->kp = v[5], s->kd = v[6];
        // Sums of huge but finite centres can still overflow; such a bound is unusable.
        float reach = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) + s->radius;
        if (!std::isfinite(reach)) {
            log_printf("Warning: sphere %d of '%.900s' lies out of reach, shape left empty\n", i,
                       what);
            free(spheres);
            return 0;
        }
        if (reach > bound) bound = reach;
    }
    out->count = n;
    out->spheres = spheres;
    out->bounding_radius = bound;
    return 1;
}

void shape_release(Shape *shape) {
    free(shape->spheres);
    empty_shape(shape);
}

// Loaded shapes by file name; the records stay at one address for the whole run.
static std::map<std::string, Shape *> &shape_cache() {
    static std::map<std::string, Shape *> cache;
    return cache;
}

static const Shape kEmptyShape = {0, nullptr, 0};

const Shape *shape_load(const char *path) {
    if (!path) return &kEmptyShape;
    std::map<std::string, Shape *> &cache = shape_cache();
    auto it = cache.find(path);
    if (it != cache.end()) return it->second;
    VFile *vf = vfile_open(path, "rb");
    if (!vf) {
        log_printf("Warning: Can't load %.900s\n", path);
        return &kEmptyShape;
    }
    Shape *shape = new Shape;
    shape_read(vf, path, shape);
    vfile_close(vf);
    cache[path] = shape;
    return shape;
}

void shape_cache_clear() {
    for (auto &entry : shape_cache()) {
        shape_release(entry.second);
        delete entry.second;
    }
    shape_cache().clear();
}

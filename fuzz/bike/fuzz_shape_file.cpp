// Fuzz target: arbitrary ".shp" text through the shape reader; every sphere that comes out
// must be usable by the contact code (finite, radius and friction >= 0, a finite CFM).
#include "bike/shape_file.h"
#include "data/vfile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    VFile *vf = vfile_open_memory(data, size, 0);
    if (!vf) return 0;
    Shape s;
    int ok = shape_read(vf, "fuzz", &s);
    vfile_close(vf);
    if (s.count < 0 || s.count > SHAPE_MAX_SPHERES || (!ok && s.count != 0)) abort();
    if (!std::isfinite(s.bounding_radius) || s.bounding_radius < 0) abort();
    for (int i = 0; i < s.count; i++) {
        const ShapeSphere &p = s.spheres[i];
        for (float c : p.centre)
            if (!std::isfinite(c)) abort();
        if (!(p.radius >= 0) || !(p.friction >= 0) || !std::isfinite(p.radius)) abort();
        if (!(p.kp >= 0) || !(p.kd >= 0) || !(p.kd + p.kp / 128.0 > 0)) abort();
        if (!std::isfinite(1.0 / (p.kd + p.kp / 128.0))) abort();
        double reach = std::sqrt(p.centre[0] * p.centre[0] + p.centre[1] * p.centre[1] +
                                 p.centre[2] * p.centre[2]) +
                       p.radius;
        if (reach > s.bounding_radius * (1 + 1e-6) + 1e-6) abort();
    }
    shape_release(&s);
    return 0;
}

// The data generator's terrain kit: course resampling and shaping, the course map of a
// grid, lighting and shadow baking, and the track folder writer.
#include "datagen_terrain.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const double PI = 3.14159265358979323846;
// The albedo that keeps the lit colour unchanged; brighter albedos lighten it.
static const double GEN_WHITE_ALBEDO = 200;

// sin on [-pi/2, pi/2] by its Taylor series (error below 1e-11), after exact reduction steps.
double gen_sin(double x) {
    double k = std::floor(x / (2 * PI) + 0.5);
    double r = x - k * (2 * PI);
    if (r > PI / 2) r = PI - r;
    if (r < -PI / 2) r = -PI - r;
    double r2 = r * r, term = r, sum = r;
    for (int n = 1; n <= 9; n++) {
        term *= -r2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double gen_cos(double x) {
    return gen_sin(x + PI / 2);
}

double gen_smoothstep(double e0, double e1, double t) {
    double u = (t - e0) / (e1 - e0);
    u = u < 0 ? 0 : u > 1 ? 1 : u;
    return u * u * (3 - 2 * u);
}

static uint32_t hash3(int32_t x, int32_t z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ (uint32_t)x * 0x85EBCA77u ^ (uint32_t)z * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

static double lattice(int32_t x, int32_t z, uint32_t seed) {
    return (double)(hash3(x, z, seed) & 0xFFFFFF) / 8388607.5 - 1.0;
}

double gen_noise(double x, double z, uint32_t seed) {
    double fx = std::floor(x), fz = std::floor(z);
    int32_t ix = (int32_t)fx, iz = (int32_t)fz;
    double u = x - fx, v = z - fz;
    u = u * u * (3 - 2 * u);
    v = v * v * (3 - 2 * v);
    double a = lattice(ix, iz, seed), b = lattice(ix + 1, iz, seed);
    double c = lattice(ix, iz + 1, seed), d = lattice(ix + 1, iz + 1, seed);
    return a + (b - a) * u + (c - a) * v + (a - b - c + d) * u * v;
}

// Box filter over a closed loop, window of 2 half + 1 entries.
static void loop_smooth(std::vector<double> *v, int half) {
    int n = (int)v->size();
    if (half <= 0 || n == 0) return;
    std::vector<double> src = *v;
    double sum = 0;
    for (int k = -half; k <= half; k++) sum += src[((k % n) + n) % n];
    for (int i = 0; i < n; i++) {
        (*v)[i] = sum / (2 * half + 1);
        sum += src[(i + half + 1) % n] - src[((i - half) % n + n) % n];
    }
}

int course_index(const Course *c, double s) {
    int n = (int)c->x.size();
    double w = std::fmod(s, c->length);
    if (w < 0) w += c->length;
    int k = (int)(w / COURSE_STEP + 0.5);
    return k >= n ? k - n : k;
}

void course_build(Course *c, const CoursePoint *p, int count, double (*ground)(double, double),
                  double bed_window, double bed_sink) {
    // Dense closed Catmull-Rom polyline through the points.
    const int sub = 256;
    std::vector<double> dx, dz, dw;
    std::vector<int> seg_start;
    for (int i = 0; i < count; i++) {
        const CoursePoint &p0 = p[(i + count - 1) % count], &p1 = p[i];
        const CoursePoint &p2 = p[(i + 1) % count], &p3 = p[(i + 2) % count];
        seg_start.push_back((int)dx.size());
        for (int k = 0; k < sub; k++) {
            double t = (double)k / sub, t2 = t * t, t3 = t2 * t;
            double b0 = -0.5 * t3 + t2 - 0.5 * t, b1 = 1.5 * t3 - 2.5 * t2 + 1;
            double b2 = -1.5 * t3 + 2 * t2 + 0.5 * t, b3 = 0.5 * t3 - 0.5 * t2;
            dx.push_back(b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x);
            dz.push_back(b0 * p0.z + b1 * p1.z + b2 * p2.z + b3 * p3.z);
            dw.push_back(p1.width + (p2.width - p1.width) * gen_smoothstep(0, 1, t));
        }
    }
    int m = (int)dx.size();
    std::vector<double> cum(m + 1, 0);
    for (int i = 0; i < m; i++) {
        double ex = dx[(i + 1) % m] - dx[i], ez = dz[(i + 1) % m] - dz[i];
        cum[i + 1] = cum[i] + std::sqrt(ex * ex + ez * ez);
    }
    c->length = cum[m];
    c->point_s.clear();
    for (int i = 0; i < count; i++) c->point_s.push_back(cum[seg_start[i]]);
    int n = (int)(c->length / COURSE_STEP);
    c->length = n * COURSE_STEP;
    double scale = cum[m] / c->length; // stretch so the resampled steps close the loop exactly
    c->x.assign(n, 0), c->z.assign(n, 0), c->half.assign(n, 0);
    int j = 0;
    for (int k = 0; k < n; k++) {
        double s = k * COURSE_STEP * scale;
        while (j + 1 < m && cum[j + 1] < s) j++;
        double f = (s - cum[j]) / (cum[j + 1] - cum[j]);
        int j1 = (j + 1) % m;
        c->x[k] = dx[j] + (dx[j1] - dx[j]) * f;
        c->z[k] = dz[j] + (dz[j1] - dz[j]) * f;
        c->half[k] = 0.5 * (dw[j] + (dw[j1] - dw[j]) * f);
    }
    for (double &s : c->point_s) s /= scale;

    // Signed curvature from three points 8 ft apart, then smoothed.
    int w = (int)(8 / COURSE_STEP);
    c->curvature.assign(n, 0);
    for (int k = 0; k < n; k++) {
        int a = (k - w + n) % n, b = (k + w) % n;
        double ax = c->x[k] - c->x[a], az = c->z[k] - c->z[a];
        double bx = c->x[b] - c->x[k], bz = c->z[b] - c->z[k];
        double ex = c->x[b] - c->x[a], ez = c->z[b] - c->z[a];
        double cross = ax * bz - az * bx;
        double la = std::sqrt(ax * ax + az * az), lb = std::sqrt(bx * bx + bz * bz);
        double le = std::sqrt(ex * ex + ez * ez);
        c->curvature[k] = 2 * cross / (la * lb * le);
    }
    loop_smooth(&c->curvature, (int)(10 / COURSE_STEP));
    loop_smooth(&c->curvature, (int)(10 / COURSE_STEP));

    c->bed.assign(n, 0);
    for (int k = 0; k < n; k++) c->bed[k] = ground(c->x[k], c->z[k]);
    int bw = (int)(bed_window / COURSE_STEP);
    loop_smooth(&c->bed, bw);
    loop_smooth(&c->bed, bw);
    loop_smooth(&c->bed, bw);
    for (double &b : c->bed) b -= bed_sink;
    c->profile.assign(n, 0);
    c->berm.assign(n, 0);
    c->surface.assign(n, 0);
}

// A piecewise-linear profile given by knots (distance from the feature start, height).
struct Knot {
    double u, h;
};

static void add_knots(Course *c, double s0, const Knot *k, int count) {
    for (int i = 0; i + 1 < count; i++) {
        double u0 = k[i].u, u1 = k[i + 1].u;
        for (double u = u0; u < u1; u += COURSE_STEP) {
            double h = k[i].h + (k[i + 1].h - k[i].h) * (u - u0) / (u1 - u0);
            c->profile[course_index(c, s0 + u)] += h;
        }
    }
}

void course_add_features(Course *c, const CourseFeature *f, int count) {
    std::vector<double> whoops(c->profile.size(), 0);
    for (int i = 0; i < count; i++) {
        const CourseFeature &e = f[i];
        double s0 = c->point_s[e.point] + e.offset, h = e.height;
        if (e.kind == FEATURE_TABLETOP) {
            Knot k[] = {{0, 0}, {e.len1, h}, {e.len1 + e.len2, h}, {e.len1 + e.len2 + e.len3, 0}};
            add_knots(c, s0, k, 4);
        } else if (e.kind == FEATURE_DOUBLE) {
            // The takeoff's back drops to the ground; the landing rises steeply to its crest.
            double lip = e.len1, crest = e.len1 + e.len2;
            Knot k[] = {{0, 0},         {lip, h},   {lip + 1.8 * h, 0},
                        {crest - h, 0}, {crest, h}, {crest + e.len3, 0}};
            add_knots(c, s0, k, 6);
        } else if (e.kind == FEATURE_STEPUP) {
            // Takeoff of height h onto a plateau of height len3, landing len2 past the lip.
            double lip = e.len1, edge = e.len1 + e.len2, top = e.len3;
            Knot k[] = {
                {0, 0},      {lip, h},         {lip + 1.5, 0.45 * h},   {edge - top, 0.45 * h},
                {edge, top}, {edge + 45, top}, {edge + 45 + 5 * top, 0}};
            add_knots(c, s0, k, 7);
        } else {
            // Whoops and rollers: a run of raised-cosine bumps, added after the smoothing
            // of the jumps so their shape stays.
            double pitch = e.len1, len = pitch * e.count;
            for (double u = 0; u < len; u += COURSE_STEP)
                whoops[course_index(c, s0 + u)] += h * (0.5 - 0.5 * gen_cos(2 * PI * u / pitch));
        }
    }
    // Round the lips and knees of the jumps a little, as a dozer leaves them.
    loop_smooth(&c->profile, (int)(1.0 / COURSE_STEP));
    loop_smooth(&c->profile, (int)(1.0 / COURSE_STEP));
    for (size_t k = 0; k < whoops.size(); k++) c->profile[k] += whoops[k];
}

void course_set_surfaces(Course *c, int base, const CourseSurface *spans, int count) {
    for (int &s : c->surface) s = base;
    for (int i = 0; i < count; i++) {
        double s0 = c->point_s[spans[i].point] + spans[i].offset;
        for (double u = 0; u < spans[i].length; u += COURSE_STEP)
            c->surface[course_index(c, s0 + u)] = spans[i].surface;
    }
}

void course_make_berms(Course *c, double gain, double max_height) {
    for (size_t k = 0; k < c->berm.size(); k++) {
        double b = gain * std::fabs(c->curvature[k]);
        c->berm[k] = b < 0.4 ? 0 : b > max_height ? max_height : b;
    }
    loop_smooth(&c->berm, (int)(6 / COURSE_STEP));
}

void gen_terrain_init(GenTerrain *g, int n, double spacing) {
    g->n = n;
    g->spacing = spacing;
    g->S = 1 << n;
    g->N = 2 * g->S + 1;
    g->heights.assign((size_t)g->N * g->N, 0);
    g->tilemap.assign((size_t)g->S * g->S, 0);
    g->albedo.assign((size_t)g->N * g->N * 3, 128);
}

// Pieces of the course closer than this along the loop count as the same piece.
static const double SAME_PIECE = 150;

static double loop_distance(double a, double b, double length) {
    double d = std::fabs(a - b);
    return d < length - d ? d : length - d;
}

static void hit_insert(CourseHit *first, CourseHit *second, float d, float s, double length) {
    float ad = std::fabs(d);
    if (ad < std::fabs(first->d)) {
        if (loop_distance(s, first->s, length) >= SAME_PIECE) *second = *first;
        *first = CourseHit{d, s};
    } else if (loop_distance(s, first->s, length) >= SAME_PIECE && ad < std::fabs(second->d)) {
        *second = CourseHit{d, s};
    }
}

void course_map_build(CourseMap *m, const GenTerrain *g, const Course *c, double reach) {
    size_t count = (size_t)g->N * g->N;
    m->first.assign(count, CourseHit());
    m->second.assign(count, CourseHit());
    int n = (int)c->x.size(), step = (int)(2 / COURSE_STEP);
    for (int k = 0; k < n; k += step) {
        int k1 = (k + step) % n;
        double ax = c->x[k], az = c->z[k], bx = c->x[k1], bz = c->z[k1];
        double ex = bx - ax, ez = bz - az, len2 = ex * ex + ez * ez;
        double r = reach + (c->half[k] > c->half[k1] ? c->half[k] : c->half[k1]);
        int i0 = (int)std::floor(((ax < bx ? ax : bx) - r) / g->spacing);
        int i1 = (int)std::ceil(((ax > bx ? ax : bx) + r) / g->spacing);
        int j0 = (int)std::floor(((az < bz ? az : bz) - r) / g->spacing);
        int j1 = (int)std::ceil(((az > bz ? az : bz) + r) / g->spacing);
        if (i0 < 0) i0 = 0;
        if (j0 < 0) j0 = 0;
        if (i1 > g->N - 1) i1 = g->N - 1;
        if (j1 > g->N - 1) j1 = g->N - 1;
        for (int j = j0; j <= j1; j++) {
            for (int i = i0; i <= i1; i++) {
                double px = i * g->spacing - ax, pz = j * g->spacing - az;
                double t = (px * ex + pz * ez) / len2;
                t = t < 0 ? 0 : t > 1 ? 1 : t;
                double qx = px - t * ex, qz = pz - t * ez;
                double dist = std::sqrt(qx * qx + qz * qz);
                if (dist > r) continue;
                double side = ex * pz - ez * px;
                size_t idx = (size_t)i + (size_t)j * g->N;
                hit_insert(&m->first[idx], &m->second[idx], (float)(side >= 0 ? dist : -dist),
                           (float)(k * COURSE_STEP + t * step * COURSE_STEP), c->length);
            }
        }
    }
}

CourseShape course_shape(const Course *c, const CourseHit &hit, double ground) {
    CourseShape out = {ground, 0, 0, 1e30, 0};
    if (hit.d > 1e29f) return out;
    int k = course_index(c, hit.s);
    out.index = k;
    double half = c->half[k], ad = std::fabs(hit.d), kappa = c->curvature[k];
    double berm = c->berm[k], prof = c->profile[k], bed = c->bed[k];
    int outer = berm > 0 && hit.d * kappa < 0;
    double lip = outer ? 3 + berm : 0;
    double edge = half + lip, h_edge;
    out.outside = ad - edge;
    if (ad <= half) {
        double lat = ad / half;
        out.height = bed + prof + (outer ? berm * lat * lat : -0.08 * berm * lat);
        h_edge = bed + prof + (outer ? berm : 0);
    } else if (ad <= edge) {
        // The berm's lip: a rounded crest a little above the banked edge.
        double u = (ad - half) / lip;
        out.height = bed + prof + berm * (1 + 0.25 * gen_sin(PI * u));
        h_edge = bed + prof + berm;
    } else {
        h_edge = bed + prof + (outer ? berm : 0);
    }
    if (ad <= edge) {
        out.weight = 1;
        out.on_track = 1;
        return out;
    }
    // Outside the edge the course's height runs on flat and fades into the ground over a
    // shoulder long enough to keep the side slope below about 30 degrees.
    double shoulder = 5 + 1.8 * std::fabs(h_edge - ground);
    out.height = h_edge;
    out.weight = 1 - gen_smoothstep(0, shoulder, ad - edge);
    return out;
}

// Bilinear height of the generator's grid at a point in sample units, clamped.
static double grid_height(const std::vector<float> &h, int n, double fx, double fz) {
    if (fx < 0) fx = 0;
    if (fz < 0) fz = 0;
    if (fx > n - 1) fx = n - 1;
    if (fz > n - 1) fz = n - 1;
    int i = (int)fx, j = (int)fz;
    if (i > n - 2) i = n - 2;
    if (j > n - 2) j = n - 2;
    double u = fx - i, v = fz - j;
    const float *r0 = &h[(size_t)j * n], *r1 = r0 + n;
    return (r0[i] * (1 - u) + r0[i + 1] * u) * (1 - v) + (r1[i] * (1 - u) + r1[i + 1] * u) * v;
}

// Heights as the terrain loader will read them back, and the range written to the header.
static void quantise(const GenTerrain *g, std::vector<uint16_t> *samples, std::vector<float> *back,
                     float *lo, float *hi) {
    double mn = g->heights[0], mx = g->heights[0];
    for (double h : g->heights) {
        if (h < mn) mn = h;
        if (h > mx) mx = h;
    }
    // Round the range outward to values the header's six decimals hold exactly enough.
    *lo = (float)(std::floor(mn * 100) / 100);
    *hi = (float)(std::ceil(mx * 100) / 100);
    char text[64];
    snprintf(text, sizeof text, "%f %f", (double)*lo, (double)*hi);
    *lo = strtof(text, nullptr);
    *hi = strtof(strchr(text, ' ') + 1, nullptr);
    double range = (double)*hi - *lo;
    samples->resize(g->heights.size());
    back->resize(g->heights.size());
    for (size_t k = 0; k < g->heights.size(); k++) {
        double v = range > 0 ? (g->heights[k] - *lo) / range * 65535 + 0.5 : 0;
        uint16_t q = (uint16_t)(v < 0 ? 0 : v > 65535 ? 65535 : (int)v);
        (*samples)[k] = q;
        (*back)[k] = (float)(*lo + (double)q * (range * (1.0 / 65535.0)));
    }
}

void gen_bake(const GenTerrain *g, std::vector<uint8_t> *shading, std::vector<uint8_t> *lit) {
    std::vector<uint16_t> samples;
    std::vector<float> h;
    float lo, hi;
    quantise(g, &samples, &h, &lo, &hi);
    int n = g->N;
    double a = g->spacing;
    double sl = std::sqrt(g->sun[0] * g->sun[0] + g->sun[1] * g->sun[1] + g->sun[2] * g->sun[2]);
    double sun[3] = {g->sun[0] / sl, g->sun[1] / sl, g->sun[2] / sl};
    double horiz = std::sqrt(sun[0] * sun[0] + sun[2] * sun[2]);
    shading->assign((size_t)n * n * 3, 0);
    lit->assign((size_t)n * n, 255);
    static const int ring[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0},
                                   {1, 1},   {0, 1},  {-1, 1}, {-1, 0}};
    for (int j = 0; j < n; j++) {
        for (int i = 0; i < n; i++) {
            size_t idx = (size_t)i + (size_t)j * n;
            double c = h[idx];
            // The normal the game's relighting uses: eight fan triangles around the sample.
            double p[8][3], nx = 0, ny = 0, nz = 0;
            for (int k = 0; k < 8; k++) {
                int si = i + ring[k][0], sj = j + ring[k][1];
                si = si < 0 ? 0 : si > n - 1 ? n - 1 : si;
                sj = sj < 0 ? 0 : sj > n - 1 ? n - 1 : sj;
                p[k][0] = ring[k][0] * a;
                p[k][1] = h[(size_t)si + (size_t)sj * n] - c;
                p[k][2] = ring[k][1] * a;
            }
            for (int k = 0; k < 8; k++) {
                const double *q = p[(k + 1) & 7], *r = p[k];
                double cx = q[1] * r[2] - q[2] * r[1], cy = q[2] * r[0] - q[0] * r[2];
                double cz = q[0] * r[1] - q[1] * r[0];
                double l = std::sqrt(cx * cx + cy * cy + cz * cz);
                nx += cx / l, ny += cy / l, nz += cz / l;
            }
            double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
            double d = (nx * sun[0] + ny * sun[1] + nz * sun[2]) / nl;
            d = d < 0 ? 0 : d > 1 ? 1 : d;

            // Cast shadow: march towards the sun; the deepest the ray passes below the
            // ground, against a penumbra that widens with distance, sets the shadow.
            double shadow = 0;
            if (horiz > 1e-6) {
                double stepx = sun[0] / horiz, stepz = sun[2] / horiz; // one sample per step
                double rise = a * sun[1] / horiz;
                double fx = i, fz = j, ray = c + 0.05;
                for (int t = 1; t < 4 * n; t++) {
                    fx += stepx, fz += stepz, ray += rise;
                    if (ray > hi || fx < 0 || fz < 0 || fx > n - 1 || fz > n - 1) break;
                    double below = grid_height(h, n, fx, fz) - ray;
                    if (below > 0) {
                        double s = below / (0.3 + 0.02 * t * a);
                        if (s > shadow) shadow = s;
                        if (shadow >= 1) {
                            shadow = 1;
                            break;
                        }
                    }
                }
            }
            (*lit)[idx] = (uint8_t)(255 - (int)(shadow * 255 + 0.5));
            double sh = (*lit)[idx] / 255.0;
            // Hollows a little darker and crests a little brighter than the sun alone makes
            // them, so ruts, lips and berm tops read from above.
            double mean = 0;
            int taken = 0;
            for (int dj = -3; dj <= 3; dj++) {
                for (int di = -3; di <= 3; di++) {
                    int si = i + di, sj = j + dj;
                    if (si < 0 || sj < 0 || si >= n || sj >= n) continue;
                    mean += h[(size_t)si + (size_t)sj * n];
                    taken++;
                }
            }
            double relief = 1 + 0.12 * (c - mean / taken);
            relief = relief < 0.8 ? 0.8 : relief > 1.12 ? 1.12 : relief;
            for (int ch = 0; ch < 3; ch++) {
                double v = (g->sun_colour[ch] * d * sh + g->ambient[ch]) * 0.5 * 255 * relief *
                           g->albedo[idx * 3 + ch] / GEN_WHITE_ALBEDO;
                (*shading)[idx * 3 + ch] = (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : (int)v);
            }
        }
    }
}

// Writes data as rel, or as rel + ".gz" when that is smaller, and removes the other one
// so a stale copy from an earlier run cannot shadow it.
static void write_maybe_gzip(DataOut *out, const std::string &rel,
                             const std::vector<uint8_t> &data) {
    std::vector<uint8_t> gz = gzip_bytes(data.data(), data.size());
    if (!gz.empty() && gz.size() < data.size()) {
        remove((out->dir + rel).c_str());
        write_data_file(out, rel + ".gz", gz.data(), gz.size());
    } else {
        remove((out->dir + rel + ".gz").c_str());
        write_data_file(out, rel, data.data(), data.size());
    }
}

static std::vector<uint8_t> text_bytes(const char *text) {
    return std::vector<uint8_t>(text, text + strlen(text));
}

void gen_write_track(DataOut *out, const std::string &folder, const GenTerrain *g,
                     const std::string &desc, const std::string &tileinfo,
                     const std::string &lighting, int with_shadows) {
    std::vector<uint16_t> samples;
    std::vector<float> back;
    float lo, hi;
    quantise(g, &samples, &back, &lo, &hi);
    char header[128];
    snprintf(header, sizeof header, "%d %f %f %f\n:", g->n, g->spacing, (double)lo, (double)hi);
    std::vector<uint8_t> hf = text_bytes(header);
    for (uint16_t v : samples) {
        hf.push_back((uint8_t)(v & 0xFF));
        hf.push_back((uint8_t)(v >> 8));
    }
    write_maybe_gzip(out, folder + "/terrain.hf", hf);
    write_maybe_gzip(out, folder + "/tilemap", g->tilemap);

    std::vector<uint8_t> shading, lit;
    gen_bake(g, &shading, &lit);
    snprintf(header, sizeof header, "P6\n%d %d\n255\n", g->N, g->N);
    std::vector<uint8_t> ppm = text_bytes(header);
    ppm.insert(ppm.end(), shading.begin(), shading.end());
    write_maybe_gzip(out, folder + "/shadingx2.ppm", ppm);
    if (with_shadows) {
        snprintf(header, sizeof header, "P5\n%d %d\n255\n", g->N, g->N);
        std::vector<uint8_t> pgm = text_bytes(header);
        pgm.insert(pgm.end(), lit.begin(), lit.end());
        write_maybe_gzip(out, folder + "/shadows.pgm", pgm);
    }
    write_data_file(out, folder + "/desc", desc);
    write_data_file(out, folder + "/tileinfo", tileinfo);
    if (!lighting.empty()) write_data_file(out, folder + "/lighting", lighting);
}

// The terrain's point queries (height, normal, tile), sample lighting and deformation.
#include "track/terrain.h"

#include <cmath>

// Far outside the grid every query answers with the border samples anyway; bounding the
// grid coordinate keeps floor and the int conversion defined for any input, NaN included.
static inline float bound_coord(float f) {
    if (!(f >= -1e6f)) return -1e6f;
    if (!(f <= 1e6f)) return 1e6f;
    return f;
}

static inline int floor_int(float f) {
    int i = (int)f;
    return f < (float)i ? i - 1 : i;
}

static inline int clamp_index(int i, int last) {
    return i < 0 ? 0 : i > last ? last : i;
}

// The four corner heights of grid cell (i, j), border samples repeated outside the grid.
struct CellCorners {
    float h00, h10, h01, h11; // H(i, j), H(i+1, j), H(i, j+1), H(i+1, j+1)
};

static inline CellCorners cell_corners(const Terrain *t, int i, int j) {
    int last = t->samples_per_side - 1, n = t->samples_per_side;
    int i0 = clamp_index(i, last), i1 = clamp_index(i + 1, last);
    const float *r0 = t->heights + (long)clamp_index(j, last) * n;
    const float *r1 = t->heights + (long)clamp_index(j + 1, last) * n;
    return CellCorners{r0[i0], r0[i1], r1[i0], r1[i1]};
}

// Grid coordinates of a world point. Dividing by the spacing rather than multiplying by its
// reciprocal keeps a point on a sample exactly on it for spacings such as 1.25 or 1.5,
// whose reciprocals a float cannot hold.
static inline float grid_coord(float w, float spacing) {
    return bound_coord(w / spacing);
}

float terrain_height(const Terrain *t, float x, float z) {
    float fx = grid_coord(x, t->spacing), fz = grid_coord(z, t->spacing);
    int i = floor_int(fx), j = floor_int(fz);
    float u = fx - (float)i, v = fz - (float)j;
    CellCorners c = cell_corners(t, i, j);
    if ((i + j) & 1) {
        // Cut from (i+1, j) to (i, j+1).
        if (u + v <= 1) return c.h00 + u * (c.h10 - c.h00) + v * (c.h01 - c.h00);
        return c.h11 + (1 - u) * (c.h01 - c.h11) + (1 - v) * (c.h10 - c.h11);
    }
    // Cut from (i, j) to (i+1, j+1).
    if (v <= u) return c.h10 + (1 - u) * (c.h00 - c.h10) + v * (c.h11 - c.h10);
    return c.h01 + u * (c.h11 - c.h01) + (1 - v) * (c.h00 - c.h01);
}

Vec3 terrain_normal(const Terrain *t, float x, float z) {
    float fx = grid_coord(x, t->spacing), fz = grid_coord(z, t->spacing);
    int i = floor_int(fx), j = floor_int(fz);
    float u = fx - (float)i, v = fz - (float)j;
    CellCorners c = cell_corners(t, i, j);
    float a = t->spacing;
    // The triangle's vertices in the order terrain_height uses them: the first vertex and
    // the grid steps (in cells) and heights of the other two.
    float h0, h1, h2, dx1, dz1, dx2, dz2;
    if ((i + j) & 1) {
        if (u + v <= 1) {
            h0 = c.h00, h1 = c.h10, h2 = c.h01, dx1 = 1, dz1 = 0, dx2 = 0, dz2 = 1;
        } else {
            h0 = c.h11, h1 = c.h01, h2 = c.h10, dx1 = -1, dz1 = 0, dx2 = 0, dz2 = -1;
        }
    } else if (v <= u) {
        h0 = c.h10, h1 = c.h00, h2 = c.h11, dx1 = -1, dz1 = 0, dx2 = 0, dz2 = 1;
    } else {
        h0 = c.h01, h1 = c.h11, h2 = c.h00, dx1 = 1, dz1 = 0, dx2 = 0, dz2 = -1;
    }
    float e1x = dx1 * a, e1y = h1 - h0, e1z = dz1 * a;
    float e2x = dx2 * a, e2y = h2 - h0, e2z = dz2 * a;
    Vec3 n = {e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x};
    if (n.y < 0) n = Vec3{-n.x, -n.y, -n.z};
    return n;
}

unsigned char terrain_tile_at(const Terrain *t, float x, float z) {
    float last = (float)(t->tiles_per_side - 1);
    float u = x * t->inv_spacing * 0.5f, v = z * t->inv_spacing * 0.5f;
    u = !(u >= 0) ? 0 : u > last ? last : u;
    v = !(v >= 0) ? 0 : v > last ? last : v;
    return t->tilemap[(int)u + (long)(int)v * t->tiles_per_side];
}

const Tile *terrain_surface_at(const Terrain *t, float x, float z) {
    return &t->tiles[terrain_tile_at(t, x, z)];
}

static inline float sample_height(const Terrain *t, int i, int j) {
    int last = t->samples_per_side - 1;
    return t->heights[clamp_index(i, last) + (long)clamp_index(j, last) * t->samples_per_side];
}

void terrain_sample_colour(const Terrain *t, int i, int j, unsigned char rgb[3]) {
    static const int ring[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0},
                                   {1, 1},   {0, 1},  {-1, 1}, {-1, 0}};
    float a = t->spacing;
    float cy = sample_height(t, i, j);
    float p[8][3];
    for (int k = 0; k < 8; k++) {
        p[k][0] = (float)ring[k][0] * a;
        p[k][1] = sample_height(t, i + ring[k][0], j + ring[k][1]) - cy;
        p[k][2] = (float)ring[k][1] * a;
    }
    float n[3] = {0, 0, 0};
    for (int k = 0; k < 8; k++) {
        const float *q = p[(k + 1) & 7], *r = p[k];
        float cx = q[1] * r[2] - q[2] * r[1];
        float cyy = q[2] * r[0] - q[0] * r[2];
        float cz = q[0] * r[1] - q[1] * r[0];
        float len = std::sqrt(cx * cx + cyy * cyy + cz * cz);
        if (len > 0) n[0] += cx / len, n[1] += cyy / len, n[2] += cz / len;
    }
    float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len > 0) n[0] /= len, n[1] /= len, n[2] /= len;
    const TerrainLight &l = t->light;
    float d = n[0] * l.sun_dir[0] + n[1] * l.sun_dir[1] + n[2] * l.sun_dir[2];
    d = d < 0 ? 0 : d > 1 ? 1 : d;
    int last = t->samples_per_side - 1;
    int shadow = t->shadows[clamp_index(i, last) + (long)clamp_index(j, last) * (last + 1)];
    d *= 1 - (float)shadow / 255;
    for (int c = 0; c < 3; c++) {
        float v = (l.sun_colour[c] * d + l.ambient[c]) * 0.5f * 255;
        rgb[c] = (unsigned char)(!(v > 0) ? 0 : v >= 255 ? 255 : (int)v);
    }
}

// The dither threshold of a shading step at sample (i, j): a fraction in [0, 1] that
// changes with the race tick so repeated small steps still add up.
static float dither_threshold(int i, int j, unsigned tick) {
    uint32_t s = (uint32_t)(i + j) + tick;
    s = s * 1103515245u + 12345u;
    return (float)((s >> 16) & 0xFFF) / 4095;
}

// Moves the stored shading of sample (i, j) so that its difference to the lit colour
// approaches target by the factor f.
static void shading_adjust(Terrain *t, int i, int j, const int target[3], float f) {
    int last = t->samples_per_side - 1;
    i = clamp_index(i, last), j = clamp_index(j, last);
    unsigned char lit[3];
    terrain_sample_colour(t, i, j, lit);
    unsigned char *stored = t->shading + 3 * ((long)i + (long)j * (last + 1));
    float q = dither_threshold(i, j, t->tick);
    for (int c = 0; c < 3; c++) {
        int d = stored[c] - lit[c];
        float o = (float)(target[c] - d) * f;
        float fl = std::floor(o);
        int step = (int)fl + (o - fl > q ? 1 : 0);
        int v = stored[c] + step;
        stored[c] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
    }
}

void terrain_deform(Terrain *t, float x, float z, float amount) {
    if (amount == 0 || !t->heights) return;
    float fx = grid_coord(x, t->spacing), fz = grid_coord(z, t->spacing);
    int i0 = floor_int(fx) - 1, j0 = floor_int(fz) - 1;
    float w[4][4], total = 0;
    for (int dj = 0; dj < 4; dj++) {
        for (int di = 0; di < 4; di++) {
            float rx = (float)(i0 + di) - fx, rz = (float)(j0 + dj) - fz;
            float r = std::sqrt(rx * rx + rz * rz), s = r / 2;
            w[dj][di] = r > 2 ? 0 : 1 - 3 * s * s + 2 * s * s * s;
            total += w[dj][di];
        }
    }
    static const int mark[3] = {-32, -64, -64};
    int n = t->samples_per_side;
    for (int dj = 0; dj < 4; dj++) {
        for (int di = 0; di < 4; di++) {
            int i = i0 + di, j = j0 + dj;
            float share = w[dj][di] / total;
            // The detail of the neighbourhood (stored minus lit colour) is kept through
            // the height change: note it, change the height, put the detail back.
            int detail[3][3][3];
            for (int b = 0; b < 3; b++) {
                for (int a = 0; a < 3; a++) {
                    int si = clamp_index(i + a - 1, n - 1), sj = clamp_index(j + b - 1, n - 1);
                    unsigned char lit[3];
                    terrain_sample_colour(t, si, sj, lit);
                    const unsigned char *s = t->shading + 3 * ((long)si + (long)sj * n);
                    for (int c = 0; c < 3; c++) detail[b][a][c] = s[c] - lit[c];
                }
            }
            if (i >= 0 && i < n && j >= 0 && j < n && !t->write_protected) {
                float &h = t->heights[i + (long)j * n];
                h += amount * share;
                t->modified = 1;
                if (h < t->min_height) t->min_height = h;
                if (h > t->max_height) t->max_height = h;
            }
            for (int b = 0; b < 3; b++)
                for (int a = 0; a < 3; a++)
                    shading_adjust(t, i + a - 1, j + b - 1, detail[b][a], 1);
            shading_adjust(t, i, j, mark, share / 16);
        }
    }
}

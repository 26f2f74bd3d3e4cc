// The start track "rabbithill": a motocross course of about a mile round a hill, with its
// ground, surfaces, shading and surface table.
#include "datagen.h"
#include "datagen_terrain.h"
#include "rabbithill_course.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

double rabbithill_ground(double x, double z) {
    // The hill the track is named after, in the north-east of the ground.
    double dx = (x - 920) / 380, dz = (z - 380) / 360, r2 = dx * dx + dz * dz;
    double hill = r2 < 1 ? 44 * (1 - r2) * (1 - r2) : 0;
    // The land falls gently towards the south-west.
    double tilt = 6 * (1 - z / 1280) + 3 * (x / 1280);
    double swell =
        2.0 * gen_sin(x / 170 + 0.7) * gen_cos(z / 210 - 0.4) + 1.2 * gen_sin((x + z) / 95);
    double lumps = 0.9 * gen_noise(x / 60, z / 60, 1) + 0.25 * gen_noise(x / 14, z / 14, 2);
    return hill + tilt + swell + lumps;
}

void rabbithill_build_course(Course *c) {
    course_build(c, rabbithill_points, rabbithill_point_count, rabbithill_ground, 40, 0.4);
    course_add_features(c, rabbithill_features, rabbithill_feature_count);
    course_make_berms(c, 320, 5.5);
    course_set_surfaces(c, RH_HARDPACK, rabbithill_surfaces, rabbithill_surface_count);
}

// Ground colours at full brightness, by surface; built-up dirt off the track uses SIDE.
static const double surface_colour[6][3] = {
    {84, 128, 52},   // grass
    {158, 120, 84},  // hard-pack
    {100, 74, 52},   // loam
    {210, 188, 140}, // sand
    {128, 94, 64},   // ruts
    {172, 160, 142}, // start pad
};
static const double side_colour[3] = {142, 110, 78};

static const char *rabbithill_tileinfo = "texture @ground/grass.png\n"
                                         "friction 0.72 1\n"
                                         "friction 0.60 40\n"
                                         "roll_resist 9 26 1\n"
                                         "roost count=6 dig=0.4 size=0.2 r=96 g=124 b=60\n"
                                         "addtile\n"
                                         "texture @ground/hardpack.png\n"
                                         "friction 1.10 1\n"
                                         "friction 1.00 30\n"
                                         "friction 0.92 80\n"
                                         "roll_resist 4 12 1\n"
                                         "roost count=8 dig=0.6 r=150 g=115 b=80\n"
                                         "addtile\n"
                                         "texture @ground/loam.png\n"
                                         "friction 1.05 1\n"
                                         "friction 0.96 40\n"
                                         "roll_resist 6 18 1\n"
                                         "roost count=14 dig=1.2 r=96 g=70 b=48\n"
                                         "addtile\n"
                                         "texture @ground/sand.png\n"
                                         "friction 0.80 1\n"
                                         "friction 0.72 40\n"
                                         "roll_resist 12 36 1\n"
                                         "roll_resist 14 40 40\n"
                                         "roost count=20 dig=1.5 size=0.3 r=205 g=185 b=140\n"
                                         "addtile\n"
                                         "texture @ground/ruts.png\n"
                                         "friction 0.95 1\n"
                                         "friction 0.86 40\n"
                                         "roll_resist 8 24 1\n"
                                         "roost count=12 dig=1.0 r=120 g=90 b=62\n"
                                         "addtile\n"
                                         "texture @ground/startpad.png\n"
                                         "friction 1.20 1\n"
                                         "friction 1.10 40\n"
                                         "roll_resist 3.5 10 1\n"
                                         "roost count=5 dig=0.3 r=170 g=160 b=140\n"
                                         "addtile\n";

// Late afternoon sun from the north-west, low enough for the jump faces to cast shadows.
static const double rabbithill_sun[3] = {-0.62, 0.42, -0.66};
static const double rabbithill_sun_colour = 1.2, rabbithill_ambient = 0.4;

// The two course hits of a sample combined: the dominant one decides surface and colour.
struct SampleLook {
    double height;    // final ground height
    int surface;      // tile index
    double dirt;      // 0 grass .. 1 the surface's own colour
    CourseShape main; // the dominant course shape
    double lateral;   // distance of the sample from that shape's centreline
};

static SampleLook rabbithill_sample(const Course *c, const CourseMap *m, double x, double z,
                                    size_t idx) {
    double g = rabbithill_ground(x, z) + 0.1 * gen_noise(x / 3, z / 3, 3);
    CourseShape a = course_shape(c, m->first[idx], g), b = course_shape(c, m->second[idx], g);
    int first = a.weight >= b.weight;
    SampleLook out = {g, RH_GRASS, 0, first ? a : b,
                      std::fabs(first ? m->first[idx].d : m->second[idx].d)};
    double wa = a.weight * a.weight * a.weight * a.weight;
    double wb = b.weight * b.weight * b.weight * b.weight;
    if (wa + wb > 0) {
        double top = a.weight > b.weight ? a.weight : b.weight;
        out.height = g + top * (wa * (a.height - g) + wb * (b.height - g)) / (wa + wb);
    }
    const CourseShape &s = out.main;
    int surf = c->surface[s.index];
    if (s.on_track && surf == RH_RUTS) {
        // Ruts worn along the line of travel.
        double d = out.lateral;
        out.height -= 0.2 * (0.5 + 0.5 * gen_cos(2 * 3.14159265358979 * d / 2.2));
    }
    double raised = out.height - g;
    double edge_dirt = 1 - gen_smoothstep(-0.8, 0.8, s.outside);
    double side_dirt = s.weight * gen_smoothstep(0.4, 1.2, raised);
    out.dirt = edge_dirt > side_dirt ? edge_dirt : side_dirt;
    if (s.on_track)
        out.surface = surf;
    else if (s.weight > 0.45 && raised > 0.8)
        out.surface = RH_HARDPACK; // the dirt flanks of jumps and berms
    return out;
}

static void rabbithill_colour(const Course *c, const SampleLook &look, double x, double z,
                              uint8_t *rgb) {
    double grass[3], dirt[3];
    double patch = 0.06 * gen_noise(x / 40, z / 40, 7) + 0.04 * gen_noise(x / 7, z / 7, 8);
    for (int ch = 0; ch < 3; ch++) grass[ch] = surface_colour[RH_GRASS][ch] * (1 + patch);
    const CourseShape &s = look.main;
    int surf = look.surface == RH_GRASS ? -1 : c->surface[s.index];
    if (!s.on_track) surf = -1;
    const double *base = surf < 0 ? side_colour : surface_colour[surf];
    double grain = 0.06 * gen_noise(x / 2.5, z / 2.5, 9);
    double line = 1;
    if (s.on_track) {
        // The racing line is packed darker down the middle of the track.
        double half = c->half[s.index], d = look.lateral;
        double u = d < half ? d / half : 1;
        line = 0.90 + 0.10 * u * u;
        if (surf == RH_RUTS) line *= 0.88 + 0.12 * (0.5 + 0.5 * gen_cos(2 * 3.14159265 * d / 2.2));
    }
    for (int ch = 0; ch < 3; ch++) dirt[ch] = base[ch] * line * (1 + grain);
    for (int ch = 0; ch < 3; ch++) {
        double v = grass[ch] + (dirt[ch] - grass[ch]) * look.dirt;
        rgb[ch] = (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : (int)v);
    }
}

void generate_rabbithill(DataOut *out) {
    GenTerrain g;
    gen_terrain_init(&g, RABBITHILL_SIZE_LOG2, RABBITHILL_SPACING);
    Course c;
    rabbithill_build_course(&c);
    CourseMap m;
    course_map_build(&m, &g, &c, 45);
    std::vector<int> surface((size_t)g.N * g.N);
    for (int j = 0; j < g.N; j++) {
        for (int i = 0; i < g.N; i++) {
            size_t idx = (size_t)i + (size_t)j * g.N;
            double x = i * g.spacing, z = j * g.spacing;
            SampleLook look = rabbithill_sample(&c, &m, x, z, idx);
            g.heights[idx] = look.height;
            surface[idx] = look.surface;
            rabbithill_colour(&c, look, x, z, &g.albedo[idx * 3]);
        }
    }
    // A tile takes the surface under its centre sample.
    for (int v = 0; v < g.S; v++)
        for (int u = 0; u < g.S; u++)
            g.tilemap[(size_t)u + (size_t)v * g.S] =
                (uint8_t)surface[(size_t)(2 * u + 1) + (size_t)(2 * v + 1) * g.N];
    for (int k = 0; k < 3; k++) {
        g.sun[k] = rabbithill_sun[k];
        g.sun_colour[k] = rabbithill_sun_colour;
        g.ambient[k] = rabbithill_ambient;
    }
    // The game relights deformed ground with the same light the shading was baked with.
    char lighting[256];
    snprintf(lighting, sizeof lighting,
             "sun_vector [ %.2f %.2f %.2f ]\nsun_color [ %.2f %.2f %.2f ]\n"
             "ambient [ %.2f %.2f %.2f ]\n",
             rabbithill_sun[0], rabbithill_sun[1], rabbithill_sun[2], rabbithill_sun_colour,
             rabbithill_sun_colour, rabbithill_sun_colour, rabbithill_ambient, rabbithill_ambient,
             rabbithill_ambient);
    if (getenv("SKARVEX_DATAGEN_VERBOSE"))
        fprintf(stderr, "rabbithill: course %.0f ft\n", c.length);
    gen_write_track(out, "rabbithill", &g, "Rabbit Hill\n", rabbithill_tileinfo, lighting, 1);
}

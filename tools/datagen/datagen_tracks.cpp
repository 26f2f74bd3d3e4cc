// Track folders of the ready-to-run folder: the start track and the flat proving ground.
#include "datagen.h"
#include "datagen_terrain.h"
#include "rabbithill_course.h"

// A flat square of 2048 ft with one surface of constant grip, for physics checks. The
// shading carries a faint 64 ft grid so that speed and distance can be judged by eye.
static void generate_proving(DataOut *out) {
    GenTerrain g;
    gen_terrain_init(&g, 9, 2.0);
    for (int j = 0; j < g.N; j++) {
        for (int i = 0; i < g.N; i++) {
            int line = i % 32 == 0 || j % 32 == 0;
            uint8_t *rgb = &g.albedo[((size_t)i + (size_t)j * g.N) * 3];
            rgb[0] = line ? 150 : 176;
            rgb[1] = line ? 136 : 160;
            rgb[2] = line ? 118 : 138;
        }
    }
    g.sun[0] = -0.4, g.sun[1] = 0.8, g.sun[2] = -0.45;
    const char *tileinfo = "texture @ground/hardpack.png\n"
                           "friction 1.0 1\n"
                           "roll_resist 5 15 1\n"
                           "roost count=8 dig=0.6 r=150 g=115 b=80\n"
                           "addtile\n";
    const char *lighting =
        "sun_vector [ -0.40 0.80 -0.45 ]\nsun_color [ 1 1 1 ]\nambient [ 0.5 0.5 0.5 ]\n";
    gen_write_track(out, "proving", &g, "Proving Ground\n", tileinfo, lighting, 0);
}

void generate_tracks(DataOut *out) {
    generate_rabbithill(out);
    generate_proving(out);
}

// Fuzz target: arbitrary packed bike states (39-byte and 26-byte records) posed onto a bike,
// which is then packed and stepped; no body may end up with a value that is not finite.
//
// Input: one control byte (bit 0: version 4 instead of 5; bits 1-3: ticks since the
// previous record; bit 7: no terrain), then one or two records of that version.
#include "bike/bike.h"
#include "bike/packed_state.h"
#include "bike/physics_world.h"
#include "track/terrain.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

static Bike *g_bike;
static Terrain g_terrain;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    if (!physics_world_create()) abort();
    g_bike = load_bike("yz250f(2009)", 0, "1", nullptr, nullptr, nullptr, nullptr);
    g_terrain.extent = 1024;
    g_terrain.min_height = -20;
    return 0;
}

static void check_finite(const Bike *b) {
    for (int i = 0; i < BIKE_BODY_COUNT; i++) {
        const dReal *p = dBodyGetPosition(b->body[i]), *q = dBodyGetQuaternion(b->body[i]);
        const dReal *v = dBodyGetLinearVel(b->body[i]), *w = dBodyGetAngularVel(b->body[i]);
        for (int k = 0; k < 3; k++)
            if (!std::isfinite(p[k]) || !std::isfinite(v[k]) || !std::isfinite(w[k])) abort();
        for (int k = 0; k < 4; k++)
            if (!std::isfinite(q[k])) abort();
    }
    if (!std::isfinite(b->engine_speed) || !std::isfinite(b->throttle) ||
        !std::isfinite(b->foot_down))
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    int control = data[0];
    int version = control & 1 ? 4 : 5;
    int ticks = (control >> 1) & 7;
    const Terrain *terrain = control & 0x80 ? nullptr : &g_terrain;
    size_t n = (size_t)packed_state_size(version);
    if (size < 1 + n) return 0;
    reset_bike_pose(g_bike);
    g_physics.tick = 2;
    for (size_t at = 1; at + n <= size && at <= 1 + n; at += n) {
        if (!unpack_bike_state(g_bike, terrain, data + at, version, at == 1 ? 0 : ticks)) abort();
        check_finite(g_bike);
        PackedBikeState out;
        if (!pack_bike_state(g_bike, terrain, &out)) abort();
    }
    enable_bike(g_bike);
    physics_world_step();
    bike_step(g_bike, 1);
    check_finite(g_bike);
    return 0;
}

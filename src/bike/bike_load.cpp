// Building a bike from its catalogue record, its runtime defaults, and freeing it.
#include "bike/bike.h"
#include "bike/bike_hooks.h"
#include "bike/physics_world.h"
#include "bike/shape_file.h"
#include "platform/log.h"

#include <algorithm>
#include <cstdio>

void set_bike_defaults(Bike *b) {
    const BikeInfo &in = b->info;
    b->engine_inertia = in.engine_inertia;
    b->final_ratio = std::max(in.rear_sprocket + b->rear_sprocket_adjustment, 3.0f) /
                     std::max(in.front_sprocket + b->front_sprocket_adjustment, 3.0f);
    b->fork_comp = in.fork_compression_damping;
    b->fork_reb = in.fork_rebound_damping;
    b->fork_k = (in.fork_spring_min + in.fork_spring_max) / 2;
    b->fork_preload = (in.fork_preload_min + in.fork_preload_max) / 2;
    b->fork_gap = in.fork_air_gap_min_oil;
    b->shock_comp = in.shock_compression_damping;
    b->shock_reb = in.shock_rebound_damping;
    b->shock_k = (in.shock_spring_min + in.shock_spring_max) / 2;
    b->shock_preload = (in.shock_preload_min + in.shock_preload_max) / 2;
    b->flags = BIKE_DEFAULT_FLAGS;
    b->max_dab_speed = 30;
}

static void load_shapes(Bike *b) {
    const BikeFiles &f = b->info.files;
    b->shape[BODY_FRAME] = shape_load(f.frame_shape);
    b->shape[BODY_FORK_UPPER] = shape_load(f.fork_upper_shape);
    b->shape[BODY_FORK_LOWER] = shape_load(f.fork_lower_shape);
    b->shape[BODY_SWINGARM] = shape_load(f.swingarm_shape);
    b->shape[BODY_RIDER] = shape_load(f.rider_shape);
    b->shape[BODY_FRONT_WHEEL] = shape_load(f.front_wheel_shape);
    b->shape[BODY_REAR_WHEEL] = shape_load(f.rear_wheel_shape);
}

Bike *load_bike(const char *name, int slot, const char *plate_number, const char *rider_texture,
                const char *bike_texture, const char *wheel_texture, const char *helmet_texture) {
    int exact = 0;
    const BikeInfo *info = resolve_bike_info(name, &exact);
    if (!exact)
        bike_post("bike info for '%.20s' not found using '%.20s' instead", name ? name : "",
                  info->name);
    Bike *b = new Bike();
    b->info = *info;
    snprintf(b->plate, sizeof b->plate, "%s", plate_number ? plate_number : "");
    load_shapes(b);
    if (g_bike_hooks.load_graphics)
        g_bike_hooks.load_graphics(b, rider_texture, bike_texture, wheel_texture, helmet_texture);
    if (g_physics.world)
        build_bike_bodies(b);
    else
        log_printf("Warning: no physics world for the bike in slot %d\n", slot);
    b->line_ids.reserve(16);
    for (std::vector<LinePoint> &list : b->line_samples) list.reserve(16);
    b->line_path.reserve(16);
    set_bike_defaults(b);
    reset_bike_pose(b);
    b->slot = slot;
    return b;
}

void free_bike(Bike *b) {
    if (!b) return;
    if (g_bike_hooks.free_graphics) g_bike_hooks.free_graphics(b);
    destroy_bike_bodies(b);
    delete b;
}

// The world tick: one fixed step of every racer, contact and race rule.
#include "race/session.h"

// Each step below is filled by the subsystem that owns it; the order is fixed here.
static void bring_remote_bikes_to_network_state() {}
static void make_contacts() {}
static void throw_roost() {}
static void step_physics_world() {}
static void step_bikes() {}
static void update_gates_and_standings() {}
static void animate_start_gates() {}
static void record_or_play_demo() {}
static void handle_time_trial() {}

void world_tick() {
    bring_remote_bikes_to_network_state();
    make_contacts();
    throw_roost();
    step_physics_world();
    step_bikes();
    update_gates_and_standings();
    animate_start_gates();
    g_session.tick++;
    record_or_play_demo();
    handle_time_trial();
}

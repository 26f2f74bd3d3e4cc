// Control values from bindings, and the setters they drive.
#include "shell/controls.h"
#include "bike/bike.h"
#include "platform/input.h"
#include "race/time_trial.h"
#include "shell/frame_timing.h"
#include "shell/settings.h"

ControlState g_controls;

struct ControlMap {
    int control; // index into the nine control values
    float weight; // +1 or -1
};
// By binding index: Throttle, Front Brake, Rear Brake, Left, Right, Clutch, Upshift,
// Downshift, Sit/Dab, Back up, Lean Forward, Lean Backward.
static const ControlMap g_control_map[RIDING_BINDINGS] = {
    {CTRL_THROTTLE, 1}, {CTRL_FRONT_BRAKE, 1}, {CTRL_REAR_BRAKE, 1}, {CTRL_STEER, 1},
    {CTRL_STEER, -1},   {CTRL_CLUTCH, 1},      {CTRL_SHIFT, 1},      {CTRL_SHIFT, -1},
    {CTRL_SIT, 1},      {CTRL_BACK_UP, 1},     {CTRL_LEAN, -1},      {CTRL_LEAN, 1},
};

void attach_bindings() {
    for (Binding &b : g_settings.bindings) {
        b.key_code = 0;
        if (b.key_name) {
            uint32_t code;
            if (input_code_for_name(b.key_name, &code)) b.key_code = code;
        } else if (b.axis_name && !b.axis) {
            b.axis = input_open_axis(b.axis_name);
        }
    }
}

void release_bindings() {
    for (Binding &b : g_settings.bindings) {
        if (b.axis) input_close_axis(b.axis);
        b.axis = nullptr;
    }
}

void controls_key_event(uint32_t code, int pressed) {
    for (int i = 0; i < RIDING_BINDINGS; i++) {
        const Binding &b = g_settings.bindings[i];
        if (b.key_code && b.key_code == code) g_controls.current[i] = pressed ? 1.0f : 0.0f;
    }
}

static float clampf(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }

void rebuild_controls() {
    for (float &v : g_controls.value) v = 0;
    for (int i = 0; i < RIDING_BINDINGS; i++) {
        const Binding &b = g_settings.bindings[i];
        if (b.axis) {
            float range = b.axis_max - b.axis_min;
            float raw = (float)input_read_axis(b.axis) / 32768.0f;
            g_controls.current[i] = range != 0 ? clampf((raw - b.axis_min) / range, 0, 1) : 0;
        }
        g_controls.value[g_control_map[i].control] += g_control_map[i].weight * g_controls.current[i];
    }
}

void apply_controls(Bike *bike) {
    const float *c = g_controls.value;
    if (c[CTRL_BACK_UP] > 0.5f && time_trial_active() && g_settings.time_trial_abort)
        restart_time_trial();
    set_steer(bike, g_settings.reverse_steering ? -c[CTRL_STEER] : c[CTRL_STEER]);
    set_front_brake(bike, c[CTRL_FRONT_BRAKE]);
    set_rear_brake(bike, c[CTRL_REAR_BRAKE]);
    set_throttle(bike, c[CTRL_THROTTLE]);
    if (g_settings.sticky_dab) {
        if (g_controls.previous_sit < 0.5f && c[CTRL_SIT] >= 0.5f)
            g_controls.sticky_sit = !g_controls.sticky_sit;
        set_sit(bike, g_controls.sticky_sit ? 1.0f : 0.0f);
    } else {
        set_sit(bike, c[CTRL_SIT]);
    }
    g_controls.previous_sit = c[CTRL_SIT];
    set_back_up(bike, c[CTRL_BACK_UP]);
    set_lean(bike, c[CTRL_LEAN]);
    // Letting the lever out takes a quarter second; pulling it in is immediate.
    float target = clampf(1 - c[CTRL_CLUTCH] * 8.0f / 7.0f, 0, 1);
    if (target > bike->clutch) {
        float rise = bike->clutch + (float)(4 * dt);
        set_clutch(bike, target < rise ? target : rise);
    } else {
        set_clutch(bike, target);
    }
    shift(bike, c[CTRL_SHIFT] > 0.5f ? 1 : c[CTRL_SHIFT] < -0.5f ? -1 : 0);
}

uint32_t bound_code(int binding) {
    if (binding < 0 || binding >= BINDING_COUNT) return 0;
    return g_settings.bindings[binding].key_code;
}

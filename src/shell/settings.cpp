// Built-in setting defaults, the Compatibility preset and the Video Mode table.
#include "shell/settings.h"
#include "platform/window.h"

#include <cstdio>
#include <cstring>

Settings g_settings;
VideoModeEntry g_video_modes[256];
int g_video_mode_count = 0;

struct BindingDefault {
    const char *key;   // settings-file key
    const char *label; // menu label
    const char *name;  // default key name
};
static const BindingDefault g_binding_defaults[BINDING_COUNT] = {
    {"throttle_key", "Throttle", "x"},
    {"front_brake_key", "Front Brake", "c"},
    {"rear_brake_key", "Rear Brake", "v"},
    {"left_key", "Left", "left"},
    {"right_key", "Right", "right"},
    {"clutch_key", "Clutch", "z"},
    {"upshift_key", "Upshift", "up"},
    {"downshift_key", "Downshift", "down"},
    {"dab_key", "Sit/Dab", "right ctrl"},
    {"back_up_key", "Back up", "b"},
    {"lean_forward_key", "Lean Forward", "n"},
    {"lean_backward_key", "Lean Backward", "m"},
    {"pause_key", "Pause", "pause"},
    {"step_key", "Step", "."},
    {"rewind_key", "Rewind", "\\"},
    {"skip_key", "Skip", "/"},
    {"prev_key", "Previous Bike", "["},
    {"next_key", "Next Bike", "]"},
    {"console_key", "Chat", "t"},
    {"screenshot_key", "Screenshot", "s"},
};

void settings_defaults() {
    g_settings = Settings();
    for (int i = 0; i < BINDING_COUNT; i++) {
        Binding &b = g_settings.bindings[i];
        b = Binding();
        b.key = g_binding_defaults[i].key;
        b.label = g_binding_defaults[i].label;
        b.key_name = g_binding_defaults[i].name;
        b.axis_min = 0;
        b.axis_max = 1;
    }
}

void apply_compatibility_preset() {
    g_settings.ground_detail = 70;
    g_settings.ground_texture_levels = 9;
    g_settings.ground_texture_dim = 1;
    g_settings.ground_mipmaps = 1;
    g_settings.render_texture = 0;
    g_settings.use_shader = 1;
    g_settings.lens_flare = 1;
    g_settings.model_detail = 50;
    g_settings.model_texture_detail = 9;
    g_settings.roost_density = 1000;
}

void build_video_mode_table() {
    g_video_mode_count = 0;
    auto add = [](const char *name, int w, int h) {
        if (g_video_mode_count >= 256) return;
        VideoModeEntry &e = g_video_modes[g_video_mode_count++];
        snprintf(e.name, sizeof e.name, "%s", name);
        e.width = w;
        e.height = h;
    };
    add("Default Fullscreen", 0, 0);
    add("Windowed", 0, 0);
    const DisplayMode *modes = window_modes();
    if (!modes || !modes[0].width) return;
    int depth = modes[0].bpp;
    for (const DisplayMode *m = modes; m->width; m++) {
        if (m->bpp != depth) continue;
        char name[32];
        snprintf(name, sizeof name, "%dx%d", m->width, m->height);
        add(name, m->width, m->height);
    }
}

// The settings the shell reads: window size, video mode, graphics, riding aids and
// the twenty control bindings with their defaults.
#pragma once
#include <cstdint>

struct AxisHandle;

struct Binding {
    const char *key;          // settings-file key, e.g. "throttle_key"
    const char *label;        // menu label
    const char *key_name;     // bound key name (interned), or 0
    uint32_t key_code;        // event code of key_name once attached, 0 when unresolved
    const char *axis_name;    // bound axis name (interned), or 0
    AxisHandle *axis;         // open handle once attached, or 0
    float axis_min, axis_max; // raw / 32768 range mapped onto 0..1
};

enum {
    BIND_THROTTLE, BIND_FRONT_BRAKE, BIND_REAR_BRAKE, BIND_LEFT, BIND_RIGHT, BIND_CLUTCH,
    BIND_UPSHIFT, BIND_DOWNSHIFT, BIND_DAB, BIND_BACK_UP, BIND_LEAN_FORWARD, BIND_LEAN_BACKWARD,
    BIND_PAUSE, BIND_STEP, BIND_REWIND, BIND_SKIP, BIND_PREV, BIND_NEXT, BIND_CHAT, BIND_SCREENSHOT,
    BINDING_COUNT,
    RIDING_BINDINGS = 12, // the first twelve drive the bike
};

// Video Mode choices: 0 "Default Fullscreen", 1 "Windowed", then one per display mode.
struct VideoModeEntry {
    char name[32]; // "Default Fullscreen", "Windowed" or "%dx%d"
    int width, height;
};

struct Settings {
    int xres = 640, yres = 480;
    int draw_fps = 0, draw_time = 0, draw_ping = 1, draw_render_stats = 0, spy = 0;
    int video_mode = 0;             // index into g_video_modes
    double minutes = 0, laps = 5;
    int record_demo = 0;            // "Record Demo" No/Yes
    int robot_skill = 0;            // Novice, Amateur, Expert
    int time_trial_abort = 1;       // "Backing Up Aborts Attempt"
    int reverse_steering = 1;       // "Reversed Steering"
    int sticky_dab = 0;             // "Sticky Sit/Dab"
    double stability = 100;
    double ground_detail = 70;      // Ground Geometric Detail
    double ground_texture_levels = 9;
    int ground_texture_dim = 1;     // index: 32x32 .. 1024x1024
    int ground_mipmaps = 1;
    int render_texture = 0;         // Software, Hardware/Copy, Hardware/Direct
    int use_shader = 1;
    int lens_flare = 1;
    double model_detail = 50;
    double model_texture_detail = 9;
    double roost_density = 1000;
    double volume = 10;
    Binding bindings[BINDING_COUNT];
};

extern Settings g_settings;
extern VideoModeEntry g_video_modes[256];
extern int g_video_mode_count;

// Fills the settings with their built-in defaults (bindings included).
void settings_defaults();
// Applies the Compatibility graphics preset to the ten graphics settings.
void apply_compatibility_preset();
// Builds the Video Mode table from the platform's display modes.
void build_video_mode_table();

// The main loop: frames, fixed ticks, input routing and gating.
#pragma once
#include "shell/frame_timing.h"
#include <csignal>
#include <cstdint>
#include <cstdio>

struct Binding;

struct GameState {
    int quit;           // the loop ends when set
    int paused;         // offline only
    int camera_mode;    // 0..5; 5 is the title view
    int editor_view;    // the track editor view is active
    int menu_id;        // -1 none; 16 is the chat line
    int menu_item;      // selected item of the open menu
    int menu_changed;   // the menu changed during this tick
    int pointer_held;   // the pointer's main button is down
    Binding *capture;   // binding waiting for a new key or axis, or none
    int screenshot_pending; // taken at the next drawn frame, before the swap
    int cursor_x, cursor_y; // cursor position at the last check
    FILE *audio_capture;    // --record-audio file, or none
    FILE *video_out;        // where --record-video frames go
    long long ticks_run;    // ticks run since start (statistics)
    long long frames_run;   // frames run since start
};

extern GameState g_game;
extern FrameClock g_frame_clock;
// Set by SIGTERM and SIGINT; the loop treats it as a quit request.
extern volatile sig_atomic_t g_signal_quit;

// Resolves the fixed menu key codes ("esc", ...) once bindings are attached.
void attach_menu_keys();
// Starts waiting for a new key or axis for a binding, watching the given axes
// (null-terminated names).
void start_binding_capture(Binding *binding, const char *const *axis_names);
// Runs the loop until quit. Returns when the quit flag is set or a swap fails.
void run_main_loop();
// One frame's worth of ticks (steps 5-6 of a frame): runs ticks while simulated time is
// below the target. now is the current time on the loop's clock.
void run_ticks(FrameClock *fc, double now);
// One tick, with the real time it stands for.
void run_tick(double tick_time, double now);
// The engine-sound volume for this frame: Volume x 0.1, silenced or lowered by menus.
float frame_volume_factor();
// Loop clock in use (the system clock unless a test or benchmark replaces it).
extern const LoopClock *g_loop_clock;
// Called after every tick when set (tests and benchmarks watch ticks through it).
extern void (*g_after_tick)();

// Measures the main loop's own cost per frame and per tick with the empty world tick.
#include "platform/clock.h"
#include "platform/input.h"
#include "race/session.h"
#include "shell/controls.h"
#include "shell/frame_timing.h"
#include "shell/main_loop.h"
#include "shell/settings.h"

#include <cstdio>

static double g_fake_now = 0;
static double fake_now() { return g_fake_now; }
static void fake_sleep(double t) {
    if (t > g_fake_now) g_fake_now = t;
}
static const LoopClock g_clock = {fake_now, fake_sleep};

// Runs frames of the given simulated length; returns (real µs per frame, per tick).
static void measure(const char *label, double frame_seconds, int frames, int key_events) {
    FrameClock fc;
    frame_clock_init(&fc, g_fake_now);
    FrameRules rules = {0, 0, 0};
    uint32_t throttle = 0;
    input_code_for_name("x", &throttle);
    long long ticks_before = g_game.ticks_run;
    uint64_t start = clock_us();
    for (int f = 0; f < frames; f++) {
        for (int k = 0; k < key_events; k++)
            input_add_event(throttle, k & 1 ? 0 : 1, g_fake_now + frame_seconds * (k + 1) / (key_events + 1));
        g_fake_now += frame_seconds;
        fc.target += measure_frame(&fc, &g_clock, &rules);
        run_ticks(&fc, g_fake_now);
    }
    double us = (double)(clock_us() - start);
    long long ticks = g_game.ticks_run - ticks_before;
    printf("%-34s %8d frames %9lld ticks  %8.3f us/frame  %8.3f us/tick\n", label, frames, ticks,
           us / frames, us / (double)ticks);
}

int main() {
    g_loop_clock = &g_clock;
    settings_defaults();
    input_define_fixed_aliases();
    attach_bindings();
    attach_menu_keys();
    g_game.menu_id = -1;
    clear_racer_slots();
    g_session.lineup[0] = 1;
    reset_session("bench", 0, 0, 5, 0);
    g_game.camera_mode = 0;
    measure("60 fps frames, no input", 1.0 / 60, 200000, 0);
    measure("60 fps frames, 4 key events/frame", 1.0 / 60, 200000, 4);
    measure("8 fps frames (16 ticks each)", 0.125, 50000, 0);
    measure("500 fps frames (under a tick)", 0.002, 200000, 0);
    return 0;
}

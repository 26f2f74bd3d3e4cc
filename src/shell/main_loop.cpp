// The main loop: one pass per displayed frame, fixed ticks fed with time-stamped input.
#include "shell/main_loop.h"
#include "audio/audio.h"
#include "editor/editor.h"
#include "net/client.h"
#include "platform/input.h"
#include "platform/log.h"
#include "platform/window.h"
#include "race/race_view.h"
#include "race/session.h"
#include "render/gl_api.h"
#include "shell/camera.h"
#include "shell/console.h"
#include "shell/controls.h"
#include "shell/game_options.h"
#include "shell/screenshot.h"
#include "shell/settings.h"
#include "ui/menu.h"

#include <cmath>
#include <cstdlib>
#include <vector>

GameState g_game = {0, 0, CAMERA_TITLE, 0, -1, 0, 0, 0, nullptr, 0, 0, 0, nullptr, nullptr, 0, 0};
FrameClock g_frame_clock;
volatile sig_atomic_t g_signal_quit = 0;
const LoopClock *g_loop_clock = &g_system_clock;
void (*g_after_tick)() = nullptr;

struct MenuKeys {
    uint32_t esc;         // "esc"
    uint32_t cursor_left; // "cursor-left": the pointer's main button
};
static MenuKeys g_menu_keys = {CODE_KEY + 1, CODE_MOUSE_LEFT};
static AxisHandle *g_cursor_axis[2];

void attach_menu_keys() {
    uint32_t code;
    if (input_code_for_name("esc", &code)) g_menu_keys.esc = code;
    if (input_code_for_name("cursor-left", &code)) g_menu_keys.cursor_left = code;
    for (int i = 0; i < 2; i++)
        if (!g_cursor_axis[i]) g_cursor_axis[i] = input_open_axis(i ? "cursor-y" : "cursor-x");
}

static int online() { return g_start.server_address != nullptr; }

static Bike *viewed_bike() {
    int v = g_session.viewed_racer;
    return v >= 0 && v < MAX_RACERS ? g_session.bike[v] : nullptr;
}

static int view_switch_allowed() {
    if (!viewing_local_rider()) return 1;
    return g_settings.spy || (g_net.connected && g_net.racing_slot == 160);
}

struct CaptureAxis {
    const char *name;   // axis name as the binding will store it
    AxisHandle *handle; // open handle while the capture runs
};
static std::vector<CaptureAxis> g_capture_axes;

void start_binding_capture(Binding *binding, const char *const *axis_names) {
    g_game.capture = binding;
    g_capture_axes.clear();
    if (g_start.debug_level) log_printf("Watching pots\n");
    for (const char *const *n = axis_names; n && *n; n++) {
        AxisHandle *h = input_open_axis(*n);
        if (g_start.debug_level) log_printf("\t%s %s\n", *n, h ? "Ok" : "Failed");
        if (!h) continue;
        if (std::abs(input_read_axis(h)) > 16384) {
            if (g_start.debug_level) log_printf("\t%s Ignored (not centered)\n", *n);
            input_close_axis(h);
            continue;
        }
        g_capture_axes.push_back(CaptureAxis{*n, h});
    }
}

static void end_capture() {
    for (CaptureAxis &a : g_capture_axes) input_close_axis(a.handle);
    g_capture_axes.clear();
    g_game.capture = nullptr;
    if (g_start.debug_level) log_printf("Done watching pots\n");
}

static void handle_capture_press(uint32_t code) {
    if (code == g_menu_keys.esc) {
        end_capture();
        return;
    }
    const char *name = input_name_for_code(code);
    if (!name) return; // keys without names cannot be stored; keep waiting
    g_game.capture->key_name = name;
    g_game.capture->key_code = code;
    g_game.capture->axis_name = nullptr;
    if (g_game.capture->axis) input_close_axis(g_game.capture->axis);
    g_game.capture->axis = nullptr;
    end_capture();
}

// The candidate axis moved furthest past half travel becomes the binding's axis.
static void watch_capture_axes() {
    const CaptureAxis *best = nullptr;
    float best_value = 0;
    for (const CaptureAxis &a : g_capture_axes) {
        float v = (float)input_read_axis(a.handle) / 32768.0f;
        if (!best || std::fabs(v) > std::fabs(best_value)) best = &a, best_value = v;
    }
    if (!best || std::fabs(best_value) <= 0.5f) return;
    Binding *b = g_game.capture;
    b->axis_name = best->name;
    b->key_name = nullptr;
    b->key_code = 0;
    if (b->axis) input_close_axis(b->axis);
    b->axis = input_open_axis(best->name);
    b->axis_min = best_value > 0 ? 0.0625f : -0.0625f;
    b->axis_max = best_value > 0 ? 0.9375f : -0.9375f;
    end_capture();
}

static void handle_riding_key(uint32_t code, int pressed) {
    if (pressed && code == bound_code(BIND_CHAT) && !g_game.editor_view) {
        g_game.menu_id = 16;
        return;
    }
    if (g_game.camera_mode == CAMERA_TITLE) return;
    if (g_game.editor_view && editor_key(code, pressed)) return;
    if (pressed && code == bound_code(BIND_PAUSE) && !online()) {
        g_game.paused = !g_game.paused;
    } else if (pressed && code == bound_code(BIND_STEP) && g_game.paused) {
        world_tick();
    } else if (code == 9) {
        cycle_camera_mode();
    } else if (pressed && code == bound_code(BIND_REWIND)) {
        demo_seek(-1);
    } else if (pressed && code == bound_code(BIND_SKIP)) {
        demo_seek(1);
    } else if (pressed && code == bound_code(BIND_PREV)) {
        if (view_switch_allowed()) view_adjacent_racer(-1);
    } else if (pressed && code == bound_code(BIND_NEXT)) {
        if (view_switch_allowed()) view_adjacent_racer(1);
    } else if (pressed && code == bound_code(BIND_SCREENSHOT)) {
        if (!g_game.editor_view) g_game.screenshot_pending = 1;
    }
}

static void handle_event(uint32_t code, int pressed, int menu_at_start) {
    if (g_game.menu_id != menu_at_start) g_game.menu_changed = 1;
    if (code == CODE_CLOSE) {
        // The window's close button quits like the menu does, so shutdown runs in full.
        g_game.quit = 1;
        return;
    }
    controls_key_event(code, pressed);
    if (code == g_menu_keys.cursor_left) g_game.pointer_held = pressed;
    if (g_game.capture && pressed) {
        handle_capture_press(code);
        return;
    }
    if (pressed && code == g_menu_keys.esc) {
        g_game.menu_id = g_game.menu_id == -1 ? 0 : -1;
        g_game.menu_item = 0;
    }
    if (g_game.menu_id != -1) {
        if (!pressed) return;
        menu_key(code);
        if (!g_session.track_loaded) g_game.camera_mode = CAMERA_TITLE;
        return;
    }
    handle_riding_key(code, pressed);
}

void run_tick(double tick_time, double now) {
    int menu_at_start = g_game.menu_id;
    g_game.menu_changed = 0;
    for (float &v : g_controls.value) v = 0;
    for (;;) {
        uint32_t code;
        int pressed;
        int got = tick_time < now ? input_next_event_until(&code, &pressed, tick_time)
                                  : input_next_event(&code, &pressed, nullptr);
        if (!got) break;
        handle_event(code, pressed, menu_at_start);
    }
    if (g_game.capture) watch_capture_axes();
    rebuild_controls();

    if (g_game.menu_id != -1 && viewing_local_rider() && !online()) return;
    if (g_game.editor_view) {
        editor_tick();
        if (!online()) return;
        g_game.paused = 0;
    } else if (g_game.menu_id == -1 && g_session.track_loaded) {
        if (viewing_local_rider()) apply_controls(viewed_bike());
        else if (g_game.camera_mode == 3) steer_orbit_camera();
        else if (g_game.camera_mode == 4) steer_free_camera();
    }
    if (online()) g_game.paused = 0;

    net_client_tick();
    if (!g_session.track_loaded) g_game.camera_mode = CAMERA_TITLE;
    if (!g_game.paused && g_game.camera_mode != CAMERA_TITLE &&
        (!online() || server_tick_estimate() >= 1)) {
        world_tick();
        if (g_game.audio_capture) {
            short block[690];
            size_t bytes = audio_capture_block(block, 690);
            if (bytes && fwrite(block, 1, bytes, g_game.audio_capture) != bytes) {
                log_printf("Audio capture write failed\n");
            }
        }
    }
    g_game.ticks_run++;
    if (g_after_tick) g_after_tick();
}

void run_ticks(FrameClock *fc, double now) {
    while (fc->simulated < fc->target) {
        fc->simulated += dt;
        run_tick(now - (fc->target - fc->simulated), now);
    }
}

static void draw_frame() {
    int width, height;
    if (!window_begin_frame(&width, &height)) return;
    set_projection(width, height);
    if (!window_fullscreen() && g_settings.video_mode == 1) {
        g_settings.xres = width;
        g_settings.yres = height;
    }
    draw_camera_view(width, height);
    if (g_start.show_hud) {
        if (g_game.camera_mode == 0) draw_gauges();
        draw_timing_overlay();
    }
    if (g_start.record_video && !g_game.paused && g_session.track_loaded)
        write_video_frame(g_game.video_out ? g_game.video_out : stdout, width, height);
    if (g_game.paused && g_start.show_pause_text) draw_centered_text("Paused", 1, 30);
    if (viewing_local_rider() && g_net.connected && g_net.racing_slot == 160)
        draw_centered_text("Warmup mode - collisions disabled", 28, 30);
    draw_menus(width, height);
    if (g_game.screenshot_pending) {
        g_game.screenshot_pending = 0;
        take_screenshot(width, height);
    }
    if (g_start.gl_finish) gl_finish();
    if (!window_end_frame()) g_game.quit = 1;
}

static void read_cursor() {
    int x = input_read_axis(g_cursor_axis[0]), y = input_read_axis(g_cursor_axis[1]);
    int moved = x != g_game.cursor_x || y != g_game.cursor_y;
    g_game.cursor_x = x;
    g_game.cursor_y = y;
    if (!moved) return;
    if (g_game.menu_id != -1 && g_game.pointer_held) menu_key(16);
    else if (!g_game.pointer_held && !g_game.capture && g_game.menu_id != -1) menu_select_at(x, y);
}

float frame_volume_factor() {
    float v = (float)(g_settings.volume * 0.1);
    if (g_game.paused || g_game.editor_view) return 0;
    if (g_game.menu_id == -1) return v;
    return viewing_local_rider() ? 0 : v * 0.25f;
}

static void rotate_lineup_and_reset() {
    int last = g_session.lineup[MAX_RACERS - 1];
    for (int i = MAX_RACERS - 1; i > 0; i--) g_session.lineup[i] = g_session.lineup[i - 1];
    g_session.lineup[0] = last;
    reset_session(g_session.track_folder, g_settings.record_demo, (int)(g_settings.minutes * 60 / dt),
                  (int)g_settings.laps, g_settings.robot_skill);
}

static void log_frame_statistics(double seconds) {
    const unsigned *h = g_frame_clock.histogram;
    double fps = seconds > 0 ? (double)g_game.frames_run / seconds : 0;
    log_printf("Frame histogram: %u %u %u %u %u %u %u %u (%lld frames, %lld ticks in %.2f s, "
               "%.1f fps)\n",
               h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], g_game.frames_run, g_game.ticks_run,
               seconds, fps);
}

void run_main_loop() {
    double started = g_loop_clock->now();
    frame_clock_init(&g_frame_clock, started);
    while (!g_game.quit) {
        if (g_signal_quit) {
            g_game.quit = 1;
            break;
        }
        settle_camera_mode();
        draw_frame();
        if (g_game.quit) break;
        if (audio_is_open()) {
            engine_sounds_update(frame_volume_factor());
            audio_flush();
        }

        FrameRules rules = {online(), g_start.lock_fps, g_start.warp};
        double worth = measure_frame(&g_frame_clock, g_loop_clock, &rules);
        if (online()) {
            double lead = (server_tick_estimate() - g_session.tick - 1) * dt;
            worth = scale_online_worth(worth, lead, g_session.tick >= g_session.start_tick);
        }
        g_frame_clock.target += worth;
        g_frame_clock.wall += worth;
        read_cursor();
        run_ticks(&g_frame_clock, g_loop_clock->now());
        g_game.frames_run++;

        if (g_start.warp && g_session.track_loaded && g_session.finishing_lap > 0 &&
            g_session.leader_lap >= g_session.finishing_lap)
            rotate_lineup_and_reset();
        advance_message_timer(g_frame_clock.wall);
    }
    log_frame_statistics(g_loop_clock->now() - started);
}

// Start-up in its fixed order, the main loop, and shutdown in its fixed order.
#include "shell/startup.h"
#include "audio/audio.h"
#include "autopilot/racing_lines.h"
#include "bike/bike_hooks.h"
#include "bike/physics_world.h"
#include "data/ripemd160.h"
#include "data/vfile.h"
#include "data_digest.h"
#include "net/client.h"
#include "platform/clock.h"
#include "platform/fatal.h"
#include "platform/log.h"
#include "platform/window.h"
#include "race/demo.h"
#include "race/session.h"
#include "render/gl_api.h"
#include "shell/command_line.h"
#include "shell/config.h"
#include "shell/console.h"
#include "shell/controls.h"
#include "shell/game_options.h"
#include "shell/main_loop.h"
#include "shell/settings.h"
#include "shell/track_list.h"
#include "track/track_hooks.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

// The digest of our own executable, for the server's build check. Reading the whole
// executable is only worth it once a connection asks for it, not at every start.
const uint8_t *build_fingerprint() {
    static uint8_t digest[20];
    static int done = 0;
    if (done) return digest;
    done = 1;
    Ripemd160 ctx;
    ripemd160_init(&ctx);
    FILE *f = fopen("/proc/self/exe", "rb");
    if (f) {
        unsigned char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) ripemd160_update(&ctx, buf, n);
        fclose(f);
    }
    ripemd160_final(&ctx, digest);
    return digest;
}

static void on_quit_signal(int) {
    g_signal_quit = 1;
}

static void derive_render_tuning() {
    const Settings &s = g_settings;
    // A detail of 0 would make the terrain's error threshold infinite: 1 is the coarsest.
    g_tuning.detail = (float)(0.125 / std::max(s.ground_detail, 1.0));
    g_tuning.ground_texture_detail =
        (int)std::min(std::max(10 - s.ground_texture_levels, 0.0), 10.0);
    g_tuning.ground_texture_size = 32 << std::min(std::max(s.ground_texture_dim, 0), 5);
    double lod = std::min(std::max(100 - s.model_detail, 0.0), 100.0) * 0.02;
    if (lod > 1) lod = lod * lod * lod;
    g_tuning.lod_scale = (float)lod;
    g_tuning.lod_bias =
        (float)(50 - 50 * std::min(std::max((s.model_detail - 10) * 0.05, 0.0), 1.0));
    g_tuning.texture_detail =
        (int)(std::min(std::max(10 - s.model_texture_detail, 0.0), 10.0) + 0.5);
    g_tuning.roost_frequency = (int)(s.roost_density + 0.5);
}

static void shutdown_game() {
    if (g_net.connected) net_disconnect();
    net_reset_connection();
    store_racing_lines(g_start.learn);
    physics_contacts_destroy();
    log_printf("Deallocating bikes\n");
    free_racers();
    log_printf("Finished deallocating bikes\n");
    demo_close_all();
    release_track();
    physics_world_destroy();
    release_bindings();
    if (audio_is_open()) audio_close();
    if (g_game.audio_capture) fclose(g_game.audio_capture);
    g_game.audio_capture = nullptr;
    window_destroy();
    write_config();
}

static void post_console_line(const char *text) {
    post_message("%s", text);
}

static void close_audio_for_fatal() {
    if (audio_is_open()) audio_close();
}

int skarvex_main(int argc, char **argv) {
    install_fatal_handlers();
    g_fatal_hooks.close_audio = close_audio_for_fatal;
    g_fatal_hooks.close_window = window_destroy;

    if (!check_game_data(SK_DATA_DIGEST)) {
        error_box("Problem starting Skarvex", "Can't find game data\n");
        return 0;
    }

    clear_messages();
    settings_defaults();
    build_video_mode_table();
#if defined(__x86_64__) || defined(__i386__)
    g_start.mmx_present = __builtin_cpu_supports("mmx");
#endif
    if (!g_start.mmx_present) log_printf("This CPU does not have MMX!\n");
    apply_compatibility_preset();
    read_config();
    derive_render_tuning();

    CommandLineResult parsed = parse_command_line(argc, argv, stderr);
    if (parsed == CMDLINE_ERROR) return 1;
    if (parsed == CMDLINE_OPEN_HOME) {
        open_home_folder();
        return 0;
    }
    if (g_start.server_address) g_start.start_track = nullptr;
    g_bike_hooks.post = post_console_line;
    g_track_hooks.post = post_console_line;
    g_track_hooks.debug_level = g_start.debug_level;

    build_track_list(vfile_list_names(), read_track_desc, &g_tracks);
    if (g_tracks.paths.empty()) {
        fprintf(stderr, "No tracks found\n");
        return 1;
    }
    build_demo_list(vfile_list_names(), &g_demos);

    std::string start_track = g_start.start_track ? g_start.start_track : "rabbithill";
    int selected = find_track(g_tracks, start_track.c_str());

    signal(SIGTERM, on_quit_signal);
    signal(SIGINT, on_quit_signal);

    int flags = g_start.colour_depth;
    int width = g_settings.xres, height = g_settings.yres;
    if (g_settings.video_mode != 1) {
        flags |= WINDOW_FULLSCREEN;
        const VideoModeEntry &m =
            g_video_modes[std::min(g_settings.video_mode, g_video_mode_count - 1)];
        width = m.width;
        height = m.height;
    }
    if (!window_create_gl("Skarvex", width, height, flags, 0, 16, 0, 0)) {
        fprintf(stderr, "Can't create the window: %s", last_error_text());
        exit(1);
    }

    if (g_start.record_audio) {
        g_game.audio_capture = fopen(g_start.record_audio, "wb");
        if (!g_game.audio_capture) {
            fprintf(stderr, "Can't open '%s' for --record-audio\n", g_start.record_audio);
            window_destroy();
            return 1;
        }
        audio_open_capture(88320, (int)(0.0078125 * 88320));
    } else if (!g_start.no_sound) {
        audio_open_output();
    }

    int drawable = 0;
    for (int tries = 0; tries < 162 && !drawable; tries++) {
        int w, h;
        if (window_begin_frame(&w, &h)) {
            window_end_frame();
            drawable = 1;
        } else {
            timer_wait_until_seconds(timer_seconds() + 0.0625);
        }
    }

    if (drawable) {
        load_gl_extensions();
        set_fixed_gl_state(g_start.flat_shading);
        int w, h;
        int swapped = 0;
        if (window_begin_frame(&w, &h)) swapped = window_end_frame();
        if (swapped) {
            attach_bindings();
            attach_menu_keys();
        }
        physics_world_create();

        std::string demo_track;
        if (g_start.playback_file && demo_track_of(g_start.playback_file, &demo_track)) {
            start_track = demo_track;
            selected = find_track(g_tracks, start_track.c_str());
        }
        clear_racer_slots();
        if (!g_start.playback_file) g_session.lineup[0] = 2;
        if (selected >= 0) {
            g_session.playback = g_start.playback_file != nullptr;
            reset_session(g_tracks.paths[selected].c_str(), 0, 0, 1000, g_settings.robot_skill);
        }
        g_game.menu_id = g_start.server_address ? -1 : 0;
        run_main_loop();
    }
    shutdown_game();
    return 0;
}

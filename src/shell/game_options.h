// Process-wide values set at start-up from the settings and the command line.
#pragma once

struct StartOptions {
    int debug_level = 0;         // 1 --debug, 2 --super-debug: diagnostic log lines
    int practice = 0;            // robots all ride the "tester" personality
    int learn = 0;               // racing lines are written back only when set
    int mmx_present = 0;         // from the processor; --nommx clears it
    int no_sound = 0;            // --nosound: no audio device
    int flat_shading = 0;        // --fugly
    int no_vertex_arrays = 0;    // --novertexarrays
    int editor_enabled = 0;      // --editor
    int warp = 0;                // --warp: 100 ticks a frame, sessions rotate
    float lock_fps = 0;          // frame-rate cap, 0 = off
    int accurate_skip = 0;       // demo skip and rewind replay every tick
    double fake_lag = 0;         // seconds added to each datagram
    int fake_loss = 0;           // percent of datagrams dropped
    const char *record_audio = nullptr; // audio capture file, or none
    int record_video = 0;        // raw PPM frames on standard output
    int rotate_lineup = 0;       // read by the race menus
    int show_pause_text = 1;     // --hidden-pause clears
    int show_hud = 1;            // --hidden-hud clears
    int colour_depth = 16;       // --depth
    int draw_fps = -1, draw_time = -1, draw_ping = -1, draw_render_stats = -1; // -1: from settings
    const char *start_track = nullptr;     // --track folder name
    const char *server_address = nullptr;  // --connect, without "skarvex:"
    const char *server_password = nullptr; // --password
    float chase_center[3] = {0, 2.52f, 0.52f}; // chase and orbit camera centre
    int gl_finish = 0;           // glFinish before every swap
    int print_orientation = 0;   // the camera prints its orientation
    const char *playback_file = nullptr;   // the one file argument
    int open_home = 0;           // --open-home was given
    int width = -1, height = -1; // --width, --height: -1 keeps the setting
};

// Renderer tuning, derived from the settings and overridden by options.
struct RenderTuning {
    int texture_detail = 0;        // mip levels dropped from model textures
    int ground_texture_detail = 0; // mip levels dropped from ground textures
    int ground_texture_size = 64;  // texels of a ground texture
    int roost_frequency = 1000;
    float erode = 0;
    float detail = 0.02f;          // terrain error threshold; always positive
    float max_detail_distance = 70, max_detail_far = 75;
    float lod_bias = 0;
    float lod_scale = 1;
};

extern StartOptions g_start;
extern RenderTuning g_tuning;

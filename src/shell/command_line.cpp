// The command-line option table, its matcher and the option effects.
#include "shell/command_line.h"
#include "platform/log.h"
#include "shell/game_options.h"
#include "shell/settings.h"

#include <cmath>
#include <cstring>

StartOptions g_start;
RenderTuning g_tuning;

int match_option(ArgCursor *args, const char *name, const char **value) {
    if (args->remaining <= 0 || args->end_of_options) return 0;
    const char *arg = args->next[0];
    if (!value) {
        if (strcmp(arg, name) != 0) return 0;
        args->remaining--;
        args->next++;
        return 1;
    }
    if (strcmp(arg, "--") == 0) {
        args->end_of_options = 1;
        args->remaining--;
        args->next++;
        return 0;
    }
    size_t len = strlen(name);
    if (strcmp(arg, name) == 0) {
        // Given last, the option still matches, with no value.
        *value = args->remaining > 1 ? args->next[1] : nullptr;
        int take = args->remaining > 1 ? 2 : 1;
        args->remaining -= take;
        args->next += take;
        return 1;
    }
    if (strncmp(arg, name, len) == 0 && arg[len] == '=') {
        *value = arg + len + 1;
        args->remaining--;
        args->next++;
        return 1;
    }
    return 0;
}

template <typename T> static T clamp_to(T v, T lo, T hi) { return v < lo ? lo : v > hi ? hi : v; }

static int read_int(const char *v, int *out) { return v && sscanf(v, "%d", out) == 1; }
static int read_float(const char *v, float *out) {
    return v && sscanf(v, "%f", out) == 1 && std::isfinite(*out);
}

static CommandLineResult bad_arg(FILE *err, const char *option) {
    fprintf(err, "Bad arg for %s\n", option);
    return CMDLINE_ERROR;
}

CommandLineResult parse_command_line(int argc, char **argv, FILE *err) {
    ArgCursor args = {argc - 1, argv + 1, 0};
    StartOptions &o = g_start;
    RenderTuning &t = g_tuning;
    while (args.remaining > 0) {
        const char *v = nullptr;
        int i;
        float f;
        if (match_option(&args, "--fugly", nullptr)) {
            o.flat_shading = 1;
        } else if (match_option(&args, "--nosound", nullptr)) {
            o.no_sound = 1;
        } else if (match_option(&args, "--novertexarrays", nullptr)) {
            o.no_vertex_arrays = 1;
        } else if (match_option(&args, "--learn", nullptr)) {
            o.learn = 1;
        } else if (match_option(&args, "--nolearn", nullptr)) {
            o.learn = 0;
        } else if (match_option(&args, "--nommx", nullptr)) {
            if (o.mmx_present) log_printf("Ignoring MMX\n");
            o.mmx_present = 0;
        } else if (match_option(&args, "--debug", nullptr)) {
            o.debug_level = 1;
        } else if (match_option(&args, "--super-debug", nullptr)) {
            o.debug_level = 2;
        } else if (match_option(&args, "--practice", nullptr)) {
            o.practice = 1;
        } else if (match_option(&args, "--warp", nullptr)) {
            o.warp = 1;
        } else if (match_option(&args, "--texture-detail", &v)) {
            if (!read_int(v, &i)) return bad_arg(err, "--texture-detail");
            t.texture_detail = t.ground_texture_detail = clamp_to(i, 0, 4);
        } else if (match_option(&args, "--ground-texture-detail", &v)) {
            if (!read_int(v, &i)) return bad_arg(err, "--ground-texture-detail");
            t.ground_texture_detail = clamp_to(i, 0, 4);
        } else if (match_option(&args, "--roostfrequency", &v)) {
            if (!read_int(v, &i)) return bad_arg(err, "--roostfrequency");
            t.roost_frequency = clamp_to(i, 0, 1000);
        } else if (match_option(&args, "--erode", &v)) {
            if (!read_float(v, &f)) return bad_arg(err, "--erode");
            t.erode = clamp_to(f, 0.0f, 1.0f);
        } else if (match_option(&args, "--detail", &v)) {
            // The terrain divides by the detail: zero or less would make it infinite.
            if (!read_float(v, &f) || !(f > 0)) return bad_arg(err, "--detail");
            t.detail = f;
        } else if (match_option(&args, "--max-detail-distance", &v)) {
            if (!read_float(v, &f)) return bad_arg(err, "--max-detail-distance");
            t.max_detail_distance = f;
            t.max_detail_far = f + 5;
        } else if (match_option(&args, "--lod-scale", &v)) {
            if (!read_float(v, &f)) return bad_arg(err, "--lod-scale");
            t.lod_scale = clamp_to(f, 0.000001f, 1000000.0f);
        } else if (match_option(&args, "--lod-bias", &v)) {
            if (!read_float(v, &f)) return bad_arg(err, "--lod-bias");
            t.lod_bias = f;
        } else if (match_option(&args, "--lock-fps", &v)) {
            if (!read_float(v, &f)) return bad_arg(err, "--lock-fps");
            o.lock_fps = f;
        } else if (match_option(&args, "--fake-lag", &v)) {
            if (!read_float(v, &f)) return bad_arg(err, "--fake-lag");
            o.fake_lag = clamp_to(f * 0.001, 0.0, 1.0);
        } else if (match_option(&args, "--fake-loss", &v)) {
            if (!read_int(v, &i)) return bad_arg(err, "--fake-loss");
            o.fake_loss = clamp_to(i, 0, 100);
        } else if (match_option(&args, "--record-audio", &v)) {
            if (v) o.record_audio = v;
        } else if (match_option(&args, "--record-video", nullptr)) {
            o.record_video = 1;
        } else if (match_option(&args, "--rotate-lineup", &v)) {
            if (read_int(v, &i)) o.rotate_lineup = i;
        } else if (match_option(&args, "--editor", nullptr)) {
            o.editor_enabled = 1;
        } else if (match_option(&args, "--hidden-pause", nullptr)) {
            o.show_pause_text = 0;
        } else if (match_option(&args, "--hidden-hud", nullptr)) {
            o.show_hud = 0;
        } else if (match_option(&args, "--bikes", &v)) {
            fprintf(err, "--bikes doesn't do anything anymore\n");
        } else if (match_option(&args, "--width", &v)) {
            if (read_int(v, &i)) g_settings.xres = i;
        } else if (match_option(&args, "--height", &v)) {
            if (read_int(v, &i)) g_settings.yres = i;
        } else if (match_option(&args, "--depth", &v)) {
            // Only real colour depths: the value ends up in the window's pixel format.
            if (!read_int(v, &i) || (i != 15 && i != 16 && i != 24 && i != 32)) {
                fprintf(err, "Bad arg for --depth (use 15, 16, 24 or 32)\n");
                return CMDLINE_ERROR;
            }
            o.colour_depth = i;
        } else if (match_option(&args, "--draw-fps", &v)) {
            if (read_int(v, &i)) g_settings.draw_fps = i;
        } else if (match_option(&args, "--draw-time", &v)) {
            if (read_int(v, &i)) g_settings.draw_time = i;
        } else if (match_option(&args, "--draw-ping", &v)) {
            if (read_int(v, &i)) g_settings.draw_ping = i;
        } else if (match_option(&args, "--draw-render-stats", &v)) {
            if (read_int(v, &i)) g_settings.draw_render_stats = i;
        } else if (match_option(&args, "--accurate-skip", nullptr)) {
            o.accurate_skip = 1;
        } else if (match_option(&args, "--track", &v)) {
            if (v) o.start_track = v;
        } else if (match_option(&args, "--connect", &v)) {
            if (v) o.server_address = strncmp(v, "skarvex:", 8) == 0 ? v + 8 : v;
        } else if (match_option(&args, "--password", &v)) {
            if (v) o.server_password = v;
        } else if (match_option(&args, "--chase-center", &v)) {
            float c[3];
            if (!v || sscanf(v, "%f,%f,%f", &c[0], &c[1], &c[2]) != 3)
                return bad_arg(err, "--chase-center");
            memcpy(o.chase_center, c, sizeof c);
        } else if (match_option(&args, "--open-home", nullptr)) {
            o.open_home = 1;
            return CMDLINE_OPEN_HOME;
        } else if (match_option(&args, "--glfinish", nullptr)) {
            o.gl_finish = 1;
        } else if (match_option(&args, "--print-orientation", nullptr)) {
            o.print_orientation = 1;
        } else if (args.remaining > 0) {
            // "--" was consumed by a value option's check above when it came next.
            const char *arg = args.next[0];
            if (arg[0] == '-' && !args.end_of_options) {
                fprintf(err, "bad option '%s'\n", arg);
                return CMDLINE_ERROR;
            }
            if (o.playback_file) {
                fprintf(err, "Too many files!\n");
                return CMDLINE_ERROR;
            }
            o.playback_file = arg;
            args.remaining--;
            args.next++;
        }
    }
    return CMDLINE_OK;
}

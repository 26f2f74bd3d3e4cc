// Window service front end: backend choice, frame bracketing and full-screen mode choice.
#include "platform/window.h"
#include "platform/log.h"
#include "platform/window_backend.h"

#include <cstring>

static const WindowBackend *g_backend = nullptr;

static const WindowBackend *backend() {
    if (!g_backend) {
        // "[video:null]" runs without a display: tests and headless runs use it.
        g_backend = option_flag("video-null", 0) ? &g_null_window_backend : &g_sdl_window_backend;
    }
    return g_backend;
}

const DisplayMode *window_modes() { return backend()->modes(); }

int window_create_gl(const char *title, int width, int height, int flags, int alpha_bits,
                     int depth_bits, int stencil_bits, int accum_bits) {
    return backend()->create(title, width, height, flags, alpha_bits, depth_bits, stencil_bits,
                             accum_bits);
}

void window_switch_mode(int width, int height, int flags) {
    backend()->switch_mode(width, height, flags);
}
int window_begin_frame(int *width, int *height) { return backend()->begin_frame(width, height); }
int window_end_frame() { return backend()->end_frame(); }
void window_destroy() { backend()->destroy(); }
int window_has_gl() { return backend()->has_gl(); }
void *window_gl_proc(const char *name) { return backend()->gl_proc(name); }
int window_fullscreen() { return backend()->fullscreen(); }

const DisplayMode *choose_fullscreen_mode(const DisplayMode *modes, int w, int h) {
    if (w <= 0 || h <= 0 || !modes) return nullptr;
    const DisplayMode *best = nullptr;
    for (const DisplayMode *m = modes; m->width; m++) {
        if (m->width < w || m->height < h) continue;
        if (!best || m->width + m->height < best->width + best->height) best = m;
    }
    return best;
}

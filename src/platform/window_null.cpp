// The null window backend: no display and no GL; frames are drawable and draw nothing.
#include "platform/log.h"
#include "platform/window_backend.h"

static const DisplayMode g_null_modes[] = {{640, 480, 32}, {0, 0, 0}};
struct NullWindow {
    int open;          // window_create_gl succeeded and no destroy since
    int width, height; // the pretend client size
    int fullscreen;    // as requested
};
static NullWindow g_null;

static const DisplayMode *null_modes() { return g_null_modes; }

static int null_create(const char *, int w, int h, int flags, int, int, int, int) {
    log_printf("Creating window\n");
    g_null.open = 1;
    g_null.width = w > 0 ? w : 640;
    g_null.height = h > 0 ? h : 480;
    g_null.fullscreen = (flags & WINDOW_FULLSCREEN) != 0;
    return 1;
}

static void null_switch_mode(int w, int h, int flags) {
    if (w > 0 && h > 0) g_null.width = w, g_null.height = h;
    g_null.fullscreen = (flags & WINDOW_FULLSCREEN) != 0;
}

static int null_begin_frame(int *w, int *h) {
    if (!g_null.open) return 0;
    *w = g_null.width;
    *h = g_null.height;
    return 1;
}

static int null_end_frame() { return g_null.open; }

static void null_destroy() {
    if (!g_null.open) return;
    g_null.open = 0;
    log_printf("Window shutdown complete\n");
}

static int null_has_gl() { return 0; }
static void *null_gl_proc(const char *) { return nullptr; }
static int null_fullscreen() { return g_null.fullscreen; }

const WindowBackend g_null_window_backend = {
    "null",       null_modes,   null_create,  null_switch_mode, null_begin_frame, null_end_frame,
    null_destroy, null_has_gl, null_gl_proc, null_fullscreen,
};

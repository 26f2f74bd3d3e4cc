// The operations a window backend provides; window.cpp picks one at creation.
#pragma once
#include "platform/window.h"

struct WindowBackend {
    const char *name;                  // "sdl" or "null"
    const DisplayMode *(*modes)();
    int (*create)(const char *title, int w, int h, int flags, int alpha, int depth, int stencil,
                  int accum);
    void (*switch_mode)(int w, int h, int flags);
    int (*begin_frame)(int *w, int *h);
    int (*end_frame)();
    void (*destroy)();
    int (*has_gl)();
    void *(*gl_proc)(const char *name);
    int (*fullscreen)();
};

extern const WindowBackend g_sdl_window_backend;
extern const WindowBackend g_null_window_backend;

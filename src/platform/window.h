// The game window: display modes, the OpenGL context and frame bracketing.
#pragma once

struct DisplayMode {
    int width, height; // pixels
    int bpp;           // colour depth in bits
};

enum {
    WINDOW_FULLSCREEN = 0x200, // flag: full screen; the low byte of the flags is the colour depth
};

// The display modes, the desktop's first, ended by an all-zero entry.
const DisplayMode *window_modes();

// Creates the one window with an OpenGL context. The backend is SDL2 unless the
// option "video" is "null" (no window, no GL: frames are drawable but draw nothing).
// Returns 1 on success.
int window_create_gl(const char *title, int width, int height, int flags, int alpha_bits,
                     int depth_bits, int stencil_bits, int accum_bits);
// Switches between full screen and windowed at the given size (0 x 0: the desktop's).
void window_switch_mode(int width, int height, int flags);
// 1 with the size to draw at, when the window can be drawn; the window lock is then
// held until window_end_frame.
int window_begin_frame(int *width, int *height);
// Swaps the buffers and releases the window lock. 1 on success.
int window_end_frame();
void window_destroy();
// 1 when a real OpenGL context exists.
int window_has_gl();
// An OpenGL entry point by name, or 0.
void *window_gl_proc(const char *name);
// 1 when the window is full screen now.
int window_fullscreen();

// Picks the listed mode for a full-screen request of w x h: the smallest mode at
// least that big (least width + height excess, first on a tie), or 0 for the desktop's.
const DisplayMode *choose_fullscreen_mode(const DisplayMode *modes, int w, int h);

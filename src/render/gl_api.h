// OpenGL entry points, fetched by name once the context exists.
#pragma once
#include <GL/gl.h>

// Each entry point keeps the type of its prototype; none is called before gl_load.
struct GlApi {
    int loaded;                            // 1 once every core entry point was found
    decltype(&glClear) Clear;
    decltype(&glClearColor) ClearColor;
    decltype(&glEnable) Enable;
    decltype(&glDisable) Disable;
    decltype(&glCullFace) CullFace;
    decltype(&glPixelStorei) PixelStorei;
    decltype(&glShadeModel) ShadeModel;
    decltype(&glGetString) GetString;
    decltype(&glFinish) Finish;
    decltype(&glReadPixels) ReadPixels;
    decltype(&glViewport) Viewport;
    decltype(&glReadBuffer) ReadBuffer;
};

extern GlApi gl;

// Fetches the entry points and writes the four GL_* log lines. 1 on success; 0 (and
// every drawing call a no-op) when there is no GL context.
int load_gl_extensions();
// The fixed state set once at start-up.
void set_fixed_gl_state(int flat_shading);
// Reads the frame buffer as RGB rows, bottom row first. 1 on success.
int read_frame_rgb(int width, int height, unsigned char *rgb);
// Clears the frame for a new view.
void clear_frame(int width, int height);
void gl_finish();

// Fetching the OpenGL entry points and the fixed start-up state.
#include "render/gl_api.h"
#include "platform/log.h"
#include "platform/window.h"

GlApi gl;

template <typename T> static int fetch(T *slot, const char *name) {
    *slot = reinterpret_cast<T>(window_gl_proc(name));
    return *slot != nullptr;
}

int load_gl_extensions() {
    gl = GlApi();
    if (!window_has_gl()) return 0;
    int ok = 1;
    ok &= fetch(&gl.Clear, "glClear");
    ok &= fetch(&gl.ClearColor, "glClearColor");
    ok &= fetch(&gl.Enable, "glEnable");
    ok &= fetch(&gl.Disable, "glDisable");
    ok &= fetch(&gl.CullFace, "glCullFace");
    ok &= fetch(&gl.PixelStorei, "glPixelStorei");
    ok &= fetch(&gl.ShadeModel, "glShadeModel");
    ok &= fetch(&gl.GetString, "glGetString");
    ok &= fetch(&gl.Finish, "glFinish");
    ok &= fetch(&gl.ReadPixels, "glReadPixels");
    ok &= fetch(&gl.Viewport, "glViewport");
    ok &= fetch(&gl.ReadBuffer, "glReadBuffer");
    if (!ok) {
        log_printf("Missing OpenGL entry points\n");
        gl = GlApi();
        return 0;
    }
    gl.loaded = 1;
    auto str = [](GLenum e) {
        const GLubyte *s = gl.GetString(e);
        return s ? (const char *)s : "";
    };
    log_printf("GL_VENDOR: %s\n", str(GL_VENDOR));
    log_printf("GL_RENDERER: %s\n", str(GL_RENDERER));
    log_printf("GL_VERSION: %s\n", str(GL_VERSION));
    log_printf("GL_EXTENSIONS: %s\n", str(GL_EXTENSIONS));
    return 1;
}

void set_fixed_gl_state(int flat_shading) {
    if (!gl.loaded) return;
    gl.ClearColor(0.196078f, 0.6f, 0.8f, 0);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.Enable(GL_CULL_FACE);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (flat_shading) gl.ShadeModel(GL_FLAT);
}

int read_frame_rgb(int width, int height, unsigned char *rgb) {
    if (!gl.loaded || width <= 0 || height <= 0) return 0;
    gl.ReadBuffer(GL_BACK);
    gl.ReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return 1;
}

void clear_frame(int width, int height) {
    if (!gl.loaded) return;
    gl.Viewport(0, 0, width, height);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void gl_finish() {
    if (gl.loaded) gl.Finish();
}

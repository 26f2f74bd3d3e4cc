// The SDL2 window backend: window, OpenGL context, display modes and input messages.
#include "platform/clock.h"
#include "platform/fatal.h"
#include "platform/input.h"
#include "platform/log.h"
#include "platform/window_backend.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

struct SdlWindow {
    SDL_Window *window = nullptr;      // the one window, or none
    SDL_GLContext context = nullptr;   // its GL context
    int width = 0, height = 0;         // client size, updated on every resize
    int fullscreen = 0;                // full screen now
    int busy = 0;                      // frames are skipped while set (mode switches)
    int desktop_w = 0, desktop_h = 0;  // the desktop's mode
    std::mutex window_lock;            // held from begin-frame to end-frame
    std::vector<DisplayMode> modes;    // built once, ended by a zero entry
};

static SdlWindow g_sdl;

// SDL's scan codes are USB usage numbers; the game names keys by PC set-1 codes
// (bit 8 for the extended keys), because settings files store names mapped to them.
static int set1_from_sdl(SDL_Scancode s) {
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) {
        static const unsigned char letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                  36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                  31, 20, 22, 47, 17, 45, 21, 44};
        return letters[s - SDL_SCANCODE_A];
    }
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return 2 + (s - SDL_SCANCODE_1);
    if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F10) return 59 + (s - SDL_SCANCODE_F1);
    switch (s) {
    case SDL_SCANCODE_0: return 11;
    case SDL_SCANCODE_RETURN: return 28;
    case SDL_SCANCODE_ESCAPE: return 1;
    case SDL_SCANCODE_BACKSPACE: return 14;
    case SDL_SCANCODE_TAB: return 15;
    case SDL_SCANCODE_SPACE: return 57;
    case SDL_SCANCODE_MINUS: return 12;
    case SDL_SCANCODE_EQUALS: return 13;
    case SDL_SCANCODE_LEFTBRACKET: return 26;
    case SDL_SCANCODE_RIGHTBRACKET: return 27;
    case SDL_SCANCODE_BACKSLASH: return 43;
    case SDL_SCANCODE_NONUSHASH: return 43;
    case SDL_SCANCODE_SEMICOLON: return 39;
    case SDL_SCANCODE_APOSTROPHE: return 40;
    case SDL_SCANCODE_GRAVE: return 41;
    case SDL_SCANCODE_COMMA: return 51;
    case SDL_SCANCODE_PERIOD: return 52;
    case SDL_SCANCODE_SLASH: return 53;
    case SDL_SCANCODE_CAPSLOCK: return 58;
    case SDL_SCANCODE_F11: return 87;
    case SDL_SCANCODE_F12: return 88;
    case SDL_SCANCODE_PRINTSCREEN: return 0x137;
    case SDL_SCANCODE_SCROLLLOCK: return 70;
    case SDL_SCANCODE_PAUSE: return 69;
    case SDL_SCANCODE_INSERT: return 338;
    case SDL_SCANCODE_HOME: return 327;
    case SDL_SCANCODE_PAGEUP: return 329;
    case SDL_SCANCODE_DELETE: return 339;
    case SDL_SCANCODE_END: return 335;
    case SDL_SCANCODE_PAGEDOWN: return 337;
    case SDL_SCANCODE_RIGHT: return 333;
    case SDL_SCANCODE_LEFT: return 331;
    case SDL_SCANCODE_DOWN: return 336;
    case SDL_SCANCODE_UP: return 328;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 325;
    case SDL_SCANCODE_KP_DIVIDE: return 309;
    case SDL_SCANCODE_KP_MULTIPLY: return 55;
    case SDL_SCANCODE_KP_MINUS: return 74;
    case SDL_SCANCODE_KP_PLUS: return 78;
    case SDL_SCANCODE_KP_ENTER: return 284;
    case SDL_SCANCODE_KP_1: return 79;
    case SDL_SCANCODE_KP_2: return 80;
    case SDL_SCANCODE_KP_3: return 81;
    case SDL_SCANCODE_KP_4: return 75;
    case SDL_SCANCODE_KP_5: return 76;
    case SDL_SCANCODE_KP_6: return 77;
    case SDL_SCANCODE_KP_7: return 71;
    case SDL_SCANCODE_KP_8: return 72;
    case SDL_SCANCODE_KP_9: return 73;
    case SDL_SCANCODE_KP_0: return 82;
    case SDL_SCANCODE_KP_PERIOD: return 83;
    case SDL_SCANCODE_NONUSBACKSLASH: return 86;
    case SDL_SCANCODE_APPLICATION: return 0x15D;
    case SDL_SCANCODE_LCTRL: return 29;
    case SDL_SCANCODE_LSHIFT: return 42;
    case SDL_SCANCODE_LALT: return 56;
    case SDL_SCANCODE_LGUI: return 0x15B;
    case SDL_SCANCODE_RCTRL: return 285;
    case SDL_SCANCODE_RSHIFT: return 54;
    case SDL_SCANCODE_RALT: return 0x138;
    case SDL_SCANCODE_RGUI: return 0x15C;
    default: return -1;
    }
}

// SDL stamps events with its own 32-bit millisecond counter; turn that into a time on
// the platform clock by how long ago the event happened.
static double event_time(Uint32 stamp) {
    Uint32 now_ticks = SDL_GetTicks();
    double now = timer_seconds();
    Uint32 age = now_ticks - stamp; // unsigned: correct across the counter's wrap
    if (age > 60000) age = 0;       // a stamp from the future or far past: take it as now
    return now - age * 0.001;
}

static void sdl_pump() {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        switch (ev.type) {
        case SDL_QUIT: input_add_event(CODE_CLOSE, 1, event_time(ev.quit.timestamp)); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int pressed = ev.type == SDL_KEYDOWN;
            double t = event_time(ev.key.timestamp);
            int scan = set1_from_sdl(ev.key.keysym.scancode);
            if (scan >= 0) input_add_event(CODE_KEY + (uint32_t)scan, pressed, t);
            // Control characters arrive as typed characters too, as menus expect.
            if (pressed) {
                SDL_Keycode k = ev.key.keysym.sym;
                if (k == SDLK_TAB || k == SDLK_RETURN || k == SDLK_BACKSPACE || k == SDLK_ESCAPE ||
                    k == SDLK_KP_ENTER)
                    input_add_event(k == SDLK_KP_ENTER ? 13u : (uint32_t)k, 1, t);
            }
            break;
        }
        case SDL_TEXTINPUT: {
            // Latin-1 characters only: the event code range for characters is 0..255.
            const unsigned char *s = (const unsigned char *)ev.text.text;
            double t = event_time(ev.text.timestamp);
            while (*s) {
                unsigned c = *s++;
                if (c >= 0xC0 && c <= 0xC3 && (*s & 0xC0) == 0x80) c = ((c & 0x1F) << 6) | (*s++ & 0x3F);
                else if (c >= 0x80) { while ((*s & 0xC0) == 0x80) s++; continue; }
                input_add_event(c, 1, t);
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            uint32_t code = ev.button.button == SDL_BUTTON_LEFT     ? CODE_MOUSE_LEFT
                            : ev.button.button == SDL_BUTTON_MIDDLE ? CODE_MOUSE_MIDDLE
                            : ev.button.button == SDL_BUTTON_RIGHT  ? CODE_MOUSE_RIGHT
                                                                    : 0;
            if (code) input_add_event(code, ev.type == SDL_MOUSEBUTTONDOWN, event_time(ev.button.timestamp));
            break;
        }
        case SDL_MOUSEMOTION: input_set_cursor(ev.motion.x, ev.motion.y); break;
        case SDL_WINDOWEVENT:
            if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                std::lock_guard<std::mutex> guard(g_sdl.window_lock);
                g_sdl.width = ev.window.data1;
                g_sdl.height = ev.window.data2;
                log_printf("WM_SIZE message %dx%d\n", g_sdl.width, g_sdl.height);
            } else if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
                input_add_event(CODE_CLOSE, 1, event_time(ev.window.timestamp));
            }
            break;
        default: break;
        }
    }
}

static int accepted_depth(int bpp) {
    return bpp == 8 || bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32;
}

static int init_video() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return 1;
    // Without a display server SDL's probing only prints noise to standard error.
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY") && !getenv("SDL_VIDEODRIVER")) {
        log_error("No display (DISPLAY is not set)");
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        log_error(SDL_GetError());
        return 0;
    }
    return 1;
}

static const DisplayMode *sdl_modes() {
    if (!g_sdl.modes.empty()) return g_sdl.modes.data();
    if (init_video()) {
        SDL_DisplayMode desk;
        if (SDL_GetDesktopDisplayMode(0, &desk) == 0) {
            int bpp = (int)SDL_BITSPERPIXEL(desk.format);
            g_sdl.desktop_w = desk.w;
            g_sdl.desktop_h = desk.h;
            if (accepted_depth(bpp)) {
                log_printf("Registry mode is %dx%dx%d@%dhz\n", desk.w, desk.h, bpp, desk.refresh_rate);
                g_sdl.modes.push_back(DisplayMode{desk.w, desk.h, bpp});
            } else {
                log_printf("Registry mode is %dx%dx%d@%dhz (ignored)\n", desk.w, desk.h, bpp,
                           desk.refresh_rate);
            }
        }
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; i++) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
            int bpp = (int)SDL_BITSPERPIXEL(m.format);
            if (!accepted_depth(bpp)) {
                log_printf("Found mode %dx%dx%d@%dhz (ignored)\n", m.w, m.h, bpp, m.refresh_rate);
                continue;
            }
            int dup = 0;
            for (const DisplayMode &d : g_sdl.modes)
                if (d.width == m.w && d.height == m.h && d.bpp == bpp) dup = 1;
            if (dup) continue;
            log_printf("Found mode %dx%dx%d@%dhz\n", m.w, m.h, bpp, m.refresh_rate);
            g_sdl.modes.push_back(DisplayMode{m.w, m.h, bpp});
        }
    }
    g_sdl.modes.push_back(DisplayMode{0, 0, 0});
    return g_sdl.modes.data();
}

static void sdl_show_box(const char *title, const char *text) {
    fprintf(stderr, "%s: %s", title, text);
    if (!option_flag("msgbox", 1)) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, g_sdl.window);
}

static void enter_fullscreen(int w, int h) {
    const DisplayMode *m = choose_fullscreen_mode(sdl_modes(), w, h);
    if (!m || (m->width == g_sdl.desktop_w && m->height == g_sdl.desktop_h)) {
        // The desktop's own size needs no mode change.
        SDL_SetWindowFullscreen(g_sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_DisplayMode want = {};
        want.w = m->width;
        want.h = m->height;
        SDL_DisplayMode got;
        if (SDL_GetClosestDisplayMode(0, &want, &got)) SDL_SetWindowDisplayMode(g_sdl.window, &got);
        SDL_SetWindowFullscreen(g_sdl.window, SDL_WINDOW_FULLSCREEN);
    }
    g_sdl.fullscreen = 1;
    SDL_GL_GetDrawableSize(g_sdl.window, &g_sdl.width, &g_sdl.height);
}

static void sdl_destroy();

static int sdl_create(const char *title, int w, int h, int flags, int alpha, int depth, int stencil,
                      int accum) {
    sdl_modes();
    log_printf("Options:\n");
    log_printf("%10s [%s]\n", "threaded:", option_flag("threaded", 0) ? "on" : "off");
    if (!init_video()) return 0;
    int bpp = flags & 0xFF;
    int fullscreen = (flags & WINDOW_FULLSCREEN) != 0;
    int bits = bpp == 32 ? 24 : bpp;
    int r = 8, g = 8, b = 8;
    if (bits == 16) r = 5, g = 6, b = 5;
    if (bits == 15) r = g = b = 5;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, r);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, g);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, b);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum);
    if (w <= 0 || h <= 0) {
        w = g_sdl.desktop_w ? g_sdl.desktop_w : 640;
        h = g_sdl.desktop_h ? g_sdl.desktop_h : 480;
    }
    log_printf("Creating window\n");
    g_sdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, w, h,
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
    if (!g_sdl.window) {
        log_error("Can't create window!\n");
        log_printf("%s\n", SDL_GetError());
        return 0;
    }
    g_sdl.width = w;
    g_sdl.height = h;
    if (fullscreen) enter_fullscreen(w, h);
    g_fatal_hooks.show_box = sdl_show_box;
    g_input_pump = sdl_pump;
    input_define_fixed_aliases();
    log_printf("Choosing pixel format\n");
    log_printf("Setting pixel format %d\n", 1);
    log_printf("Creating OpenGL context\n");
    g_sdl.context = SDL_GL_CreateContext(g_sdl.window);
    if (!g_sdl.context) {
        log_error("Couldn't create OpenGL context\n");
        log_printf("%s\n", SDL_GetError());
        sdl_destroy();
        return 0;
    }
    SDL_GL_MakeCurrent(g_sdl.window, g_sdl.context);
    SDL_GL_SetSwapInterval(0); // the main loop paces frames itself
    SDL_GL_GetDrawableSize(g_sdl.window, &g_sdl.width, &g_sdl.height);
    SDL_StartTextInput();
    return 1;
}

static void sdl_switch_mode(int w, int h, int flags) {
    if (!g_sdl.window) return;
    std::lock_guard<std::mutex> guard(g_sdl.window_lock);
    g_sdl.busy = 1;
    if (flags & WINDOW_FULLSCREEN) {
        enter_fullscreen(w, h);
    } else {
        SDL_SetWindowFullscreen(g_sdl.window, 0);
        if (w <= 0 || h <= 0) w = g_sdl.desktop_w, h = g_sdl.desktop_h;
        if (w > 0 && h > 0) SDL_SetWindowSize(g_sdl.window, w, h);
        g_sdl.fullscreen = 0;
        SDL_GL_GetDrawableSize(g_sdl.window, &g_sdl.width, &g_sdl.height);
    }
    g_sdl.busy = 0;
}

static int sdl_begin_frame(int *w, int *h) {
    if (!g_sdl.context) return 0;
    Uint32 f = SDL_GetWindowFlags(g_sdl.window);
    if (f & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) return 0;
    g_sdl.window_lock.lock();
    if (g_sdl.busy || g_sdl.width <= 0 || g_sdl.height <= 0) {
        g_sdl.window_lock.unlock();
        return 0;
    }
    *w = g_sdl.width;
    *h = g_sdl.height;
    return 1;
}

static int sdl_end_frame() {
    SDL_GL_SwapWindow(g_sdl.window);
    g_sdl.window_lock.unlock();
    return 1;
}

static void sdl_destroy() {
    g_input_pump = nullptr;
    if (g_sdl.context) {
        log_printf("Deleting OpenGL context\n");
        SDL_GL_DeleteContext(g_sdl.context);
        g_sdl.context = nullptr;
    }
    if (g_sdl.window) {
        log_printf("Closing input devices\n");
        log_printf("Destroying window\n");
        SDL_DestroyWindow(g_sdl.window);
        g_sdl.window = nullptr;
        g_fatal_hooks.show_box = nullptr;
        log_printf("Window shutdown complete\n");
    }
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

static int sdl_has_gl() { return g_sdl.context != nullptr; }
static void *sdl_gl_proc(const char *name) {
    return g_sdl.context ? SDL_GL_GetProcAddress(name) : nullptr;
}
static int sdl_fullscreen() { return g_sdl.fullscreen; }

const WindowBackend g_sdl_window_backend = {
    "sdl",          sdl_modes,      sdl_create, sdl_switch_mode, sdl_begin_frame, sdl_end_frame,
    sdl_destroy,    sdl_has_gl,     sdl_gl_proc, sdl_fullscreen,
};

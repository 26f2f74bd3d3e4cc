// Camera modes; the views themselves arrive with the scene renderer.
#include "shell/camera.h"
#include "race/session.h"
#include "render/gl_api.h"
#include "shell/main_loop.h"

void settle_camera_mode() {
    if (!g_session.track_loaded) g_game.camera_mode = CAMERA_TITLE;
    else if (g_game.camera_mode == CAMERA_TITLE) g_game.camera_mode = 0;
}

void set_projection(int, int) {}

void draw_camera_view(int width, int height) { clear_frame(width, height); }

void cycle_camera_mode() {
    if (g_game.camera_mode == CAMERA_TITLE) return;
    g_game.camera_mode = (g_game.camera_mode + 1) % (CAMERA_MODES - 1);
}

void steer_orbit_camera() {}
void steer_free_camera() {}

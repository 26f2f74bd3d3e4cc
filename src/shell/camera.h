// View cameras: the camera modes and the projection.
#pragma once

enum { CAMERA_MODES = 6, CAMERA_TITLE = 5 };

// Settles the camera mode for this frame (the title view when no track is loaded).
void settle_camera_mode();
void set_projection(int width, int height);
// Draws the 3D view of the camera mode.
void draw_camera_view(int width, int height);
void cycle_camera_mode();
void steer_orbit_camera();
void steer_free_camera();

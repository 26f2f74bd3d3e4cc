// Screenshots ("@screenshot%03d.png") and raw PPM video frames on standard output.
#pragma once
#include <cstdio>

// The number for the next screenshot. The first call scans the names for
// "screenshot<N>..." and continues after the highest N (1 when there is none).
int next_screenshot_number(const char *const *names);
// Forgets the counter (a new run starts over).
void reset_screenshot_counter();
// Reads the frame buffer and saves the next screenshot. 1 on success.
int take_screenshot(int width, int height);
// Writes one raw frame: "P6\n%d %d\n255\n" and the rows from the top.
int write_video_frame(FILE *out, int width, int height);
// The same, from RGB rows as the frame buffer gives them (bottom row first).
int write_ppm_frame(FILE *out, const unsigned char *rgb_bottom_up, int width, int height);

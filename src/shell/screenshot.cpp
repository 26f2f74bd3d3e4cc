// Screenshot numbering and saving, and video capture frames.
#include "shell/screenshot.h"
#include "data/vfile.h"
#include "render/gl_api.h"
#include "render/image.h"
#include "shell/console.h"

#include <cstdio>
#include <vector>

static int g_screenshot_counter = 0; // 0 until the first screenshot of the run

void reset_screenshot_counter() { g_screenshot_counter = 0; }

int next_screenshot_number(const char *const *names) {
    if (g_screenshot_counter == 0) {
        unsigned highest = 0;
        int found = 0;
        for (const char *const *n = names; n && *n; n++) {
            unsigned v;
            if (sscanf(*n, "screenshot%u", &v) == 1) {
                if (!found || v > highest) highest = v;
                found = 1;
            }
        }
        int number = found ? (int)highest + 1 : 1;
        g_screenshot_counter = number + 1;
        return number;
    }
    return g_screenshot_counter++;
}

int take_screenshot(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    if (!read_frame_rgb(width, height, rgb.data())) return 0;
    // The frame buffer's first row is the bottom of the picture.
    std::vector<unsigned char> top_down(rgb.size());
    size_t row = (size_t)width * 3;
    for (int y = 0; y < height; y++)
        std::copy(rgb.begin() + (height - 1 - y) * row, rgb.begin() + (height - y) * row,
                  top_down.begin() + y * row);
    int number = next_screenshot_number(vfile_list_names());
    char path[64];
    snprintf(path, sizeof path, "@screenshot%03d.png", number);
    if (!write_png_rgb(path, top_down.data(), width, height)) {
        post_message("Can't save \"%s\"", path + 1);
        return 0;
    }
    post_message("Saved \"%s\"", path + 1);
    return 1;
}

int write_ppm_frame(FILE *out, const unsigned char *rgb, int width, int height) {
    fprintf(out, "P6\n%d %d\n255\n", width, height);
    size_t row = (size_t)width * 3;
    for (int y = height - 1; y >= 0; y--)
        if (fwrite(rgb + y * row, 1, row, out) != row) return 0;
    return 1;
}

int write_video_frame(FILE *out, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    std::vector<unsigned char> rgb;
    rgb.resize((size_t)width * height * 3);
    if (!read_frame_rgb(width, height, rgb.data())) return 0;
    return write_ppm_frame(out, rgb.data(), width, height);
}

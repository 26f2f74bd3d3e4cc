// The seams through which the bike code reaches the console and the renderer. Every hook
// may stay null: bikes then build headless, and console lines go to the log.
#pragma once
#include <cstddef>

struct Bike;

struct BikeHooks {
    // The console (post_message of the shell).
    void (*post)(const char *text);
    // Renderer: loads a new bike's models and textures (a null texture means the model's
    // default) and draws its plate texture, filling bike->graphics and bike->plate_texture.
    void (*load_graphics)(Bike *bike, const char *rider_texture, const char *bike_texture,
                          const char *wheel_texture, const char *helmet_texture);
    // Renderer: frees what load_graphics made.
    void (*free_graphics)(Bike *bike);
};

extern BikeHooks g_bike_hooks;

// One console line: through the post hook, else to the log.
void bike_post(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// The texture-variant rule for a model path and a chosen texture path. A texture whose
// file name holds two "-" names a variant (the text from the first "-" up to the second):
// *first becomes the model path with the variant before its extension and ".qm", and when
// the texture has a folder, *second becomes that file name inside the texture's folder.
// Returns the number of candidates written (0: load the model path itself). Candidates
// longer than n - 1 characters are cut.
int model_variant_paths(const char *model, const char *texture, char *first, char *second,
                        size_t n);

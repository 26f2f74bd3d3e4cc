// The seams through which the track loaders reach the console, the texture manager and
// the terrain renderer. Every hook may stay null: the loaders then read all data files
// without a window, keep texture names only and write their messages to the log.
#pragma once

struct Terrain;

struct TrackHooks {
    // The console (post_message of the shell); null sends console lines to the log only.
    void (*post)(const char *text);
    // 0 normally, 1 with "--debug", 2 with "--super-debug"; set by start-up.
    int debug_level;
    // Texture manager: a texture handle for a path, or 0.
    int (*texture_load)(const char *path);
    // Texture manager: a path's pixels (with their mip chain) for the software ground
    // texture method; 1 on success. The cache keeps the buffer.
    int (*image_load)(const char *path, unsigned char **pixels, int *width, int *height);
    // Texture manager: bytes of texture memory used in this generation (for the log).
    unsigned long (*texture_memory)();
    // Terrain renderer, at the steps of terrain_load: after the heights (level-of-detail
    // data), the ground texture method (returns the method in use and writes its console
    // line), after the tile map (low-detail textures), at the end (placeholder and block
    // textures, decals); and in terrain_release.
    void (*terrain_heights_loaded)(Terrain *t);
    int (*terrain_choose_method)(Terrain *t, int requested);
    void (*terrain_tiles_loaded)(Terrain *t);
    void (*terrain_finish_load)(Terrain *t);
    void (*terrain_released)(Terrain *t);
};

extern TrackHooks g_track_hooks;

// One console line of a loader: through the post hook, else to the log.
void track_post(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

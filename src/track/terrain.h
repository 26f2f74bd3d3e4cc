// The ground of a track: the height field with its checkerboard triangulation, the tile
// map, shading and shadows, the surface table, and the queries the simulation makes.
#pragma once
#include "track/tileinfo.h"
#include "track/vec3.h"

#include <cstdint>

struct TerrainRender; // the terrain renderer's own data, opaque here

// The light that shading is recomputed with after the ground changes; the lighting
// reader sets it (these are its defaults without a "lighting" file).
struct TerrainLight {
    float sun_dir[3] = {1, 1, 1};          // towards the sun
    float sun_colour[3] = {1, 1, 1};       // "sun_color"
    float ambient[3] = {0.5f, 0.5f, 0.5f}; // "ambient"
};

// One instance, owned by the loaded track from terrain_load to terrain_release. The
// arrays are read directly by the ground contact, the auto pilot, the objects and the
// renderers.
struct Terrain {
    int size_log2 = 0;                // n of the "terrain.hf" header, 7..11
    int tiles_per_side = 0;           // S = 2^n: the tile map is S x S
    int samples_per_side = 0;         // N = 2S + 1: the height grid is N x N
    float spacing = 0;                // distance between neighbouring samples
    float inv_spacing = 0;            // 1 / spacing, the factor of the tile lookup
    float tile_size = 0;              // 2 x spacing: a tile covers 2 x 2 cells
    float extent = 0;                 // 2S x spacing: the terrain covers [0, extent] in x and z
    float min_height = 0;             // height of sample value 0; widened by edits
    float max_height = 0;             // height of sample value 65535; widened by edits
    float *heights = nullptr;         // N x N; sample (i, j) at world (i a, j a) is [i + j N]
    unsigned char *tilemap = nullptr; // S x S; tile cell (u, v) is [u + v S]
    unsigned char *shading = nullptr; // N x N x 3 RGB at half brightness (128 = full)
    unsigned char *shadows = nullptr; // N x N; 0 unshadowed .. 255 fully shadowed
    Tile tiles[TILE_MAX];             // the surface table
    int tile_count = 0;               // entries of tiles in use, at least 1 once loaded
    int modified = 0;                 // 1 once a height changed after loading
    int write_protected = 0;          // 1: deformation leaves the heights alone (online sessions)
    int texture_method = 0;           // ground texture method 1..3 in use (the renderer's choice)
    int ground_texture_size = 128;    // ground texture side in texels (the renderer's)
    unsigned tick = 0;                // race tick, the seed of the shading dither; set by the race
    TerrainLight light;               // see TerrainLight
    uint8_t height_digest[20] = {};   // RIPEMD-160 of the samples as read
    TerrainRender *render = nullptr;  // owned by the terrain renderer
};

// Loads the track folder path ("@" + folder, or a real folder) with the requested ground
// texture method 1, 2 or 3. 1 on success; 0 after a console message, the terrain released.
int terrain_load(Terrain *t, const char *path, int method);
// Frees every array and renderer resource; the record is as new afterwards.
void terrain_release(Terrain *t);
// Sets the grid geometry that follows from n and the spacing a (sizes, tile size,
// extent and the spacing's reciprocal). Allocates nothing.
void terrain_set_grid(Terrain *t, int n, float a);

// Ground height at world (x, z); beyond the grid the border samples extend outward.
float terrain_height(const Terrain *t, float x, float z);
// Upward normal of the triangle terrain_height interpolates at (x, z), not normalised:
// its y component is spacing squared.
Vec3 terrain_normal(const Terrain *t, float x, float z);
// Tile index at world (x, z), clamped to the map.
unsigned char terrain_tile_at(const Terrain *t, float x, float z);
// The tile record at world (x, z).
const Tile *terrain_surface_at(const Terrain *t, float x, float z);
// Lit colour of sample (i, j) at half brightness, from the heights, shadows and light.
void terrain_sample_colour(const Terrain *t, int i, int j, unsigned char rgb[3]);
// Raises (amount > 0) or lowers the ground in a smooth bump of radius two cells around
// (x, z) and darkens the shading there (roost erosion).
void terrain_deform(Terrain *t, float x, float z, float amount);

// The editor's writers, each through the data-file layer. terrain_save writes all of them
// into folder ("@" + track folder for the home copy): "terrain.hf" (text header only),
// "terrain.png" (16-bit grey), "shadingx2.ppm", "shading.ppm" and "tilemap". 1 on success.
int terrain_save(const Terrain *t, const char *folder);
int terrain_write_hf(const Terrain *t, const char *path, float *lo, float *hi);
int terrain_write_height_png(const Terrain *t, const char *path, float lo, float hi);
int terrain_write_shading(const Terrain *t, const char *path, int doubled);
int terrain_write_tilemap(const Terrain *t, const char *path);

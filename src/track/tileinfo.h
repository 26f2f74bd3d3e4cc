// The surface table: one Tile per tile-map index, read from "tileinfo" or "texturelist",
// and the friction and rolling-resistance curve lookups of the ground contact.
#pragma once
#include <cstdint>
#include <string>

struct Terrain;
struct VFile;

enum {
    TILE_MAX = 256,        // entries of the surface table
    TILE_CURVE_POINTS = 8, // points of a friction or rolling-resistance curve
    TILE_ROOST_TYPES = 4,  // roost records per tile
};

struct FrictionPoint {
    float coefficient; // friction coefficient at this speed
    float speed;       // ft/s; 0 ends the curve
};

struct RollPoint {
    float first;  // rolling resistance with the tire barely touching
    float second; // rolling resistance at full tire compression
    float speed;  // ft/s; 0 ends the curve
};

// One kind of material thrown up by a wheel; read by the roost particles.
struct RoostType {
    int32_t kind;         // 0 unused, 1 roost, 2 splash
    int32_t texture;      // particle texture handle (0 until the texture manager loads it)
    float count;          // particles
    float dig;            // how much ground a particle takes
    float slip_threshold; // slip speed (ft/s) at which roost starts
    float slow_angle;     // throw angle (radians) at slow_speed
    float fast_angle;     // throw angle (radians) at fast_speed
    float slow_speed;     // ft/s
    float fast_speed;     // ft/s
    float size;           // particle start size (ft)
    float grow;           // size growth
    float drag;           // air drag
    float vscale;         // scale of the thrown speed
    float randomize;      // random spread of the thrown velocity
    uint8_t r, g, b, a;   // start colour
    int8_t fade_r, fade_g, fade_b, fade_a; // colour change per simulation step
    std::string texture_name;              // the particle texture's path, for the texture manager
};

struct Tile {
    int texture;           // ground texture handle (hardware methods), 0 until loaded
    unsigned char *pixels; // ground texture pixels (software method), owned by the image cache
    int width, height;     // size of pixels
    FrictionPoint friction[TILE_CURVE_POINTS]; // ascending speed
    RollPoint roll_resist[TILE_CURVE_POINTS];  // ascending speed
    RoostType roost[TILE_ROOST_TYPES];
    std::string name;   // the texture path as the file gave it
    int32_t transition; // editor's transition code: tile A << 16 | tile B << 8 | corner mask
};

// A tile with every default: friction 1 at 1 ft/s, rolling resistance (5, 15) at 1 ft/s,
// no roost, no texture.
void tile_reset(Tile *tile);
// A roost record with every default (kind 0, texture "@roost.png").
void roost_reset(RoostType *roost);

// Parse an open "tileinfo" / "texturelist" into the terrain's surface table. The formats
// have no fatal errors: bad lines warn on the console and reading goes on.
void tileinfo_read(Terrain *t, VFile *vf);
void texturelist_read(Terrain *t, VFile *vf);

// Derives every tile's transition code from the short names of the texture paths.
void tile_transition_codes(Terrain *t);

// Friction coefficient at speed s: interpolated in squared speed between the points
// around s, constant beyond the ends.
float tile_friction(const Tile *tile, float speed);
// Rolling resistance (first, second) at speed s: interpolated linearly in speed.
void tile_roll_resist(const Tile *tile, float speed, float *first, float *second);

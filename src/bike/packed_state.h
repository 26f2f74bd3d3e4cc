// The compact bike pose that demos and the network carry: 39 bytes, or 26 in version 4.
#pragma once
#include <cstdint>

struct Bike;
struct Terrain;

enum {
    PACKED_STATE_VERSION = 5,  // the layout pack_bike_state writes
    PACKED_STATE_SIZE = 39,    // bytes of version 5
    PACKED_STATE_V4_SIZE = 26, // bytes of the older version 4, still read
};

struct PackedBikeState {
    uint8_t bytes[PACKED_STATE_SIZE];
};

// 26 for version 4, 39 for version 5, 0 for any other version.
int packed_state_size(int version);
// Writes the current layout. Positions are packed into the terrain's box, which a null
// terrain (or one without extent) reduces to a point. 0 for a bike without bodies.
int pack_bike_state(const Bike *bike, const Terrain *terrain, PackedBikeState *out);
// Poses the bike from a record of the given version. With ticks > 0 (ticks since this
// bike's previous record) the bodies get the velocities that carried them from the last
// stored pose; otherwise they are still. 0 for an unknown version or a bike without bodies.
int unpack_bike_state(Bike *bike, const Terrain *terrain, const uint8_t *bytes, int version,
                      int ticks);

// The game's one random generator: MT19937 with its standard seeding.
#pragma once
#include <cstdint>
#include <random>

// Seeded by the session reset with the current tick; every random draw of the
// simulation comes from it.
extern std::mt19937 g_random;

void random_seed(uint32_t seed);
// The next 32-bit output.
inline uint32_t random_next() {
    return (uint32_t)g_random();
}

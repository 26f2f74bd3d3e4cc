// The shared MT19937 generator.
#include "data/random.h"

std::mt19937 g_random; // default-seeded (5489) until the first session reset

void random_seed(uint32_t seed) {
    g_random.seed(seed);
}

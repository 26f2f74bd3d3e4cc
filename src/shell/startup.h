// Start-up and shutdown of the game, in their fixed order.
#pragma once

#include <cstdint>

// The 20-byte digest of the running executable (computed on first use).
const uint8_t *build_fingerprint();

// The whole program: returns the exit status.
int skarvex_main(int argc, char **argv);

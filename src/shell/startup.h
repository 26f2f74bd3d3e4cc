// Start-up and shutdown of the game, in their fixed order.
#pragma once

// The whole program: returns the exit status.
int skarvex_main(int argc, char **argv);

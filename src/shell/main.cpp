// The game executable's entry point.
#include "shell/startup.h"

int main(int argc, char **argv) { return skarvex_main(argc, argv); }

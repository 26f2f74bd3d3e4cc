// Reading and writing "@config"; the settings table it serialises grows with the menus.
#include "shell/config.h"

void read_config() {}
void write_config() {}

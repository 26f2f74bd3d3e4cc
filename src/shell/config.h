// The "config" settings file: read at start-up, rewritten at shutdown.
#pragma once

void read_config();
void write_config();

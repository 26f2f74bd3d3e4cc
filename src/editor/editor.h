// The in-game track editor's key handling and per-tick update.
#pragma once
#include <cstdint>

// Sees a key event first in the editor view; returns 1 when it consumed it.
int editor_key(uint32_t code, int pressed);
void editor_tick();

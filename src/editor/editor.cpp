// The track editor; its tools arrive with the editor itself.
#include "editor/editor.h"

int editor_key(uint32_t, int) { return 0; }
void editor_tick() {}

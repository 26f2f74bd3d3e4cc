// The physics world's lifetime; bodies and stepping arrive with the bike model.
#include "bike/physics_world.h"

static int g_world_open = 0; // the world exists

int physics_world_create() {
    g_world_open = 1;
    return 1;
}

void physics_contacts_destroy() {}
void physics_world_destroy() { g_world_open = 0; }

// The physics world and its per-tick contact group, alive for the whole run.
#pragma once

// Creates the world with gravity (0, -32, 0) and the contact group. 1 on success.
int physics_world_create();
void physics_world_destroy();
// Destroys the contact group (shutdown, before the bikes go).
void physics_contacts_destroy();

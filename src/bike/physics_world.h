// The physics world and its per-tick contact group, alive for the whole run.
#pragma once
#include <ode/ode.h>

// The tick length (the game's dt): every world step and every hand-integrated bike state use it.
constexpr double kPhysicsStep = 0.0078125;

// The one world all bikes share. Created at start-up, destroyed at shutdown.
struct PhysicsWorld {
    dWorldID world = nullptr;         // gravity (0, -32, 0), ERP 0.2, CFM 1e-10
    dJointGroupID contacts = nullptr; // this tick's contacts and motors; emptied after the step
    int tick = 0;          // the race tick counter, mirrored here by the world tick each tick
    int message_count = 0; // messages ODE has reported since start-up (all go to the log)
};

extern PhysicsWorld g_physics;

// Creates the world with gravity (0, -32, 0) and the contact group, and routes ODE's
// messages to the log. 1 on success (also when it already exists).
int physics_world_create();
void physics_world_destroy();
// Destroys the contact group (shutdown, before the bikes go).
void physics_contacts_destroy();
// One world step of kPhysicsStep with the accurate stepper, then the contact group is emptied.
void physics_world_step();

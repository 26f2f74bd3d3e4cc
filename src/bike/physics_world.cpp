// The physics world's lifetime, its step, and ODE's messages routed into the log.
#include "bike/physics_world.h"
#include "platform/log.h"

#include <cstdarg>
#include <cstdio>

PhysicsWorld g_physics;

static void log_ode_message(const char *kind, int num, const char *msg, va_list ap) {
    char text[1024];
    vsnprintf(text, sizeof text, msg, ap);
    g_physics.message_count++;
    log_printf("ODE %s %d: %s\n", kind, num, text);
}

static void ode_error(int num, const char *msg, va_list ap) {
    log_ode_message("error", num, msg, ap);
}
static void ode_debug(int num, const char *msg, va_list ap) {
    log_ode_message("debug", num, msg, ap);
}
static void ode_message(int num, const char *msg, va_list ap) {
    log_ode_message("message", num, msg, ap);
}

int physics_world_create() {
    if (g_physics.world) return 1;
    dSetErrorHandler(ode_error);
    dSetDebugHandler(ode_debug);
    dSetMessageHandler(ode_message);
    if (!dInitODE2(0)) {
        log_printf("Can't initialise the physics library\n");
        return 0;
    }
    g_physics.world = dWorldCreate();
    // The library's defaults, stated so that no build of it can change them under us.
    dWorldSetERP(g_physics.world, 0.2);
    dWorldSetCFM(g_physics.world, 1e-10);
    dWorldSetGravity(g_physics.world, 0, -32, 0);
    dWorldSetAutoDisableFlag(g_physics.world, 0);
    g_physics.contacts = dJointGroupCreate(0);
    g_physics.tick = 0;
    return 1;
}

void physics_contacts_destroy() {
    if (!g_physics.contacts) return;
    dJointGroupDestroy(g_physics.contacts);
    g_physics.contacts = nullptr;
}

void physics_world_destroy() {
    if (!g_physics.world) return;
    physics_contacts_destroy();
    dWorldDestroy(g_physics.world);
    g_physics.world = nullptr;
    dCloseODE();
}

void physics_world_step() {
    if (!g_physics.world) return;
    dWorldStep(g_physics.world, kPhysicsStep);
    if (g_physics.contacts) dJointGroupEmpty(g_physics.contacts);
}

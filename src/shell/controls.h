// The riding controls: bound keys and axes summed into nine control values, and
// their application to the local rider's bike.
#pragma once
#include <cstdint>

struct Bike;

enum {
    CTRL_STEER, CTRL_THROTTLE, CTRL_FRONT_BRAKE, CTRL_REAR_BRAKE, CTRL_SHIFT, CTRL_CLUTCH,
    CTRL_SIT, CTRL_BACK_UP, CTRL_LEAN, CONTROL_COUNT
};

struct ControlState {
    float value[CONTROL_COUNT]; // this tick's control values
    float current[12];          // each riding binding's current value (keys: 1 held, 0 not)
    int sticky_sit;             // the toggled sit flag with Sticky Sit/Dab
    float previous_sit;         // control 6 at the previous application, for the toggle
};

extern ControlState g_controls;

// Looks up key codes and opens axes for every binding. Names that match nothing
// leave the binding unbound.
void attach_bindings();
void release_bindings();
// A key event: every riding binding on that code takes 1 (pressed) or 0.
void controls_key_event(uint32_t code, int pressed);
// Re-reads axis bindings and sums the nine control values.
void rebuild_controls();
// Applies the control values to the bike through its setters, in their fixed order.
void apply_controls(Bike *bike);
// The event code bound to a global key (Pause, Step, ...), 0 when unbound.
uint32_t bound_code(int binding);

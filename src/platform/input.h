// Input events, key and axis names, aliases and axis handles of the platform layer.
#pragma once
#include <cstdint>

// Event codes.
enum {
    CODE_KEY = 0x1000,          // + scan code (bit 8 is the extended-key flag)
    CODE_MOUSE_LEFT = 0x2000,
    CODE_MOUSE_MIDDLE = 0x2001,
    CODE_MOUSE_RIGHT = 0x2002,
    CODE_CLOSE = 0xDEAD,        // the window's close request
};

struct InputEvent {
    uint32_t code;      // event code above, a character 0..255, or device id + button
    int pressed;        // 1 press, 0 release
    double time;        // seconds on the platform clock when it happened
};

enum { INPUT_QUEUE_SIZE = 256 };

// Adds an event, keeping the queue ordered by time. A full queue drops it.
void input_add_event(uint32_t code, int pressed, double time);
void input_add_event_now(uint32_t code, int pressed);
// Pumps the window, then takes the oldest event. 0 when there is none.
int input_next_event(uint32_t *code, int *pressed, double *time);
// As above, but only an event stamped no later than t.
int input_next_event_until(uint32_t *code, int *pressed, double t);
// Number of queued events; empties the queue.
int input_queue_count();
void input_clear_queue();

// The window backend's message pump, called before events are taken (may be null).
extern void (*g_input_pump)();

// Names.
int input_code_for_name(const char *name, uint32_t *code); // 1 when the name is known
const char *input_name_for_code(uint32_t code);            // interned name or 0
// Defines an alias; a second definition of the same alias is ignored (and logged).
void input_add_alias(const char *alias, const char *target);
void input_define_fixed_aliases();
void input_clear_aliases();

// The built-in key table: name and scan code, in its fixed order.
struct KeyName {
    const char *name;
    int scan;
};
extern const KeyName g_key_table[];
extern const int g_key_table_count;

// Axis handles over input devices. The cursor device is always present.
struct InputDevice;
struct AxisHandle {
    InputDevice *device; // the device the axis belongs to
    int axis;            // axis index on the device
};
AxisHandle *input_open_axis(const char *name);
int input_read_axis(AxisHandle *h);
void input_close_axis(AxisHandle *h);

// The cursor's position in client-area pixels, set by the window backend.
void input_set_cursor(int x, int y);

// The time-ordered input event queue, key names, aliases and the cursor device.
#include "platform/input.h"
#include "platform/clock.h"
#include "platform/log.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

void (*g_input_pump)() = nullptr;

struct EventQueue {
    InputEvent ring[INPUT_QUEUE_SIZE]; // events in time order from head
    int head = 0;                      // index of the oldest event
    int count = 0;                     // events waiting
    std::mutex lock;                   // the input lock: the window thread adds, the main thread takes
};

static EventQueue g_queue;

void input_add_event(uint32_t code, int pressed, double time) {
    std::lock_guard<std::mutex> guard(g_queue.lock);
    if (g_queue.count == INPUT_QUEUE_SIZE) return;
    // Insert from the back, moving later events up, so the ring stays in time order.
    int pos = g_queue.count;
    while (pos > 0) {
        const InputEvent &prev = g_queue.ring[(g_queue.head + pos - 1) % INPUT_QUEUE_SIZE];
        if (prev.time <= time) break;
        g_queue.ring[(g_queue.head + pos) % INPUT_QUEUE_SIZE] = prev;
        pos--;
    }
    g_queue.ring[(g_queue.head + pos) % INPUT_QUEUE_SIZE] = InputEvent{code, pressed, time};
    g_queue.count++;
}

void input_add_event_now(uint32_t code, int pressed) {
    input_add_event(code, pressed, timer_seconds());
}

static int take_event(uint32_t *code, int *pressed, double *time, int bounded, double t) {
    std::lock_guard<std::mutex> guard(g_queue.lock);
    if (g_queue.count == 0) return 0;
    const InputEvent &e = g_queue.ring[g_queue.head];
    if (bounded && e.time > t) return 0;
    *code = e.code;
    *pressed = e.pressed;
    if (time) *time = e.time;
    g_queue.head = (g_queue.head + 1) % INPUT_QUEUE_SIZE;
    g_queue.count--;
    return 1;
}

int input_next_event(uint32_t *code, int *pressed, double *time) {
    if (g_input_pump) g_input_pump();
    return take_event(code, pressed, time, 0, 0);
}

int input_next_event_until(uint32_t *code, int *pressed, double t) {
    if (g_input_pump) g_input_pump();
    return take_event(code, pressed, nullptr, 1, t);
}

int input_queue_count() {
    std::lock_guard<std::mutex> guard(g_queue.lock);
    return g_queue.count;
}

void input_clear_queue() {
    std::lock_guard<std::mutex> guard(g_queue.lock);
    g_queue.head = g_queue.count = 0;
}

// ---- names ----

struct Alias {
    std::string alias;  // the name written in bindings
    std::string target; // the name it stands for
};
static std::vector<Alias> g_aliases;

void input_add_alias(const char *alias, const char *target) {
    for (const Alias &a : g_aliases)
        if (a.alias == alias) {
            log_printf("Second alias for '%s' ('%s') ignored\n", alias, target);
            return;
        }
    g_aliases.push_back(Alias{alias, target});
}

void input_clear_aliases() { g_aliases.clear(); }

void input_define_fixed_aliases() {
    static const char *const pairs[][2] = {
        {"cursor-left", "Mouse Left"},   {"cursor-middle", "Mouse Middle"},
        {"cursor-right", "Mouse Right"}, {"cursor-x", "cursor.axis[0]"},
        {"cursor-y", "cursor.axis[1]"},
    };
    for (const auto &p : pairs) input_add_alias(p[0], p[1]);
}

static const char *resolve_alias(const char *name) {
    for (const Alias &a : g_aliases)
        if (a.alias == name) return a.target.c_str();
    return name;
}

struct FixedName {
    const char *name;
    uint32_t code;
};
static const FixedName g_fixed_names[] = {
    {"Close", CODE_CLOSE},
    {"Mouse Left", CODE_MOUSE_LEFT},
    {"Mouse Middle", CODE_MOUSE_MIDDLE},
    {"Mouse Right", CODE_MOUSE_RIGHT},
};

// Letter case ignored; white space and "_" both count as a space.
static int loose_equal(const char *a, const char *b) {
    for (;; a++, b++) {
        int ca = (unsigned char)*a, cb = (unsigned char)*b;
        if (ca == '_' || isspace(ca)) ca = ' ';
        if (cb == '_' || isspace(cb)) cb = ' ';
        if (tolower(ca) != tolower(cb)) return 0;
        if (!ca) return 1;
    }
}

static int find_name(const char *name, int loose, uint32_t *code) {
    auto eq = [&](const char *s) { return loose ? loose_equal(name, s) : strcmp(name, s) == 0; };
    for (const FixedName &f : g_fixed_names)
        if (eq(f.name)) {
            *code = f.code;
            return 1;
        }
    // The system's own key names would come here; on this platform the built-in
    // table is the only source.
    for (int i = 0; i < g_key_table_count; i++)
        if (eq(g_key_table[i].name)) {
            *code = CODE_KEY + (uint32_t)g_key_table[i].scan;
            return 1;
        }
    return 0;
}

int input_code_for_name(const char *name, uint32_t *code) {
    if (!name) return 0;
    name = resolve_alias(name);
    if (find_name(name, 0, code) || find_name(name, 1, code)) return 1;
    unsigned scan;
    char tail;
    if (sscanf(name, "0x%x%c", &scan, &tail) == 1 && scan <= 511) {
        *code = CODE_KEY + scan;
        return 1;
    }
    return 0;
}

static const char *intern_name(const std::string &s) {
    static std::set<std::string> pool;
    return pool.insert(s).first->c_str();
}

const char *input_name_for_code(uint32_t code) {
    for (const FixedName &f : g_fixed_names)
        if (f.code == code) return f.name;
    if (code >= CODE_KEY && code < CODE_KEY + 512) {
        int scan = (int)(code - CODE_KEY);
        for (int i = 0; i < g_key_table_count; i++)
            if (g_key_table[i].scan == scan) return g_key_table[i].name;
        char buf[16];
        snprintf(buf, sizeof buf, "0x%x", scan);
        return intern_name(buf);
    }
    return nullptr;
}

// ---- devices and axes ----

struct InputDevice {
    const char *name; // device name used in axis names
    int axis_count;   // axes the device offers
    int use_count;    // open axis handles
};

static InputDevice g_cursor_device = {"cursor", 2, 0};
static int g_cursor[2];

void input_set_cursor(int x, int y) {
    g_cursor[0] = x;
    g_cursor[1] = y;
}

AxisHandle *input_open_axis(const char *name) {
    if (!name) return nullptr;
    name = resolve_alias(name);
    char dev[64];
    int index;
    if (sscanf(name, "%63[^.].axis[%d]", dev, &index) != 2 &&
        sscanf(name, "%63s axis %d", dev, &index) != 2)
        return nullptr;
    if (strcmp(dev, g_cursor_device.name) != 0) return nullptr;
    if (index < 0 || index >= g_cursor_device.axis_count) return nullptr;
    g_cursor_device.use_count++;
    return new AxisHandle{&g_cursor_device, index};
}

int input_read_axis(AxisHandle *h) {
    if (!h) return 0;
    if (h->device == &g_cursor_device) return g_cursor[h->axis];
    return 0;
}

void input_close_axis(AxisHandle *h) {
    if (!h) return;
    h->device->use_count--;
    delete h;
}

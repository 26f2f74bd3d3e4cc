// Allocation failure handling and the error box front end.
#include "platform/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

FatalHooks g_fatal_hooks = {nullptr, nullptr, nullptr};

void error_box(const char *title, const char *fmt, ...) {
    char text[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    if (g_fatal_hooks.show_box)
        g_fatal_hooks.show_box(title, text);
    else
        fprintf(stderr, "%s: %s", title, text);
}

void fatal_out_of_memory() {
    static int entered = 0;
    if (!entered) {
        entered = 1;
        if (g_fatal_hooks.close_audio) g_fatal_hooks.close_audio();
        if (g_fatal_hooks.close_window) g_fatal_hooks.close_window();
        error_box("Error", "Out of virtual memory");
    }
    _Exit(1);
}

static void new_handler() { fatal_out_of_memory(); }

void install_fatal_handlers() { std::set_new_handler(new_handler); }

void *xmalloc(unsigned long n) {
    void *p = malloc(n ? n : 1);
    if (!p) fatal_out_of_memory();
    return p;
}

void *xrealloc(void *p, unsigned long n) {
    void *q = realloc(p, n ? n : 1);
    if (!q) fatal_out_of_memory();
    return q;
}

// The loaders' hooks and their console line.
#include "track/track_hooks.h"
#include "platform/log.h"

#include <cstdarg>
#include <cstdio>

TrackHooks g_track_hooks = {};

void track_post(const char *fmt, ...) {
    char text[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    if (g_track_hooks.post) {
        g_track_hooks.post(text);
        return;
    }
    size_t len = 0;
    while (text[len]) len++;
    // Console lines are written without a line feed of their own; the log wants one.
    log_printf(len && text[len - 1] == '\n' ? "%s" : "%s\n", text);
}

// The loaders' hooks and their console line.
#include "track/track_hooks.h"
#include "platform/log.h"

#include <cstdarg>
#include <cstdio>

TrackHooks g_track_hooks = {};

void track_post(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    post_line_v(g_track_hooks.post, fmt, ap);
    va_end(ap);
}

// The message log ring behind post_message.
#include "shell/console.h"
#include "platform/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

MessageLog g_messages;

void post_message(const char *fmt, ...) {
    char text[MESSAGE_CHARS + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    size_t n = strlen(text);
    while (n && text[n - 1] == '\n') text[--n] = 0;
    log_printf("%s\n", text);
    memcpy(g_messages.lines[g_messages.next], text, n + 1);
    g_messages.next = (g_messages.next + 1) % MESSAGE_LINES;
    if (g_messages.count < MESSAGE_LINES) g_messages.count++;
    g_messages.visible_until = g_messages.wall + 2.0;
}

void clear_messages() { memset(&g_messages, 0, sizeof g_messages); }

void advance_message_timer(double wall) { g_messages.wall = wall; }

const char *message_line(int i) {
    if (i < 0 || i >= g_messages.count) return nullptr;
    return g_messages.lines[(g_messages.next - 1 - i + MESSAGE_LINES) % MESSAGE_LINES];
}

// The program's one text log and the environment option switches (VELK_OPTIONS).
#pragma once
#include <cstdarg>

// Writes one stamped message to the log and flushes it. The first call opens the
// log: its name comes from VELK_LOGFILE, or from a first message of the form
// "VELK_LOGFILE=<name>". Without a name every message is dropped.
void log_printf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// One console line for code below the shell: formatted, then handed to post when it is
// set, else logged with a line feed added when the text has none.
void post_line_v(void (*post)(const char *text), const char *fmt, va_list ap);

// Logs "Error: <text>" and keeps the text as the last error.
void log_error(const char *text);
const char *last_error_text();

// Looks up "[name:value]" in VELK_OPTIONS.
int option_flag(const char *name, int def);
int option_int(const char *name, int def);

// Formats the log's time stamp "[h:mm:ss.cc] " for a clock reading in milliseconds.
// buf must hold at least 32 bytes.
void log_format_stamp(char *buf, unsigned long long ms);

// Closes the log and forgets its state, so the next message opens it afresh.
void log_close();
// Re-reads VELK_OPTIONS on the next option lookup.
void options_reload();

// The stamped log file and the VELK_OPTIONS switches.
#include "platform/log.h"
#include "platform/clock.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

struct LogState {
    FILE *file = nullptr; // the open log, or none
    int initialised = 0;  // set once the first message has decided where the log goes
    int atexit_done = 0;  // the exit-time close is registered once per process
};

static LogState g_log;
static std::string g_last_error = "Unknown";
static std::string g_options;
static int g_options_read = 0;

static void log_close_at_exit() {
    if (g_log.file) fclose(g_log.file);
    g_log.file = nullptr;
}

void log_close() {
    if (g_log.file) fclose(g_log.file);
    g_log.file = nullptr;
    g_log.initialised = 0;
}

void log_format_stamp(char *buf, unsigned long long ms) {
    unsigned long long cs = ms / 10;
    snprintf(buf, 32, "[%d:%02d:%02d.%02d] ", (int)(cs / 360000), (int)(cs / 6000 % 60),
             (int)(cs / 100 % 60), (int)(cs % 100));
}

static void log_write(const char *text) {
    if (!g_log.file) return;
    char stamp[32];
    log_format_stamp(stamp, clock_ms());
    // One formatted write per message keeps lines from other threads whole.
    fprintf(g_log.file, "%s%s", stamp, text);
    fflush(g_log.file);
}

static void log_open(const char *first) {
    g_log.initialised = 1;
    static const char prefix[] = "VELK_LOGFILE=";
    const char *env = getenv("VELK_LOGFILE");
    int first_names_it = strncmp(first, prefix, sizeof prefix - 1) == 0;
    std::string name;
    if (env && *env)
        name = env;
    else if (first_names_it)
        name = first + sizeof prefix - 1;
    if (!name.empty() && name.back() == '\n') name.pop_back();
    if (name.empty()) return;
    const char *mode = "w";
    const char *path = name.c_str();
    if (strncmp(path, ">>", 2) == 0) {
        mode = "a";
        path += 2;
    } else if (path[0] == '>') {
        path += 1;
    }
    g_log.file = fopen(path, mode);
    if (!g_log.file) return;
    if (!g_log.atexit_done) {
        atexit(log_close_at_exit);
        g_log.atexit_done = 1;
    }
    std::string line = "Logfile \"" + name + "\" opened\n";
    log_write(line.c_str());
    log_write("VELK 0.31\n");
    if (!first_names_it) log_write(first);
}

void log_printf(const char *fmt, ...) {
    char small[1024];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(small, sizeof small, fmt, ap);
    va_end(ap);
    std::string big;
    const char *text = small;
    if (n >= (int)sizeof small) {
        big.resize((size_t)n + 1);
        va_start(ap, fmt);
        vsnprintf(&big[0], big.size(), fmt, ap);
        va_end(ap);
        text = big.c_str();
    }
    if (n < 0) return;
    if (!g_log.initialised) {
        log_open(text);
        return;
    }
    log_write(text);
}

void post_line_v(void (*post)(const char *text), const char *fmt, va_list ap) {
    char text[1024];
    vsnprintf(text, sizeof text, fmt, ap);
    if (post) {
        post(text);
        return;
    }
    size_t len = strlen(text);
    log_printf(len && text[len - 1] == '\n' ? "%s" : "%s\n", text);
}

void log_error(const char *text) {
    g_last_error = text;
    log_printf("Error: %s\n", text);
}

const char *last_error_text() {
    return g_last_error.c_str();
}

void options_reload() {
    g_options_read = 0;
}

static const char *option_value(const char *name) {
    if (!g_options_read) {
        const char *env = getenv("VELK_OPTIONS");
        g_options = env ? env : "";
        g_options_read = 1;
    }
    char key[64];
    snprintf(key, sizeof key, "[%.60s:", name);
    size_t at = g_options.find(key);
    if (at == std::string::npos) return nullptr;
    return g_options.c_str() + at + strlen(key);
}

int option_flag(const char *name, int def) {
    const char *v = option_value(name);
    if (!v) return def;
    if (!strncmp(v, "yes]", 4) || !strncmp(v, "on]", 3)) return 1;
    if (!strncmp(v, "no]", 3) || !strncmp(v, "off]", 4)) return 0;
    log_printf("unrecognized setting for %s\n", name);
    return def;
}

int option_int(const char *name, int def) {
    const char *v = option_value(name);
    if (!v) return def;
    int value;
    if (sscanf(v, "%d", &value) != 1) {
        log_printf("unrecognized setting for %s\n", name);
        return def;
    }
    return value;
}

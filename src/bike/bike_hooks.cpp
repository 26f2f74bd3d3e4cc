// The bike code's console line and the model-variant naming rule the renderer loads by.
#include "bike/bike_hooks.h"
#include "platform/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

BikeHooks g_bike_hooks = {};

void bike_post(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    post_line_v(g_bike_hooks.post, fmt, ap);
    va_end(ap);
}

static void copy_out(const std::string &s, char *out, size_t n) {
    if (!out || n == 0) return;
    snprintf(out, n, "%s", s.c_str());
}

int model_variant_paths(const char *model, const char *texture, char *first, char *second,
                        size_t n) {
    if (!model || !texture) return 0;
    std::string tex = texture, m = model;
    size_t slash = tex.rfind('/');
    std::string tex_file = slash == std::string::npos ? tex : tex.substr(slash + 1);
    size_t dash1 = tex_file.find('-');
    size_t dash2 = dash1 == std::string::npos ? dash1 : tex_file.find('-', dash1 + 1);
    if (dash2 == std::string::npos) return 0;
    std::string variant = tex_file.substr(dash1, dash2 - dash1);

    size_t m_slash = m.rfind('/'), dot = m.rfind('.');
    std::string stem = dot != std::string::npos && (m_slash == std::string::npos || dot > m_slash)
                           ? m.substr(0, dot)
                           : m;
    std::string candidate = stem + variant + ".qm";
    copy_out(candidate, first, n);
    if (slash == std::string::npos) return 1;

    size_t c_slash = candidate.rfind('/');
    std::string file = c_slash != std::string::npos ? candidate.substr(c_slash + 1)
                       : candidate[0] == '@'        ? candidate.substr(1)
                                                    : candidate;
    copy_out(tex.substr(0, slash + 1) + file, second, n);
    return 2;
}

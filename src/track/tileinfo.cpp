// The surface table readers ("tileinfo", "texturelist"), transition codes and curve lookups.
#include "track/tileinfo.h"
#include "data/vfile.h"
#include "track/terrain.h"
#include "track/track_hooks.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

static const float MIN_CURVE_SPEED = 0.00000095367431640625f; // 2^-20: never ends a curve
static const float SIM_STEP = 1.0f / 128;                     // fade values are per step

void roost_reset(RoostType *r) {
    r->kind = 0;
    r->texture = 0;
    r->count = 10.0f;
    r->dig = 1.0f;
    r->slip_threshold = 4.0f;
    r->slow_angle = 1.5707964f;
    r->fast_angle = 0.19634955f;
    r->slow_speed = 0.0f;
    r->fast_speed = 64.0f;
    r->size = 0.25f;
    r->grow = 4.0f;
    r->drag = 0.5f;
    r->vscale = 1.0f;
    r->randomize = 15.0f;
    r->r = r->g = r->b = r->a = 255;
    r->fade_r = r->fade_g = r->fade_b = 0;
    r->fade_a = -2;
    r->texture_name = "@roost.png";
}

void tile_reset(Tile *tile) {
    tile->texture = 0;
    tile->pixels = nullptr;
    tile->width = tile->height = 0;
    for (int k = 0; k < TILE_CURVE_POINTS; k++) {
        tile->friction[k] = FrictionPoint{1.0f, k == 0 ? 1.0f : 0.0f};
        tile->roll_resist[k] = RollPoint{5.0f, 15.0f, k == 0 ? 1.0f : 0.0f};
    }
    for (RoostType &r : tile->roost) roost_reset(&r);
    tile->name.clear();
    tile->transition = 0;
}

// A decimal number as the formatted reader takes it: sign, digits with at most one ".",
// an optional exponent; at least one digit or a "." in the mantissa. Values beyond the
// float range saturate. Returns the character after the number, or 0 when there is none.
static const char *parse_decimal(const char *s, float *out) {
    const char *p = s;
    if (*p == '-' || *p == '+') p++;
    const char *mantissa = p;
    int dot = 0;
    while ((*p >= '0' && *p <= '9') || (*p == '.' && !dot)) {
        if (*p == '.') dot = 1;
        p++;
    }
    if (p == mantissa) return nullptr;
    const char *end = p; // the text strtod is given
    if (*p == 'e' || *p == 'E') {
        // An "e" without digits is taken and adds nothing to the exponent.
        const char *e = p + 1;
        if (*e == '-' || *e == '+') e++;
        if (*e >= '0' && *e <= '9') {
            while (*e >= '0' && *e <= '9') e++;
            end = e;
        }
        p = e;
    }
    // A mantissa of a lone "." is zero, which is also what strtod gives it.
    std::string text(s, end);
    double v = strtod(text.c_str(), nullptr);
    if (v > FLT_MAX) v = FLT_MAX;
    if (v < -FLT_MAX) v = -FLT_MAX;
    *out = (float)v;
    return p;
}

// Reads up to count numbers separated by white space; returns how many were read.
static int parse_numbers(const char *s, float *out, int count, const char **rest) {
    int got = 0;
    const char *p = s;
    while (got < count) {
        const char *q = p;
        while (*q == ' ' || *q == '\t' || *q == '\r' || *q == '\n' || *q == '\f' || *q == '\v') q++;
        const char *e = parse_decimal(q, &out[got]);
        if (!e) break;
        p = e;
        got++;
    }
    if (rest) *rest = p;
    return got;
}

// Low 8 bits of a number truncated toward zero (any finite value; the rest give 0).
static int low_byte(double v) {
    if (!std::isfinite(v)) return 0;
    double m = std::fmod(std::trunc(v), 256.0);
    if (m < 0) m += 256;
    return (int)m;
}

// Loads a tile's ground texture through the texture manager, as pixels for the software
// ground texture method, else as a texture handle.
static void tile_load_texture(const Terrain *t, Tile *tile) {
    if (t->texture_method == 1) {
        if (g_track_hooks.image_load)
            g_track_hooks.image_load(tile->name.c_str(), &tile->pixels, &tile->width,
                                     &tile->height);
    } else if (g_track_hooks.texture_load) {
        tile->texture = g_track_hooks.texture_load(tile->name.c_str());
    }
}

static int roost_texture(const std::string &path) {
    return g_track_hooks.texture_load ? g_track_hooks.texture_load(path.c_str()) : 0;
}

// Splits a "roost" argument into words at blanks; double quotes protect blanks and are dropped.
static std::vector<std::string> roost_words(const char *s) {
    std::vector<std::string> words;
    std::string word;
    int quoted = 0, any = 0;
    for (const char *p = s;; p++) {
        char c = *p;
        int blank = c == ' ' || c == '\f' || c == '\n' || c == '\r' || c == '\t' || c == '\b';
        if (c == '"') {
            quoted = !quoted;
            any = 1;
        } else if (c && (quoted || !blank)) {
            word += c;
            any = 1;
        } else {
            if (any && !word.empty()) words.push_back(word);
            word.clear();
            any = 0;
            if (!c) break;
        }
    }
    return words;
}

// The float fields of a roost record, in the order their keys are tried.
struct RoostFloatKey {
    const char *key;
    float RoostType::*field;
};

static const RoostFloatKey roost_float_keys[] = {
    {"count=", &RoostType::count},
    {"dig=", &RoostType::dig},
    {"slip_threshold=", &RoostType::slip_threshold},
    {"slow_angle=", &RoostType::slow_angle},
    {"fast_angle=", &RoostType::fast_angle},
    {"slow_speed=", &RoostType::slow_speed},
    {"fast_speed=", &RoostType::fast_speed},
    {"size=", &RoostType::size},
    {"grow=", &RoostType::grow},
    {"drag=", &RoostType::drag},
    {"vscale=", &RoostType::vscale},
    {"randomize=", &RoostType::randomize},
};

struct RoostByteKey {
    const char *key;
    uint8_t RoostType::*colour; // start colour, or
    int8_t RoostType::*fade;    // change per step (value given per second)
};

static const RoostByteKey roost_byte_keys[] = {
    {"r=", &RoostType::r, nullptr},           {"g=", &RoostType::g, nullptr},
    {"b=", &RoostType::b, nullptr},           {"a=", &RoostType::a, nullptr},
    {"fade_r=", nullptr, &RoostType::fade_r}, {"fade_g=", nullptr, &RoostType::fade_g},
    {"fade_b=", nullptr, &RoostType::fade_b}, {"fade_a=", nullptr, &RoostType::fade_a},
};

static int starts_with(const std::string &s, const char *prefix, const char **rest) {
    size_t n = strlen(prefix);
    if (s.compare(0, n, prefix) != 0) return 0;
    *rest = s.c_str() + n;
    return 1;
}

// Fills one roost record from the words of a "roost" line.
static void roost_parse(RoostType *r, const char *arg) {
    r->kind = 1;
    for (const std::string &word : roost_words(arg)) {
        const char *value;
        float v = 0;
        if (starts_with(word, "texture=", &value)) {
            r->texture_name = value;
            continue;
        }
        if (starts_with(word, "splash=", &value)) {
            if (parse_decimal(value, &v) && v != 0) r->kind = 2;
            continue;
        }
        int done = 0;
        for (const RoostFloatKey &k : roost_float_keys) {
            if (!starts_with(word, k.key, &value)) continue;
            if (!parse_decimal(value, &v)) {
                v = 0;
                track_post("tileinfo warning: bad %.*s\n", (int)strlen(k.key) - 1, k.key);
            }
            r->*k.field = v;
            done = 1;
            break;
        }
        for (const RoostByteKey &k : roost_byte_keys) {
            if (done || !starts_with(word, k.key, &value)) continue;
            if (!parse_decimal(value, &v)) {
                v = 0;
                track_post("tileinfo warning: bad %.*s\n", (int)strlen(k.key) - 1, k.key);
            }
            if (k.colour)
                r->*k.colour = (uint8_t)low_byte(v);
            else
                r->*k.fade = (int8_t)(uint8_t)low_byte((double)v * SIM_STEP);
            done = 1;
        }
        if (!done) track_post("tileinfo warning: unknown roost parameter '%.40s'\n", word.c_str());
    }
    r->texture = roost_texture(r->texture_name);
}

// Stores the tile being built as the next table entry, its given points sorted by speed.
static void tile_store(Terrain *t, Tile *tile, int frictions, int rolls) {
    std::stable_sort(
        tile->friction, tile->friction + frictions,
        [](const FrictionPoint &a, const FrictionPoint &b) { return a.speed < b.speed; });
    std::stable_sort(tile->roll_resist, tile->roll_resist + rolls,
                     [](const RollPoint &a, const RollPoint &b) { return a.speed < b.speed; });
    t->tiles[t->tile_count++] = *tile;
}

void tileinfo_read(Terrain *t, VFile *vf) {
    Tile tile;
    tile_reset(&tile);
    int frictions = 0, rolls = 0, roosts = 0;
    char line[1024];
    while (t->tile_count < TILE_MAX && vfile_gets(vf, line, sizeof line)) {
        const char *p = line;
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') p++;
        if (!*p) continue;
        const char *key_end = p;
        while (*key_end && !strchr(" \t\r\n", *key_end)) key_end++;
        std::string key(p, key_end);
        const char *arg_start = key_end;
        while (*arg_start == ' ' || *arg_start == '\t') arg_start++;
        std::string arg(arg_start, strcspn(arg_start, "\r\n"));

        if (key == "texture") {
            tile.name = arg;
            tile_load_texture(t, &tile);
        } else if (key == "friction") {
            float v[2];
            if (frictions >= TILE_CURVE_POINTS) {
                track_post("tileinfo warning: too many friction points\n");
            } else if (parse_numbers(arg.c_str(), v, 2, nullptr) < 2) {
                track_post("tileinfo warning: bad friction parameters\n");
            } else {
                tile.friction[frictions++] =
                    FrictionPoint{std::max(v[0], 0.0f), std::max(v[1], MIN_CURVE_SPEED)};
            }
        } else if (key == "roll_resist") {
            float v[3];
            if (rolls >= TILE_CURVE_POINTS) {
                track_post("tileinfo warning: too many roll_resist points\n");
            } else if (parse_numbers(arg.c_str(), v, 3, nullptr) < 3) {
                track_post("tileinfo warning: bad roll_resist parameters\n");
            } else {
                tile.roll_resist[rolls++] = RollPoint{std::max(v[0], 0.0f), std::max(v[1], 0.0f),
                                                      std::max(v[2], MIN_CURVE_SPEED)};
            }
        } else if (key == "roost") {
            if (roosts >= TILE_ROOST_TYPES)
                track_post("tileinfo warning: too many roost types\n");
            else
                roost_parse(&tile.roost[roosts++], arg.c_str());
        } else if (key == "addtile") {
            tile_store(t, &tile, frictions, rolls);
            tile_reset(&tile);
            frictions = rolls = roosts = 0;
        } else {
            track_post("tileinfo warning: Unknown identifier '%.950s'\n", key.c_str());
        }
    }
}

void texturelist_read(Terrain *t, VFile *vf) {
    char line[1024];
    while (t->tile_count < TILE_MAX && vfile_gets(vf, line, sizeof line)) {
        const char *p = line;
        while (*p && strchr(" \t\r\n\f\v", *p)) p++;
        if (!*p) continue;
        float v[3] = {1.0f, 5.0f, 15.0f};
        const char *rest;
        const char *name = p;
        if (parse_numbers(p, v, 3, &rest) == 3) {
            name = rest;
            while (*name == ' ' || *name == '\t') name++;
        } else {
            v[0] = 1.0f, v[1] = 5.0f, v[2] = 15.0f;
        }
        // Files written on other systems end their lines in CR LF, and editors leave
        // trailing blanks: neither belongs to the texture name.
        size_t len = strlen(name);
        while (len && strchr(" \t\r\n\f\v", name[len - 1])) len--;
        Tile &tile = t->tiles[t->tile_count];
        tile_reset(&tile);
        tile.name = "@" + std::string(name, len);
        tile.friction[0] = FrictionPoint{std::max(v[0], 0.0f), 1.0f};
        tile.roll_resist[0] = RollPoint{std::max(v[1], 0.0f), std::max(v[2], 0.0f), 1.0f};
        tile.roost[0].kind = 1;
        tile.roost[0].texture = roost_texture(tile.roost[0].texture_name);
        tile_load_texture(t, &tile);
        t->tile_count++;
    }
}

// The last path component of a texture name without its extension.
static std::string tile_short_name(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    std::string s = path.substr(slash == std::string::npos ? (path[0] == '@' ? 1 : 0) : slash + 1);
    size_t dot = s.rfind('.');
    if (dot != std::string::npos && dot > 0) s.erase(dot);
    return s;
}

static int tile_named(const std::string names[], int count, const std::string &name, int self) {
    for (int k = 0; k < count; k++)
        if (k != self && names[k] == name) return k;
    return -1;
}

void tile_transition_codes(Terrain *t) {
    std::string *names = new std::string[TILE_MAX];
    for (int k = 0; k < t->tile_count; k++) names[k] = tile_short_name(t->tiles[k].name);
    for (int k = 0; k < t->tile_count; k++) {
        const std::string &s = names[k];
        int a = k, b = k, mask = 0;
        size_t len = s.size();
        // "A-B-dddd": the corners in the mask show B, the others A.
        if (len > 5 && s[len - 5] == '-' &&
            s.find_first_not_of("01", len - 4) == std::string::npos) {
            std::string pair = s.substr(0, len - 5);
            for (size_t h = pair.find('-'); h != std::string::npos; h = pair.find('-', h + 1)) {
                int ta = tile_named(names, t->tile_count, pair.substr(0, h), k);
                int tb = tile_named(names, t->tile_count, pair.substr(h + 1), k);
                if (ta >= 0 && tb >= 0) {
                    a = ta, b = tb;
                    mask = (int)strtol(s.c_str() + len - 4, nullptr, 2);
                    break;
                }
            }
        } else if (len > 5 && s.compare(len - 5, 4, "-alt") == 0 && s[len - 1] >= '0' &&
                   s[len - 1] <= '9') {
            // "A-altN" is another picture of A.
            int ta = tile_named(names, t->tile_count, s.substr(0, len - 5), k);
            if (ta >= 0) a = b = ta;
        }
        t->tiles[k].transition = a << 16 | b << 8 | mask;
    }
    delete[] names;
}

float tile_friction(const Tile *tile, float speed) {
    const FrictionPoint *f = tile->friction;
    double s2 = (double)speed * speed;
    int k = 0;
    while (k < TILE_CURVE_POINTS && f[k].speed != 0 && s2 >= (double)f[k].speed * f[k].speed) k++;
    if (k == 0) return f[0].coefficient;
    if (k == TILE_CURVE_POINTS || f[k].speed == 0) return f[k - 1].coefficient;
    double lo = (double)f[k - 1].speed * f[k - 1].speed, hi = (double)f[k].speed * f[k].speed;
    double u = hi > lo ? (s2 - lo) / (hi - lo) : 1;
    u = u < 0 ? 0 : u > 1 ? 1 : u;
    return (float)(f[k - 1].coefficient + u * (f[k].coefficient - f[k - 1].coefficient));
}

void tile_roll_resist(const Tile *tile, float speed, float *first, float *second) {
    const RollPoint *r = tile->roll_resist;
    int k = 0;
    while (k < TILE_CURVE_POINTS && r[k].speed != 0 && speed >= r[k].speed) k++;
    if (k == 0) {
        *first = r[0].first, *second = r[0].second;
    } else if (k == TILE_CURVE_POINTS || r[k].speed == 0) {
        *first = r[k - 1].first, *second = r[k - 1].second;
    } else {
        double span = (double)r[k].speed - r[k - 1].speed;
        double u = span > 0 ? (speed - r[k - 1].speed) / span : 1;
        u = u < 0 ? 0 : u > 1 ? 1 : u;
        *first = (float)(r[k - 1].first + u * (r[k].first - r[k - 1].first));
        *second = (float)(r[k - 1].second + u * (r[k].second - r[k - 1].second));
    }
}

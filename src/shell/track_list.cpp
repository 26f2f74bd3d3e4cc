// Building the track and demo lists.
#include "shell/track_list.h"
#include "data/vfile.h"
#include "platform/log.h"
#include "shell/game_options.h"

#include <cstring>
#include <strings.h>

NamedList g_tracks;
NamedList g_demos;

static int ends_with(const std::string &s, const char *tail) {
    size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

int read_track_desc(const std::string &folder, std::string *name) {
    std::string path = "@" + folder + "/desc";
    VFile *vf = vfile_open(path.c_str(), "rb");
    if (!vf) return 0;
    name->clear();
    int c;
    while ((c = vfile_getc(vf)) != -1 && c != '\r' && c != '\n' && c != 0) name->push_back((char)c);
    vfile_close(vf);
    return 1;
}

void build_track_list(const char *const *names, DescReader reader, NamedList *out) {
    out->paths.clear();
    out->names.clear();
    for (const char *const *n = names; n && *n; n++) {
        std::string s = *n;
        size_t cut;
        if (ends_with(s, "/terrain.hf")) cut = s.size() - strlen("/terrain.hf");
        else if (ends_with(s, "/terrain.hf.gz")) cut = s.size() - strlen("/terrain.hf.gz");
        else continue;
        std::string folder = s.substr(0, cut);
        // A folder with both a plain and a compressed height field is one track.
        int seen = 0;
        for (const std::string &p : out->paths) seen |= p == folder;
        if (seen) continue;
        std::string display;
        if (!reader(folder, &display)) display = folder;
        out->paths.push_back(folder);
        out->names.push_back(display);
    }
    size_t count = out->paths.size();
    for (size_t i = 0; i < count; i++)
        for (size_t j = i + 1; j < count; j++)
            if (strcasecmp(out->names[i].c_str(), out->names[j].c_str()) > 0) {
                std::swap(out->names[i], out->names[j]);
                std::swap(out->paths[i], out->paths[j]);
            }
    if (g_start.debug_level >= 1)
        for (size_t i = 0; i < count; i++)
            log_printf("%s -> %s\n", out->paths[i].c_str(), out->names[i].c_str());
}

void build_demo_list(const char *const *names, NamedList *out) {
    out->paths.clear();
    out->names.clear();
    for (const char *const *n = names; n && *n; n++) {
        std::string s = *n;
        if (s.compare(0, 6, "demos/") != 0 || !ends_with(s, ".skdemo")) continue;
        std::string base = s.substr(s.rfind('/') + 1);
        size_t dot = base.rfind('.');
        std::string display = dot == std::string::npos ? base : base.substr(0, dot);
        out->paths.push_back(s);
        out->names.push_back(display);
        if (g_start.debug_level >= 1) log_printf("%s -> %s\n", s.c_str(), display.c_str());
    }
}

int find_track(const NamedList &tracks, const char *folder) {
    if (!folder) return -1;
    for (size_t i = 0; i < tracks.paths.size(); i++)
        if (tracks.paths[i] == folder) return (int)i;
    return -1;
}

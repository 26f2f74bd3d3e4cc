// The track and demo lists built at start-up from the data file names.
#pragma once
#include <string>
#include <vector>

struct NamedList {
    std::vector<std::string> paths; // track folders or demo paths
    std::vector<std::string> names; // display names, in the same order
};

extern NamedList g_tracks;
extern NamedList g_demos;

// Reads a track's display name (the first line of "<folder>/desc"); 0 when it has none.
typedef int (*DescReader)(const std::string &folder, std::string *name);
int read_track_desc(const std::string &folder, std::string *name);

// Every name ending in "/terrain.hf" or "/terrain.hf.gz" gives a track folder, sorted by
// display name ignoring case.
void build_track_list(const char *const *names, DescReader reader, NamedList *out);
// Every name beginning "demos/" and ending ".skdemo"; display name is the base name.
void build_demo_list(const char *const *names, NamedList *out);
// Index of the track whose folder equals name, or -1.
int find_track(const NamedList &tracks, const char *folder);

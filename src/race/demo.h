// Demo files: recording, playback and what a demo says about itself.
#pragma once
#include <string>

// Opens a demo only to learn its track folder. 1 on success.
int demo_track_of(const char *path, std::string *track);
// Closes playback and recording.
void demo_close_all();

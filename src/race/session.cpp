// Session slots and the session reset.
#include "race/session.h"
#include "bike/bike.h"
#include "platform/log.h"

#include <cstdio>
#include <cstring>

Session g_session;

void clear_racer_slots() {
    for (int i = 0; i < MAX_RACERS; i++) {
        delete g_session.bike[i];
        g_session.bike[i] = nullptr;
        g_session.kind[i] = RACER_REMOTE;
        g_session.lineup[i] = 0;
    }
    g_session.racer_count = 0;
}

void free_racers() {
    for (int i = 0; i < MAX_RACERS; i++) {
        delete g_session.bike[i];
        g_session.bike[i] = nullptr;
    }
    g_session.racer_count = 0;
}

int reset_session(const char *track, int, int time_limit, int laps, int) {
    free_racers();
    g_session.tick = 0;
    g_session.start_tick = 0;
    g_session.time_limit = time_limit;
    g_session.laps = laps;
    g_session.finishing_lap = laps;
    g_session.leader_lap = 0;
    g_session.viewed_racer = 0;
    g_session.track_loaded = track != nullptr;
    if (track && track != g_session.track_folder)
        snprintf(g_session.track_folder, sizeof g_session.track_folder, "%s", track);
    // Slots fill from the lineup: a human code gets the local rider's bike, robots a bike
    // of their own; the models, placement and physics arrive with the bike simulation.
    int local_taken = 0;
    for (int i = 0; i < MAX_RACERS; i++) {
        int code = g_session.lineup[i];
        if (code == 1 && !local_taken) {
            g_session.kind[i] = RACER_LOCAL;
            g_session.bike[i] = new Bike();
            local_taken = 1;
        } else if (code == 2 || code == 3 || code == 4 || code >= 1000) {
            g_session.kind[i] = RACER_ROBOT;
            g_session.bike[i] = new Bike();
        } else {
            g_session.kind[i] = RACER_REMOTE;
        }
        if (g_session.bike[i]) g_session.racer_count = i + 1;
    }
    return 1;
}

int viewing_local_rider() {
    int v = g_session.viewed_racer;
    return v >= 0 && v < MAX_RACERS && g_session.kind[v] == RACER_LOCAL && g_session.bike[v];
}

void release_track() { g_session.track_loaded = 0; }

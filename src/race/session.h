// The race session: racer slots, lineup, race clock, and the world tick.
#pragma once

struct Bike;

enum { MAX_RACERS = 160 };
enum RacerKind { RACER_LOCAL = 0, RACER_REMOTE = 1, RACER_ROBOT = 2 };

struct Session {
    Bike *bike[MAX_RACERS];  // the bike in each slot, or none; owned from reset to reset
    int kind[MAX_RACERS];    // RacerKind of each slot
    int lineup[MAX_RACERS];  // what each slot holds after the next reset
    int racer_count;         // slots in use
    int tick;                // race clock in ticks since the reset
    int start_tick;          // tick at which the gates drop
    int time_limit;          // ticks; 0 for a race by laps
    int laps;                // laps of the race
    int finishing_lap;       // the leader's lap that ends the race
    int leader_lap;          // laps completed by the leader
    int viewed_racer;        // slot shown by the camera
    int playback;            // racers come from a demo
    int track_loaded;        // a track is loaded for this session
    char track_folder[256];  // folder name of the loaded track
};

extern Session g_session;

// Empties every racer slot (no bike, kind remote, lineup 0).
void clear_racer_slots();
// Starts a session on the named track with the current lineup. 1 on success.
int reset_session(const char *track, int record_demo, int time_limit, int laps, int skill);
// Advances the world by one tick.
void world_tick();
// Frees every racer's bike.
void free_racers();
// 1 when the viewed racer is the local rider.
int viewing_local_rider();
// Releases the loaded track.
void release_track();

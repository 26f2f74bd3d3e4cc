// Frame timing: how much simulated time each displayed frame is worth.
#pragma once

extern const double dt; // the tick: 1/128 s

// The clock the loop measures and sleeps by; tests and benchmarks supply their own.
struct LoopClock {
    double (*now)();                // seconds
    void (*sleep_until)(double t);  // returns at or after t
};

struct FrameClock {
    double previous;     // time of the previous frame, seconds
    double target;       // the simulation's target time
    double simulated;    // simulated time; moves in steps of dt
    double wall;         // sum of all frame worths
    unsigned histogram[8]; // bin k: frames shorter than dt * 2^k (k < 7); bin 7: longer
    double shortest, longest; // extreme frame worths since start
    int frames;          // frames measured
};

struct FrameRules {
    int online;     // a server address is set: lock-fps and warp do not apply
    float lock_fps; // > 0: every frame is worth exactly 1/lock_fps
    int warp;       // every frame is worth 100 ticks
};

void frame_clock_init(FrameClock *fc, double now);
// Measures the frame that just ended (sleeping as the rules require) and returns its
// worth in seconds. Updates the histogram and the extremes.
double measure_frame(FrameClock *fc, const LoopClock *clock, const FrameRules *rules);
// Online: scales a frame's worth so the local tick tracks the server's clock.
// lead = (server tick estimate - local tick - 1) * dt.
double scale_online_worth(double worth, double lead, int race_started);

extern const LoopClock g_system_clock;

// Frame timing: measuring, capping, locking and sleeping.
#include "shell/frame_timing.h"
#include "platform/clock.h"

const double dt = 0.0078125;

static double system_now() { return timer_seconds(); }
const LoopClock g_system_clock = {system_now, timer_wait_until_seconds};

void frame_clock_init(FrameClock *fc, double now) {
    *fc = FrameClock();
    fc->previous = now;
    fc->shortest = 1e30;
    fc->longest = 0;
}

static void bin_frame(FrameClock *fc, double duration) {
    int k = 0;
    while (k < 7 && !(duration < dt * (double)(1 << k))) k++;
    fc->histogram[k]++;
}

double measure_frame(FrameClock *fc, const LoopClock *clock, const FrameRules *rules) {
    double worth;
    int first = 1;
    for (;;) {
        double now = clock->now();
        double duration = now - fc->previous;
        if (duration < 0) duration = 0; // a clock that stepped back must not give a negative frame
        if (first) bin_frame(fc, duration);
        first = 0;
        if (!rules->online && rules->lock_fps > 0) {
            double period = 1.0 / rules->lock_fps;
            if (duration < period) clock->sleep_until(fc->previous + period);
            fc->previous = duration < period ? fc->previous + period : now;
            worth = period;
            break;
        }
        if (!rules->online && rules->warp) {
            fc->previous = now;
            worth = 100 * dt;
            break;
        }
        if (duration >= dt) {
            fc->previous = now;
            worth = duration > 0.125 ? 0.125 : duration;
            break;
        }
        clock->sleep_until(fc->previous + dt);
    }
    if (worth < fc->shortest) fc->shortest = worth;
    if (worth > fc->longest) fc->longest = worth;
    fc->frames++;
    return worth;
}

static double clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

double scale_online_worth(double worth, double lead, int race_started) {
    if (lead >= 0 && race_started) return worth * (1 + 0.125 * clamp01(8 * lead));
    if (lead >= 0) return worth * (1 + 3 * clamp01(lead));
    return worth * (0.5 + 0.5 * clamp01(lead + 1));
}

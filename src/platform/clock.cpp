// The monotonic clock and the precise sleep.
#include "platform/clock.h"

#include <ctime>
#include <sched.h>

uint64_t clock_us() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000u + (uint64_t)ts.tv_nsec / 1000u;
}

uint64_t clock_ms() { return clock_us() / 1000u; }

void timer_now(long long *seconds, long *microseconds) {
    uint64_t us = clock_us();
    *seconds = (long long)(us / 1000000u);
    *microseconds = (long)(us % 1000000u);
}

double timer_seconds() { return (double)clock_us() * 0.000001; }

static void wait_until_us(uint64_t target) {
    uint64_t now = clock_us();
    if (now >= target) return;
    // Sleep the whole milliseconds less one, then yield the rest away so that the
    // wake-up is not at the mercy of the scheduler's granularity.
    uint64_t ms = (target - now) / 1000u;
    if (ms > 1) {
        timespec ts;
        ts.tv_sec = (time_t)((ms - 1) / 1000u);
        ts.tv_nsec = (long)((ms - 1) % 1000u) * 1000000L;
        nanosleep(&ts, nullptr);
    }
    while (clock_us() < target) sched_yield();
}

void timer_wait_until(long long seconds, long microseconds) {
    if (seconds < 0) return;
    wait_until_us((uint64_t)seconds * 1000000u + (uint64_t)(microseconds < 0 ? 0 : microseconds));
}

void timer_wait_until_seconds(double t) {
    if (!(t > 0)) return;
    wait_until_us((uint64_t)(t * 1000000.0));
}

// The monotonic clock and precise sleep of the platform layer.
#pragma once
#include <cstdint>

// Microseconds on the system's monotonic clock (time since boot). Never wraps.
uint64_t clock_us();
// Milliseconds on the same clock.
uint64_t clock_ms();
// Seconds and microseconds on the same clock.
void timer_now(long long *seconds, long *microseconds);
// Seconds as a double on the same clock.
double timer_seconds();
// Sleeps the whole milliseconds left less one, then yields until the time is reached.
// A time already past returns at once.
void timer_wait_until(long long seconds, long microseconds);
void timer_wait_until_seconds(double t);

// Viewed-racer switching; demos seek once playback exists.
#include "race/race_view.h"
#include "race/session.h"

void demo_seek(double) {}

// Until standings exist the order is the slot order of the racers that have bikes.
void view_adjacent_racer(int direction) {
    int v = g_session.viewed_racer;
    for (int i = v + direction; i >= 0 && i < MAX_RACERS; i += direction)
        if (g_session.bike[i]) {
            g_session.viewed_racer = i;
            return;
        }
}

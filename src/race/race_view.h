// Demo seeking and the choice of the viewed racer.
#pragma once

// Seeks demo playback by the given seconds (negative: rewind).
void demo_seek(double seconds);
// Views the racer before (-1) or after (+1) the viewed one in the standings order.
void view_adjacent_racer(int direction);

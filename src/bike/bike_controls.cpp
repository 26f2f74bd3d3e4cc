// The bike's control setters: clamp and store what the rider asks for.
#include "bike/bike.h"

static float clampf(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }

void set_steer(Bike *b, float v) { b->steer = clampf(v, -1, 1); }
void set_throttle(Bike *b, float v) { b->throttle = clampf(v, 0, 1); }
void set_front_brake(Bike *b, float v) { b->front_brake = clampf(v, 0, 1); }
void set_rear_brake(Bike *b, float v) { b->rear_brake = clampf(v, 0, 1); }
void set_clutch(Bike *b, float v) { b->clutch = clampf(v, 0, 1); }
void set_sit(Bike *b, float v) { b->sit = clampf(v, 0, 1); }
void set_back_up(Bike *b, float v) { b->back_up = clampf(v, 0, 1); }
void set_lean(Bike *b, float v) { b->lean = clampf(v, -1, 1); }

void shift(Bike *b, int direction) {
    if (direction == b->shift_input) return;
    b->shift_input = direction;
    if (direction > 0) b->gear++;
    if (direction < 0 && b->gear > 1) b->gear--;
}

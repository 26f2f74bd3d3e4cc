// The simulated motorcycle with its rider, and its control setters.
#pragma once

struct Bike {
    float steer = 0;       // -1 (right) .. 1 (left)
    float throttle = 0;    // 0..1
    float front_brake = 0; // 0..1
    float rear_brake = 0;  // 0..1
    float clutch = 1;      // 1 engaged (lever released) .. 0 disengaged
    float sit = 0;         // 0..1
    float back_up = 0;     // 0..1
    float lean = 0;        // -1 forward .. 1 backward
    int shift_input = 0;   // last shift request: -1, 0, +1
    int gear = 1;          // current gear
};

void set_steer(Bike *b, float v);
void set_throttle(Bike *b, float v);
void set_front_brake(Bike *b, float v);
void set_rear_brake(Bike *b, float v);
void set_clutch(Bike *b, float v);
void set_sit(Bike *b, float v);
void set_back_up(Bike *b, float v);
void set_lean(Bike *b, float v);
// Acts only when the request differs from the previous one.
void shift(Bike *b, int direction);

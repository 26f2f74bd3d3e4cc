// The steps of bike_step, in the files of the code they belong to.
#pragma once

struct Bike;

// Rider and assists (rider_assists.cpp).
void crash_test(Bike *bike);   // may throw the rider off
void crashed_step(Bike *bike); // the loose rider while crash_timer > 0
void rider_springs(Bike *bike);
void steering_step(Bike *bike);
void dab_step(Bike *bike);
void feet_step(Bike *bike);
// At a crash: the two loose feet start where the rider's feet are, moving with him.
void start_loose_feet(Bike *bike);

// Fork force and rear shock torque as joint motors (suspension.cpp).
void suspension_step(Bike *bike);

// Gear choice, engine, clutch and brakes (drive_train.cpp).
void drive_train_step(Bike *bike);

// The rigid-body model's own steps (bike_step.cpp).
void steering_damping_step(Bike *bike);
void momentum_correction(Bike *bike);

// The drive train: gearbox, engine, clutch and brakes. Empty until the drive-train code
// fills it; bike_step already calls it in its place.
#include "bike/bike_steps.h"

void drive_train_step(Bike *) {}

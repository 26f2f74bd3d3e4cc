// The fork and rear shock force laws, applied as joint motors. Empty until the suspension
// code fills it; bike_step already calls it in its place.
#include "bike/bike_steps.h"

void suspension_step(Bike *) {}

// The rider model and stability assists: crash, loose rider, rider springs, steering, dab.
// Only the loose feet's start exists yet; the other steps are empty until the rider model
// fills them, and bike_step already calls each in its place.
#include "bike/bike.h"
#include "bike/bike_math.h"
#include "bike/bike_steps.h"

void crash_test(Bike *) {}
void crashed_step(Bike *) {}
void rider_springs(Bike *) {}
void steering_step(Bike *) {}
void dab_step(Bike *) {}
void feet_step(Bike *) {}

// Until the drawing's foot placement exists the feet start on the foot pegs, which is
// where a rider who has no foot down keeps them.
void start_loose_feet(Bike *b) {
    dBodyID frame = b->body[BODY_FRAME], rider = b->body[BODY_RIDER];
    if (!frame || !rider) return;
    for (int side = 0; side < 2; side++) {
        const float *peg = b->info.foot_peg_point[side];
        dVector3 p, v;
        dBodyGetRelPointPos(frame, peg[0], peg[1], peg[2], p);
        dBodyGetPointVel(rider, p[0], p[1], p[2], v);
        for (int k = 0; k < 3; k++) {
            b->loose_foot[side].pos[k] = (float)p[k];
            b->loose_foot[side].vel[k] = (float)v[k];
        }
    }
}

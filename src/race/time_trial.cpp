// Time-trial state; sessions become time trials once the mode exists.
#include "race/time_trial.h"

int time_trial_active() { return 0; }
void restart_time_trial() {}

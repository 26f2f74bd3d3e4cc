// Time trial: the attempt in progress and its restart.
#pragma once

// 1 while a time-trial session runs.
int time_trial_active();
// Restarts the current attempt.
void restart_time_trial();

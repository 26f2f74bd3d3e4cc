// The rabbithill course as data: its closed centreline from the start gate round the lap,
// the jumps and bumps along it and its surfaces. Timing gates, start slots, objects and
// racing lines are to be derived from these tables (rabbithill_build_course gives the
// resampled course with its heights).
#pragma once
#include "datagen_terrain.h"

// Tile indices of rabbithill's "tileinfo", in table order.
enum RabbithillSurface {
    RH_GRASS = 0,    // off-track grass: less grip, more rolling resistance
    RH_HARDPACK = 1, // the main riding surface
    RH_LOAM = 2,     // soft dark loam of the esses
    RH_SAND = 3,     // the sand section on the hilltop
    RH_RUTS = 4,     // rutted dirt of the tight turns
    RH_STARTPAD = 5, // the packed start area behind and at the gate
};

// The ground: 2^9 tiles a side, samples 1.25 ft apart, 1280 ft square.
const int RABBITHILL_SIZE_LOG2 = 9;
const double RABBITHILL_SPACING = 1.25;

// Centreline control points in lap order (x east, z south, ft). Point 1 is the start
// gate; the lap runs east down the start straight, loops the infield and comes back down
// the west side onto the start straight.
inline const CoursePoint rabbithill_points[] = {
    {205, 1150, 110}, // 0: behind the start area
    {290, 1150, 150}, // 1: the start gate, 40 riders wide
    {380, 1150, 150}, // 2: start straight
    {470, 1148, 100}, // 3: funnel into turn 1
    {565, 1143, 42},  // 4
    {655, 1118, 36},  // 5: turn 1, a left-hand bermed hairpin
    {702, 1058, 34},  // 6
    {675, 998, 32},   // 7
    {592, 982, 32},   // 8: back straight, heading west
    {460, 988, 30},   // 9
    {330, 994, 30},   // 10
    {240, 975, 32},   // 11: turn 2, right-hand berm
    {204, 915, 32},   // 12
    {236, 858, 32},   // 13
    {322, 838, 30},   // 14: the long straight east
    {470, 834, 30},   // 15
    {620, 840, 30},   // 16
    {770, 846, 30},   // 17
    {900, 840, 30},   // 18
    {1010, 815, 32},  // 19: turn 3, a left sweeper onto the hill
    {1080, 750, 32},  // 20
    {1112, 660, 30},  // 21: uphill, heading north
    {1120, 540, 30},  // 22
    {1115, 420, 30},  // 23
    {1100, 300, 30},  // 24
    {1060, 205, 32},  // 25: turn 4, left over the brow
    {980, 150, 32},   // 26
    {880, 134, 30},   // 27: hilltop sand, heading west
    {760, 140, 30},   // 28
    {640, 150, 30},   // 29
    {530, 160, 30},   // 30
    {440, 196, 32},   // 31: turn 5, left and down the hill
    {400, 272, 32},   // 32
    {420, 362, 30},   // 33: the esses
    {500, 420, 30},   // 34
    {620, 440, 30},   // 35
    {740, 420, 30},   // 36
    {840, 452, 32},   // 37
    {882, 532, 32},   // 38: right-hand berm back west
    {830, 612, 32},   // 39
    {720, 650, 30},   // 40: the west straight
    {580, 664, 30},   // 41
    {440, 670, 30},   // 42
    {320, 662, 30},   // 43
    {200, 690, 32},   // 44: left turn down the west side
    {122, 760, 32},   // 45
    {100, 870, 30},   // 46
    {100, 980, 30},   // 47
    {112, 1075, 32},  // 48: last turn, left onto the start straight
    {145, 1132, 40},  // 49
};
inline const int rabbithill_point_count = sizeof rabbithill_points / sizeof rabbithill_points[0];
inline const int rabbithill_gate_point = 1;

// Jumps and bumps: kind, point, offset, height, then the lengths (see CourseFeature).
inline const CourseFeature rabbithill_features[] = {
    {FEATURE_ROLLERS, 8, 10, 2.5, 42, 0, 0, 3},     // three rollers out of turn 1
    {FEATURE_TABLETOP, 9, 20, 5.0, 14, 40, 30, 0},  // tabletop before turn 2
    {FEATURE_DOUBLE, 14, 30, 6.0, 15, 55, 30, 0},   // the big double
    {FEATURE_WHOOPS, 15, 110, 2.2, 13, 0, 0, 14},   // whoop section
    {FEATURE_TABLETOP, 17, 40, 4.0, 12, 30, 25, 0}, // small table into turn 3
    {FEATURE_STEPUP, 21, 30, 3.5, 10, 32, 8, 0},    // step-up on the climb
    {FEATURE_TABLETOP, 23, 10, 5.0, 14, 45, 30, 0}, // tabletop near the top
    {FEATURE_ROLLERS, 27, 40, 2.0, 36, 0, 0, 4},    // sand rollers
    {FEATURE_DOUBLE, 35, 5, 5.5, 14, 50, 28, 0},    // double in the esses
    {FEATURE_TABLETOP, 40, 40, 6.0, 16, 55, 35, 0}, // the big tabletop
    {FEATURE_ROLLERS, 42, 0, 2.5, 40, 0, 0, 3},     // rollers to the west turn
    {FEATURE_DOUBLE, 46, 10, 4.5, 13, 42, 25, 0},   // double down the west side
};
inline const int rabbithill_feature_count =
    sizeof rabbithill_features / sizeof rabbithill_features[0];

// Stretches of track that are not hard-pack.
inline const CourseSurface rabbithill_surfaces[] = {
    {0, 60, 40, RH_STARTPAD}, // the pad the riders wait on, up to the gate
    {4, 20, 190, RH_RUTS},    // turn 1
    {11, -10, 170, RH_RUTS},  // turn 2
    {27, -20, 470, RH_SAND},  // the hilltop sand into turn 5
    {32, 20, 560, RH_LOAM},   // esses and the right-hander after them
    {48, -20, 90, RH_RUTS},   // the last turn
};
inline const int rabbithill_surface_count =
    sizeof rabbithill_surfaces / sizeof rabbithill_surfaces[0];

// The rabbithill ground without the course, and the course laid on it (bed, profile,
// berms, surfaces), exactly as the generator uses them.
double rabbithill_ground(double x, double z);
void rabbithill_build_course(Course *c);
// Writes the "rabbithill" folder.
void generate_rabbithill(DataOut *out);

// The compiled-in bike catalogue: the 28 models in lookup order and the name lookups.
#include "bike/bike_info.h"

#include <cstring>

// Where the numbers come from: the yz250f(2009) record and every model's class values,
// masses, spring ranges, shift points and peak torque are the published figures of the
// catalogue; the remaining gearing and the torque curves were authored from them. The
// four-stroke curves are the yz250f(2009) curve stretched to each engine's peak and cut-off
// speed and scaled to its peak torque, the two-strokes share one peaky curve treated the
// same way, and every curve ends past its cut-off in the same falling limiter tail.

// ---- torque tables, lbf ft at 0, 500, ... 24500 rpm ----

// clang-format off
// Four-stroke 250s: light engine braking that grows with speed.
static const float kClosed250[TORQUE_POINTS] = {
    2, 2, 1, 0, -1, -1, -2, -2, -3, -3,
    -4, -4, -5, -5, -6, -6, -7, -7, -8, -8,
    -9, -9, -10, -10, -11, -11, -12, -12, -13, -13,
    -14, -14, -15, -15, -16, -16, -17, -17, -18, -18,
    -19, -19, -20, -20, -21, -21, -22, -22, -23, -23};

// 450 and 350 four-strokes: half as much again as the 250s.
static const float kClosed450[TORQUE_POINTS] = {
    3, 2, 1, 0, -1.5, -1.5, -3, -3, -4.5, -4.5,
    -6, -6, -7.5, -7.5, -9, -9, -10.5, -10.5, -12, -12,
    -13.5, -13.5, -15, -15, -16.5, -16.5, -18, -18, -19.5, -19.5,
    -21, -21, -22.5, -22.5, -24, -24, -25.5, -25.5, -27, -27,
    -28.5, -28.5, -30, -30, -31.5, -31.5, -33, -33, -34.5, -34.5};

// Two-stroke 125s: gentle at low speed, steeper above 12000 rpm.
static const float kClosed125[TORQUE_POINTS] = {
    2, 2, 1, 0, -1, -1.2, -1.4, -1.6, -1.8, -2,
    -2.2, -2.4, -2.6, -2.8, -3, -3.2, -3.4, -3.6, -3.8, -4,
    -4.2, -4.4, -4.6, -4.8, -5, -5.4, -5.8, -6.2, -6.6, -7,
    -7.4, -7.8, -8.2, -8.6, -9, -9.4, -9.8, -10.2, -10.6, -11,
    -11.4, -11.8, -12.2, -12.6, -13, -13.4, -13.8, -14.2, -14.6, -15};

// 50s: the 250 table with its negative part halved.
static const float kClosed50[TORQUE_POINTS] = {
    2, 2, 1, 0, -0.5, -0.5, -1, -1, -1.5, -1.5,
    -2, -2, -2.5, -2.5, -3, -3, -3.5, -3.5, -4, -4,
    -4.5, -4.5, -5, -5, -5.5, -5.5, -6, -6, -6.5, -6.5,
    -7, -7, -7.5, -7.5, -8, -8, -8.5, -8.5, -9, -9,
    -9.5, -9.5, -10, -10, -10.5, -10.5, -11, -11, -11.5, -11.5};

// yz250f(2009): peak 20.07 at 8500 rpm, cut at 14000 rpm.
static const float kOpenYz250f2009[TORQUE_POINTS] = {
    5, 5, 5, 5, 5, 6.4, 7.9, 9.4, 10.8, 12.3,
    13.83, 15.13, 16.52, 18.15, 19.3, 19.83, 20, 20.07, 19.92, 19.61,
    19.2, 18.72, 18.06, 17.17, 16.99, 16.31, 15.48, 14.44, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// crf450(2011): peak 35.2 at 7000 rpm, cut at 11500 rpm.
static const float kOpenCrf4502011[TORQUE_POINTS] = {
    8.77, 8.77, 8.77, 8.77, 10.87, 14.04, 17.19, 20.26, 23.49, 26.37,
    29.38, 32.55, 34.38, 35.01, 35.2, 34.82, 34.07, 33.11, 31.8, 30.08,
    29.4, 27.8, 25.73, 0, -1, -2, -2, -3, -3, -4,
    -4, -5, -5, -6, -6, -7, -7, -8, -8, -9,
    -9, -10, -10, -11, -11, -12, -12, -13, -13, -14};

// kx450f(2011): peak 36.1 at 7500 rpm, cut at 11500 rpm.
static const float kOpenKx450f2011[TORQUE_POINTS] = {
    8.99, 8.99, 8.99, 8.99, 10.34, 13.31, 16.37, 19.26, 22.31, 25.34,
    28.05, 31.08, 33.89, 35.41, 35.93, 36.1, 35.62, 34.72, 33.52, 31.68,
    30.6, 28.96, 26.67, 0, -1, -2, -2, -3, -3, -4,
    -4, -5, -5, -6, -6, -7, -7, -8, -8, -9,
    -9, -10, -10, -11, -11, -12, -12, -13, -13, -14};

// rmz450(2011): peak 34.4 at 7000 rpm, cut at 11500 rpm.
static const float kOpenRmz4502011[TORQUE_POINTS] = {
    8.57, 8.57, 8.57, 8.57, 10.63, 13.72, 16.8, 19.8, 22.96, 25.77,
    28.71, 31.81, 33.6, 34.22, 34.4, 34.02, 33.3, 32.36, 31.08, 29.4,
    28.73, 27.17, 25.15, 0, -1, -2, -2, -3, -3, -4,
    -4, -5, -5, -6, -6, -7, -7, -8, -8, -9,
    -9, -10, -10, -11, -11, -12, -12, -13, -13, -14};

// yz450f(2011): peak 33.8 at 6500 rpm, cut at 11500 rpm.
static const float kOpenYz450f2011[TORQUE_POINTS] = {
    8.42, 8.42, 8.42, 8.42, 11.36, 14.66, 17.83, 21.11, 24.3, 27.28,
    30.72, 32.85, 33.59, 33.8, 33.5, 32.89, 32.09, 31.08, 29.67, 28.73,
    27.81, 26.35, 24.49, 0, -1, -2, -2, -3, -3, -4,
    -4, -5, -5, -6, -6, -7, -7, -8, -8, -9,
    -9, -10, -10, -11, -11, -12, -12, -13, -13, -14};

// 450sxf(2011): peak 33 at 7500 rpm, cut at 12000 rpm.
static const float kOpen450sxf2011[TORQUE_POINTS] = {
    8.22, 8.22, 8.22, 8.22, 9.45, 12.17, 14.96, 17.6, 20.39, 23.17,
    25.64, 28.41, 30.98, 32.37, 32.85, 33, 32.64, 31.94, 31.04, 29.82,
    28.2, 27.56, 26.06, 24.12, 0, -1, -2, -2, -3, -3,
    -4, -4, -5, -5, -6, -6, -7, -7, -8, -8,
    -9, -9, -10, -10, -11, -11, -12, -12, -13, -13};

// 350sxf(2011): peak 27.7 at 8000 rpm, cut at 13500 rpm.
static const float kOpen350sxf2011[TORQUE_POINTS] = {
    6.9, 6.9, 6.9, 6.9, 7.38, 9.48, 11.68, 13.82, 15.94, 18.16,
    20.21, 22.2, 24.49, 26.34, 27.28, 27.59, 27.7, 27.49, 27.07, 26.5,
    25.84, 24.93, 23.7, 23.45, 22.51, 21.37, 19.93, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// crf250(2009): peak 19.6 at 9000 rpm, cut at 14000 rpm.
static const float kOpenCrf2502009[TORQUE_POINTS] = {
    4.88, 4.88, 4.88, 4.88, 4.88, 5.87, 7.23, 8.61, 9.94, 11.28,
    12.68, 14, 15.23, 16.58, 17.97, 18.93, 19.38, 19.54, 19.6, 19.42,
    19.07, 18.61, 18.02, 17.2, 16.66, 16.13, 15.28, 14.2, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// crf250(2008): peak 19.4 at 9000 rpm, cut at 14000 rpm.
static const float kOpenCrf2502008[TORQUE_POINTS] = {
    4.83, 4.83, 4.83, 4.83, 4.83, 5.81, 7.15, 8.52, 9.84, 11.16,
    12.55, 13.86, 15.07, 16.41, 17.79, 18.74, 19.19, 19.34, 19.4, 19.23,
    18.88, 18.42, 17.84, 17.03, 16.49, 15.96, 15.12, 14.06, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// crf250(2007): peak 19.1 at 9000 rpm, cut at 13500 rpm.
static const float kOpenCrf2502007[TORQUE_POINTS] = {
    4.76, 4.76, 4.76, 4.76, 4.76, 5.72, 7.04, 8.39, 9.69, 10.99,
    12.35, 13.64, 14.84, 16.15, 17.52, 18.45, 18.89, 19.04, 19.1, 18.89,
    18.49, 17.97, 17.26, 16.32, 15.95, 15.08, 13.96, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// kx250f(2009): peak 20.4 at 9500 rpm, cut at 14000 rpm.
static const float kOpenKx250f2009[TORQUE_POINTS] = {
    5.08, 5.08, 5.08, 5.08, 5.08, 5.76, 7.07, 8.43, 9.78, 11.06,
    12.42, 13.81, 15.03, 16.27, 17.66, 18.94, 19.79, 20.19, 20.34, 20.4,
    20.18, 19.75, 19.19, 18.43, 17.43, 17.04, 16.11, 14.91, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// kx250f(2008): peak 20.1 at 9500 rpm, cut at 14000 rpm.
static const float kOpenKx250f2008[TORQUE_POINTS] = {
    5.01, 5.01, 5.01, 5.01, 5.01, 5.67, 6.96, 8.31, 9.64, 10.9,
    12.24, 13.61, 14.81, 16.03, 17.4, 18.66, 19.5, 19.9, 20.04, 20.1,
    19.88, 19.46, 18.91, 18.16, 17.18, 16.79, 15.87, 14.69, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// kx250f(2007): peak 19.8 at 9000 rpm, cut at 13500 rpm.
static const float kOpenKx250f2007[TORQUE_POINTS] = {
    4.93, 4.93, 4.93, 4.93, 4.93, 5.93, 7.3, 8.7, 10.04, 11.39,
    12.81, 14.14, 15.38, 16.74, 18.16, 19.13, 19.58, 19.73, 19.8, 19.58,
    19.17, 18.63, 17.89, 16.92, 16.54, 15.64, 14.47, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// rmz250(2009): peak 19.9 at 9000 rpm, cut at 14000 rpm.
static const float kOpenRmz2502009[TORQUE_POINTS] = {
    4.96, 4.96, 4.96, 4.96, 4.96, 5.96, 7.34, 8.74, 10.09, 11.45,
    12.87, 14.21, 15.46, 16.83, 18.25, 19.22, 19.68, 19.83, 19.9, 19.72,
    19.36, 18.89, 18.3, 17.47, 16.92, 16.37, 15.51, 14.42, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// rmz250(2008): peak 19.3 at 9000 rpm, cut at 14000 rpm.
static const float kOpenRmz2502008[TORQUE_POINTS] = {
    4.81, 4.81, 4.81, 4.81, 4.81, 5.78, 7.12, 8.48, 9.79, 11.11,
    12.48, 13.79, 15, 16.32, 17.7, 18.64, 19.09, 19.24, 19.3, 19.13,
    18.78, 18.32, 17.75, 16.94, 16.41, 15.88, 15.05, 13.99, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// rmz250(2007): peak 18.9 at 8500 rpm, cut at 13500 rpm.
static const float kOpenRmz2502007[TORQUE_POINTS] = {
    4.71, 4.71, 4.71, 4.71, 4.71, 6.03, 7.44, 8.85, 10.17, 11.58,
    13.02, 14.25, 15.56, 17.09, 18.17, 18.67, 18.83, 18.9, 18.73, 18.39,
    17.95, 17.38, 16.59, 16.07, 15.55, 14.73, 13.7, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// yz250f(2008): peak 19.7 at 8500 rpm, cut at 14000 rpm.
static const float kOpenYz250f2008[TORQUE_POINTS] = {
    4.91, 4.91, 4.91, 4.91, 4.91, 6.28, 7.75, 9.23, 10.6, 12.07,
    13.58, 14.85, 16.22, 17.82, 18.94, 19.46, 19.63, 19.7, 19.55, 19.25,
    18.85, 18.37, 17.73, 16.85, 16.68, 16.01, 15.19, 14.17, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// yz250f(2007): peak 19.4 at 8500 rpm, cut at 14000 rpm.
static const float kOpenYz250f2007[TORQUE_POINTS] = {
    4.83, 4.83, 4.83, 4.83, 4.83, 6.19, 7.64, 9.09, 10.44, 11.89,
    13.37, 14.62, 15.97, 17.54, 18.66, 19.17, 19.33, 19.4, 19.26, 18.96,
    18.56, 18.1, 17.46, 16.6, 16.42, 15.77, 14.96, 13.96, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// cr125: peak 16.8 at 10000 rpm, cut at 13500 rpm.
static const float kOpenCr125[TORQUE_POINTS] = {
    5.04, 5.04, 5.04, 5.04, 5.21, 5.54, 6.05, 6.55, 7.06, 7.56,
    8.06, 8.74, 9.41, 10.25, 11.26, 12.43, 13.78, 14.95, 15.96, 16.55,
    16.8, 16.34, 15.29, 13.8, 11.98, 9.94, 7.82, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// kx125: peak 16.4 at 10500 rpm, cut at 14000 rpm.
static const float kOpenKx125[TORQUE_POINTS] = {
    4.92, 4.92, 4.92, 4.92, 5.05, 5.33, 5.76, 6.23, 6.7, 7.17,
    7.64, 8.18, 8.81, 9.5, 10.33, 11.32, 12.45, 13.67, 14.74, 15.63,
    16.17, 16.4, 15.95, 14.92, 13.47, 11.69, 9.7, 7.64, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// rm125: peak 15.9 at 10000 rpm, cut at 13500 rpm.
static const float kOpenRm125[TORQUE_POINTS] = {
    4.77, 4.77, 4.77, 4.77, 4.93, 5.25, 5.72, 6.2, 6.68, 7.16,
    7.63, 8.27, 8.9, 9.7, 10.65, 11.77, 13.04, 14.15, 15.11, 15.66,
    15.9, 15.47, 14.47, 13.06, 11.33, 9.4, 7.4, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// yz125: peak 17.4 at 10500 rpm, cut at 14000 rpm.
static const float kOpenYz125[TORQUE_POINTS] = {
    5.22, 5.22, 5.22, 5.22, 5.36, 5.66, 6.11, 6.61, 7.11, 7.61,
    8.1, 8.68, 9.35, 10.08, 10.96, 12.01, 13.21, 14.5, 15.64, 16.59,
    17.15, 17.4, 16.93, 15.83, 14.29, 12.4, 10.29, 8.1, 0, -1,
    -2, -2, -3, -3, -4, -4, -5, -5, -6, -6,
    -7, -7, -8, -8, -9, -9, -10, -10, -11, -11};

// 125sx: peak 17.1 at 9500 rpm, cut at 13500 rpm.
static const float kOpen125sx[TORQUE_POINTS] = {
    5.13, 5.13, 5.13, 5.16, 5.37, 5.78, 6.32, 6.86, 7.4, 7.94,
    8.57, 9.29, 10.12, 11.13, 12.34, 13.73, 15.03, 16.14, 16.81, 17.1,
    16.76, 15.9, 14.71, 13.17, 11.46, 9.58, 7.7, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// yz250f_se(2006): peak 18.3 at 8000 rpm, cut at 13500 rpm.
static const float kOpenYz250fse2006[TORQUE_POINTS] = {
    4.56, 4.56, 4.56, 4.56, 4.88, 6.26, 7.72, 9.13, 10.53, 12,
    13.35, 14.67, 16.18, 17.4, 18.02, 18.23, 18.3, 18.16, 17.88, 17.51,
    17.07, 16.47, 15.66, 15.49, 14.87, 14.11, 13.17, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};

// rs50: peak 4.31 at 9500 rpm, cut at 13500 rpm.
static const float kOpenRs50[TORQUE_POINTS] = {
    1.29, 1.29, 1.29, 1.3, 1.35, 1.46, 1.59, 1.73, 1.86, 2,
    2.16, 2.34, 2.55, 2.81, 3.11, 3.46, 3.79, 4.07, 4.24, 4.31,
    4.22, 4.01, 3.71, 3.32, 2.89, 2.41, 1.94, 0, -1, -2,
    -2, -3, -3, -4, -4, -5, -5, -6, -6, -7,
    -7, -8, -8, -9, -9, -10, -10, -11, -11, -12};
// clang-format on

// ---- geometry shared by every model ----

// The rest points of the rider models' skeleton: nine bone pivots, then the origin.
static const float kRiderSkeleton[SKELETON_POINTS][3] = {
    {-1.456f, 0.875f, 0.01f},  {1.456f, 0.875f, 0.01f},
    {-0.556f, 0.875f, 0.01f},  {0.556f, 0.875f, 0.01f},
    {-0.269f, -2.208f, 0.01f}, {0.269f, -2.208f, 0.01f},
    {-0.269f, -0.88f, 0.01f},  {0.269f, -0.88f, 0.01f},
    {0, -0.88f, 0.01f},        {0, 0, 0},
};

// clang-format off
// The data files of one model family: its own frame, fork, swingarm and plate models and
// paint, and the wheels, rider and collision shapes every model shares.
#define FAMILY_FILES(family, paint)                                                           \
    {"@" family "_frame.qm",      "@generic_frame.shp",                                       \
     paint,                       "@" family "_fork_upper.qm",                                \
     "@generic_fork_upper.shp",   "@" family "_fork_lower.qm",                                \
     "@generic_fork_lower.shp",   "@" family "_swingarm.qm",                                  \
     "@generic_swingarm.shp",     "@front_wheel.qm",                                          \
     "@front_wheel.shp",          "@rear_wheel.qm",                                           \
     "@rear_wheel.shp",           "@wheels.png",                                              \
     "@rider_head.qm",            "@rider_head.png",                                          \
     "@rider_body.qm",            "@rider_body_fp.qm",                                        \
     "@generic_rider.shp",        "@rider_body.png",                                          \
     "@" family "_side_plates.qm", "@" family "_front_plate.qm",                              \
     "@rider_plate.qm"}
#define FAMILY(family) FAMILY_FILES(family, "@" family ".png")
// clang-format on

static const BikeFiles kCrf450 = FAMILY("crf450"), kKx450f = FAMILY("kx450f"),
                       kRmz450 = FAMILY("rmz450"), kYz450f = FAMILY("yz450f"),
                       k450sxf = FAMILY("450sxf"), k350sxf = FAMILY("350sxf"),
                       kCrf250 = FAMILY("crf250"), kKx250f = FAMILY("kx250f"),
                       kRmz250 = FAMILY("rmz250"), kYz250f = FAMILY("yz250f"),
                       kYz250fSe = FAMILY_FILES("yz250f", "@yz250f_se.png"),
                       kCr125 = FAMILY("cr125"), kKx125 = FAMILY("kx125"), kRm125 = FAMILY("rm125"),
                       kYz125 = FAMILY("yz125"), k125sx = FAMILY("125sx");

// The yz250f(2009) in full; every other model is this record with its row below applied.
static BikeInfo base_record() {
    BikeInfo b = {};
    b.name = "yz250f(2009)";
    b.class_name = "250f";
    b.front_wheel = WheelInfo{{0, 1.09f, 1.11f}, 0.833333f, 0.333333f, 0.40625f, 0.5f, 0.15625f};
    b.rear_wheel = WheelInfo{{0, 1.04f, 6}, 0.75f, 0.333333f, 0.46875f, 0.5f, 0.3125f};
    const float frame_pos[3] = {0, 1.98f, 3.6f}, frame_size[3] = {0.833333f, 1.66667f, 1.66667f};
    const float fork_upper[3] = {0, 2.9f, 2.16f}, swingarm[3] = {0, 1.34f, 4.99f};
    const float pivot[3] = {0, 1.58f, 4.17f}, fork_lower[3] = {0, 1.77f, 1.59f};
    memcpy(b.frame_pos, frame_pos, sizeof frame_pos);
    memcpy(b.frame_size, frame_size, sizeof frame_size);
    memcpy(b.fork_upper_pos, fork_upper, sizeof fork_upper);
    memcpy(b.swingarm_pos, swingarm, sizeof swingarm);
    memcpy(b.swingarm_pivot, pivot, sizeof pivot);
    memcpy(b.fork_lower_pos, fork_lower, sizeof fork_lower);
    b.frame_mass = 4.24f;
    b.fork_spacing = 0.833333f;
    b.fork_length = 3;
    b.fork_mass = 0.703125f;
    b.fork_spring_min = 510.696f, b.fork_spring_max = 698.848f;
    b.fork_preload_min = 0, b.fork_preload_max = 0.0833333f;
    b.fork_air_gap_min_oil = 0.416667f, b.fork_air_gap_max_oil = 0.25f;
    b.fork_compression_damping = 60;
    b.fork_rebound_damping = 30;
    b.fork_travel = 1;
    b.swingarm_mass = 0.504375f;
    b.shock_spring_min = 2217.5f, b.shock_spring_max = 4031.81f;
    b.shock_preload_min = 0, b.shock_preload_max = 0.0275f;
    b.shock_compression_damping = 800;
    b.shock_rebound_damping = 600;
    b.swingarm_max_angle = 0.55f;
    b.shock_ratio_top = 0.615385f, b.shock_ratio_bottom = 0.615385f;
    b.primary_ratio = 3.35294f;
    b.front_sprocket = 13, b.rear_sprocket = 48;
    const float gears[GEAR_COUNT] = {2.14286f, 1.75f, 1.45f, 1.22727f, 1.04167f, -1};
    memcpy(b.gear_ratio, gears, sizeof gears);
    b.engine_inertia = 0.00488281f;
    b.drive_stiffness = 7500, b.drive_damping = 0.75f;
    memcpy(b.torque_closed, kClosed250, sizeof b.torque_closed);
    memcpy(b.torque_open, kOpenYz250f2009, sizeof b.torque_open);
    b.downshift_rpm = 8000, b.upshift_rpm = 12500;
    b.spare_rpm = 13250;
    const float slide[3] = {0, 0.0833333f, 0.0833333f}, rider[3] = {0, 4.5f, 4.12f};
    memcpy(b.rider_slide_dir, slide, sizeof slide);
    memcpy(b.rider_pos, rider, sizeof rider);
    b.rider_slide_min = -0.666667f, b.rider_slide_max = 0.5f;
    b.rider_mass = 4.6875f;
    b.files = kYz250f;
    const float head[3] = {0, 0.808383f, -0.943369f};
    const float shoulders[2][3] = {{-0.556f, 0.580375f, -0.654514f},
                                   {0.556f, 0.580375f, -0.654514f}};
    const float hips[2][3] = {{-0.269f, -0.570887f, 0.670607f}, {0.269f, -0.570887f, 0.670607f}};
    const float grips[2][3] = {{-1.097f, 1.145f, 0.753f}, {1.097f, 1.145f, 0.753f}};
    const float pegs[2][3] = {{-0.6f, -0.557f, 0.584f}, {0.6f, -0.557f, 0.584f}};
    memcpy(b.head_point, head, sizeof head);
    memcpy(b.shoulder_point, shoulders, sizeof shoulders);
    memcpy(b.hip_point, hips, sizeof hips);
    memcpy(b.grip_point, grips, sizeof grips);
    memcpy(b.foot_peg_point, pegs, sizeof pegs);
    b.upper_arm = 0.9f, b.forearm = 1.15f, b.thigh = 1.328f, b.shin = 1.701f;
    b.rider_skeleton = kRiderSkeleton;
    return b;
}

// What sets one model apart from the base record.
struct ModelRow {
    const char *name;
    const char *class_name;
    const BikeFiles *files;
    float frame_mass, rider_mass, fork_mass, swingarm_mass;
    float fork_spring_min, fork_spring_max, fork_rebound;
    float shock_spring_min, shock_spring_max, shock_rebound;
    float primary_ratio, front_sprocket, rear_sprocket;
    float gear_ratio[GEAR_COUNT];
    float engine_inertia, drive_stiffness, drive_damping;
    float downshift_rpm, upshift_rpm, spare_rpm;
    const float *torque_closed, *torque_open;
};

// clang-format off
// Shared class values, so that each row reads as what is its own.
#define M450 4.735f, 5.46875f, 0.703125f, 0.5025f, 537.575f, 725.726f, 32, 2351.89f, 4166.21f, 650
#define M250 4.24f, 4.6875f, 0.703125f, 0.504375f, 510.696f, 698.848f, 30, 2217.5f, 4031.81f, 600
#define M125 3.65375f, 4.6875f, 0.739688f, 0.541875f, 510.696f, 698.848f, 30, 2217.5f, 4031.81f, 600
#define M50 3.34125f, 4.6875f, 0.703125f, 0.504375f, 510.696f, 698.848f, 30, 2217.5f, 4031.81f, 600
#define E450 0.00885f, 7500, 0.75f, 6000, 10500, 11000
#define E350 0.00684f, 7500, 0.75f, 6000, 10500, 13000
#define E250 0.00488281f, 7500, 0.75f, 8000, 12500, 13250
#define E125 0.00488281f, 7500, 0.75f, 9400, 12000, 12500
#define E50 0.00119358f, 1200, 1, 8000, 12500, 12500
#define RS50_GEARING 3.71429f, 12, 55, {3.09091f, 2, 1.5f, 1.2f, 1.04545f, 0.956522f}

static const ModelRow kModels[BIKE_MODEL_COUNT] = {
    // name, class, files, masses and springs, primary, sprockets, gears, engine, tables
    {"crf450(2011)", "450f", &kCrf450, M450, 2.74f, 13, 48, {1.85714f, 1.5f, 1.25f, 1.04762f, 0.91304f, -1}, E450, kClosed450, kOpenCrf4502011},
    {"kx450f(2011)", "450f", &kKx450f, M450, 2.77273f, 13, 50, {1.78571f, 1.47059f, 1.2381f, 1.04545f, 0.91667f, -1}, E450, kClosed450, kOpenKx450f2011},
    {"rmz450(2011)", "450f", &kRmz450, M450, 2.82609f, 13, 49, {1.78571f, 1.42857f, 1.2f, 1.04348f, 0.91304f, -1}, E450, kClosed450, kOpenRmz4502011},
    {"yz450f(2011)", "450f", &kYz450f, M450, 2.75f, 13, 48, {1.92857f, 1.625f, 1.35294f, 1.14286f, 1, -1}, E450, kClosed450, kOpenYz450f2011},
    {"450sxf(2011)", "450f", &k450sxf, M450, 2.81818f, 13, 48, {1.85714f, 1.5625f, 1.3125f, 1.11765f, 0.95238f, -1}, E450, kClosed450, kOpen450sxf2011},
    {"350sxf(2011)", "450f", &k350sxf, M450, 2.85f, 13, 50, {2, 1.6875f, 1.4f, 1.17647f, 1, -1}, E350, kClosed450, kOpen350sxf2011},
    {"crf250(2009)", "250f", &kCrf250, M250, 3.30435f, 13, 48, {2.35714f, 1.88235f, 1.52632f, 1.27273f, 1.08333f, -1}, E250, kClosed250, kOpenCrf2502009},
    {"crf250(2008)", "250f", &kCrf250, M250, 3.30435f, 13, 48, {2.35714f, 1.88235f, 1.52632f, 1.27273f, 1.08333f, -1}, E250, kClosed250, kOpenCrf2502008},
    {"crf250(2007)", "250f", &kCrf250, M250, 3.30435f, 13, 49, {2.35714f, 1.88235f, 1.52632f, 1.27273f, 1.08333f, -1}, E250, kClosed250, kOpenCrf2502007},
    {"kx250f(2009)", "250f", &kKx250f, M250, 3.35f, 13, 50, {2.14286f, 1.77778f, 1.5f, 1.27273f, 1.09091f, -1}, E250, kClosed250, kOpenKx250f2009},
    {"kx250f(2008)", "250f", &kKx250f, M250, 3.35f, 13, 50, {2.14286f, 1.77778f, 1.5f, 1.27273f, 1.09091f, -1}, E250, kClosed250, kOpenKx250f2008},
    {"kx250f(2007)", "250f", &kKx250f, M250, 3.35f, 13, 49, {2.14286f, 1.77778f, 1.5f, 1.27273f, 1.09091f, -1}, E250, kClosed250, kOpenKx250f2007},
    {"rmz250(2009)", "250f", &kRmz250, M250, 3.35f, 13, 49, {2.16667f, 1.8125f, 1.5f, 1.27273f, 1.08333f, -1}, E250, kClosed250, kOpenRmz2502009},
    {"rmz250(2008)", "250f", &kRmz250, M250, 3.35f, 13, 49, {2.16667f, 1.8125f, 1.5f, 1.27273f, 1.08333f, -1}, E250, kClosed250, kOpenRmz2502008},
    {"rmz250(2007)", "250f", &kRmz250, M250, 3.35f, 13, 48, {2.16667f, 1.8125f, 1.5f, 1.27273f, 1.08333f, -1}, E250, kClosed250, kOpenRmz2502007},
    {"yz250f(2009)", "250f", &kYz250f, M250, 3.35294f, 13, 48, {2.14286f, 1.75f, 1.45f, 1.22727f, 1.04167f, -1}, E250, kClosed250, kOpenYz250f2009},
    {"yz250f(2008)", "250f", &kYz250f, M250, 3.35294f, 13, 48, {2.14286f, 1.75f, 1.45f, 1.22727f, 1.04167f, -1}, E250, kClosed250, kOpenYz250f2008},
    {"yz250f(2007)", "250f", &kYz250f, M250, 3.35294f, 13, 49, {2.14286f, 1.75f, 1.45f, 1.22727f, 1.04167f, -1}, E250, kClosed250, kOpenYz250f2007},
    {"cr125", "125", &kCr125, M125, 3.29412f, 13, 50, {2.28571f, 1.76471f, 1.4f, 1.15f, 0.95833f, -1}, E125, kClosed125, kOpenCr125},
    {"kx125", "125", &kKx125, M125, 3.3125f, 13, 51, {2.38462f, 1.875f, 1.52941f, 1.27273f, 1.1f, 0.95652f}, E125, kClosed125, kOpenKx125},
    {"rm125", "125", &kRm125, M125, 3.25f, 13, 50, {2.33333f, 1.86667f, 1.52941f, 1.28571f, 1.10526f, 0.95652f}, E125, kClosed125, kOpenRm125},
    {"yz125", "125", &kYz125, M125, 3.38462f, 13, 50, {2.30769f, 1.8125f, 1.47368f, 1.2381f, 1.08696f, 0.95833f}, E125, kClosed125, kOpenYz125},
    {"125sx", "125", &k125sx, M125, 3.5f, 13, 50, {2.30769f, 1.875f, 1.5f, 1.25f, 1.04762f, 0.91304f}, E125, kClosed125, kOpen125sx},
    {"yz250f_se(2006)", "250f", &kYz250fSe, M250, 3.35294f, 13, 49, {2.14286f, 1.75f, 1.45f, 1.22727f, 1.04167f, -1}, E250, kClosed250, kOpenYz250fse2006},
    {"rs50cr", "50", &kCr125, M50, RS50_GEARING, E50, kClosed50, kOpenRs50},
    {"rs50kx", "50", &kKx125, M50, RS50_GEARING, E50, kClosed50, kOpenRs50},
    {"rs50rm", "50", &kRm125, M50, RS50_GEARING, E50, kClosed50, kOpenRs50},
    {"rs50yz", "50", &kYz125, M50, RS50_GEARING, E50, kClosed50, kOpenRs50},
};
// clang-format on

static BikeInfo model_record(const ModelRow &row) {
    BikeInfo b = base_record();
    b.name = row.name;
    b.class_name = row.class_name;
    b.files = *row.files;
    b.frame_mass = row.frame_mass;
    b.rider_mass = row.rider_mass;
    b.fork_mass = row.fork_mass;
    b.swingarm_mass = row.swingarm_mass;
    b.fork_spring_min = row.fork_spring_min, b.fork_spring_max = row.fork_spring_max;
    b.fork_rebound_damping = row.fork_rebound;
    b.shock_spring_min = row.shock_spring_min, b.shock_spring_max = row.shock_spring_max;
    b.shock_rebound_damping = row.shock_rebound;
    b.primary_ratio = row.primary_ratio;
    b.front_sprocket = row.front_sprocket, b.rear_sprocket = row.rear_sprocket;
    memcpy(b.gear_ratio, row.gear_ratio, sizeof b.gear_ratio);
    b.engine_inertia = row.engine_inertia;
    b.drive_stiffness = row.drive_stiffness, b.drive_damping = row.drive_damping;
    b.downshift_rpm = row.downshift_rpm, b.upshift_rpm = row.upshift_rpm;
    b.spare_rpm = row.spare_rpm;
    memcpy(b.torque_closed, row.torque_closed, sizeof b.torque_closed);
    memcpy(b.torque_open, row.torque_open, sizeof b.torque_open);
    return b;
}

struct Catalogue {
    BikeInfo records[BIKE_MODEL_COUNT];
};

static Catalogue build_catalogue() {
    Catalogue c;
    for (int i = 0; i < BIKE_MODEL_COUNT; i++) c.records[i] = model_record(kModels[i]);
    return c;
}

const BikeInfo *bike_catalogue() {
    static const Catalogue catalogue = build_catalogue();
    return catalogue.records;
}

const BikeInfo *find_bike_info(const char *name) {
    if (!name) return nullptr;
    const BikeInfo *records = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++)
        if (strcmp(records[i].name, name) == 0) return &records[i];
    return nullptr;
}

const BikeInfo *resolve_bike_info(const char *name, int *exact) {
    const BikeInfo *found = find_bike_info(name);
    if (exact) *exact = found != nullptr;
    if (found) return found;
    const char *pattern = name && strstr(name, "125") ? "125" : "250f";
    const BikeInfo *records = bike_catalogue();
    for (int i = 0; i < BIKE_MODEL_COUNT; i++)
        if (strstr(records[i].name, pattern)) return &records[i];
    return &records[0];
}

const BikeInfo *default_bike_info() {
    return find_bike_info("yz250f(2009)");
}

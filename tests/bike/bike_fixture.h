// Shared set-up of the bike tests: the physics world, the generated game data as the
// installation folder, a captured console, and pose and joint-error helpers.
#pragma once
#include "bike/bike.h"
#include "bike/bike_math.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// A fresh physics world per test, the game folder's data, and the console lines posted.
class BikeWorld : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A bike of the named model, freed at tear-down.
    Bike *make(const char *model);
    std::vector<Bike *> bikes_;
    int messages_at_start_ = 0;
};

// Console lines posted through the bike hooks since the last clear.
extern std::vector<std::string> g_posted;

// The largest separation, in feet, between what the six joints hold together.
double joint_error(const Bike *bike);
// Steps the world and the bike for the given number of ticks.
void run_ticks(Bike *bike, int ticks);
// The mass of one body.
double body_mass(const Bike *bike, int body);

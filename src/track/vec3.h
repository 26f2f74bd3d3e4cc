// The three-float vector shared by the terrain queries and their callers.
#pragma once

struct Vec3 {
    float x, y, z;
};

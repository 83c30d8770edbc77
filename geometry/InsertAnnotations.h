// InsertAnnotations.h - the process-wide record of the last insert made: its
// outline segment, its corner points and the ids of its leaders and dimensions.
#pragma once

#include <cstdint>

#include "host/VelLib.h"

struct InsertAnnotations {
    int32_t outlineSegment = 0;
    VelPoint lowerLeft{};
    VelPoint lowerRight{};
    VelPoint upperLeft{};
    VelPoint upperRight{};
    int32_t leaderUpLeft = 0;
    int32_t leaderUpRight = 0;
    int32_t leaderDownLeft = 0;
    int32_t leaderDownRight = 0;
    int32_t dimensionUp = 0;
    int32_t dimensionDown = 0;
    int32_t dimensionLeft = 0;
    int32_t dimensionRight = 0;
};

extern InsertAnnotations gInsertAnnotations;

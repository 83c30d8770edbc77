// FigureList.h - the figures an insert is built around, as the pick steps hand
// them to the geometry.
#pragma once

#include <cstdint>

#include "host/VelLib.h"

// Slots are used from 1 in pick order; slot 0 stays unused.
struct FigureList {
    static constexpr int kSlots = 1000;
    static constexpr int kMaxFigures = kSlots - 1;
    FigureRef slots[kSlots]{};
    int32_t count = 0;
};

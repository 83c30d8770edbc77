// PickRecords.h - what the pick steps hand to the geometry: figure lists, the
// retained list of the annotated method and the two-point pick rectangle.
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

struct PickRectangle {
    VelPoint firstCorner{};
    VelPoint secondCorner{};
    FigureRef rectangle{};  // instance 0, the temporary rectangle's segment
};

extern FigureList gRetainedFigures;
extern PickRectangle gPickRectangle;

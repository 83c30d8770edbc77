// PickRecords.h - what the pick steps keep between steps: the retained figure
// list of the annotated method and the two-point pick rectangle.
#pragma once

#include "geometry/FigureList.h"
#include "host/VelLib.h"

struct PickRectangle {
    VelPoint firstCorner{};
    VelPoint secondCorner{};
    FigureRef rectangle{};  // instance 0, the temporary rectangle's segment
};

extern FigureList gRetainedFigures;
extern PickRectangle gPickRectangle;

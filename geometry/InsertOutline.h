// InsertOutline.h - the insert outline: a closed rectangle around the picked
// figures, grown by a distance per side, with its corner treatments, layer,
// colour and line type from the current settings.
#pragma once

#include "geometry/FigureList.h"
#include "host/VelLib.h"

// The four corner points of an outline.
struct OutlineCorners {
    VelPoint lowerLeft{};
    VelPoint lowerRight{};
    VelPoint upperLeft{};
    VelPoint upperRight{};
};

// The four edges of a created outline: top, right, bottom, left.
struct OutlineEdges {
    int top = -1;     // upper-right to upper-left
    int right = -1;   // lower-right to upper-right
    int bottom = -1;  // lower-left to lower-right
    int left = -1;    // upper-left to lower-left
};

// Corner index as the settings and the annotations count them.
enum class OutlineCorner { UpperLeft = 1, UpperRight = 2, LowerLeft = 3, LowerRight = 4 };

// The corner points around the union of the list's extents, grown by the side
// distances and put through the precision rule. False when nothing of the list
// could be measured or the outline would have no positive width or height.
bool ComputeOutlineCorners(const FigureList& list, int count, OutlineCorners& corners);

// Creates the closed outline segment with its edges, line attributes and layer
// and records it as the last outline.
OutlineEdges CreateOutlineSegment(const OutlineCorners& corners);

// Cuts one corner of the outline as the settings say (nothing for a size of 0
// or less, or a kind other than corner R or chamfer).
void AddOutlineCorner(const OutlineEdges& edges, OutlineCorner corner);

// Builds an insert around the figures of slots 1 to count. False, creating
// nothing, when no outline can be made from them.
bool CreateInsertOutline(const FigureList& list, int count);

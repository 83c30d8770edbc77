// Measure.h - reading picked figures through the host: their extents (arcs and
// circles by their true extreme points), the union over a figure list, element
// neighbours with wrap-around, and the size of an equal-leg chamfer.
#pragma once

#include "geometry/FigureList.h"
#include "host/VelLib.h"

// Minimum x, minimum y, maximum x, maximum y. A fresh box holds the sentinels, so
// the first point measured sets all four values.
struct Extents {
    static constexpr double kSentinel = 10000000.0;
    double minX = kSentinel;
    double minY = kSentinel;
    double maxX = -kSentinel;
    double maxY = -kSentinel;
    bool anyPoint = false;  // set by the first point measured

    bool measured() const { return anyPoint; }
};

// Lengths and coordinates closer than this are equal: the host's own precision.
double CoincidenceTolerance();

// Adds the points of one figure segment to `extents`. Dimension and comment
// segments and segments with attribute 5 are passed over.
void MeasureFigure(const FigureRef& figure, Extents& extents);

// The union of the extents of slots 1 to count of the list.
Extents MeasureFigureList(const FigureList& list, int count);

// The element after / before `element` in its segment, wrapping round a closed
// segment. False (and `result` untouched) at the end of an open segment or when
// the segment has fewer than two elements.
bool NextElementWrapped(int element, int segment, int& result);
bool PrevElementWrapped(int element, int segment, int& result);

// The common leg of a chamfer element, measured from its neighbours' meeting
// ends. False, with `size` untouched, when the legs differ or cannot be read.
bool MeasureChamfer(const FigureRef& chamfer, double& size);

// FigureOps.h - the host's geometry rules on figure segments, as its library
// offers them: corners between lines, the direction an outline runs, offset
// outlines, moved/rotated/scaled copies and the point-on-arc test.
#pragma once

#include "vel/kernel/Drawing.h"
#include "vel/kernel/Geometry.h"

namespace vel {

// Adds a corner between two adjacent lines; returns the corner id or -1.
int addCorner(Drawing& d, int elementA, int elementB, int kind, double size);
int amendCorner(Drawing& d, int cornerId, double size);
int removeCorner(Drawing& d, int cornerId);
// 1 counter-clockwise, 2 clockwise, -1 open or degenerate.
int figureDirection(const Drawing& d, int segmentId);
// New closed segment offset by distance (positive: right of travel); -1 on failure.
int offsetSegment(Drawing& d, int segmentId, double distance);
// Moved by target - base, rotated and scaled about target; a copy unless inPlace.
int editSegment(Drawing& d, int segmentId, Point base, Point target, double angleDegrees,
                double scale, bool inPlace);
// 2 on the arc, 1 on its circle but off the arc, 0 elsewhere.
int pointOnArc(const FigureElement& arc, Point p);

}  // namespace vel

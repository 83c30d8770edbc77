// DrawnSegment.h - a segment as the host draws it: lines cut back to their
// corners, round corners and arcs as arcs, dimensions as their measure and
// extension lines, leaders as polylines; and the box that covers it.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "vel/kernel/Drawing.h"
#include "vel/kernel/Geometry.h"

namespace vel {

// The segment as drawn: corners cut, arcs and circles as such.
std::vector<Primitive> drawnPrimitives(const Drawing& d, const Segment& s);
// Drawn primitives of one element (dimension: its measure and extension lines;
// leader: its polyline).
std::vector<Primitive> drawnPrimitives(const Drawing& d, const Segment& s, int elementIndex);
// The segment's drawn primitives one at a time, in the order drawnPrimitives lists them, for
// whatever only sums them up: nothing is gathered.
void forEachDrawnPrimitive(const Drawing& d, const Segment& s,
                           const std::function<void(const Primitive&)>& visit);
// The same with a figure's arcs as the figure keeps them, their ends exact: for what is drawn or
// written from them, where angles would only be worked out to be turned back into points.
using DrawnPiece = std::variant<Line, ArcThrough, Circle, Point>;
void forEachDrawnPiece(const Drawing& d, const Segment& s, int elementIndex,
                       const std::function<void(const DrawnPiece&)>& visit);
// The one piece a figure element draws, without a visitor: a large drawing's figures are
// millions. None for an element that is no figure or a figure of no known type.
std::optional<DrawnPiece> drawnFigurePiece(const Segment& s, int elementIndex);
// What the segment's drawn primitives cover, those whose extents are not finite (which
// cannot be drawn) left out.
Extents drawnExtentsOf(const Drawing& d, const Segment& s);

// The box of each primitive the segment draws, with the size of the numbers its points are
// computed from (magnitudeOf): what an index of the drawing keeps of it.
void forEachDrawnBox(const Drawing& d, const Segment& s,
                     const std::function<void(const Extents& box, double magnitude)>& visit);

}  // namespace vel

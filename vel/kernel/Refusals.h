// Refusals.h - why the host refuses a call of the plug-in's, in plain words with the numbers
// that matter ("the offset of 3 inwards turns the 8 × 4 figure 12 inside out"): what a window
// says beside the plug-in's own fixed message. Each is worked out once a call has failed, from
// the same drawing the call saw. Each is empty when nothing is wrong.
#pragma once

#include <optional>
#include <string>

#include "host/VelLib.h"
#include "vel/kernel/Drawing.h"
#include "vel/kernel/Words.h"

namespace vel {

// A size or distance as a person writes it: "200", "1.5".
std::string plainNumber(double v);

// What is wrong with segment `id` for a call that wants one of `kind` (of any kind when none).
Words segmentRefusal(const Drawing& d, int id, std::optional<SegmentKind> kind = {});

// What a call wants element `id` to be.
enum class ElementWanted { Any, Figure, Corner, Dimension };
// What is wrong with element `id` for such a call.
Words elementRefusal(const Drawing& d, int id, ElementWanted wanted = ElementWanted::Any);

// Why the host does not make this figure: only lines, circles, arcs and points are made
// directly, of finite values, circles and arcs of a radius above 0.
Words figureRefusal(const FigureData* figure);

// Why the corner of `kind` (0 round, 1 chamfer) and `size` is not cut between two elements.
Words cornerRefusal(const Drawing& d, int elementA, int elementB, int kind, double size);
// Why the corner does not take the new size.
Words amendRefusal(const Drawing& d, int cornerId, double size);
// Why the figure has no direction.
Words directionRefusal(const Drawing& d, int segmentId);
// Why the figure is not offset by `distance` (positive: right of travel).
Words offsetRefusal(const Drawing& d, int segmentId, double distance);
// Why the segment is not moved, turned and scaled.
Words editRefusal(const Drawing& d, int segmentId, const VelPoint* base, const VelPoint* target,
                  double angleDegrees, double scale);

}  // namespace vel

// InsertOutline.h - the insert outline: a closed rectangle around the picked
// figures, grown by a distance per side, with its corner treatments, layer,
// colour and line type from the current settings. A creation is all or
// nothing: when the host refuses any part of it, what it made is deleted again.
#pragma once

#include <array>
#include <cstdint>

#include "geometry/FigureList.h"
#include "host/VelLib.h"

// The four corner points of an outline.
struct OutlineCorners {
    VelPoint lowerLeft{};
    VelPoint lowerRight{};
    VelPoint upperLeft{};
    VelPoint upperRight{};
};

// A created outline: its segment and its four edges.
struct OutlineEdges {
    int segment = -1;
    int top = -1;     // upper-right to upper-left
    int right = -1;   // lower-right to upper-right
    int bottom = -1;  // lower-left to lower-right
    int left = -1;    // upper-left to lower-left
};

// Corner index as the settings and the annotations count them.
enum class OutlineCorner { UpperLeft = 1, UpperRight = 2, LowerLeft = 3, LowerRight = 4 };

// The segments that one creation has made so far. Unless the creation is
// committed, they are deleted again when this goes out of scope, newest first,
// so that a creation the host refuses half way leaves the drawing as it was.
class CreatedSegments {
public:
    // An insert with its annotations: the outline, four leaders, four dimensions.
    static constexpr int kCapacity = 9;

    CreatedSegments() = default;
    CreatedSegments(const CreatedSegments&) = delete;
    CreatedSegments& operator=(const CreatedSegments&) = delete;
    ~CreatedSegments();

    // Keeps a segment the host made. False for the host's failure id, which is
    // never kept (and so never deleted), or when there is no room left.
    bool Keep(int segmentId);
    // The creation is complete: its segments stay in the drawing.
    void Commit() { count_ = 0; }

private:
    std::array<int32_t, kCapacity> ids_{};
    int count_ = 0;
};

// The corner points around the union of the list's extents, grown by the side
// distances and put through the precision rule. False when nothing of the list
// could be measured, or when the grown outline has no positive width or height,
// before the precision rule (which must never turn an outline inside out into
// a valid-looking one) or after it.
bool ComputeOutlineCorners(const FigureList& list, int count, OutlineCorners& corners);

// Creates the closed outline segment with its edges, line attributes and layer.
// False when the host refuses any of it; the segment is kept in `made` as soon
// as it exists.
bool CreateOutlineSegment(const OutlineCorners& corners, CreatedSegments& made,
                          OutlineEdges& edges);

// Cuts one corner of the outline as the settings say (nothing for a size of 0
// or less, or a kind other than corner R or chamfer). False when the host
// refuses the corner, for one too large for its edges.
bool AddOutlineCorner(const OutlineEdges& edges, OutlineCorner corner);

// Builds an insert around the figures of slots 1 to count and records its
// outline as the last one made. False, with the drawing and the record as they
// were, when no outline can be made from them or the host refuses a part of it.
bool CreateInsertOutline(const FigureList& list, int count);

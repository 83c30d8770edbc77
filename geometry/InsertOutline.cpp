// InsertOutline.cpp - the insert outline: corner points, precision rule, edges,
// layer rule and corner treatments.
#include "geometry/InsertOutline.h"

#include <cmath>

#include "geometry/InsertAnnotations.h"
#include "geometry/Measure.h"
#include "settings/InsertSettings.h"
#include "settings/Rounding.h"
#include "settings/TextConversions.h"

namespace {

// The side farther from the origin absorbs the rounding of width and height.
void ApplyPrecision(OutlineCorners& c, int places) {
    const VelPoint origin{0.0, 0.0};
    const double toUpperLeft = VelAriLen2Pnts(&origin, &c.upperLeft);
    const double toLowerLeft = VelAriLen2Pnts(&origin, &c.lowerLeft);
    const double toLowerRight = VelAriLen2Pnts(&origin, &c.lowerRight);

    const double width = RoundToPlaces(std::fabs(c.lowerRight.x - c.lowerLeft.x), places);
    if (toLowerRight > toLowerLeft) {
        c.upperRight.x = c.lowerRight.x = c.lowerLeft.x + width;
    } else {
        c.upperLeft.x = c.lowerLeft.x = c.lowerRight.x - width;
    }
    const double height = RoundToPlaces(std::fabs(c.upperRight.y - c.lowerRight.y), places);
    if (toLowerLeft > toUpperLeft) {
        c.lowerRight.y = c.lowerLeft.y = c.upperLeft.y - height;
    } else {
        c.upperRight.y = c.upperLeft.y = c.lowerLeft.y + height;
    }
}

FigureData Edge(VelPoint from, VelPoint to) {
    FigureData f{};
    f.type = VEL_FIG_LINE;
    f.values[0] = from.x;
    f.values[1] = from.y;
    f.values[2] = to.x;
    f.values[3] = to.y;
    return f;
}

}  // namespace

CreatedSegments::~CreatedSegments() {
    while (count_ > 0) VelSgmDeleteSegment(ids_[--count_]);
}

bool CreatedSegments::Keep(int segmentId) {
    if (segmentId == -1 || count_ == kCapacity) return false;
    ids_[count_++] = segmentId;
    return true;
}

bool ComputeOutlineCorners(const FigureList& list, int count, OutlineCorners& corners) {
    const InsertSettings& s = gInsertSettings;
    const Extents e = MeasureFigureList(list, count);
    // A list of which nothing could be measured still holds the sentinels; an
    // outline built from them would be inside out and twenty million units wide.
    if (!e.measured()) return false;

    OutlineCorners c;
    c.lowerLeft = {e.minX - s.mDisLeft, e.minY - s.mDisDown};
    c.lowerRight = {e.maxX + s.mDisRight, e.minY - s.mDisDown};
    c.upperLeft = {e.minX - s.mDisLeft, e.maxY + s.mDisUp};
    c.upperRight = {e.maxX + s.mDisRight, e.maxY + s.mDisUp};
    auto hasArea = [](const OutlineCorners& o) {
        const double width = o.lowerRight.x - o.lowerLeft.x;
        const double height = o.upperLeft.y - o.lowerLeft.y;
        return width > 0.0 && height > 0.0 && std::isfinite(width) && std::isfinite(height);
    };
    // The precision rule takes the absolute width and height, so it would turn
    // sides that crossed each other into an outline of the right size in the
    // wrong place: an outline must have an area before the rule, too.
    if (!hasArea(c)) return false;
    if (s.mIsLimit != 0) ApplyPrecision(c, s.mLimit);
    if (!hasArea(c)) return false;
    corners = c;
    return true;
}

bool CreateOutlineSegment(const OutlineCorners& c, CreatedSegments& made, OutlineEdges& edges) {
    const InsertSettings& s = gInsertSettings;
    const LineAttributes attributes{s.Color, s.LType, 0};
    // An edge the host made, with the insert's line attributes when they apply.
    auto styled = [&](int element) {
        if (element == -1) return false;
        return s.mIsCurColor != 0 || VelFigSetLineType(element, &attributes) != -1;
    };

    edges.segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    if (!made.Keep(edges.segment)) return false;
    FigureData edge = Edge(c.upperRight, c.upperLeft);
    if (!styled(edges.top = VelFigCreateFigure(edges.segment, &edge))) return false;
    edge = Edge(c.lowerRight, c.upperRight);
    if (!styled(edges.right = VelFigInsertFigure(edges.top, &edge))) return false;
    edge = Edge(c.lowerLeft, c.lowerRight);
    if (!styled(edges.bottom = VelFigInsertFigure(edges.right, &edge))) return false;
    edge = Edge(c.upperLeft, c.lowerLeft);
    if (!styled(edges.left = VelFigInsertFigure(edges.bottom, &edge))) return false;
    if (VelFigSetClosed(edges.segment, 1) == -1) return false;

    if (s.mIsCurLayer == 0) {
        // Layer 0, or a text without digits, leaves the outline on the current layer.
        const int layer = TextToInt(s.mLayer);
        if (layer != 0 && VelSgmChangeLayer(edges.segment, layer) == -1) return false;
    }
    return true;
}

bool AddOutlineCorner(const OutlineEdges& edges, OutlineCorner corner) {
    const InsertSettings& s = gInsertSettings;
    double size = 0.0;
    int kind = 0;
    int starting = -1;  // the edge that starts at the corner
    int ending = -1;    // the edge that ends there
    switch (corner) {
        case OutlineCorner::UpperLeft:
            size = s.mValueUpLeft, kind = s.mUpLeft, starting = edges.left, ending = edges.top;
            break;
        case OutlineCorner::UpperRight:
            size = s.mValueUpRight, kind = s.mUpRight, starting = edges.top, ending = edges.right;
            break;
        case OutlineCorner::LowerLeft:
            size = s.mValueDownLeft, kind = s.mDownLeft, starting = edges.bottom,
            ending = edges.left;
            break;
        case OutlineCorner::LowerRight:
            size = s.mValueDownRight, kind = s.mDownRight, starting = edges.right,
            ending = edges.bottom;
            break;
    }
    // Settings kinds 1 (corner R) and 2 (chamfer) are the host's kinds 0 and 1.
    if (!(size > 0.0 && (kind == 1 || kind == 2))) return true;
    return VelFigAddCorner(starting, ending, kind - 1, size) != -1;
}

bool CreateInsertOutline(const FigureList& list, int count) {
    OutlineCorners corners;
    if (!ComputeOutlineCorners(list, count, corners)) return false;
    CreatedSegments made;
    OutlineEdges edges;
    if (!CreateOutlineSegment(corners, made, edges)) return false;
    for (OutlineCorner corner : {OutlineCorner::UpperLeft, OutlineCorner::UpperRight,
                                 OutlineCorner::LowerLeft, OutlineCorner::LowerRight})
        if (!AddOutlineCorner(edges, corner)) return false;
    made.Commit();
    gInsertAnnotations.outlineSegment = edges.segment;
    return true;
}

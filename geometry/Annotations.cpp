// Annotations.cpp - corner leaders, side dimensions and the annotated insert.
#include "geometry/Annotations.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "settings/InsertSettings.h"
#include "settings/TextConversions.h"

namespace {

// Computed where it is used, so no static initialisation order can see it unset.
double Pi() {
    return 4.0 * std::atan(1.0);
}

// How far a leader reaches out from its corner, in drawing units.
constexpr double kLeaderLength = 5.0;

VelRecordPoint RecordPoint(VelPoint p) {
    VelRecordPoint r{};
    r.x = p.x;
    r.y = p.y;
    return r;
}

}  // namespace

std::u16string CornerLeaderText(double size, int kind) {
    if (size == 0.0) return u"NONE";
    switch (kind) {
        case 0:
            return u"NONE";
        case 1:
            return u"R" + OneDecimalText(size);
        case 2:
            return u"C" + OneDecimalText(size);
        default:
            return u"";
    }
}

int CreateCornerLeader(const InsertAnnotations& a, int corner, CreatedSegments& made) {
    const InsertSettings& s = gInsertSettings;
    const double pi = Pi();
    const int segment = VelSgmCreateSegment(VEL_SEG_COMMENT, 0);
    if (!made.Keep(segment)) return -1;

    VelPoint p{};
    double size = 0.0, angle = 0.0;
    int kind = 0;
    switch (corner) {
        case 1:
            p = a.upperLeft, size = s.mValueUpLeft, kind = s.mUpLeft, angle = pi * 0.75;
            break;
        case 2:
            p = a.upperRight, size = s.mValueUpRight, kind = s.mUpRight, angle = pi * 0.25;
            break;
        case 3:
            p = a.lowerLeft, size = s.mValueDownLeft, kind = s.mDownLeft, angle = pi + pi * 0.25;
            break;
        default:
            p = a.lowerRight, size = s.mValueDownRight, kind = s.mDownRight,
            angle = pi * 0.5 + pi + pi * 0.25;
            break;
    }
    const VelPoint q{std::cos(angle) * kLeaderLength + p.x, std::sin(angle) * kLeaderLength + p.y};
    const std::u16string text = CornerLeaderText(size, kind);

    LeaderData data{};
    data.kind = 35;
    data.points[0] = RecordPoint(p);
    data.points[1].x = q.x;
    data.points[1].y = q.y;
    data.points[2] = RecordPoint(q);
    data.text = text.c_str();
    data.textFlag = 1;
    data.arrow = {4, 0, 3.0, 2.0};
    data.direction = q.x > p.x ? 0.0 : 180.0;
    return VelCmtCreateLeader(segment, &data);
}

int CreateSideDimension(const InsertAnnotations& a, int side, CreatedSegments& made) {
    const InsertSettings& s = gInsertSettings;
    const double pi = Pi();
    const int segment = VelSgmCreateSegment(VEL_SEG_DIMENSION, 0);
    if (!made.Keep(segment)) return -1;

    // Along the side from its start corner to the middle, then inward by the side distance.
    auto along = [](VelPoint from, double length, double angle) {
        return VelPoint{std::cos(angle) * length + from.x, std::sin(angle) * length + from.y};
    };
    VelPoint pa{}, pb{};
    double direction = 0.0;
    switch (side) {
        case 1: {
            const double length = VelAriLen2Pnts(&a.upperLeft, &a.upperRight);
            const VelPoint m = along(a.upperLeft, length / 2, 0.0);
            pa = along(m, s.mDisUp, pi * 1.5), pb = m, direction = 90.0;
            break;
        }
        case 2: {
            const double length = VelAriLen2Pnts(&a.lowerLeft, &a.lowerRight);
            const VelPoint m = along(a.lowerLeft, length / 2, 0.0);
            pa = m, pb = along(m, s.mDisDown, pi * 0.5), direction = 90.0;
            break;
        }
        case 3: {
            const double length = VelAriLen2Pnts(&a.lowerLeft, &a.upperLeft);
            const VelPoint m = along(a.lowerLeft, length / 2, pi * 0.5);
            pa = m, pb = along(m, s.mDisLeft, 0.0), direction = 0.0;
            break;
        }
        default: {
            const double length = VelAriLen2Pnts(&a.lowerRight, &a.upperRight);
            const VelPoint m = along(a.lowerRight, length / 2, pi * 0.5);
            pa = along(m, s.mDisRight, pi), pb = m, direction = 0.0;
            break;
        }
    }

    LengthDimensionData data{};
    data.a = RecordPoint(pa);
    data.b = RecordPoint(pb);
    data.value72 = 0.0;
    data.flag80 = 1;
    data.direction = direction;
    data.flag96 = 0;
    data.value104 = 0.0;
    const int id = VelDimCreateLineLength(segment, &data);
    if (id == -1 || VelDimSetDecimalPlace(id, 1) == -1) return -1;
    const ArrowData arrow{4, 0, 0.8, 1.0};
    return VelDimSetArrow(id, 0, &arrow) == -1 ? -1 : id;
}

bool CreateAnnotatedInsert(const FigureList& list, int count) {
    if (count < 1) return false;
    OutlineCorners corners;
    if (!ComputeOutlineCorners(list, count, corners)) return false;
    // Built aside and recorded only when whole: until then the record still
    // names the insert that a rebuild replaces.
    InsertAnnotations next;
    next.lowerLeft = corners.lowerLeft;
    next.lowerRight = corners.lowerRight;
    next.upperLeft = corners.upperLeft;
    next.upperRight = corners.upperRight;

    CreatedSegments made;
    OutlineEdges edges;
    if (!CreateOutlineSegment(corners, made, edges)) return false;
    next.outlineSegment = edges.segment;

    // Corner and leader alternate, upper-left to lower-right.
    struct CornerLeader {
        OutlineCorner corner;
        int32_t InsertAnnotations::*leader;
    };
    const CornerLeader cornerLeaders[] = {
        {OutlineCorner::UpperLeft, &InsertAnnotations::leaderUpLeft},
        {OutlineCorner::UpperRight, &InsertAnnotations::leaderUpRight},
        {OutlineCorner::LowerLeft, &InsertAnnotations::leaderDownLeft},
        {OutlineCorner::LowerRight, &InsertAnnotations::leaderDownRight}};
    for (const CornerLeader& c : cornerLeaders) {
        if (!AddOutlineCorner(edges, c.corner)) return false;
        next.*c.leader = CreateCornerLeader(next, static_cast<int>(c.corner), made);
        if (next.*c.leader == -1) return false;
    }
    int32_t InsertAnnotations::*const dimensions[] = {
        &InsertAnnotations::dimensionUp, &InsertAnnotations::dimensionDown,
        &InsertAnnotations::dimensionLeft, &InsertAnnotations::dimensionRight};
    for (int side = 1; side <= 4; ++side) {
        next.*dimensions[side - 1] = CreateSideDimension(next, side, made);
        if (next.*dimensions[side - 1] == -1) return false;
    }
    made.Commit();
    gInsertAnnotations = next;
    return true;
}

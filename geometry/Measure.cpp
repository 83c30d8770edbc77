// Measure.cpp - extents of picked figures, element neighbours and chamfer sizes.
#include "geometry/Measure.h"

#include <cmath>
#include <vector>

namespace {

// A segment of up to this many elements is read in one call into a buffer kept
// from call to call; a longer one is read whole into a buffer of its own size.
constexpr int kOneReadElements = 1000;

// The first point sets all four values rather than being compared with the
// sentinels, so a figure lying beyond them is still measured right.
void AddPoint(Extents& e, double x, double y) {
    if (!e.anyPoint) {
        e.minX = e.maxX = x;
        e.minY = e.maxY = y;
        e.anyPoint = true;
        return;
    }
    if (e.minX > x) e.minX = x;
    if (x > e.maxX) e.maxX = x;
    if (e.minY > y) e.minY = y;
    if (y > e.maxY) e.maxY = y;
}

void AddFigure(const FigureData& f, Extents& e) {
    const double* v = f.values;
    switch (f.type) {
        case VEL_FIG_LINE:
            AddPoint(e, v[0], v[1]);
            AddPoint(e, v[2], v[3]);
            break;
        case VEL_FIG_CIRCLE: {
            const double cx = v[0], cy = v[1], r = v[2];
            AddPoint(e, cx - r, cy - r);
            AddPoint(e, cx + r, cy + r);
            break;
        }
        case VEL_FIG_ARC: {
            AddPoint(e, v[2], v[3]);
            AddPoint(e, v[4], v[5]);
            const double cx = v[0], cy = v[1], r = v[6];
            const VelPoint extremes[4] = {{cx - r, cy}, {cx + r, cy}, {cx, cy - r}, {cx, cy + r}};
            for (const VelPoint& p : extremes)
                if (VelAriOnchkArc(&f, &p) == 2) AddPoint(e, p.x, p.y);
            break;
        }
        case VEL_FIG_POINT:
            AddPoint(e, v[0], v[1]);
            break;
        default:
            break;
    }
}

bool ReadFigure(int32_t instance, int element, FigureData& out) {
    FigureBuffer buffer{};
    const FigureRef ref{instance, element};
    if (VelFigGetFigure(&ref, &buffer) != 0) return false;
    out = buffer.figure;
    return true;
}

}  // namespace

double CoincidenceTolerance() {
    return 1.0 / std::pow(10.0, 6);
}

void MeasureFigure(const FigureRef& figure, Extents& extents) {
    if (VelSgmGetType(figure.id) != VEL_SEG_FIGURE) return;
    if (VelSgmHasAttribute(figure.id, 5)) return;
    static std::vector<FigureData> records(kOneReadElements);
    int count = VelFigGetFigure2(&figure, records.data(), kOneReadElements);
    if (count == kOneReadElements) {
        // A full buffer may hide more: a figure is measured whole, or an insert
        // would cut through a long polyline.
        const int total = VelSgmGetElementCount(figure.id);
        if (total > kOneReadElements) {
            std::vector<FigureData> all(static_cast<size_t>(total));
            count = VelFigGetFigure2(&figure, all.data(), total);
            for (int i = 0; i < count && i < total; ++i) AddFigure(all[i], extents);
            return;
        }
    }
    for (int i = 0; i < count && i < kOneReadElements; ++i) AddFigure(records[i], extents);
}

Extents MeasureFigureList(const FigureList& list, int count) {
    Extents result;
    if (count < 1) return result;
    if (count > FigureList::kMaxFigures) count = FigureList::kMaxFigures;
    MeasureFigure(list.slots[1], result);
    for (int i = 2; i <= count; ++i) {
        Extents one;
        MeasureFigure(list.slots[i], one);
        if (!one.anyPoint) continue;
        if (!result.anyPoint) {
            result = one;
            continue;
        }
        if (result.minX > one.minX) result.minX = one.minX;
        if (result.minY > one.minY) result.minY = one.minY;
        if (one.maxX > result.maxX) result.maxX = one.maxX;
        if (one.maxY > result.maxY) result.maxY = one.maxY;
    }
    return result;
}

namespace {

// One step along the segment; at the end of a closed segment the walk wraps to
// the element at the other end.
bool StepWrapped(int element, int segment, int (*step)(int), int (*otherEnd)(int),
                 int& result) {
    if (VelSgmGetElementCount(segment) < 2) return false;
    int neighbour = step(element);
    if (VelFigIsClosed(segment) && neighbour == -1) {
        neighbour = otherEnd(segment);
        if (neighbour == -1) return false;
    }
    if (neighbour == -1) return false;
    result = neighbour;
    return true;
}

}  // namespace

bool NextElementWrapped(int element, int segment, int& result) {
    return StepWrapped(element, segment, VelElmGetNextElementId, VelSgmGetHeadElementId, result);
}

bool PrevElementWrapped(int element, int segment, int& result) {
    return StepWrapped(element, segment, VelElmGetPrevElementId, VelSgmGetTailElementId, result);
}

bool MeasureChamfer(const FigureRef& chamfer, double& size) {
    FigureData corner{};
    if (!ReadFigure(chamfer.instanceId, chamfer.id, corner) || corner.type != VEL_FIG_CHAMFER)
        return false;

    int segment = VelElmGetSegment(chamfer.id);
    if (segment == -1) return false;
    int prev = 0;
    if (!PrevElementWrapped(chamfer.id, segment, prev)) return false;
    FigureData before{};
    if (!ReadFigure(chamfer.instanceId, prev, before)) return false;
    VelPoint p1;
    if (before.type == VEL_FIG_LINE)
        p1 = {before.values[2], before.values[3]};
    else if (before.type == VEL_FIG_ARC)
        p1 = {before.values[4], before.values[5]};
    else
        return false;

    segment = VelElmGetSegment(chamfer.id);
    int next = 0;
    if (segment == -1 || !NextElementWrapped(chamfer.id, segment, next)) return false;
    FigureData after{};
    if (!ReadFigure(chamfer.instanceId, next, after)) return false;
    VelPoint p2;
    if (after.type == VEL_FIG_LINE)
        p2 = {after.values[0], after.values[1]};
    else if (after.type == VEL_FIG_ARC)
        p2 = {after.values[2], after.values[3]};
    else
        return false;

    const VelPoint c1{corner.values[0], corner.values[1]};
    const VelPoint c2{corner.values[2], corner.values[3]};
    const double d1 = VelAriLen2Pnts(&p1, &c1);
    const double d2 = VelAriLen2Pnts(&p2, &c2);
    if (!(std::fabs(d1 - d2) < CoincidenceTolerance())) return false;
    size = d1;
    return true;
}

// FigureCorners.cpp - round corners and chamfers between two adjacent lines of a
// figure segment: fitting one to the lines and the corners beyond them, adding,
// resizing and removing it.
#include <algorithm>
#include <cmath>
#include <optional>

#include "vel/kernel/FigureOps.h"
#include "vel/kernel/FigureShape.h"

namespace vel {

using namespace shape;

namespace {

// Corner kinds as the host library numbers them.
constexpr int kRoundCorner = 0;
constexpr int kChamferCorner = 1;

// The corner between the line `pre` and the line `post` that follows it, or
// nothing when it cannot be made: parallel or degenerate lines, or a tangent or
// cut point beyond the far end of a line or beyond the corner already there.
std::optional<FigureElement> fitCorner(const Segment& s, int pre, int post, FigureType type,
                                       double size) {
    if (!std::isfinite(size) || !(size > 0.0) || pre == post) return std::nullopt;
    const FigureElement* a = lineAt(s, pre);
    const FigureElement* b = lineAt(s, post);
    if (!a || !b) return std::nullopt;
    const Line la = lineOf(*a), lb = lineOf(*b);
    if (!(distance(la.start, la.end) > kCoincidence) ||
        !(distance(lb.start, lb.end) > kCoincidence))
        return std::nullopt;
    const std::optional<Point> vertex = intersect(la, lb);
    if (!vertex) return std::nullopt;
    const Point v = *vertex;

    // Each line runs from the vertex towards its far end; the corner at that end,
    // if any, bounds how far the new one may reach.
    auto reach = [&](const Line& l, int cornerIndex, bool followingPoint, Point& unit) {
        const Point far = distance(l.start, v) > distance(l.end, v) ? l.start : l.end;
        unit = normalized(far - v);
        double limit = dot(far - v, unit);
        if (const FigureElement* c = cornerAt(s, cornerIndex)) {
            const Point q = followingPoint ? cornerFollowingPoint(*c) : cornerPrecedingPoint(*c);
            limit = std::min(limit, dot(q - v, unit));
        }
        return limit;
    };
    Point ua, ub;
    const double limitA = reach(la, neighbourElement(s, pre, -1, s.closed), true, ua);
    const double limitB = reach(lb, neighbourElement(s, post, 1, s.closed), false, ub);
    const double sine = std::fabs(cross(ua, ub));
    if (!(sine > kParallelSine)) return std::nullopt;
    const double half = 0.5 * std::atan2(sine, dot(ua, ub));

    FigureElement corner;
    corner.type = type;
    double tangent = size;
    if (type == FigureType::CornerR) {
        tangent = size / std::tan(half);
        setPoint(corner, 0, v + normalized(ua + ub) * (size / std::sin(half)));
        corner.values[6] = size;
    }
    if (!(tangent <= limitA + kCoincidence) || !(tangent <= limitB + kCoincidence))
        return std::nullopt;
    const Point p = v + ua * tangent, q = v + ub * tangent;
    const int first = type == FigureType::CornerR ? 2 : 0;
    setPoint(corner, first, p);
    setPoint(corner, first + 2, q);
    for (double value : corner.values)
        if (!std::isfinite(value)) return std::nullopt;
    return corner;
}

}  // namespace

int addCorner(Drawing& d, int elementA, int elementB, int kind, double size) {
    if (kind != kRoundCorner && kind != kChamferCorner) return -1;
    Segment* s = d.segmentOfElement(elementA);
    if (!s || s->kind != SegmentKind::Figure || d.segmentOfElement(elementB) != s) return -1;
    const int ia = d.elementIndex(elementA), ib = d.elementIndex(elementB);
    int pre = -1, post = -1;
    if (neighbourElement(*s, ia, 1, s->closed) == ib) {
        pre = ia;
        post = ib;
    } else if (neighbourElement(*s, ib, 1, s->closed) == ia) {
        pre = ib;
        post = ia;
    } else {
        return -1;
    }
    const FigureType type = kind == kRoundCorner ? FigureType::CornerR : FigureType::Chamfer;
    const std::optional<FigureElement> corner = fitCorner(*s, pre, post, type, size);
    if (!corner) return -1;
    const int last = static_cast<int>(s->elements.size()) - 1;
    if (pre == last && post == 0) return d.appendElement(s->id, *corner);
    return d.insertElementBefore(s->elements[post].id, *corner);
}

int amendCorner(Drawing& d, int cornerId, double size) {
    Segment* s = d.segmentOfElement(cornerId);
    if (!s) return -1;
    const int at = d.elementIndex(cornerId);
    const FigureElement* c = cornerAt(*s, at);
    if (!c) return -1;
    const int pre = neighbourElement(*s, at, -1, s->closed);
    const int post = neighbourElement(*s, at, 1, s->closed);
    const std::optional<FigureElement> fitted = fitCorner(*s, pre, post, c->type, size);
    if (!fitted) return -1;
    *s->elements[at].figure() = *fitted;
    return 0;
}

int removeCorner(Drawing& d, int cornerId) {
    const Segment* s = d.segmentOfElement(cornerId);
    if (!s || !cornerAt(*s, d.elementIndex(cornerId))) return -1;
    return d.eraseElement(cornerId) ? 0 : -1;
}

}  // namespace vel

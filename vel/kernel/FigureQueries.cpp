// FigureQueries.cpp - what the host answers about figures without changing them:
// the direction a closed outline runs, and whether a point lies on an arc.
#include <algorithm>
#include <cmath>
#include <utility>
#include <variant>
#include <vector>

#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"
#include "vel/kernel/FigureShape.h"

namespace vel {

using namespace shape;

namespace {

struct Piece {
    Point from, to;
    double bulge = 0.0;  // signed area between the chord and the arc, left of travel positive
};

Piece pieceOf(const Primitive& p, bool reversed) {
    Piece piece;
    if (const Line* l = std::get_if<Line>(&p)) {
        piece = {l->start, l->end, 0.0};
    } else if (const Arc* a = std::get_if<Arc>(&p)) {
        const double sweep = a->sweep();
        piece = {a->start(), a->end(), 0.5 * a->radius * a->radius * (sweep - std::sin(sweep))};
    }
    if (reversed) {
        std::swap(piece.from, piece.to);
        piece.bulge = -piece.bulge;
    }
    return piece;
}

Point startOf(const Primitive& p) {
    if (const Line* l = std::get_if<Line>(&p)) return l->start;
    return std::get<Arc>(p).start();
}
Point endOf(const Primitive& p) {
    if (const Line* l = std::get_if<Line>(&p)) return l->end;
    return std::get<Arc>(p).end();
}

// A measure of the counter-clockwise turn from u to v in [0, 4) that grows with
// the angle: enough to compare turns without any trigonometry, which matters
// because measuring an arc asks this four times.
double ccwTurn(Point u, Point v) {
    const double x = dot(u, v);
    const double y = cross(u, v);
    const double sum = std::fabs(x) + std::fabs(y);
    if (sum == 0.0) return 0.0;
    const double t = y / sum;
    if (x < 0.0) return 2.0 - t;
    return y < 0.0 ? 4.0 + t : t;
}

}  // namespace

int figureDirection(const Drawing& d, int segmentId) {
    const Segment* s = d.segment(segmentId);
    if (!s || s->kind != SegmentKind::Figure || !s->closed || s->elements.empty()) return -1;
    const std::vector<Primitive> prims = drawnPrimitives(d, *s);
    for (const Primitive& p : prims)
        if (!std::holds_alternative<Line>(p) && !std::holds_alternative<Arc>(p)) return -1;
    if (prims.empty()) return -1;

    // Round corners on right turns are drawn backwards, and elements may be stored
    // either way round, so each piece is turned to start where the last one ended.
    std::vector<Piece> pieces;
    bool firstReversed = false;
    if (prims.size() > 1) {
        const Point ns = startOf(prims[1]), ne = endOf(prims[1]);
        const Point s0 = startOf(prims[0]), e0 = endOf(prims[0]);
        const double fromStart = std::min(distance(s0, ns), distance(s0, ne));
        const double fromEnd = std::min(distance(e0, ns), distance(e0, ne));
        // Both ends may touch the next piece (a two-piece outline); then the
        // first piece keeps its own direction.
        firstReversed = fromStart + kCoincidence < fromEnd;
    }
    pieces.push_back(pieceOf(prims[0], firstReversed));
    for (size_t k = 1; k < prims.size(); ++k) {
        const Point last = pieces.back().to;
        pieces.push_back(
            pieceOf(prims[k], distance(endOf(prims[k]), last) < distance(startOf(prims[k]), last)));
    }

    double area = 0.0;
    for (const Piece& p : pieces) area += 0.5 * cross(p.from, p.to) + p.bulge;
    area += 0.5 * cross(pieces.back().to, pieces.front().from);

    const Extents box = extentsOf(prims);
    const double scale2 = box.width() * box.width() + box.height() * box.height();
    if (!std::isfinite(area) ||
        std::fabs(area) <= std::max(1e-10 * scale2, kCoincidence * kCoincidence))
        return -1;
    return area > 0.0 ? 1 : 2;
}

int pointOnArc(const FigureElement& arc, Point p) {
    if (arc.type == FigureType::Circle) {
        const double r = arc.values[2];
        return std::fabs(distance(p, pointAt(arc, 0)) - r) < kCoincidence ? 2 : 0;
    }
    if (arc.type != FigureType::Arc) return 0;
    // Plain square roots rather than hypot: this runs for every extreme point of
    // every arc measured, and coordinates never come near overflow.
    const Point c = pointAt(arc, 0);
    const double r = arc.values[6];
    const Point fromCentre = p - c;
    if (!(std::fabs(std::sqrt(dot(fromCentre, fromCentre)) - r) < kCoincidence)) return 0;
    const Point start = pointAt(arc, 2);
    const Point end = pointAt(arc, 4);
    const double tolerance2 = kCoincidence * kCoincidence;
    if (dot(p - start, p - start) < tolerance2 || dot(p - end, p - end) < tolerance2) return 2;
    const double sweep = ccwTurn(start - c, end - c);
    if (sweep == 0.0) return 2;  // start and end coincide: a whole turn
    return ccwTurn(start - c, p - c) <= sweep ? 2 : 1;
}

}  // namespace vel

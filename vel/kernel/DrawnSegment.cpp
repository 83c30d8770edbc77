// DrawnSegment.cpp - the primitives each element of a segment draws, one at a
// time, and what the spatial index, the window and the files gather from them.
#include "vel/kernel/DrawnSegment.h"

#include <cmath>
#include <variant>

#include "vel/kernel/FigureShape.h"

namespace vel {

using namespace shape;

namespace {

// How a figure's arc is handed on: as a primitive, with its angles, or as the figure keeps it.
enum class Arcs { Angles, Kept };

// A figure element draws one primitive (none when its type is unknown).
template <Arcs kind, typename Visit>
void figurePrimitives(const Segment& s, int i, Visit&& visit) {
    const auto arcThrough = [&](Point centre, double radius, Point from, Point to) {
        const ArcThrough arc{centre, radius, from, to};
        if constexpr (kind == Arcs::Kept) {
            visit(arc);
        } else {
            visit(arc.arc());
        }
    };
    const FigureElement& f = *figureAt(s, i);
    switch (f.type) {
        case FigureType::Line:
            return visit(trimmedLine(s, i));
        case FigureType::Circle:
            return visit(Circle{pointAt(f, 0), f.values[2]});
        case FigureType::Arc:
            return arcThrough(pointAt(f, 0), f.values[6], pointAt(f, 2), pointAt(f, 4));
        case FigureType::CornerR: {
            const Point c = pointAt(f, 0), p = pointAt(f, 2), q = pointAt(f, 4);
            // A round corner sweeps less than a half turn, so the side of the turn
            // is the sign of the cross product of its two radii.
            if (cross(p - c, q - c) >= 0.0) return arcThrough(c, f.values[6], p, q);
            return arcThrough(c, f.values[6], q, p);
        }
        case FigureType::Chamfer:
            return visit(Line{pointAt(f, 0), pointAt(f, 2)});
        case FigureType::Point:
            return visit(pointAt(f, 0));
    }
}

// A length dimension is drawn as its measure line from a along the measuring
// direction to the foot of b, plus the extension line from b to that foot
// (direction 90: a to (a.x, b.y) and b to (a.x, b.y)). Zero-length pieces are
// left out; a dimension measuring nothing shows as the point a.
template <typename Visit>
void dimensionPrimitives(const DimensionElement& dim, Visit&& visit) {
    const Point u = unitAt(dim.direction);
    const Point foot = dim.a + u * dot(dim.b - dim.a, u);
    const bool measure = distance(dim.a, foot) > kCoincidence;
    const bool extension = distance(dim.b, foot) > kCoincidence;
    if (measure) visit(Line{dim.a, foot});
    if (extension) visit(Line{dim.b, foot});
    if (!measure && !extension) visit(dim.a);
}

template <typename Visit>
void leaderPrimitives(const LeaderElement& leader, Visit&& visit) {
    if (leader.points.size() == 1) visit(leader.points.front());
    for (size_t k = 1; k < leader.points.size(); ++k)
        visit(Line{leader.points[k - 1], leader.points[k]});
}

// The drawn primitives of one element, one at a time.
template <Arcs kind = Arcs::Angles, typename Visit>
void elementPrimitives(const Segment& s, int i, Visit&& visit) {
    const ElementBody& body = s.elements[i].body;
    if (std::holds_alternative<FigureElement>(body)) return figurePrimitives<kind>(s, i, visit);
    if (const DimensionElement* dim = std::get_if<DimensionElement>(&body))
        return dimensionPrimitives(*dim, visit);
    leaderPrimitives(std::get<LeaderElement>(body), visit);
}

}  // namespace

std::vector<Primitive> drawnPrimitives(const Drawing& d, const Segment& s, int elementIndex) {
    (void)d;
    std::vector<Primitive> out;
    if (elementIndex < 0 || elementIndex >= static_cast<int>(s.elements.size())) return out;
    elementPrimitives(s, elementIndex, [&](const Primitive& p) { out.push_back(p); });
    return out;
}

std::vector<Primitive> drawnPrimitives(const Drawing& d, const Segment& s) {
    (void)d;
    std::vector<Primitive> out;
    out.reserve(s.elements.size());
    for (int i = 0; i < static_cast<int>(s.elements.size()); ++i)
        elementPrimitives(s, i, [&](const Primitive& p) { out.push_back(p); });
    return out;
}

void forEachDrawnPrimitive(const Drawing& d, const Segment& s,
                           const std::function<void(const Primitive&)>& visit) {
    (void)d;
    for (int i = 0; i < static_cast<int>(s.elements.size()); ++i) elementPrimitives(s, i, visit);
}

void forEachDrawnPiece(const Drawing& d, const Segment& s, int elementIndex,
                       const std::function<void(const DrawnPiece&)>& visit) {
    (void)d;
    if (elementIndex < 0 || elementIndex >= static_cast<int>(s.elements.size())) return;
    elementPrimitives<Arcs::Kept>(s, elementIndex, visit);
}

std::optional<DrawnPiece> drawnFigurePiece(const Segment& s, int elementIndex) {
    std::optional<DrawnPiece> piece;
    if (elementIndex < 0 || elementIndex >= static_cast<int>(s.elements.size()) ||
        !figureAt(s, elementIndex))
        return piece;
    figurePrimitives<Arcs::Kept>(s, elementIndex, [&](const DrawnPiece& p) { piece = p; });
    return piece;
}

void forEachDrawnBox(const Drawing& d, const Segment& s,
                     const std::function<void(const Extents& box, double magnitude)>& visit) {
    (void)d;
    const auto primitive = [&](const Primitive& p) { visit(extentsOf(p), magnitudeOf(p)); };
    for (int i = 0; i < static_cast<int>(s.elements.size()); ++i) {
        const FigureElement* f = figureAt(s, i);
        if (!f || (f->type != FigureType::Arc && f->type != FigureType::CornerR)) {
            elementPrimitives(s, i, primitive);
            continue;
        }
        // An arc's box from the points it keeps, as figurePrimitives turns it.
        const Point c = pointAt(*f, 0), p = pointAt(*f, 2), q = pointAt(*f, 4);
        const double r = f->values[6];
        const bool forward = f->type == FigureType::Arc || cross(p - c, q - c) >= 0.0;
        const double size = std::fmax(std::fabs(c.x), std::fabs(c.y)) + std::fabs(r);
        visit(forward ? arcExtents(c, r, p, q) : arcExtents(c, r, q, p), size);
    }
}

Extents drawnExtentsOf(const Drawing& d, const Segment& s) {
    Extents box;
    forEachDrawnBox(d, s, [&](const Extents& e, double) {
        if (e.bounded()) box.add(e);
    });
    return box;
}

}  // namespace vel

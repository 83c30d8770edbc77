// FigureShape.h - the kernel's own reading of figure elements, shared by the files
// that draw, corner, offset and copy figure segments: an element's points, the
// lines and corners of a segment, where lines meet and how a line is cut back to
// the corners beside it. Not for use outside the kernel.
#pragma once

#include <cmath>
#include <numbers>
#include <optional>

#include "vel/kernel/Drawing.h"
#include "vel/kernel/Geometry.h"

namespace vel::shape {

// Below this sine two lines count as parallel.
inline constexpr double kParallelSine = 1e-9;

// The unit vector at an angle in degrees; exact on the axes, so that axis-aligned
// dimensions and quarter-turn copies stay exactly axis-aligned.
inline Point unitAt(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0.0) a += 360.0;
    if (a == 0.0) return {1.0, 0.0};
    if (a == 90.0) return {0.0, 1.0};
    if (a == 180.0) return {-1.0, 0.0};
    if (a == 270.0) return {0.0, -1.0};
    const double rad = a * std::numbers::pi / 180.0;
    return {std::cos(rad), std::sin(rad)};
}

inline Point pointAt(const FigureElement& f, int i) {
    return {f.values[i], f.values[i + 1]};
}

inline void setPoint(FigureElement& f, int i, Point p) {
    f.values[i] = p.x;
    f.values[i + 1] = p.y;
}

inline bool finite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

inline bool isCornerType(FigureType t) {
    return t == FigureType::CornerR || t == FigureType::Chamfer;
}

inline const FigureElement* figureAt(const Segment& s, int i) {
    if (i < 0 || i >= static_cast<int>(s.elements.size())) return nullptr;
    return s.elements[i].figure();
}

inline const FigureElement* lineAt(const Segment& s, int i) {
    const FigureElement* f = figureAt(s, i);
    return f && f->type == FigureType::Line ? f : nullptr;
}

inline const FigureElement* cornerAt(const Segment& s, int i) {
    const FigureElement* f = figureAt(s, i);
    return f && isCornerType(f->type) ? f : nullptr;
}

inline Line lineOf(const FigureElement& f) {
    return {pointAt(f, 0), pointAt(f, 2)};
}

// A corner's point on the element before it and on the element after it.
inline Point cornerPrecedingPoint(const FigureElement& c) {
    return pointAt(c, c.type == FigureType::CornerR ? 2 : 0);
}
inline Point cornerFollowingPoint(const FigureElement& c) {
    return pointAt(c, c.type == FigureType::CornerR ? 4 : 2);
}

// Intersection of the infinite lines p + t·u and q + s·v.
inline std::optional<Point> intersect(Point p, Point u, Point q, Point v) {
    const double lu = length(u), lv = length(v);
    if (!(lu > 0.0) || !(lv > 0.0)) return std::nullopt;
    const double c = cross(u, v);
    if (!(std::fabs(c) > kParallelSine * lu * lv)) return std::nullopt;
    const Point r = p + u * (cross(q - p, v) / c);
    if (!finite(r)) return std::nullopt;
    return r;
}

inline std::optional<Point> intersect(const Line& a, const Line& b) {
    return intersect(a.start, a.end - a.start, b.start, b.end - b.start);
}

// The sharp vertex where the line at index `line` meets the line on the far side
// of the corner at index `corner`, when there is one.
inline std::optional<Point> vertexAcross(const Segment& s, int line, int corner, int step) {
    const FigureElement* l = lineAt(s, line);
    const FigureElement* other = lineAt(s, neighbourElement(s, corner, step, s.closed));
    if (!l || !other || other == l) return std::nullopt;
    return intersect(lineOf(*l), lineOf(*other));
}

// A line's extent as drawn: the end at a corner moves to that corner's point.
// The end that is cut is the one nearer the sharp vertex, so lines drawn either
// way round are trimmed alike; without a vertex the chain's own order decides.
inline Line trimmedLine(const Segment& s, int i) {
    Line l = lineOf(*lineAt(s, i));
    const int before = neighbourElement(s, i, -1, s.closed);
    const int after = neighbourElement(s, i, 1, s.closed);
    if (const FigureElement* c = before != i ? cornerAt(s, before) : nullptr) {
        const std::optional<Point> v = vertexAcross(s, i, before, -1);
        const bool cutEnd = v && distance(l.end, *v) < distance(l.start, *v);
        (cutEnd ? l.end : l.start) = cornerFollowingPoint(*c);
    }
    if (const FigureElement* c = after != i ? cornerAt(s, after) : nullptr) {
        const std::optional<Point> v = vertexAcross(s, i, after, 1);
        const bool cutStart = v && distance(l.start, *v) < distance(l.end, *v);
        (cutStart ? l.start : l.end) = cornerPrecedingPoint(*c);
    }
    return l;
}

// An element made from another looks like it: same colour, line type and file style.
inline void copyStyle(Element& made, const Element& from) {
    made.color = from.color;
    made.lineType = from.lineType;
    made.fileStyle = from.fileStyle;
}

}  // namespace vel::shape

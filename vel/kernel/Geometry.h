// Geometry.h - plain value types of the drawing kernel: points, lines, arcs,
// circles and an extents box, free of any file format or toolkit.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <variant>
#include <vector>

namespace vel {

// Two points or lengths closer than this count as equal: the host answers
// point-on-arc and corner fits to this precision.
inline constexpr double kCoincidence = 1e-6;

struct Point {
    double x = 0.0;
    double y = 0.0;

    friend Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
    friend Point operator*(Point a, double s) { return {a.x * s, a.y * s}; }
    friend Point operator*(double s, Point a) { return {a.x * s, a.y * s}; }
    friend bool operator==(Point a, Point b) = default;
};

inline double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y;
}
inline double cross(Point a, Point b) {
    return a.x * b.y - a.y * b.x;
}
inline double length(Point a) {
    return std::hypot(a.x, a.y);
}
inline double distance(Point a, Point b) {
    return length(a - b);
}
inline Point normalized(Point a) {
    const double l = length(a);
    return l > 0.0 ? Point{a.x / l, a.y / l} : Point{};
}
// The unit normal to the right of travel along d.
inline Point rightNormal(Point d) {
    return normalized(Point{d.y, -d.x});
}

// fmod(x, 2π). fmod gives x itself, exactly, whenever |x| < 2π, which is all that the
// differences of two angles from atan2 ever come to: the call is left for the rest.
inline double turnRemainder(double x) {
    constexpr double kTurn = 2.0 * std::numbers::pi;
    return std::fabs(x) < kTurn ? x : std::fmod(x, kTurn);
}

// The counter-clockwise turn from direction `from` to direction `to`, in (0, 2π]: one direction
// twice is a whole turn. Each angle is brought within a turn on its own first: the difference of
// two large angles has lost what either says, and stepping a large angle by 2π never arrives.
inline double counterClockwiseSweep(double from, double to) {
    double s = turnRemainder(turnRemainder(to) - turnRemainder(from));
    if (s <= 0.0) s += 2.0 * std::numbers::pi;
    return s;
}

struct Line {
    Point start;
    Point end;
};

// A circular arc running counter-clockwise from start angle to end angle (radians).
struct Arc {
    Point centre;
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;

    Point pointAt(double angle) const {
        return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
    }
    Point start() const { return pointAt(startAngle); }
    Point end() const { return pointAt(endAngle); }
    // Counter-clockwise sweep in (0, 2π].
    double sweep() const { return counterClockwiseSweep(startAngle, endAngle); }
};

// An arc as a figure keeps it: its centre, its radius and the two points it runs between
// counter-clockwise (the two the same: the whole circle). What is written from it carries those
// points as they are, where angles would move them in the last place; the angles, and with them
// the sine and cosine, are worked out only where something asks for them.
struct ArcThrough {
    Point centre;
    double radius = 0.0;
    Point from;
    Point to;

    // The angles of the two points, as figures' arcs have always been drawn.
    Arc arc() const;
    // Against the half turn, from the two points alone: -1 less, 0 a half turn, 1 more (the
    // whole circle included). 0 also where the points lie too nearly opposite to tell.
    int sweepAgainstHalfTurn() const;
    // tan(sweep / 4): the bulge of a polyline's vertex that starts the arc.
    double bulge() const;
};

struct Circle {
    Point centre;
    double radius = 0.0;
};

// An axis-aligned box with an explicit empty state.
struct Extents {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool empty() const { return minX > maxX || minY > maxY; }
    void add(Point p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    void add(const Extents& o) {
        if (o.empty()) return;
        add(Point{o.minX, o.minY});
        add(Point{o.maxX, o.maxY});
    }
    bool contains(const Extents& o) const {
        return !o.empty() && o.minX >= minX && o.maxX <= maxX && o.minY >= minY && o.maxY <= maxY;
    }
    double width() const { return empty() ? 0.0 : maxX - minX; }
    double height() const { return empty() ? 0.0 : maxY - minY; }
    // Every bound a finite number: an empty box is not.
    bool bounded() const {
        return std::isfinite(minX) && std::isfinite(minY) && std::isfinite(maxX) &&
               std::isfinite(maxY);
    }
};

// One drawn primitive: what a segment looks like once its corners are cut.
using Primitive = std::variant<Line, Arc, Circle, Point>;

Extents extentsOf(const Primitive& p);
Extents extentsOf(const std::vector<Primitive>& ps);
// Shortest distance from q to the primitive.
double distanceTo(const Primitive& p, Point q);
// True when the angle lies on the counter-clockwise sweep of the arc.
bool angleOnArc(const Arc& arc, double angle);

// The box of the arc counter-clockwise from `from` to `to` round `centre` (the two ends the same:
// the whole circle), from its ends and the axis points it passes, with no angle worked out: the
// figures of a large drawing are mostly arcs, and their boxes are asked for every one of them.
Extents arcExtents(Point centre, double radius, Point from, Point to);

// The size of the numbers a primitive's points are computed from. fmax passes over NaN, which no
// measurement ever takes.
double magnitudeOf(const Primitive& p);

}  // namespace vel

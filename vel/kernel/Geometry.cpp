// Geometry.cpp - measurements on drawn primitives: extents boxes, the distance
// from a point (used for picking) and the angle test of counter-clockwise arcs.
#include "vel/kernel/Geometry.h"

#include <optional>

namespace vel {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Angles within this of an arc's end still count as on it; keeps the quadrant
// extremes of exact quarter arcs inside their own extents.
constexpr double kAngleSlack = 1e-12;

// The sine of a sweep below which its sign may be rounding's (unit vectors carry errors of a
// few 1e-16): there an arc's two angles decide, as they always have, whether it passes the half
// turn, which splits it in two when it is written.
constexpr double kSweepSineUnsure = 1e-9;

double distanceToSegment(const Line& l, Point q) {
    const Point d = l.end - l.start;
    const double len2 = dot(d, d);
    if (!(len2 > 0.0)) return distance(l.start, q);
    const double t = std::clamp(dot(q - l.start, d) / len2, 0.0, 1.0);
    return distance(l.start + d * t, q);
}

}  // namespace

Arc ArcThrough::arc() const {
    return Arc{centre, radius, std::atan2(from.y - centre.y, from.x - centre.x),
               std::atan2(to.y - centre.y, to.x - centre.x)};
}

namespace {

// The two ends as unit vectors from the centre, and the sine of the sweep between them; none
// where an end lies on the centre or beyond what a length can hold.
struct EndDirections {
    Point u, v;
    double sine = 0.0;
};

std::optional<EndDirections> endDirections(const ArcThrough& a) {
    // By square roots, not hypot: a large drawing asks this of a million arcs, and a length
    // whose square overflows goes to the angles like one that is not finite.
    const Point u = a.from - a.centre, v = a.to - a.centre;
    const double lu = std::sqrt(dot(u, u)), lv = std::sqrt(dot(v, v));
    if (!(lu > 0.0) || !(lv > 0.0) || !std::isfinite(lu) || !std::isfinite(lv)) return std::nullopt;
    EndDirections d{u * (1.0 / lu), v * (1.0 / lv)};
    d.sine = cross(d.u, d.v);
    return d;
}

}  // namespace

int ArcThrough::sweepAgainstHalfTurn() const {
    if (const auto d = endDirections(*this); d && std::fabs(d->sine) > kSweepSineUnsure)
        return d->sine > 0.0 ? -1 : 1;
    const double sweep = arc().sweep();
    return sweep < std::numbers::pi ? -1 : sweep > std::numbers::pi ? 1 : 0;
}

double ArcThrough::bulge() const {
    // With s = |u - v| = 2 sin(sweep/2) and c = |u + v| = 2 |cos(sweep/2)|, tan(sweep/4) is
    // s / (2 + c) below the half turn and (2 + c) / s above it: neither divides by a difference
    // that vanishes.
    const auto d = endDirections(*this);
    if (!d || !(std::fabs(d->sine) > kSweepSineUnsure)) return std::tan(arc().sweep() / 4.0);
    const Point difference = d->u - d->v, sum = d->u + d->v;
    const double s = std::sqrt(dot(difference, difference)), c = std::sqrt(dot(sum, sum));
    return d->sine > 0.0 ? s / (2.0 + c) : (2.0 + c) / s;
}

bool angleOnArc(const Arc& arc, double angle) {
    if (!std::isfinite(angle) || !std::isfinite(arc.startAngle) || !std::isfinite(arc.endAngle))
        return false;
    double rel = turnRemainder(angle - arc.startAngle);
    if (rel < 0.0) rel += kTwoPi;
    return rel <= arc.sweep() + kAngleSlack || rel >= kTwoPi - kAngleSlack;
}

Extents extentsOf(const Primitive& p) {
    Extents e;
    if (const Line* l = std::get_if<Line>(&p)) {
        e.add(l->start);
        e.add(l->end);
    } else if (const Arc* a = std::get_if<Arc>(&p)) {
        e.add(a->start());
        e.add(a->end());
        // The arc reaches past its end points only where it crosses an axis direction.
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const double angle = quadrant * (std::numbers::pi / 2.0);
            if (angleOnArc(*a, angle)) e.add(a->pointAt(angle));
        }
    } else if (const Circle* c = std::get_if<Circle>(&p)) {
        const double r = std::fabs(c->radius);
        e.add(Point{c->centre.x - r, c->centre.y - r});
        e.add(Point{c->centre.x + r, c->centre.y + r});
    } else if (const Point* pt = std::get_if<Point>(&p)) {
        e.add(*pt);
    }
    return e;
}

Extents extentsOf(const std::vector<Primitive>& ps) {
    Extents e;
    for (const Primitive& p : ps) e.add(extentsOf(p));
    return e;
}

Extents arcExtents(Point centre, double radius, Point from, Point to) {
    Extents e;
    e.add(from);
    e.add(to);
    const Point u = from - centre, v = to - centre;
    const double turn = cross(u, v);
    const bool whole = turn == 0.0 && dot(u, v) > 0.0;
    // Whether the sweep from u to v passes direction w: for less than a half turn, w lies
    // between them; for more, w does not lie strictly within the rest of the turn.
    const auto passes = [&](Point w) {
        if (whole) return true;
        if (turn > 0.0) return cross(u, w) >= 0.0 && cross(w, v) >= 0.0;
        if (turn == 0.0) return cross(u, w) >= 0.0;  // a half turn
        return !(cross(v, w) > 0.0 && cross(w, u) > 0.0);
    };
    const double r = std::fabs(radius);
    for (const Point w : {Point{1, 0}, Point{0, 1}, Point{-1, 0}, Point{0, -1}})
        if (passes(w)) e.add(centre + w * r);
    return e;
}

double magnitudeOf(const Primitive& p) {
    auto of = [](Point q) { return std::fmax(std::fabs(q.x), std::fabs(q.y)); };
    if (const Line* l = std::get_if<Line>(&p)) return std::fmax(of(l->start), of(l->end));
    if (const Arc* a = std::get_if<Arc>(&p)) return of(a->centre) + std::fabs(a->radius);
    if (const Circle* c = std::get_if<Circle>(&p)) return of(c->centre) + std::fabs(c->radius);
    return of(std::get<Point>(p));
}

double distanceTo(const Primitive& p, Point q) {
    if (const Line* l = std::get_if<Line>(&p)) return distanceToSegment(*l, q);
    if (const Arc* a = std::get_if<Arc>(&p)) {
        const Point v = q - a->centre;
        const double r = std::fabs(a->radius);
        // From the centre every point of the arc is equally far.
        if (v.x == 0.0 && v.y == 0.0) return r;
        if (angleOnArc(*a, std::atan2(v.y, v.x))) return std::fabs(length(v) - r);
        return std::min(distance(q, a->start()), distance(q, a->end()));
    }
    if (const Circle* c = std::get_if<Circle>(&p))
        return std::fabs(distance(q, c->centre) - std::fabs(c->radius));
    if (const Point* pt = std::get_if<Point>(&p)) return distance(*pt, q);
    return std::numeric_limits<double>::infinity();
}

}  // namespace vel

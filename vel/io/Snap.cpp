// Snap.cpp - finding the snap point near the cursor.
#include "vel/io/Snap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "vel/kernel/Drawing.h"
#include "vel/kernel/DrawnSegment.h"

namespace vel {

namespace {

// Crossings are looked for among this many of the figures nearest the cursor: a zoomed-out view
// puts thousands within reach, and a person aims at a crossing of figures under the cursor.
constexpr size_t kMostCrossingFigures = 48;
// How far past its end, as a share of its length, a line still meets another: figures that meet
// at a corner cross at the corner, whatever the rounding of their ends.
constexpr double kEndSlack = 1e-9;
// Circles whose distance apart misses touching by this share of their size still touch (the
// tangent point); rounding would otherwise lose a tangency drawn exactly.
constexpr double kTouchSlack = 1e-9;

struct Near {
    Primitive primitive;
    double distance = 0.0;
};

bool onCurve(const Primitive& curve, Point q) {
    if (const Arc* a = std::get_if<Arc>(&curve))
        return angleOnArc(*a, std::atan2(q.y - a->centre.y, q.x - a->centre.x));
    return true;
}

std::optional<Circle> circleOf(const Primitive& p) {
    if (const Arc* a = std::get_if<Arc>(&p)) return Circle{a->centre, a->radius};
    if (const Circle* c = std::get_if<Circle>(&p)) return *c;
    return std::nullopt;
}

template <typename Take>
void crossLines(const Line& l, const Line& m, Take take) {
    const Point d1 = l.end - l.start, d2 = m.end - m.start;
    const double den = cross(d1, d2);
    if (den == 0.0 || !std::isfinite(den)) return;  // parallel
    const Point w = m.start - l.start;
    const double t = cross(w, d2) / den, u = cross(w, d1) / den;
    if (t >= -kEndSlack && t <= 1 + kEndSlack && u >= -kEndSlack && u <= 1 + kEndSlack)
        take(l.start + d1 * t);
}

template <typename Take>
void crossLineAndCurve(const Line& l, const Primitive& curve, Take take) {
    const Circle c = *circleOf(curve);
    const Point d = l.end - l.start, f = l.start - c.centre;
    const double a = dot(d, d);
    if (a == 0.0) return;
    const double b = 2 * dot(f, d), k = dot(f, f) - c.radius * c.radius;
    double disc = b * b - 4 * a * k;
    if (disc < 0.0) {
        if (disc < -kTouchSlack * b * b) return;
        disc = 0.0;
    }
    const double root = std::sqrt(disc);
    for (double t : {(-b - root) / (2 * a), (-b + root) / (2 * a)}) {
        const Point q = l.start + d * t;
        if (t >= -kEndSlack && t <= 1 + kEndSlack && onCurve(curve, q)) take(q);
        if (root == 0.0) break;
    }
}

template <typename Take>
void crossCurves(const Primitive& p, const Primitive& q, Take take) {
    const Circle c1 = *circleOf(p), c2 = *circleOf(q);
    const Point between = c2.centre - c1.centre;
    const double d = length(between);
    const double r1 = std::fabs(c1.radius), r2 = std::fabs(c2.radius);
    const double slack = kTouchSlack * (r1 + r2);
    if (d == 0.0 || d > r1 + r2 + slack || d < std::fabs(r1 - r2) - slack) return;
    const double along = (r1 * r1 - r2 * r2 + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, r1 * r1 - along * along));
    const Point u = between * (1.0 / d);
    const Point base = c1.centre + u * along;
    const Point across{-u.y * h, u.x * h};
    for (const Point& at : {base + across, base - across}) {
        if (onCurve(p, at) && onCurve(q, at)) take(at);
        if (h == 0.0) break;
    }
}

template <typename Take>
void crossings(const Primitive& p, const Primitive& q, Take take) {
    const Line* lp = std::get_if<Line>(&p);
    const Line* lq = std::get_if<Line>(&q);
    const bool curveP = circleOf(p).has_value(), curveQ = circleOf(q).has_value();
    if (lp && lq) crossLines(*lp, *lq, take);
    if (lp && curveQ) crossLineAndCurve(*lp, q, take);
    if (curveP && lq) crossLineAndCurve(*lq, p, take);
    if (curveP && curveQ) crossCurves(p, q, take);
}

// The points of a figure that snaps of the given kinds aim at.
template <typename Take>
void pointsOf(const Primitive& p, SnapKinds kinds, Take take) {
    using K = SnapKind;
    if (const Point* pt = std::get_if<Point>(&p)) {
        if (kinds.has(K::Endpoint)) take(*pt, K::Endpoint);
    } else if (const Line* l = std::get_if<Line>(&p)) {
        if (kinds.has(K::Endpoint)) take(l->start, K::Endpoint), take(l->end, K::Endpoint);
        if (kinds.has(K::Midpoint)) take((l->start + l->end) * 0.5, K::Midpoint);
    } else {
        const Circle c = *circleOf(p);
        const Arc* arc = std::get_if<Arc>(&p);
        if (arc && kinds.has(K::Endpoint))
            take(arc->start(), K::Endpoint), take(arc->end(), K::Endpoint);
        if (arc && kinds.has(K::Midpoint))
            take(arc->pointAt(arc->startAngle + arc->sweep() / 2), K::Midpoint);
        if (kinds.has(K::Centre)) take(c.centre, K::Centre);
        if (kinds.has(K::Quadrant))
            for (int k = 0; k < 4; ++k) {
                const double angle = k * std::numbers::pi / 2;
                const Point q{c.centre.x + c.radius * std::cos(angle),
                              c.centre.y + c.radius * std::sin(angle)};
                if (onCurve(p, q)) take(q, K::Quadrant);
            }
    }
}

Point nearestOn(const Primitive& p, Point q) {
    if (const Point* pt = std::get_if<Point>(&p)) return *pt;
    if (const Line* l = std::get_if<Line>(&p)) {
        const Point d = l->end - l->start;
        const double dd = dot(d, d);
        const double t = dd == 0.0 ? 0.0 : std::clamp(dot(q - l->start, d) / dd, 0.0, 1.0);
        return l->start + d * t;
    }
    const Circle c = *circleOf(p);
    const Point towards = q - c.centre;
    const double angle = towards == Point{} ? 0.0 : std::atan2(towards.y, towards.x);
    const Point on{c.centre.x + c.radius * std::cos(angle),
                   c.centre.y + c.radius * std::sin(angle)};
    if (onCurve(p, on)) return on;
    const Arc& arc = std::get<Arc>(p);  // off the arc: its nearer end
    return distance(arc.start(), q) <= distance(arc.end(), q) ? arc.start() : arc.end();
}

}  // namespace

std::string_view snapKindName(SnapKind kind) {
    static constexpr std::array<std::string_view, kSnapKindCount> kNames{
        "Endpoint", "Midpoint", "Centre", "Quadrant", "Intersection", "Nearest"};
    return kNames[static_cast<size_t>(kind)];
}

std::optional<Snap> findSnap(const Drawing& drawing, Point p, double reach, SnapKinds kinds) {
    if (kinds.none() || !(reach >= 0.0) || !std::isfinite(p.x) || !std::isfinite(p.y))
        return std::nullopt;
    std::optional<Snap> best;
    double bestDistance = reach;
    auto consider = [&](Point at, SnapKind kind) {
        const double d = distance(at, p);
        if (!(d <= reach)) return;
        if (best && (d > bestDistance || (d == bestDistance && kind >= best->kind))) return;
        best = Snap{at, kind};
        bestDistance = d;
    };
    std::vector<Near> near;
    for (int id : drawing.segmentsNear(p, reach)) {
        const Segment* s = drawing.segment(id);
        if (!s) continue;
        forEachDrawnPrimitive(drawing, *s, [&](const Primitive& prim) {
            // A centre is aimed at from anywhere inside its circle; other points lie on the figure.
            const double d = distanceTo(prim, p);
            if (d <= reach) near.push_back({prim, d});
            if (d <= reach || circleOf(prim)) pointsOf(prim, kinds, consider);
        });
    }
    if (kinds.has(SnapKind::Intersection)) {
        const size_t count = std::min(near.size(), kMostCrossingFigures);
        std::partial_sort(near.begin(), near.begin() + static_cast<std::ptrdiff_t>(count),
                          near.end(),
                          [](const Near& a, const Near& b) { return a.distance < b.distance; });
        for (size_t i = 0; i < count; ++i)
            for (size_t j = i + 1; j < count; ++j)
                crossings(near[i].primitive, near[j].primitive,
                          [&](Point at) { consider(at, SnapKind::Intersection); });
    }
    if (best) return best;
    const auto closest =
        std::min_element(near.begin(), near.end(),
                         [](const Near& a, const Near& b) { return a.distance < b.distance; });
    if (closest == near.end()) return std::nullopt;
    // On a curve, far from its points: the centre it turns about, as a designer hovering a hole's
    // edge expects.
    if (const auto c = circleOf(closest->primitive); c && kinds.has(SnapKind::Centre))
        return Snap{c->centre, SnapKind::Centre};
    if (kinds.has(SnapKind::Nearest))
        return Snap{nearestOn(closest->primitive, p), SnapKind::Nearest};
    return std::nullopt;
}

}  // namespace vel

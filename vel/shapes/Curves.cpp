// Curves.cpp - affine maps, and the flattening of ellipses (by the step a
// circle of the largest semi-axis allows) and NURBS curves (by halving spans
// until the curve keeps to its chords).
#include "vel/shapes/Curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vel {

namespace {

// The largest and the smallest tolerance a curve gets.
constexpr double kAbsoluteTolerance = 0.01;
constexpr double kRelativeTolerance = 1e-4;
// Below this a relative difference is rounding.
constexpr double kSimilarityTolerance = 1e-9;
// A span halved this often is shorter than any drawing can show.
constexpr int kMaxHalvings = 24;

}  // namespace

Affine2 Affine2::rotation(double radians) {
    const double cs = std::cos(radians), sn = std::sin(radians);
    return {cs, -sn, sn, cs, 0, 0};
}

Affine2 Affine2::operator*(const Affine2& m) const {
    return {a * m.a + b * m.c, a * m.b + b * m.d,     c * m.a + d * m.c,
            c * m.b + d * m.d, a * m.e + b * m.f + e, c * m.e + d * m.f + f};
}

bool Affine2::isSimilarity(double& scale) const {
    const double lx = std::hypot(a, c), ly = std::hypot(b, d);
    const double largest = std::max(lx, ly);
    if (!(largest > 0.0)) return false;
    const bool same = std::fabs(lx - ly) <= kSimilarityTolerance * largest;
    const bool square = std::fabs(a * b + c * d) <= kSimilarityTolerance * largest * largest;
    scale = lx;
    return same && square;
}

double flatteningTolerance(double curveSize) {
    const double relative = kRelativeTolerance * curveSize;
    return relative > 0.0 ? std::min(kAbsoluteTolerance, relative) : kAbsoluteTolerance;
}

std::vector<Point> flattenEllipse(Point c, Point u, Point v, double t0, double t1, double tolerance,
                                  size_t maxPoints) {
    // The ellipse is the image of the unit circle under [u v]; a chord of the circle strays
    // 1 - cos(step / 2) from it, and the map stretches that by at most its largest singular
    // value, the semi-major axis.
    const double s = dot(u, u) + dot(v, v);
    const double det = cross(u, v);
    const double major = std::sqrt((s + std::sqrt(std::max(0.0, s * s - 4 * det * det))) / 2);
    double step = std::numbers::pi / 2;
    if (major > tolerance) step = std::min(step, 2 * std::acos(1 - tolerance / major));
    const double sweep = t1 - t0;
    const double wanted = std::ceil(sweep / step);  // infinite when the step vanishes
    const size_t most = std::max<size_t>(maxPoints, 2) - 1;
    const size_t pieces = !(wanted > 1.0)                      ? 1
                          : wanted < static_cast<double>(most) ? static_cast<size_t>(wanted)
                                                               : most;
    std::vector<double> ts;
    ts.reserve(pieces + 5);
    for (size_t i = 0; i <= pieces; ++i) ts.push_back(t0 + sweep * static_cast<double>(i) / pieces);
    // Where x' = -sin t u.x + cos t v.x or y' vanishes: the extreme points.
    for (const double base : {std::atan2(v.x, u.x), std::atan2(v.y, u.y)}) {
        for (int k = -4; k <= 4; ++k) {
            const double t = base + k * std::numbers::pi;
            if (t > t0 && t < t1) ts.push_back(t);
        }
    }
    std::sort(ts.begin(), ts.end());
    std::vector<Point> points;
    points.reserve(ts.size());
    for (const double t : ts) points.push_back(c + u * std::cos(t) + v * std::sin(t));
    return points;
}

bool Nurbs::valid() const {
    const size_t n = control.size();
    if (degree < 1 || degree > kMaxDegree || n < static_cast<size_t>(degree) + 1) return false;
    if (knots.size() != n + static_cast<size_t>(degree) + 1) return false;
    if (!weights.empty() && weights.size() != n) return false;
    if (!std::is_sorted(knots.begin(), knots.end())) return false;
    if (!(knots[static_cast<size_t>(degree)] < knots[n])) return false;
    return std::all_of(weights.begin(), weights.end(), [](double w) { return w > 0.0; });
}

namespace {

// de Boor's algorithm in homogeneous coordinates at parameter t of the knot span k.
Point evaluate(const Nurbs& curve, size_t span, double t) {
    const size_t p = static_cast<size_t>(curve.degree);
    struct H {
        double x, y, w;
    };
    H d[Nurbs::kMaxDegree + 1];
    for (size_t j = 0; j <= p; ++j) {
        const size_t i = span - p + j;
        const double w = curve.weights.empty() ? 1.0 : curve.weights[i];
        d[j] = {curve.control[i].x * w, curve.control[i].y * w, w};
    }
    for (size_t r = 1; r <= p; ++r) {
        for (size_t j = p; j >= r; --j) {
            const size_t i = span - p + j;
            const double lo = curve.knots[i], hi = curve.knots[i + p + 1 - r];
            const double alpha = hi > lo ? (t - lo) / (hi - lo) : 0.0;
            d[j] = {(1 - alpha) * d[j - 1].x + alpha * d[j].x,
                    (1 - alpha) * d[j - 1].y + alpha * d[j].y,
                    (1 - alpha) * d[j - 1].w + alpha * d[j].w};
        }
    }
    return {d[p].x / d[p].w, d[p].y / d[p].w};
}

double distanceToChord(Point p, Point a, Point b) {
    const Point ab = b - a;
    const double l = length(ab);
    if (!(l > 0.0)) return distance(p, a);
    const double t = std::clamp(dot(p - a, ab) / (l * l), 0.0, 1.0);
    return distance(p, a + ab * t);
}

// Adds the points after `from` up to t1, halving [t0, t1] until the curve at its quarter
// points keeps within the tolerance of the chord.
void subdivide(const Nurbs& curve, size_t span, double t0, Point from, double t1, Point to,
               double tolerance, size_t maxPoints, int depth, std::vector<Point>& out) {
    const double tm = (t0 + t1) / 2;
    const Point mid = evaluate(curve, span, tm);
    const Point q1 = evaluate(curve, span, (t0 + tm) / 2);
    const Point q3 = evaluate(curve, span, (tm + t1) / 2);
    const bool flat = distanceToChord(mid, from, to) <= tolerance &&
                      distanceToChord(q1, from, to) <= tolerance &&
                      distanceToChord(q3, from, to) <= tolerance;
    if ((flat && depth > 0) || depth >= kMaxHalvings || out.size() >= maxPoints) {
        out.push_back(to);
        return;
    }
    subdivide(curve, span, t0, from, tm, mid, tolerance, maxPoints, depth + 1, out);
    subdivide(curve, span, tm, mid, t1, to, tolerance, maxPoints, depth + 1, out);
}

}  // namespace

std::vector<Point> flattenNurbs(const Nurbs& curve, double tolerance, size_t maxPoints) {
    std::vector<Point> out;
    if (!curve.valid()) return out;
    const size_t p = static_cast<size_t>(curve.degree), n = curve.control.size();
    for (size_t span = p; span < n; ++span) {
        const double t0 = curve.knots[span], t1 = curve.knots[span + 1];
        if (!(t1 > t0)) continue;
        const Point from = evaluate(curve, span, t0);
        if (out.empty()) out.push_back(from);
        subdivide(curve, span, t0, from, t1, evaluate(curve, span, t1), tolerance, maxPoints, 0,
                  out);
    }
    return out;
}

Nurbs interpolateFitPoints(const std::vector<Point>& fit) {
    // A natural cubic through the points by chord length, written as Bezier pieces: each
    // piece's control points come from the derivatives at its ends.
    Nurbs curve;
    const size_t n = fit.size();
    if (n < 2) return curve;
    std::vector<double> h(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) h[i] = std::max(distance(fit[i], fit[i + 1]), 1e-12);
    // Second derivatives M of the natural spline, one coordinate at a time (tridiagonal).
    auto secondDerivatives = [&](auto coordinate) {
        std::vector<double> m(n, 0.0);
        if (n < 3) return m;
        std::vector<double> diag(n - 2), rhs(n - 2), upper(n - 2);
        for (size_t i = 1; i + 1 < n; ++i) {
            diag[i - 1] = 2 * (h[i - 1] + h[i]);
            upper[i - 1] = h[i];
            rhs[i - 1] = 6 * ((coordinate(fit[i + 1]) - coordinate(fit[i])) / h[i] -
                              (coordinate(fit[i]) - coordinate(fit[i - 1])) / h[i - 1]);
        }
        for (size_t i = 1; i < diag.size(); ++i) {
            const double f = h[i] / diag[i - 1];
            diag[i] -= f * upper[i - 1];
            rhs[i] -= f * rhs[i - 1];
        }
        for (size_t i = diag.size(); i-- > 0;) {
            const double next = i + 1 < diag.size() ? m[i + 2] : 0.0;
            m[i + 1] = (rhs[i] - upper[i] * next) / diag[i];
        }
        return m;
    };
    const std::vector<double> mx = secondDerivatives([](Point p) { return p.x; });
    const std::vector<double> my = secondDerivatives([](Point p) { return p.y; });
    curve.degree = 3;
    for (size_t i = 0; i + 1 < n; ++i) {
        const Point a = fit[i], b = fit[i + 1];
        const Point ma{mx[i], my[i]}, mb{mx[i + 1], my[i + 1]};
        // First derivatives at the ends of piece i (parameter length h).
        const Point da = (b - a) * (1 / h[i]) - (ma * 2 + mb) * (h[i] / 6);
        const Point db = (b - a) * (1 / h[i]) + (ma + mb * 2) * (h[i] / 6);
        if (i == 0) curve.control.push_back(a);
        curve.control.push_back(a + da * (h[i] / 3));
        curve.control.push_back(b - db * (h[i] / 3));
        curve.control.push_back(b);
    }
    // Each Bezier piece as a knot span of multiplicity 3.
    double t = 0.0;
    curve.knots.assign(4, 0.0);
    for (size_t i = 0; i + 1 < n; ++i) {
        t += h[i];
        const int repeat = i + 2 < n ? 3 : 4;
        for (int k = 0; k < repeat; ++k) curve.knots.push_back(t);
    }
    return curve;
}

}  // namespace vel

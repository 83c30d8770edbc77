// Curves.h - the geometry a file or another host holds beyond what the host's figures
// are: affine maps (block inserts with their scale, rotation, mirror and base
// point), and ellipses and splines turned into polylines whose distance from
// the true curve stays within a tolerance.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "vel/kernel/Geometry.h"

namespace vel {

// p -> (a x + b y + e, c x + d y + f).
struct Affine2 {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    static Affine2 translation(Point t) { return {1, 0, 0, 1, t.x, t.y}; }
    static Affine2 rotation(double radians);
    static Affine2 scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

    Point operator()(Point p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
    // The map of a direction: without the translation.
    Point linear(Point v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
    // This map after `first`.
    Affine2 operator*(const Affine2& first) const;

    double determinant() const { return a * d - b * c; }
    // Lengths are scaled alike in every direction (a rotation, a mirror, a uniform scale);
    // circles stay circles. `scale` is then that factor.
    bool isSimilarity(double& scale) const;
};

// How far a flattened curve may stray from the true one: 0.01 drawing units, or 1e-4 of the
// curve's size where that is smaller, so that a small curve keeps its shape.
double flatteningTolerance(double curveSize);

// Points a flattened curve may have: a curve that would need more at its tolerance (an ellipse
// larger than any drawing, a spline that wiggles at every scale) is drawn coarser, so that one
// entity of a few bytes costs a bounded time.
inline constexpr size_t kMaxCurvePoints = 100'000;

// The points of the curve c + cos(t) u + sin(t) v, t from t0 to t1 (t1 > t0), within `tolerance`
// of it, or fewer (coarser) when that would take more than `maxPoints` (a few more for the points
// where x or y is extreme, which are among them, so the polyline's extents are the curve's own).
std::vector<Point> flattenEllipse(Point c, Point u, Point v, double t0, double t1, double tolerance,
                                  size_t maxPoints = kMaxCurvePoints);

// A NURBS curve: degree, knots, control points and their weights (empty: all 1).
struct Nurbs {
    // Far beyond the degrees drawings use (3, now and then 5 or 7); each point of the curve
    // costs the square of the degree.
    static constexpr int kMaxDegree = 25;

    int degree = 3;
    std::vector<double> knots;
    std::vector<Point> control;
    std::vector<double> weights;

    // A degree up to kMaxDegree, enough knots for the control points and degree, in order,
    // and a curve to draw.
    bool valid() const;
};

// The points of the curve within `tolerance` of it, from its start to its end; coarser once it
// has `maxPoints` (each knot span then ends in one more point).
std::vector<Point> flattenNurbs(const Nurbs& curve, double tolerance,
                                size_t maxPoints = kMaxCurvePoints);

// What flattening the curve costs for each point, against what one line costs: a point's
// evaluation grows with the square of the degree, and degree 3 and below count as one.
inline size_t pointCost(const Nurbs& curve) {
    const size_t n = static_cast<size_t>(std::max(curve.degree, 0)) + 1;
    return std::max<size_t>(1, n * n / 16);
}

// A curve through the fit points (a natural cubic through them, by chord length), as the
// control points of the same curve.
Nurbs interpolateFitPoints(const std::vector<Point>& fit);

}  // namespace vel

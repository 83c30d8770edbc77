// GeometryTest.cpp - extents, picking distances, arc angles and the point-on-arc
// test of the drawing kernel.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "tests/vel/kernel/KernelTestSupport.h"
#include "vel/kernel/FigureOps.h"

namespace vel {
namespace {

constexpr double kDeg = M_PI / 180.0;

TEST(Extents, ArcReachesOnlyTheAxisExtremesItSweeps) {
    const Extents top = extentsOf(Arc{{0, 0}, 2.0, 45 * kDeg, 135 * kDeg});
    EXPECT_NEAR(top.maxY, 2.0, 1e-12);
    EXPECT_NEAR(top.minY, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(top.minX, -std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(top.maxX, std::sqrt(2.0), 1e-12);

    // Across angle zero, and three quarters round from the top.
    const Extents right = extentsOf(Arc{{10, 0}, 1.0, 350 * kDeg, 10 * kDeg});
    EXPECT_NEAR(right.maxX, 11.0, 1e-12);
    EXPECT_NEAR(right.minX, 10.0 + std::cos(10 * kDeg), 1e-12);
    const Extents big = extentsOf(Arc{{0, 0}, 1.0, 90 * kDeg, 0.0});
    EXPECT_NEAR(big.minX, -1, 1e-12);
    EXPECT_NEAR(big.minY, -1, 1e-12);
    EXPECT_NEAR(big.maxX, 1, 1e-12);
    EXPECT_NEAR(big.maxY, 1, 1e-12);
}

// The box worked out from an arc's ends matches the one its angles give, on arcs of every sweep
// and direction, exact quarter arcs and whole circles among them.
TEST(Extents, ArcBoxFromEndsMatchesTheBoxFromAngles) {
    const Point c{3.5, -2.25};
    const double r = 4.0;
    for (int from = 0; from < 24; ++from) {
        for (int to = 0; to < 24; ++to) {
            const double a0 = from * (std::numbers::pi / 12), a1 = to * (std::numbers::pi / 12);
            const Arc arc{c, r, a0, a1};
            const Extents byAngles = extentsOf(Primitive{arc});
            const Extents byEnds = arcExtents(c, r, arc.start(), arc.end());
            SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
            EXPECT_NEAR(byEnds.minX, byAngles.minX, 1e-12);
            EXPECT_NEAR(byEnds.maxX, byAngles.maxX, 1e-12);
            EXPECT_NEAR(byEnds.minY, byAngles.minY, 1e-12);
            EXPECT_NEAR(byEnds.maxY, byAngles.maxY, 1e-12);
        }
    }
}

// An arc kept by its two ends gives the bulge and the side of the half turn its angles give, on
// every sweep round centres off the origin, whole circles and near half turns among them.
TEST(ArcThrough, BulgeAndHalfTurnAgreeWithTheAngles) {
    const Point c{-40.5, 12.25};
    const double r = 7.5;
    for (int from = 0; from < 36; ++from) {
        for (int to = 0; to < 36; ++to) {
            for (const double nudge : {0.0, 1e-7, -1e-12}) {
                const double a0 = from * (std::numbers::pi / 18), a1 = to * (std::numbers::pi / 18);
                const Arc byAngles{c, r, a0, a1 + nudge};
                const ArcThrough kept{c, r, byAngles.start(), byAngles.end()};
                const double sweep = kept.arc().sweep();
                SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to) + " nudged " +
                             std::to_string(nudge));
                EXPECT_NEAR(sweep, byAngles.sweep(), 1e-9);
                if (sweep < 3.1) {
                    EXPECT_EQ(kept.sweepAgainstHalfTurn(), -1);
                    EXPECT_NEAR(kept.bulge(), std::tan(sweep / 4), 1e-14);
                } else if (sweep > 3.2) {
                    EXPECT_EQ(kept.sweepAgainstHalfTurn(), 1);
                    EXPECT_NEAR(kept.bulge() / std::tan(sweep / 4), 1.0, 1e-9);
                } else {
                    EXPECT_EQ(kept.sweepAgainstHalfTurn(), sweep < std::numbers::pi   ? -1
                                                           : sweep > std::numbers::pi ? 1
                                                                                      : 0);
                    EXPECT_NEAR(kept.bulge(), std::tan(sweep / 4), 1e-12);
                }
            }
        }
    }
    // Both ends on the centre: nothing to take a direction from, the angles decide.
    const ArcThrough point{c, 0.0, c, c};
    EXPECT_EQ(point.sweepAgainstHalfTurn(), 1);
    EXPECT_TRUE(std::isfinite(point.bulge()));
}

TEST(Extents, CoverCirclesLinesPointsAndLists) {
    const Extents c = extentsOf(Circle{{1, 2}, 3});
    EXPECT_EQ(c.minX, -2);
    EXPECT_EQ(c.maxY, 5);
    EXPECT_TRUE(extentsOf(std::vector<Primitive>{}).empty());
    const Extents all =
        extentsOf(std::vector<Primitive>{Line{{0, 0}, {4, -1}}, Point{-3, 7}, Circle{{1, 2}, 3}});
    EXPECT_EQ(all.minX, -3);
    EXPECT_EQ(all.maxX, 4);
    EXPECT_EQ(all.minY, -1);
    EXPECT_EQ(all.maxY, 7);
}

TEST(Distance, MeasuresToTheNearestPartOfEachPrimitive) {
    const Line l{{0, 0}, {10, 0}};
    EXPECT_DOUBLE_EQ(distanceTo(l, {5, 3}), 3);
    EXPECT_DOUBLE_EQ(distanceTo(l, {13, 4}), 5);  // past the end: to the end point
    EXPECT_DOUBLE_EQ(distanceTo(Line{{1, 1}, {1, 1}}, {4, 5}), 5);

    const Arc quarter{{0, 0}, 10, 0, 90 * kDeg};
    EXPECT_NEAR(distanceTo(quarter, {3, 4}), 5, 1e-12);                   // inside the sweep
    EXPECT_NEAR(distanceTo(quarter, {0, -4}), std::hypot(10, 4), 1e-12);  // nearest end
    EXPECT_NEAR(distanceTo(quarter, {0, 0}), 10, 1e-12);                  // from the centre
    EXPECT_NEAR(distanceTo(Circle{{0, 0}, 10}, {-3, -4}), 5, 1e-12);
    EXPECT_DOUBLE_EQ(distanceTo(Point{1, 1}, {4, 5}), 5);
}

TEST(ArcAngles, SweepWrapsAroundAFullTurn) {
    const Arc across{{0, 0}, 1, 300 * kDeg, 30 * kDeg};
    EXPECT_TRUE(angleOnArc(across, 0));
    EXPECT_TRUE(angleOnArc(across, -40 * kDeg));
    EXPECT_TRUE(angleOnArc(across, 4 * M_PI + 10 * kDeg));
    EXPECT_FALSE(angleOnArc(across, 90 * kDeg));
    EXPECT_FALSE(angleOnArc(across, 299 * kDeg));
    EXPECT_TRUE(angleOnArc(Arc{{0, 0}, 1, 1.0, 1.0}, 4.0));  // equal ends: a full turn
    EXPECT_FALSE(angleOnArc(across, std::nan("")));
}

// Sweeps between angles of very different sizes: each angle is brought within a turn before the
// two are compared, a sweep too small to see stays one, and one direction twice is a whole turn.
TEST(ArcAngles, SweepsBetweenAnglesOfVeryDifferentSizes) {
    const double turn = 2 * M_PI;
    const double large = 1e20, largeDirection = std::fmod(large, turn);
    const struct {
        double from, to, sweep, tolerance;
    } rows[] = {
        {0.0, 1e-300, 1e-300, 0.0},
        {1e-300, 0.0, turn, 0.0},
        {4e61, 4e61, turn, 0.0},
        {large, largeDirection + M_PI / 2, M_PI / 2, 1e-12},
        {largeDirection + M_PI / 2, large, 3 * M_PI / 2, 1e-12},
        {-3 * M_PI / 2, 7 * M_PI, M_PI / 2, 1e-12},
        {1e6, 1e6 + 1e-6, 1e-6, 1e-9},
    };
    for (const auto& row : rows) {
        const double sweep = counterClockwiseSweep(row.from, row.to);
        EXPECT_NEAR(sweep, row.sweep, row.tolerance) << row.from << " to " << row.to;
        EXPECT_GT(sweep, 0.0);
        EXPECT_LE(sweep, turn);
    }
}

// Extents and picks must not move by a bit for the remainder taken without fmod.
TEST(ArcAngles, TurnRemainderIsFmodToTheLastBit) {
    const double turn = 2 * M_PI, inf = std::numeric_limits<double>::infinity();
    std::vector<double> xs = {-0.0, 7 * M_PI, -1e300, inf, std::nan("")};
    for (double at : {turn, -turn})
        xs.insert(xs.end(), {at, std::nextafter(at, 0.0), std::nextafter(at, 2 * at)});
    for (int k = -2000; k <= 2000; ++k) xs.push_back(k * 0.0071);
    for (double x : xs) {
        const double a = turnRemainder(x), b = std::fmod(x, turn);
        EXPECT_TRUE(std::isnan(b) ? std::isnan(a) : std::memcmp(&a, &b, sizeof a) == 0)
            << x << ": " << a << " against " << b;
    }
}

FigureElement arcOf(double r, double fromDeg, double toDeg) {
    return vel::arcFigure({0, 0}, r, {r * std::cos(fromDeg * kDeg), r * std::sin(fromDeg * kDeg)},
                          {r * std::cos(toDeg * kDeg), r * std::sin(toDeg * kDeg)});
}

TEST(PointOnArc, QuarterArcSeparatesArcCircleAndElsewhere) {
    const FigureElement q = arcOf(10, 0, 90);
    EXPECT_EQ(pointOnArc(q, {10 * std::cos(M_PI / 4), 10 * std::sin(M_PI / 4)}), 2);
    EXPECT_EQ(pointOnArc(q, {-10, 0}), 1);
    EXPECT_EQ(pointOnArc(q, {0, -10}), 1);
    EXPECT_EQ(pointOnArc(q, {5, 5}), 0);
    EXPECT_EQ(pointOnArc(q, {0, 10 + 2e-6}), 0);
    EXPECT_EQ(pointOnArc(q, {0, 10 + 5e-7}), 2);
}

TEST(PointOnArc, EndsCountWithinTheCoincidenceDistance) {
    const FigureElement q = arcOf(10, 0, 90);
    EXPECT_EQ(pointOnArc(q, {10, -5e-7}), 2);  // just before the start
    EXPECT_EQ(pointOnArc(q, {10, -2e-6}), 1);  // on the circle, too far before it
    EXPECT_EQ(pointOnArc(q, {-5e-7, 10}), 2);  // just past the end
    EXPECT_EQ(pointOnArc(q, {-2e-6, 10}), 1);
}

TEST(PointOnArc, HalfArcsRunCounterClockwiseFromStartToEnd) {
    const FigureElement lower = arcOf(10, 180, 360);
    EXPECT_EQ(pointOnArc(lower, {0, -10}), 2);
    EXPECT_EQ(pointOnArc(lower, {0, 10}), 1);
    const FigureElement right = arcOf(10, 270, 90);  // through angle zero
    EXPECT_EQ(pointOnArc(right, {10, 0}), 2);
    EXPECT_EQ(pointOnArc(right, {-10, 0}), 1);
    FigureElement notArc = vel::lineFigure({0, 0}, {10, 0});
    EXPECT_EQ(pointOnArc(notArc, {5, 0}), 0);
}

}  // namespace
}  // namespace vel

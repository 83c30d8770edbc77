// SnapTest.cpp - object snaps find the exact point of each kind near the cursor, and only
// the kinds that are on.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "vel/io/Snap.h"
#include "vel/kernel/Drawing.h"

namespace {

using vel::Point;
using vel::SnapKind;
using vel::SnapKinds;

SnapKinds Only(std::initializer_list<SnapKind> kinds) {
    SnapKinds k;
    for (SnapKind kind : kinds) k.set(kind, true);
    return k;
}

const SnapKinds kAll = SnapKinds::fromBits(~0u);

class Snaps : public ::testing::Test {
protected:
    void SetUp() override {
        Line({0, 0}, {10, 0});
        Line({3, -4}, {3, 6});     // crosses the first at (3, 0), away from its middle
        Arc({20, 0}, 5, 10, 200);  // quadrants at 90° and 180° only
        Circle({40, 0}, 4);
        Line({36, -10}, {36, 10});               // touches the circle at (36, 0)
        Circle({60, 0}, 5), Circle({68, 0}, 5);  // cross at (64, ±3)
    }
    void Line(Point a, Point b) {
        vel::FigureElement e;
        e.type = vel::FigureType::Line;
        e.values[0] = a.x, e.values[1] = a.y, e.values[2] = b.x, e.values[3] = b.y;
        Add(e);
    }
    void Arc(Point c, double r, double fromDegrees, double toDegrees) {
        const double a = fromDegrees * std::numbers::pi / 180,
                     b = toDegrees * std::numbers::pi / 180;
        vel::FigureElement e;
        e.type = vel::FigureType::Arc;
        e.values[0] = c.x, e.values[1] = c.y;
        e.values[2] = c.x + r * std::cos(a), e.values[3] = c.y + r * std::sin(a);
        e.values[4] = c.x + r * std::cos(b), e.values[5] = c.y + r * std::sin(b);
        e.values[6] = r;
        Add(e);
    }
    void Circle(Point c, double r) {
        vel::FigureElement e;
        e.type = vel::FigureType::Circle;
        e.values[0] = c.x, e.values[1] = c.y, e.values[2] = r;
        Add(e);
    }
    void Add(const vel::FigureElement& e) {
        drawing_.appendElement(drawing_.createSegment(vel::SegmentKind::Figure), e);
    }
    std::optional<vel::Snap> At(Point p, SnapKinds kinds = kAll, double reach = 0.5) {
        return vel::findSnap(drawing_, p, reach, kinds);
    }

    // A cursor, the kinds on, and the kind and point it must snap to.
    struct Row {
        Point cursor;
        SnapKinds kinds;
        SnapKind kind;
        Point at;
    };
    void ExpectSnaps(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << "cursor " << row.cursor.x << "," << row.cursor.y);
            const auto snap = At(row.cursor, row.kinds);
            ASSERT_TRUE(snap.has_value());
            EXPECT_EQ(snap->kind, row.kind) << vel::snapKindName(snap->kind);
            EXPECT_NEAR(snap->at.x, row.at.x, 1e-9);
            EXPECT_NEAR(snap->at.y, row.at.y, 1e-9);
        }
    }

    vel::Drawing drawing_;
};

// Each kind where a designer aims, the nearest point winning over the kinds that are farther.
TEST_F(Snaps, EachKindLandsExactlyOnItsPoint) {
    const double s45 = 4 * std::sqrt(0.5);
    const std::vector<Row> rows = {
        {{0.2, 0.1}, kAll, SnapKind::Endpoint, {0, 0}},
        {{5.1, -0.2}, kAll, SnapKind::Midpoint, {5, 0}},
        {{3.1, 0.2}, kAll, SnapKind::Intersection, {3, 0}},
        {{40.1, 0.3}, kAll, SnapKind::Centre, {40, 0}},
        {{44.2, 0.1}, kAll, SnapKind::Quadrant, {44, 0}},
        {{20.1, 5.2}, kAll, SnapKind::Quadrant, {20, 5}},
        {{14.9, 0.2}, kAll, SnapKind::Quadrant, {15, 0}},
        {{64.2, 3.1}, kAll, SnapKind::Intersection, {64, 3}},
        // Where a line touches a circle, the touching point is their crossing.
        {{36.1, 0.2}, Only({SnapKind::Intersection}), SnapKind::Intersection, {36, 0}},
        // On a curve, away from its points: the centre it turns about.
        {{40 + s45 + 0.1, s45}, kAll, SnapKind::Centre, {40, 0}},
        // The nearest point when nothing else is asked for.
        {{7.3, 0.2}, Only({SnapKind::Nearest}), SnapKind::Nearest, {7.3, 0}},
        {{0.2, 0.1}, Only({SnapKind::Nearest, SnapKind::Midpoint}), SnapKind::Nearest, {0.2, 0}},
    };
    ExpectSnaps(rows);
    // A nearest point lies on its figure: on the circle, at its radius.
    const auto onCircle = At({40 + s45 + 0.1, s45}, Only({SnapKind::Nearest}));
    ASSERT_TRUE(onCircle.has_value());
    EXPECT_NEAR(vel::distance(onCircle->at, {40, 0}), 4.0, 1e-12);
}

// A line drawn touching a circle meets it at the touching point, at any angle, though rounding
// leaves the line a hair off the circle or across it.
TEST_F(Snaps, ALineTouchingACircleCrossesItWhereItTouches) {
    for (double angle : {0.3, 0.7, 1.1, 2.0, 2.9, 4.1, 5.5, 6.1}) {
        SCOPED_TRACE(angle);
        drawing_ = vel::Drawing{};
        const Point centre{100.3, -7.9}, u{std::cos(angle), std::sin(angle)};
        const Point touch = centre + u * 3.7, along{-u.y * 20, u.x * 20};
        Circle(centre, 3.7);
        Line(touch - along, touch + along);
        const auto snap = At(touch + u * 0.2, Only({SnapKind::Intersection}));
        ASSERT_TRUE(snap.has_value());
        EXPECT_NEAR(vel::distance(snap->at, touch), 0.0, 1e-6);
    }
}

// Where designers aim and a careless rule goes wrong: lines whose lines cross beyond their ends,
// circles not level with each other, arcs across the 180° and 0° turns, every quadrant, the
// nearest point beside an arc's end, and the kind named where two kinds meet.
TEST_F(Snaps, PointsThatTakeMoreThanTheUsualCase) {
    Line({100, 0}, {105, 0});
    Line({105.3, -3}, {105.3, 5});  // their lines cross at (105.3, 0), beyond the first's end
    Circle({100, 30}, 5), Circle({106, 34}, 5);
    Arc({130, 0}, 5, 150, 210), Arc({150, 0}, 5, 300, 60);  // middles at 180° and at 0°
    Circle({170, 0}, 4);
    Arc({190, 0}, 5, 10, 200);
    Line({10, 0}, {10, 5});  // ends where the first line ends: an end and a crossing at once
    // The two circles cross on the line of their centres' middle, square to it.
    const Point c1{100, 30}, c2{106, 34}, mid = (c1 + c2) * 0.5;
    const Point axis = (c2 - c1) * (1 / vel::distance(c1, c2));
    const double h = std::sqrt(25.0 - 0.25 * vel::dot(c2 - c1, c2 - c1));
    const Point crossing = mid + Point{-axis.y, axis.x} * h;
    const Point nearEnd{190 + 5 * std::cos(0.1), 5 * std::sin(0.1)};  // 5.7° on the circle
    const std::vector<Row> rows = {
        {crossing + Point{0.1, 0.1}, Only({SnapKind::Intersection}), SnapKind::Intersection,
         crossing},
        {{125.1, 0.1}, kAll, SnapKind::Midpoint, {125, 0}},
        {{155.1, 0.1}, kAll, SnapKind::Midpoint, {155, 0}},
        {{174.1, 0.1}, kAll, SnapKind::Quadrant, {174, 0}},
        {{170.1, 4.1}, kAll, SnapKind::Quadrant, {170, 4}},
        {{165.9, 0.1}, kAll, SnapKind::Quadrant, {166, 0}},
        {{170.1, -4.1}, kAll, SnapKind::Quadrant, {170, -4}},
        {nearEnd,
         Only({SnapKind::Nearest}),
         SnapKind::Nearest,
         {190 + 5 * std::cos(10 * std::numbers::pi / 180),
          5 * std::sin(10 * std::numbers::pi / 180)}},
        {{10.1, 0.1}, kAll, SnapKind::Endpoint, {10, 0}},
    };
    ExpectSnaps(rows);
    EXPECT_FALSE(At({105.2, 0.1}, Only({SnapKind::Intersection}))) << "no crossing past an end";
    // The reach is what a zoom makes of the pick box: 0.2 away is within 0.5, not within 0.1.
    EXPECT_TRUE(At({0.2, 0.0}, Only({SnapKind::Endpoint}), 0.5));
    EXPECT_FALSE(At({0.2, 0.0}, Only({SnapKind::Endpoint}), 0.1));
}

TEST_F(Snaps, NothingSnapsOutOfReachOrOfAKindThatIsOff) {
    EXPECT_FALSE(At({0.2, 0.1}, Only({SnapKind::Midpoint})));  // the end is off, the middle far
    EXPECT_FALSE(At({0.2, 0.1}, SnapKinds{}));
    EXPECT_FALSE(At({5, 3}));  // nothing within reach
    // The arc's 0° lies off its sweep: no quadrant there, nor a nearest point on the arc.
    EXPECT_FALSE(At({25.0, -0.2}));
    EXPECT_FALSE(At({0.2, 0.1}, kAll, -1.0));
    EXPECT_FALSE(At({std::nan(""), 0.0}));
}

}  // namespace

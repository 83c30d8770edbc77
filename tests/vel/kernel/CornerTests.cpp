// CornerTest.cpp - round corners and chamfers between lines: tangency, placement
// in the chain, refusals that leave the drawing as it was, amending, removing and
// the outline as drawn.
#include <gtest/gtest.h>

#include "tests/vel/kernel/KernelTestSupport.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"

namespace vel {
namespace {

using test::pt;

const FigureElement& figureOf(const Drawing& d, int id) {
    return *d.element(id)->figure();
}

double lineDistance(Point a, Point b, Point q) {
    return std::fabs(test::rightDistance(a, b, q));
}

// A round corner between two lines whose rays from the vertex v run along ua and ub.
void expectTangentCorner(const FigureElement& c, Point v, Point ua, Point ub, double r) {
    ASSERT_EQ(c.type, FigureType::CornerR);
    const Point centre = pt(c, 0), p = pt(c, 2), q = pt(c, 4);
    const double phi = std::acos(dot(normalized(ua), normalized(ub)));
    EXPECT_DOUBLE_EQ(c.values[6], r);
    EXPECT_NEAR(lineDistance(v, v + ua, centre), r, 1e-9);
    EXPECT_NEAR(lineDistance(v, v + ub, centre), r, 1e-9);
    EXPECT_NEAR(lineDistance(v, v + ua, p), 0, 1e-9);
    EXPECT_NEAR(lineDistance(v, v + ub, q), 0, 1e-9);
    EXPECT_NEAR(distance(centre, p), r, 1e-9);  // radius at the tangent point is normal
    EXPECT_NEAR(dot(centre - p, ua), 0, 1e-9);
    EXPECT_NEAR(distance(v, p), r / std::tan(phi / 2), 1e-9);
    EXPECT_NEAR(distance(v, q), r / std::tan(phi / 2), 1e-9);
    EXPECT_NEAR(distance(v, centre), r / std::sin(phi / 2), 1e-9);
    EXPECT_GT(dot(p - v, ua), 0);  // towards the line, not away from it
    EXPECT_GT(dot(q - v, ub), 0);
}

TEST(AddCorner, RoundCornerOnARightAngleIsTangentAndSitsBetweenItsLines) {
    Drawing d;
    std::vector<int> e;
    const int seg = test::insertRectangle(d, &e);
    const int c = addCorner(d, e[1], e[2], 0, 10);  // at LR
    ASSERT_GT(c, 0);
    expectTangentCorner(figureOf(d, c), {100, 0}, {-1, 0}, {0, 1}, 10);
    EXPECT_EQ(d.segment(seg)->indexOf(c), 2);
    EXPECT_EQ(pt(figureOf(d, c), 0), (Point{90, 10}));
    EXPECT_FALSE(d.element(c)->color.has_value());
    EXPECT_FALSE(d.element(c)->lineType.has_value());
    // The lines keep their sharp geometry.
    EXPECT_EQ(pt(figureOf(d, e[1]), 2), (Point{100, 0}));
    EXPECT_EQ(pt(figureOf(d, e[2]), 0), (Point{100, 0}));
}

TEST(AddCorner, RoundCornerOnSharpAndObtuseAnglesIsTangent) {
    for (double deg : {60.0, 135.0}) {
        Drawing d;
        const int seg = d.createSegment(SegmentKind::Figure);
        const double a = (180.0 - deg) * M_PI / 180.0;  // turn at the vertex
        const Point v{50, 0}, far{50 + 80 * std::cos(a), 80 * std::sin(a)};
        const int l1 = d.appendElement(seg, vel::lineFigure({0, 0}, v));
        const int l2 = d.appendElement(seg, vel::lineFigure(v, far));
        const int c = addCorner(d, l1, l2, 0, 7);
        ASSERT_GT(c, 0) << deg;
        expectTangentCorner(figureOf(d, c), v, {-1, 0}, far - v, 7);
        EXPECT_NEAR(std::acos(dot(normalized(Point{-1, 0}), normalized(far - v))), deg * M_PI / 180,
                    1e-12);
    }
}

TEST(AddCorner, ChamferCutsEqualLegsFromTheVertex) {
    Drawing d;
    std::vector<int> e;
    test::insertRectangle(d, &e);
    const int c = addCorner(d, e[2], e[3], 1, 8);  // at UR
    ASSERT_GT(c, 0);
    const FigureElement& f = figureOf(d, c);
    EXPECT_EQ(f.type, FigureType::Chamfer);
    EXPECT_NEAR(distance(pt(f, 0), {100, 60}), 8, 1e-12);
    EXPECT_NEAR(distance(pt(f, 2), {100, 60}), 8, 1e-12);
    EXPECT_NEAR(pt(f, 0).x, 100, 1e-12);  // on the preceding, vertical line
    EXPECT_NEAR(pt(f, 2).y, 60, 1e-12);   // on the following, top line
}

TEST(AddCorner, EitherArgumentOrderGivesTheSameCorner) {
    Drawing d1, d2;
    std::vector<int> e1, e2;
    const int s1 = test::insertRectangle(d1, &e1);
    const int s2 = test::insertRectangle(d2, &e2);
    const int c1 = addCorner(d1, e1[0], e1[1], 0, 5);
    const int c2 = addCorner(d2, e2[1], e2[0], 0, 5);
    ASSERT_GT(c1, 0);
    ASSERT_GT(c2, 0);
    EXPECT_EQ(d1.segment(s1)->indexOf(c1), 1);
    EXPECT_EQ(d2.segment(s2)->indexOf(c2), 1);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(figureOf(d1, c1).values[i], figureOf(d2, c2).values[i]);
    EXPECT_NEAR(pt(figureOf(d1, c1), 2).x, 0, 1e-12);  // preceding point on the left side
}

TEST(AddCorner, ClosingPairGetsItsCornerAppendedAtTheEnd) {
    Drawing d;
    std::vector<int> e;
    const int seg = test::insertRectangle(d, &e);
    const int c = addCorner(d, e[0], e[3], 0, 10);  // UR->UL then UL->LL
    ASSERT_GT(c, 0);
    EXPECT_EQ(d.segment(seg)->elements.back().id, c);
    expectTangentCorner(figureOf(d, c), {0, 60}, {1, 0}, {0, -1}, 10);
    EXPECT_NEAR(pt(figureOf(d, c), 2).y, 60, 1e-12);  // preceding element is the top line
    // Open, the same pair is not adjacent.
    d.segment(seg)->closed = false;
    d.eraseElement(c);
    EXPECT_EQ(addCorner(d, e[3], e[0], 0, 10), -1);
}

TEST(AddCorner, RefusalsChangeNothing) {
    Drawing d;
    std::vector<int> e;
    const int seg = test::insertRectangle(d, &e);
    ASSERT_GT(addCorner(d, e[2], e[3], 0, 40), 0);  // takes 40 of the 60 side at UR
    const int open = d.createSegment(SegmentKind::Figure);
    const int s1 = d.appendElement(open, vel::lineFigure({0, 0}, {10, 0}));
    const int s2 = d.appendElement(open, vel::lineFigure({10, 0}, {20, 0}));
    const int arc = d.appendElement(open, vel::arcFigure({20, 5}, 5, {20, 0}, {25, 5}));
    const auto before = test::snapshot(*d.segment(seg));
    const auto openBefore = test::snapshot(*d.segment(open));

    EXPECT_EQ(addCorner(d, e[0], e[2], 0, 5), -1);      // opposite sides
    EXPECT_EQ(addCorner(d, s1, s2, 0, 1), -1);          // parallel
    EXPECT_EQ(addCorner(d, s2, arc, 0, 1), -1);         // not a line
    EXPECT_EQ(addCorner(d, e[0], e[1], 0, 60.01), -1);  // past the far end of the left side
    EXPECT_EQ(addCorner(d, e[1], e[2], 1, 20.01), -1);  // meets the corner at UR
    EXPECT_EQ(addCorner(d, e[2], e[3], 1, 5), -1);      // a corner is already there
    EXPECT_EQ(addCorner(d, e[0], s1, 0, 5), -1);        // other segment
    EXPECT_EQ(addCorner(d, e[0], e[0], 0, 5), -1);
    EXPECT_EQ(addCorner(d, e[0], e[1], 2, 5), -1);  // unknown kind
    for (double bad : {0.0, -3.0, std::nan(""), HUGE_VAL})
        EXPECT_EQ(addCorner(d, e[0], e[1], 0, bad), -1) << bad;
    EXPECT_EQ(test::snapshot(*d.segment(seg)), before);
    EXPECT_EQ(test::snapshot(*d.segment(open)), openBefore);

    // Exactly reaching the far end, or the neighbouring corner, still fits.
    EXPECT_GT(addCorner(d, e[1], e[2], 1, 20), 0);
    EXPECT_GT(addCorner(d, e[0], e[1], 0, 60), 0);
}

TEST(AmendCorner, ResizesInPlaceOrRefusesUnchanged) {
    Drawing d;
    std::vector<int> e;
    const int seg = test::insertRectangle(d, &e);
    const int c = addCorner(d, e[1], e[2], 0, 10);
    const int k = addCorner(d, e[2], e[3], 1, 10);
    ASSERT_EQ(amendCorner(d, c, 20), 0);
    EXPECT_EQ(d.segment(seg)->indexOf(c), 2);
    expectTangentCorner(figureOf(d, c), {100, 0}, {-1, 0}, {0, 1}, 20);
    const auto before = test::snapshot(*d.segment(seg));
    EXPECT_EQ(amendCorner(d, c, 51), -1);  // meets the chamfer at UR
    EXPECT_EQ(amendCorner(d, k, 41), -1);
    EXPECT_EQ(amendCorner(d, c, 0), -1);
    EXPECT_EQ(amendCorner(d, e[0], 5), -1);  // not a corner
    EXPECT_EQ(amendCorner(d, 9999, 5), -1);
    EXPECT_EQ(test::snapshot(*d.segment(seg)), before);
    ASSERT_EQ(amendCorner(d, k, 40), 0);
    EXPECT_EQ(figureOf(d, k).type, FigureType::Chamfer);
    EXPECT_NEAR(distance(pt(figureOf(d, k), 2), {100, 60}), 40, 1e-12);
}

TEST(RemoveCorner, LetsTheLinesMeetAgain) {
    Drawing d;
    std::vector<int> e;
    const int seg = test::insertRectangle(d, &e);
    const int c = addCorner(d, e[1], e[2], 0, 10);
    EXPECT_EQ(removeCorner(d, e[1]), -1);
    EXPECT_EQ(removeCorner(d, c), 0);
    EXPECT_EQ(d.segment(seg)->elements.size(), 4u);
    EXPECT_EQ(removeCorner(d, c), -1);
    const Line bottom = test::asLine(drawnPrimitives(d, *d.segment(seg), 1).at(0));
    EXPECT_EQ(bottom.end, (Point{100, 0}));
    EXPECT_GT(addCorner(d, e[1], e[2], 1, 10), 0);
}

TEST(DrawnPrimitives, CornersCutTheOutlineIntoOneClosedChain) {
    Drawing d;
    std::vector<int> e;
    const int seg = test::insertRectangle(d, &e);
    addCorner(d, e[1], e[2], 0, 10);
    addCorner(d, e[2], e[3], 1, 8);
    addCorner(d, e[3], e[0], 0, 15);
    const std::vector<Primitive> ps = drawnPrimitives(d, *d.segment(seg));
    ASSERT_EQ(ps.size(), 7u);
    for (size_t k = 0; k < ps.size(); ++k)
        EXPECT_NEAR(distance(test::endOf(ps[k]), test::startOf(ps[(k + 1) % ps.size()])), 0, 1e-9)
            << k;
    EXPECT_TRUE(std::holds_alternative<Arc>(ps[2]));
    EXPECT_TRUE(std::holds_alternative<Line>(ps[4]));  // the chamfer
    // Each side keeps only what lies between its corners.
    const Line left = test::asLine(ps[0]);
    EXPECT_NEAR(left.start.y, 45, 1e-12);
    EXPECT_NEAR(left.end.y, 0, 1e-12);
    const Extents box = extentsOf(ps);
    EXPECT_NEAR(box.maxX, 100, 1e-9);
    EXPECT_NEAR(box.minY, 0, 1e-9);
    // Picking the rounded corner finds the arc, not the cut-away vertex.
    EXPECT_GT(distanceTo(ps[2], {100, 0}), 4);
    EXPECT_NEAR(distanceTo(ps[2], {90 + 10 * M_SQRT1_2, 10 - 10 * M_SQRT1_2}), 0, 1e-9);
}

TEST(DrawnPrimitives, RightTurnCornerArcRunsFromTheFollowingTangentPoint) {
    // An L-shaped counter-clockwise outline; at (40, 30) the chain turns right.
    Drawing d;
    std::vector<int> e;
    const int seg =
        test::insertOutline(d, {{0, 0}, {80, 0}, {80, 30}, {40, 30}, {40, 70}, {0, 70}}, &e);
    const int c = addCorner(d, e[2], e[3], 0, 5);
    ASSERT_GT(c, 0);
    expectTangentCorner(figureOf(d, c), {40, 30}, {1, 0}, {0, 1}, 5);
    const Arc arc = std::get<Arc>(drawnPrimitives(d, *d.segment(seg), 3).at(0));
    EXPECT_NEAR(distance(arc.start(), pt(figureOf(d, c), 4)), 0, 1e-9);
    EXPECT_NEAR(distance(arc.end(), pt(figureOf(d, c), 2)), 0, 1e-9);
    EXPECT_NEAR(arc.sweep(), M_PI / 2, 1e-12);
    EXPECT_EQ(figureDirection(d, seg), 1);
}

TEST(DrawnPrimitives, LineStoredAgainstTheChainIsCutAtItsCornerEnd) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    const int a = d.appendElement(seg, vel::lineFigure({0, 0}, {50, 0}));
    const int b =
        d.appendElement(seg, vel::lineFigure({50, 80}, {50, 0}));  // runs back to the vertex
    const int c = addCorner(d, a, b, 1, 10);
    ASSERT_GT(c, 0);
    EXPECT_EQ(pt(figureOf(d, c), 2), (Point{50, 10}));
    const Line drawn = test::asLine(drawnPrimitives(d, *d.segment(seg), 2).at(0));
    EXPECT_EQ(drawn.start, (Point{50, 80}));
    EXPECT_EQ(drawn.end, (Point{50, 10}));
    EXPECT_EQ(test::asLine(drawnPrimitives(d, *d.segment(seg), 0).at(0)).end, (Point{40, 0}));
}

TEST(DrawnPrimitives, DimensionsAndLeadersDrawTheirLines) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Dimension);
    DimensionElement v;
    v.a = {0, 0};
    v.b = {30, 20};
    v.direction = 90;
    d.appendElement(seg, v);
    LeaderElement leader;
    leader.points = {{0, 0}, {5, 5}, {10, 5}};
    d.appendElement(seg, leader);
    const Segment& s = *d.segment(seg);
    const std::vector<Primitive> dim = drawnPrimitives(d, s, 0);
    ASSERT_EQ(dim.size(), 2u);
    EXPECT_EQ(test::asLine(dim[0]).end, (Point{0, 20}));     // measure line
    EXPECT_EQ(test::asLine(dim[1]).start, (Point{30, 20}));  // extension from b
    EXPECT_EQ(test::asLine(dim[1]).end, (Point{0, 20}));
    EXPECT_EQ(drawnPrimitives(d, s, 1).size(), 2u);
    EXPECT_TRUE(drawnPrimitives(d, s, 2).empty());
    EXPECT_EQ(drawnPrimitives(d, s).size(), 4u);
}

}  // namespace
}  // namespace vel

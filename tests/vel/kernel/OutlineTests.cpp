// OutlineTest.cpp - outline direction, offset outlines and moved, rotated and
// scaled copies of segments.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/vel/kernel/KernelTestSupport.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"

namespace vel {
namespace {

using test::pt;

// The default insert: a counter-clockwise 100 x 60 rectangle with a round corner
// of 10 at LR, a chamfer of 8 at UR and a round corner of 15 at UL (closing pair).
struct Insert {
    Drawing d;
    std::vector<int> e;
    int seg = 0, roundLR = 0, chamferUR = 0, roundUL = 0;
    Insert() {
        seg = test::insertRectangle(d, &e);
        roundLR = addCorner(d, e[1], e[2], 0, 10);
        chamferUR = addCorner(d, e[2], e[3], 1, 8);
        roundUL = addCorner(d, e[3], e[0], 0, 15);
        d.element(e[1])->color = 3;
        d.element(roundLR)->lineType = 2;
    }
};

std::vector<const FigureElement*> figures(const Drawing& d, int seg) {
    std::vector<const FigureElement*> out;
    for (const Element& el : d.segment(seg)->elements) out.push_back(el.figure());
    return out;
}

// Every drawn line of the offset lies on its original line moved by dist to the right.
void expectLinesMoved(const Drawing& d, int original, int offset, double dist) {
    const Segment& o = *d.segment(original);
    const Segment& n = *d.segment(offset);
    std::vector<Line> from, to;
    for (size_t i = 0; i < o.elements.size(); ++i)
        if (o.elements[i].figure()->type == FigureType::Line)
            from.push_back(test::asLine(drawnPrimitives(d, o, int(i)).at(0)));
    for (size_t i = 0; i < n.elements.size(); ++i)
        if (n.elements[i].figure()->type == FigureType::Line)
            to.push_back(test::asLine(drawnPrimitives(d, n, int(i)).at(0)));
    ASSERT_EQ(from.size(), to.size());
    for (size_t k = 0; k < from.size(); ++k) {
        for (Point p : {to[k].start, to[k].end})
            EXPECT_NEAR(test::rightDistance(from[k].start, from[k].end, p), dist, 1e-9) << k;
        EXPECT_GT(dot(to[k].end - to[k].start, from[k].end - from[k].start), 0) << k;
    }
}

TEST(Direction, FollowsTheSignedAreaOfTheOutline) {
    Drawing d;
    const int ccw = test::insertRectangle(d, nullptr);
    const int cw = test::insertOutline(d, {{0, 60}, {100, 60}, {100, 0}, {0, 0}}, nullptr);
    EXPECT_EQ(figureDirection(d, ccw), 1);
    EXPECT_EQ(figureDirection(d, cw), 2);
    const int flat = test::insertOutline(d, {{0, 0}, {50, 0}, {100, 0}}, nullptr);
    EXPECT_EQ(figureDirection(d, flat), -1);
    d.segment(ccw)->closed = false;
    EXPECT_EQ(figureDirection(d, ccw), -1);
    EXPECT_EQ(figureDirection(d, 9999), -1);
    EXPECT_EQ(figureDirection(d, d.createSegment(SegmentKind::Dimension)), -1);
}

TEST(Direction, CountsCornersAndArcBulges) {
    Insert ins;
    EXPECT_EQ(figureDirection(ins.d, ins.seg), 1);
    // Half discs whose chords alone enclose nothing: only the arc decides.
    Drawing d;
    const int up = d.createSegment(SegmentKind::Figure);
    d.appendElement(up, vel::arcFigure({0, 0}, 1, {1, 0}, {-1, 0}));
    d.appendElement(up, vel::lineFigure({-1, 0}, {1, 0}));
    d.segment(up)->closed = true;
    EXPECT_EQ(figureDirection(d, up), 1);
    const int back = d.createSegment(SegmentKind::Figure);
    d.appendElement(back, vel::lineFigure({1, 0}, {-1, 0}));
    d.appendElement(back, vel::arcFigure({0, 0}, 1, {1, 0}, {-1, 0}));
    d.segment(back)->closed = true;
    EXPECT_EQ(figureDirection(d, back), 2);
}

TEST(Offset, OutwardMovesLinesAndGrowsRoundCorners) {
    Insert ins;
    ins.d.setCurrentLayer(4);
    const int off = offsetSegment(ins.d, ins.seg, 5);
    ASSERT_GT(off, 0);
    const Segment& s = *ins.d.segment(off);
    EXPECT_TRUE(s.closed);
    EXPECT_EQ(s.layer, 4);
    ASSERT_EQ(s.elements.size(), 7u);
    const auto f = figures(ins.d, off);
    const auto o = figures(ins.d, ins.seg);
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(f[i]->type, o[i]->type) << i;
    expectLinesMoved(ins.d, ins.seg, off, 5);

    for (size_t i : {2u, 6u}) {  // round corners: same centre, radius r + 5, tangent
        EXPECT_EQ(pt(*f[i], 0), pt(*o[i], 0));
        EXPECT_DOUBLE_EQ(f[i]->values[6], o[i]->values[6] + 5);
        EXPECT_NEAR(distance(pt(*f[i], 0), pt(*f[i], 2)), f[i]->values[6], 1e-9);
        EXPECT_NEAR(distance(pt(*f[i], 0), pt(*f[i], 4)), f[i]->values[6], 1e-9);
    }
    for (Point p : {pt(*f[4], 0), pt(*f[4], 2)})  // chamfer cut line moved by 5
        EXPECT_NEAR(test::rightDistance(pt(*o[4], 0), pt(*o[4], 2), p), 5, 1e-9);

    EXPECT_EQ(s.elements[1].color, 3);
    EXPECT_EQ(s.elements[2].lineType, 2);
    EXPECT_EQ(figureDirection(ins.d, off), 1);
    const Extents box = extentsOf(drawnPrimitives(ins.d, s));
    EXPECT_NEAR(box.minX, -5, 1e-9);
    EXPECT_NEAR(box.maxX, 105, 1e-9);
    EXPECT_NEAR(box.minY, -5, 1e-9);
    EXPECT_NEAR(box.maxY, 65, 1e-9);
}

TEST(Offset, InwardShrinksCornersAndDropsThoseThatVanish) {
    Insert ins;
    const int in5 = offsetSegment(ins.d, ins.seg, -5);
    ASSERT_GT(in5, 0);
    expectLinesMoved(ins.d, ins.seg, in5, -5);
    const auto f = figures(ins.d, in5);
    EXPECT_DOUBLE_EQ(f[2]->values[6], 5);
    EXPECT_EQ(pt(*f[2], 0), (Point{90, 10}));
    for (Point p : {pt(*f[4], 0), pt(*f[4], 2)})
        EXPECT_NEAR(test::rightDistance({100, 52}, {92, 60}, p), -5, 1e-9);

    // At -10 the round corner of 10 is gone and its lines meet sharp.
    const int in10 = offsetSegment(ins.d, ins.seg, -10);
    ASSERT_GT(in10, 0);
    const Segment& s = *ins.d.segment(in10);
    ASSERT_EQ(s.elements.size(), 6u);
    EXPECT_EQ(s.elements[2].figure()->type, FigureType::Line);
    EXPECT_EQ(pt(*s.elements[1].figure(), 2), (Point{90, 10}));
    EXPECT_EQ(pt(*s.elements[2].figure(), 0), (Point{90, 10}));
    expectLinesMoved(ins.d, ins.seg, in10, -10);
    EXPECT_EQ(figureDirection(ins.d, in10), 1);

    // The chamfer's corner triangle is gone by -14 (8 / sqrt 2 / (sqrt 2 - 1) = 13.66).
    const int in14 = offsetSegment(ins.d, ins.seg, -14);
    ASSERT_GT(in14, 0);
    for (const Element& el : ins.d.segment(in14)->elements)
        EXPECT_NE(el.figure()->type, FigureType::Chamfer);
    EXPECT_EQ(ins.d.segment(in14)->elements.size(), 5u);  // only the round 15 remains
}

TEST(Offset, RefusesWhenASideWouldVanishOrReverse) {
    Drawing d;
    const int rect = test::insertRectangle(d, nullptr);
    const size_t segments = d.segments().size();
    EXPECT_EQ(offsetSegment(d, rect, -30), -1);
    EXPECT_EQ(offsetSegment(d, rect, -31), -1);
    EXPECT_GT(offsetSegment(d, rect, -29), 0);

    // Chamfers of 25 at both ends of the 60 side leave 10 of it; legs grow by
    // (2 - sqrt 2) per unit outward, so 13 inward reverses it.
    Drawing c;
    std::vector<int> e;
    const int seg = test::insertRectangle(c, &e);
    ASSERT_GT(addCorner(c, e[1], e[2], 1, 25), 0);
    ASSERT_GT(addCorner(c, e[2], e[3], 1, 25), 0);
    EXPECT_GT(offsetSegment(c, seg, -12), 0);
    EXPECT_EQ(offsetSegment(c, seg, -13), -1);
    EXPECT_EQ(d.segments().size(), segments + 1);
}

TEST(Offset, RefusesWhatItCannotOffset) {
    Drawing d;
    std::vector<int> e;
    const int rect = test::insertRectangle(d, &e);
    d.segment(rect)->closed = false;
    const int half = d.createSegment(SegmentKind::Figure);
    d.appendElement(half, vel::arcFigure({0, 0}, 1, {1, 0}, {-1, 0}));
    d.appendElement(half, vel::lineFigure({-1, 0}, {1, 0}));
    d.segment(half)->closed = true;
    const int two = test::insertOutline(d, {{0, 0}, {10, 0}}, nullptr);
    const int dim = d.createSegment(SegmentKind::Dimension);
    const size_t segments = d.segments().size();
    for (int seg : {rect, half, two, dim, 9999}) EXPECT_EQ(offsetSegment(d, seg, 1), -1) << seg;
    d.segment(rect)->closed = true;
    EXPECT_EQ(offsetSegment(d, rect, NAN), -1);
    EXPECT_EQ(d.segments().size(), segments);
}

TEST(Offset, ClockwiseOutlineMovesInwardAndShrinksItsCorners) {
    Drawing d;
    std::vector<int> e;
    const int cw = test::insertOutline(d, {{0, 60}, {100, 60}, {100, 0}, {0, 0}}, &e);
    const int c = addCorner(d, e[1], e[2], 0, 10);  // at LR, a right turn
    ASSERT_GT(c, 0);
    const int off = offsetSegment(d, cw, 4);
    ASSERT_GT(off, 0);
    expectLinesMoved(d, cw, off, 4);
    const FigureElement& r = *d.segment(off)->elements[2].figure();
    EXPECT_DOUBLE_EQ(r.values[6], 6);
    EXPECT_EQ(pt(r, 0), pt(*d.element(c)->figure(), 0));
    const Extents box = extentsOf(drawnPrimitives(d, *d.segment(off)));
    EXPECT_NEAR(box.minX, 4, 1e-9);
    EXPECT_NEAR(box.maxY, 56, 1e-9);
    EXPECT_EQ(figureDirection(d, off), 2);
}

TEST(Offset, ConcaveRoundCornerShrinksOutward) {
    Drawing d;
    std::vector<int> e;
    const int seg =
        test::insertOutline(d, {{0, 0}, {80, 0}, {80, 30}, {40, 30}, {40, 70}, {0, 70}}, &e);
    const int c = addCorner(d, e[2], e[3], 0, 5);
    const int off = offsetSegment(d, seg, 2);
    ASSERT_GT(off, 0);
    expectLinesMoved(d, seg, off, 2);
    const FigureElement& r = *d.segment(off)->elements[3].figure();
    EXPECT_DOUBLE_EQ(r.values[6], 3);
    EXPECT_EQ(pt(r, 0), pt(*d.element(c)->figure(), 0));
    EXPECT_NEAR(distance(pt(r, 0), pt(r, 2)), 3, 1e-9);
}

// A side drawn as two lines in line, the second stored end to start: the joint
// between them moves straight out and each line keeps the way it was stored.
TEST(Offset, StraightJointsMoveSidewaysAndLinesKeepTheirStoredWay) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    for (const auto& [a, b] : std::vector<std::pair<Point, Point>>{{{0, 0}, {40, 0}},
                                                                   {{100, 0}, {40, 0}},
                                                                   {{100, 0}, {100, 60}},
                                                                   {{100, 60}, {0, 60}},
                                                                   {{0, 60}, {0, 0}}})
        d.appendElement(seg, vel::lineFigure(a, b));
    d.segment(seg)->closed = true;
    const int off = offsetSegment(d, seg, 3);
    ASSERT_GT(off, 0);
    const auto f = figures(d, off);
    ASSERT_EQ(f.size(), 5u);
    const Point expected[5][2] = {{{-3, -3}, {40, -3}},
                                  {{103, -3}, {40, -3}},
                                  {{103, -3}, {103, 63}},
                                  {{103, 63}, {-3, 63}},
                                  {{-3, 63}, {-3, -3}}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(pt(*f[i], 0), expected[i][0]) << i;
        EXPECT_EQ(pt(*f[i], 2), expected[i][1]) << i;
    }
}

TEST(Offset, RefusesAnOutlineThatDoublesBackOnItself) {
    Drawing d;
    const int seg = test::insertOutline(d, {{0, 0}, {50, 0}, {20, 0}, {20, 30}}, nullptr);
    const size_t segments = d.segments().size();
    EXPECT_EQ(offsetSegment(d, seg, 1), -1);
    EXPECT_EQ(d.segments().size(), segments);
}

TEST(EditSegment, CopyMovesAndLeavesTheSourceAlone) {
    Insert ins;
    ins.d.segment(ins.seg)->layer = 2;
    ins.d.segment(ins.seg)->attributes = {7};
    ins.d.setCurrentLayer(5);
    const auto before = test::snapshot(*ins.d.segment(ins.seg));
    const int copy = editSegment(ins.d, ins.seg, {0, 0}, {10, 5}, 0, 1, false);
    ASSERT_GT(copy, 0);
    ASSERT_NE(copy, ins.seg);
    EXPECT_EQ(test::snapshot(*ins.d.segment(ins.seg)), before);
    const Segment& s = *ins.d.segment(copy);
    EXPECT_EQ(s.layer, 2);
    EXPECT_TRUE(s.closed);
    EXPECT_EQ(s.attributes, std::set<int>{7});
    EXPECT_EQ(s.elements[1].color, 3);
    EXPECT_EQ(s.elements[2].lineType, 2);
    const auto o = figures(ins.d, ins.seg);
    const auto f = figures(ins.d, copy);
    for (size_t i = 0; i < f.size(); ++i) {
        EXPECT_EQ(f[i]->type, o[i]->type);
        EXPECT_EQ(pt(*f[i], 0), (pt(*o[i], 0) + Point{10, 5})) << i;
    }
    EXPECT_EQ(f[2]->values[6], 10);
}

TEST(EditSegment, InPlaceRotatesAboutTheTarget) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    const int arc = d.appendElement(seg, vel::arcFigure({0, 0}, 10, {10, 0}, {0, 10}));
    const int line = d.appendElement(seg, vel::lineFigure({20, 0}, {30, 0}));
    // Moved by (5, 5) - (0, 0), then turned a quarter about (5, 5).
    ASSERT_EQ(editSegment(d, seg, {0, 0}, {5, 5}, 90, 1, true), seg);
    const FigureElement& a = *d.element(arc)->figure();
    EXPECT_NEAR(distance(pt(a, 0), {5, 5}), 0, 1e-12);
    EXPECT_NEAR(distance(pt(a, 2), {5, 15}), 0, 1e-12);
    EXPECT_NEAR(distance(pt(a, 4), {-5, 5}), 0, 1e-12);
    EXPECT_EQ(pointOnArc(a, {5 - 10 * M_SQRT1_2, 5 + 10 * M_SQRT1_2}), 2);
    EXPECT_EQ(pointOnArc(a, {15, 5}), 1);
    const FigureElement& l = *d.element(line)->figure();
    EXPECT_NEAR(distance(pt(l, 0), {5, 25}), 0, 1e-12);
    EXPECT_NEAR(distance(pt(l, 2), {5, 35}), 0, 1e-12);
    EXPECT_EQ(d.segments().size(), 1u);
}

TEST(EditSegment, ScalesRadiiAndDimensionsRotateTheirDirection) {
    Insert ins;
    const int big = editSegment(ins.d, ins.seg, {0, 0}, {0, 0}, 0, 2, false);
    ASSERT_GT(big, 0);
    const auto f = figures(ins.d, big);
    EXPECT_EQ(f[2]->values[6], 20);
    EXPECT_EQ(pt(*f[2], 0), (Point{180, 20}));
    const Extents box = extentsOf(drawnPrimitives(ins.d, *ins.d.segment(big)));
    EXPECT_NEAR(box.maxX, 200, 1e-9);
    EXPECT_NEAR(box.maxY, 120, 1e-9);
    const int flipped = editSegment(ins.d, ins.seg, {0, 0}, {0, 0}, 0, -1, false);
    EXPECT_EQ(figures(ins.d, flipped)[6]->values[6], 15);  // radii stay positive
    EXPECT_EQ(figureDirection(ins.d, flipped), 1);         // a half turn keeps the sense

    Drawing d;
    const int seg = d.createSegment(SegmentKind::Dimension);
    DimensionElement dim;
    dim.a = {0, 0};
    dim.b = {30, 20};
    dim.direction = 0;
    const int id = d.appendElement(seg, dim);
    LeaderElement leader;
    leader.points = {{0, 0}, {10, 0}};
    leader.direction = 45;
    const int lid = d.appendElement(seg, leader);
    ASSERT_EQ(editSegment(d, seg, {0, 0}, {0, 0}, 90, 0.5, true), seg);
    const auto& moved = std::get<DimensionElement>(d.element(id)->body);
    EXPECT_DOUBLE_EQ(moved.direction, 90);
    EXPECT_NEAR(moved.measured(), 15, 1e-12);
    const auto& ml = std::get<LeaderElement>(d.element(lid)->body);
    EXPECT_EQ(ml.direction, 45);
    EXPECT_NEAR(distance(ml.points[1], {0, 5}), 0, 1e-12);
}

TEST(EditSegment, RejectsBadArgumentsWithoutChange) {
    Insert ins;
    const auto before = test::snapshot(*ins.d.segment(ins.seg));
    const size_t segments = ins.d.segments().size();
    EXPECT_EQ(editSegment(ins.d, ins.seg, {0, 0}, {1, 1}, 0, 0, true), -1);
    EXPECT_EQ(editSegment(ins.d, ins.seg, {0, 0}, {1, 1}, NAN, 1, false), -1);
    EXPECT_EQ(editSegment(ins.d, ins.seg, {0, INFINITY}, {1, 1}, 0, 1, true), -1);
    EXPECT_EQ(editSegment(ins.d, ins.seg, {0, 0}, {1, 1}, 0, NAN, true), -1);
    EXPECT_EQ(editSegment(ins.d, 9999, {0, 0}, {1, 1}, 0, 1, false), -1);
    EXPECT_EQ(test::snapshot(*ins.d.segment(ins.seg)), before);
    EXPECT_EQ(ins.d.segments().size(), segments);
}

}  // namespace
}  // namespace vel

// MeasureTests.cpp - extents of picked figures (arcs by their true extreme points),
// their union over a figure list, element neighbours with wrap-around and the
// size of equal-leg chamfers, read from the stand-in host's drawing.
#include <algorithm>
#include <cmath>
#include <random>

#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "tests/geometry/GeometryTestSupport.h"

namespace geometry_test {
namespace {

constexpr double kPi = 3.14159265358979323846;

using MeasureTest = GeometryTest;

TEST_F(MeasureTest, LineGivesItsEndPointsWhicheverWayItRuns) {
    EXPECT_EXTENTS(Measured(AddFigure({LineData({0, 0}, {10, 5})})), 0, 0, 10, 5);
    EXPECT_EXTENTS(Measured(AddFigure({LineData({10, 5}, {0, 0})})), 0, 0, 10, 5);
}

TEST_F(MeasureTest, FreshExtentsHoldTheSentinels) {
    const Extents e;
    EXPECT_EXTENTS(e, 10000000.0, 10000000.0, -10000000.0, -10000000.0);
    EXPECT_FALSE(e.measured());
}

TEST_F(MeasureTest, MeasuringAddsToTheExtentsPassedIn) {
    Extents e = Measured(AddFigure({LineData({0, 0}, {1, 1})}));
    MeasureFigure(AddFigure({LineData({5, -2}, {6, 3})}), e);
    EXPECT_EXTENTS(e, 0, -2, 6, 3);
}

TEST_F(MeasureTest, FiguresBeyondTheSentinelsAreMeasuredRight) {
    EXPECT_EXTENTS(Measured(AddFigure({LineData({2e7, 3e7}, {2.5e7, 3.5e7})})), 2e7, 3e7, 2.5e7,
                   3.5e7);
    EXPECT_EXTENTS(Measured(AddFigure({CircleData({-2e7, 0}, 1)})), -2e7 - 1, -1, -2e7 + 1, 1);
}

TEST_F(MeasureTest, QuarterArcAddsNoExtremeItDoesNotReach) {
    const FigureRef quarter = AddFigure({ArcData({0, 0}, 10, VelPoint{10, 0}, VelPoint{0, 10})});
    EXPECT_EXTENTS(Measured(quarter), 0, 0, 10, 10);
}

TEST_F(MeasureTest, HalfArcAddsTheTopThoughItIsNoEndPoint) {
    const FigureRef half = AddFigure({ArcData({0, 0}, 10, VelPoint{10, 0}, VelPoint{-10, 0})});
    EXPECT_EXTENTS(Measured(half), -10, 0, 10, 10);
}

TEST_F(MeasureTest, FullCircleGivesCentreAndRadius) {
    EXPECT_EXTENTS(Measured(AddFigure({CircleData({5, 5}, 2)})), 3, 3, 7, 7);
}

TEST_F(MeasureTest, PointAndMixedElementsMeasureTogether) {
    const FigureRef mixed = AddFigure(
        {LineData({0, 0}, {4, 0}), PointData({2, -3}), ArcData({20, 0}, 1, 0.5 * kPi, 1.5 * kPi)});
    // The arc's left half reaches x = 19; its start and end are (20, 1) and (20, -1).
    EXPECT_EXTENTS(Measured(mixed), 0, -3, 20, 1);
}

TEST_F(MeasureTest, CornerElementsAddNothingOfTheirOwn) {
    const FigureRef figure = AddFigure({LineData({0, 0}, {1, 1})});
    vel::FigureElement chamfer;
    chamfer.type = vel::FigureType::Chamfer;
    chamfer.values[0] = 50, chamfer.values[1] = 50, chamfer.values[2] = 60, chamfer.values[3] = 60;
    vel::FigureElement round;
    round.type = vel::FigureType::CornerR;
    round.values[0] = -40, round.values[1] = -40, round.values[6] = 3;
    ASSERT_GT(Drawing().appendElement(figure.id, chamfer), 0);
    ASSERT_GT(Drawing().appendElement(figure.id, round), 0);
    EXPECT_EXTENTS(Measured(figure), 0, 0, 1, 1);
}

// Arcs of every size and position against a fine walk along each: the measured
// box holds every point of the arc and is no larger than the walk shows.
TEST_F(MeasureTest, ArcExtentsMatchAFineWalkAlongTheArc) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> angle(-2 * kPi, 2 * kPi);
    std::uniform_real_distribution<double> sweep(1e-3, 2 * kPi - 1e-3);
    std::uniform_real_distribution<double> coordinate(-500, 500);
    std::uniform_real_distribution<double> radius(0.01, 300);
    constexpr int kSteps = 20000;
    for (int n = 0; n < 300; ++n) {
        const VelPoint c{coordinate(random), coordinate(random)};
        const double r = radius(random);
        double a0 = angle(random), a1 = a0 + sweep(random);
        // Every fifth arc starts or ends on an axis direction, where the extreme
        // point is also an end point.
        if (n % 5 == 0) a0 = kPi * 0.5 * (n % 4), a1 = a0 + sweep(random);
        const FigureData arc = ArcData(c, r, a0, a1);
        const Extents e = Measured(AddFigure({arc}));

        Extents walk;
        for (int k = 0; k <= kSteps; ++k) {
            const double t = a0 + (a1 - a0) * k / kSteps;
            const double x = c.x + r * std::cos(t), y = c.y + r * std::sin(t);
            walk.minX = std::min(walk.minX, x), walk.maxX = std::max(walk.maxX, x);
            walk.minY = std::min(walk.minY, y), walk.maxY = std::max(walk.maxY, y);
        }
        // Between two samples the arc strays at most r (1 - cos(step / 2)) from them.
        const double slack = r * (1 - std::cos((a1 - a0) / kSteps / 2)) + 1e-9 * (1 + r);
        SCOPED_TRACE(testing::Message() << "arc " << n << " centre (" << c.x << ", " << c.y
                                        << ") r " << r << " from " << a0 << " to " << a1);
        EXPECT_LE(e.minX, walk.minX + 1e-9 * (1 + r));
        EXPECT_LE(e.minY, walk.minY + 1e-9 * (1 + r));
        EXPECT_GE(e.maxX, walk.maxX - 1e-9 * (1 + r));
        EXPECT_GE(e.maxY, walk.maxY - 1e-9 * (1 + r));
        EXPECT_GE(e.minX, walk.minX - slack);
        EXPECT_GE(e.minY, walk.minY - slack);
        EXPECT_LE(e.maxX, walk.maxX + slack);
        EXPECT_LE(e.maxY, walk.maxY + slack);
    }
}

TEST_F(MeasureTest, ReadsTheSegmentOnceAndAsksTheHostAboutEachArcExtreme) {
    const FigureRef figure = AddFigure({ArcData({0, 0}, 10, VelPoint{10, 0}, VelPoint{-10, 0})});
    StartTrace();
    Measured(figure);
    const auto calls = Calls();
    ASSERT_EQ(CallNames(),
              (std::vector<std::string>{"VelSgmGetType", "VelSgmHasAttribute", "VelFigGetFigure2",
                                        "VelAriOnchkArc", "VelAriOnchkArc", "VelAriOnchkArc",
                                        "VelAriOnchkArc"}));
    EXPECT_EQ(calls[0]["args"], nlohmann::json::array({figure.id}));
    EXPECT_EQ(calls[1]["args"], nlohmann::json::array({figure.id, 5}));
    EXPECT_EQ(calls[2]["args"][2], 1000);
    // The four extremes of the circle, left, right, bottom, top; only the top is on it.
    const double expected[4][2] = {{-10, 0}, {10, 0}, {0, -10}, {0, 10}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(calls[3 + k]["args"][1][0].get<double>(), expected[k][0]);
        EXPECT_EQ(calls[3 + k]["args"][1][1].get<double>(), expected[k][1]);
    }
    // Both ends and the top lie on the half arc; the bottom only on its circle.
    EXPECT_EQ(calls[3]["ret"], 2);
    EXPECT_EQ(calls[4]["ret"], 2);
    EXPECT_EQ(calls[5]["ret"], 1);
    EXPECT_EQ(calls[6]["ret"], 2);
}

TEST_F(MeasureTest, FiguresOfMoreThanAThousandElementsAreMeasuredWhole) {
    const int segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    for (int k = 0; k < 1000; ++k) {
        const FigureData p = PointData({double(k % 10), double(k / 10)});
        VelFigCreateFigure(segment, &p);
    }
    EXPECT_EXTENTS(Measured({kInstance, segment}), 0, 0, 9, 99);
    const FigureData far = PointData({5000, 5000});
    VelFigCreateFigure(segment, &far);
    StartTrace();
    EXPECT_EXTENTS(Measured({kInstance, segment}), 0, 0, 5000, 5000);
    EXPECT_EQ(CallNames(),
              (std::vector<std::string>{"VelSgmGetType", "VelSgmHasAttribute", "VelFigGetFigure2",
                                        "VelSgmGetElementCount", "VelFigGetFigure2"}));
}

// A closed polyline of 3000 vertices whose rightmost vertex comes after the
// thousandth: the insert encloses all of it.
TEST_F(MeasureTest, InsertEnclosesALongPolylineWhole) {
    const int segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    constexpr int kVertices = 3000;
    auto vertex = [](int k) {
        const double a = 2.0 * M_PI * k / kVertices;
        return VelPoint{100.0 * std::cos(a + 1.0), 50.0 * std::sin(a + 1.0)};
    };
    for (int k = 0; k < kVertices; ++k) {
        const FigureData edge = LineData(vertex(k), vertex((k + 1) % kVertices));
        VelFigCreateFigure(segment, &edge);
    }
    VelFigSetClosed(segment, 1);
    ASSERT_TRUE(CreateInsertOutline(ListOf({{kInstance, segment}}), 1));
    const InsertAnnotations& a = gInsertAnnotations;
    const vel::Segment& outline = *Drawing().segment(a.outlineSegment);
    double maxX = -1e9;
    for (const vel::Element& e : outline.elements)
        if (e.figure()->type == vel::FigureType::Line)
            maxX = std::max({maxX, e.figure()->values[0], e.figure()->values[2]});
    // The rightmost vertex, (100, 0), is vertex 2523 of 3000.
    EXPECT_NEAR(maxX, 100.0 + gInsertSettings.mDisRight, 1e-3);
}

TEST_F(MeasureTest, DimensionCommentAndAttributeFiveSegmentsAreNotMeasured) {
    const FigureRef dimension = AddDimension({0, 0}, {500, 0});
    const FigureRef leader = AddLeader({-300, -300}, {-310, -310});
    const FigureRef reference = AddFigure({LineData({-1000, -1000}, {1000, 1000})});
    Drawing().segment(reference.id)->attributes.insert(5);

    for (const FigureRef& skipped : {dimension, leader, reference}) {
        Extents given = Measured(AddFigure({LineData({1, 2}, {3, 4})}));
        StartTrace();
        MeasureFigure(skipped, given);
        EXPECT_EXTENTS(given, 1, 2, 3, 4);
        EXPECT_EQ(CallsOf("VelFigGetFigure2").size(), 0u);
        EXPECT_FALSE(Measured(skipped).measured());
    }
    const FigureRef line = AddFigure({LineData({0, 0}, {10, 5})});
    EXPECT_EXTENTS(MeasureFigureList(ListOf({dimension, line, leader, reference}), 4), 0, 0, 10, 5);
    EXPECT_EXTENTS(MeasureFigureList(ListOf({line, dimension}), 2), 0, 0, 10, 5);
}

TEST_F(MeasureTest, SegmentsThatDoNotExistAreNotMeasured) {
    Extents e;
    MeasureFigure({kInstance, 4242}, e);
    MeasureFigure({kInstance, -1}, e);
    EXPECT_FALSE(e.measured());
}

TEST_F(MeasureTest, UnionCoversEveryFigureOfTheList) {
    const FigureList list =
        ListOf({AddFigure({LineData({0, 0}, {10, 5})}), AddFigure({CircleData({30, 30}, 5)}),
                AddFigure({ArcData({-20, 0}, 4, VelPoint{-20, 4}, VelPoint{-20, -4})})});
    EXPECT_EXTENTS(MeasureFigureList(list, 3), -24, -4, 35, 35);
    // Only the slots up to the count take part.
    EXPECT_EXTENTS(MeasureFigureList(list, 1), 0, 0, 10, 5);
}

TEST_F(MeasureTest, UnionOfNothingMeasurableKeepsTheSentinels) {
    const FigureList list = ListOf({AddDimension({0, 0}, {1, 0}), AddLeader({0, 0}, {1, 1})});
    EXPECT_FALSE(MeasureFigureList(list, 2).measured());
    EXPECT_FALSE(MeasureFigureList(list, 0).measured());
}

// ---- neighbours -------------------------------------------------------------------

TEST_F(MeasureTest, NeighboursWrapRoundClosedSegmentsOnly) {
    const FigureRef open =
        AddFigure({LineData({0, 0}, {1, 0}), LineData({1, 0}, {1, 1}), LineData({1, 1}, {0, 0})});
    const FigureRef closed = AddFigure(
        {LineData({0, 0}, {1, 0}), LineData({1, 0}, {1, 1}), LineData({1, 1}, {0, 0})}, true);
    for (const FigureRef& f : {open, closed}) {
        const int first = VelSgmGetHeadElementId(f.id), last = VelSgmGetTailElementId(f.id);
        const int middle = VelElmGetNextElementId(first);
        int result = 0;
        EXPECT_TRUE(NextElementWrapped(middle, f.id, result));
        EXPECT_EQ(result, last);
        EXPECT_TRUE(PrevElementWrapped(middle, f.id, result));
        EXPECT_EQ(result, first);

        const bool isClosed = f.id == closed.id;
        result = 77;
        EXPECT_EQ(NextElementWrapped(last, f.id, result), isClosed);
        EXPECT_EQ(result, isClosed ? first : 77);
        result = 77;
        EXPECT_EQ(PrevElementWrapped(first, f.id, result), isClosed);
        EXPECT_EQ(result, isClosed ? last : 77);
    }
}

TEST_F(MeasureTest, LoneElementHasNoNeighboursEvenWhenClosed) {
    const FigureRef lone = AddFigure({CircleData({0, 0}, 1)}, true);
    const int only = VelSgmGetHeadElementId(lone.id);
    int result = 77;
    EXPECT_FALSE(NextElementWrapped(only, lone.id, result));
    EXPECT_FALSE(PrevElementWrapped(only, lone.id, result));
    EXPECT_EQ(result, 77);
    EXPECT_FALSE(NextElementWrapped(-1, -1, result));
}

// ---- chamfers ---------------------------------------------------------------------

// The elements of the default insert around (0, 0)-(100, 50), by type.
std::vector<int> ElementsOfType(int segment, vel::FigureType type) {
    std::vector<int> ids;
    for (const vel::Element& e : SegmentOf(segment).elements)
        if (e.figure() && e.figure()->type == type) ids.push_back(e.id);
    return ids;
}

TEST_F(MeasureTest, ChamfersOfAnOutlineMeasureTheirSizeAcrossTheWrapToo) {
    ASSERT_TRUE(CreateInsertOutline(ListOf({AddRectangle({0, 0}, {100, 50})}), 1));
    const int outline = gInsertAnnotations.outlineSegment;
    const std::vector<int> chamfers = ElementsOfType(outline, vel::FigureType::Chamfer);
    ASSERT_EQ(chamfers.size(), 2u);
    std::vector<double> sizes;
    for (int id : chamfers) {
        double size = -1;
        EXPECT_TRUE(MeasureChamfer({kInstance, id}, size));
        sizes.push_back(size);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_DOUBLE_EQ(sizes[0], 2.0);  // upper left, between the last and the first edge
    EXPECT_DOUBLE_EQ(sizes[1], 5.0);  // lower right
}

TEST_F(MeasureTest, ChamferWithLegsApartByTheToleranceIsNotMeasured) {
    ASSERT_TRUE(CreateInsertOutline(ListOf({AddRectangle({0, 0}, {100, 50})}), 1));
    const int outline = gInsertAnnotations.outlineSegment;
    // The lower-right chamfer: cut points (100, -6) on the bottom, (105, -1) on the right side.
    int lowerRight = -1;
    for (int id : ElementsOfType(outline, vel::FigureType::Chamfer))
        if (Drawing().element(id)->figure()->values[0] > 50) lowerRight = id;
    ASSERT_NE(lowerRight, -1);
    double* cut = Drawing().element(lowerRight)->figure()->values;
    ASSERT_DOUBLE_EQ(cut[3], -1.0);

    // Legs 5.0 and 5.0 + 1e-6 (as the host measures them): too far apart.
    cut[3] = -1.0 + 1e-6;
    const double apart = Distance({105, -6}, {105, cut[3]}) - 5.0;
    ASSERT_GE(apart, 1e-6);
    double size = -1;
    EXPECT_FALSE(MeasureChamfer({kInstance, lowerRight}, size));
    EXPECT_EQ(size, -1);

    // Legs closer than the tolerance: the first leg is the size.
    cut[3] = -1.0 + 0.9e-6;
    EXPECT_TRUE(MeasureChamfer({kInstance, lowerRight}, size));
    EXPECT_DOUBLE_EQ(size, 5.0);
}

TEST_F(MeasureTest, ChamferBesideArcsMeasuresFromTheArcsEnds) {
    // An arc ending at (0, 10), the chamfer, a line on to the left; then the mirror:
    // a line ending at (0, 10), the chamfer, an arc starting there.
    const double leg = Distance({10 * std::cos(1.4), 10 * std::sin(1.4)}, {0, 10});
    const FigureData arcIn = ArcData({0, 0}, 10, VelPoint{10, 0}, VelPoint{0, 10});
    const FigureData lineOut = LineData({0, 10}, {-10, 10});
    const FigureData lineIn = LineData({-10, 10}, {0, 10});
    const FigureData arcOut = ArcData({0, 0}, 10, VelPoint{0, 10}, VelPoint{-10, 0});
    vel::FigureElement chamfer;
    chamfer.type = vel::FigureType::Chamfer;

    const FigureRef first = AddFigure({arcIn, lineOut});
    chamfer.values[0] = 10 * std::cos(1.4), chamfer.values[1] = 10 * std::sin(1.4);
    chamfer.values[2] = -leg, chamfer.values[3] = 10;
    const int c1 = Drawing().insertElementBefore(VelSgmGetTailElementId(first.id), chamfer);

    const FigureRef second = AddFigure({lineIn, arcOut});
    chamfer.values[0] = -leg, chamfer.values[1] = 10;
    chamfer.values[2] = 10 * std::cos(kPi - 1.4), chamfer.values[3] = 10 * std::sin(kPi - 1.4);
    const int c2 = Drawing().insertElementBefore(VelSgmGetTailElementId(second.id), chamfer);

    for (int id : {c1, c2}) {
        double size = -1;
        EXPECT_TRUE(MeasureChamfer({kInstance, id}, size)) << id;
        EXPECT_NEAR(size, leg, 1e-12);
    }
}

TEST_F(MeasureTest, OnlyAChamferBetweenLinesOrArcsIsMeasured) {
    ASSERT_TRUE(CreateInsertOutline(ListOf({AddRectangle({0, 0}, {100, 50})}), 1));
    const int outline = gInsertAnnotations.outlineSegment;
    double size = -1;
    // A line, a corner R, no element at all.
    EXPECT_FALSE(MeasureChamfer({kInstance, VelSgmGetHeadElementId(outline)}, size));
    const std::vector<int> rounds = ElementsOfType(outline, vel::FigureType::CornerR);
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_FALSE(MeasureChamfer({kInstance, rounds[0]}, size));
    EXPECT_FALSE(MeasureChamfer({kInstance, 999999}, size));
    // A chamfer whose neighbour is a point.
    const FigureRef odd = AddFigure({PointData({0, 0}), LineData({0, 0}, {5, 0})});
    vel::FigureElement chamfer;
    chamfer.type = vel::FigureType::Chamfer;
    const int c = Drawing().insertElementBefore(VelSgmGetTailElementId(odd.id), chamfer);
    EXPECT_FALSE(MeasureChamfer({kInstance, c}, size));
    // The one drawing answers to instances 0 and 1 only.
    const int chamferId = ElementsOfType(outline, vel::FigureType::Chamfer)[0];
    EXPECT_FALSE(MeasureChamfer({7, chamferId}, size));
    EXPECT_EQ(size, -1);
}

TEST_F(MeasureTest, ToleranceIsOneMillionth) {
    EXPECT_DOUBLE_EQ(CoincidenceTolerance(), 1e-6);
}

}  // namespace
}  // namespace geometry_test

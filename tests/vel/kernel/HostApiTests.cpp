// HostApiTests.cpp - the host library's calls as the plug-in makes them: ids,
// segments and elements, reads, layers, dimensions, leaders and id sets.
#include <gtest/gtest.h>

#include <cmath>

#include "host/VelLib.h"
#include "vel/kernel/Host.h"

namespace {

class HostApi : public ::testing::Test {
protected:
    void SetUp() override { vel::Host::instance().reset(); }
    void TearDown() override { vel::Host::instance().reset(); }
    static vel::Drawing& drawing() { return vel::Host::instance().drawing(); }
};

FigureData Line(double x1, double y1, double x2, double y2) {
    FigureData f{};
    f.type = VEL_FIG_LINE;
    f.values[0] = x1, f.values[1] = y1, f.values[2] = x2, f.values[3] = y2;
    return f;
}

TEST_F(HostApi, IdsComeFromOneCounterAndAreNeverReused) {
    const int s1 = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    const FigureData l = Line(0, 0, 1, 0);
    const int e1 = VelFigCreateFigure(s1, &l);
    const int s2 = VelSgmCreateSegment(VEL_SEG_DIMENSION, 0);
    EXPECT_EQ(s1, 1);
    EXPECT_EQ(e1, 2);
    EXPECT_EQ(s2, 3);
    ASSERT_EQ(VelSgmDeleteSegment(s1), 0);
    EXPECT_EQ(VelSgmCreateSegment(VEL_SEG_FIGURE, 0), 4);
    EXPECT_EQ(VelSgmCreateSegment(3, 0), -1) << "no such segment kind";
}

TEST_F(HostApi, DeletingZeroOrAMissingIdChangesNothing) {
    const int s = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    const FigureData l = Line(0, 0, 1, 0);
    const int e = VelFigCreateFigure(s, &l);
    EXPECT_EQ(VelSgmDeleteSegment(0), -1);
    EXPECT_EQ(VelElmDeleteElement(0), -1);
    EXPECT_EQ(VelSgmDeleteSegment(999), -1);
    EXPECT_EQ(VelElmDeleteElement(-1), -1);
    EXPECT_EQ(VelSgmDeleteSegment(e), -1) << "an element id is no segment id";
    EXPECT_EQ(VelSgmGetElementCount(s), 1);
    EXPECT_EQ(drawing().segments().size(), 1u);
}

TEST_F(HostApi, InsertedEdgesRunHeadToTail) {
    // The chain is built as the two-point pick builds its rectangle.
    const double x1 = 10, y1 = 20, x2 = 40, y2 = 5;
    const int seg = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    FigureData f = Line(x1, y1, x1, y2);
    const int e1 = VelFigCreateFigure(seg, &f);
    f = Line(x2, y1, x1, y1);
    const int e2 = VelFigInsertFigure(e1, &f);
    f = Line(x2, y2, x2, y1);
    const int e3 = VelFigInsertFigure(e2, &f);
    f = Line(x1, y2, x2, y2);
    const int e4 = VelFigInsertFigure(e3, &f);
    ASSERT_EQ(VelFigSetClosed(seg, 1), 0);

    EXPECT_EQ(VelSgmGetHeadElementId(seg), e4);
    EXPECT_EQ(VelSgmGetTailElementId(seg), e1);
    EXPECT_EQ(VelElmGetNextElementId(e4), e3);
    EXPECT_EQ(VelElmGetNextElementId(e1), -1) << "walks do not wrap";
    EXPECT_EQ(VelElmGetPrevElementId(e4), -1);

    FigureData list[8];
    const FigureRef ref{1, seg};
    ASSERT_EQ(VelFigGetFigure2(&ref, list, 8), 4);
    for (int i = 0; i < 4; ++i) {
        const FigureData& a = list[i];
        const FigureData& b = list[(i + 1) % 4];
        EXPECT_EQ(a.values[2], b.values[0]);
        EXPECT_EQ(a.values[3], b.values[1]);
    }
    EXPECT_EQ(VelFigGetDirection(seg), 1)
        << "(x1,y2) (x2,y2) (x2,y1) (x1,y1) turns counter-clockwise";
}

TEST_F(HostApi, ReadsHonourCapacityInstanceAndKind) {
    const int seg = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    for (int i = 0; i < 5; ++i) {
        const FigureData l = Line(i, 0, i + 1, 0);
        VelFigCreateFigure(seg, &l);
    }
    FigureData list[3];
    FigureRef ref{0, seg};
    EXPECT_EQ(VelFigGetFigure2(&ref, list, 3), 3);
    EXPECT_EQ(VelFigGetFigure2(&ref, list, 0), 0);
    ref.instanceId = 2;
    EXPECT_EQ(VelFigGetFigure2(&ref, list, 3), -1);
    ref = {1, 999};
    EXPECT_EQ(VelFigGetFigure2(&ref, list, 3), -1);

    FigureBuffer one{};
    const FigureRef el{1, VelSgmGetHeadElementId(seg)};
    ASSERT_EQ(VelFigGetFigure(&el, &one), 0);
    EXPECT_EQ(one.figure.type, VEL_FIG_LINE);
    const FigureRef none{1, seg};
    EXPECT_EQ(VelFigGetFigure(&none, &one), -1) << "a segment id names no element";
}

TEST_F(HostApi, RefusesRecordsItCannotHold) {
    const int seg = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    FigureData f = Line(0, 0, NAN, 1);
    EXPECT_EQ(VelFigCreateFigure(seg, &f), -1);
    f = Line(0, 0, 1, 1);
    f.type = 7;
    EXPECT_EQ(VelFigCreateFigure(seg, &f), -1) << "corners come only through VelFigAddCorner";
    f.type = 42;
    EXPECT_EQ(VelFigCreateFigure(seg, &f), -1);
    FigureData circle{};
    circle.type = VEL_FIG_CIRCLE;
    EXPECT_EQ(VelFigCreateFigure(seg, &circle), -1) << "radius 0";
    const int dim = VelSgmCreateSegment(VEL_SEG_DIMENSION, 0);
    f = Line(0, 0, 1, 1);
    EXPECT_EQ(VelFigCreateFigure(dim, &f), -1);
    EXPECT_EQ(VelFigCreateFigure(seg, nullptr), -1);
    EXPECT_EQ(VelSgmGetElementCount(seg), 0);
}

TEST_F(HostApi, NewSegmentsGoOnTheCurrentLayerAndElementsFollowIt) {
    drawing().setCurrentLayer(4);
    const int seg = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    const FigureData l = Line(0, 0, 1, 0);
    const int e = VelFigCreateFigure(seg, &l);
    EXPECT_EQ(drawing().segment(seg)->layer, 4);
    EXPECT_FALSE(drawing().element(e)->color.has_value());
    const LineAttributes attrs{5, 3, 0};
    ASSERT_EQ(VelFigSetLineType(e, &attrs), 0);
    EXPECT_EQ(drawing().element(e)->color, 5);
    EXPECT_EQ(drawing().element(e)->lineType, 3);

    EXPECT_EQ(VelLyrHasLayer(100), 0);
    EXPECT_EQ(VelLyrCreateLayer(100), 0);
    EXPECT_EQ(VelLyrHasLayer(100), 1);
    EXPECT_EQ(VelLyrCreateLayer(-3), -1);
    EXPECT_EQ(VelSgmChangeLayer(seg, 100), 0);
    EXPECT_EQ(drawing().segment(seg)->layer, 100);
    EXPECT_EQ(VelSgmChangeLayer(999, 100), -1);
}

TEST_F(HostApi, SegmentKindAndAttributeAnswers) {
    const int fig = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    const int cmt = VelSgmCreateSegment(VEL_SEG_COMMENT, 0);
    drawing().segment(fig)->attributes.insert(5);
    EXPECT_EQ(VelSgmGetType(fig), 0);
    EXPECT_EQ(VelSgmGetType(cmt), 2);
    EXPECT_EQ(VelSgmGetType(12345), -1);
    EXPECT_EQ(VelSgmHasAttribute(fig, 5), 1);
    EXPECT_EQ(VelSgmHasAttribute(cmt, 5), 0);
    EXPECT_EQ(VelFigIsClosed(fig), 0);
}

TEST_F(HostApi, DimensionsShowTheirMeasuredValueAndGoWithTheirLastElement) {
    const int seg = VelSgmCreateSegment(VEL_SEG_DIMENSION, 0);
    LengthDimensionData data{};
    data.a = {49.5, 50.0, 0, 0, 0};
    data.b = {49.5, 55.0, 0, 0, 0};
    data.direction = 90.0;
    data.flag80 = 1;
    const int dim = VelDimCreateLineLength(seg, &data);
    ASSERT_GT(dim, 0);
    ASSERT_EQ(VelDimSetDecimalPlace(dim, 1), 0);
    const ArrowData arrow{4, 0, 0.8, 1.0};
    ASSERT_EQ(VelDimSetArrow(dim, 0, &arrow), 0);
    const auto* d = std::get_if<vel::DimensionElement>(&drawing().element(dim)->body);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->text(), "5.0");
    EXPECT_EQ(d->arrow.kind, 4);

    data.direction = 0.0;
    data.b = {55.5, 55.0, 0, 0, 0};
    const int across = VelDimCreateLineLength(seg, &data);
    EXPECT_EQ(std::get<vel::DimensionElement>(drawing().element(across)->body).text(), "6.00");

    EXPECT_EQ(VelDimCreateLineLength(VelSgmCreateSegment(VEL_SEG_FIGURE, 0), &data), -1);
    EXPECT_EQ(VelElmDeleteElement(dim), 0);
    EXPECT_NE(drawing().segment(seg), nullptr);
    EXPECT_EQ(VelElmDeleteElement(across), 0);
    EXPECT_EQ(drawing().segment(seg), nullptr) << "an emptied dimension segment is removed";
}

TEST_F(HostApi, LeadersKeepTheirPointsDirectionAndACopyOfTheText) {
    const int seg = VelSgmCreateSegment(VEL_SEG_COMMENT, 0);
    char16_t text[] = u"R4.0";
    LeaderData data{};
    data.kind = 35;
    data.points[0] = {105, 55, 0, 0, 0};
    data.points[1] = {108.5, 58.5, 0, 0, 0};
    data.points[2] = {108.5, 58.5, 0, 0, 0};
    data.text = text;
    data.textFlag = 1;
    data.direction = 0.0;
    const int leader = VelCmtCreateLeader(seg, &data);
    ASSERT_GT(leader, 0);
    text[0] = u'C';  // the host copied it during the call
    const auto& l = std::get<vel::LeaderElement>(drawing().element(leader)->body);
    EXPECT_EQ(l.text, u"R4.0");
    ASSERT_EQ(l.points.size(), 3u);
    EXPECT_EQ(l.points[1].x, 108.5);
    data.text = nullptr;
    EXPECT_GT(VelCmtCreateLeader(seg, &data), 0) << "no text is an empty text";
}

TEST_F(HostApi, SelectionIteratesInPickOrderAndIdSetFiveLeavesItAlone) {
    auto& host = vel::Host::instance();
    const int a = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    const int b = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    host.addToSelection(b);
    host.addToSelection(a);
    host.addToSelection(b);

    ASSERT_EQ(VelSgmSearchSegment2(
                  0, [](int) { return 1; }, 5),
              0);
    EXPECT_EQ(host.apSet().size(), 2u);
    ASSERT_EQ(VelIddOpenApIdData(5, 1), 0);
    EXPECT_EQ(VelIddInitApIdData(5), 0);
    EXPECT_TRUE(host.apSet().empty());
    EXPECT_EQ(VelIddCloseApIdData(5), 0);
    EXPECT_EQ(VelIddOpenApIdData(6, 1), -1);

    const int handle = VelIddOpenSelIdData(1);
    SelIdRecord r{};
    std::vector<int> order;
    for (int rc = VelIddGetHeadSelIdData(handle, &r); rc != -1;
         rc = VelIddGetNextSelIdData(handle, &r)) {
        order.push_back(r.segmentId);
        EXPECT_EQ(r.instanceId, 1);
    }
    EXPECT_EQ(order, (std::vector<int>{b, a}));
    EXPECT_EQ(VelIddCloseSelIdData(handle), 0);
    EXPECT_EQ(VelIddGetHeadSelIdData(handle, &r), -1) << "closed";

    VelIddClearSysIdData();
    EXPECT_TRUE(host.selection().empty());
    EXPECT_EQ(drawing().segments().size(), 2u);
}

TEST_F(HostApi, OnlyPointerEventsCarryAPoint) {
    VelEventData e;
    e.code = VEL_EVENT_POINTER;
    e.hasPoint = true;
    e.point = {3, 4};
    e.segmentId = 9;
    VelPoint p{};
    EXPECT_EQ(VelEvtGetPoint(1, &e, &p), 0);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(VelEvtGetPoint(7, &e, &p), -1);
    EXPECT_EQ(VelEvtGetSegmentId(1, &e), 9);
    EXPECT_EQ(VelEvtGetElementId(1, &e), -1);
    EXPECT_EQ(VelEvtGetSegmentId(1, nullptr), -1);
    const VelPoint o{0, 0}, q{3, 4};
    EXPECT_EQ(VelAriLen2Pnts(&o, &q), 5.0);
}

}  // namespace

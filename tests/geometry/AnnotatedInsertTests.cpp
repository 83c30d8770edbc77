// AnnotatedInsertTests.cpp - the insert with a leader at each corner and a length
// dimension on each side: their texts, points and records, the order of the host
// calls, the ids recorded for editing, and a rebuild after a change.
#include <algorithm>
#include <clocale>
#include <cstdio>

#include "geometry/Annotations.h"
#include "geometry/InsertOutline.h"
#include "tests/geometry/GeometryTestSupport.h"

namespace geometry_test {
namespace {

using nlohmann::json;

using AnnotatedInsertTest = GeometryTest;

const vel::LeaderElement& LeaderOf(int id) {
    const vel::Element* e = Drawing().element(id);
    const vel::LeaderElement* leader = e ? std::get_if<vel::LeaderElement>(&e->body) : nullptr;
    if (!leader) {
        ADD_FAILURE() << "no leader " << id;
        static const vel::LeaderElement none;
        return none;
    }
    return *leader;
}

const vel::DimensionElement& DimensionOf(int id) {
    const vel::Element* e = Drawing().element(id);
    const vel::DimensionElement* d = e ? std::get_if<vel::DimensionElement>(&e->body) : nullptr;
    if (!d) {
        ADD_FAILURE() << "no dimension " << id;
        static const vel::DimensionElement none;
        return none;
    }
    return *d;
}

VelPoint P(vel::Point p) {
    return {p.x, p.y};
}

// The eight recorded annotation ids: leaders upper-left, upper-right, lower-left,
// lower-right, then dimensions up, down, left, right.
std::vector<int> RecordedIds() {
    const InsertAnnotations& a = gInsertAnnotations;
    return {a.leaderUpLeft, a.leaderUpRight, a.leaderDownLeft, a.leaderDownRight,
            a.dimensionUp,  a.dimensionDown, a.dimensionLeft,  a.dimensionRight};
}

TEST(CornerLeaderText, TellsTheCornerAsTheSettingsHaveIt) {
    EXPECT_EQ(CornerLeaderText(2.0, 2), u"C2.0");
    EXPECT_EQ(CornerLeaderText(4.0, 1), u"R4.0");
    EXPECT_EQ(CornerLeaderText(0.0, 1), u"NONE");
    EXPECT_EQ(CornerLeaderText(-0.0, 2), u"NONE");
    EXPECT_EQ(CornerLeaderText(3.0, 0), u"NONE");
    EXPECT_EQ(CornerLeaderText(3.0, 5), u"");
    EXPECT_EQ(CornerLeaderText(0.0, 5), u"NONE");
    // The settings, not the drawing: no corner is cut for a negative size.
    EXPECT_EQ(CornerLeaderText(-1.0, 1), u"R-1.0");
    EXPECT_EQ(CornerLeaderText(12.345, 2), u"C12.3");
}

TEST(CornerLeaderText, HasTheDigitsOfOneDecimalFixedNotation) {
    // Exact binary halves go to even, as "%.1f" does: 2.25 is stored exactly.
    EXPECT_EQ(CornerLeaderText(2.25, 1), u"R2.2");
    EXPECT_EQ(CornerLeaderText(2.35, 1), u"R2.4");  // stored just above the half
    for (double v : {1e300, -1.7976931348623157e308, 123456789.96, 1e-300}) {
        char expected[512];
        std::snprintf(expected, sizeof expected, "C%.1f", v);
        const std::u16string text = CornerLeaderText(v, 2);
        EXPECT_EQ(std::string(text.begin(), text.end()), expected);
    }
    EXPECT_EQ(CornerLeaderText(1e300, 1).size(), 1u + 301u + 2u);
}

TEST(CornerLeaderText, KeepsTheDecimalPointInAnyLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(CornerLeaderText(2.5, 1), u"R2.5");
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST_F(AnnotatedInsertTest, DefaultInsertShowsItsCornersAndSides) {
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({picked}), 1));
    WritePicture("annotated-insert");
    const InsertAnnotations& a = gInsertAnnotations;

    EXPECT_POINT_NEAR(a.lowerLeft, -6, -6, 0);
    EXPECT_POINT_NEAR(a.lowerRight, 105, -6, 0);
    EXPECT_POINT_NEAR(a.upperLeft, -6, 55, 0);
    EXPECT_POINT_NEAR(a.upperRight, 105, 55, 0);
    EXPECT_EQ(SegmentOf(a.outlineSegment).kind, vel::SegmentKind::Figure);

    EXPECT_EQ(LeaderOf(a.leaderUpLeft).text, u"C2.0");
    EXPECT_EQ(LeaderOf(a.leaderUpRight).text, u"R4.0");
    EXPECT_EQ(LeaderOf(a.leaderDownLeft).text, u"NONE");
    EXPECT_EQ(LeaderOf(a.leaderDownRight).text, u"C5.0");
    EXPECT_EQ(DimensionOf(a.dimensionUp).text(), "5.0");
    EXPECT_EQ(DimensionOf(a.dimensionDown).text(), "6.0");
    EXPECT_EQ(DimensionOf(a.dimensionLeft).text(), "6.0");
    EXPECT_EQ(DimensionOf(a.dimensionRight).text(), "5.0");

    // Each annotation has a segment of its own kind, holding only it.
    const std::vector<int> ids = RecordedIds();
    for (size_t k = 0; k < ids.size(); ++k) {
        const vel::Segment* s = Drawing().segmentOfElement(ids[k]);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->kind, k < 4 ? vel::SegmentKind::Comment : vel::SegmentKind::Dimension);
        EXPECT_EQ(s->elements.size(), 1u);
    }
    EXPECT_EQ(CountSegments(vel::SegmentKind::Comment), 4);
    EXPECT_EQ(CountSegments(vel::SegmentKind::Dimension), 4);
    EXPECT_EQ(CountSegments(vel::SegmentKind::Figure), 2);
}

TEST_F(AnnotatedInsertTest, LeadersReachFiveUnitsDiagonallyOutward) {
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({AddRectangle({0, 0}, {100, 50})}), 1));
    const InsertAnnotations& a = gInsertAnnotations;
    const double h = 5.0 / std::sqrt(2.0);
    EXPECT_POINT_NEAR(P(LeaderOf(a.leaderUpLeft).points[1]), -6 - h, 55 + h, 1e-12);

    struct Corner {
        int id;
        VelPoint vertex;
        double sx, sy;  // outward signs
        double direction;
    };
    for (const Corner& c : {Corner{a.leaderUpLeft, a.upperLeft, -1, 1, 180.0},
                            Corner{a.leaderUpRight, a.upperRight, 1, 1, 0.0},
                            Corner{a.leaderDownLeft, a.lowerLeft, -1, -1, 180.0},
                            Corner{a.leaderDownRight, a.lowerRight, 1, -1, 0.0}}) {
        const vel::LeaderElement& leader = LeaderOf(c.id);
        ASSERT_EQ(leader.points.size(), 3u);
        const VelPoint p = P(leader.points[0]), q = P(leader.points[1]);
        EXPECT_POINT_NEAR(p, c.vertex.x, c.vertex.y, 0);
        EXPECT_EQ(leader.points[2], leader.points[1]);
        EXPECT_NEAR(Distance(p, q), 5.0, 1e-12);
        EXPECT_NEAR(q.x - p.x, c.sx * h, 1e-12);
        EXPECT_NEAR(q.y - p.y, c.sy * h, 1e-12);
        EXPECT_EQ(leader.direction, c.direction);
    }
}

TEST_F(AnnotatedInsertTest, DimensionsMeasureEachSideDistanceAtTheMiddleOfTheSide) {
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({picked}), 1));
    const InsertAnnotations& a = gInsertAnnotations;
    struct Side {
        int id;
        VelPoint first, second;  // the lower or left point first
        double direction;
    };
    for (const Side& s : {Side{a.dimensionUp, {49.5, 50}, {49.5, 55}, 90.0},
                          Side{a.dimensionDown, {49.5, -6}, {49.5, 0}, 90.0},
                          Side{a.dimensionLeft, {-6, 24.5}, {0, 24.5}, 0.0},
                          Side{a.dimensionRight, {100, 24.5}, {105, 24.5}, 0.0}}) {
        SCOPED_TRACE(testing::Message() << "dimension " << s.id);
        const vel::DimensionElement& d = DimensionOf(s.id);
        EXPECT_POINT_NEAR(P(d.a), s.first.x, s.first.y, 1e-12);
        EXPECT_POINT_NEAR(P(d.b), s.second.x, s.second.y, 1e-12);
        EXPECT_EQ(d.direction, s.direction);
        EXPECT_EQ(d.decimals, 1);
        EXPECT_EQ(d.arrow.kind, 4);
        EXPECT_EQ(d.arrow.size1, 0.8);
        EXPECT_EQ(d.arrow.size2, 1.0);
    }
    // One end on the outline, the other on the picked figure's extents.
    const Extents inner = Measured(picked);
    EXPECT_NEAR(DimensionOf(a.dimensionUp).a.y, inner.maxY, 1e-12);
    EXPECT_NEAR(DimensionOf(a.dimensionDown).b.y, inner.minY, 1e-12);
    EXPECT_NEAR(DimensionOf(a.dimensionLeft).b.x, inner.minX, 1e-12);
    EXPECT_NEAR(DimensionOf(a.dimensionRight).a.x, inner.maxX, 1e-12);
}

TEST_F(AnnotatedInsertTest, HostCallsAlternateCornersAndLeadersThenDimensions) {
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    StartTrace();
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({picked}), 1));
    std::vector<std::string> expected = {
        "VelSgmGetType", "VelSgmHasAttribute", "VelFigGetFigure2", "VelSgmCreateSegment",
        "VelFigCreateFigure", "VelFigInsertFigure", "VelFigInsertFigure", "VelFigInsertFigure",
        "VelFigSetClosed",
        // upper left, upper right, lower left (sharp), lower right
        "VelFigAddCorner", "VelSgmCreateSegment", "VelCmtCreateLeader", "VelFigAddCorner",
        "VelSgmCreateSegment", "VelCmtCreateLeader", "VelSgmCreateSegment", "VelCmtCreateLeader",
        "VelFigAddCorner", "VelSgmCreateSegment", "VelCmtCreateLeader"};
    for (int side = 0; side < 4; ++side)
        for (const char* fn : {"VelSgmCreateSegment", "VelAriLen2Pnts", "VelDimCreateLineLength",
                               "VelDimSetDecimalPlace", "VelDimSetArrow"})
            expected.push_back(fn);
    ASSERT_EQ(CallNames(), expected);

    const auto calls = Calls();
    const std::vector<int> ids = RecordedIds();
    const json zeroSlot = {{"tag", 0}, {"flag", 0}};
    const double directions[4] = {180.0, 0.0, 180.0, 0.0};
    const int leaderAt[4] = {11, 14, 16, 19};
    for (int k = 0; k < 4; ++k) {
        const json& segmentCall = calls[leaderAt[k] - 1];
        const json& leader = calls[leaderAt[k]];
        EXPECT_EQ(segmentCall["args"], json::array({2, 0}));
        EXPECT_EQ(leader["args"][0], segmentCall["ret"]);
        EXPECT_EQ(leader["ret"], ids[k]);
        const json& data = leader["args"][1];
        EXPECT_EQ(data["kind"], 35);
        EXPECT_EQ(data["textFlag"], 1);
        EXPECT_EQ(data["arrow"], json({{"kind", 4}, {"size1", 3.0}, {"size2", 2.0}}));
        EXPECT_EQ(data["direction"], directions[k]);
        for (int slot : {0, 2}) {
            EXPECT_EQ(data["points"][slot]["tag"], zeroSlot["tag"]);
            EXPECT_EQ(data["points"][slot]["flag"], zeroSlot["flag"]);
        }
    }
    const VelPoint ll{-6, -6}, lr{105, -6}, ul{-6, 55}, ur{105, 55};
    const VelPoint lengthOf[4][2] = {{ul, ur}, {ll, lr}, {ll, ul}, {lr, ur}};
    const double measuring[4] = {90.0, 90.0, 0.0, 0.0};
    for (int k = 0; k < 4; ++k) {
        const size_t at = 20 + 5 * k;
        EXPECT_EQ(calls[at]["args"], json::array({1, 0}));
        EXPECT_EQ(calls[at + 1]["args"],
                  json::array({json::array({lengthOf[k][0].x, lengthOf[k][0].y}),
                               json::array({lengthOf[k][1].x, lengthOf[k][1].y})}));
        const json& create = calls[at + 2];
        EXPECT_EQ(create["args"][0], calls[at]["ret"]);
        EXPECT_EQ(create["ret"], ids[4 + k]);
        const json& data = create["args"][1];
        EXPECT_EQ(data["a"]["tag"], 0);
        EXPECT_EQ(data["a"]["flag"], 0);
        EXPECT_EQ(data["b"]["tag"], 0);
        EXPECT_EQ(data["b"]["flag"], 0);
        EXPECT_EQ(data["value72"], 0.0);
        EXPECT_EQ(data["flag80"], 1);
        EXPECT_EQ(data["direction"], measuring[k]);
        EXPECT_EQ(data["flag96"], 0);
        EXPECT_EQ(data["value104"], 0.0);
        EXPECT_EQ(calls[at + 3]["args"], json::array({ids[4 + k], 1}));
        EXPECT_EQ(calls[at + 4]["args"],
                  json::array({ids[4 + k], 0, {{"kind", 4}, {"size1", 0.8}, {"size2", 1.0}}}));
    }
}

TEST_F(AnnotatedInsertTest, OutlineIsTheSameAsTheFirstMethods) {
    const FigureRef picked = AddFigure({CircleData({10, 10}, 7), PointData({40, -3})});
    gInsertSettings.mIsLimit = 1, gInsertSettings.mLimit = 0;
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const std::vector<vel::FigureElement> plain = FiguresOf(gInsertAnnotations.outlineSegment);
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({picked}), 1));
    const std::vector<vel::FigureElement> annotated = FiguresOf(gInsertAnnotations.outlineSegment);
    ASSERT_EQ(plain.size(), annotated.size());
    for (size_t k = 0; k < plain.size(); ++k) {
        EXPECT_EQ(plain[k].type, annotated[k].type);
        for (int v = 0; v < 10; ++v) EXPECT_EQ(plain[k].values[v], annotated[k].values[v]);
    }
}

TEST_F(AnnotatedInsertTest, EmptyListFailsWithoutAnyHostCall) {
    AddRectangle({0, 0}, {100, 50});
    gInsertAnnotations.leaderUpLeft = 31;
    StartTrace();
    EXPECT_FALSE(CreateAnnotatedInsert(ListOf({}), 0));
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(gInsertAnnotations.leaderUpLeft, 31);
}

TEST_F(AnnotatedInsertTest, NothingMeasurableFailsAndCreatesNothing) {
    const FigureList list = ListOf({AddLeader({0, 0}, {5, 5})});
    gInsertAnnotations.outlineSegment = 4242;
    const size_t segments = Drawing().segments().size();
    StartTrace();
    EXPECT_FALSE(CreateAnnotatedInsert(list, 1));
    EXPECT_TRUE(CallsOf("VelSgmCreateSegment").empty());
    EXPECT_EQ(Drawing().segments().size(), segments);
    EXPECT_EQ(gInsertAnnotations.outlineSegment, 4242);
    EXPECT_POINT_NEAR(gInsertAnnotations.upperRight, 0, 0, 0);
}

// A corner the host refuses after the outline and a leader stand: everything
// this creation made goes again, and the record still names the last insert.
TEST_F(AnnotatedInsertTest, RefusedCornerDeletesWhatTheCreationMadeAndKeepsTheRecord) {
    const FigureList list = ListOf({AddRectangle({0, 0}, {100, 50})});
    ASSERT_TRUE(CreateAnnotatedInsert(list, 1));
    const InsertAnnotations before = gInsertAnnotations;
    const size_t segments = Drawing().segments().size();

    gInsertSettings.mUpRight = 1, gInsertSettings.mValueUpRight = 70;
    StartTrace();
    EXPECT_FALSE(CreateAnnotatedInsert(list, 1));
    std::vector<json> created = CallsOf("VelSgmCreateSegment");
    const std::vector<json> deleted = CallsOf("VelSgmDeleteSegment");
    ASSERT_EQ(created.size(), 2u) << "the outline and the upper-left leader's segment";
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0]["args"][0], created[1]["ret"]);
    EXPECT_EQ(deleted[1]["args"][0], created[0]["ret"]);
    EXPECT_EQ(Drawing().segments().size(), segments);
    EXPECT_EQ(gInsertAnnotations.outlineSegment, before.outlineSegment);
    EXPECT_EQ(RecordedIds(),
              (std::vector<int>{before.leaderUpLeft, before.leaderUpRight, before.leaderDownLeft,
                                before.leaderDownRight, before.dimensionUp, before.dimensionDown,
                                before.dimensionLeft, before.dimensionRight}));
    EXPECT_POINT_NEAR(gInsertAnnotations.upperRight, 105, 55, 0);
    for (int id : RecordedIds()) EXPECT_NE(Drawing().element(id), nullptr);
}

TEST_F(AnnotatedInsertTest, SharpCornersStillGetTheirLeaders) {
    InsertSettings& s = gInsertSettings;
    s.mUpLeft = 2, s.mValueUpLeft = 0;
    s.mUpRight = 1, s.mValueUpRight = -1;
    s.mDownRight = 7, s.mValueDownRight = 3;
    StartTrace();
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({AddRectangle({0, 0}, {100, 50})}), 1));
    EXPECT_TRUE(CallsOf("VelFigAddCorner").empty());
    const InsertAnnotations& a = gInsertAnnotations;
    EXPECT_EQ(LeaderOf(a.leaderUpLeft).text, u"NONE");
    EXPECT_EQ(LeaderOf(a.leaderUpRight).text, u"R-1.0");
    EXPECT_EQ(LeaderOf(a.leaderDownLeft).text, u"NONE");
    EXPECT_EQ(LeaderOf(a.leaderDownRight).text, u"");
}

TEST_F(AnnotatedInsertTest, DimensionsShowTheSettingsDistanceAfterRounding) {
    gInsertSettings.mIsLimit = 1, gInsertSettings.mLimit = 0;
    const FigureRef picked = AddFigure({LineData({0.12, 0}, {10, 5})});
    ASSERT_TRUE(CreateAnnotatedInsert(ListOf({picked}), 1));
    // The right side moved from 15 to 15.12; the dimension still spans 5.0 from it.
    const vel::DimensionElement& right = DimensionOf(gInsertAnnotations.dimensionRight);
    EXPECT_NEAR(right.b.x, 15.12, 1e-12);
    EXPECT_NEAR(right.a.x, 10.12, 1e-12);
    EXPECT_EQ(right.text(), "5.0");
}

TEST_F(AnnotatedInsertTest, RebuildRecordsTheNewAnnotationsOnly) {
    const FigureList list = ListOf({AddRectangle({0, 0}, {100, 50})});
    ASSERT_TRUE(CreateAnnotatedInsert(list, 1));
    const int oldOutline = gInsertAnnotations.outlineSegment;
    const std::vector<int> oldIds = RecordedIds();

    // What a rebuild does: the outline and the eight annotations go, the insert is made again.
    VelSgmDeleteSegment(oldOutline);
    for (int id : oldIds) EXPECT_EQ(VelElmDeleteElement(id), 0);
    gInsertSettings.mValueUpLeft = 3.0;
    ASSERT_TRUE(CreateAnnotatedInsert(list, 1));

    const std::vector<int> newIds = RecordedIds();
    EXPECT_NE(gInsertAnnotations.leaderUpLeft, oldIds[0]);
    EXPECT_EQ(LeaderOf(gInsertAnnotations.leaderUpLeft).text, u"C3.0");
    for (int id : newIds) {
        EXPECT_EQ(std::count(oldIds.begin(), oldIds.end(), id), 0) << id;
        EXPECT_NE(Drawing().element(id), nullptr);
    }
    for (int id : oldIds) EXPECT_EQ(Drawing().element(id), nullptr);
    EXPECT_EQ(Drawing().segment(oldOutline), nullptr);
    EXPECT_EQ(CountSegments(vel::SegmentKind::Figure), 2);
    EXPECT_EQ(CountSegments(vel::SegmentKind::Comment), 4);
    EXPECT_EQ(CountSegments(vel::SegmentKind::Dimension), 4);
    // The upper-left chamfer (cutting the top side first) has the new size.
    int upperLeft = -1;
    for (const vel::Element& e : SegmentOf(gInsertAnnotations.outlineSegment).elements)
        if (e.figure()->type == vel::FigureType::Chamfer && e.figure()->values[1] == 55)
            upperLeft = e.id;
    double size = 0;
    ASSERT_TRUE(MeasureChamfer({kInstance, upperLeft}, size));
    EXPECT_DOUBLE_EQ(size, 3.0);
}

}  // namespace
}  // namespace geometry_test

// OutlineTests.cpp - the insert outline around picked figures: its corner points and
// side distances, its edges and corner treatments as the host cuts them, the
// precision rule, the layer and colour rules, the host calls it makes, and the
// lists from which no insert can be made.
#include <algorithm>
#include <optional>

#include "geometry/InsertOutline.h"
#include "tests/geometry/GeometryTestSupport.h"

namespace geometry_test {
namespace {

using nlohmann::json;

using OutlineTest = GeometryTest;

struct Edge {
    VelPoint from;
    VelPoint to;
};

// The outline's lines in segment order (the host keeps them untrimmed beside their corners).
std::vector<Edge> LinesOf(int segment) {
    std::vector<Edge> lines;
    for (const vel::FigureElement& f : FiguresOf(segment))
        if (f.type == vel::FigureType::Line) lines.push_back({At(f, 0), At(f, 2)});
    return lines;
}

std::vector<vel::FigureElement> CornersOf(int segment, vel::FigureType type) {
    std::vector<vel::FigureElement> out;
    for (const vel::FigureElement& f : FiguresOf(segment))
        if (f.type == type) out.push_back(f);
    return out;
}

int Outline() {
    return gInsertAnnotations.outlineSegment;
}

Extents OutlineBox() {
    return Measured({kInstance, Outline()});
}

// An equal-leg chamfer of the given size at the vertex, cutting the two sides that meet there.
void ExpectChamferAt(int segment, VelPoint vertex, double size, Edge sideA, Edge sideB) {
    int found = 0;
    for (const vel::FigureElement& c : CornersOf(segment, vel::FigureType::Chamfer)) {
        const VelPoint p = At(c, 0), q = At(c, 2);
        if (Distance(p, vertex) > size + 1e-9) continue;
        ++found;
        EXPECT_NEAR(Distance(p, vertex), size, 1e-9);
        EXPECT_NEAR(Distance(q, vertex), size, 1e-9);
        const bool onSides =
            (OnSegment(sideA.from, sideA.to, p) && OnSegment(sideB.from, sideB.to, q)) ||
            (OnSegment(sideB.from, sideB.to, p) && OnSegment(sideA.from, sideA.to, q));
        EXPECT_TRUE(onSides) << "chamfer at (" << vertex.x << ", " << vertex.y << ")";
    }
    EXPECT_EQ(found, 1) << "chamfers at (" << vertex.x << ", " << vertex.y << ")";
}

// A corner R tangent to both sides: its centre lies at the radius from each and its
// tangent points lie on them, at the radius from the centre.
void ExpectRoundAt(int segment, VelPoint vertex, double radius, Edge sideA, Edge sideB) {
    const auto rounds = CornersOf(segment, vel::FigureType::CornerR);
    ASSERT_EQ(rounds.size(), 1u);
    const vel::FigureElement& r = rounds[0];
    const VelPoint centre = At(r, 0), t1 = At(r, 2), t2 = At(r, 4);
    EXPECT_DOUBLE_EQ(r.values[6], radius);
    EXPECT_NEAR(LineDistance(sideA.from, sideA.to, centre), radius, 1e-9);
    EXPECT_NEAR(LineDistance(sideB.from, sideB.to, centre), radius, 1e-9);
    EXPECT_NEAR(Distance(centre, t1), radius, 1e-9);
    EXPECT_NEAR(Distance(centre, t2), radius, 1e-9);
    EXPECT_TRUE((OnSegment(sideA.from, sideA.to, t1) && OnSegment(sideB.from, sideB.to, t2)) ||
                (OnSegment(sideB.from, sideB.to, t1) && OnSegment(sideA.from, sideA.to, t2)));
    // At a right angle the centre sits on the diagonal; with the tangent points on the
    // sides themselves (not their extensions) it lies inside the corner.
    EXPECT_NEAR(Distance(centre, vertex), radius * std::sqrt(2.0), 1e-9);
}

TEST_F(OutlineTest, DefaultInsertAroundARectangle) {
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const int outline = Outline();
    const vel::Segment& s = SegmentOf(outline);
    EXPECT_EQ(s.kind, vel::SegmentKind::Figure);
    EXPECT_TRUE(s.closed);
    EXPECT_EQ(s.layer, Drawing().currentLayer());
    WritePicture("default-insert");

    // Four edges running head to tail: UL to LL to LR to UR and back.
    const std::vector<Edge> lines = LinesOf(outline);
    ASSERT_EQ(lines.size(), 4u);
    const VelPoint ll{-6, -6}, lr{105, -6}, ul{-6, 55}, ur{105, 55};
    const VelPoint expected[4][2] = {{ul, ll}, {ll, lr}, {lr, ur}, {ur, ul}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_POINT_NEAR(lines[k].from, expected[k][0].x, expected[k][0].y, 0);
        EXPECT_POINT_NEAR(lines[k].to, expected[k][1].x, expected[k][1].y, 0);
    }
    EXPECT_EQ(VelFigGetDirection(outline), 1) << "counter-clockwise";

    const Edge left{ul, ll}, bottom{ll, lr}, right{lr, ur}, top{ur, ul};
    ExpectChamferAt(outline, ul, 2.0, top, left);
    ExpectRoundAt(outline, ur, 4.0, top, right);
    ExpectChamferAt(outline, lr, 5.0, bottom, right);
    // Lower left stays sharp: three corners in all, none near it.
    EXPECT_EQ(s.elements.size(), 7u);
    for (const vel::FigureElement& f : FiguresOf(outline)) {
        if (f.type != vel::FigureType::Line) {
            EXPECT_GT(Distance(At(f, 0), ll), 10);
        }
    }
}

TEST_F(OutlineTest, OutlineEnclosesTheExtentsAtTheSideDistances) {
    gInsertSettings.mDisUp = 1.5, gInsertSettings.mDisDown = 2.25;
    gInsertSettings.mDisLeft = 7, gInsertSettings.mDisRight = 0.5;
    const FigureRef picked = AddFigure({CircleData({10, 20}, 3), LineData({0, 0}, {4, 30})});
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const Extents inner = Measured(picked), outer = OutlineBox();
    EXPECT_DOUBLE_EQ(outer.maxY - inner.maxY, 1.5);
    EXPECT_DOUBLE_EQ(inner.minY - outer.minY, 2.25);
    EXPECT_DOUBLE_EQ(inner.minX - outer.minX, 7);
    EXPECT_DOUBLE_EQ(outer.maxX - inner.maxX, 0.5);
}

TEST_F(OutlineTest, DefaultSettingsMakeExactlyTheseHostCalls) {
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const auto calls = Calls();
    ASSERT_EQ(CallNames(), (std::vector<std::string>{
                               "VelSgmGetType", "VelSgmHasAttribute", "VelFigGetFigure2",
                               "VelSgmCreateSegment", "VelFigCreateFigure", "VelFigInsertFigure",
                               "VelFigInsertFigure", "VelFigInsertFigure", "VelFigSetClosed",
                               "VelFigAddCorner", "VelFigAddCorner", "VelFigAddCorner"}));
    EXPECT_EQ(calls[3]["args"], json::array({0, 0}));
    const int segment = calls[3]["ret"];
    EXPECT_EQ(segment, Outline());

    // E1 top UR->UL is created; E2 right LR->UR, E3 bottom LL->LR and E4 left UL->LL
    // are each added beside the edge made just before.
    auto line = [](double x0, double y0, double x1, double y1) {
        return json{{"type", 1}, {"values", {x0, y0, x1, y1, 0, 0, 0, 0, 0, 0}}};
    };
    EXPECT_EQ(calls[4]["args"], json::array({segment, line(105, 55, -6, 55)}));
    const int e1 = calls[4]["ret"], e2 = calls[5]["ret"], e3 = calls[6]["ret"],
              e4 = calls[7]["ret"];
    EXPECT_EQ(calls[5]["args"], json::array({e1, line(105, -6, 105, 55)}));
    EXPECT_EQ(calls[6]["args"], json::array({e2, line(-6, -6, 105, -6)}));
    EXPECT_EQ(calls[7]["args"], json::array({e3, line(-6, 55, -6, -6)}));
    EXPECT_EQ(calls[8]["args"], json::array({segment, 1}));
    // Upper left chamfer 2, upper right corner R 4, lower right chamfer 5: the edge
    // starting at the corner first, the host's kind (0 round, 1 chamfer), the size.
    EXPECT_EQ(calls[9]["args"], json::array({e4, e1, 1, 2.0}));
    EXPECT_EQ(calls[10]["args"], json::array({e1, e2, 0, 4.0}));
    EXPECT_EQ(calls[11]["args"], json::array({e2, e3, 1, 5.0}));
    for (int k = 9; k < 12; ++k) EXPECT_GT(calls[k]["ret"].get<int>(), 0);
}

TEST_F(OutlineTest, ChosenColourAndLineTypeGoOnTheFourEdgesOnly) {
    gInsertSettings.mIsCurColor = 0, gInsertSettings.Color = 3, gInsertSettings.LType = 5;
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const auto calls = Calls();
    ASSERT_EQ(
        CallNames(),
        (std::vector<std::string>{
            "VelSgmGetType", "VelSgmHasAttribute", "VelFigGetFigure2", "VelSgmCreateSegment",
            "VelFigCreateFigure", "VelFigSetLineType", "VelFigInsertFigure", "VelFigSetLineType",
            "VelFigInsertFigure", "VelFigSetLineType", "VelFigInsertFigure", "VelFigSetLineType",
            "VelFigSetClosed", "VelFigAddCorner", "VelFigAddCorner", "VelFigAddCorner"}));
    for (int k : {5, 7, 9, 11})
        EXPECT_EQ(calls[k]["args"], json::array({calls[k - 1]["ret"],
                                                 {{"color", 3}, {"ltype", 5}, {"reserved", 0}}}));
    for (const vel::Element& e : SegmentOf(Outline()).elements) {
        const bool isLine = e.figure()->type == vel::FigureType::Line;
        EXPECT_EQ(e.color, isLine ? std::optional<int>(3) : std::nullopt);
        EXPECT_EQ(e.lineType, isLine ? std::optional<int>(5) : std::nullopt);
    }
}

TEST_F(OutlineTest, CurrentColourMakesNoLineTypeCall) {
    gInsertSettings.mIsCurColor = 1, gInsertSettings.Color = 3, gInsertSettings.LType = 5;
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    EXPECT_TRUE(CallsOf("VelFigSetLineType").empty());
    for (const vel::Element& e : SegmentOf(Outline()).elements) {
        EXPECT_FALSE(e.color.has_value());
        EXPECT_FALSE(e.lineType.has_value());
    }
}

TEST_F(OutlineTest, LayerRuleMovesTheOutlineOnlyToANumberedLayer) {
    struct Case {
        int isCurrent;
        std::u16string text;
        int layer;  // where the outline ends up
        bool changeCalled;
    };
    const Case cases[] = {
        {1, u"12", 3, false}, {0, u"0", 3, false},  {0, u"abc", 3, false},
        {0, u"", 3, false},   {0, u"12", 12, true}, {0, u" 12abc", 12, true},
    };
    Drawing().setCurrentLayer(3);
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mIsCurLayer " << c.isCurrent << " mLayer \""
                                        << std::string(c.text.begin(), c.text.end()) << "\"");
        gInsertSettings.mIsCurLayer = c.isCurrent, gInsertSettings.mLayer = c.text;
        StartTrace();
        ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
        EXPECT_EQ(SegmentOf(Outline()).layer, c.layer);
        const auto names = CallNames();
        const auto change = std::find(names.begin(), names.end(), "VelSgmChangeLayer");
        EXPECT_EQ(change != names.end(), c.changeCalled);
        if (change != names.end()) {
            // After the outline is closed, before its corners are cut.
            EXPECT_EQ(*(change - 1), "VelFigSetClosed");
            EXPECT_EQ(*(change + 1), "VelFigAddCorner");
            EXPECT_EQ(Calls()[change - names.begin()]["args"][1], 12);
        }
    }
}

TEST_F(OutlineTest, CornersOfUnknownKindOrNoSizeStaySharp) {
    InsertSettings& s = gInsertSettings;
    s.mUpLeft = 3, s.mValueUpLeft = 2;
    s.mUpRight = 1, s.mValueUpRight = -1;
    s.mDownLeft = 2, s.mValueDownLeft = 0;
    s.mDownRight = 0, s.mValueDownRight = 5;
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    EXPECT_TRUE(CallsOf("VelFigAddCorner").empty());
    EXPECT_EQ(SegmentOf(Outline()).elements.size(), 4u);
}

TEST_F(OutlineTest, SettingsKindsMapToTheHostsCornerKinds) {
    InsertSettings& s = gInsertSettings;
    s.mUpLeft = 1, s.mValueUpLeft = 3;      // corner R
    s.mDownLeft = 2, s.mValueDownLeft = 1;  // chamfer
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const auto corners = CallsOf("VelFigAddCorner");
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_EQ(corners[0]["args"][2], 0);
    EXPECT_EQ(corners[0]["args"][3], 3.0);
    EXPECT_EQ(corners[2]["args"][2], 1);
    EXPECT_EQ(corners[2]["args"][3], 1.0);
    EXPECT_EQ(CornersOf(Outline(), vel::FigureType::CornerR).size(), 2u);
    EXPECT_EQ(CornersOf(Outline(), vel::FigureType::Chamfer).size(), 2u);
}

// ---- the precision rule -------------------------------------------------------------

class PrecisionTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        gInsertSettings.mIsLimit = 1;
        gInsertSettings.mLimit = 0;
    }
};

TEST_F(PrecisionTest, FartherRightSideAndTopAbsorbTheRounding) {
    const FigureRef picked = AddFigure({LineData({0.12, 0}, {10, 5})});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    // Width 20.88 rounds to 21 and the right side moves; height 16 is already whole.
    const Extents box = OutlineBox();
    EXPECT_NEAR(box.minX, -5.88, 1e-12);
    EXPECT_NEAR(box.maxX, 15.12, 1e-12);
    EXPECT_DOUBLE_EQ(box.minY, -6);
    EXPECT_DOUBLE_EQ(box.maxY, 10);
    EXPECT_NEAR(box.maxX - box.minX, 21, 1e-12);

    // The three distances from the origin, upper left, lower left, lower right, are
    // all taken before any side moves.
    const auto lengths = CallsOf("VelAriLen2Pnts");
    ASSERT_EQ(lengths.size(), 3u);
    const double corners[3][2] = {{0.12 - 6, 10}, {0.12 - 6, -6}, {15, -6}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(lengths[k]["args"][0], json::array({0.0, 0.0}));
        EXPECT_EQ(lengths[k]["args"][1], json::array({corners[k][0], corners[k][1]}));
    }
    const auto names = CallNames();
    EXPECT_LT(std::find(names.begin(), names.end(), "VelAriLen2Pnts") - names.begin(),
              std::find(names.begin(), names.end(), "VelSgmCreateSegment") - names.begin());
}

TEST_F(PrecisionTest, FartherLeftSideAndBottomAbsorbTheRounding) {
    const FigureRef picked = AddFigure({LineData({-30, -20.25}, {-10, -5})});
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    // Height 26.25 rounds to 26 and the bottom moves; width 31 stays, left recomputed.
    EXPECT_EXTENTS(OutlineBox(), -36, -26, -5, 0);
}

TEST_F(PrecisionTest, OneDecimalPlaceRoundsHalvesUp) {
    gInsertSettings.mLimit = 1;
    gInsertSettings.mDisLeft = 5;
    // Width 20.25 becomes 20.3 and 20.249 becomes 20.2; the right side is the farther.
    for (const auto& [right, expected] : {std::pair{10.25, 15.3}, std::pair{10.249, 15.2}}) {
        const FigureRef picked = AddFigure({LineData({0, 0}, {right, 5})});
        ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
        const Extents box = OutlineBox();
        EXPECT_DOUBLE_EQ(box.minX, -5);
        EXPECT_NEAR(box.maxX, expected, 1e-12);
    }
}

TEST_F(PrecisionTest, TiesMoveTheLeftSideAndTheTop) {
    // Symmetric about the origin: each pair of corners is equally far from it.
    const FigureRef picked = AddFigure({LineData({-10.04, -7.3}, {10.04, 7.3})});
    gInsertSettings.mDisUp = gInsertSettings.mDisDown = 6;
    gInsertSettings.mDisLeft = gInsertSettings.mDisRight = 6;
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    // Width 32.08 -> 32 from the right side at 16.04; height 26.6 -> 27 from the bottom.
    const Extents box = OutlineBox();
    EXPECT_DOUBLE_EQ(box.maxX, 16.04);
    EXPECT_NEAR(box.minX, 16.04 - 32, 1e-12);
    EXPECT_DOUBLE_EQ(box.minY, -13.3);
    EXPECT_NEAR(box.maxY, -13.3 + 27, 1e-12);
}

TEST_F(PrecisionTest, OffMeansNoRoundingAndNoDistanceCalls) {
    gInsertSettings.mIsLimit = 0;
    const FigureRef picked = AddFigure({LineData({0.12, 0}, {10, 5})});
    StartTrace();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    EXPECT_TRUE(CallsOf("VelAriLen2Pnts").empty());
    const Extents box = OutlineBox();
    EXPECT_NEAR(box.minX, -5.88, 1e-12);
    EXPECT_DOUBLE_EQ(box.maxX, 15);
}

// ---- several figures, repeated inserts, lists that give no insert --------------------

TEST_F(OutlineTest, SeveralFiguresGetOneOutlineAroundTheirUnion) {
    const FigureList list =
        ListOf({AddFigure({LineData({0, 0}, {10, 5})}), AddFigure({CircleData({50, 30}, 5)}),
                AddDimension({-100, -100}, {200, -100})});
    ASSERT_TRUE(CreateInsertOutline(list, 3));
    EXPECT_EXTENTS(OutlineBox(), -6, -6, 60, 40);
}

TEST_F(OutlineTest, EachInsertAddsAnOutlineAndIsRecorded) {
    const FigureRef picked = AddRectangle({0, 0}, {100, 50});
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    const int first = Outline();
    ASSERT_TRUE(CreateInsertOutline(ListOf({picked}), 1));
    EXPECT_NE(Outline(), first);
    EXPECT_NE(Drawing().segment(first), nullptr);
    EXPECT_EQ(CountSegments(vel::SegmentKind::Figure), 3);
    // The corner points belong to the annotated insert; this one keeps them to itself.
    EXPECT_POINT_NEAR(gInsertAnnotations.upperRight, 0, 0, 0);
    EXPECT_POINT_NEAR(gInsertAnnotations.lowerLeft, 0, 0, 0);
}

TEST_F(OutlineTest, PointOrZeroWidthFigureMakesAValidInsert) {
    ASSERT_TRUE(CreateInsertOutline(ListOf({AddFigure({PointData({3, 4})})}), 1));
    EXPECT_EXTENTS(OutlineBox(), -3, -2, 8, 9);
    EXPECT_EQ(SegmentOf(Outline()).elements.size(), 7u);  // all three corners fit

    ASSERT_TRUE(CreateInsertOutline(ListOf({AddFigure({LineData({0, 0}, {0, 10})})}), 1));
    EXPECT_EXTENTS(OutlineBox(), -6, -6, 5, 15);
}

TEST_F(OutlineTest, NoInsertIsMadeFromWhatCannotGiveOne) {
    const FigureRef rectangle = AddRectangle({0, 0}, {100, 50});
    const FigureList nothing = ListOf({AddDimension({0, 0}, {10, 0}), AddLeader({0, 0}, {5, 5})});
    auto expectNothingMade = [&](const FigureList& list, int count, const char* why) {
        SCOPED_TRACE(why);
        gInsertAnnotations.outlineSegment = 4242;
        const size_t segments = Drawing().segments().size();
        StartTrace();
        EXPECT_FALSE(CreateInsertOutline(list, count));
        EXPECT_TRUE(CallsOf("VelSgmCreateSegment").empty());
        EXPECT_EQ(Drawing().segments().size(), segments);
        EXPECT_EQ(gInsertAnnotations.outlineSegment, 4242);
    };
    expectNothingMade(nothing, 2, "only a dimension and a leader");
    expectNothingMade(ListOf({rectangle}), 0, "an empty list");

    const InsertSettings defaults = gInsertSettings;
    gInsertSettings.mDisLeft = gInsertSettings.mDisRight = -60;
    expectNothingMade(ListOf({rectangle}), 1, "left and right distances crossing over");
    gInsertSettings = defaults;
    gInsertSettings.mDisUp = gInsertSettings.mDisDown = -25;
    expectNothingMade(ListOf({rectangle}), 1, "no height left");
    // The rule rounds the absolute width: sides that crossed must not come out
    // as a 20 wide outline beside the figure.
    gInsertSettings = defaults;
    gInsertSettings.mIsLimit = 1, gInsertSettings.mLimit = 0;
    gInsertSettings.mDisLeft = gInsertSettings.mDisRight = -60;
    expectNothingMade(ListOf({rectangle}), 1, "crossed sides with the precision rule on");
    gInsertSettings = defaults;
    gInsertSettings.mIsLimit = 1, gInsertSettings.mLimit = 0;
    gInsertSettings.mDisLeft = gInsertSettings.mDisRight = 0;
    expectNothingMade(ListOf({AddFigure({LineData({0, 0}, {0.3, 5})})}), 1,
                      "a width that rounds to nothing");
}

// When the host refuses a part of the insert, what the creation made is deleted
// again and the record keeps naming the insert made before.
TEST_F(OutlineTest, RefusedPartsLeaveTheDrawingAndTheRecordAsTheyWere) {
    const FigureRef rectangle = AddRectangle({0, 0}, {100, 50});
    const InsertSettings defaults = gInsertSettings;
    struct Case {
        const char* what;
        void (*set)(InsertSettings&);
        const char* refused;
    };
    const Case cases[] = {
        {"a corner R larger than its 61 high edges",
         [](InsertSettings& s) { s.mUpRight = 1, s.mValueUpRight = 70; }, "VelFigAddCorner"},
        {"a chamfer larger than its edges",
         [](InsertSettings& s) { s.mDownLeft = 2, s.mValueDownLeft = 62; }, "VelFigAddCorner"},
        {"a layer the host refuses", [](InsertSettings& s) { s.mIsCurLayer = 0, s.mLayer = u"-3"; },
         "VelSgmChangeLayer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gInsertSettings = defaults;
        c.set(gInsertSettings);
        gInsertAnnotations.outlineSegment = 4242;
        const size_t segments = Drawing().segments().size();
        StartTrace();
        EXPECT_FALSE(CreateInsertOutline(ListOf({rectangle}), 1));
        const auto refused = CallsOf(c.refused);
        ASSERT_FALSE(refused.empty());
        EXPECT_EQ(refused.back()["ret"], -1);
        const auto created = CallsOf("VelSgmCreateSegment");
        const auto deleted = CallsOf("VelSgmDeleteSegment");
        ASSERT_EQ(created.size(), 1u);
        ASSERT_EQ(deleted.size(), 1u);
        EXPECT_EQ(deleted[0]["args"][0], created[0]["ret"]);
        EXPECT_EQ(Drawing().segments().size(), segments);
        EXPECT_EQ(gInsertAnnotations.outlineSegment, 4242);
    }
}

}  // namespace
}  // namespace geometry_test

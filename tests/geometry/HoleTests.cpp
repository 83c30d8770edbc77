// HoleTests.cpp - the hole outline made in the real stand-in host: copy or
// offset to the outside for either direction of the outline, corner R and
// chamfer resizing and conversion, layer and line attributes, failures, and the
// corners it must leave alone.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/HoleOutline.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "settings/InsertSettings.h"
#include "tests/support/Scratch.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/Host.h"

namespace {

using vel::FigureElement;
using vel::FigureType;
using vel::Point;

constexpr double kTol = 1e-9;

vel::Drawing& drawing() {
    return vel::Host::instance().drawing();
}

Point At(const FigureElement& f, int i) {
    return {f.values[i], f.values[i + 1]};
}

// Distance of q from the infinite line through l.
double LineDistance(const vel::Line& l, Point q) {
    return std::fabs(vel::cross(vel::normalized(l.end - l.start), q - l.start));
}

std::optional<Point> Meet(const vel::Line& a, const vel::Line& b) {
    const Point u = a.end - a.start, v = b.end - b.start;
    const double c = vel::cross(u, v);
    if (std::fabs(c) < 1e-12) return std::nullopt;
    return a.start + u * (vel::cross(b.start - a.start, v) / c);
}

// One corner element of a closed segment with the two lines beside it.
struct CornerView {
    int id = 0;
    FigureElement figure;
    vel::Line before;
    vel::Line after;
    Point vertex;  // where the two lines meet
};

std::vector<CornerView> CornersOf(int segmentId) {
    const vel::Segment& s = *drawing().segment(segmentId);
    const int n = static_cast<int>(s.elements.size());
    std::vector<CornerView> out;
    for (int i = 0; i < n; ++i) {
        const FigureElement& f = *s.elements[i].figure();
        if (f.type != FigureType::CornerR && f.type != FigureType::Chamfer) continue;
        const FigureElement& b = *s.elements[(i + n - 1) % n].figure();
        const FigureElement& a = *s.elements[(i + 1) % n].figure();
        CornerView c{s.elements[i].id, f, {At(b, 0), At(b, 2)}, {At(a, 0), At(a, 2)}, {}};
        if (b.type == FigureType::Line && a.type == FigureType::Line)
            c.vertex = Meet(c.before, c.after).value_or(Point{NAN, NAN});
        out.push_back(c);
    }
    return out;
}

std::optional<CornerView> CornerNear(int segmentId, Point vertex, double within = 10.0) {
    for (const CornerView& c : CornersOf(segmentId))
        if (vel::distance(c.vertex, vertex) < within) return c;
    return std::nullopt;
}

std::vector<vel::Line> LinesOf(int segmentId) {
    std::vector<vel::Line> out;
    for (const vel::Element& e : drawing().segment(segmentId)->elements)
        if (e.figure()->type == FigureType::Line)
            out.push_back({At(*e.figure(), 0), At(*e.figure(), 2)});
    return out;
}

// A corner R touches both lines and meets each at its tangent point.
void ExpectTangentCorner(const CornerView& c, double radius) {
    ASSERT_EQ(c.figure.type, FigureType::CornerR);
    const Point centre = At(c.figure, 0), p = At(c.figure, 2), q = At(c.figure, 4);
    EXPECT_NEAR(c.figure.values[6], radius, kTol);
    EXPECT_NEAR(LineDistance(c.before, centre), radius, kTol);
    EXPECT_NEAR(LineDistance(c.after, centre), radius, kTol);
    EXPECT_NEAR(LineDistance(c.before, p), 0.0, kTol);
    EXPECT_NEAR(LineDistance(c.after, q), 0.0, kTol);
    EXPECT_NEAR(vel::distance(centre, p), radius, kTol);
    EXPECT_NEAR(vel::distance(centre, q), radius, kTol);
}

// A chamfer cuts both lines at the same distance from their vertex.
void ExpectEqualLegChamfer(const CornerView& c, double size) {
    ASSERT_EQ(c.figure.type, FigureType::Chamfer);
    const Point p = At(c.figure, 0), q = At(c.figure, 2);
    EXPECT_NEAR(LineDistance(c.before, p), 0.0, kTol);
    EXPECT_NEAR(LineDistance(c.after, q), 0.0, kTol);
    EXPECT_NEAR(vel::distance(c.vertex, p), size, kTol);
    EXPECT_NEAR(vel::distance(c.vertex, q), size, kTol);
}

// The host calls that change the drawing or decide how, in call order.
std::vector<nlohmann::json> ChangingCalls(const std::string& trace) {
    static const std::vector<std::string> kNames = {
        "VelSgmEditSegment",  "VelFigGetDirection", "VelFigOffset",   "VelFigAmendCorner",
        "VelFigRemoveCorner", "VelFigAddCorner",    "VelLyrHasLayer", "VelLyrCreateLayer",
        "VelSgmChangeLayer",  "VelFigSetLineType"};
    std::vector<nlohmann::json> out;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        nlohmann::json j = nlohmann::json::parse(line);
        if (std::find(kNames.begin(), kNames.end(), j.value("fn", "")) != kNames.end())
            out.push_back(std::move(j));
    }
    return out;
}

int CountCalls(const std::vector<nlohmann::json>& calls, const std::string& name) {
    return static_cast<int>(std::count_if(
        calls.begin(), calls.end(), [&](const nlohmann::json& j) { return j["fn"] == name; }));
}

class Hole : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // All 30 defaults, as a first run writes them into an empty registry.
        const orvanta_test::ScratchFolder folder("hole");
        const orvanta_test::RegistryOverride registry(folder.file("registry.reg"));
        LoadInsertSettings();
        defaults_ = gInsertSettings;
    }

    void SetUp() override {
        vel::Host::instance().reset();
        gInsertSettings = defaults_;
        gInsertSettings.mIsCheckHole = 1;
        gInsertAnnotations = {};
    }

    void TearDown() override { vel::Host::instance().reset(); }

    // The closed rectangle a user would pick, drawn through the host.
    static int DrawPickedRectangle(Point low, Point high) {
        const int seg = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
        const Point p[4] = {low, {high.x, low.y}, high, {low.x, high.y}};
        for (int k = 0; k < 4; ++k) {
            const FigureData line = LineData(p[k], p[(k + 1) % 4]);
            VelFigCreateFigure(seg, &line);
        }
        VelFigSetClosed(seg, 1);
        return seg;
    }

    static FigureData LineData(Point a, Point b) {
        FigureData f{};
        f.type = VEL_FIG_LINE;
        f.values[0] = a.x, f.values[1] = a.y, f.values[2] = b.x, f.values[3] = b.y;
        return f;
    }

    // The insert around the picked (0,0)-(100,50) rectangle: outline (-6,-6)-(105,55).
    static int MakeInsert() {
        FigureList list;
        list.slots[1] = {1, DrawPickedRectangle({0, 0}, {100, 50})};
        list.count = 1;
        EXPECT_TRUE(CreateInsertOutline(list, 1));
        return gInsertAnnotations.outlineSegment;
    }

    // A closed polygon of lines drawn head to tail through the host, with a corner
    // of the given kind and size at every vertex; it becomes the outline of record.
    static int MakePolygonOutline(const std::vector<Point>& vertices, int kind, double size) {
        const int seg = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
        const size_t n = vertices.size();
        std::vector<int> lines;
        for (size_t k = 0; k < n; ++k) {
            const FigureData line = LineData(vertices[k], vertices[(k + 1) % n]);
            lines.push_back(VelFigCreateFigure(seg, &line));
        }
        VelFigSetClosed(seg, 1);
        for (size_t k = 0; k < n; ++k)
            EXPECT_GT(VelFigAddCorner(lines[k], lines[(k + 1) % n], kind, size), 0) << k;
        gInsertAnnotations.outlineSegment = seg;
        return seg;
    }

    // The (0,0)-(80,40) outline drawn head to tail in either direction, with a
    // corner R 4 at the upper right and a chamfer 3 at the lower right; it
    // becomes the outline of record.
    static int MakeRectangleOutline(bool clockwise) {
        std::vector<Point> v = {{0, 0}, {80, 0}, {80, 40}, {0, 40}};
        if (clockwise) v = {{0, 0}, {0, 40}, {80, 40}, {80, 0}};
        const int outline = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
        std::vector<int> lines;
        for (size_t k = 0; k < 4; ++k) {
            const FigureData line = LineData(v[k], v[(k + 1) % 4]);
            lines.push_back(VelFigCreateFigure(outline, &line));
        }
        VelFigSetClosed(outline, 1);
        auto endingAt = [&](Point vertex) {
            for (size_t k = 0; k < 4; ++k)
                if (v[(k + 1) % 4] == vertex) return k;
            return size_t{0};
        };
        const size_t ur = endingAt({80, 40}), lr = endingAt({80, 0});
        EXPECT_GT(VelFigAddCorner(lines[ur], lines[(ur + 1) % 4], 0, 4.0), 0);
        EXPECT_GT(VelFigAddCorner(lines[lr], lines[(lr + 1) % 4], 1, 3.0), 0);
        gInsertAnnotations.outlineSegment = outline;
        return outline;
    }

    static std::vector<Point> RegularPolygon(int n, double radius) {
        std::vector<Point> out;
        for (int k = 0; k < n; ++k)
            out.push_back(
                {radius * std::cos(2 * M_PI * k / n), radius * std::sin(2 * M_PI * k / n)});
        return out;
    }

    static int NewestSegment() { return drawing().segments().rbegin()->first; }

    // Runs the hole with the host's trace on; returns the trace.
    static std::string TracedHole(HoleResult& made) {
        std::ostringstream trace;
        vel::Host::instance().setTrace(&trace);
        made = CreateHoleOutline();
        vel::Host::instance().setTrace(nullptr);
        return trace.str();
    }

    static void KeepPicture(const std::string& name) {
        const std::filesystem::path dir =
            std::filesystem::path(ORVANTA_TEST_OUTPUT_DIR) / "geometry";
        std::filesystem::create_directories(dir);
        std::ofstream out(dir / name, std::ios::binary);
        vel::makeSvgWriter()->write(drawing(), out);
    }

    static inline InsertSettings defaults_;
};

// ---- Whether and how the hole is made ----

TEST_F(Hole, NoHoleWantedAsksNothingOfTheHost) {
    const int outline = MakeInsert();
    const size_t segments = drawing().segments().size();
    gInsertSettings.mIsCheckHole = 0;
    HoleResult made = HoleResult::Made;
    EXPECT_EQ(TracedHole(made), "");
    EXPECT_EQ(made, HoleResult::NotWanted);
    EXPECT_EQ(drawing().segments().size(), segments);
    EXPECT_EQ(NewestSegment(), outline);
}

TEST_F(Hole, ZeroOrUnreadableOffsetMakesAnUnchangedCopy) {
    for (const char16_t* offset : {u"0", u"0.0", u"abc"}) {
        SetUp();
        const int outline = MakeInsert();
        gInsertSettings.mOffsetHole = offset;
        gInsertSettings.mCornerRHole = u"0";
        gInsertSettings.mChamferHole = u"0";
        HoleResult made = HoleResult::Failed;
        const auto calls = ChangingCalls(TracedHole(made));
        ASSERT_EQ(made, HoleResult::Made);
        const int hole = NewestSegment();
        ASSERT_NE(hole, outline);

        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls[0]["fn"], "VelSgmEditSegment");
        const nlohmann::json& args = calls[0]["args"];
        EXPECT_EQ(args[0], outline);
        EXPECT_EQ(args[1], nlohmann::json::array({0.0, 0.0}));
        EXPECT_EQ(args[2], nlohmann::json::array({0.0, 0.0}));
        EXPECT_EQ(args[3], 0.0);
        EXPECT_EQ(args[4], 1.0);
        EXPECT_EQ(args[5], 0);
        EXPECT_EQ(CountCalls(calls, "VelFigOffset"), 0);
        EXPECT_EQ(CountCalls(calls, "VelFigGetDirection"), 0);
        EXPECT_EQ(CountCalls(calls, "VelFigAmendCorner"), 0);

        // Same elements, same geometry, closed.
        const vel::Segment& a = *drawing().segment(outline);
        const vel::Segment& b = *drawing().segment(hole);
        EXPECT_TRUE(b.closed);
        ASSERT_EQ(a.elements.size(), b.elements.size());
        for (size_t i = 0; i < a.elements.size(); ++i) {
            EXPECT_EQ(a.elements[i].figure()->type, b.elements[i].figure()->type);
            for (int v = 0; v < 10; ++v)
                EXPECT_EQ(a.elements[i].figure()->values[v], b.elements[i].figure()->values[v]);
        }
    }
}

TEST_F(Hole, DefaultsEnlargeEveryCornerOfACopyOnTheHoleLayer) {
    const int outline = MakeInsert();
    ASSERT_FALSE(drawing().hasLayer(100));
    HoleResult made = HoleResult::Failed;
    const auto calls = ChangingCalls(TracedHole(made));
    ASSERT_EQ(made, HoleResult::Made);
    const int hole = NewestSegment();
    ASSERT_NE(hole, outline);

    // Corner R 4.0 -> 4.5, chamfers 2.0 -> 2.5 and 5.0 -> 5.5, lower left still sharp.
    ASSERT_EQ(CornersOf(hole).size(), 3u);
    ExpectTangentCorner(*CornerNear(hole, {105, 55}), 4.5);
    ExpectEqualLegChamfer(*CornerNear(hole, {-6, 55}), 2.5);
    ExpectEqualLegChamfer(*CornerNear(hole, {105, -6}), 5.5);
    EXPECT_FALSE(CornerNear(hole, {-6, -6}));
    EXPECT_NEAR(vel::distance(CornerNear(hole, {105, 55})->vertex, {105, 55}), 0, kTol);
    // The insert itself is left as it was.
    ExpectTangentCorner(*CornerNear(outline, {105, 55}), 4.0);
    ExpectEqualLegChamfer(*CornerNear(outline, {-6, 55}), 2.0);
    ExpectEqualLegChamfer(*CornerNear(outline, {105, -6}), 5.0);

    const vel::Segment& s = *drawing().segment(hole);
    EXPECT_TRUE(drawing().hasLayer(100));
    EXPECT_EQ(s.layer, 100);
    EXPECT_EQ(drawing().segment(outline)->layer, 0);
    ASSERT_EQ(s.elements.size(), 7u);
    for (const vel::Element& e : s.elements) {
        EXPECT_EQ(e.color, gInsertSettings.ColorHole);
        EXPECT_EQ(e.lineType, gInsertSettings.LTypeHole);
    }

    // Every corner is resized in place before the layer and the line types.
    std::vector<std::string> order;
    for (const auto& c : calls) order.push_back(c["fn"]);
    const std::vector<std::string> expected = {
        "VelSgmEditSegment", "VelFigAmendCorner", "VelFigAmendCorner", "VelFigAmendCorner",
        "VelLyrHasLayer",    "VelLyrCreateLayer", "VelSgmChangeLayer", "VelFigSetLineType",
        "VelFigSetLineType", "VelFigSetLineType", "VelFigSetLineType", "VelFigSetLineType",
        "VelFigSetLineType", "VelFigSetLineType"};
    EXPECT_EQ(order, expected);
    const nlohmann::json attributes = {{"color", gInsertSettings.ColorHole},
                                       {"ltype", gInsertSettings.LTypeHole},
                                       {"reserved", 0}};
    for (const auto& c : calls) {
        if (c["fn"] == "VelFigSetLineType") {
            EXPECT_EQ(c["args"][1], attributes);
        }
    }
}

TEST_F(Hole, ConvertedCornerRBecomesAChamferOfTheEnlargedSize) {
    const int outline = MakeInsert();
    gInsertSettings.mIsCornerConvHole = 1;
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    const int hole = NewestSegment();
    ASSERT_NE(hole, outline);
    ASSERT_EQ(CornersOf(hole).size(), 3u);
    const CornerView ur = *CornerNear(hole, {105, 55});
    EXPECT_NEAR(vel::distance(ur.vertex, {105, 55}), 0, kTol);
    ExpectEqualLegChamfer(ur, 4.5);
    for (const CornerView& c : CornersOf(hole)) EXPECT_EQ(c.figure.type, FigureType::Chamfer);
    ExpectEqualLegChamfer(*CornerNear(hole, {-6, 55}), 2.5);  // not converted, still enlarged
    ExpectEqualLegChamfer(*CornerNear(hole, {105, -6}), 5.5);
    // The replacement gets the hole's attributes too.
    for (const vel::Element& e : drawing().segment(hole)->elements)
        EXPECT_EQ(e.color, gInsertSettings.ColorHole);
}

TEST_F(Hole, ConvertedChamfersBecomeCornerRWithTheEnlargedMeasuredSize) {
    MakeInsert();
    gInsertSettings.mIsChamferConvHole = 1;
    gInsertSettings.mChamferHole = u"0.5";
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    const int hole = NewestSegment();
    ASSERT_EQ(CornersOf(hole).size(), 3u);
    for (const CornerView& c : CornersOf(hole)) EXPECT_EQ(c.figure.type, FigureType::CornerR);
    ExpectTangentCorner(*CornerNear(hole, {-6, 55}), 2.5);
    ExpectTangentCorner(*CornerNear(hole, {105, -6}), 5.5);
    ExpectTangentCorner(*CornerNear(hole, {105, 55}), 4.5);
    EXPECT_NEAR(vel::distance(CornerNear(hole, {-6, 55})->vertex, {-6, 55}), 0, kTol);

    // Conversion with no amount keeps the measured size.
    SetUp();
    MakeInsert();
    gInsertSettings.mIsChamferConvHole = 1;
    gInsertSettings.mChamferHole = u"0";
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    ExpectTangentCorner(*CornerNear(NewestSegment(), {105, -6}), 5.0);
}

// ---- Offsets ----

// Every hole side lies at |offset| from its outline side, outside for a positive
// offset and inside for a negative one, whichever way the outline runs; corner R
// keeps its centre and chamfers their equal legs.
TEST_F(Hole, OffsetSidesLieAtTheDistanceOnTheSameSideForBothDirections) {
    struct Case {
        bool clockwise;
        double offset;
    };
    for (const Case c : {Case{false, 3.0}, Case{true, 3.0}, Case{false, -2.0}, Case{true, -2.0}}) {
        SCOPED_TRACE(::testing::Message()
                     << (c.clockwise ? "clockwise " : "counter-clockwise ") << c.offset);
        SetUp();
        const int outline = MakeRectangleOutline(c.clockwise);
        ASSERT_EQ(VelFigGetDirection(outline), c.clockwise ? 2 : 1);
        gInsertSettings.mOffsetHole = c.offset > 0 ? u"3.0" : u"-2.0";
        // No amounts, so that the corners are the offset's own.
        gInsertSettings.mCornerRHole = u"0";
        gInsertSettings.mChamferHole = u"0";

        ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
        const int hole = NewestSegment();
        ASSERT_NE(hole, outline);

        const std::vector<vel::Line> sides = LinesOf(outline), moved = LinesOf(hole);
        ASSERT_EQ(sides.size(), moved.size());
        for (size_t k = 0; k < sides.size(); ++k) {
            const Point u = vel::normalized(sides[k].end - sides[k].start);
            EXPECT_NEAR(vel::cross(u, vel::normalized(moved[k].end - moved[k].start)), 0, kTol);
            EXPECT_NEAR(LineDistance(sides[k], moved[k].start), std::fabs(c.offset), kTol);
            EXPECT_NEAR(LineDistance(sides[k], moved[k].end), std::fabs(c.offset), kTol);
        }
        // Sides meet at the rectangle grown (or shrunk) by the offset.
        vel::Extents box;
        for (const vel::Line& l : moved) box.add(l.start), box.add(l.end);
        EXPECT_NEAR(box.minX, -c.offset, kTol);
        EXPECT_NEAR(box.minY, -c.offset, kTol);
        EXPECT_NEAR(box.maxX, 80 + c.offset, kTol);
        EXPECT_NEAR(box.maxY, 40 + c.offset, kTol);

        const CornerView round = *CornerNear(hole, {80 + c.offset, 40 + c.offset});
        ExpectTangentCorner(round, 4.0 + c.offset);
        EXPECT_NEAR(vel::distance(At(round.figure, 0), {76, 36}), 0, kTol);  // centre kept
        // The moved chamfer keeps equal legs: at a right angle they grow by
        // offset * (2 - sqrt 2).
        ExpectEqualLegChamfer(*CornerNear(hole, {80 + c.offset, -c.offset}),
                              3.0 + c.offset * (2 - std::sqrt(2.0)));
        EXPECT_EQ(drawing().segment(hole)->layer, 100);
    }
}

// Converted corners are cut between the moved lines of either direction.
TEST_F(Hole, ConversionsApplyToTheOffsetHoleOfEitherDirection) {
    for (bool clockwise : {false, true}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "counter-clockwise");
        SetUp();
        MakeRectangleOutline(clockwise);
        gInsertSettings.mOffsetHole = u"2.0";
        gInsertSettings.mIsCornerConvHole = 1;
        gInsertSettings.mIsChamferConvHole = 1;
        ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
        const int hole = NewestSegment();
        ASSERT_EQ(CornersOf(hole).size(), 2u);
        // The corner R (4, offset to 6) becomes a chamfer of 6.5; the chamfer (3, offset
        // to 3 + 2 (2 - sqrt 2)) becomes a corner R 0.5 larger.
        const CornerView chamfer = *CornerNear(hole, {82, 42});
        EXPECT_NEAR(vel::distance(chamfer.vertex, {82, 42}), 0, kTol);
        ExpectEqualLegChamfer(chamfer, 6.5);
        const CornerView round = *CornerNear(hole, {82, -2});
        EXPECT_NEAR(vel::distance(round.vertex, {82, -2}), 0, kTol);
        ExpectTangentCorner(round, 3.0 + 2.0 * (2 - std::sqrt(2.0)) + 0.5);
        EXPECT_EQ(drawing().segment(hole)->elements.size(), 6u);
    }
}

TEST_F(Hole, OffsetOfTheDefaultInsertEnclosesIt) {
    const int outline = MakeInsert();
    gInsertSettings.mOffsetHole = u"3.0";
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    const int hole = NewestSegment();
    // Offset 3 keeps the corner R's centre; the amount of 0.5 then moves it
    // along the bisector, away from the vertex, to stay tangent.
    const CornerView round = *CornerNear(hole, {108, 58});
    ExpectTangentCorner(round, 7.5);
    const Point centre = At(round.figure, 0);
    const Point before = At(CornerNear(outline, {105, 55})->figure, 0);
    EXPECT_NEAR(vel::distance(centre, round.vertex), 7.5 * std::sqrt(2.0), kTol);
    EXPECT_NEAR(vel::distance(centre, before), 0.5 * std::sqrt(2.0), kTol);
    EXPECT_NEAR(vel::cross(centre - before, Point{1, 1}), 0, kTol);
    ExpectEqualLegChamfer(*CornerNear(hole, {-9, 58}), 2.0 + 3.0 * (2 - std::sqrt(2.0)) + 0.5);
    ExpectEqualLegChamfer(*CornerNear(hole, {108, -9}), 5.0 + 3.0 * (2 - std::sqrt(2.0)) + 0.5);
    const std::vector<vel::Primitive> drawn =
        vel::drawnPrimitives(drawing(), *drawing().segment(hole));
    const vel::Extents box = vel::extentsOf(drawn);
    EXPECT_NEAR(box.minX, -9, kTol);
    EXPECT_NEAR(box.minY, -9, kTol);
    EXPECT_NEAR(box.maxX, 108, kTol);
    EXPECT_NEAR(box.maxY, 58, kTol);
    KeepPicture("default-insert-with-offset-hole.svg");
}

// ---- Layers ----

TEST_F(Hole, HoleLayerIsCreatedWhenMissingAndUsedWhenPresent) {
    MakeInsert();
    gInsertSettings.mLayerHole = u"250";
    HoleResult made = HoleResult::Failed;
    auto calls = ChangingCalls(TracedHole(made));
    ASSERT_EQ(made, HoleResult::Made);
    EXPECT_EQ(drawing().segment(NewestSegment())->layer, 250);
    EXPECT_EQ(CountCalls(calls, "VelLyrCreateLayer"), 1);

    MakeInsert();  // the layer exists now
    calls = ChangingCalls(TracedHole(made));
    ASSERT_EQ(made, HoleResult::Made);
    EXPECT_EQ(drawing().segment(NewestSegment())->layer, 250);
    EXPECT_EQ(CountCalls(calls, "VelLyrHasLayer"), 1);
    EXPECT_EQ(CountCalls(calls, "VelLyrCreateLayer"), 0);

    // Layer 0 is a layer like any other for the hole.
    drawing().setCurrentLayer(5);
    MakeInsert();
    gInsertSettings.mLayerHole = u"no digits";
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    EXPECT_EQ(drawing().segment(NewestSegment())->layer, 0);
}

// ---- Failures ----

TEST_F(Hole, MissingOutlineMakesNoHole) {
    for (const char16_t* offset : {u"0", u"3"}) {
        SetUp();
        gInsertAnnotations.outlineSegment = 4711;
        gInsertSettings.mOffsetHole = offset;
        EXPECT_EQ(CreateHoleOutline(), HoleResult::Failed);
        EXPECT_TRUE(drawing().segments().empty());
    }
}

TEST_F(Hole, OffsetTheHostCannotMakeMakesNoHole) {
    const int outline = MakeInsert();
    gInsertSettings.mOffsetHole = u"-40";  // deeper than half the 61 high outline
    EXPECT_EQ(CreateHoleOutline(), HoleResult::Failed);
    EXPECT_EQ(NewestSegment(), outline);
}

// Whatever step the host refuses, the hole made so far goes again and the
// insert stays as it was: no half-made hole is left on top of it.
TEST_F(Hole, AnyRefusedStepDeletesTheHoleMadeSoFar) {
    struct Case {
        const char* what;
        void (*set)(InsertSettings&);
        const char* refused;  // the host call that fails
    };
    const Case cases[] = {
        {"resize", [](InsertSettings& s) { s.mCornerRHole = u"100"; }, "VelFigAmendCorner"},
        // A corner R of 62 does not fit the 61 high outline.
        {"conversion", [](InsertSettings& s) { s.mIsChamferConvHole = 1, s.mChamferHole = u"60"; },
         "VelFigAddCorner"},
        {"layer", [](InsertSettings& s) { s.mLayerHole = u"-5"; }, "VelLyrCreateLayer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        const int outline = MakeInsert();
        const vel::Segment before = *drawing().segment(outline);
        const size_t segments = drawing().segments().size();
        c.set(gInsertSettings);
        HoleResult made = HoleResult::Made;
        const std::string trace = TracedHole(made);
        const auto calls = ChangingCalls(trace);
        EXPECT_EQ(made, HoleResult::Failed);
        bool refused = false;
        for (const auto& call : calls)
            if (call["fn"] == c.refused && call["ret"] == -1) refused = true;
        EXPECT_TRUE(refused) << "the host refused " << c.refused;
        EXPECT_NE(trace.find("VelSgmDeleteSegment"), std::string::npos);
        EXPECT_EQ(drawing().segments().size(), segments) << "the part and its insert only";
        EXPECT_EQ(NewestSegment(), outline);
        EXPECT_EQ(drawing().segment(outline)->elements.size(), before.elements.size());
        EXPECT_EQ(CountCalls(calls, "VelFigSetLineType"), 0);
    }
}

// ---- Corners the hole must leave alone ----

// Chamfers crafted past the host's own corner rules: one with legs of 3 and 4,
// one whose following neighbour is a point. Neither has a single size, so
// neither is resized nor converted; the measurable chamfer still is.
TEST_F(Hole, ChamferWithoutASizeStaysAsDrawn) {
    auto line = [](Point a, Point b) {
        FigureElement f;
        f.type = FigureType::Line;
        f.values[0] = a.x, f.values[1] = a.y, f.values[2] = b.x, f.values[3] = b.y;
        return f;
    };
    auto chamfer = [](Point a, Point b) {
        FigureElement f;
        f.type = FigureType::Chamfer;
        f.values[0] = a.x, f.values[1] = a.y, f.values[2] = b.x, f.values[3] = b.y;
        return f;
    };
    for (int conversion : {0, 1}) {
        for (bool pointNeighbour : {false, true}) {
            SCOPED_TRACE(::testing::Message()
                         << "conversion " << conversion << " point " << pointNeighbour);
            SetUp();
            vel::Drawing& d = drawing();
            const int seg = d.createSegment(vel::SegmentKind::Figure);
            d.appendElement(seg, line({0, 0}, {100, 0}));
            if (pointNeighbour) {
                d.appendElement(seg, chamfer({97, 0}, {100, 3}));
                FigureElement p;
                p.type = FigureType::Point;
                p.values[0] = 100;
                d.appendElement(seg, p);
            } else {
                d.appendElement(seg, chamfer({97, 0}, {100, 4}));
            }
            const int right = d.appendElement(seg, line({100, 0}, {100, 50}));
            const int top = d.appendElement(seg, line({100, 50}, {0, 50}));
            d.appendElement(seg, line({0, 50}, {0, 0}));
            d.segment(seg)->closed = true;
            ASSERT_GT(VelFigAddCorner(right, top, 1, 2.0), 0);
            gInsertAnnotations.outlineSegment = seg;
            gInsertSettings.mIsChamferConvHole = conversion;

            ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
            const int hole = NewestSegment();
            ASSERT_NE(hole, seg);
            const vel::Segment& s = *d.segment(hole);
            const FigureElement& odd = *s.elements[1].figure();
            EXPECT_EQ(odd.type, FigureType::Chamfer);
            EXPECT_EQ(At(odd, 0), (Point{97, 0}));
            EXPECT_EQ(At(odd, 2), (Point{100, pointNeighbour ? 3.0 : 4.0}));
            const CornerView fine = *CornerNear(hole, {100, 50});
            if (conversion)
                ExpectTangentCorner(fine, 2.5);
            else
                ExpectEqualLegChamfer(fine, 2.5);
            EXPECT_EQ(s.layer, 100);
            for (const vel::Element& e : s.elements) EXPECT_EQ(e.color, gInsertSettings.ColorHole);
        }
    }
}

TEST_F(Hole, MoreCornersToChangeThanTheListHoldsFailBeforeAnyIsChanged) {
    for (const bool convert : {false, true}) {
        SetUp();
        const int outline = MakePolygonOutline(RegularPolygon(kMaxHoleCorners + 1, 100.0), 0, 2.0);
        ASSERT_EQ(CornersOf(outline).size(), size_t(kMaxHoleCorners + 1));
        gInsertSettings.mIsCornerConvHole = convert ? 1 : 0;
        HoleResult made = HoleResult::Made;
        const auto calls = ChangingCalls(TracedHole(made));
        EXPECT_EQ(made, HoleResult::Failed);
        EXPECT_EQ(CountCalls(calls, "VelFigAmendCorner"), 0);
        EXPECT_EQ(CountCalls(calls, "VelFigRemoveCorner"), 0);
        EXPECT_EQ(CountCalls(calls, "VelFigAddCorner"), 0);
        EXPECT_EQ(CountCalls(calls, "VelSgmChangeLayer"), 0);
        EXPECT_EQ(NewestSegment(), outline) << "the copy is deleted again";
        for (const CornerView& c : CornersOf(outline)) ExpectTangentCorner(c, 2.0);
    }
}

TEST_F(Hole, AFullListIsChangedAndUnchangedCornersDoNotCount) {
    const int full = MakePolygonOutline(RegularPolygon(kMaxHoleCorners, 100.0), 0, 2.0);
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    const int hole = NewestSegment();
    ASSERT_NE(hole, full);
    ASSERT_EQ(CornersOf(hole).size(), size_t(kMaxHoleCorners));
    for (const CornerView& c : CornersOf(hole)) ExpectTangentCorner(c, 2.5);

    // Fifty corners R with no amount for them need no entry at all.
    SetUp();
    const int many = MakePolygonOutline(RegularPolygon(kMaxHoleCorners + 1, 100.0), 0, 2.0);
    gInsertSettings.mCornerRHole = u"0";
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    EXPECT_NE(NewestSegment(), many);
    EXPECT_EQ(drawing().segment(NewestSegment())->layer, 100);
}

// ---- The picture ----

TEST_F(Hole, DefaultInsertWithItsHoleIsDrawn) {
    MakeInsert();
    ASSERT_EQ(CreateHoleOutline(), HoleResult::Made);
    KeepPicture("default-insert-with-hole.svg");
    std::ostringstream svg;
    vel::makeSvgWriter()->write(drawing(), svg);
    EXPECT_NE(svg.str().find("<svg"), std::string::npos);
}

}  // namespace

namespace {

// A corner R that ends an open outline has no element after it: its conversion
// is passed over, and the conversion of the corner that has both neighbours is
// still made. No element id that was never found reaches the host.
TEST_F(Hole, ConversionWithoutBothNeighboursLeavesThatCornerAlone) {
    vel::Drawing& d = drawing();
    const int seg = d.createSegment(vel::SegmentKind::Figure);
    FigureElement down;
    down.type = FigureType::Line;
    down.values[0] = 0, down.values[1] = 10, down.values[2] = 0, down.values[3] = 0;
    FigureElement across = down;
    across.values[0] = 0, across.values[1] = 0, across.values[2] = 10, across.values[3] = 0;
    const int first = d.appendElement(seg, down);
    const int second = d.appendElement(seg, across);
    ASSERT_GT(VelFigAddCorner(first, second, VEL_CORNER_ROUND, 2.0), 0);
    FigureElement dangling;
    dangling.type = FigureType::CornerR;
    const double values[] = {8, 2, 10, 0, 10, 2, 2};
    std::copy(std::begin(values), std::end(values), dangling.values);
    d.appendElement(seg, dangling);
    gInsertAnnotations.outlineSegment = seg;
    gInsertSettings.mIsCornerConvHole = 1;

    HoleResult made = HoleResult::Failed;
    const auto calls = ChangingCalls(TracedHole(made));
    EXPECT_EQ(made, HoleResult::Made);
    EXPECT_EQ(CountCalls(calls, "VelFigRemoveCorner"), 1);
    EXPECT_EQ(CountCalls(calls, "VelFigAddCorner"), 1);
    for (const auto& call : calls) {
        if (call["fn"] != "VelFigAddCorner") continue;
        EXPECT_GT(call["args"][0].get<int>(), 0);
        EXPECT_GT(call["args"][1].get<int>(), 0);
        EXPECT_GT(call["ret"].get<int>(), 0) << "the chamfer replacing the corner R fits";
    }
    const vel::Segment& hole = *d.segment(NewestSegment());
    ASSERT_EQ(hole.elements.size(), 4u);
    EXPECT_EQ(hole.elements[1].figure()->type, FigureType::Chamfer);
    EXPECT_EQ(hole.elements[3].figure()->type, FigureType::CornerR) << "left as it was";
    EXPECT_EQ(hole.elements[3].figure()->values[6], 2.0);
}

}  // namespace

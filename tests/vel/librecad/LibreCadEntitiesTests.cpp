// LibreCadEntitiesTest.cpp - LibreCAD's entities into the drawing and back: figures as the DXF
// reader makes them, bulges on the side they turn, closed polylines closed, colours and line
// types kept both ways, and what the command makes drawn by LibreCAD as the same shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/support/Drawings.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/HostPalette.h"
#include "vel/librecad/LibreCadEntities.h"

namespace vel::librecad {
namespace {

using test::addCorneredPlate;
using test::addPolygon;
using test::strayBetween;

LcEntity polyline(std::vector<LcVertex> vertices, bool closed) {
    LcEntity e;
    e.kind = LcKind::Polyline;
    e.type = "POLYLINE";
    e.vertices = std::move(vertices);
    e.closed = closed;
    return e;
}

TEST(LibreCadEntities, EntitiesBecomeFiguresWithTheirStyleOnTheirLayer) {
    Drawing d;
    DrawingImport import(d);
    LcEntity arc;
    arc.kind = LcKind::Arc;
    arc.layer = "외곽선";
    arc.color = 0xFF0000;
    arc.lineType = "DashLine";
    arc.centre = {10, 0};
    arc.radius = 2;
    arc.start = 0;
    arc.end = std::numbers::pi / 2;
    const std::optional<int> arcSegment = import.add(arc);
    // Counter-clockwise from (0, 0) to (10, 0) passes below; the polyline closes with its last
    // bulge, a circle in two halves, on the layer numbered by its name.
    LcEntity round = polyline({{{0, 0}, 1.0}, {{10, 0}, 1.0}}, true);
    round.layer = "12";
    const std::optional<int> roundSegment = import.add(round);
    LcEntity text;
    text.kind = LcKind::Text;
    text.type = "TEXT";
    EXPECT_FALSE(import.add(text).has_value());
    EXPECT_FALSE(import.add(polyline({}, false)).has_value());
    EXPECT_EQ(import.leftOut().summary(),
              "left out 2 entities: 1 TEXT (not figures); 1 POLYLINE (bad value)");

    ASSERT_TRUE(arcSegment && roundSegment);
    const Segment& a = *d.segment(*arcSegment);
    EXPECT_EQ(d.layers().at(a.layer).name, "외곽선");
    const Element& e = a.elements.at(0);
    EXPECT_EQ(e.color, paletteColorOf(rgbOfTrueColor(0xFF0000)));
    EXPECT_EQ(e.lineType, lineTypeOfName("DASHED"));
    const Arc drawn = std::get<Arc>(drawnPrimitives(d, a).at(0));
    EXPECT_NEAR(distance(drawn.start(), {12, 0}), 0.0, 1e-12);
    EXPECT_NEAR(drawn.sweep(), std::numbers::pi / 2, 1e-12);

    const Segment& r = *d.segment(*roundSegment);
    EXPECT_EQ(r.layer, 12);
    EXPECT_TRUE(r.closed);
    const std::vector<Primitive> halves = drawnPrimitives(d, r);
    ASSERT_EQ(halves.size(), 2u);
    EXPECT_NEAR(distanceTo(halves[0], {5, -5}), 0.0, 1e-9) << "below its chord";
    EXPECT_NEAR(distanceTo(halves[1], {5, 5}), 0.0, 1e-9);
}

// What the command makes goes to LibreCAD as entities that read back as the same shapes, in the
// same colours and line types on the same layers: an outline with a corner R and a chamfer as
// one closed polyline, an arc past a half turn in two bulges, a circle as a circle.
TEST(LibreCadEntities, SegmentsGoOutAsEntitiesThatReadBackAsTheSameShapes) {
    Drawing d;
    const int plate = addCorneredPlate(d);
    d.segment(plate)->layer = d.layerForName("외곽선");
    for (Element& e : d.segment(plate)->elements) e.color = 5, e.lineType = 3;
    const int hook = d.createSegment(SegmentKind::Figure);
    d.appendElement(hook, lineFigure({75, -20}, {80, -5}));
    d.appendElement(hook, vel::arcFigure({80, 0}, 5, {85, 0}, {80, -5}));
    d.appendElement(hook, lineFigure({85, 0}, {75, -20}));
    d.segment(hook)->closed = true;
    d.createLayer(100);
    const int hole = d.createSegment(SegmentKind::Figure);
    d.segment(hole)->layer = 100;
    d.appendElement(hole, circleFigure({30, 25}, 8));

    const ViewFrame frame = frameOf(d);
    Drawing back;
    DrawingImport import(back);
    for (const auto& [id, s] : d.segments()) {
        SCOPED_TRACE("segment " + std::to_string(id));
        const std::vector<LcEntity> out = entitiesOf(d, s, frame);
        ASSERT_EQ(out.size(), 1u);
        for (const LcVertex& v : out[0].vertices) EXPECT_LE(std::fabs(v.bulge), 1.0 + 1e-12);
        const std::optional<int> again = import.add(out[0]);
        ASSERT_TRUE(again.has_value());
        const Segment& b = *back.segment(*again);
        EXPECT_EQ(b.closed, s.closed);
        EXPECT_EQ(back.layers().at(b.layer).name.empty() ? std::to_string(b.layer)
                                                         : back.layers().at(b.layer).name,
                  layerNameOf(d, s.layer));
        EXPECT_LT(strayBetween(drawnPrimitives(d, s), drawnPrimitives(back, b)), 1e-9);
        EXPECT_EQ(b.elements.at(0).color, s.elements.at(0).color);
        EXPECT_EQ(b.elements.at(0).lineType, s.elements.at(0).lineType);
    }
    EXPECT_EQ(entitiesOf(d, *d.segment(plate), frame)[0].kind, LcKind::Polyline);
    EXPECT_EQ(entitiesOf(d, *d.segment(hole), frame)[0].kind, LcKind::Circle);
}

LcEntity lineIn(int color) {
    LcEntity e;
    e.kind = LcKind::Line;
    e.type = "LINE";
    e.color = color;
    e.vertices = {{{0, 0}, 0.0}, {{10, 0}, 0.0}};
    return e;
}

// The colours at the ends of LibreCAD's range come through both ways: white is the palette's
// first colour, black (which the palette has not) is left to the layer, bits above the RGB are
// no part of it; and back again, a palette colour goes out as its own RGB and none as by layer.
TEST(LibreCadEntities, ColoursAtTheEndsOfTheRangeComeThroughBothWays) {
    Drawing d;
    DrawingImport import(d);
    auto colourOf = [&](int lcColor) -> std::optional<int> {
        const std::optional<int> s = import.add(lineIn(lcColor));
        if (!s) return -99;
        return d.segment(*s)->elements.at(0).color;
    };
    EXPECT_EQ(colourOf(0xFFFFFF), 0) << "white: MAINCOLOR01";
    EXPECT_EQ(colourOf(0x000000), std::nullopt) << "black: the layer's";
    EXPECT_EQ(colourOf(0xFF0000), 5) << "red: MAINCOLOR06";
    EXPECT_EQ(colourOf(0x7F0000FF), 11) << "blue: MAINCOLOR12, whatever lies above it";
    EXPECT_EQ(colourOf(kColorByLayer), std::nullopt);
    EXPECT_EQ(colourOf(kColorByBlock), std::nullopt) << "no block to take it from";

    std::vector<int> colours;  // white, olive and none going out
    for (const std::optional<int> color :
         {std::optional<int>(0), std::optional<int>(15), std::optional<int>()}) {
        Drawing one;
        const int only = one.createSegment(SegmentKind::Figure);
        const int id = one.appendElement(only, lineFigure({0, 0}, {10, 0}));
        one.element(id)->color = color;
        colours.push_back(entitiesOf(one, *one.segment(only), frameOf(one)).at(0).color);
    }
    EXPECT_EQ(colours, (std::vector<int>{0xFFFFFF, 0x808000, kColorByLayer}));
}

// An elliptic arc comes in as the part of the ellipse it is, the arcs and ellipses LibreCAD holds
// reversed (running clockwise from their start) as the same curves turned round.
TEST(LibreCadEntities, EllipticAndReversedArcsComeInAsTheCurvesTheyAre) {
    Drawing d;
    DrawingImport import(d);
    LcEntity quarter;  // of an ellipse 20 x 10 round (100, 0): from (110, 0) to (100, 5)
    quarter.kind = LcKind::Ellipse;
    quarter.type = "ELLIPSE";
    quarter.centre = {100, 0};
    quarter.majorAxis = {10, 0};
    quarter.ratio = 0.5;
    quarter.start = 0;
    quarter.end = std::numbers::pi / 2;
    LcEntity turned = quarter;
    std::swap(turned.start, turned.end);
    turned.reversed = true;
    for (const LcEntity& e : {quarter, turned}) {
        SCOPED_TRACE(e.reversed ? "reversed" : "as it is");
        const std::optional<int> s = import.add(e);
        ASSERT_TRUE(s.has_value());
        std::vector<Point> points;
        for (const Primitive& p : drawnPrimitives(d, *d.segment(*s))) {
            const Line& l = std::get<Line>(p);
            points.insert(points.end(), {l.start, l.end});
        }
        ASSERT_GE(points.size(), 4u);
        for (Point p : points) {
            const double x = (p.x - 100) / 10, y = p.y / 5;
            EXPECT_NEAR(x * x + y * y, 1.0, 1e-9);
            EXPECT_GE(x, -1e-9) << "in the first quarter";
            EXPECT_GE(y, -1e-9) << "in the first quarter";
        }
    }
    LcEntity arc;  // held reversed: clockwise from 90° to 0°, the quarter above the x axis
    arc.kind = LcKind::Arc;
    arc.type = "ARC";
    arc.radius = 5;
    arc.start = std::numbers::pi / 2;
    arc.end = 0;
    arc.reversed = true;
    const std::optional<int> s = import.add(arc);
    ASSERT_TRUE(s.has_value());
    const Arc drawn = std::get<Arc>(drawnPrimitives(d, *d.segment(*s)).at(0));
    EXPECT_NEAR(drawn.sweep(), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(distanceTo(Primitive{drawn}, {5 * std::sqrt(0.5), 5 * std::sqrt(0.5)}), 0.0, 1e-9);
}

// A dimension's text goes to LibreCAD at the angle it reads at, in radians as LibreCAD takes it.
TEST(LibreCadEntities, TextsGoOutAtTheirAngleInRadians) {
    Drawing d;
    addPolygon(d, {{0, 0}, {100, 0}, {100, 60}, {0, 60}}, true);
    DimensionElement dim;  // up the right side
    dim.a = {100, 0};
    dim.b = {100, 60};
    dim.direction = 90.0;
    dim.decimals = 1;
    const int s = d.createSegment(SegmentKind::Dimension);
    d.appendElement(s, dim);
    std::optional<LcEntity> text;
    for (const LcEntity& e : entitiesOf(d, *d.segment(s), frameOf(d)))
        if (e.kind == LcKind::Text) text = e;
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->text, "60.0");
    EXPECT_NEAR(text->angle, std::numbers::pi / 2, 1e-12);
}

// Every host line type goes to LibreCAD under a name it draws: those whose customary name LibreCAD
// knows come back as themselves, and none of the dashed ones is drawn solid.
TEST(LibreCadEntities, LineTypesKeepTheirLookBothWays) {
    EXPECT_EQ(libreCadLineTypeOf(std::nullopt), "ByLayer");
    for (int number : knownLineTypes()) {
        SCOPED_TRACE(number);
        const std::string name = libreCadLineTypeOf(number);
        EXPECT_EQ(name == "SolidLine", lineTypeStyle(number).continuous()) << name;
        // LibreCAD has no hidden or phantom lines.
        const std::string_view customary = customaryLineTypeName(number);
        if (!customary.empty() && !customary.starts_with("HIDDEN") &&
            !customary.starts_with("PHANTOM")) {
            EXPECT_EQ(hostLineTypeOf(name), number) << customary;
        }
    }
    EXPECT_EQ(hostLineTypeOf("ByLayer"), std::nullopt);
}

}  // namespace
}  // namespace vel::librecad

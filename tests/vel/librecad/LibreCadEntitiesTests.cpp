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

// DxfFormatTest.cpp - DXF exchange: figures written as drawn come back with the
// same shape, bulges become the right arcs, layers keep their numbers or names,
// foreign entities are counted, faulty files are refused, and the written file
// holds together when read without dxflib.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "tests/support/Drawings.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel::test {
namespace {

std::string toDxf(const Drawing& d) {
    return writeWith(*makeDxfWriter(), d);
}

DxfReadReport fromDxf(const std::string& text, Drawing& d, const std::string& name = "test.dxf") {
    std::istringstream in(text);
    return readDxfDrawing(in, name, d);
}

// A minimal text DXF with just an ENTITIES section.
std::string entities(const std::string& body) {
    return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n";
}

const FigureElement& onlyFigure(const Drawing& d) {
    EXPECT_EQ(d.segments().size(), 1u);
    const Segment& s = d.segments().begin()->second;
    EXPECT_EQ(s.elements.size(), 1u);
    return *s.elements.at(0).figure();
}

void expectNear(Point p, Point q, double tol = 1e-9) {
    EXPECT_NEAR(p.x, q.x, tol);
    EXPECT_NEAR(p.y, q.y, tol);
}

TEST(DxfFormat, CorneredOutlineComesBackAsTheSameDrawnShape) {
    Drawing d;
    const int plate = addCorneredPlate(d);
    const std::vector<Primitive> drawn = drawnPrimitives(d, *d.segment(plate));
    const std::string text = toDxf(d);
    keepOutput("cornered-plate.dxf", text);

    Drawing back;
    const DxfReadReport report = fromDxf(text, back);
    EXPECT_EQ(report.leftOut.total(), 0);
    ASSERT_EQ(back.segments().size(), 1u);
    const Segment& s = back.segments().begin()->second;
    EXPECT_TRUE(s.closed);
    // Four trimmed sides, the corner's arc and the chamfer's cut, no corner records.
    ASSERT_EQ(s.elements.size(), drawn.size());
    EXPECT_EQ(s.elements.size(), 6u);
    const std::vector<Primitive> again = drawnPrimitives(back, s);
    const Extents e0 = extentsOf(drawn), e1 = extentsOf(again);
    EXPECT_NEAR(e1.minX, e0.minX, 1e-9);
    EXPECT_NEAR(e1.maxX, e0.maxX, 1e-9);
    EXPECT_NEAR(e1.minY, e0.minY, 1e-9);
    EXPECT_NEAR(e1.maxY, e0.maxY, 1e-9);
    EXPECT_EQ(figureDirection(back, s.id), figureDirection(d, plate));

    // The corner's arc keeps its centre and radius, and is tangent to both sides.
    const Arc* corner = nullptr;
    for (const Primitive& p : again)
        if (const Arc* a = std::get_if<Arc>(&p)) corner = a;
    ASSERT_NE(corner, nullptr);
    EXPECT_NEAR(corner->radius, 8.0, 1e-9);
    expectNear(corner->centre, {92, 8});
    expectNear(corner->start(), {92, 0});
    expectNear(corner->end(), {100, 8});
    // Every drawn piece lies on a piece of the original.
    for (const Primitive& p : again) {
        const Point mid = std::holds_alternative<Line>(p)
                              ? (std::get<Line>(p).start + std::get<Line>(p).end) * 0.5
                              : std::get<Arc>(p).pointAt(std::get<Arc>(p).startAngle +
                                                         std::get<Arc>(p).sweep() / 2);
        double nearest = 1e9;
        for (const Primitive& q : drawn) nearest = std::min(nearest, distanceTo(q, mid));
        EXPECT_LT(nearest, 1e-9);
    }
}

TEST(DxfFormat, BulgesBecomeArcsOnTheSideTheyTurn) {
    // Half turns: counter-clockwise from (0,0) to (10,0) passes below, clockwise above.
    for (const auto& [bulge, through] :
         std::vector<std::pair<double, Point>>{{1.0, {5, -5}}, {-1.0, {5, 5}}}) {
        Drawing d;
        fromDxf(entities("0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n" + std::to_string(bulge) +
                         "\n10\n10\n20\n0\n"),
                d);
        const FigureElement& f = onlyFigure(d);
        ASSERT_EQ(f.type, FigureType::Arc);
        expectNear(at(f, 0), {5, 0});
        EXPECT_NEAR(f.values[6], 5.0, 1e-12);
        const Segment& s = d.segments().begin()->second;
        const Arc arc = std::get<Arc>(drawnPrimitives(d, s).at(0));
        EXPECT_NEAR(arc.sweep(), M_PI, 1e-12);
        EXPECT_NEAR(distanceTo(arc, through), 0.0, 1e-9) << "bulge " << bulge;
        // A clockwise piece is kept as the counter-clockwise arc from its end.
        expectNear(at(f, 2), bulge > 0 ? Point{0, 0} : Point{10, 0});
        expectNear(at(f, 4), bulge > 0 ? Point{10, 0} : Point{0, 0});
    }
    // A smaller bulge: radius and centre from tan(sweep / 4).
    Drawing d;
    fromDxf(entities("0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n0.5\n10\n10\n20\n0\n"), d);
    const FigureElement& f = onlyFigure(d);
    EXPECT_NEAR(f.values[6], 6.25, 1e-12);
    expectNear(at(f, 0), {5, 3.75});
    EXPECT_NEAR(distance(at(f, 0), {0, 0}), 6.25, 1e-12);
    EXPECT_NEAR(distance(at(f, 0), {10, 0}), 6.25, 1e-12);
}

TEST(DxfFormat, ClosedPolylinesCloseWithTheirLastBulge) {
    // Two half turns make a circle of radius 5 round (5, 0).
    Drawing d;
    fromDxf(entities("0\nLWPOLYLINE\n90\n2\n70\n1\n10\n0\n20\n0\n42\n1\n10\n10\n20\n0\n42\n1\n"),
            d);
    ASSERT_EQ(d.segments().size(), 1u);
    const Segment& s = d.segments().begin()->second;
    EXPECT_TRUE(s.closed);
    ASSERT_EQ(s.elements.size(), 2u);
    for (const Element& e : s.elements) {
        ASSERT_EQ(e.figure()->type, FigureType::Arc);
        expectNear(at(*e.figure(), 0), {5, 0});
    }
    EXPECT_EQ(figureDirection(d, s.id), 1);

    // Old-style 2D POLYLINE with VERTEX entities; a 3D polyline is read where it is flat and
    // left out and counted where it is not.
    Drawing old;
    const DxfReadReport report = fromDxf(
        entities(
            "0\nPOLYLINE\n8\n0\n66\n1\n70\n1\n0\nVERTEX\n10\n0\n20\n0\n0\nVERTEX\n10\n4\n20\n0\n"
            "0\nVERTEX\n10\n4\n20\n3\n0\nSEQEND\n"
            "0\nPOLYLINE\n66\n1\n70\n8\n0\nVERTEX\n10\n1\n20\n1\n0\nVERTEX\n10\n2\n20\n2\n30\n1\n0"
            "\nSEQEND"
            "\n"
            "0\nPOLYLINE\n66\n1\n70\n8\n0\nVERTEX\n10\n1\n20\n1\n30\n5\n0\nVERTEX\n10\n2\n20\n2\n30"
            "\n5\n0\n"
            "SEQEND\n"),
        old);
    EXPECT_EQ(report.leftOut.total(), 1);
    EXPECT_EQ(report.leftOut.count(LeftOutReason::ThreeD, "POLYLINE"), 1);
    ASSERT_EQ(old.segments().size(), 2u);
    EXPECT_EQ(old.segments().rbegin()->second.elements.size(), 1u) << "the flat 3D polyline";
    const Segment& triangle = old.segments().begin()->second;
    EXPECT_TRUE(triangle.closed);
    ASSERT_EQ(triangle.elements.size(), 3u);
    expectNear(at(*triangle.elements[2].figure(), 0), {4, 3});
    expectNear(at(*triangle.elements[2].figure(), 2), {0, 0});
}

TEST(DxfFormat, LayersKeepTheirNumbersOrNames) {
    Drawing d;
    fromDxf(
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nSpare\n70\n0\n0\nENDTAB\n0\nENDSEC"
        "\n" +
            entities("0\nLINE\n8\n7\n10\n0\n20\n0\n11\n1\n21\n0\n"
                     "0\nLINE\n8\nWalls\n10\n0\n20\n0\n11\n1\n21\n1\n"
                     "0\nCIRCLE\n8\nWalls\n10\n0\n20\n0\n40\n1\n"
                     "0\nPOINT\n8\n  \n10\n0\n20\n0\n"
                     "0\nPOINT\n8\nWALLS\n10\n0\n20\n0\n"),
        d);
    EXPECT_EQ(d.layers().at(1000).name, "Spare");
    EXPECT_EQ(d.layers().at(1001).name, "Walls");
    std::vector<int> layers;
    for (const auto& [id, s] : d.segments()) layers.push_back(s.layer);
    // No layer name: layer 0; names are one whatever their case.
    EXPECT_EQ(layers, (std::vector<int>{7, 1001, 1001, 0, 1001}));
    EXPECT_EQ(d.layers().size(), 4u);
    d.layerForName("WALLS");  // a layer of the host's own

    // Written back: numbered layers by number, named ones by name, all in the table.
    const std::string text = toDxf(d);
    std::set<std::string> tableNames, entityLayers;
    const std::vector<DxfGroup> groups = dxfGroups(text);
    for (size_t i = 0; i + 1 < groups.size(); ++i) {
        if (groups[i].code == 0 && groups[i].value == "LAYER")
            for (size_t k = i + 1; k < groups.size() && groups[k].code != 0; ++k)
                if (groups[k].code == 2) tableNames.insert(groups[k].value);
        if (groups[i].code == 8) entityLayers.insert(groups[i].value);
    }
    // Names that differ only in case are one name to other programs: made apart.
    EXPECT_EQ(tableNames, (std::set<std::string>{"0", "7", "Spare", "Walls", "WALLS_1002"}));
    EXPECT_TRUE(entityLayers.count("Walls"));
    EXPECT_TRUE(entityLayers.count("7"));
    Drawing back;
    fromDxf(text, back);
    EXPECT_EQ(back.layers().at(1001).name, "Walls");
    EXPECT_TRUE(back.hasLayer(7));
}

// A layer's own colour and line type (by index here, as most files give them) are what its
// "by layer" entities are drawn in: kept through DXF and JSON, and drawn in the picture.
TEST(DxfFormat, LayerColoursAndLineTypesAreKeptAndDrawn) {
    Drawing d;
    fromDxf(
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nAxes\n70\n0\n62\n-1\n6\n"
        "CENTER\n0\nLAYER\n2\nPlain\n70\n0\n62\n7\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n" +
            entities("0\nLINE\n8\nAxes\n10\n0\n20\n0\n11\n1\n21\n0\n"),
        d);
    const Layer& axes = d.layers().at(1000);
    EXPECT_EQ(axes.color, paletteColorOf({255, 0, 0})) << "a negative index: red, switched off";
    EXPECT_EQ(axes.lineType, lineTypeOfName("CENTER"));
    ASSERT_TRUE(axes.color && axes.lineType);
    EXPECT_FALSE(d.layers().at(1001).color || d.layers().at(1001).lineType);

    Drawing viaDxf, viaJson;
    fromDxf(toDxf(d), viaDxf);
    std::istringstream json(writeWith(*makeJsonWriter(), d));
    readJsonDrawing(json, "layers.json", viaJson);
    for (const Drawing* back : {&viaDxf, &viaJson}) EXPECT_EQ(back->layers(), d.layers());
    EXPECT_NE(writeWith(*makeSvgWriter(), d).find(hexColor(paletteColor(*axes.color))),
              std::string::npos);
}

// Entities of the model without a figure are counted by kind and reason; paper
// space (group 67, or owned by a paper-space block record) is no part of the
// model; a block definition's entities are no entities of the model at all.
TEST(DxfFormat, LeftOutEntitiesAreCountedByKindAndReason) {
    Drawing d;
    const DxfReadReport report = fromDxf(
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nBLOCK_RECORD\n0\nBLOCK_RECORD\n5\n1F\n2\n"
        "*Paper_Space\n0\nENDTAB\n0\nENDSEC\n"
        "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nBOLT\n10\n0\n20\n0\n0\nTEXT\n1\nM8\n0\nCIRCLE\n10\n0\n"
        "20\n0\n40\n1\n0"
        "\nENDBLK\n"
        "0\nENDSEC\n" +
            entities(
                "0\nTEXT\n10\n0\n20\n0\n40\n1\n1\nhello\n"
                "0\nTEXT\n10\n0\n20\n0\n40\n1\n1\nagain\n"
                "0\nMTEXT\n10\n0\n20\n0\n40\n1\n1\nhello\n"
                "0\nELLIPSE\n10\n0\n20\n0\n11\n2\n21\n0\n40\n0.5\n"
                "0\nINSERT\n2\nBOLT\n10\n5\n20\n5\n70\n2\n44\n9\n"
                "0\nWIPEOUT\n10\n0\n20\n0\n"
                "0\nVIEWPORT\n67\n1\n10\n0\n20\n0\n"
                "0\nLINE\n67\n1\n10\n0\n20\n0\n11\n900\n21\n0\n"
                "0\nLINE\n5\n2A\n102\n{ACAD_REACTORS\n330\n77\n102\n}\n330\n1f\n10\n0\n20\n0\n11\n9"
                "\n21\n9\n"
                "0\nLINE\n102\n{ACAD_REACTORS\n330\n1F\n102\n}\n10\n0\n20\n0\n11\n1\n21\n1\n"
                "0\nARC\n210\n1\n220\n0\n230\n0\n10\n0\n20\n0\n40\n1\n50\n0\n51\n90\n"
                "0\nCIRCLE\n10\n0\n20\n0\n40\n0\n"
                "0\nPOINT\n10\n3\n20\n4\n"),
        d);
    EXPECT_EQ(report.leftOut.summary(),
              "left out 11 entities: 2 LINE, 1 VIEWPORT (paper space); 1 ARC (3D); 4 TEXT, 1 "
              "MTEXT, 1 WIPEOUT (not figures); 1 CIRCLE (bad value)");
    // The ellipse, the block's circle twice, the line whose only tie to paper space is a
    // reactor, and the point.
    ASSERT_EQ(d.segments().size(), 5u);
    EXPECT_EQ(d.segments().rbegin()->second.elements.at(0).figure()->type, FigureType::Point);
}

// What a drawing shows, one segment after another: each figure with its points (an arc
// counter-clockwise from its first point), a curve flattened into many lines by its ends and
// box, and what was left out.
std::string drawn(const Drawing& d, const DxfReadReport& report) {
    auto n = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", std::round(v * 1e6) / 1e6 + 0.0);
        return std::string(text);
    };
    auto p = [&](const FigureElement& f, int i) {
        return n(f.values[i]) + "," + n(f.values[i + 1]);
    };
    std::string out;
    for (const auto& [id, s] : d.segments()) {
        out += out.empty() ? "" : "; ";
        out += s.closed ? "closed " : "";
        const bool curve = s.elements.size() > 4;
        if (curve) {
            Extents box;
            for (const Element& e : s.elements)
                box.add(at(*e.figure(), 0)), box.add(at(*e.figure(), 2));
            out += "lines from " + p(*s.elements.front().figure(), 0) + " to " +
                   p(*s.elements.back().figure(), 2) + " in " + n(box.minX) + "," + n(box.minY) +
                   " " + n(box.maxX) + "," + n(box.maxY);
            continue;
        }
        for (size_t i = 0; i < s.elements.size(); ++i) {
            const FigureElement& f = *s.elements[i].figure();
            out += i ? ", " : "";
            switch (f.type) {
                case FigureType::Line:
                    out += "line " + p(f, 0) + " " + p(f, 2);
                    break;
                case FigureType::Arc:
                    out += "arc " + p(f, 0) + " r" + n(f.values[6]) + " from " + p(f, 2) + " to " +
                           p(f, 4);
                    break;
                case FigureType::Circle:
                    out += "circle " + p(f, 0) + " r" + n(f.values[2]);
                    break;
                case FigureType::Point:
                    out += "point " + p(f, 0);
                    break;
                default:
                    out += "other";
                    break;
            }
        }
    }
    const std::string leftOut = report.leftOut.summary();
    return out + (leftOut.empty() ? "" : " / " + leftOut);
}

// Entities seen from below (extrusion 0,0,-1) hold their points in axes whose x runs the
// other way, and turn the other way, except the kinds whose points are the world's; and a
// flat polyface mesh is drawn as its outline.
TEST(DxfFormat, EachEntityGivesTheFiguresItDraws) {
    const std::string below = "210\n0\n220\n0\n230\n-1\n";
    // A polyface mesh of the given vertices (x y z) and faces (1-based indexes, negative for an
    // invisible edge).
    auto mesh = [](const std::vector<std::array<double, 3>>& vertices,
                   const std::vector<std::array<int, 3>>& faces) {
        std::string text = "0\nPOLYLINE\n66\n1\n70\n64\n71\n" + std::to_string(vertices.size()) +
                           "\n72\n" + std::to_string(faces.size()) + "\n";
        for (const auto& [x, y, z] : vertices)
            text += "0\nVERTEX\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) +
                    "\n30\n" + std::to_string(z) + "\n70\n192\n";
        for (const auto& face : faces) {
            text += "0\nVERTEX\n10\n0\n20\n0\n30\n0\n70\n128\n";
            for (int k = 0; k < 3; ++k)
                text += std::to_string(71 + k) + "\n" + std::to_string(face[k]) + "\n";
        }
        return text + "0\nSEQEND\n";
    };
    const std::vector<std::array<double, 3>> square = {
        {0, 0, 2}, {10, 0, 2}, {10, 10, 2}, {0, 10, 2}};
    const std::vector<std::tuple<const char*, std::string, std::string>> cases = {
        {"line", "0\nLINE\n10\n10\n20\n0\n11\n20\n21\n5\n" + below, "line 10,0 20,5"},
        {"point", "0\nPOINT\n10\n3\n20\n4\n" + below, "point 3,4"},
        {"circle", "0\nCIRCLE\n10\n10\n20\n5\n40\n2\n" + below, "circle -10,5 r2"},
        // From (12, 0) to (10, 2) in its own axes; in the drawing from (-12, 0) to (-10, 2),
        // the other way round.
        {"arc", "0\nARC\n10\n10\n20\n0\n40\n2\n50\n0\n51\n90\n" + below,
         "arc -10,0 r2 from -10,2 to -12,0"},
        {"arc of three quarters", "0\nARC\n10\n10\n20\n0\n40\n2\n50\n0\n51\n270\n" + below,
         "arc -10,0 r2 from -10,-2 to -12,0"},
        // The minor axis is the normal crossed with the major: downwards.
        {"ellipse",
         "0\nELLIPSE\n10\n0\n20\n0\n11\n10\n21\n0\n40\n0.5\n41\n0\n42\n1.5707963267948966\n" +
             below,
         "lines from 10,0 to 0,-5 in 0,-5 10,0"},
        {"spline",
         "0\nSPLINE\n" + below +
             "70\n8\n71\n2\n72\n6\n73\n3\n40\n0\n40\n0\n40\n0\n40\n1\n40\n1\n40\n1\n"
             "10\n0\n20\n0\n30\n0\n10\n5\n20\n10\n30\n0\n10\n10\n20\n0\n30\n0\n",
         "lines from 0,0 to 10,0 in 0,0 10,5"},
        // Counter-clockwise in its own axes, below its chord; clockwise in the drawing.
        {"polyline", "0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n1\n10\n10\n20\n0\n" + below,
         "arc -5,0 r5 from -10,0 to 0,0"},
        {"old polyline",
         "0\nPOLYLINE\n66\n1\n70\n0\n" + below +
             "0\nVERTEX\n10\n0\n20\n0\n42\n1\n0\nVERTEX\n10\n10\n20\n0\n0\nSEQEND\n",
         "arc -5,0 r5 from -10,0 to 0,0"},
        {"3D polyline",
         "0\nPOLYLINE\n66\n1\n70\n8\n" + below +
             "0\nVERTEX\n10\n1\n20\n1\n0\nVERTEX\n10\n2\n20\n2\n0\nSEQEND\n",
         "line 1,1 2,2"},
        // Two triangles share the diagonal, which is no edge of the outline; an invisible edge is.
        {"polyface mesh", mesh(square, {{1, 2, -3}, {1, 3, 4}}),
         "closed line 0,0 10,0, line 10,0 10,10, line 10,10 0,10, line 0,10 0,0"},
        {"polyface of two parts",
         mesh({{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {9, 9, 0}, {9, 7, 0}, {7, 9, 0}},
              {{1, 2, 3}, {4, 5, 6}}),
         "closed line 0,0 4,0, line 4,0 0,4, line 0,4 0,0; closed line 9,9 9,7, line 9,7 7,9, line "
         "7,9 9,9"},
        {"polyface not flat", mesh({{0, 0, 0}, {4, 0, 0}, {0, 4, 3}}, {{1, 2, 3}}),
         " / left out 1 entity: 1 POLYLINE (3D)"},
    };
    for (const auto& [what, text, expected] : cases) {
        Drawing d;
        const DxfReadReport report = fromDxf(entities(text), d);
        EXPECT_EQ(drawn(d, report), expected) << what;
    }
}

TEST(DxfFormat, ColoursAndLineTypesSurviveTheTripThroughDxf) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    Element* e = d.element(d.appendElement(seg, lineFig({0, 0}, {10, 0})));
    e->color = 5;
    e->lineType = 3;
    const int plain = d.createSegment(SegmentKind::Figure);
    d.appendElement(plain, lineFig({0, 5}, {10, 5}));
    const std::string text = toDxf(d);
    EXPECT_NE(text.find("420\n" + std::to_string(trueColorValue(paletteColor(5))) + "\n"),
              std::string::npos);
    Drawing back;
    fromDxf(text, back);
    ASSERT_EQ(back.segments().size(), 2u);
    const Element& coloured = back.segments().begin()->second.elements.at(0);
    EXPECT_EQ(coloured.color, 5);
    EXPECT_EQ(coloured.lineType, 3);
    const Element& byLayer = std::next(back.segments().begin())->second.elements.at(0);
    EXPECT_FALSE(byLayer.color.has_value());
    EXPECT_FALSE(byLayer.lineType.has_value());
}

TEST(DxfFormat, WrittenFileHoldsTogetherWithoutDxflib) {
    const Drawing d = sampleDrawing();
    const std::string text = toDxf(d);
    keepOutput("sample.dxf", text);
    const std::vector<DxfGroup> groups = dxfGroups(text);
    ASSERT_FALSE(groups.empty());
    EXPECT_EQ(groups.back().code, 0);
    EXPECT_EQ(groups.back().value, "EOF");

    // Sections open and close in order; handles are unique.
    std::vector<std::string> sections;
    bool open = false;
    std::set<std::string> handles;
    std::map<std::string, int> entityCounts;
    std::string section;
    for (size_t i = 0; i < groups.size(); ++i) {
        const DxfGroup& g = groups[i];
        if (g.code == 0 && g.value == "SECTION") {
            EXPECT_FALSE(open);
            open = true;
            ASSERT_LT(i + 1, groups.size());
            EXPECT_EQ(groups[i + 1].code, 2);
            section = groups[i + 1].value;
            sections.push_back(section);
        } else if (g.code == 0 && g.value == "ENDSEC") {
            EXPECT_TRUE(open);
            open = false;
        } else if (g.code == 0 && section == "ENTITIES") {
            ++entityCounts[g.value];
        }
        if (g.code == 5) {
            EXPECT_TRUE(handles.insert(g.value).second) << "handle " << g.value << " twice";
        }
    }
    EXPECT_FALSE(open);
    EXPECT_EQ(sections,
              (std::vector<std::string>{"HEADER", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"}));

    // Plate, slot and hook as polylines; circle, axis line, point; the two
    // dimensions, whose lines and texts are in their blocks; the leader and its text.
    EXPECT_EQ(entityCounts["LWPOLYLINE"], 3);
    EXPECT_EQ(entityCounts["CIRCLE"], 1);
    EXPECT_EQ(entityCounts["POINT"], 1);
    EXPECT_EQ(entityCounts["TEXT"], 0);
    EXPECT_EQ(entityCounts["LINE"], 1);
    EXPECT_EQ(entityCounts["DIMENSION"], 2);
    EXPECT_EQ(entityCounts["LEADER"], 1);
    EXPECT_EQ(entityCounts["MTEXT"], 1);
    EXPECT_NE(text.find("\n100.00\n"), std::string::npos);
    // Files of this version hold their texts in UTF-8, as they are.
    EXPECT_NE(text.find("\n구멍 Ø16 관통\n"), std::string::npos);

    // The line types used are defined, named after the palette, dashes in drawing units.
    const size_t lt = text.find("\nLINETYPE07\n");
    ASSERT_NE(lt, std::string::npos);
    std::vector<double> dashes;
    const std::vector<DxfGroup> after = dxfGroups(text.substr(text.rfind("\n  0\n", lt) + 1));
    for (size_t i = 1; i < after.size() && after[i].code != 0; ++i)
        if (after[i].code == 49) dashes.push_back(std::stod(after[i].value));
    EXPECT_EQ(dashes, (std::vector<double>{5.5, -1.0, 1.5, -1.0, 1.5, -1.0}));
    EXPECT_NE(text.find("\nLINETYPE02\n"), std::string::npos);

    // The hook's arc is travelled clockwise: its bulge is negative.
    Drawing back;
    fromDxf(text, back);
    int clockwise = 0;
    for (const DxfGroup& g : groups)
        if (g.code == 42 && std::stod(g.value) < 0) ++clockwise;
    EXPECT_EQ(clockwise, 1);
}

TEST(DxfFormat, SampleReadsBackWithTheSameExtents) {
    const Drawing d = sampleDrawing();
    Drawing back;
    const DxfReadReport report = fromDxf(toDxf(d), back);
    EXPECT_EQ(report.leftOut.summary(),
              "left out 4 entities: 2 DIMENSION, 1 LEADER, 1 MTEXT (not figures)");
    Extents before, after;
    for (const auto& [id, s] : d.segments())
        if (s.kind == SegmentKind::Figure) before.add(extentsOf(drawnPrimitives(d, s)));
    for (const auto& [id, s] : back.segments()) after.add(extentsOf(drawnPrimitives(back, s)));
    EXPECT_NEAR(after.minX, before.minX, 1e-9);
    EXPECT_NEAR(after.maxX, before.maxX, 1e-9);
    EXPECT_NEAR(after.minY, before.minY, 1e-9);
    EXPECT_NEAR(after.maxY, before.maxY, 1e-9);
    EXPECT_EQ(back.currentLayer(), back.layerForName("OUTLINE"));
}

TEST(DxfFormat, FaultyFilesAreRefusedWithFileAndLine) {
    const std::string longLine(1200, 'x');
    const std::vector<std::tuple<const char*, std::string, int, const char*>> cases = {
        {"empty", "", 0, "empty"},
        {"prose", "hello\nworld\n", 1, "expected a group code"},
        {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), 1, "binary DXF"},
        {"no sections", "0\nLINE\n0\nEOF\n", 0, "no SECTION"},
        {"code out of range", "0\nSECTION\n-5\nx\n", 3, "does not exist"},
        {"cut short", "0\nSECTION\n2", 3, "without its value"},
        {"long line", "0\nSECTION\n2\n" + longLine + "\n", 4, "longer than"},
        {"huge vertex count", entities("0\nLWPOLYLINE\n90\n2000000000\n10\n0\n20\n0\n"), 8,
         "vertex count"},
        {"bulge before vertex", entities("0\nLWPOLYLINE\n90\n2\n42\n1\n10\n0\n20\n0\n"), 10,
         "before the first vertex"},
        {"coordinate overflow", entities("0\nLINE\n10\n1e999\n20\n0\n11\n1\n21\n1\n"), 8,
         "out of range"},
        {"spline count", entities("0\nSPLINE\n73\n-4\n"), 8, "spline point count"},
        // Cut short anywhere: inside HEADER, at a group boundary inside ENTITIES, before EOF.
        {"cut in header", "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n", 8, "HEADER section"},
        {"cut in entities", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n", 10,
         "ENTITIES section, without ENDSEC"},
        {"no EOF", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n", 6, "without EOF"},
        {"EOF in a section", "0\nSECTION\n2\nENTITIES\n0\nEOF\n", 5, "EOF inside"},
        {"ENDSEC twice", entities("0\nENDSEC\n"), 7, "ENDSEC without a SECTION"},
        // Numbers where numbers belong, whole and finite.
        {"letters", entities("0\nLINE\n10\nabc\n"), 8, "expected a number for group code 10"},
        {"nothing", entities("0\nLINE\n10\n\n"), 8, "found \"\""},
        {"trailing letters", entities("0\nLINE\n10\n12.5abc\n"), 8, "\"12.5abc\""},
        {"zero byte", entities(std::string("0\nLINE\n10\n1.5\0zz\n", 17)), 8, "\"1.5\\x00zz\""},
        {"decimal comma", entities("0\nCIRCLE\n10\n0\n20\n0\n40\n50,5\n"), 12, "\"50,5\""},
        {"not a number", entities("0\nLINE\n10\nnan\n"), 8, "expected a number"},
        {"infinity", entities("0\nLINE\n10\n-inf\n"), 8, "expected a number"},
        {"whole number", entities("0\nLINE\n62\n1.5\n"), 8, "expected a whole number"},
        {"negative radius", entities("0\nARC\n10\n0\n20\n0\n40\n-2\n50\n0\n51\n9\n"), 5,
         "ARC with a negative radius"},
        {"vertex count", entities("0\nLWPOLYLINE\n90\n3\n10\n0\n20\n0\n10\n1\n20\n0\n"), 5,
         "declares 3 vertices (group 90) but has 2"},
        {"vertex count in a block",
         "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLWPOLYLINE\n90\n3\n10\n0\n20\n0\n"
         "10\n1\n20\n0\n0\nENDBLK\n0\nENDSEC\n0\nEOF\n",
         13, "declares 3 vertices"},
        // Bytes of a binary file are shown escaped, never as they are.
        {"binary bytes", "0\nSECTION\n\x01\xff\x1b[2J\n", 3, "\"\\x01\\xFF\\x1B[2J\""},
    };
    for (const auto& [what, text, line, message] : cases) {
        Drawing d;
        try {
            fromDxf(text, d, "part.dxf");
            ADD_FAILURE() << what << ": accepted";
        } catch (const FileError& e) {
            EXPECT_EQ(e.file(), "part.dxf") << what;
            EXPECT_EQ(e.line(), line) << what << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos)
                << what << ": " << e.what();
        }
    }
    Drawing d;
    EXPECT_THROW(readDxfDrawing("/nonexistent/part.dxf", d), FileError);
}

TEST(DxfFormat, ExamplePlateMatchesItsJsonTwin) {
    Drawing fromJsonFile, fromDxfFile;
    std::ifstream json(std::string(ORVANTA_SOURCE_DIR) + "/examples/plate.json");
    readJsonDrawing(json, "plate.json", fromJsonFile);
    const DxfReadReport report =
        readDxfDrawing(std::string(ORVANTA_SOURCE_DIR) + "/examples/plate.dxf", fromDxfFile);
    EXPECT_EQ(report.leftOut.total(), 0);
    ASSERT_EQ(fromDxfFile.segments().size(), fromJsonFile.segments().size());
    auto a = fromJsonFile.segments().begin();
    auto b = fromDxfFile.segments().begin();
    for (; a != fromJsonFile.segments().end(); ++a, ++b) {
        EXPECT_EQ(b->second.closed, a->second.closed);
        EXPECT_EQ(b->second.elements.size(), a->second.elements.size());
        const Extents ea = extentsOf(drawnPrimitives(fromJsonFile, a->second));
        const Extents eb = extentsOf(drawnPrimitives(fromDxfFile, b->second));
        EXPECT_NEAR(ea.minX, eb.minX, 1e-12);
        EXPECT_NEAR(ea.maxY, eb.maxY, 1e-12);
    }
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

TEST(DxfFormat, LongTextsSplitBetweenCharactersNeverInsideOne) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Comment);
    LeaderElement leader;
    leader.points = {{0, 0}, {5, 5}, {5, 5}};
    for (int i = 0; i < 120; ++i) leader.text += u"모따기";
    d.appendElement(seg, leader);
    const std::string text = writeWith(*makeDxfWriter(), d);
    int pieces = 0;
    std::string joined;
    const std::vector<DxfGroup> groups = dxfGroups(text);
    for (size_t i = 0; i + 1 < groups.size(); ++i) {
        if (groups[i].code != 0 || groups[i].value != "MTEXT") continue;
        for (size_t j = i + 1; j < groups.size() && groups[j].code != 0; ++j) {
            if (groups[j].code != 1 && groups[j].code != 3) continue;
            const std::string& v = groups[j].value;
            ++pieces;
            EXPECT_LE(v.size(), 250u);
            EXPECT_EQ(v.size() % 3, 0u) << "only whole characters: " << v;
            joined += v;
        }
    }
    EXPECT_EQ(joined, toUtf8(leader.text));
    EXPECT_EQ(pieces, (360 + 82) / 83) << "249 bytes, 83 characters, per piece";
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

// An outline whose edges carry a colour and a line type is drawn in one stroke:
// its corners, which have none of their own, take those of the edge before them.
TEST(DxfFormat, CornersAreDrawnInTheStrokeOfTheEdgeBeforeThem) {
    Drawing d;
    std::vector<int> edges;
    const int seg = addPolygon(d, {{0, 0}, {100, 0}, {100, 50}, {0, 50}}, true, &edges);
    for (int id : edges) {
        d.element(id)->color = 5;
        d.element(id)->lineType = 3;
    }
    ASSERT_GT(addCorner(d, edges[1], edges[2], 0, 4.0), 0);
    ASSERT_GT(addCorner(d, edges[3], edges[0], 1, 2.0), 0);
    ASSERT_FALSE(d.element(d.segment(seg)->elements[2].id)->color.has_value());

    const std::vector<DxfGroup> groups = dxfGroups(toDxf(d));
    int polylines = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].code != 0 || groups[i].value != "LWPOLYLINE") continue;
        ++polylines;
        std::string trueColor, lineType;
        for (size_t j = i + 1; j < groups.size() && groups[j].code != 0; ++j) {
            if (groups[j].code == 420) trueColor = groups[j].value;
            if (groups[j].code == 6) lineType = groups[j].value;
        }
        EXPECT_EQ(trueColor, std::to_string(0xFF0000)) << "red, colour number 5";
        EXPECT_EQ(lineType, "DIVIDE2") << "line type 3 under its customary name";
    }
    EXPECT_EQ(polylines, 1) << "one stroke, corners included";
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

// An arc of three quarters alone, at the end of an open path, and travelled clockwise in a
// closed one: each comes back as the same drawn shape, and no bulge in the file is more than a
// half turn's.
TEST(DxfFormat, ArcsOfMoreThanHalfATurnComeBackAsDrawn) {
    Drawing d;
    d.appendElement(d.createSegment(SegmentKind::Figure), arcFig({0, 0}, 5, {5, 0}, {0, -5}));
    const int open = d.createSegment(SegmentKind::Figure);
    d.appendElement(open, lineFig({20, 0}, {30, 0}));
    d.appendElement(open, arcFig({30, 5}, 5, {30, 0}, {25, 5}));
    const int hook = d.createSegment(SegmentKind::Figure);
    d.appendElement(hook, lineFig({75, -20}, {80, -5}));
    d.appendElement(hook, arcFig({80, 0}, 5, {85, 0}, {80, -5}));
    d.appendElement(hook, lineFig({85, 0}, {75, -20}));
    d.segment(hook)->closed = true;

    const std::string text = toDxf(d);
    const std::vector<DxfGroup> groups = dxfGroups(text);
    std::string entity;
    for (const DxfGroup& g : groups) {
        if (g.code == 0) entity = g.value;
        if (g.code == 42 && (entity == "LWPOLYLINE" || entity == "VERTEX")) {
            EXPECT_LE(std::fabs(std::stod(g.value)), 1.0 + 1e-12) << g.value;
        }
    }
    Drawing back;
    EXPECT_EQ(fromDxf(text, back).leftOut.total(), 0);
    ASSERT_EQ(back.segments().size(), d.segments().size());
    auto original = d.segments().begin();
    for (const auto& [id, s] : back.segments()) {
        SCOPED_TRACE("segment " + std::to_string(original->first));
        EXPECT_EQ(s.closed, original->second.closed);
        const std::vector<Primitive> was = drawnPrimitives(d, original->second);
        const std::vector<Primitive> is = drawnPrimitives(back, s);
        EXPECT_LT(strayBetween(was, is), 1e-9);
        EXPECT_EQ(figureDirection(back, id), figureDirection(d, original->first));
        ++original;
    }
}

// The names in a file's layer table, in the order written.
std::vector<std::string> layerTableNames(const std::string& text) {
    std::vector<std::string> names;
    const std::vector<DxfGroup> groups = dxfGroups(text);
    for (size_t i = 0; i + 1 < groups.size(); ++i)
        if (groups[i].code == 0 && groups[i].value == "LAYER")
            for (size_t j = i + 1; j < groups.size() && groups[j].code != 0; ++j)
                if (groups[j].code == 2) names.push_back(groups[j].value);
    return names;
}

// Names are cut to 255 bytes between characters, and two names alike in their first 255 bytes
// stay two layers, each within the limit; texts longer than a group go over several, whole
// characters in each, and a text's lines follow one another downwards.
TEST(DxfFormat, NamesAndTextsAtTheLengthLimitsKeepWholeCharacters) {
    Drawing d;
    const std::string a255(255, 'A'), b300(300, 'b');
    std::string korean;
    for (int i = 0; i < 100; ++i) korean += "가";
    const std::vector<std::string> given = {a255, korean, std::string(254, 'a') + "가", b300,
                                            b300 + "c"};
    for (const std::string& name : given) {
        const int seg = d.createSegment(SegmentKind::Figure);
        d.segment(seg)->layer = d.layerForName(name);
        d.appendElement(seg, lineFig({0, 0}, {1, 1}));
    }
    const std::string text = toDxf(d);
    std::vector<std::string> names = layerTableNames(text);
    std::erase(names, "0");
    ASSERT_EQ(names.size(), given.size());
    EXPECT_EQ(names[0], a255);
    EXPECT_EQ(names[1], korean.substr(0, 255));
    EXPECT_EQ(names[2], std::string(254, 'a'));
    EXPECT_EQ(names[3], b300.substr(0, 255));
    EXPECT_NE(names[4], names[3]);
    for (const std::string& n : names) {
        EXPECT_LE(n.size(), 255u);
        EXPECT_EQ(toUtf8(toUtf16(n)), n) << "whole characters";
    }
    Drawing back;
    fromDxf(text, back);
    size_t i = 0;
    for (const auto& [id, s] : back.segments())
        EXPECT_EQ(back.layers().at(s.layer).name, names[i++]);

    // A leader of one point is written as lines of text, 1.4 heights apart downwards; a line
    // end in a leader's text is a blank, as the host draws it on one line.
    Drawing lone;
    LeaderElement leader;
    leader.points = {{10, 20}};
    const std::u16string part(83, u'모');  // 249 bytes
    leader.text = part + u'\n' + part + part + u"끝";
    lone.appendElement(lone.createSegment(SegmentKind::Comment), leader);
    leader.points = {{0, 0}, {5, 5}, {10, 5}};
    leader.text = u"구멍\r\n관통";
    lone.appendElement(lone.createSegment(SegmentKind::Comment), leader);
    const std::vector<DxfGroup> groups = dxfGroups(toDxf(lone));
    std::string joined, mtext;
    std::vector<double> baselines;
    for (size_t g = 0; g < groups.size(); ++g) {
        const bool text = groups[g].value == "TEXT";
        if (groups[g].code != 0 || (!text && groups[g].value != "MTEXT")) continue;
        for (size_t j = g + 1; j < groups.size() && groups[j].code != 0; ++j) {
            if (groups[j].code == 1 || (!text && groups[j].code == 3)) {
                (text ? joined : mtext) += groups[j].value;
                EXPECT_LE(groups[j].value.size(), 250u);
                EXPECT_EQ(toUtf8(toUtf16(groups[j].value)), groups[j].value) << "whole characters";
            }
            if (text && groups[j].code == 20) baselines.push_back(std::stod(groups[j].value));
        }
    }
    EXPECT_EQ(mtext, "구멍  관통");
    EXPECT_EQ(joined, toUtf8(part + u' ' + part + part + u"끝"));
    ASSERT_EQ(baselines.size(), 4u) << "250 bytes at most to a line";
    for (size_t k = 1; k < baselines.size(); ++k)
        EXPECT_NEAR(baselines[k - 1] - baselines[k], baselines[0] - baselines[1], 1e-9);
    EXPECT_GT(baselines[0], baselines[1]);
}

}  // namespace
}  // namespace vel::test

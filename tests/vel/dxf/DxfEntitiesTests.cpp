// DxfEntitiesTests.cpp - what each entity of a DXF file becomes in the drawing: bulges
// become the right arcs, closed polylines close, entities seen from below are turned back,
// polyface meshes are drawn as their outlines, foreign entities are counted by kind and
// reason, faulty files are refused with file and line, and the example plate matches its
// JSON twin.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "tests/vel/dxf/DxfTestSupport.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"

namespace vel::test {
namespace {

const FigureElement& onlyFigure(const Drawing& d) {
    EXPECT_EQ(d.segments().size(), 1u);
    const Segment& s = d.segments().begin()->second;
    EXPECT_EQ(s.elements.size(), 1u);
    return *s.elements.at(0).figure();
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
        expectNear(pt(f, 0), {5, 0});
        EXPECT_NEAR(f.values[6], 5.0, 1e-12);
        const Segment& s = d.segments().begin()->second;
        const Arc arc = std::get<Arc>(drawnPrimitives(d, s).at(0));
        EXPECT_NEAR(arc.sweep(), M_PI, 1e-12);
        EXPECT_NEAR(distanceTo(arc, through), 0.0, 1e-9) << "bulge " << bulge;
        // A clockwise piece is kept as the counter-clockwise arc from its end.
        expectNear(pt(f, 2), bulge > 0 ? Point{0, 0} : Point{10, 0});
        expectNear(pt(f, 4), bulge > 0 ? Point{10, 0} : Point{0, 0});
    }
    // A smaller bulge: radius and centre from tan(sweep / 4).
    Drawing d;
    fromDxf(entities("0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n0.5\n10\n10\n20\n0\n"), d);
    const FigureElement& f = onlyFigure(d);
    EXPECT_NEAR(f.values[6], 6.25, 1e-12);
    expectNear(pt(f, 0), {5, 3.75});
    EXPECT_NEAR(distance(pt(f, 0), {0, 0}), 6.25, 1e-12);
    EXPECT_NEAR(distance(pt(f, 0), {10, 0}), 6.25, 1e-12);
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
        expectNear(pt(*e.figure(), 0), {5, 0});
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
    expectNear(pt(*triangle.elements[2].figure(), 0), {4, 3});
    expectNear(pt(*triangle.elements[2].figure(), 2), {0, 0});
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
                box.add(pt(*e.figure(), 0)), box.add(pt(*e.figure(), 2));
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
        // A fault of the file's form is told before one of its content, wherever each lies.
        {"form after content",
         entities("0\nELLIPSE\n11\n0\n21\n0\n0\nLINE\n10\nabc\n"), 14,
         "expected a number for group code 10"},
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

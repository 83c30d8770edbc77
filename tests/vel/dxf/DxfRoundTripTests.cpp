// DxfRoundTripTests.cpp - figures written to DXF and read back keep their drawn shape:
// corners and chamfers, arcs of more than half a turn, the sample drawing's extents; and the
// written file holds together when read as plain group pairs, without dxflib.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/vel/dxf/DxfTestSupport.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"

namespace vel::test {
namespace {

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

// A drawing holding a number that is not finite is refused by every writer, naming the element,
// before a byte is written; the check goes element by element as the DXF document is made.
TEST(DxfFormat, EveryWriterRefusesANumberThatIsNotFiniteBeforeWritingAnything) {
    Drawing d;
    const int s = d.createSegment(SegmentKind::Figure);
    d.appendElement(s, lineFigure({0, 0}, {10, 0}));
    FigureElement bad = arcFigure({10, 5}, 5, {10, 0}, {15, 5});
    bad.values[6] = std::numeric_limits<double>::infinity();
    const int badId = d.appendElement(s, bad);
    for (const auto& writer : {makeDxfWriter(), makeJsonWriter(), makeSvgWriter()}) {
        std::ostringstream out;
        try {
            writer->write(d, out);
            ADD_FAILURE() << "written";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("element " + std::to_string(badId)),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(out.str(), "") << "nothing written";
    }
}

// The dimension text height a file gives ($DIMTXT scaled by $DIMSCALE) is kept through writing
// and reading again; a file that gives none gets none.
TEST(DxfFormat, TheFilesDimensionTextHeightIsKept) {
    Drawing d;
    const std::string header =
        "0\nSECTION\n2\nHEADER\n9\n$DIMSCALE\n40\n4\n9\n$DIMTXT\n40\n"
        "0.5\n0\nENDSEC\n";
    fromDxf(header + entities("0\nPOINT\n8\n0\n10\n1\n20\n1\n"), d);
    EXPECT_EQ(d.dimensionTextHeight(), 2.0);
    Drawing back;
    fromDxf(toDxf(d), back);
    EXPECT_EQ(back.dimensionTextHeight(), 2.0);
    Drawing none;
    fromDxf(entities("0\nPOINT\n8\n0\n10\n1\n20\n1\n"), none);
    EXPECT_FALSE(none.dimensionTextHeight().has_value());
}

// A bulged polyline read and written again keeps every vertex to the last digit: its arcs are
// written from the points they keep, not from angles turned back into points (which put
// -0.0000000000000017763568394002505 where the file had 0).
TEST(DxfFormat, RewrittenPolylineKeepsItsVerticesExactly) {
    const std::vector<std::string> xs{"0.0", "150.0", "160.0", "10.0", "-3.3", "0.1"};
    const std::vector<std::string> ys{"0.0", "0.0", "10.0", "100.0", "7.7", "-0.0000001"};
    std::string body = "0\nLWPOLYLINE\n8\n0\n90\n6\n70\n1\n";
    for (size_t i = 0; i < xs.size(); ++i)
        body += "10\n" + xs[i] + "\n20\n" + ys[i] + "\n42\n" + (i % 2 ? "-0.3" : "0.41") + "\n";
    Drawing d;
    ASSERT_EQ(fromDxf(entities(body), d).leftOut.total(), 0);
    std::vector<std::string> written;
    for (const DxfGroup& g : dxfGroups(toDxf(d)))
        if (g.code == 10 || g.code == 20) written.push_back(g.value);
    std::vector<std::string> expected;
    for (size_t i = 0; i < xs.size(); ++i) expected.insert(expected.end(), {xs[i], ys[i]});
    // The polyline's vertices come first; the header's points after them do not count.
    ASSERT_GE(written.size(), expected.size());
    const auto at = std::search(written.begin(), written.end(), expected.begin(), expected.end());
    EXPECT_NE(at, written.end()) << "the vertices as they were read";
}

// An arc of three quarters alone, at the end of an open path, and travelled clockwise in a
// closed one: each comes back as the same drawn shape, and no bulge in the file is more than a
// half turn's.
TEST(DxfFormat, ArcsOfMoreThanHalfATurnComeBackAsDrawn) {
    Drawing d;
    d.appendElement(d.createSegment(SegmentKind::Figure), arcFigure({0, 0}, 5, {5, 0}, {0, -5}));
    const int open = d.createSegment(SegmentKind::Figure);
    d.appendElement(open, lineFigure({20, 0}, {30, 0}));
    d.appendElement(open, arcFigure({30, 5}, 5, {30, 0}, {25, 5}));
    const int hook = d.createSegment(SegmentKind::Figure);
    d.appendElement(hook, lineFigure({75, -20}, {80, -5}));
    d.appendElement(hook, arcFigure({80, 0}, 5, {85, 0}, {80, -5}));
    d.appendElement(hook, lineFigure({85, 0}, {75, -20}));
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

}  // namespace
}  // namespace vel::test

// Drawings.h - drawings and helpers shared by the file format tests:
// polygons, a sample plate with corners, dimensions and a leader, the
// output folder for pictures, and a plain reader of DXF group pairs.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Figures.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/Drawing.h"
#include "vel/kernel/FigureOps.h"

namespace vel::test {

// A figure of lines through the points; ids receives the element ids.
inline int addPolygon(Drawing& d, const std::vector<Point>& pts, bool closed,
                      std::vector<int>* ids = nullptr) {
    const int seg = d.createSegment(SegmentKind::Figure);
    const size_t n = pts.size();
    for (size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i) {
        const int id = d.appendElement(seg, lineFigure(pts[i], pts[(i + 1) % n]));
        if (ids) ids->push_back(id);
    }
    d.segment(seg)->closed = closed;
    return seg;
}

// The 100 x 50 plate, counter-clockwise from the origin, with a corner R 8 at
// (100, 0) and a chamfer 5 at (100, 50).
inline int addCorneredPlate(Drawing& d) {
    std::vector<int> ids;
    const int seg = addPolygon(d, {{0, 0}, {100, 0}, {100, 50}, {0, 50}}, true, &ids);
    EXPECT_GT(addCorner(d, ids[0], ids[1], 0, 8.0), 0);
    EXPECT_GT(addCorner(d, ids[1], ids[2], 1, 5.0), 0);
    return seg;
}

// Everything a drawing file has to carry: named and numbered layers, attributes,
// colours and line types, corners, arcs both ways round, a circle, a point,
// dimensions both ways and a leader with Korean text.
inline Drawing sampleDrawing() {
    Drawing d;
    const int outlineLayer = d.layerForName("OUTLINE");
    d.createLayer(2);
    d.createLayer(3, "centre lines");

    const int plate = addCorneredPlate(d);
    d.segment(plate)->layer = outlineLayer;
    d.segment(plate)->attributes = {2, 7};
    for (Element& e : d.segment(plate)->elements) e.color = 1;

    const int hole = d.createSegment(SegmentKind::Figure);
    Element* circle = d.element(d.appendElement(hole, circleFigure({30, 25}, 8)));
    circle->color = 2;

    d.setCurrentLayer(3);
    const int axis = d.createSegment(SegmentKind::Figure);
    Element* axisLine = d.element(d.appendElement(axis, lineFigure({15, 25}, {45, 25})));
    axisLine->color = 5;
    axisLine->lineType = 3;

    d.setCurrentLayer(0);
    // A slot outline: its arc is travelled counter-clockwise.
    const int slot = d.createSegment(SegmentKind::Figure);
    d.appendElement(slot, lineFigure({120, 0}, {140, 0}));
    d.appendElement(slot, arcFigure({140, 10}, 10, {140, 0}, {140, 20}));
    d.appendElement(slot, lineFigure({140, 20}, {120, 20}));
    // A hook: its arc is stored counter-clockwise but travelled clockwise.
    const int hook = d.createSegment(SegmentKind::Figure);
    d.appendElement(hook, lineFigure({160, 20}, {170, 20}));
    d.appendElement(hook, arcFigure({170, 10}, 10, {180, 10}, {170, 20}));
    const int mark = d.createSegment(SegmentKind::Figure);
    d.element(d.appendElement(mark, pointFigure({50, -20})))->lineType = 4;

    d.setCurrentLayer(2);
    const int dims = d.createSegment(SegmentKind::Dimension);
    DimensionElement width;
    width.a = {0, -10};
    width.b = {100, 0};
    width.direction = 0;
    width.arrow = {1, 2.5, 0.8};
    d.appendElement(dims, width);
    DimensionElement height;
    height.a = {-10, 0};
    height.b = {0, 50};
    height.direction = 90;
    height.decimals = 1;
    d.appendElement(dims, height);

    const int note = d.createSegment(SegmentKind::Comment);
    LeaderElement leader;
    leader.points = {{36, 31}, {50, 45}, {60, 45}};
    leader.direction = 45;
    leader.text = u"구멍 Ø16 관통";
    d.element(d.appendElement(note, leader))->color = 8;
    d.setCurrentLayer(outlineLayer);
    return d;
}

// The farthest any point along one set of primitives lies from the other set, both ways.
inline double strayBetween(const std::vector<Primitive>& a, const std::vector<Primitive>& b) {
    auto along = [](const std::vector<Primitive>& ps) {
        std::vector<Point> out;
        for (const Primitive& p : ps) {
            if (const Line* l = std::get_if<Line>(&p)) out.insert(out.end(), {l->start, l->end});
            if (const Arc* c = std::get_if<Arc>(&p))
                for (int k = 0; k <= 16; ++k)
                    out.push_back(c->pointAt(c->startAngle + c->sweep() * k / 16));
            if (const Circle* c = std::get_if<Circle>(&p))
                for (int k = 0; k < 16; ++k)
                    out.push_back(c->centre + Point{std::cos(k * std::numbers::pi / 8),
                                                    std::sin(k * std::numbers::pi / 8)} *
                                                  c->radius);
        }
        return out;
    };
    double worst = 0.0;
    for (const auto& [from, to] : {std::pair{&a, &b}, std::pair{&b, &a}})
        for (const Point& p : along(*from)) {
            double nearest = 1e300;
            for (const Primitive& q : *to) nearest = std::min(nearest, distanceTo(q, p));
            worst = std::max(worst, nearest);
        }
    return worst;
}

inline std::string writeWith(const DrawingWriter& writer, const Drawing& d) {
    std::ostringstream out;
    writer.write(d, out);
    return out.str();
}

// Keeps a file for a person to look at, under the build's test output folder.
inline void keepOutput(const std::string& name, const std::string& content) {
    const std::filesystem::path dir = std::filesystem::path(ORVANTA_TEST_OUTPUT_DIR) / "formats";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << content;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct DxfGroup {
    int code = 0;
    std::string value;
};

// The group pairs of a text DXF, read independently of dxflib; every code line
// must be a whole number.
inline std::vector<DxfGroup> dxfGroups(const std::string& text) {
    std::vector<DxfGroup> groups;
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code)) {
        if (!std::getline(in, value)) {
            ADD_FAILURE() << "group code " << code << " has no value";
            break;
        }
        size_t used = 0;
        const int c = std::stoi(code, &used);
        EXPECT_EQ(code.find_first_not_of(' ', used), std::string::npos)
            << "code line '" << code << "'";
        groups.push_back({c, value});
    }
    return groups;
}

}  // namespace vel::test

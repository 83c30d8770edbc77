// GeometryTestSupport.h - what the geometry tests share: a fixture that gives each
// test a fresh stand-in host and the default settings from a registry file of its
// own, figures built through the host library, figure lists, the host-call trace,
// reads of the drawing, geometric checks and pictures of the result.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/FigureList.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/Measure.h"
#include "host/VelLib.h"
#include "settings/InsertSettings.h"
#include "tests/support/Scratch.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/Host.h"

namespace geometry_test {

// Picks report the drawing as instance 1.
inline constexpr int kInstance = 1;

inline vel::Host& Host() {
    return vel::Host::instance();
}
inline vel::Drawing& Drawing() {
    return vel::Host::instance().drawing();
}

// ---- figures through the host library -------------------------------------------

inline FigureData LineData(VelPoint a, VelPoint b) {
    FigureData f{};
    f.type = VEL_FIG_LINE;
    f.values[0] = a.x, f.values[1] = a.y, f.values[2] = b.x, f.values[3] = b.y;
    return f;
}

inline FigureData CircleData(VelPoint c, double r) {
    FigureData f{};
    f.type = VEL_FIG_CIRCLE;
    f.values[0] = c.x, f.values[1] = c.y, f.values[2] = r;
    return f;
}

// A counter-clockwise arc from angle a0 to angle a1 (radians) of the circle (c, r).
inline FigureData ArcData(VelPoint c, double r, double a0, double a1) {
    FigureData f{};
    f.type = VEL_FIG_ARC;
    f.values[0] = c.x, f.values[1] = c.y;
    f.values[2] = c.x + r * std::cos(a0), f.values[3] = c.y + r * std::sin(a0);
    f.values[4] = c.x + r * std::cos(a1), f.values[5] = c.y + r * std::sin(a1);
    f.values[6] = r;
    return f;
}

// An arc given by its exact start and end points.
inline FigureData ArcData(VelPoint c, double r, VelPoint from, VelPoint to) {
    FigureData f{};
    f.type = VEL_FIG_ARC;
    f.values[0] = c.x, f.values[1] = c.y, f.values[2] = from.x, f.values[3] = from.y;
    f.values[4] = to.x, f.values[5] = to.y, f.values[6] = r;
    return f;
}

inline FigureData PointData(VelPoint p) {
    FigureData f{};
    f.type = VEL_FIG_POINT;
    f.values[0] = p.x, f.values[1] = p.y;
    return f;
}

// A new figure segment holding the given elements in order; returns its reference.
inline FigureRef AddFigure(std::initializer_list<FigureData> elements, bool closed = false) {
    const int segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    for (const FigureData& f : elements) EXPECT_GT(VelFigCreateFigure(segment, &f), 0);
    if (closed) VelFigSetClosed(segment, 1);
    return {kInstance, segment};
}

// A closed rectangle of four lines, as a user would have drawn it.
inline FigureRef AddRectangle(VelPoint low, VelPoint high) {
    return AddFigure({LineData(low, {high.x, low.y}), LineData({high.x, low.y}, high),
                      LineData(high, {low.x, high.y}), LineData({low.x, high.y}, low)},
                     true);
}

// A dimension segment with one length dimension, and a comment segment with one leader.
inline FigureRef AddDimension(VelPoint a, VelPoint b) {
    const int segment = VelSgmCreateSegment(VEL_SEG_DIMENSION, 0);
    LengthDimensionData d{};
    d.a.x = a.x, d.a.y = a.y, d.b.x = b.x, d.b.y = b.y;
    d.direction = 0.0;
    EXPECT_GT(VelDimCreateLineLength(segment, &d), 0);
    return {kInstance, segment};
}

inline FigureRef AddLeader(VelPoint a, VelPoint b) {
    const int segment = VelSgmCreateSegment(VEL_SEG_COMMENT, 0);
    LeaderData d{};
    d.points[0].x = a.x, d.points[0].y = a.y;
    d.points[1].x = d.points[2].x = b.x;
    d.points[1].y = d.points[2].y = b.y;
    d.text = u"note";
    EXPECT_GT(VelCmtCreateLeader(segment, &d), 0);
    return {kInstance, segment};
}

// A figure list with the given figures in slots 1, 2, ... and its count set.
inline FigureList ListOf(std::initializer_list<FigureRef> figures) {
    FigureList list;
    int slot = 1;
    for (const FigureRef& f : figures) list.slots[slot++] = f;
    list.count = slot - 1;
    return list;
}

// ---- reading the drawing --------------------------------------------------------

inline const vel::Segment& SegmentOf(int id) {
    const vel::Segment* s = Drawing().segment(id);
    if (!s) {
        ADD_FAILURE() << "no segment " << id;
        static const vel::Segment none;
        return none;
    }
    return *s;
}

inline VelPoint At(const vel::FigureElement& f, int i) {
    return {f.values[i], f.values[i + 1]};
}

// The figure elements of a segment, in segment order.
inline std::vector<vel::FigureElement> FiguresOf(int segmentId) {
    std::vector<vel::FigureElement> out;
    for (const vel::Element& e : SegmentOf(segmentId).elements)
        if (const vel::FigureElement* f = e.figure()) out.push_back(*f);
    return out;
}

inline int CountSegments(vel::SegmentKind kind) {
    int n = 0;
    for (const auto& [id, s] : Drawing().segments()) n += s.kind == kind ? 1 : 0;
    return n;
}

inline Extents Measured(const FigureRef& figure) {
    Extents e;
    MeasureFigure(figure, e);
    return e;
}

// ---- geometry ---------------------------------------------------------------------

inline double Distance(VelPoint a, VelPoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Distance of q from the infinite line through a and b.
inline double LineDistance(VelPoint a, VelPoint b, VelPoint q) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    return std::fabs(dx * (q.y - a.y) - dy * (q.x - a.x)) / std::hypot(dx, dy);
}

// True when q lies on the closed segment a-b (within tol).
inline bool OnSegment(VelPoint a, VelPoint b, VelPoint q, double tol = 1e-9) {
    if (LineDistance(a, b, q) > tol) return false;
    const double t = ((q.x - a.x) * (b.x - a.x) + (q.y - a.y) * (b.y - a.y)) /
                     ((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
    return t >= -tol && t <= 1.0 + tol;
}

#define EXPECT_POINT_NEAR(actual, ex, ey, tol)             \
    do {                                                   \
        const VelPoint p_ = (actual);                      \
        EXPECT_NEAR(p_.x, (ex), (tol)) << "x of " #actual; \
        EXPECT_NEAR(p_.y, (ey), (tol)) << "y of " #actual; \
    } while (0)

#define EXPECT_EXTENTS(e, x0, y0, x1, y1)               \
    do {                                                \
        const Extents e_ = (e);                         \
        EXPECT_DOUBLE_EQ(e_.minX, (x0)) << "minimum x"; \
        EXPECT_DOUBLE_EQ(e_.minY, (y0)) << "minimum y"; \
        EXPECT_DOUBLE_EQ(e_.maxX, (x1)) << "maximum x"; \
        EXPECT_DOUBLE_EQ(e_.maxY, (y1)) << "maximum y"; \
    } while (0)

// ---- the fixture ----------------------------------------------------------------------

// Each test starts on an empty drawing with the default settings, read from a
// registry file of its own, and a zeroed record of the last insert.
class GeometryTest : public orvanta_test::ScratchRegistryTest {
protected:
    GeometryTest() : ScratchRegistryTest("geometry") {}

    void SetUp() override {
        ScratchRegistryTest::SetUp();
        Host().reset();
        LoadInsertSettings();
        gInsertAnnotations = {};
    }

    void TearDown() override {
        Host().setTrace(nullptr);
        Host().reset();
        ScratchRegistryTest::TearDown();
    }

    // Host calls are recorded from here on, one JSON object a line.
    void StartTrace() {
        trace_.str("");
        Host().setTrace(&trace_);
    }

    std::vector<nlohmann::json> Calls() const {
        std::vector<nlohmann::json> calls;
        std::istringstream in(trace_.str());
        for (std::string line; std::getline(in, line);)
            calls.push_back(nlohmann::json::parse(line));
        return calls;
    }

    std::vector<std::string> CallNames() const {
        std::vector<std::string> names;
        for (const nlohmann::json& c : Calls()) names.push_back(c.at("fn").get<std::string>());
        return names;
    }

    std::vector<nlohmann::json> CallsOf(const std::string& fn) const {
        std::vector<nlohmann::json> out;
        for (const nlohmann::json& c : Calls())
            if (c.at("fn") == fn) out.push_back(c);
        return out;
    }

    // Writes the drawing as a picture under the test output folder.
    static void WritePicture(const std::string& name) {
        const std::filesystem::path dir =
            std::filesystem::path(ORVANTA_TEST_OUTPUT_DIR) / "geometry";
        std::filesystem::create_directories(dir);
        std::ofstream out(dir / (name + ".svg"), std::ios::binary);
        vel::makeSvgWriter()->write(Drawing(), out);
        EXPECT_TRUE(out.good()) << name;
    }

    std::ostringstream trace_;
};

}  // namespace geometry_test

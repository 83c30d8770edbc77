// DxfReadBackTests.cpp - the DXF that velhost writes after a run, read back by
// an independent DXF reader (Debian's python3-ezdxf under the system's own
// Python): the insert outline's vertices and bulges, the hole around it, and
// the picked part drawing itself.
#include "tests/support/Sessions.h"

namespace e2e {
namespace {

// Prints the drawing's polylines and circles as one JSON document.
const char kReader[] = R"(import json, sys
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
out = {"polylines": [], "circles": []}
for e in doc.modelspace():
    if e.dxftype() == "LWPOLYLINE":
        out["polylines"].append({"layer": e.dxf.layer, "closed": bool(e.closed),
                                 "points": [list(p) for p in e.get_points("xyb")],
                                 "color": e.dxf.color, "own_rgb": e.dxf.hasattr("true_color"),
                                 "linetype": e.dxf.linetype})
    elif e.dxftype() == "CIRCLE":
        out["circles"].append({"layer": e.dxf.layer, "centre": list(e.dxf.center)[:2],
                               "radius": e.dxf.radius})
print(json.dumps(out))
)";

struct Vertex {
    double x, y, bulge;
};

class DxfReadBack : public Session {
protected:
    json ReadWithEzdxf(const std::string& dxf) {
        Write("read.py", kReader);
        // Debian's ezdxf lives in the system Python; another python3 may come first on the PATH.
        const std::string command = "/usr/bin/python3 " + Path("read.py") + " " + dxf + " >" +
                                    Path("read.json") + " 2>" + Path("read.err");
        const int status = std::system(command.c_str());
        EXPECT_EQ(status, 0) << ReadFile(Path("read.err"))
                             << "\n(install python3-ezdxf: scripts/install-deps.sh)";
        if (status != 0) return json();
        return json::parse(ReadFile(Path("read.json")));
    }
};

std::vector<Vertex> Vertices(const json& polyline) {
    std::vector<Vertex> v;
    for (const json& p : polyline["points"]) v.push_back({p[0], p[1], p[2]});
    return v;
}

// True when `actual` is `expected` started at some vertex.
bool SameLoop(const std::vector<Vertex>& actual, const std::vector<Vertex>& expected) {
    if (actual.size() != expected.size()) return false;
    const size_t n = expected.size();
    for (size_t shift = 0; shift < n; ++shift) {
        bool same = true;
        for (size_t i = 0; i < n && same; ++i) {
            const Vertex& a = actual[(i + shift) % n];
            const Vertex& e = expected[i];
            same = std::fabs(a.x - e.x) < 1e-9 && std::fabs(a.y - e.y) < 1e-9 &&
                   std::fabs(a.bulge - e.bulge) < 1e-9;
        }
        if (same) return true;
    }
    return false;
}

double SignedArea(const std::vector<Vertex>& v) {
    double area = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const Vertex& a = v[i];
        const Vertex& b = v[(i + 1) % v.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area / 2;
}

std::string Describe(const std::vector<Vertex>& v) {
    std::ostringstream s;
    for (const Vertex& p : v) s << "(" << p.x << ", " << p.y << ", " << p.bulge << ") ";
    return s.str();
}

TEST_F(DxfReadBack, InsertOutlineKeepsItsCornersAsVerticesAndBulges) {
    UseDrawing(kPlateDrawing);
    // Upper-left chamfer 2, upper-right corner R 4, lower-left sharp, lower-right chamfer 5.
    Registry({{"mType", "0"},
              {"Method", "0"},
              {"mUpLeft", "2"},
              {"mValueUpLeft", "2.0"},
              {"mUpRight", "1"},
              {"mValueUpRight", "4.0"},
              {"mDownLeft", "0"},
              {"mDownRight", "2"},
              {"mValueDownRight", "5.0"},
              {"mIsCheckHole", "1"},
              {"mOffsetHole", "2"}});
    const SessionResult r = Run("run\npick 50 0\n", "--out " + Path("end.dxf"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const json read = ReadWithEzdxf(Path("end.dxf"));
    ASSERT_TRUE(read.is_object());

    // A quarter circle has the bulge tan(90 degrees / 4), positive counter-clockwise.
    const double quarter = std::tan(M_PI / 8);
    const std::vector<Vertex> insert = {{-6, 53, 0},  {-6, -6, 0},        {100, -6, 0},
                                        {105, -1, 0}, {105, 51, quarter}, {101, 55, 0},
                                        {-4, 55, 0}};
    int inserts = 0, holes = 0, plates = 0;
    for (const json& p : read["polylines"]) {
        const auto v = Vertices(p);
        if (p["layer"] == "100") {
            ++holes;
            EXPECT_TRUE(p["closed"].get<bool>());
            EXPECT_GT(SignedArea(v), 0);
            // Outside the insert by the offset on every side.
            Box b;
            for (const Vertex& q : v) b.Add(q.x, q.y);
            EXPECT_NEAR(b.minX, -8, 1e-9);
            EXPECT_NEAR(b.minY, -8, 1e-9);
            EXPECT_NEAR(b.maxX, 107, 1e-9);
            EXPECT_NEAR(b.maxY, 57, 1e-9);
            int arcs = 0;
            for (const Vertex& q : v) arcs += std::fabs(q.bulge) > 1e-12;
            EXPECT_EQ(arcs, 1) << "the rounded corner stays rounded";
        } else if (v.size() == 7) {
            ++inserts;
            EXPECT_TRUE(p["closed"].get<bool>());
            EXPECT_TRUE(SameLoop(v, insert)) << Describe(v);
            // Counter-clockwise, the chords enclosing 111 x 61 less the two chamfers'
            // triangles and the triangle cut off by the rounded corner's chord.
            EXPECT_NEAR(SignedArea(v), 111.0 * 61.0 - 2.0 - 12.5 - 8.0, 1e-9);
        } else if (v.size() == 4) {
            ++plates;
            EXPECT_TRUE(SameLoop(v, {{0, 0, 0}, {100, 0, 0}, {100, 50, 0}, {0, 50, 0}}))
                << Describe(v);
        }
    }
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(holes, 1);
    EXPECT_EQ(plates, 1);
    ASSERT_EQ(read["circles"].size(), 1u);
    EXPECT_EQ(read["circles"][0]["radius"], 10.0);
}

// With "current colour" on (as by default) the insert outline is drawn as its layer is, in every
// program that opens the file; off, it carries the colour and line type chosen.
TEST_F(DxfReadBack, CurrentColourLeavesTheOutlineToItsLayer) {
    UseDrawing(kPlateDrawing);
    for (const char* current : {"1", "0"}) {
        SCOPED_TRACE(std::string("mIsCurColor ") + current);
        Registry({{"mType", "0"},
                  {"Method", "0"},
                  {"mIsCurColor", current},
                  {"Color", "MAINCOLOR03"},
                  {"LType", "LINETYPE02"}});
        const SessionResult r = Run("run\npick 50 0\n", "--out " + Path("end.dxf"));
        ASSERT_EQ(r.status, 0) << r.err << r.out;
        const json read = ReadWithEzdxf(Path("end.dxf"));
        ASSERT_EQ(read["polylines"].size(), 2u) << "the plate and its insert";
        const json& insert = read["polylines"][1];
        const bool byLayer = current == std::string("1");
        EXPECT_EQ(insert["color"] == 256 && !insert["own_rgb"].get<bool>(), byLayer) << insert;
        EXPECT_EQ(insert["linetype"] == "BYLAYER", byLayer) << insert;
    }
}

TEST_F(DxfReadBack, ExamplePartReadsBackWithItsArcsHolesAndSlot) {
    // The example part as shipped: written by velhost's own DXF writer.
    const std::string part = std::string(ORVANTA_SOURCE_DIR) + "/examples/bracket.dxf";
    const json read = ReadWithEzdxf(part);
    ASSERT_TRUE(read.is_object());
    ASSERT_EQ(read["polylines"].size(), 2u);
    const auto plate = Vertices(read["polylines"][0]);
    const auto slot = Vertices(read["polylines"][1]);
    EXPECT_EQ(plate.size(), 10u);
    EXPECT_EQ(slot.size(), 4u);
    // Four rounded corners and a notch that bites into the plate.
    int convex = 0, concave = 0;
    for (const Vertex& v : plate) {
        convex += v.bulge > 0.4 && v.bulge < 0.42;
        concave += v.bulge < -0.99;
    }
    EXPECT_EQ(convex, 4);
    EXPECT_EQ(concave, 1);
    EXPECT_EQ(read["circles"].size(), 5u);

    // Built around by the main job: one insert with its hole.
    UseDrawingFile(part);
    Registry({{"mType", "0"}, {"Method", "0"}, {"mIsCheckHole", "1"}, {"mOffsetHole", "2"}});
    const SessionResult r = Run("run\npick 80 0\n", "--out " + Path("end.dxf"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const json after = ReadWithEzdxf(Path("end.dxf"));
    ASSERT_TRUE(after.is_object());
    EXPECT_EQ(after["polylines"].size(), 4u) << "plate, slot, insert and hole";
}

}  // namespace
}  // namespace e2e

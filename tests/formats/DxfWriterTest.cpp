// DxfWriterTest.cpp - the written DXF as another program reads it: ezdxf
// (Debian's python3-ezdxf under the system Python) audits it without a fault to
// fix, reads names and texts beyond ASCII unchanged, sees dimensions and leaders
// as such, and finds each line type's exact pattern under a name readers know;
// our own reader still reads the same file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "FormatTestSupport.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel::test {
namespace {

using nlohmann::json;

// What ezdxf sees in a file, read before its audit and with the audit's findings.
const char kEzdxfReader[] = R"(import json, sys
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
out = {"layers": [l.dxf.name for l in doc.layers], "linetypes": {}, "entities": []}
for lt in doc.linetypes:
    out["linetypes"][lt.dxf.name] = {"description": lt.dxf.description,
                                     "pattern": list(lt.simplified_line_pattern())}
xy = lambda p: [round(p[0], 9), round(p[1], 9)]
for e in doc.modelspace():
    d = {"type": e.dxftype(), "handle": e.dxf.handle, "layer": e.dxf.layer,
         "linetype": e.dxf.linetype}
    if e.dxftype() == "DIMENSION":
        d.update(dimtype=e.dimtype, text=e.dxf.text, measurement=e.dxf.actual_measurement,
                 line=xy(e.dxf.defpoint), a=xy(e.dxf.defpoint2), b=xy(e.dxf.defpoint3),
                 angle=e.dxf.angle, block=[x.dxf.text if x.dxftype() == "TEXT" else x.dxftype()
                                           for x in e.get_geometry_block()])
    elif e.dxftype() == "LEADER":
        d.update(vertices=[xy(v) for v in e.vertices], annotation=e.dxf.annotation_handle)
    elif e.dxftype() == "MTEXT":
        d.update(text=e.plain_text())
    out["entities"].append(d)
auditor = doc.audit()
out["errors"] = [e.message for e in auditor.errors]
out["fixes"] = [f.message for f in auditor.fixes]
print(json.dumps(out))
)";

bool ezdxfInstalled() {
    return std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") == 0;
}

#define REQUIRE_EZDXF() \
    if (!ezdxfInstalled()) GTEST_SKIP() << "no python3-ezdxf for /usr/bin/python3"

// Writes the drawing as NAME.dxf and reads it with ezdxf, which must find
// nothing to fix in it.
json readWithEzdxf(const Drawing& d, const std::string& name) {
    keepOutput(name + ".dxf", writeWith(*makeDxfWriter(), d));
    keepOutput("read-dxf.py", kEzdxfReader);
    const std::filesystem::path dir = std::filesystem::path(ORVANTA_TEST_OUTPUT_DIR) / "formats";
    const std::string command = "/usr/bin/python3 " + (dir / "read-dxf.py").string() + " " +
                                (dir / (name + ".dxf")).string() + " >" +
                                (dir / (name + ".json")).string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const json read = json::parse(readFile(dir / (name + ".json")));
    EXPECT_EQ(read["errors"], json::array()) << name;
    EXPECT_EQ(read["fixes"], json::array()) << name;
    return read;
}

std::vector<json> entitiesOf(const json& read, const std::string& type) {
    std::vector<json> found;
    for (const json& e : read["entities"])
        if (e["type"] == type) found.push_back(e);
    return found;
}

// The written file as our own reader reads it, and what it left out.
Drawing readBack(const Drawing& d, std::string* leftOut = nullptr) {
    std::istringstream in(writeWith(*makeDxfWriter(), d));
    Drawing back;
    const std::string summary = readDxfDrawing(in, "written.dxf", back).leftOut.summary();
    if (leftOut) *leftOut = summary;
    return back;
}

TEST(DxfWriter, NamesAndTextsBeyondAsciiReadBackUnchanged) {
    REQUIRE_EZDXF();
    Drawing d;
    const int outline = d.layerForName("외곽선");
    const int plate = addCorneredPlate(d);
    d.segment(plate)->layer = outline;
    d.setCurrentLayer(d.layerForName("치수 Ø"));
    const int note = d.createSegment(SegmentKind::Comment);
    LeaderElement leader;
    leader.points = {{100, 50}, {110, 60}, {120, 60}};
    leader.text = u"모따기 C5 {외곽} \\ 끝";
    d.appendElement(note, leader);

    const json read = readWithEzdxf(d, "korean");
    EXPECT_EQ(std::count(read["layers"].begin(), read["layers"].end(), "외곽선"), 1);
    ASSERT_EQ(entitiesOf(read, "LWPOLYLINE").size(), 1u);
    EXPECT_EQ(entitiesOf(read, "LWPOLYLINE")[0]["layer"], "외곽선");
    ASSERT_EQ(entitiesOf(read, "MTEXT").size(), 1u);
    EXPECT_EQ(entitiesOf(read, "MTEXT")[0]["text"], toUtf8(leader.text));
    EXPECT_EQ(entitiesOf(read, "MTEXT")[0]["layer"], "치수 Ø");

    const Drawing back = readBack(d);
    EXPECT_EQ(back.layers().at(back.currentLayer()).name, "치수 Ø");
    ASSERT_EQ(back.segments().size(), 1u);
    EXPECT_EQ(back.layers().at(back.segments().begin()->second.layer).name, "외곽선");
}

// Every kind of element, and the odd ones: a leader of one point has no LEADER
// to be, and a dimension measuring nothing shows as a point.
TEST(DxfWriter, DimensionsAndLeadersAreEntitiesOfTheirKind) {
    REQUIRE_EZDXF();
    Drawing d = sampleDrawing();
    const int note = d.createSegment(SegmentKind::Comment);
    LeaderElement lone;
    lone.points = {{-30, -30}};
    lone.text = u"점";
    d.appendElement(note, lone);
    DimensionElement nothing;
    nothing.a = nothing.b = {7, 7};
    d.appendElement(note, nothing);
    const json read = readWithEzdxf(d, "annotations");

    // Rotated dimensions measuring from a to the foot of b along their direction,
    // each with the block of the lines and text that show it.
    std::vector<json> dims = entitiesOf(read, "DIMENSION");
    ASSERT_EQ(dims.size(), 3u);
    for (json& dim : dims) dim.erase("handle");
    EXPECT_EQ(dims[0], json::parse(R"({"type": "DIMENSION", "layer": "2", "linetype": "BYLAYER",
        "dimtype": 0, "a": [0, -10], "b": [100, 0], "line": [100, -10], "angle": 0,
        "measurement": 100, "text": "100.00",
        "block": ["LINE", "LINE", "SOLID", "SOLID", "100.00"]})"));
    EXPECT_EQ(dims[1], json::parse(R"({"type": "DIMENSION", "layer": "2", "linetype": "BYLAYER",
        "dimtype": 0, "a": [-10, 0], "b": [0, 50], "line": [-10, 50], "angle": 90,
        "measurement": 50, "text": "50.0", "block": ["LINE", "LINE", "50.0"]})"));
    EXPECT_EQ(dims[2]["block"], json::parse(R"(["POINT", "0.00"])"));

    // The leader's line through its points, annotated by its text; nothing of the
    // annotations drawn twice, loose lines or texts beside them.
    const std::vector<json> leaders = entitiesOf(read, "LEADER");
    const std::vector<json> texts = entitiesOf(read, "MTEXT");
    ASSERT_EQ(leaders.size(), 1u);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(leaders[0]["vertices"], json::parse("[[36, 31], [50, 45], [60, 45]]"));
    EXPECT_EQ(leaders[0]["annotation"], texts[0]["handle"]);
    EXPECT_EQ(texts[0]["text"], "구멍 Ø16 관통");
    EXPECT_EQ(entitiesOf(read, "LINE").size(), 1u) << "the axis line only";
    EXPECT_EQ(entitiesOf(read, "TEXT").size(), 1u) << "the lone point's text only";

    // Our reader reads the figures and counts the rest.
    std::string leftOut;
    const Drawing back = readBack(d, &leftOut);
    EXPECT_EQ(leftOut, "left out 6 entities: 3 DIMENSION, 1 LEADER, 1 MTEXT, 1 TEXT (not figures)");
    EXPECT_EQ(back.segments().size(), 7u) << "six figures and the lone leader's point";
}

// A reader that goes by names draws the customary look; the table keeps the
// exact dashes under the palette's description, and our reader maps the name
// back to the same number.
TEST(DxfWriter, LineTypesGoByNamesReadersKnowAndKeepTheirDashes) {
    REQUIRE_EZDXF();
    Drawing d;
    for (int number : knownLineTypes()) {
        const int seg = d.createSegment(SegmentKind::Figure);
        d.element(d.appendElement(seg, lineFig({0, 10.0 * number}, {100, 10.0 * number})))
            ->lineType = number;
    }
    const json read = readWithEzdxf(d, "line-types");
    const std::vector<json> lines = entitiesOf(read, "LINE");
    ASSERT_EQ(lines.size(), knownLineTypes().size());
    for (int number : knownLineTypes()) {
        const LineTypeStyle& style = lineTypeStyle(number);
        const std::string name = lines[number]["linetype"];
        const json& table = read["linetypes"][name];
        EXPECT_EQ(table["description"], std::string(style.name)) << name;
        std::vector<double> dashes;
        for (double v : style.pattern) dashes.push_back(v * kLineTypeUnitsPerPixel);
        EXPECT_EQ(table["pattern"].get<std::vector<double>>(), dashes) << name;
    }
    // The hole's line type, dash and two short dashes, under a name LibreCAD draws.
    EXPECT_EQ(lines[3]["linetype"], "DIVIDE2");

    const Drawing back = readBack(d);
    ASSERT_EQ(back.segments().size(), knownLineTypes().size());
    int number = 0;
    for (const auto& [id, s] : back.segments()) EXPECT_EQ(s.elements.at(0).lineType, number++);
}

}  // namespace
}  // namespace vel::test

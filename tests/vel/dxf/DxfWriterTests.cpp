// DxfWriterTest.cpp - the written DXF as another program reads it: ezdxf
// (Debian's python3-ezdxf under the system Python) audits it without a fault to
// fix, reads names and texts beyond ASCII unchanged, sees dimensions and leaders
// as such, and finds each line type's exact pattern under a name readers know;
// our own reader still reads the same file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "tests/support/Drawings.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/kernel/FigureOps.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel::test {
namespace {

using nlohmann::json;

// What ezdxf sees in a file, read before its audit and with the audit's findings.
const char kEzdxfReader[] = R"(import json, sys
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
out = {"layers": [l.dxf.name for l in doc.layers], "linetypes": {}, "entities": [],
       "colours": [[e.dxf.color, e.dxf.get("true_color", -1), e.dxf.linetype]
                   for e in doc.modelspace()],
       "layer_colours": {l.dxf.name: [l.dxf.color, l.dxf.get("true_color", -1), l.dxf.linetype]
                         for l in doc.layers}}
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

// A colour the palette has no shade of is drawn in the nearest it has, and a line type the host
// cannot match by layer; both go back into a file as the file gave them (index, true colour,
// name), through JSON too and in the host's copies, until the host's own colour is changed.
TEST(DxfWriter, ColoursAndLineTypesOfAFileComeBackAsTheFileGaveThem) {
    const auto line = [](int y, const std::string& style, const std::string& layer = "0") {
        return "0\nLINE\n8\n" + layer + "\n" + style + "10\n0\n20\n" + std::to_string(y) +
               "\n11\n10\n21\n" + std::to_string(y) + "\n";
    };
    const std::string source =
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLTYPE\n0\nLTYPE\n2\nFENCE\n70\n0\n3\nFence\n"
        "72\n65\n73\n2\n40\n3.0\n49\n2.9\n49\n-0.1\n0\nLTYPE\n2\nDASHDOT\n70\n0\n72\n65\n73\n"
        "0\n40\n0.0\n0\nENDTAB\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nWalls\n70\n0\n62\n12\n6\n"
        "FENCE\n0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" +
        line(0, "62\n12\n") + line(1, "62\n9\n6\nDASHDOT\n") + line(2, "62\n256\n6\nFENCE\n") +
        line(3, "62\n0\n6\nBYBLOCK\n") + line(4, "62\n4\n420\n1110256\n6\nCONTINUOUS\n") +
        line(5, "62\n5\n") + line(6, "", "Walls") + "0\nENDSEC\n0\nEOF\n";
    // Index, true colour and line type of each line, as the source gives them.
    const json given = json::parse(R"([[12, -1, "BYLAYER"], [9, -1, "DASHDOT"],
        [256, -1, "FENCE"], [0, -1, "BYBLOCK"], [4, 1110256, "CONTINUOUS"], [5, -1, "BYLAYER"],
        [256, -1, "BYLAYER"]])");
    const auto asWritten = [](const Drawing& d) {
        std::istringstream in(writeWith(*makeDxfWriter(), d));
        Drawing back;
        readDxfDrawing(in, "written.dxf", back);
        json styles = json::array();
        for (const auto& [id, s] : back.segments()) {
            const Element& e = s.elements.at(0);
            const FileColor* c = back.fileStyles().colorFor(e.fileStyle, e.color);
            const FileLineType* t = back.fileStyles().lineTypeFor(e.fileStyle, e.lineType);
            styles.push_back({c ? c->index : 256, c ? c->trueColor : -1, t ? t->name : "BYLAYER"});
        }
        return styles;
    };

    Drawing read;
    std::istringstream in(source);
    readDxfDrawing(in, "source.dxf", read);
    std::vector<std::optional<int>> drawn;
    for (const auto& [id, s] : read.segments()) drawn.push_back(s.elements.at(0).color);
    const std::optional<int> red = paletteColorOf({255, 0, 0}), blue = paletteColorOf({0, 0, 255});
    EXPECT_EQ(drawn, (std::vector<std::optional<int>>{
                         red, paletteColorOf({128, 128, 128}), std::nullopt, std::nullopt,
                         paletteColorOf({0, 255, 255}), blue, std::nullopt}));
    EXPECT_EQ(read.layers().at(1000).color, red);
    const std::string svg = writeWith(*makeSvgWriter(), read);
    for (const std::optional<int>& colour : drawn) {
        if (colour) {
            EXPECT_NE(svg.find(hexColor(paletteColor(*colour))), std::string::npos);
        }
    }

    EXPECT_EQ(asWritten(read), given);
    Drawing viaJson;
    std::istringstream saved(writeWith(*makeJsonWriter(), read));
    readJsonDrawing(saved, "read.json", viaJson);
    EXPECT_EQ(writeWith(*makeDxfWriter(), viaJson), writeWith(*makeDxfWriter(), read));
    if (ezdxfInstalled()) {
        const auto ezdxf = readWithEzdxf(read, "file-colours");
        EXPECT_EQ(ezdxf["colours"], given);
        EXPECT_EQ(ezdxf["layer_colours"]["Walls"], json::parse(R"([12, -1, "FENCE"])"));
    }

    // A copy keeps the file's colour; an element given another colour has the host's.
    Drawing edited = read;
    const int first = edited.segments().begin()->first;
    const int blueLine = std::prev(edited.segments().end(), 2)->first;
    editSegment(edited, first, {0, 0}, {0, 10}, 0.0, 1.0, false);
    edited.segment(blueLine)->elements.at(0).color = red;
    json expected = given;
    expected[5] = {1, trueColorValue({255, 0, 0}), "BYLAYER"};
    expected.push_back(given[0]);
    EXPECT_EQ(asWritten(edited), expected);
}

// A reader that goes by names draws the customary look; the table keeps the
// exact dashes under the palette's description, and our reader maps the name
// back to the same number.
TEST(DxfWriter, LineTypesGoByNamesReadersKnowAndKeepTheirDashes) {
    REQUIRE_EZDXF();
    Drawing d;
    for (int number : knownLineTypes()) {
        const int seg = d.createSegment(SegmentKind::Figure);
        d.element(d.appendElement(seg, lineFigure({0, 10.0 * number}, {100, 10.0 * number})))
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

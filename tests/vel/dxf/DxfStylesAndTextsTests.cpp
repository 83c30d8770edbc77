// DxfStylesAndTextsTests.cpp - what DXF keeps besides shape: layers by number or name,
// layers' and elements' colours and line types (an outline's corners in the stroke of their
// edge), and names and texts cut at the format's length limits between characters.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/vel/dxf/DxfTestSupport.h"
#include "vel/kernel/FigureOps.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel::test {
namespace {

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

TEST(DxfFormat, ColoursAndLineTypesSurviveTheTripThroughDxf) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    Element* e = d.element(d.appendElement(seg, lineFigure({0, 0}, {10, 0})));
    e->color = 5;
    e->lineType = 3;
    const int plain = d.createSegment(SegmentKind::Figure);
    d.appendElement(plain, lineFigure({0, 5}, {10, 5}));
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
        d.appendElement(seg, lineFigure({0, 0}, {1, 1}));
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

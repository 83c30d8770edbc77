// JsonFormatTest.cpp - the host's JSON drawing file: what a round trip keeps,
// what a sparse file is filled in with, and how faulty files are refused.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/support/Drawings.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"

namespace vel::test {
namespace {

std::string toJson(const Drawing& d) {
    return writeWith(*makeJsonWriter(), d);
}

Drawing fromJson(const std::string& text, const std::string& name = "test.json") {
    Drawing d;
    std::istringstream in(text);
    readJsonDrawing(in, name, d);
    return d;
}

std::string wrap(const std::string& segments) {
    return R"({"format": "vel-drawing", "version": 1, "segments": [)" + segments + "]}";
}

TEST(JsonFormat, RoundTripKeepsTheWholeDrawingAndWritesTheSameText) {
    Drawing original = sampleDrawing();
    original.setDimensionTextHeight(3.5);
    const std::string first = toJson(original);
    keepOutput("sample.json", first);
    const Drawing back = fromJson(first);
    EXPECT_EQ(toJson(back), first);
    EXPECT_EQ(back.dimensionTextHeight(), 3.5);

    ASSERT_EQ(back.segments().size(), original.segments().size());
    for (const auto& [id, s] : original.segments()) {
        const Segment* r = back.segment(id);
        ASSERT_NE(r, nullptr) << "segment " << id;
        EXPECT_EQ(r->kind, s.kind);
        EXPECT_EQ(r->layer, s.layer);
        EXPECT_EQ(r->closed, s.closed);
        EXPECT_EQ(r->attributes, s.attributes);
        ASSERT_EQ(r->elements.size(), s.elements.size());
        for (size_t i = 0; i < s.elements.size(); ++i) {
            const Element& a = s.elements[i];
            const Element& b = r->elements[i];
            EXPECT_EQ(b.id, a.id);
            EXPECT_EQ(b.color, a.color);
            EXPECT_EQ(b.lineType, a.lineType);
            if (const FigureElement* f = a.figure()) {
                ASSERT_NE(b.figure(), nullptr);
                EXPECT_EQ(b.figure()->type, f->type);
                for (int k = 0; k < 10; ++k) EXPECT_EQ(b.figure()->values[k], f->values[k]);
            } else if (const auto* dim = std::get_if<DimensionElement>(&a.body)) {
                const auto* rd = std::get_if<DimensionElement>(&b.body);
                ASSERT_NE(rd, nullptr);
                EXPECT_EQ(rd->a, dim->a);
                EXPECT_EQ(rd->b, dim->b);
                EXPECT_EQ(rd->direction, dim->direction);
                EXPECT_EQ(rd->decimals, dim->decimals);
                EXPECT_EQ(rd->arrow.kind, dim->arrow.kind);
                EXPECT_EQ(rd->arrow.size1, dim->arrow.size1);
            } else {
                const auto* rl = std::get_if<LeaderElement>(&b.body);
                ASSERT_NE(rl, nullptr);
                EXPECT_EQ(rl->points, std::get<LeaderElement>(a.body).points);
                EXPECT_EQ(rl->text, std::get<LeaderElement>(a.body).text);
            }
        }
    }
    EXPECT_EQ(back.layers().at(1000).name, "OUTLINE");
    EXPECT_EQ(back.layers().at(3).name, "centre lines");
    EXPECT_TRUE(back.hasLayer(2));
    EXPECT_EQ(back.currentLayer(), 1000);
    EXPECT_EQ(back.nextId(), original.nextId());
    // People read the file: texts are plain UTF-8, the measured value is shown.
    EXPECT_NE(first.find("구멍 Ø16 관통"), std::string::npos);
    EXPECT_NE(first.find("\"text\":\"100.00\""), std::string::npos);
    EXPECT_NE(first.find("\"text\":\"50.0\""), std::string::npos);
}

// Figure values are written as the JSON library writes numbers (fixed with ".0" for whole
// numbers, exponents beyond 15 digits or 4 leading zeros, on either side of both bounds), and
// every double reads back as itself, the shortest and the longest.
TEST(JsonFormat, FigureValuesReadBackAsTheSameDoubles) {
    const std::pair<double, const char*> values[] = {
        {100.0, "100.0"},
        {0.001, "0.001"},
        {1e-5, "1e-05"},
        {1e16, "1e+16"},
        {-2.5, "-2.5"},
        {123456789012345.0, "123456789012345.0"},
        {-0.0, "-0.0"},
        {1.5e300, "1.5e+300"},
        {0.1 + 0.2, "0.30000000000000004"},
        {5e-324, "5e-324"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {1e15, "1e+15"},
        {999999999999999.9, "999999999999999.9"},
        {1e-4, "0.0001"},
        {9.999999999999999e-05, "9.999999999999999e-05"},
    };
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    FigureElement f;
    f.type = FigureType::Line;
    for (size_t i = 0; i < std::size(values); ++i) {
        f.values[i % 10] = values[i].first;
        if (i % 10 == 9 || i + 1 == std::size(values)) d.appendElement(seg, f);
    }
    const std::string text = toJson(d);
    for (const auto& [value, written] : values)
        EXPECT_NE(text.find(written), std::string::npos) << written;
    const Drawing back = fromJson(text);
    const auto& a = d.segments().begin()->second.elements;
    const auto& b = back.segments().begin()->second.elements;
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(
                std::memcmp(&a[i].figure()->values[k], &b[i].figure()->values[k], sizeof(double)),
                0);
}

TEST(JsonFormat, SparseFileGetsFreshIdsTheCurrentLayerAndZeroValues) {
    const Drawing d = fromJson(R"({"format": "vel-drawing", "version": 1, "current_layer": 4,
        "segments": [{"closed": true, "elements": [{"type": 1, "values": [0, 0, 10]}, {"type": 9}]}]})");
    ASSERT_EQ(d.segments().size(), 1u);
    const Segment& s = d.segments().begin()->second;
    EXPECT_EQ(s.id, 1);
    EXPECT_EQ(s.kind, SegmentKind::Figure);
    EXPECT_EQ(s.layer, 4);
    EXPECT_TRUE(s.closed);
    ASSERT_EQ(s.elements.size(), 2u);
    EXPECT_EQ(s.elements[0].id, 2);
    EXPECT_EQ(s.elements[1].id, 3);
    EXPECT_EQ(s.elements[0].figure()->values[2], 10.0);
    for (int k = 3; k < 10; ++k) EXPECT_EQ(s.elements[0].figure()->values[k], 0.0);
    EXPECT_FALSE(s.elements[0].color.has_value());
    EXPECT_EQ(d.currentLayer(), 4);
    EXPECT_EQ(d.nextId(), 4);
}

TEST(JsonFormat, GivenIdsAreKeptAndFreshOnesComeAfterTheHighest) {
    const Drawing d = fromJson(wrap(R"(
        {"elements": [{"type": 9}, {"id": 40, "type": 9}]},
        {"id": 7, "elements": [{"type": 9}]})"));
    ASSERT_EQ(d.segments().size(), 2u);
    const Segment* given = d.segment(7);
    ASSERT_NE(given, nullptr);
    EXPECT_GT(given->elements[0].id, 40);
    const Segment* fresh = d.segment(41);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->elements[0].id, 42);
    EXPECT_EQ(fresh->elements[1].id, 40);
    EXPECT_EQ(given->elements[0].id, 43);
    EXPECT_EQ(d.nextId(), 44);
}

TEST(JsonFormat, ReadingReplacesTheDrawingButAFailedReadLeavesItAlone) {
    Drawing d = sampleDrawing();
    std::istringstream bad(wrap(R"({"elements": [{"type": 4}]})"));
    EXPECT_THROW(readJsonDrawing(bad, "bad.json", d), FileError);
    EXPECT_EQ(d.segments().size(), sampleDrawing().segments().size());

    std::istringstream good(wrap(R"({"elements": [{"type": 9, "values": [1, 2]}]})"));
    readJsonDrawing(good, "good.json", d);
    ASSERT_EQ(d.segments().size(), 1u);
    EXPECT_FALSE(d.hasLayer(1000));
    EXPECT_EQ(d.segments().begin()->second.elements[0].figure()->values[1], 2.0);
}

struct BadJson {
    const char* what;
    std::string text;
    int line;
    const char* message;
};

// A file's styles come back whole, white as a true colour and a colour with no true colour
// alike, and what refers to them keeps its style; a reference to a style there is not is
// refused, from an element or a layer, one past the last as much as far off.
TEST(JsonFormat, FileStylesComeBackWholeAndAReferenceToNoneIsRefused) {
    const std::string styles = R"("file_styles": [{"color": 7, "true_color": 16777215},
        {"color": 1}, {"true_color": 0}],)";
    const std::string text = R"({"format": "vel-drawing", "version": 1, )" + styles + R"(
        "layers": [{"number": 3, "file_style": 3}],
        "segments": [{"layer": 3, "elements": [{"type": 9, "file_style": 1}, {"type": 9}]}]})";
    const Drawing d = fromJson(text);
    ASSERT_EQ(d.fileStyles().styles().size(), 3u);
    const FileStyle* white = d.fileStyles().style(1);
    ASSERT_NE(white, nullptr);
    ASSERT_TRUE(white->color.has_value());
    EXPECT_EQ(white->color->index, 7);
    EXPECT_EQ(white->color->trueColor, 0xFFFFFF) << "white is a true colour, not none";
    EXPECT_EQ(d.fileStyles().style(2)->color->trueColor, -1);
    EXPECT_EQ(d.fileStyles().style(3)->color->trueColor, 0) << "black too";
    const Drawing back = fromJson(toJson(d));
    EXPECT_EQ(back.fileStyles().styles(), d.fileStyles().styles());
    const Segment& s = back.segments().begin()->second;
    EXPECT_EQ(s.elements[0].fileStyle, 1);
    EXPECT_EQ(s.elements[1].fileStyle, 0);
    EXPECT_EQ(back.layers().at(3).fileStyle, 3);

    for (const std::string& reference :
         {std::string(R"("segments": [{"elements": [{"type": 9, "file_style": 4}]}])"),
          std::string(R"("segments": [{"elements": [{"type": 9, "file_style": -1}]}])"),
          std::string(R"("layers": [{"number": 2, "file_style": 4}])")}) {
        SCOPED_TRACE(reference);
        try {
            fromJson(R"({"format": "vel-drawing", "version": 1, )" + styles + reference + "}");
            ADD_FAILURE() << "accepted";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("file styles are numbered from 1 to 3"),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(JsonFormat, FaultyFilesAreRefusedWithFileLineAndReason) {
    const std::vector<BadJson> cases = {
        {"empty", "", 1, "not valid JSON"},
        {"syntax", "{\n  \"format\": \"vel-drawing\",\n  \"version\": 1,\n  oops\n}", 4,
         "not valid JSON"},
        {"not an object", "[1, 2]", 1, "expected an object"},
        {"format missing", R"({"version": 1})", 1, "missing \"format\""},
        {"other format", R"({"format": "svg", "version": 1})", 1,
         "format: expected \"vel-drawing\""},
        {"newer version", "{\"format\": \"vel-drawing\",\n \"version\": 2}", 2,
         "version 2 is not supported"},
        {"version as text", R"({"format": "vel-drawing", "version": "1"})", 1,
         "expected a whole number, found a string"},
        {"unknown key", "{\"format\": \"vel-drawing\", \"version\": 1,\n \"segmnets\": []}", 2,
         "unknown key \"segmnets\""},
        {"text height not above 0",
         "{\"format\": \"vel-drawing\", \"version\": 1,\n \"dimension_text_height\": 0}", 2,
         "dimension_text_height: expected a height above 0"},
        {"unknown type code", wrap("\n{\"elements\": [\n{\"type\": 1},\n{\"type\": 4}]}"), 4,
         "segments[0].elements[1].type: unknown figure type 4"},
        {"value not a number", wrap("{\"elements\": [{\"type\": 1,\n \"values\": [0, \"x\"]}]}"), 2,
         "values[1]: expected a number, found a string"},
        {"value out of range", wrap("{\"elements\": [{\"type\": 1,\n \"values\": [-1e999]}]}"), 2,
         "number out of range: -1e999"},
        {"eleven values", wrap(R"({"elements": [{"type": 1, "values": [0,0,0,0,0,0,0,0,0,0,0]}]})"),
         1, "at most ten values"},
        {"values not an array", wrap(R"({"elements": [{"type": 1, "values": {}}]})"), 1,
         "expected an array, found an object"},
        {"two kinds at once", wrap(R"({"elements": [{"type": 1, "leader": {}}]})"), 1,
         "exactly one of"},
        // Another kind of document is named as such, whatever its segments hold.
        {"faulty segments of another format", "{\"segments\": [[1]],\n \"format\": \"x\"}", 2,
         "format: expected \"vel-drawing\""},
        {"duplicate id",
         wrap("{\"id\": 3, \"elements\": []},\n{\"elements\": [{\"id\": 3, \"type\": 9}]}"), 2,
         "id 3 is already used by segments[0]"},
        {"id zero", wrap(R"({"id": 0})"), 1, "ids run from 1"},
        {"fractional id", wrap(R"({"id": 2.5})"), 1,
         "expected a whole number, found a fractional number"},
        {"segment kind", wrap(R"({"kind": 3})"), 1, "segment kinds are"},
        {"negative layer", wrap(R"({"layer": -1})"), 1, "layer numbers are not negative"},
        {"closed as number", wrap(R"({"closed": 1})"), 1, "expected true or false"},
        {"colour as text", wrap(R"({"elements": [{"type": 9, "color": "red"}]})"), 1,
         "color: expected a whole"},
        // The smallest int stands for "by layer" in an element.
        {"colour of the smallest int", wrap(R"({"elements": [{"type": 9, "color": -2147483648}]})"),
         1, "color: a number from -2147483647 to 2147483647"},
        {"dimension without b", wrap(R"({"kind": 1, "elements": [{"dimension": {"a": [0, 0]}}]})"),
         1, "missing \"b\""},
        {"bad point", wrap(R"({"kind": 1, "elements": [{"dimension": {"a": [0], "b": [1, 1]}}]})"),
         1, "dimension.a: expected a point"},
        {"leader without points", wrap(R"({"kind": 2, "elements": [{"leader": {"points": []}}]})"),
         1, "at least one point"},
        {"layer listed twice",
         R"({"format": "vel-drawing", "version": 1, "layers": [{"number": 2}, {"number": 2}]})", 1,
         "layer 2 is listed twice"},
        {"layer name twice",
         R"({"format": "vel-drawing", "version": 1, "layers": [{"number": 2, "name": "A"}, {"number": 3, "name": "A"}]})",
         1, "layer name \"A\" is used twice"},
        {"huge layer", R"({"format": "vel-drawing", "version": 1, "current_layer": 99999999999})",
         1, "number out of range"},
    };
    for (const BadJson& c : cases) {
        try {
            fromJson(c.text, "drawing.json");
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const FileError& e) {
            const std::string what = e.what();
            EXPECT_EQ(e.file(), "drawing.json") << c.what;
            EXPECT_EQ(e.line(), c.line) << c.what << ": " << what;
            EXPECT_EQ(what.rfind("drawing.json:" + std::to_string(c.line) + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << c.what << ": " << what;
        }
    }
}

TEST(JsonFormat, ExamplePlateHoldsAClosedRectangleAndAHole) {
    Drawing d;
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/examples/plate.json");
    ASSERT_TRUE(in.good());
    readJsonDrawing(in, "plate.json", d);
    int closedOutlines = 0, circles = 0;
    for (const auto& [id, s] : d.segments()) {
        if (s.closed && s.elements.size() == 4) {
            ++closedOutlines;
            const Extents e = extentsOf(drawnPrimitives(d, s));
            EXPECT_DOUBLE_EQ(e.width(), 100.0);
            EXPECT_DOUBLE_EQ(e.height(), 50.0);
            EXPECT_EQ(figureDirection(d, s.id), 1);
        }
        for (const Element& e : s.elements)
            if (e.figure() && e.figure()->type == FigureType::Circle) ++circles;
    }
    EXPECT_EQ(closedOutlines, 1);
    EXPECT_EQ(circles, 1);
}

}  // namespace
}  // namespace vel::test

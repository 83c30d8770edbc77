// SvgWriterTest.cpp - the drawing as a picture: a well-formed page showing every
// figure, text, colour and dash pattern, y up, fitted inside the margin.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/Drawings.h"
#include "vel/kernel/HostPalette.h"

namespace vel::test {
namespace {

std::string toSvg(const Drawing& d) {
    return writeWith(*makeSvgWriter(), d);
}

size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Tags open and close in nesting order, attribute quotes pair up and no bare
// ampersand or angle bracket is left in text; returns the element names seen.
std::vector<std::string> checkWellFormed(const std::string& svg) {
    std::vector<std::string> stack, seen;
    size_t at = svg.find("<svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    while (at != std::string::npos && at < svg.size()) {
        const size_t close = svg.find('>', at);
        if (close == std::string::npos) {
            ADD_FAILURE() << "unclosed tag at " << at;
            break;
        }
        const std::string tag = svg.substr(at + 1, close - at - 1);
        EXPECT_EQ(std::count(tag.begin(), tag.end(), '"') % 2, 0) << tag;
        EXPECT_EQ(tag.find('<'), std::string::npos) << tag;
        if (tag[0] == '/') {
            EXPECT_FALSE(stack.empty());
            if (!stack.empty()) {
                EXPECT_EQ(tag.substr(1), stack.back());
                stack.pop_back();
            }
        } else {
            const std::string name = tag.substr(0, tag.find_first_of(" />"));
            seen.push_back(name);
            if (tag.back() != '/') stack.push_back(name);
        }
        const size_t next = svg.find('<', close);
        const std::string text =
            svg.substr(close + 1, next == std::string::npos ? std::string::npos : next - close - 1);
        EXPECT_EQ(text.find('>'), std::string::npos) << text;
        for (size_t amp = text.find('&'); amp != std::string::npos; amp = text.find('&', amp + 1))
            EXPECT_TRUE(text.compare(amp, 5, "&amp;") == 0 || text.compare(amp, 4, "&lt;") == 0 ||
                        text.compare(amp, 4, "&gt;") == 0 || text.compare(amp, 6, "&quot;") == 0)
                << text;
        at = next;
    }
    EXPECT_TRUE(stack.empty()) << "unclosed <" << (stack.empty() ? "" : stack.back()) << ">";
    return seen;
}

// Every number in the path data and circle centres, as page coordinates.
std::vector<std::pair<double, double>> pagePoints(const std::string& svg) {
    std::vector<std::pair<double, double>> out;
    const std::regex move(R"([ML] (-?[0-9.]+) (-?[0-9.]+))");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), move); it != std::sregex_iterator();
         ++it)
        out.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
    return out;
}

TEST(SvgWriter, SamplePictureIsWellFormedAndShowsEverything) {
    const std::string svg = toSvg(sampleDrawing());
    keepOutput("sample.svg", svg);
    const std::vector<std::string> seen = checkWellFormed(svg);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "rect"), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "text"), 3);
    // Plate, slot, hook, axis; 4 dimension lines and 2 leader lines.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "path"), 4 + 4 + 2);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "circle"), 2);  // the hole and the point

    EXPECT_NE(svg.find(">100.00</text>"), std::string::npos);
    EXPECT_NE(svg.find(">50.0</text>"), std::string::npos);
    EXPECT_NE(svg.find(">구멍 Ø16 관통</text>"), std::string::npos);
    EXPECT_NE(svg.find("NanumGothic"), std::string::npos);
    // The vertical dimension's text turns with it.
    EXPECT_NE(svg.find("rotate(-90 "), std::string::npos);
    // Colours: the plate's colour 1, the axis's 5, the leader's 8, white when following the layer.
    EXPECT_EQ(countOf(svg, "stroke=\"" + hexColor(paletteColor(1)) + "\""), 1u);
    EXPECT_NE(svg.find("stroke=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#ffff00\""), std::string::npos);
    EXPECT_NE(svg.find("stroke=\"#ffffff\""), std::string::npos);
    // Line type 3 is dash 11 gap 2 dash 3 gap 2 dash 3 gap 2.
    EXPECT_NE(svg.find("stroke-dasharray=\"22,4,6,4,6,4\""), std::string::npos);
    EXPECT_EQ(countOf(svg, "vector-effect=\"non-scaling-stroke\""), countOf(svg, "stroke-width="));
    // Only the plate is closed; its corner and the slot's and hook's arcs are arcs.
    EXPECT_EQ(countOf(svg, " Z\""), 1u);
    EXPECT_EQ(countOf(svg, " A "), 3u);
}

TEST(SvgWriter, PictureHasYUpAndFitsInsideTheMargin) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    d.appendElement(seg, lineFigure({0, 0}, {100, 50}));
    const std::string svg = toSvg(d);
    const auto points = pagePoints(svg);
    ASSERT_EQ(points.size(), 2u);
    const auto [x0, y0] = points[0];
    const auto [x1, y1] = points[1];
    EXPECT_LT(x0, x1);
    EXPECT_GT(y0, y1);                              // up in the drawing is up on the page
    EXPECT_NEAR((x1 - x0) / (y0 - y1), 2.0, 1e-3);  // one scale both ways
    for (double v : {x0, x1}) EXPECT_TRUE(v >= 40.0 - 1e-9 && v <= 960.0 + 1e-9) << v;
    for (double v : {y0, y1}) EXPECT_TRUE(v >= 40.0 - 1e-9 && v <= 710.0 + 1e-9) << v;
    // Wide drawings touch the side margins.
    EXPECT_NEAR(x0, 40.0, 1e-3);
    EXPECT_NEAR(x1, 960.0, 1e-3);
}

TEST(SvgWriter, ArcsTurnTheirOwnWayOnThePage) {
    // A quarter arc counter-clockwise from (10, 0) to (0, 10) about the origin: on
    // the flipped page it still turns counter-clockwise, SVG's sweep flag 0.
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Figure);
    d.appendElement(seg, arcFigure({0, 0}, 10, {10, 0}, {0, 10}));
    std::string svg = toSvg(d);
    EXPECT_NE(svg.find(" 0 0 0 "), std::string::npos) << svg;
    // Three quarters go in two halves, so no single command has to choose the long way.
    Drawing big;
    const int s2 = big.createSegment(SegmentKind::Figure);
    big.appendElement(s2, arcFigure({0, 0}, 10, {10, 0}, {0, -10}));
    svg = toSvg(big);
    EXPECT_EQ(countOf(svg, " A "), 2u);
    EXPECT_EQ(countOf(svg, " 0 0 1 "), 0u);
}

TEST(SvgWriter, EmptyDrawingIsAnEmptyPage) {
    const std::string svg = toSvg(Drawing{});
    const std::vector<std::string> seen = checkWellFormed(svg);
    EXPECT_EQ(seen, (std::vector<std::string>{"svg", "title", "rect"}));
}

TEST(SvgWriter, TextThatLooksLikeMarkupStaysText) {
    Drawing d;
    const int seg = d.createSegment(SegmentKind::Comment);
    LeaderElement leader;
    leader.points = {{0, 0}, {-10, 5}};
    leader.text = u"a<b & \"c\"\x01";
    d.appendElement(seg, leader);
    const std::string svg = toSvg(d);
    checkWellFormed(svg);
    EXPECT_NE(svg.find(">a&lt;b &amp; &quot;c&quot; </text>"), std::string::npos) << svg;
    // A leader running left puts its text to the left of its end.
    EXPECT_NE(svg.find("text-anchor=\"end\""), std::string::npos);
}

}  // namespace
}  // namespace vel::test

// DxfReaderTest.cpp - reading DXF files from other programs: the code page the
// header names, the \U+XXXX escapes, the UTF-8 of later versions; block
// references exploded; ellipses and splines flattened within their tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <sstream>
#include <utility>

#include "vel/dxf/DxfColors.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/HostPalette.h"

namespace vel::test {
namespace {

constexpr double kPi = std::numbers::pi;

Drawing Read(const std::string& text, DxfReadReport* report = nullptr) {
    Drawing d;
    std::istringstream in(text);
    const DxfReadReport r = readDxfDrawing(in, "test.dxf", d);
    if (report) *report = r;
    return d;
}

// A file with these block definitions and model entities.
std::string File(const std::string& blocks, const std::string& entities) {
    return "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities +
           "0\nENDSEC\n0\nEOF\n";
}

// The points of a segment's figures: line ends, arc ends and centres, points.
std::vector<Point> PointsOf(const Segment& s) {
    std::vector<Point> out;
    for (const Element& e : s.elements) {
        const FigureElement& f = *e.figure();
        out.push_back({f.values[0], f.values[1]});
        if (f.type == FigureType::Line) out.push_back({f.values[2], f.values[3]});
    }
    return out;
}

// The largest distance of the segment's lines from the ellipse centred at c with semi-axes
// a (along x) and b, measured at each line's ends and middle by the ellipse's own equation.
double LargestStrayFromEllipse(const Segment& s, Point c, double a, double b) {
    double worst = 0.0;
    for (const Element& e : s.elements) {
        const FigureElement& f = *e.figure();
        const Point p{f.values[0], f.values[1]}, q{f.values[2], f.values[3]};
        for (const Point x : {p, q, (p + q) * 0.5}) {
            // Radial distance to the ellipse along the ray from the centre.
            const Point d = x - c;
            const double r = std::hypot(d.x, d.y);
            const double onCurve =
                1.0 / std::sqrt((d.x * d.x) / (r * r * a * a) + (d.y * d.y) / (r * r * b * b));
            worst = std::max(worst, std::fabs(r - onCurve));
        }
    }
    return worst;
}

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
};
Box BoxOf(const std::vector<Point>& points) {
    Box b;
    for (const Point& p : points) {
        b.minX = std::min(b.minX, p.x), b.minY = std::min(b.minY, p.y);
        b.maxX = std::max(b.maxX, p.x), b.maxY = std::max(b.maxY, p.y);
    }
    return b;
}

// A file of the given version and code page with one line on the named layer.
std::string OneLineOnLayer(const std::string& acadver, const std::string& codepage,
                           const std::string& layer) {
    std::string header = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + acadver + "\n";
    if (!codepage.empty()) header += "9\n$DWGCODEPAGE\n3\n" + codepage + "\n";
    return header + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n" + layer +
           "\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n";
}

// What a file may make grows from the floor with each byte, up to the bound, exactly, and never
// wraps round however large the file.
TEST(DxfReadLimits, TheBudgetGrowsWithTheFileUpToItsBound) {
    const DxfReadLimits limits;  // 200,000, 32 a byte, 4,000,000
    EXPECT_EQ(limits.budgetFor(0), 200'000u);
    EXPECT_EQ(limits.budgetFor(1000), 232'000u);
    const size_t full = (4'000'000 - 200'000) / 32;  // 118,750 bytes reach the bound exactly
    EXPECT_EQ(limits.budgetFor(full - 1), 4'000'000u - 32);
    EXPECT_EQ(limits.budgetFor(full), 4'000'000u);
    EXPECT_EQ(limits.budgetFor(full + 1), 4'000'000u);
    EXPECT_EQ(limits.budgetFor(std::numeric_limits<size_t>::max()), 4'000'000u);
    EXPECT_EQ((DxfReadLimits{5, 0, 100}.budgetFor(1'000'000'000)), 5u);
    EXPECT_EQ((DxfReadLimits{200, 32, 100}.budgetFor(10)), 100u) << "a floor above the bound";
}

// A file that makes exactly its budget is read; one that would make one more is refused at the
// reference that goes past it. Each copy of a block costs one, and each figure it holds one more.
TEST(DxfReadLimits, AFileMakingExactlyItsBudgetIsReadAndOneMoreIsRefused) {
    const std::string file =
        File("0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLINE\n10\n0\n20\n0\n11\n1\n21\n0\n0\nENDBLK\n",
             "0\nINSERT\n2\nB\n10\n0\n20\n0\n70\n5\n44\n2\n");  // 5 copies: 10 made
    for (const size_t budget : {10u, 9u}) {
        SCOPED_TRACE("budget " + std::to_string(budget));
        Drawing d;
        std::istringstream in(file);
        try {
            readDxfDrawing(in, "test.dxf", d, nullptr, DxfReadLimits{budget, 0, budget});
            EXPECT_EQ(budget, 10u) << "read";
            EXPECT_EQ(d.segments().size(), 5u);
        } catch (const FileError& e) {
            EXPECT_EQ(budget, 9u) << e.what();
            EXPECT_NE(std::string(e.what()).find("more than 9 figure elements"), std::string::npos)
                << e.what();
        }
    }
}

// A larger file may make more: 300,000 figures and copies are beyond the floor of a small file's
// budget, and within that of a file 4 KB longer.
TEST(DxfReadLimits, ALargerFileMayMakeMore) {
    const std::string block =
        "0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLINE\n10\n0\n20\n0\n11\n1\n21\n0\n0\nENDBLK\n";
    const std::string insert = "0\nINSERT\n2\nB\n10\n0\n20\n0\n70\n150000\n44\n2\n";
    try {
        Read(File(block, insert));
        ADD_FAILURE() << "a small file made 300,000";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("more than"), std::string::npos) << e.what();
    }
    std::string padding;  // comments, no longer than a line may be
    for (int k = 0; k < 5; ++k) padding += "999\n" + std::string(900, 'x') + "\n";
    EXPECT_EQ(Read(File(block, padding + insert)).segments().size(), 150'000u);
}

// The colour index table, from its rule, against the table's own colours: the named ones, the
// first and last of the hues at their five brightnesses full and pale, and the greys.
TEST(DxfColors, IndexesHaveTheTableColours) {
    const std::pair<int, int> rows[] = {
        {1, 0xFF0000},   {2, 0xFFFF00},   {7, 0xFFFFFF},   {8, 0x808080},   {9, 0xBFBFBF},
        {10, 0xFF0000},  {11, 0xFF8080},  {23, 0xA66853},  {45, 0x807040},  {88, 0x0A2600},
        {129, 0x132621}, {174, 0x000080}, {249, 0x261318}, {250, 0x545454}, {251, 0x767676},
        {254, 0xDDDDDD}, {255, 0xFFFFFF}};
    for (const auto& [index, rgb] : rows) EXPECT_EQ(indexColorRgb(index), rgb) << index;
    for (int outside : {0, 256, -1, std::numeric_limits<int>::min()})
        EXPECT_EQ(indexColorRgb(outside), -1) << outside;
}

TEST(DxfReader, NamesAreReadInTheFilesCodePageWithEscapesDecoded) {
    struct Case {
        const char* what;
        std::string file;
        std::string name;
    };
    const Case cases[] = {
        {"ANSI_949", OneLineOnLayer("AC1015", "ANSI_949", "\xBF\xDC\xB0\xFB\xBC\xB1"), "외곽선"},
        {"ANSI_1252", OneLineOnLayer("AC1009", "ANSI_1252", "Caf\xE9"), "Café"},
        {"no code page", OneLineOnLayer("AC1015", "", "Caf\xE9"), "Café"},
        {"escapes", OneLineOnLayer("AC1015", "ANSI_1252", "\\U+C678\\U+ACFD\\U+C120 1"),
         "외곽선 1"},
        {"escaped surrogates", OneLineOnLayer("AC1015", "ANSI_1252", "\\U+D83D\\U+DE00"), "😀"},
        {"broken escape", OneLineOnLayer("AC1015", "ANSI_1252", "a\\U+12"), "a\\U+12"},
        {"2004 still in its code page",
         OneLineOnLayer("AC1018", "ANSI_949", "\xBF\xDC\xB0\xFB\xBC\xB1"), "외곽선"},
        {"version in lower case", OneLineOnLayer("ac1021", "ANSI_949", "외곽선"), "외곽선"},
        {"code page in lower case",
         OneLineOnLayer("AC1015", "ansi_949", "\xBF\xDC\xB0\xFB\xBC\xB1"), "외곽선"},
        {"DOS code page", OneLineOnLayer("AC1015", "DOS850", "Caf\x82"), "Café"},
        {"UTF-8 of 2007", OneLineOnLayer("AC1021", "ANSI_1252", "외곽선"), "외곽선"},
        {"UTF-8 of 2018 whatever the code page", OneLineOnLayer("AC1032", "ANSI_949", "외곽선"),
         "외곽선"},
        {"bytes that are no UTF-8 in 2018", OneLineOnLayer("AC1032", "ANSI_1252", "Caf\xE9"),
         "Caf\uFFFD"},
        {"UTF-8 in a Latin file", OneLineOnLayer("AC1015", "ANSI_1252", "외곽선"), "외곽선"},
        {"header ended twice",
         OneLineOnLayer("AC1015\n0\nENDSEC", "ANSI_949", "\xBF\xDC\xB0\xFB\xBC\xB1"), "외곽선"},
        {"bytes a code page lacks", OneLineOnLayer("AC1015", "ANSI_949", "a\xFF"), "a\uFFFD"},
        {"byte order mark", "\xEF\xBB\xBF" + OneLineOnLayer("AC1021", "", "외곽선"), "외곽선"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Drawing d;
        std::istringstream in(c.file);
        readDxfDrawing(in, "names.dxf", d);
        ASSERT_EQ(d.segments().size(), 1u);
        const int layer = d.segments().begin()->second.layer;
        EXPECT_EQ(d.layers().at(layer).name, c.name);
    }
}

// A block (a line and an arc about its base point (10, 0)) placed moved, scaled, turned,
// seen from below, nested and repeated: each of its entities is one figure, where the
// placement puts it.
TEST(DxfReader, BlockReferencesAreExplodedWithTheirPlacement) {
    const std::string blocks =
        "0\nBLOCK\n2\nPin\n10\n10\n20\n0\n0\nLINE\n8\n0\n10\n10\n20\n0\n11\n12\n21\n0\n"
        "0\nARC\n8\nOwn\n10\n10\n20\n0\n40\n1\n50\n0\n51\n90\n0\nENDBLK\n"
        "0\nBLOCK\n2\nPAIR\n10\n0\n20\n0\n0\nINSERT\n2\npin\n10\n0\n20\n0\n0\nINSERT\n2\nPIN\n10\n0"
        "\n20"
        "\n5\n0\nENDBLK\n";
    struct Case {
        const char* what;
        std::string insert;
        Point lineEnd;    // where the line's far end (12, 0) goes
        Point arcCentre;  // where the arc's centre (10, 0) goes
        size_t segments;
    };
    const Case cases[] = {
        {"moved", "0\nINSERT\n8\nParts\n2\nPIN\n10\n100\n20\n50\n", {102, 50}, {100, 50}, 2},
        {"scaled and turned",
         "0\nINSERT\n2\nPIN\n10\n0\n20\n0\n41\n3\n42\n3\n50\n90\n",
         {0, 6},
         {0, 0},
         2},
        {"seen from below", "0\nINSERT\n2\nPIN\n10\n5\n20\n0\n230\n-1\n", {-7, 0}, {-5, 0}, 2},
        {"nested", "0\nINSERT\n2\nPair\n10\n0\n20\n100\n", {2, 105}, {0, 105}, 4},
        {"array",
         "0\nINSERT\n2\nPIN\n10\n0\n20\n0\n70\n2\n71\n3\n44\n20\n45\n30\n",
         {22, 60},
         {20, 60},
         12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Drawing d = Read(File(blocks, c.insert));
        ASSERT_EQ(d.segments().size(), c.segments);
        const Segment& line = std::prev(d.segments().end(), 2)->second;
        const Segment& arc = d.segments().rbegin()->second;
        ASSERT_EQ(line.elements.at(0).figure()->type, FigureType::Line);
        const FigureElement& a = *arc.elements.at(0).figure();
        ASSERT_EQ(a.type, FigureType::Arc);
        EXPECT_NEAR(line.elements[0].figure()->values[2], c.lineEnd.x, 1e-9);
        EXPECT_NEAR(line.elements[0].figure()->values[3], c.lineEnd.y, 1e-9);
        EXPECT_NEAR(a.values[0], c.arcCentre.x, 1e-9);
        EXPECT_NEAR(a.values[1], c.arcCentre.y, 1e-9);
        // Its ends stay on its circle, which keeps its scaled radius.
        for (int k : {2, 4})
            EXPECT_NEAR(std::hypot(a.values[k] - a.values[0], a.values[k + 1] - a.values[1]),
                        a.values[6], 1e-9);
    }
    // Layer 0 in a block is the reference's layer; other layers stay.
    const Drawing d = Read(File(blocks, cases[0].insert));
    EXPECT_EQ(d.layers().at(d.segments().begin()->second.layer).name, "Parts");
    EXPECT_EQ(d.layers().at(d.segments().rbegin()->second.layer).name, "Own");
}

// Most files colour entities by index alone: an index keeps its colour, the named ones by
// name (green is the palette's softer green), directly, through a true colour or inside a block
// whose reference gives it; index 7, drawn black or white by the background, stays by layer.
TEST(DxfReader, ColourIndexesThePaletteHoldsAreKept) {
    const std::string blocks =
        "0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLINE\n62\n0\n10\n0\n20\n0\n11\n1\n21\n0\n0\nENDBLK\n";
    const auto line = [](const std::string& colour) {
        return "0\nLINE\n" + colour + "10\n0\n20\n0\n11\n1\n21\n1\n";
    };
    const Drawing d =
        Read(File(blocks, line("62\n1\n") + line("62\n5\n") + line("62\n7\n") + line("62\n3\n") +
                              line("62\n256\n") + line("62\n6\n") + line("62\n1\n420\n255\n") +
                              "0\nINSERT\n2\nB\n62\n8\n10\n0\n20\n0\n"));
    std::vector<std::optional<int>> colours;
    for (const auto& [id, s] : d.segments()) colours.push_back(s.elements.at(0).color);
    EXPECT_EQ(colours,
              (std::vector<std::optional<int>>{
                  paletteColorOf({255, 0, 0}), paletteColorOf({0, 0, 255}), std::nullopt,
                  paletteColorOf({60, 255, 80}), std::nullopt, paletteColorOf({255, 64, 192}),
                  paletteColorOf({0, 0, 255}), paletteColorOf({128, 128, 128})}));
    EXPECT_TRUE(colours[0] && colours[1] && colours[3] && colours[5] && colours[7]);
}

// A line type the host does not know by name takes the host's line type of the same rhythm
// from the pattern the file gives it, so that a dashed line stays dashed; a dotted one has no
// such line type and stays by layer.
TEST(DxfReader, LineTypesKnownOnlyByTheirPatternKeepTheirRhythm) {
    const auto lineType = [](const std::string& name, const std::string& dashes, int count) {
        return "0\nLTYPE\n2\n" + name + "\n70\n0\n72\n65\n73\n" + std::to_string(count) +
               "\n40\n19.05\n" + dashes;
    };
    const auto line = [](const std::string& type) {
        return "0\nLINE\n6\n" + type + "\n10\n0\n20\n0\n11\n1\n21\n1\n";
    };
    // Customary names whose entries give no pattern, as some programs write them, mean the usual
    // pattern of the name: the line type of that rhythm, or of as many dashes and gaps.
    const Drawing d =
        Read("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLTYPE\n" +
             lineType("Dashed", "49\n12.7\n49\n-6.35\n", 2) +
             lineType("DOT", "49\n0\n49\n-6.35\n", 2) + lineType("DASHDOT", "", 0) +
             lineType("BORDER", "", 0) + lineType("HIDDEN", "", 0) + "0\nENDTAB\n0\nENDSEC\n" +
             File("", line("DASHED") + line("DOT") + line("CENTER") + line("DASHDOT") +
                          line("BORDER") + line("HIDDEN") + line("NOSUCH")));
    std::vector<std::optional<int>> types;
    for (const auto& [id, s] : d.segments()) types.push_back(s.elements.at(0).lineType);
    ASSERT_EQ(types.size(), 7u);
    ASSERT_TRUE(types[0].has_value());
    const LineTypeStyle& dashed = lineTypeStyle(*types[0]);
    EXPECT_EQ(dashed.pattern.size(), 2u);
    EXPECT_GT(dashed.pattern[0], dashed.pattern[1]) << "dashes longer than the gaps";
    EXPECT_EQ(types[2], lineTypeOfName("CENTER"));
    const std::pair<size_t, size_t> dashesAndGaps[] = {{1, 2}, {3, 4}, {4, 6}, {5, 2}};
    for (const auto& [row, count] : dashesAndGaps) {
        SCOPED_TRACE(row);
        ASSERT_TRUE(types[row].has_value()) << "not drawn solid";
        EXPECT_EQ(lineTypeStyle(*types[row]).pattern.size(), count);
    }
    EXPECT_EQ(types[6], std::nullopt) << "a name no program knows, without a pattern";
}

TEST(DxfReader, ReferencesThatCannotBePlacedAreCountedOrRefused) {
    DxfReadReport report;
    Read(File("", "0\nINSERT\n2\nNOWHERE\n10\n0\n20\n0\n"), &report);
    EXPECT_EQ(report.leftOut.summary(), "left out 1 entity: 1 INSERT (no such block)");
    const std::string loop =
        "0\nBLOCK\n2\nA\n10\n0\n20\n0\n0\nINSERT\n2\nB\n10\n0\n20\n0\n0\nENDBLK\n"
        "0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nINSERT\n2\nA\n10\n0\n20\n0\n0\nENDBLK\n";
    const std::string dots =
        "0\nBLOCK\n2\nD\n10\n0\n20\n0\n0\nPOINT\n10\n0\n20\n0\n0\nPOINT\n10\n1\n20\n0\n"
        "0\nENDBLK\n";
    auto array = [](const char* block) {
        return "0\nINSERT\n2\n" + std::string(block) + "\n10\n0\n20\n0\n70\n300\n71\n300\n";
    };
    const std::string nowhere =
        "0\nBLOCK\n2\nN\n10\n0\n20\n0\n0\nINSERT\n2\nNOWHERE\n10\n0\n20\n0\n"
        "0\nINSERT\n2\nNOWHERE\n10\n0\n20\n0\n0\nENDBLK\n";
    const std::pair<std::string, const char*> refused[] = {
        {File(loop, "0\nINSERT\n2\nA\n10\n0\n20\n0\n"), "contains itself"},
        // References to nothing draw nothing, but placing them is work all the same.
        {File(nowhere, "0\nINSERT\n2\nN\n10\n0\n20\n0\n70\n400\n71\n400\n"),
         "would make more than"},
        // Millions of points from a few bytes.
        {File(dots, "0\nINSERT\n2\nD\n10\n0\n20\n0\n70\n3000\n71\n3000\n44\n1\n45\n1\n"),
         "repeated 9000000 times"},
        {File(dots, "0\nINSERT\n2\nD\n10\n0\n20\n0\n70\n400\n71\n300\n44\n1\n45\n1\n"),
         "would make more than"},
        {File("0\nBLOCK\n2\nE\n10\n0\n20\n0\n0\nENDBLK\n0\nBLOCK\n2\nF\n10\n0\n20\n0\n" +
                  array("E") + "0\nENDBLK\n",
              array("F")),
         "block copies"},
    };
    for (const auto& [file, message] : refused) {
        try {
            Read(file);
            ADD_FAILURE() << message << ": accepted";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

// Ellipses, elliptical arcs and circles stretched by a reference become lines that keep within
// the tolerance of the true curve, with the curve's own extents.
TEST(DxfReader, EllipsesAreFlattenedWithinTheirTolerance) {
    struct Case {
        const char* what;
        std::string file;
        Point centre;
        double a, b;  // semi-axes along x and y
        Box box;
    };
    const Case cases[] = {
        {"whole",
         File("",
              "0\nELLIPSE\n10\n5\n20\n5\n11\n40\n21\n0\n40\n0.25\n41\n0\n42\n6.283185307179586\n"),
         {5, 5},
         40,
         10,
         {-35, -5, 45, 15}},
        {"upper half",
         File("",
              "0\nELLIPSE\n10\n0\n20\n0\n11\n0\n21\n-2\n40\n0.5\n41\n1.5707963267948966\n42\n4."
              "71238898038469\n"),
         {0, 0},
         1,
         2,
         {-1, 0, 1, 2}},
        {"stretched circle",
         File("0\nBLOCK\n2\nC\n10\n0\n20\n0\n0\nCIRCLE\n10\n0\n20\n0\n40\n1\n0\nENDBLK\n",
              "0\nINSERT\n2\nC\n10\n0\n20\n0\n41\n300\n42\n100\n"),
         {0, 0},
         300,
         100,
         {-300, -100, 300, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Drawing d = Read(c.file);
        ASSERT_EQ(d.segments().size(), 1u);
        const Segment& s = d.segments().begin()->second;
        const double tolerance = std::min(0.01, 1e-4 * 2 * std::max(c.a, c.b));
        EXPECT_LE(LargestStrayFromEllipse(s, c.centre, c.a, c.b), tolerance);
        const Box b = BoxOf(PointsOf(s));
        EXPECT_NEAR(b.minX, c.box.minX, 1e-9);
        EXPECT_NEAR(b.minY, c.box.minY, 1e-9);
        EXPECT_NEAR(b.maxX, c.box.maxX, 1e-9);
        EXPECT_NEAR(b.maxY, c.box.maxY, 1e-9);
    }
}

// A rational quadratic spline of a quarter circle of radius 100 (weights 1, 1/sqrt 2, 1), and
// a spline through fit points, which it passes.
TEST(DxfReader, SplinesAreFlattenedWithinTheirTolerance) {
    const std::string quarter =
        "0\nSPLINE\n70\n12\n71\n2\n72\n6\n73\n3\n40\n0\n40\n0\n40\n0\n40\n1\n40\n1\n40\n1\n"
        "10\n100\n20\n0\n30\n0\n41\n1\n10\n100\n20\n100\n30\n0\n41\n0.7071067811865476\n"
        "10\n0\n20\n100\n30\n0\n41\n1\n";
    const Drawing d = Read(File("", quarter));
    ASSERT_EQ(d.segments().size(), 1u);
    const Segment& s = d.segments().begin()->second;
    EXPECT_GT(s.elements.size(), 10u);
    EXPECT_LE(LargestStrayFromEllipse(s, {0, 0}, 100, 100), 0.01);
    const Box b = BoxOf(PointsOf(s));
    EXPECT_NEAR(b.maxX, 100, 1e-9);
    EXPECT_NEAR(b.maxY, 100, 1e-9);

    const std::vector<Point> fit = {{0, 0}, {10, 5}, {20, -5}, {30, 0}};
    std::string through = "0\nSPLINE\n70\n8\n71\n3\n72\n0\n73\n0\n74\n4\n";
    for (const Point& p : fit)
        through += "11\n" + std::to_string(p.x) + "\n21\n" + std::to_string(p.y) + "\n31\n0\n";
    const Drawing f = Read(File("", through));
    ASSERT_EQ(f.segments().size(), 1u);
    const std::vector<Point> points = PointsOf(f.segments().begin()->second);
    for (const Point& p : fit) {
        double nearest = 1e300;
        for (const Point& q : points) nearest = std::min(nearest, distance(p, q));
        EXPECT_LT(nearest, 1e-9) << p.x << ", " << p.y;
    }
}

// Angles and parameters are directions: any number of whole turns away, however large the
// number, is the same direction, read at once. A value whose meaning is lost in its size still
// reads as some arc on the same circle; a curve that would need more pieces than any drawing
// shows is drawn coarser; a spline of a degree beyond reason is refused.
TEST(DxfReader, ExtremeAnglesAndParametersReadAsDirections) {
    const auto arc = [](const std::string& a0, const std::string& a1, const char* extra = "") {
        return "0\nARC\n10\n0\n20\n0\n40\n5\n50\n" + a0 + "\n51\n" + a1 + "\n" + extra;
    };
    const auto ellipse = [](const char* t0, const char* t1, const char* extra = "") {
        return std::string("0\nELLIPSE\n10\n0\n20\n0\n11\n10\n21\n0\n40\n0.5\n41\n") + t0 +
               "\n42\n" + t1 + "\n" + extra;
    };
    const char* below = "210\n0\n220\n0\n230\n-1\n";
    const std::string block = "0\nBLOCK\n2\nB\n10\n0\n20\n0\n" + arc("4e61", "10") +
                              ellipse("1e60", "-1e60") + "0\nENDBLK\n";
    // 360 times 2^60 is exact: the direction 0.
    const std::string turns = "415051741658464911360";
    const std::string place = "0\nINSERT\n2\nB\n10\n0\n20\n0\n50\n" + turns + "\n";

    const Drawing exact = Read(File("", arc(turns, "90") + arc("-" + turns, "90", below)));
    for (const auto& [id, s] : exact.segments()) {
        const FigureElement& f = *s.elements.at(0).figure();
        ASSERT_EQ(f.type, FigureType::Arc);
        const Point from{f.values[2], f.values[3]}, to{f.values[4], f.values[5]};
        // Seen from below, the quarter from 0 to 90 degrees is the one from 90 to 180.
        const bool mirrored = id != exact.segments().begin()->first;
        EXPECT_LT(distance(from, mirrored ? Point{0, 5} : Point{5, 0}), 1e-9);
        EXPECT_LT(distance(to, mirrored ? Point{-5, 0} : Point{0, 5}), 1e-9);
    }

    const std::string family[] = {
        File("", arc("4e61", "10")),
        File("", arc("0", "-4e61", below)),
        File("", arc("1e99", "-1e99")),
        File("", ellipse("1e60", "-1e60")),
        File("", ellipse("0", "1e30")),
        File("", ellipse("-1e40", "3", below)),
        File(block, place),
        File(block, place + below),
    };
    for (const std::string& file : family) {
        const Drawing d = Read(file);
        ASSERT_FALSE(d.segments().empty());
        for (const auto& [id, s] : d.segments()) {
            const std::vector<Point> points = PointsOf(s);
            const Point centre = points.front();  // an arc's; an ellipse's points lie around it
            if (s.elements.at(0).figure()->type == FigureType::Arc) {
                const FigureElement& f = *s.elements.at(0).figure();
                EXPECT_NEAR(distance({f.values[2], f.values[3]}, centre), 5, 1e-9);
                EXPECT_NEAR(distance({f.values[4], f.values[5]}, centre), 5, 1e-9);
            } else {
                EXPECT_LE(LargestStrayFromEllipse(s, {0, 0}, 10, 5), 0.01);
            }
        }
    }

    // Ends a hair apart are a hair of an ellipse, not a whole one.
    const Drawing sliver = Read(File("", ellipse("1", "1.0000000005")));
    ASSERT_EQ(sliver.segments().size(), 1u);
    EXPECT_FALSE(sliver.segments().begin()->second.closed);

    // A spline's knots may span any range: its points stay within its control points' box.
    std::string farKnots = "0\nSPLINE\n70\n8\n71\n2\n72\n6\n73\n3\n";
    for (const char* k : {"1e89", "1e89", "1e89", "1e90", "1e90", "1e90"})
        farKnots += "40\n" + std::string(k) + "\n";
    farKnots += "10\n0\n20\n0\n30\n0\n10\n10\n20\n10\n30\n0\n10\n20\n20\n0\n30\n0\n";
    for (const std::string& file :
         {File("", farKnots), File("0\nBLOCK\n2\nS\n10\n0\n20\n0\n" + farKnots + "0\nENDBLK\n",
                                   "0\nINSERT\n2\nS\n10\n0\n20\n0\n50\n" + turns + "\n" + below)}) {
        const Drawing d = Read(file);
        ASSERT_EQ(d.segments().size(), 1u);
        const Box b = BoxOf(PointsOf(d.segments().begin()->second));
        EXPECT_GE(b.minY, -1e-9);
        EXPECT_LE(b.maxY, 10 + 1e-9);
        EXPECT_LE(std::max(std::fabs(b.minX), std::fabs(b.maxX)), 20 + 1e-9);
    }

    // An ellipse larger than any drawing would take more pieces at the tolerance than any curve
    // may: it is drawn with a hundred thousand.
    const Drawing huge = Read(File("", "0\nELLIPSE\n10\n0\n20\n0\n11\n1e99\n21\n0\n40\n0.5\n"));
    ASSERT_EQ(huge.segments().size(), 1u);
    EXPECT_LT(huge.segments().begin()->second.elements.size(), 100'100u);  // and its extremes

    std::string steep = "0\nSPLINE\n70\n8\n71\n1000\n";
    for (int k = 0; k < 2002; ++k) steep += "40\n" + std::to_string(k < 1001 ? 0 : 1) + "\n";
    for (int k = 0; k < 1001; ++k) steep += "10\n" + std::to_string(k) + "\n20\n0\n30\n0\n";
    try {
        Read(File("", steep));
        ADD_FAILURE() << "a spline of degree 1000 was read";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("degree 1000"), std::string::npos) << e.what();
    }
}

// A stream that hands its text over a few bytes at a time and cannot seek, as a pipe does.
class PipeBuffer : public std::streambuf {
public:
    explicit PipeBuffer(std::string text) : text_(std::move(text)) {}

private:
    int_type underflow() override {
        if (at_ >= text_.size()) return traits_type::eof();
        const size_t n = std::min<size_t>(7, text_.size() - at_);
        setg(text_.data() + at_, text_.data() + at_, text_.data() + at_ + n);
        at_ += n;
        return traits_type::to_int_type(*gptr());
    }
    std::string text_;
    size_t at_ = 0;
};

// The file is read from where the stream stands to its end, whether the stream can tell its
// size or not.
TEST(DxfReader, StreamsAreReadFromWhereTheyStandToTheirEnd) {
    std::string polyline = "0\nLWPOLYLINE\n90\n400\n70\n1\n";
    for (int k = 0; k < 400; ++k)
        polyline +=
            "10\n" + std::to_string(k) + ".25\n20\n" + std::to_string(k % 7) + "\n42\n0.5\n";
    const std::string file = File("", polyline + "0\nCIRCLE\n10\n1\n20\n2\n40\n3\n");
    const Drawing whole = Read(file);
    ASSERT_EQ(whole.segments().size(), 2u);
    ASSERT_EQ(whole.segments().begin()->second.elements.size(), 400u);

    PipeBuffer pipe(file);
    std::istream piped(&pipe);
    std::istringstream afterJunk("junk\n" + file);
    afterJunk.ignore(5);
    for (std::istream* in : {&piped, static_cast<std::istream*>(&afterJunk)}) {
        Drawing d;
        readDxfDrawing(*in, "test.dxf", d);
        ASSERT_EQ(d.segments().size(), whole.segments().size());
        for (auto a = d.segments().begin(), b = whole.segments().begin(); a != d.segments().end();
             ++a, ++b) {
            ASSERT_EQ(a->second.elements.size(), b->second.elements.size());
            for (size_t k = 0; k < a->second.elements.size(); ++k)
                for (int v = 0; v < 10; ++v)
                    ASSERT_EQ(a->second.elements[k].figure()->values[v],
                              b->second.elements[k].figure()->values[v]);
        }
    }
}

// Numbers in every form a writer may give them are read as dxflib reads them, and whatever is
// no number where one belongs is refused at its line, however close it comes to one.
// Each group code takes the kind of value the DXF reference gives its range: at the first and
// last code of every range, and the codes beside it, a word is refused where a number belongs and
// a fraction where a whole number does.
TEST(DxfReader, GroupCodesTakeTheValuesOfTheirRange) {
    const char* codes =
        "8T 10R 59R 60I 99I 100T 109T 110R 149R 150T 159T 160I 179I 180T 209T 210R 239R 240T 269T "
        "270I 299I 300T 369T 370I 389I 390T 399T 400I 409I 410T 419T 420I 429I 430T 439T 440I "
        "459I 460R 469R 470T 999T 1000T 1009T 1010R 1059R 1060I 1071I";
    std::istringstream list(codes);
    std::string item;
    while (list >> item) {
        const std::string code = item.substr(0, item.size() - 1);
        const char kind = item.back();
        for (const std::string value : {"x", "1.5"}) {
            SCOPED_TRACE("group " + code + " \"" + value + "\"");
            const std::string file =
                File("", "0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n" + code + "\n" + value + "\n");
            const bool taken = kind == 'T' || (kind == 'R' && value == "1.5");
            try {
                DxfReadReport report;
                // Drawn, or counted where the value tilts it out of the plane (group 210).
                EXPECT_EQ(Read(file, &report).segments().size() + report.leftOut.total(), 1u);
                EXPECT_TRUE(taken) << "accepted";
            } catch (const FileError& e) {
                EXPECT_FALSE(taken) << e.what();
                EXPECT_EQ(e.line(), 22) << e.what();  // the value's line
            }
        }
    }
    try {
        Read(File("", "0\nLINE\n1072\n1\n"));
        ADD_FAILURE() << "group code 1072 accepted";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("group code 1072 does not exist"), std::string::npos)
            << e.what();
    }
}

TEST(DxfReader, NumbersAreTakenOrRefusedWhateverTheirForm) {
    auto line = [](const std::string& x) {
        return File("", "0\nLINE\n10\n" + x + "\n20\n0\n11\n1\n21\n1\n");
    };
    const std::pair<std::string, double> taken[] = {
        {"12.5", 12.5},
        {" 12.5\t", 12.5},
        {"+3", 3},
        {"-.5", -0.5},
        {"5.", 5},
        {"007", 7},
        {"12.5\r", 12.5},
        {"2.5 \r\r", 2.5},
        {"1e2", 100},
        {"-2.5E-1", -0.25},
        {std::string(90, '1'), 1.111e89},
        {"0." + std::string(280, '0') + "5", 5e-281},
    };
    for (const auto& [text, value] : taken) {
        SCOPED_TRACE(text);
        const Drawing d = Read(line(text));
        ASSERT_EQ(d.segments().size(), 1u);
        EXPECT_NEAR(d.segments().begin()->second.elements.at(0).figure()->values[0], value,
                    std::fabs(value) * 1e-3);
    }
    const char* refused[] = {"1e",  "1e+",  "1.2.3", "--5", "-+5", "- 5",  "5 \r ",
                             "1 2", "0x10", ".",     "-",   "+",   "5\r5", "+-4"};
    std::vector<std::string> all(std::begin(refused), std::end(refused));
    all.push_back("0." + std::string(400, '0') + "1");
    all.push_back("1" + std::string(400, '0'));
    for (const std::string& text : all) {
        try {
            Read(line(text));
            ADD_FAILURE() << text << ": accepted";
        } catch (const FileError& e) {
            EXPECT_EQ(e.line(), 14) << text << ": " << e.what();
        }
    }
    // A code or a value past dxflib's line, even of blanks round a plain number, is refused.
    for (const std::string& text :
         {line("1" + std::string(1001, ' ')), File("", std::string(1001, ' ') + "0\nLINE\n")}) {
        try {
            Read(text);
            ADD_FAILURE() << "a long line accepted";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("longer than"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace vel::test

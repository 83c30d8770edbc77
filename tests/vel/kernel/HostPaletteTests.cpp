// HostPaletteTest.cpp - the host's colour numbers and line-type numbers.
#include <gtest/gtest.h>

#include <set>

#include "vel/kernel/HostPalette.h"

namespace vel {
namespace {

TEST(HostPalette, ColourNumbersAreTheMainColoursInOrder) {
    EXPECT_EQ(paletteColor(0), (Rgb{255, 255, 255}));
    EXPECT_EQ(paletteColor(1), (Rgb{0, 192, 255}));
    EXPECT_EQ(paletteColor(5), (Rgb{255, 0, 0}));
    EXPECT_EQ(paletteColor(15), (Rgb{128, 128, 0}));
    EXPECT_EQ(paletteColorName(0), "MAINCOLOR01");
    EXPECT_EQ(paletteColorName(15), "MAINCOLOR16");
    std::set<std::string> names;
    for (int n = 0; n < kPaletteColorCount; ++n) {
        names.insert(paletteColorName(n));
        EXPECT_EQ(paletteColorOf(paletteColor(n)), n) << "colours are distinct";
        EXPECT_EQ(rgbOfTrueColor(trueColorValue(paletteColor(n))), paletteColor(n));
    }
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(hexColor(paletteColor(1)), "#00c0ff");
    EXPECT_EQ(trueColorValue(paletteColor(5)), 0xFF0000);
}

TEST(HostPalette, UnknownColoursDrawWhiteAndNearColoursAreNotTaken) {
    for (int n : {-1, 16, 255, 1 << 30}) {
        EXPECT_FALSE(isPaletteColor(n));
        EXPECT_EQ(paletteColor(n), (Rgb{255, 255, 255}));
        EXPECT_EQ(paletteColorName(n), "");
    }
    EXPECT_FALSE(paletteColorOf(Rgb{254, 0, 0}).has_value());
}

TEST(HostPalette, LineTypesHaveTheirMenuNamesAndDashes) {
    const std::vector<std::pair<int, const char*>> names = {
        {0, "LINETYPE01"}, {4, "LINETYPE02"}, {5, "LINETYPE03"}, {6, "LINETYPE04"},
        {1, "LINETYPE05"}, {2, "LINETYPE06"}, {3, "LINETYPE07"}, {7, "LINETYPE08"},
        {8, "LINETYPE09"}, {9, "LINETYPE10"}};
    for (const auto& [number, name] : names) {
        EXPECT_EQ(lineTypeStyle(number).name, name);
        EXPECT_EQ(lineTypeStyle(number).number, number);
        EXPECT_EQ(lineTypeOfName(name), number);
        // Dash and gap alternate, so every pattern has an even length and fits the picture.
        EXPECT_EQ(lineTypeStyle(number).pattern.size() % 2, 0u);
        EXPECT_LE(lineTypeStyle(number).patternLength(), 62.0);
    }
    EXPECT_TRUE(lineTypeStyle(0).continuous());
    const auto p3 = lineTypeStyle(3).pattern;
    EXPECT_EQ(std::vector<double>(p3.begin(), p3.end()), (std::vector<double>{11, 2, 3, 2, 3, 2}));
    EXPECT_EQ(lineTypeStyle(9).patternLength(), 47.0);
    EXPECT_EQ(lineTypeOfName("linetype07"), 3);
    EXPECT_FALSE(lineTypeOfName("DASHED").has_value());
    EXPECT_EQ(knownLineTypes().size(), 10u);
}

TEST(HostPalette, UnknownLineTypesDrawContinuous) {
    for (int n : {-1, 10, 99}) {
        EXPECT_FALSE(isKnownLineType(n));
        EXPECT_TRUE(lineTypeStyle(n).continuous());
        EXPECT_EQ(lineTypeStyle(n).number, 0);
    }
}

}  // namespace
}  // namespace vel

// PaletteAgreementTests.cpp - the plug-in's palette against the host's, entry by entry: each
// swatch paints the colour the host draws for the number the plug-in hands it, and each line-type
// picture shows the dashes the host draws for its number. Both sides keep their own copy of these
// tables; this is what keeps the copies the same.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "settings/Palette.h"
#include "ui/qt/QtDialogs.h"
#include "vel/kernel/HostPalette.h"

namespace {

std::string Ascii(const std::u16string& name) {
    return std::string(name.begin(), name.end());
}

// One row per palette entry, named after it: the table's slots 1 to Count.
template <typename Table>
std::vector<std::u16string> EntryNames(const Table& table) {
    std::vector<std::u16string> names;
    for (int32_t slot = 1; slot <= table.Count; ++slot) names.push_back(table.Slots[slot].Name);
    return names;
}

std::string RowName(const testing::TestParamInfo<std::u16string>& info) {
    return Ascii(info.param);
}

vel::Rgb SwatchRgb(const std::u16string& name) {
    const ColorRgb swatch = ResolveColorRgb(name);
    return {static_cast<uint8_t>(swatch.red), static_cast<uint8_t>(swatch.green),
            static_cast<uint8_t>(swatch.blue)};
}

class PaletteColour : public testing::TestWithParam<std::u16string> {};

TEST_P(PaletteColour, SwatchPaintsTheColourTheHostDrawsForItsNumber) {
    const std::u16string& name = GetParam();
    const int32_t number = ResolveColorNumber(name);
    ASSERT_TRUE(vel::isPaletteColor(number))
        << Ascii(name) << " hands the host colour " << number << ", which it does not have";
    EXPECT_EQ(vel::paletteColorName(number), Ascii(name)) << "the host's name of colour " << number;
    EXPECT_EQ(vel::hexColor(SwatchRgb(name)), vel::hexColor(vel::paletteColor(number)))
        << Ascii(name) << " (host colour " << number << "): the swatch above, the host below";
}

INSTANTIATE_TEST_SUITE_P(PaletteAgreement, PaletteColour,
                         testing::ValuesIn(EntryNames(PaletteColors())), RowName);

// The pictures are 62 by 23 pixels; the pattern runs along row 11 from x = 2 over 58 pixels. The
// host measures its dash patterns in pixels of the same picture, so the two agree pixel for pixel.
constexpr int kBandLeft = 2;
constexpr int kBandWidth = 58;
constexpr int kBandRow = 11;

// Row 11 of the plug-in's picture, '#' for a white pixel, '.' for any other.
std::string PictureRow(const std::u16string& name) {
    const QImage image = LoadPluginBitmap(LineTypePictureId(name));
    std::string row;
    for (int x = 0; x < image.width(); ++x)
        row += image.pixelColor(x, kBandRow) == QColor(Qt::white) ? '#' : '.';
    return row;
}

// The same row as the host's pattern for the line type draws it, dash first at the band's left.
std::string HostRow(const vel::LineTypeStyle& style) {
    std::string row(kBandLeft * 2 + kBandWidth, '.');
    const double period = style.patternLength();
    for (int i = 0; i < kBandWidth; ++i) {
        bool dash = true;
        if (!style.continuous()) {
            double along = std::fmod(i + 0.5, period);
            size_t k = 0;
            while (k + 1 < style.pattern.size() && along >= style.pattern[k])
                along -= style.pattern[k++];
            dash = k % 2 == 0;
        }
        if (dash) row[kBandLeft + i] = '#';
    }
    return row;
}

class PaletteLineType : public testing::TestWithParam<std::u16string> {};

TEST_P(PaletteLineType, PictureShowsTheDashesTheHostDrawsForItsNumber) {
    const std::u16string& name = GetParam();
    const int32_t number = ResolveLineTypeNumber(name);
    ASSERT_TRUE(vel::isKnownLineType(number))
        << Ascii(name) << " hands the host line type " << number << ", which it does not have";
    const vel::LineTypeStyle& host = vel::lineTypeStyle(number);
    EXPECT_EQ(host.name, Ascii(name)) << "the host's name of line type " << number;
    EXPECT_EQ(PictureRow(name), HostRow(host))
        << Ascii(name) << " (host line type " << number
        << "): the plug-in's picture above, the host's dashes below";
}

INSTANTIATE_TEST_SUITE_P(PaletteAgreement, PaletteLineType,
                         testing::ValuesIn(EntryNames(PaletteLineTypes())), RowName);

// Every host number is handed out by exactly one entry, so no host colour or line type is out of
// the plug-in's reach and no two entries draw alike.
TEST(PaletteAgreement, EntriesHandOutEveryHostNumberOnce) {
    std::set<int32_t> colours;
    for (const std::u16string& name : EntryNames(PaletteColors()))
        EXPECT_TRUE(colours.insert(ResolveColorNumber(name)).second) << Ascii(name);
    EXPECT_EQ(static_cast<int>(colours.size()), vel::kPaletteColorCount);

    std::set<int32_t> lineTypes;
    for (const std::u16string& name : EntryNames(PaletteLineTypes()))
        EXPECT_TRUE(lineTypes.insert(ResolveLineTypeNumber(name)).second) << Ascii(name);
    EXPECT_EQ(lineTypes,
              std::set<int32_t>(vel::knownLineTypes().begin(), vel::knownLineTypes().end()));
}

}  // namespace

// HostPalette.h - what the host's colour numbers and line-type numbers look
// like: the RGB of each colour, the name and dash pattern of each line type.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vel {

struct Rgb {
    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;
    friend bool operator==(Rgb, Rgb) = default;
};

// Colour numbers 0..15 are the host's main colours; anything else draws white.
inline constexpr int kPaletteColorCount = 16;

bool isPaletteColor(int number);
Rgb paletteColor(int number);
// "MAINCOLOR01" for colour 0 ... "MAINCOLOR16" for colour 15; empty when unknown.
std::string paletteColorName(int number);
// The colour number whose RGB is exactly this, if any.
std::optional<int> paletteColorOf(Rgb rgb);
// The colour number whose RGB lies nearest this (the lowest of equally near ones).
int nearestPaletteColor(Rgb rgb);
// 0xRRGGBB, the form of a DXF true colour.
std::int32_t trueColorValue(Rgb rgb);
Rgb rgbOfTrueColor(std::int32_t value);
// "#rrggbb".
std::string hexColor(Rgb rgb);

// Dash patterns are measured in pixels of the host's 62-pixel line-type picture;
// files draw one such pixel as this many drawing units.
inline constexpr double kLineTypeUnitsPerPixel = 0.5;

struct LineTypeStyle {
    int number = 0;
    std::string_view name;            // "LINETYPE01" ...
    std::span<const double> pattern;  // dash, gap, dash, gap ... in pixels; empty: continuous
    bool continuous() const { return pattern.empty(); }
    double patternLength() const;  // in pixels
};

bool isKnownLineType(int number);
// Unknown numbers draw continuous (the style of number 0).
const LineTypeStyle& lineTypeStyle(int number);
// The line-type number of a palette name or of its customary name, ignoring case.
std::optional<int> lineTypeOfName(std::string_view name);
// The name that programs which draw line types by name alone know for a look
// like this line type's ("DIVIDE2"); empty when no customary line type is close.
// Each is given to one line type only, so it names that number when read back.
std::string_view customaryLineTypeName(int number);
// The line type with the rhythm of a pattern given in drawing units (dashes positive, gaps
// negative, as files give them) whose period is nearest; none when no line type has it,
// so that a dashed line read stays dashed.
std::optional<int> lineTypeOfPattern(std::span<const double> pattern);
// The line type with the rhythm of a customary line type's usual pattern ("CENTER", "HIDDEN2"),
// for a file that names one without giving its pattern; none for other names, or when no line
// type has that rhythm.
std::optional<int> lineTypeOfCustomaryName(std::string_view name);
// The known line-type numbers in ascending order.
std::span<const int> knownLineTypes();

}  // namespace vel

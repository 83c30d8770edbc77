// HostPalette.cpp - the host's colour table and line-type table.
#include "vel/kernel/HostPalette.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <numeric>

namespace vel {

namespace {

constexpr std::array<Rgb, kPaletteColorCount> kColors{{
    {255, 255, 255},
    {0, 192, 255},
    {60, 255, 80},
    {255, 64, 192},
    {224, 224, 0},
    {255, 0, 0},
    {255, 128, 128},
    {0, 128, 255},
    {255, 255, 0},
    {128, 128, 128},
    {0, 255, 255},
    {0, 0, 255},
    {128, 0, 255},
    {128, 128, 255},
    {128, 0, 128},
    {128, 128, 0},
}};

constexpr double kDash02[] = {3, 2};
constexpr double kDash03[] = {6, 3, 3, 3};
constexpr double kDash04[] = {6, 2, 3, 2, 3, 2};
constexpr double kDash05[] = {6, 4};
constexpr double kDash06[] = {11, 3, 4, 3};
constexpr double kDash07[] = {11, 2, 3, 2, 3, 2};
constexpr double kDash08[] = {10, 7};
constexpr double kDash09[] = {26, 5, 6, 5};
constexpr double kDash10[] = {23, 4, 6, 4, 6, 4};

// Indexed by line-type number; the names follow the order of the host's menu,
// which is not the numeric order.
const std::array<LineTypeStyle, 10> kLineTypes{{
    {0, "LINETYPE01", {}},
    {1, "LINETYPE05", kDash05},
    {2, "LINETYPE06", kDash06},
    {3, "LINETYPE07", kDash07},
    {4, "LINETYPE02", kDash02},
    {5, "LINETYPE03", kDash03},
    {6, "LINETYPE04", kDash04},
    {7, "LINETYPE08", kDash08},
    {8, "LINETYPE09", kDash09},
    {9, "LINETYPE10", kDash10},
}};

constexpr std::array<int, 10> kKnownLineTypes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool isPaletteColor(int number) {
    return number >= 0 && number < kPaletteColorCount;
}

Rgb paletteColor(int number) {
    return isPaletteColor(number) ? kColors[number] : Rgb{};
}

std::string paletteColorName(int number) {
    if (!isPaletteColor(number)) return {};
    const int n = number + 1;
    return std::string("MAINCOLOR") + char('0' + n / 10) + char('0' + n % 10);
}

std::optional<int> paletteColorOf(Rgb rgb) {
    for (int n = 0; n < kPaletteColorCount; ++n)
        if (kColors[n] == rgb) return n;
    return std::nullopt;
}

std::int32_t trueColorValue(Rgb rgb) {
    return (rgb.r << 16) | (rgb.g << 8) | rgb.b;
}

Rgb rgbOfTrueColor(std::int32_t value) {
    return {static_cast<std::uint8_t>((value >> 16) & 0xFF),
            static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>(value & 0xFF)};
}

std::string hexColor(Rgb rgb) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    return buf;
}

double LineTypeStyle::patternLength() const {
    return std::accumulate(pattern.begin(), pattern.end(), 0.0);
}

bool isKnownLineType(int number) {
    return number >= 0 && number < static_cast<int>(kLineTypes.size());
}

const LineTypeStyle& lineTypeStyle(int number) {
    return kLineTypes[isKnownLineType(number) ? number : 0];
}

std::optional<int> lineTypeOfName(std::string_view name) {
    for (const LineTypeStyle& style : kLineTypes)
        if (equalsIgnoringCase(style.name, name)) return style.number;
    return std::nullopt;
}

std::span<const int> knownLineTypes() {
    return kKnownLineTypes;
}

}  // namespace vel

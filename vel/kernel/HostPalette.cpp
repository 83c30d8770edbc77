// HostPalette.cpp - the host's colour table and line-type table.
#include "vel/kernel/HostPalette.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

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

// The line types that programs drawing by name alone know, with their usual
// patterns in millimetres (dash positive, gap negative, 0 a dot), in the order
// in which readers most widely know them: of two equally close, the earlier wins.
struct CustomaryLineType {
    std::string name;
    std::vector<double> pattern;
};

const std::vector<CustomaryLineType>& customaryLineTypes() {
    static const std::vector<CustomaryLineType> kTypes = [] {
        struct Family {
            std::string_view name;
            std::vector<double> inches;  // the base pattern; "2" is half of it, "X2" twice
        };
        const std::vector<Family> families = {
            {"DASHED", {0.5, -0.25}},
            {"HIDDEN", {0.25, -0.125}},
            {"CENTER", {1.25, -0.25, 0.25, -0.25}},
            {"DASHDOT", {0.5, -0.25, 0.0, -0.25}},
            {"DIVIDE", {0.5, -0.25, 0.0, -0.25, 0.0, -0.25}},
            {"BORDER", {0.5, -0.25, 0.5, -0.25, 0.0, -0.25}},
            {"DOT", {0.0, -0.25}},
            {"PHANTOM", {1.25, -0.25, 0.25, -0.25, 0.25, -0.25}},
        };
        constexpr double kMillimetresPerInch = 25.4;
        std::vector<CustomaryLineType> types;
        for (const Family& f : families) {
            for (const auto& [suffix, scale] :
                 {std::pair{"", 1.0}, std::pair{"2", 0.5}, std::pair{"X2", 2.0}}) {
                CustomaryLineType t{std::string(f.name) + suffix, {}};
                for (double v : f.inches) t.pattern.push_back(v * scale * kMillimetresPerInch);
                types.push_back(std::move(t));
            }
        }
        // CENTER2 is not half of CENTER: its long dash is longer than half.
        for (CustomaryLineType& t : types)
            if (t.name == "CENTER2") t.pattern = {19.05, -3.175, 3.175, -3.175};
        return types;
    }();
    return kTypes;
}

// A pattern matches when, both scaled to the same period, each dash and gap
// differs by at most this share of the period: near enough that a reader
// drawing the customary pattern shows the same rhythm of long and short.
constexpr double kPatternTolerance = 0.14;

bool samePatternShape(std::span<const double> pixels, std::span<const double> customary) {
    if (pixels.size() != customary.size()) return false;
    double ours = 0.0, theirs = 0.0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        ours += pixels[i];
        theirs += std::fabs(customary[i]);
    }
    for (size_t i = 0; i < pixels.size(); ++i)
        if (std::fabs(pixels[i] / ours - std::fabs(customary[i]) / theirs) > kPatternTolerance)
            return false;
    return true;
}

double period(std::span<const double> pattern) {
    double sum = 0.0;
    for (double v : pattern) sum += std::fabs(v);
    return sum;
}

// Each line type in number order takes the matching customary name whose period
// is nearest its own (by ratio; drawing units taken as millimetres), passing
// over names already taken, so that every name reads back as one number.
const std::array<std::string_view, 10>& customaryNames() {
    static const std::array<std::string_view, 10> kNames = [] {
        std::array<std::string_view, 10> names{};
        for (size_t n = 0; n < kLineTypes.size(); ++n) {
            const LineTypeStyle& style = kLineTypes[n];
            if (style.continuous()) continue;
            const double ours = style.patternLength() * kLineTypeUnitsPerPixel;
            double best = 0.0;
            for (const CustomaryLineType& t : customaryLineTypes()) {
                if (!samePatternShape(style.pattern, t.pattern) ||
                    std::find(names.begin(), names.end(), t.name) != names.end())
                    continue;
                const double off = std::fabs(std::log(period(t.pattern) / ours));
                if (names[n].empty() || off < best) {
                    names[n] = t.name;
                    best = off;
                }
            }
        }
        return names;
    }();
    return kNames;
}

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

int nearestPaletteColor(Rgb rgb) {
    const auto distance = [rgb](Rgb c) {
        const int r = c.r - rgb.r, g = c.g - rgb.g, b = c.b - rgb.b;
        return r * r + g * g + b * b;
    };
    int best = 0;
    for (int n = 1; n < kPaletteColorCount; ++n)
        if (distance(kColors[n]) < distance(kColors[best])) best = n;
    return best;
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
    for (const LineTypeStyle& style : kLineTypes)
        if (!name.empty() && equalsIgnoringCase(customaryLineTypeName(style.number), name))
            return style.number;
    return std::nullopt;
}

std::optional<int> lineTypeOfCustomaryName(std::string_view name) {
    const auto customary =
        std::find_if(customaryLineTypes().begin(), customaryLineTypes().end(),
                     [&](const CustomaryLineType& t) { return equalsIgnoringCase(t.name, name); });
    if (customary == customaryLineTypes().end()) return std::nullopt;
    if (const std::optional<int> same = lineTypeOfPattern(customary->pattern)) return same;
    // No line type has the rhythm: the one of as many dashes and gaps whose shares of the period
    // differ least (a dot of the name becomes a short dash).
    const std::vector<double>& theirs = customary->pattern;
    std::optional<int> best;
    double bestOff = 0.0;
    for (const LineTypeStyle& style : kLineTypes) {
        if (style.continuous() || style.pattern.size() != theirs.size()) continue;
        double off = 0.0;
        for (size_t i = 0; i < theirs.size(); ++i)
            off += std::fabs(style.pattern[i] / style.patternLength() -
                             std::fabs(theirs[i]) / period(theirs));
        if (!best || off < bestOff) best = style.number, bestOff = off;
    }
    return best;
}

std::optional<int> lineTypeOfPattern(std::span<const double> pattern) {
    if (!std::all_of(pattern.begin(), pattern.end(), [](double v) { return std::isfinite(v); }))
        return std::nullopt;
    const double theirs = period(pattern);
    if (!(theirs > 0.0)) return std::nullopt;
    std::optional<int> best;
    double bestOff = 0.0;
    for (const LineTypeStyle& style : kLineTypes) {
        if (style.continuous() || !samePatternShape(style.pattern, pattern)) continue;
        const double off =
            std::fabs(std::log(theirs / (style.patternLength() * kLineTypeUnitsPerPixel)));
        if (!best || off < bestOff) {
            best = style.number;
            bestOff = off;
        }
    }
    return best;
}

std::string_view customaryLineTypeName(int number) {
    return isKnownLineType(number) ? customaryNames()[number] : std::string_view();
}

std::span<const int> knownLineTypes() {
    return kKnownLineTypes;
}

}  // namespace vel

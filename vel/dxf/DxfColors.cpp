// DxfColors.cpp - the colour index table, built from its rule: nine named colours, then 24 hues
// 15 degrees apart, each at five brightnesses, full and pale; then six greys.
#include "vel/dxf/DxfColors.h"

#include <array>
#include <cmath>

namespace vel {

namespace {

// The table's channels are fractions of 255, rounded to the nearest.
int channel(double fraction) {
    return static_cast<int>(std::lround(fraction * 255.0));
}

int rgbOf(double r, double g, double b) {
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// The fully saturated colour of a hue, in steps of 15 degrees round from red.
std::array<double, 3> hueColor(int step) {
    const int degrees = 15 * step;
    const double f = (degrees % 60) / 60.0;
    switch (degrees / 60) {
        case 0:
            return {1, f, 0};
        case 1:
            return {1 - f, 1, 0};
        case 2:
            return {0, 1, f};
        case 3:
            return {0, 1 - f, 1};
        case 4:
            return {f, 0, 1};
        default:
            return {1, 0, 1 - f};
    }
}

}  // namespace

int indexColorRgb(int index) {
    if (index < 1 || index > 255) return -1;
    static constexpr int kNamed[10] = {0,        0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                       0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xBFBFBF};
    if (index < 10) return kNamed[index];
    if (index >= 250) {
        static constexpr double kGreys[6] = {0.33, 0.464, 0.598, 0.732, 0.866, 1.0};
        const double grey = kGreys[index - 250];
        return rgbOf(grey, grey, grey);
    }
    const int step = (index - 10) / 10, shade = (index - 10) % 10;
    static constexpr double kBrightness[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
    const double v = kBrightness[shade / 2];
    std::array<double, 3> c = hueColor(step);
    if (shade % 2)  // pale: halfway to white before the brightness
        for (double& part : c) part = 0.5 + 0.5 * part;
    return rgbOf(v * c[0], v * c[1], v * c[2]);
}

}  // namespace vel

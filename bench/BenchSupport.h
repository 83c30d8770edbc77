// BenchSupport.h - what the benchmarks share: the figures they pick and the
// insert settings they build with.
#pragma once

#include <cmath>

#include "host/VelLib.h"
#include "settings/InsertSettings.h"

// Element `e` of a figure centred near (ox, oy): lines, arcs and circles in
// turn, so that measuring meets every kind, arcs with their extremes asked of
// the host. Nothing reaches more than 10 units from the centre.
inline FigureData MixedFigureElement(double ox, double oy, int e) {
    FigureData d{};
    const double a = e * 0.01;
    switch (e % 3) {
        case 0:
            d.type = VEL_FIG_LINE;
            d.values[0] = ox + std::cos(a), d.values[1] = oy + std::sin(a);
            d.values[2] = ox + 2 * std::cos(a), d.values[3] = oy + 2 * std::sin(a);
            break;
        case 1: {
            d.type = VEL_FIG_ARC;
            const double r = 3.0 + e % 7;
            d.values[0] = ox, d.values[1] = oy;
            d.values[2] = ox + r * std::cos(a), d.values[3] = oy + r * std::sin(a);
            d.values[4] = ox + r * std::cos(a + 2.0);
            d.values[5] = oy + r * std::sin(a + 2.0);
            d.values[6] = r;
            break;
        }
        default:
            d.type = VEL_FIG_CIRCLE;
            d.values[0] = ox + e % 5, d.values[1] = oy, d.values[2] = 1.5;
            break;
    }
    return d;
}

// Settings as their defaults have them, set directly so that no registry is
// read while measuring.
inline void UseDefaultInsertSettings() {
    InsertSettings& s = gInsertSettings;
    s = InsertSettings{};
    s.mValueUpLeft = 2.0, s.mValueUpRight = 4.0, s.mValueDownLeft = 0.0, s.mValueDownRight = 5.0;
    s.mUpLeft = 2, s.mUpRight = 1, s.mDownLeft = 0, s.mDownRight = 2;
    s.mDisUp = 5.0, s.mDisDown = 6.0, s.mDisLeft = 6.0, s.mDisRight = 5.0;
    s.mIsCurLayer = 1, s.mLayer = u"7", s.mIsCurColor = 1, s.Color = 5;
    s.mLimit = 1, s.mLayerHole = u"100", s.mOffsetHole = u"0";
    s.mCornerRHole = u"0.5", s.mChamferHole = u"0.5", s.ColorHole = 1, s.LTypeHole = 3;
}

// ColorStatics.cpp - painting the colour swatches: a solid fill of the client area, nothing more
// (the sunken edge is the control's own).
#include "ui/ColorStatics.h"

#include <QPainter>

#include "settings/Palette.h"

namespace {

QColor SwatchColor(const std::u16string& name) {
    const ColorRgb rgb = ResolveColorRgb(name);
    const uint32_t packed = rgb.Packed();
    return QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

bool IsPaletteColor(const std::u16string& name) {
    return PaletteColors().Find(name) != 0;
}

}  // namespace

void StaticMainColor::OnPaint(QPainter& dc, const QRect& client) {
    // A name outside the palette paints as its first entry.
    const std::u16string name = IsPaletteColor(mColorName) ? mColorName : u"MAINCOLOR01";
    dc.fillRect(client, SwatchColor(name));
}

std::u16string StaticBkColor::ColorNameOfControl(int32_t id) {
    if (id == 17015) return u"MAINCOLOR01";
    if (id >= 17032 && id <= 17046) {
        const int number = id - 17030;  // 17032 -> 2
        std::u16string name = u"MAINCOLOR";
        name += static_cast<char16_t>(u'0' + number / 10);
        name += static_cast<char16_t>(u'0' + number % 10);
        return name;
    }
    return {};
}

void StaticBkColor::OnPaint(QPainter& dc, const QRect& client) {
    const std::u16string name = ColorNameOfControl(GetDlgCtrlID());
    dc.fillRect(client, name.empty() ? QColor(0, 0, 0) : SwatchColor(name));
}

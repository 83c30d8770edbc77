// ColorStatics.cpp - painting the colour swatches: a solid fill of the client area, nothing more
// (the sunken edge is the control's own).
#include "ui/ColorStatics.h"

#include "settings/Palette.h"

namespace {

UiColor SwatchColor(const std::u16string& name) {
    const uint32_t packed = ResolveColorRgb(name).Packed();
    return {static_cast<uint8_t>(packed & 0xFF), static_cast<uint8_t>((packed >> 8) & 0xFF),
            static_cast<uint8_t>((packed >> 16) & 0xFF)};
}

bool IsPaletteColor(const std::u16string& name) {
    return PaletteColors().Find(name) != 0;
}

}  // namespace

void StaticMainColor::OnPaint(DrawingContext& dc, const UiRect& client) {
    // A name outside the palette paints as its first entry.
    const std::u16string name = IsPaletteColor(mColorName) ? mColorName : u"MAINCOLOR01";
    dc.FillRect(client, SwatchColor(name));
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

void StaticBkColor::OnPaint(DrawingContext& dc, const UiRect& client) {
    const std::u16string name = ColorNameOfControl(GetDlgCtrlID());
    dc.FillRect(client, name.empty() ? UiColor{0, 0, 0} : SwatchColor(name));
}

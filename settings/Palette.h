// The fixed colour and line-type palette: palette names ("MAINCOLOR06", "LINETYPE07") as kept in
// the settings and dialogs, mapped to host colour and line-type numbers, swatch colours and
// line-type pictures.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// One palette colour: the host colour number and the colour our own swatches paint for it.
struct MainColorEntry {
    std::u16string Name = u"MAINCOLOR01";
    int32_t Number = 0;
    int32_t Red = 255;
    int32_t Green = 255;
    int32_t Blue = 255;
};

// The 16 palette colours in slots 1 to 16; slot 0 keeps the fallback (white, number 0) that
// answers every name outside the palette.
struct MainColorTable {
    static constexpr int32_t kSlotCount = 40;

    int32_t Count = 0;
    std::array<MainColorEntry, kSlotCount> Slots{};

    // Writes the 16 rows; on a table that was filled before it starts again from slot 1.
    void Fill();
    // Slot of the first row whose name equals `name` ignoring letter case, or 0.
    int32_t Find(const std::u16string& name) const;
};

// One line type: the host line-type number.
struct LineTypeEntry {
    std::u16string Name = u"LINETYPE01";
    int32_t Number = 0;
};

// The 10 line types in slots 1 to 10; slot 0 keeps the fallback (number 0).
struct LineTypeTable {
    static constexpr int32_t kSlotCount = 20;

    int32_t Count = 0;
    std::array<LineTypeEntry, kSlotCount> Slots{};

    void Fill();
    int32_t Find(const std::u16string& name) const;
};

// A swatch colour, each component 0 to 255.
struct ColorRgb {
    int red = 255;
    int green = 255;
    int blue = 255;

    // The single painting value: red + 256 * green + 65536 * blue, low 8 bits of each.
    uint32_t Packed() const;
};

// Filled tables shared by the whole process; they never change after their first use.
const MainColorTable& PaletteColors();
const LineTypeTable& PaletteLineTypes();

// Host colour number for a palette colour name; 0 for a name outside the palette.
int32_t ResolveColorNumber(const std::u16string& name);
// Host line-type number for a palette line-type name; 0 for a name outside the palette.
int32_t ResolveLineTypeNumber(const std::u16string& name);
// Swatch colour for a palette colour name; white for a name outside the palette.
ColorRgb ResolveColorRgb(const std::u16string& name);

// Bitmap resource showing a line type: 17045 + slot, so 17046 ("LINETYPE01") to 17055; a name
// outside the palette shows the picture of "LINETYPE01", like its number.
inline constexpr int32_t kLineTypePictureBase = 17045;
int32_t LineTypePictureId(const std::u16string& name);

// Whole-string comparison that ignores the case of the letters A to Z.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

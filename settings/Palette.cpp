// The palette's two tables, their look-up and the name resolvers built on them.
#include "settings/Palette.h"

#include <algorithm>
#include <string_view>

namespace {

struct ColorRow {
    const char16_t* name;
    int32_t number;
    int32_t red;
    int32_t green;
    int32_t blue;
};

constexpr ColorRow kColorRows[] = {
    {u"MAINCOLOR01", 0, 255, 255, 255}, {u"MAINCOLOR02", 1, 0, 192, 255},
    {u"MAINCOLOR03", 2, 60, 255, 80},   {u"MAINCOLOR04", 3, 255, 64, 192},
    {u"MAINCOLOR05", 4, 224, 224, 0},   {u"MAINCOLOR06", 5, 255, 0, 0},
    {u"MAINCOLOR07", 6, 255, 128, 128}, {u"MAINCOLOR08", 7, 0, 128, 255},
    {u"MAINCOLOR09", 8, 255, 255, 0},   {u"MAINCOLOR10", 9, 128, 128, 128},
    {u"MAINCOLOR11", 10, 0, 255, 255},  {u"MAINCOLOR12", 11, 0, 0, 255},
    {u"MAINCOLOR13", 12, 128, 0, 255},  {u"MAINCOLOR14", 13, 128, 128, 255},
    {u"MAINCOLOR15", 14, 128, 0, 128},  {u"MAINCOLOR16", 15, 128, 128, 0},
};

struct LineTypeRow {
    const char16_t* name;
    int32_t number;
};

// The host numbers do not follow the row order; the pictures do.
constexpr LineTypeRow kLineTypeRows[] = {
    {u"LINETYPE01", 0}, {u"LINETYPE02", 4}, {u"LINETYPE03", 5}, {u"LINETYPE04", 6},
    {u"LINETYPE05", 1}, {u"LINETYPE06", 2}, {u"LINETYPE07", 3}, {u"LINETYPE08", 7},
    {u"LINETYPE09", 8}, {u"LINETYPE10", 9},
};

char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

// Count is a public field; never let a stray value walk past the slots or into slot 0.
template <typename Slots>
int32_t FindInSlots(const Slots& slots, int32_t count, const std::u16string& name) {
    const int32_t last = std::min<int32_t>(count, static_cast<int32_t>(slots.size()) - 1);
    for (int32_t i = 1; i <= last; ++i) {
        if (EqualsIgnoringAsciiCase(name, slots[i].Name)) return i;
    }
    return 0;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

void MainColorTable::Fill() {
    Slots = {};
    Count = 0;
    for (const ColorRow& row : kColorRows) {
        ++Count;
        Slots[Count] = MainColorEntry{row.name, row.number, row.red, row.green, row.blue};
    }
}

int32_t MainColorTable::Find(const std::u16string& name) const {
    return FindInSlots(Slots, Count, name);
}

void LineTypeTable::Fill() {
    Slots = {};
    Count = 0;
    for (const LineTypeRow& row : kLineTypeRows) {
        ++Count;
        Slots[Count] = LineTypeEntry{row.name, row.number};
    }
}

int32_t LineTypeTable::Find(const std::u16string& name) const {
    return FindInSlots(Slots, Count, name);
}

uint32_t ColorRgb::Packed() const {
    return (static_cast<uint32_t>(red) & 0xFFu) | ((static_cast<uint32_t>(green) & 0xFFu) << 8) |
           ((static_cast<uint32_t>(blue) & 0xFFu) << 16);
}

const MainColorTable& PaletteColors() {
    static const MainColorTable table = [] {
        MainColorTable filled;
        filled.Fill();
        return filled;
    }();
    return table;
}

const LineTypeTable& PaletteLineTypes() {
    static const LineTypeTable table = [] {
        LineTypeTable filled;
        filled.Fill();
        return filled;
    }();
    return table;
}

int32_t ResolveColorNumber(const std::u16string& name) {
    const MainColorTable& table = PaletteColors();
    return table.Slots[table.Find(name)].Number;
}

int32_t ResolveLineTypeNumber(const std::u16string& name) {
    const LineTypeTable& table = PaletteLineTypes();
    return table.Slots[table.Find(name)].Number;
}

ColorRgb ResolveColorRgb(const std::u16string& name) {
    const MainColorTable& table = PaletteColors();
    const MainColorEntry& entry = table.Slots[table.Find(name)];
    return ColorRgb{entry.Red, entry.Green, entry.Blue};
}

int32_t LineTypePictureId(const std::u16string& name) {
    const int32_t slot = PaletteLineTypes().Find(name);
    return kLineTypePictureBase + (slot == 0 ? 1 : slot);
}

// Palette look-ups: names to host numbers, swatch colours and pictures, and the fallback for
// every name outside the palette.
#include <gtest/gtest.h>

#include "settings/Palette.h"

TEST(Palette, ColourNamesResolveInAnyLetterCase) {
    for (const std::u16string name : {u"MAINCOLOR06", u"maincolor06", u"MainColor06"}) {
        EXPECT_EQ(ResolveColorNumber(name), 5);
        const ColorRgb rgb = ResolveColorRgb(name);
        EXPECT_EQ(rgb.red, 255);
        EXPECT_EQ(rgb.green, 0);
        EXPECT_EQ(rgb.blue, 0);
    }
    EXPECT_EQ(ResolveColorNumber(u"MAINCOLOR16"), 15);
    EXPECT_EQ(ResolveColorRgb(u"MAINCOLOR16").Packed(), 128u + 256u * 128u);
    EXPECT_EQ(ResolveColorRgb(u"MAINCOLOR02").Packed(), 192u * 256u + 255u * 65536u);
}

TEST(Palette, ColourNumbersFollowTheRowOrder) {
    const MainColorTable& table = PaletteColors();
    ASSERT_EQ(table.Count, 16);
    for (int32_t slot = 1; slot <= 16; ++slot) {
        EXPECT_EQ(table.Slots[slot].Number, slot - 1);
        EXPECT_EQ(table.Find(table.Slots[slot].Name), slot);
    }
}

TEST(Palette, ColourNamesOutsideThePaletteGiveZeroAndWhite) {
    for (const std::u16string name :
         {u"MAINCOLOR6", u"MAINCOLOR17", u"MAINCOLOR40", u" MAINCOLOR06", u"MAINCOLOR06 ", u"",
          u"MAINCOLOR\uFF10\uFF16", u"LINETYPE01"}) {
        EXPECT_EQ(ResolveColorNumber(name), 0);
        EXPECT_EQ(ResolveColorRgb(name).Packed(), 0xFFFFFFu);
    }
}

TEST(Palette, LineTypeNumbersDoNotFollowTheRowOrder) {
    EXPECT_EQ(ResolveLineTypeNumber(u"LINETYPE05"), 1);
    EXPECT_EQ(ResolveLineTypeNumber(u"LINETYPE04"), 6);
    EXPECT_EQ(ResolveLineTypeNumber(u"linetype07"), 3);
    EXPECT_EQ(ResolveLineTypeNumber(u"LINETYPE10"), 9);
    for (const std::u16string name : {u"LINETYPE11", u"LINETYPE1", u"", u"LINETYPE05x"}) {
        EXPECT_EQ(ResolveLineTypeNumber(name), 0);
    }
}

// Every row of the two tables, as literals: a colour's host number and swatch, a line type's
// host number (not in row order) and picture.
TEST(Palette, EveryNameHasTheNumberAndLookOfItsRow) {
    const struct {
        const char16_t* name;
        int32_t number;
        uint32_t packed;  // blue, green, red from the high byte down
    } colors[] = {{u"MAINCOLOR01", 0, 0xFFFFFF},  {u"MAINCOLOR02", 1, 0xFFC000},
                  {u"MAINCOLOR03", 2, 0x50FF3C},  {u"MAINCOLOR04", 3, 0xC040FF},
                  {u"MAINCOLOR05", 4, 0x00E0E0},  {u"MAINCOLOR06", 5, 0x0000FF},
                  {u"MAINCOLOR07", 6, 0x8080FF},  {u"MAINCOLOR08", 7, 0xFF8000},
                  {u"MAINCOLOR09", 8, 0x00FFFF},  {u"MAINCOLOR10", 9, 0x808080},
                  {u"MAINCOLOR11", 10, 0xFFFF00}, {u"MAINCOLOR12", 11, 0xFF0000},
                  {u"MAINCOLOR13", 12, 0xFF0080}, {u"MAINCOLOR14", 13, 0xFF8080},
                  {u"MAINCOLOR15", 14, 0x800080}, {u"MAINCOLOR16", 15, 0x008080}};
    for (const auto& row : colors) {
        EXPECT_EQ(ResolveColorNumber(row.name), row.number);
        EXPECT_EQ(ResolveColorRgb(row.name).Packed(), row.packed) << row.number;
    }
    const struct {
        const char16_t* name;
        int32_t number;
        int32_t picture;
    } lineTypes[] = {{u"LINETYPE01", 0, 17046}, {u"LINETYPE02", 4, 17047},
                     {u"LINETYPE03", 5, 17048}, {u"LINETYPE04", 6, 17049},
                     {u"LINETYPE05", 1, 17050}, {u"LINETYPE06", 2, 17051},
                     {u"LINETYPE07", 3, 17052}, {u"LINETYPE08", 7, 17053},
                     {u"LINETYPE09", 8, 17054}, {u"LINETYPE10", 9, 17055}};
    for (const auto& row : lineTypes) {
        EXPECT_EQ(ResolveLineTypeNumber(row.name), row.number) << row.picture;
        EXPECT_EQ(LineTypePictureId(row.name), row.picture);
    }
}

TEST(Palette, SettingDefaultNamesResolve) {
    EXPECT_EQ(ResolveColorNumber(u"MAINCOLOR06"), 5);
    EXPECT_EQ(ResolveColorNumber(u"MAINCOLOR02"), 1);
    EXPECT_EQ(ResolveLineTypeNumber(u"LINETYPE01"), 0);
    EXPECT_EQ(ResolveLineTypeNumber(u"LINETYPE07"), 3);
}

TEST(Palette, LineTypePicturesFollowTheRowOrderWithFallbackToTheFirst) {
    EXPECT_EQ(LineTypePictureId(u"LINETYPE01"), 17046);
    EXPECT_EQ(LineTypePictureId(u"LineType05"), 17050);
    EXPECT_EQ(LineTypePictureId(u"LINETYPE10"), 17055);
    EXPECT_EQ(LineTypePictureId(u"LINETYPE11"), 17046);
}

TEST(Palette, TablesKeepTheFallbackSlotAndSurviveRefillAndBadCount) {
    MainColorTable colours;
    EXPECT_EQ(colours.Find(u"MAINCOLOR01"), 0);  // empty until filled
    colours.Fill();
    colours.Fill();
    EXPECT_EQ(colours.Count, 16);
    EXPECT_EQ(colours.Slots[0].Name, u"MAINCOLOR01");
    EXPECT_EQ(colours.Slots[0].Number, 0);
    EXPECT_EQ(colours.Slots[17].Name, u"MAINCOLOR01");  // unused slots keep the fallback
    colours.Count = 1000;
    EXPECT_EQ(colours.Find(u"MAINCOLOR99"), 0);

    LineTypeTable lineTypes;
    lineTypes.Fill();
    EXPECT_EQ(lineTypes.Count, 10);
    lineTypes.Count = -5;
    EXPECT_EQ(lineTypes.Find(u"LINETYPE02"), 0);
}

TEST(Palette, PackedColourUsesTheLowEightBitsOfEachComponent) {
    EXPECT_EQ((ColorRgb{255, 0, 0}.Packed()), 0xFFu);
    EXPECT_EQ((ColorRgb{0x101, -1, 0x1FF}.Packed()), 0x01u | 0xFF00u | 0xFF0000u);
}

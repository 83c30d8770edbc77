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

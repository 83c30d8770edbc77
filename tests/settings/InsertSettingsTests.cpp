// Loading the insert settings from the registry file: defaults written back, conversions of
// stored texts, and values that reappear.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/Utf.h"
#include "settings/InsertSettings.h"
#include "settings/SettingsRegistry.h"
#include "tests/support/KillMidWrite.h"
#include "tests/support/LongTextCheck.h"
#include "tests/support/RegistryFiles.h"

namespace {

void ExpectDefaults(const InsertSettings& s) {
    EXPECT_EQ(s.mType, 0);
    EXPECT_EQ(s.Method, 0);
    EXPECT_EQ(s.mValueUpLeft, 2.0);
    EXPECT_EQ(s.mValueUpRight, 4.0);
    EXPECT_EQ(s.mValueDownLeft, 0.0);
    EXPECT_EQ(s.mValueDownRight, 5.0);
    EXPECT_EQ(s.mUpLeft, 2);
    EXPECT_EQ(s.mUpRight, 1);
    EXPECT_EQ(s.mDownLeft, 0);
    EXPECT_EQ(s.mDownRight, 2);
    EXPECT_EQ(s.mDisUp, 5.0);
    EXPECT_EQ(s.mDisDown, 6.0);
    EXPECT_EQ(s.mDisLeft, 6.0);
    EXPECT_EQ(s.mDisRight, 5.0);
    EXPECT_EQ(s.mIsCurLayer, 1);
    EXPECT_EQ(s.mLayer, u"7");
    EXPECT_EQ(s.mIsCurColor, 1);
    EXPECT_EQ(s.Color, 5);
    EXPECT_EQ(s.LType, 0);
    EXPECT_EQ(s.mIsLimit, 0);
    EXPECT_EQ(s.mLimit, 1);
    EXPECT_EQ(s.mIsCheckHole, 0);
    EXPECT_EQ(s.mLayerHole, u"100");
    EXPECT_EQ(s.mOffsetHole, u"0");
    EXPECT_EQ(s.mCornerRHole, u"0.5");
    EXPECT_EQ(s.mIsCornerConvHole, 0);
    EXPECT_EQ(s.mChamferHole, u"0.5");
    EXPECT_EQ(s.mIsChamferConvHole, 0);
    EXPECT_EQ(s.ColorHole, 1);
    EXPECT_EQ(s.LTypeHole, 3);
}

}  // namespace

TEST(InsertSettingRows, ThirtyDistinctValuesInLoadOrder) {
    const auto rows = InsertSettingRows();
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(rows.front().name, u"mType");
    EXPECT_EQ(rows[15].name, u"mLayer");
    EXPECT_EQ(rows.back().name, u"LTypeHole");
    std::set<std::u16string_view> names;
    for (const SettingRow& row : rows) names.insert(row.name);
    EXPECT_EQ(names.size(), 30u);
}

TEST(LoadInsertSettings, AnEmptyRegistryGetsAllDefaultsWritten) {
    for (const bool emptyFile : {false, true}) {
        TempRegistry registry;
        if (emptyFile) registry.write("");
        gInsertSettings = InsertSettings{};
        ASSERT_TRUE(LoadInsertSettings());
        ExpectDefaults(gInsertSettings);
        EXPECT_EQ(registry.read(),
                  "Windows Registry Editor Version 5.00\n\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL]\n\n" +
                      kOrvantaSection + "\n" + StoredDefaultLines());
        // A second load finds everything and changes nothing.
        const std::string written = registry.read();
        gInsertSettings = InsertSettings{};
        LoadInsertSettings();
        ExpectDefaults(gInsertSettings);
        EXPECT_EQ(registry.read(), written);
    }
}

// Each default goes back as soon as its read fails, each write whole: a load killed at any
// point leaves the first values of the table, in order, and nothing torn.
TEST(LoadInsertSettings, EachDefaultTakenIsWrittenBackAtOnceAndWhole) {
    TempRegistry registry;
    KillMidWrite([&] { registry.write(""); }, [] { LoadInsertSettings(); },
                 [&](int kill) {
                     const std::string text = registry.read();
                     if (text.empty()) return;  // killed before it wrote
                     const size_t at = text.find(kOrvantaSection);
                     ASSERT_NE(at, std::string::npos) << "kill " << kill;
                     const std::string values = text.substr(at + kOrvantaSection.size() + 1);
                     const size_t count = std::count(values.begin(), values.end(), '\n');
                     EXPECT_EQ(values, StoredDefaultLines(count)) << "kill " << kill;
                 });
}

TEST(LoadInsertSettings, StoredTextsConvertByTheirRow) {
    TempRegistry registry;
    registry.write("Windows Registry Editor Version 5.00\n\n" + kOrvantaSection +
                   "\n"
                   "\"mType\"=\"5\"\n\"Method\"=\"1x\"\n\"mLimit\"=\"99999999999\"\n"
                   "\"mUpLeft\"=\"0x10\"\n\"mUpRight\"=\"nan\"\n"
                   "\"mDisUp\"=\"abc\"\n\"mDisDown\"=\"12.5mm\"\n\"mDisLeft\"=\"1e999\"\n"
                   "\"mValueUpLeft\"=\"inf\"\n\"mValueUpRight\"=\" -1.5e1\"\n"
                   "\"mIsCurLayer\"=\"TRUE\"\n\"mIsCurColor\"=\"\"\n\"mIsLimit\"=\"1\"\n"
                   "\"mLayer\"=\" 12 \"\n\"Color\"=\"maincolor06\"\n\"ColorHole\"=\"MAINCOLOR17\"\n"
                   "\"LType\"=\"linetype07\"\n\"LTypeHole\"=\"LINETYPE11\"\n");
    ASSERT_TRUE(LoadInsertSettings());
    const InsertSettings& s = gInsertSettings;
    EXPECT_EQ(s.mType, 5);
    EXPECT_EQ(s.Method, 1);
    EXPECT_EQ(s.mLimit, INT32_MAX);
    EXPECT_EQ(s.mUpLeft, 0);
    EXPECT_EQ(s.mUpRight, 0);
    EXPECT_EQ(s.mDisUp, 0.0);
    EXPECT_EQ(s.mDisDown, 12.5);
    EXPECT_EQ(s.mDisLeft, 0.0);
    EXPECT_EQ(s.mValueUpLeft, 0.0);
    EXPECT_EQ(s.mValueUpRight, -15.0);
    EXPECT_EQ(s.mIsCurLayer, 0);
    EXPECT_EQ(s.mIsCurColor, 0);
    EXPECT_EQ(s.mIsLimit, 1);
    EXPECT_EQ(s.mLayer, u" 12 ");
    EXPECT_EQ(s.Color, 5);
    EXPECT_EQ(s.ColorHole, 0);
    EXPECT_EQ(s.LType, 3);
    EXPECT_EQ(s.LTypeHole, 0);
    // Present values, even empty or unusable ones, are not replaced by defaults.
    std::u16string out;
    ASSERT_TRUE(ReadSettingString(u"Orvanta", u"mIsCurColor", out));
    EXPECT_EQ(out, u"");
    ASSERT_TRUE(ReadSettingString(u"Orvanta", u"mDisUp", out));
    EXPECT_EQ(out, u"abc");
}

TEST(LoadInsertSettings, MissingUnreadableAndDeletedValuesComeBackWithDefaults) {
    TempRegistry registry;
    LoadInsertSettings();
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mDisUp", u"9.5"));
    std::string text = registry.read();
    const std::size_t line = text.find("\"mType\"");
    text.replace(line, text.find('\n', line) + 1 - line, "\"mType\"=dword:00000002\n");
    text.erase(text.find("\"Color\""), std::string("\"Color\"=\"MAINCOLOR06\"\n").size());
    registry.write(text);

    LoadInsertSettings();
    EXPECT_EQ(gInsertSettings.mDisUp, 9.5);
    EXPECT_EQ(gInsertSettings.mType, 0);  // a number is not a text value
    EXPECT_EQ(gInsertSettings.Color, 5);
    const std::string after = registry.read();
    // The number stays; the text value that replaces it for reading follows it.
    EXPECT_LT(after.find("\"mType\"=dword:00000002\n"), after.find("\"mType\"=\"0\"\n"));
    EXPECT_NE(after.find("\"mType\"=\"0\"\n"), std::string::npos);
    EXPECT_NE(after.find("\"Color\"=\"MAINCOLOR06\"\n"), std::string::npos);
}

TEST(LoadInsertSettings, LongTextsAreReadWholeAndKept) {
    TempRegistry registry;
    ExpectLongTextsLoadWhole();
}

TEST(LoadInsertSettings, AnUnwritableRegistryStillGivesDefaults) {
    TempRegistry registry;
    std::filesystem::create_directories(registry.file());  // a folder where the file should be
    gInsertSettings = InsertSettings{};
    EXPECT_TRUE(LoadInsertSettings());
    ExpectDefaults(gInsertSettings);
}

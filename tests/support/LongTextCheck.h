// Test support shared by the registry file and the Windows registry tests: long stored texts
// come back whole through the settings loader, whichever store holds them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "settings/InsertSettings.h"
#include "settings/SettingsRegistry.h"

// A 200-character layer and a distance typed as 1e200 (a text of some 200 digits) are loaded
// whole and stay stored as they were, instead of reading as missing and losing to the default.
inline void ExpectLongTextsLoadWhole() {
    const std::u16string layer(200, u'9');
    const std::u16string distance = FormatSettingNumber(1e200);
    ASSERT_GT(distance.size(), 200u);
    ASSERT_TRUE(WriteSettingString(kSettingsSubKey, u"mLayer", layer));
    ASSERT_TRUE(WriteSettingString(kSettingsSubKey, u"mDisUp", distance));
    gInsertSettings = InsertSettings{};
    LoadInsertSettings();
    EXPECT_EQ(gInsertSettings.mLayer, layer);
    EXPECT_EQ(gInsertSettings.mDisUp, 1e200);
    std::u16string stored;
    ASSERT_TRUE(ReadSettingString(kSettingsSubKey, u"mDisUp", stored));
    EXPECT_EQ(stored, distance);
}

// The settings against the real Windows registry (run under Wine): the key path, defaults
// written as string values, texts of any length, and values of other types.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/InsertSettings.h"
#include "settings/SettingsRegistry.h"
#include "tests/support/LongTextCheck.h"
#include "tests/support/StoredDefaults.h"

namespace {

const wchar_t kKeyPath[] = L"SOFTWARE\\Tolvane\\VEL\\Orvanta";

struct RawValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    std::wstring text() const {
        std::wstring out(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        return out.substr(0, out.find(L'\0'));
    }
};

// Reads a value straight through the registry API, with room for anything.
RawValue ReadRaw(const wchar_t* name, const wchar_t* keyPath = kKeyPath) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.found = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size) ==
                      ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

DWORD ValueCount() {
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
    }
    return count;
}

class WindowsRegistry : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
};

}  // namespace

TEST_F(WindowsRegistry, AnEmptyKeyGetsAllThirtyDefaultsAsStringValues) {
    gInsertSettings = InsertSettings{};
    ASSERT_TRUE(LoadInsertSettings());
    EXPECT_EQ(ValueCount(), 30u);
    for (const StoredDefault& stored : kStoredDefaults) {
        const std::string name = stored.name, text = stored.text;
        const RawValue value = ReadRaw(std::wstring(name.begin(), name.end()).c_str());
        ASSERT_TRUE(value.found) << name;
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.text(), std::wstring(text.begin(), text.end()));
        EXPECT_EQ(value.data.size(), (text.size() + 1) * 2);
    }
    EXPECT_EQ(gInsertSettings.mValueUpRight, 4.0);
    EXPECT_EQ(gInsertSettings.mDownRight, 2);
    EXPECT_EQ(gInsertSettings.mDisDown, 6.0);
    EXPECT_EQ(gInsertSettings.mLayer, u"7");
    EXPECT_EQ(gInsertSettings.Color, 5);
    EXPECT_EQ(gInsertSettings.LType, 0);
    EXPECT_EQ(gInsertSettings.mLayerHole, u"100");
    EXPECT_EQ(gInsertSettings.ColorHole, 1);
    EXPECT_EQ(gInsertSettings.LTypeHole, 3);
}

TEST_F(WindowsRegistry, ValuesLiveUnderTheCurrentUsersKeyAndSlashesSeparateKeys) {
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"PA_Color", u"MAINCOLOR03"));
    EXPECT_EQ(ReadRaw(L"PA_Color").text(), L"MAINCOLOR03");
    ASSERT_TRUE(WriteSettingString(u"Orvanta/Sub", u"v", u"x"));
    EXPECT_EQ(ReadRaw(L"v", L"SOFTWARE\\Tolvane\\VEL\\Orvanta\\Sub").text(), L"x");
    std::u16string out;
    EXPECT_TRUE(ReadSettingString(u"Orvanta\\Sub", u"V", out));
    EXPECT_EQ(out, u"x");
    // A text is stored up to its first null, with that null.
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"n", std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ(ReadRaw(L"n").data.size(), 6u);
}

TEST_F(WindowsRegistry, TextsOfAnyLengthReadWhole) {
    std::u16string out = u"before";
    for (const std::u16string& text :
         {std::u16string(126, u'x'), std::u16string(127, u'y'), std::u16string(1000, u'\uD55C')}) {
        ASSERT_TRUE(WriteSettingString(u"Orvanta", u"v", text));
        ASSERT_TRUE(ReadSettingString(u"Orvanta", u"v", out)) << text.size();
        EXPECT_EQ(out, text);
    }
    // Data without a terminator and with half a character at its end still reads as a text
    // that ends at its last whole character.
    const std::wstring unterminated(300, L'z');
    WriteRaw(L"v", REG_SZ, unterminated.data(), 599);
    ASSERT_TRUE(ReadSettingString(u"Orvanta", u"v", out));
    EXPECT_EQ(out, std::u16string(299, u'z'));
}

TEST_F(WindowsRegistry, LongTextsAreLoadedWholeAndKept) {
    ExpectLongTextsLoadWhole();
}

TEST_F(WindowsRegistry, ABatchStoresValueByValueAndTellsTheFirstFailure) {
    const std::u16string tooLong(20000, u'n');  // longer than a value name may be
    const RegistryValue values[] = {{u"a", u"1"}, {tooLong, u"2"}, {u"b", u"3"}};
    const std::u16string key = SettingsKeyPath(u"Orvanta");
    EXPECT_FALSE(CurrentUserRegistry().writeStrings(key, values));
    EXPECT_EQ(CurrentUserRegistry().lastError().rfind("cannot store the value \"nnn", 0), 0u)
        << CurrentUserRegistry().lastError();
    EXPECT_EQ(ReadRaw(L"a").text(), L"1");
    EXPECT_EQ(ReadRaw(L"b").text(), L"3");
    EXPECT_TRUE(CurrentUserRegistry().writeStrings(key, std::span(values).first(1)));
    EXPECT_EQ(CurrentUserRegistry().lastError(), "");
}

TEST_F(WindowsRegistry, ValuesOfOtherTypesReadAsMissingAndGetTheirDefault) {
    const DWORD five = 5;
    WriteRaw(L"mType", REG_DWORD, &five, sizeof five);
    std::u16string out;
    EXPECT_FALSE(ReadSettingString(u"Orvanta", u"mType", out));
    gInsertSettings = InsertSettings{};
    LoadInsertSettings();
    EXPECT_EQ(gInsertSettings.mType, 0);
    const RawValue value = ReadRaw(L"mType");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.text(), L"0");
}

TEST_F(WindowsRegistry, StoredTextsConvertAndDeletedValuesReappear) {
    LoadInsertSettings();
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"Color", u"maincolor06"));
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mIsCurLayer", u"TRUE"));
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mIsCurColor", u""));
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mDisUp", u"12.5mm"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, L"mDisDown"), ERROR_SUCCESS);
    RegCloseKey(key);

    LoadInsertSettings();
    EXPECT_EQ(gInsertSettings.Color, 5);
    EXPECT_EQ(gInsertSettings.mIsCurLayer, 0);
    EXPECT_EQ(gInsertSettings.mIsCurColor, 0);
    EXPECT_EQ(ReadRaw(L"mIsCurColor").text(), L"");  // empty, not reset
    EXPECT_EQ(gInsertSettings.mDisUp, 12.5);
    EXPECT_EQ(gInsertSettings.mDisDown, 6.0);
    EXPECT_EQ(ReadRaw(L"mDisDown").text(), L"6.0");
}

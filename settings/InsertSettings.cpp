// The settings record, its row table, the loader and the text form of lengths.
#include "settings/InsertSettings.h"

#include <array>
#include <charconv>
#include <system_error>
#include <vector>

#include "settings/Palette.h"
#include "settings/Rounding.h"
#include "settings/SettingsRegistry.h"
#include "settings/TextConversions.h"

InsertSettings gInsertSettings;

namespace {

using C = SettingConversion;
using S = InsertSettings;

const std::array<SettingRow, 30> kRows = {{
    {u"mType", u"0", C::Integer, &S::mType},
    {u"Method", u"0", C::Integer, &S::Method},
    {u"mValueUpLeft", u"2.0", C::Real, &S::mValueUpLeft},
    {u"mValueUpRight", u"4.0", C::Real, &S::mValueUpRight},
    {u"mValueDownLeft", u"0.0", C::Real, &S::mValueDownLeft},
    {u"mValueDownRight", u"5.0", C::Real, &S::mValueDownRight},
    {u"mUpLeft", u"2", C::Integer, &S::mUpLeft},
    {u"mUpRight", u"1", C::Integer, &S::mUpRight},
    {u"mDownLeft", u"0", C::Integer, &S::mDownLeft},
    {u"mDownRight", u"2", C::Integer, &S::mDownRight},
    {u"mDisUp", u"5.0", C::Real, &S::mDisUp},
    {u"mDisDown", u"6.0", C::Real, &S::mDisDown},
    {u"mDisLeft", u"6.0", C::Real, &S::mDisLeft},
    {u"mDisRight", u"5.0", C::Real, &S::mDisRight},
    {u"mIsCurLayer", u"1", C::Flag, &S::mIsCurLayer},
    {u"mLayer", u"7", C::Text, &S::mLayer},
    {u"mIsCurColor", u"1", C::Flag, &S::mIsCurColor},
    {u"Color", u"MAINCOLOR06", C::Color, &S::Color},
    {u"LType", u"LINETYPE01", C::LineType, &S::LType},
    {u"mIsLimit", u"0", C::Flag, &S::mIsLimit},
    {u"mLimit", u"1", C::Integer, &S::mLimit},
    {u"mIsCheckHole", u"0", C::Flag, &S::mIsCheckHole},
    {u"mLayerHole", u"100", C::Text, &S::mLayerHole},
    {u"mOffsetHole", u"0", C::Text, &S::mOffsetHole},
    {u"mCornerRHole", u"0.5", C::Text, &S::mCornerRHole},
    {u"mIsCornerConvHole", u"0", C::Flag, &S::mIsCornerConvHole},
    {u"mChamferHole", u"0.5", C::Text, &S::mChamferHole},
    {u"mIsChamferConvHole", u"0", C::Flag, &S::mIsChamferConvHole},
    {u"ColorHole", u"MAINCOLOR02", C::Color, &S::ColorHole},
    {u"LTypeHole", u"LINETYPE07", C::LineType, &S::LTypeHole},
}};

int32_t IntegerOf(SettingConversion conversion, const std::u16string& text) {
    switch (conversion) {
        case C::Flag:
            return TextToFlag(text);
        case C::Color:
            return ResolveColorNumber(text);
        case C::LineType:
            return ResolveLineTypeNumber(text);
        default:
            return TextToInt(text);
    }
}

}  // namespace

std::span<const SettingRow> InsertSettingRows() {
    return kRows;
}

void ApplySettingText(InsertSettings& record, const SettingRow& row, const std::u16string& text) {
    if (const auto* integer = std::get_if<int32_t S::*>(&row.member)) {
        record.*(*integer) = IntegerOf(row.conversion, text);
    } else if (const auto* real = std::get_if<double S::*>(&row.member)) {
        record.*(*real) = TextToReal(text);
    } else if (const auto* textMember = std::get_if<std::u16string S::*>(&row.member)) {
        record.*(*textMember) = text;
    }
}

bool LoadInsertSettings() {
    try {
        const std::u16string subKey = kSettingsSubKey;
        std::vector<RegistryValue> missing;
        for (const SettingRow& row : kRows) {
            const std::u16string name(row.name);
            std::u16string text;
            if (!ReadSettingString(subKey, name, text)) {
                text = row.defaultText;
                missing.push_back({name, text});
            }
            ApplySettingText(gInsertSettings, row, text);
        }
        // Written together: one replacement of the registry file instead of one a value.
        if (!missing.empty()) WriteSettingStrings(subKey, missing);
    } catch (...) {
        // Only memory exhaustion gets here; the rows assigned so far stay, as in any load.
    }
    return true;
}

std::u16string FormatSettingNumber(double value) {
    const double rounded = RoundToPlaces(value, 1);
    // Fixed notation of the largest double is 309 digits, a sign, a point and six decimals.
    std::array<char, 400> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded,
                                            std::chars_format::fixed, 6);
    if (error != std::errc()) return u"0.0";
    std::string text(buffer.data(), end);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (text.back() == '.') text.push_back('0');
    }
    return std::u16string(text.begin(), text.end());
}

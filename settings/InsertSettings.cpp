// The settings record, the conversion of its rows, the loader and the text form of lengths.
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
    return kInsertSettingRows;
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
        for (const SettingRow& row : kInsertSettingRows) {
            const std::u16string name(row.name);
            std::u16string text;
            if (!ReadSettingString(subKey, name, text)) {
                // The default goes back at once; a failed write leaves it in memory alone.
                text = row.defaultText;
                WriteSettingString(subKey, name, text);
            }
            ApplySettingText(gInsertSettings, row, text);
        }
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

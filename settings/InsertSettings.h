// The process-wide insert settings record, the table of its 30 registry values with their
// defaults and conversions, its loader, and the stored text form of lengths.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// Field names are the names of the registry values they come from.
struct InsertSettings {
    int32_t mType = 0;          // pick mode: 0 one figure, 1 several figures, 2 two points
    int32_t Method = 0;         // 0 continuous creation, 1 annotated insert with editing
    double mValueUpLeft = 0.0;  // corner treatment sizes (radius or chamfer)
    double mValueUpRight = 0.0;
    double mValueDownLeft = 0.0;
    double mValueDownRight = 0.0;
    int32_t mUpLeft = 0;  // corner kinds: 0 none, 1 corner R, 2 chamfer
    int32_t mUpRight = 0;
    int32_t mDownLeft = 0;
    int32_t mDownRight = 0;
    double mDisUp = 0.0;  // distances from the figure's extents to the insert's sides
    double mDisDown = 0.0;
    double mDisLeft = 0.0;
    double mDisRight = 0.0;
    int32_t mIsCurLayer = 0;
    std::u16string mLayer;  // layer number as text, converted where used
    int32_t mIsCurColor = 0;
    int32_t Color = 0;  // host colour number
    int32_t LType = 0;  // host line-type number
    int32_t mIsLimit = 0;
    int32_t mLimit = 0;  // decimal places of the size rounding
    int32_t mIsCheckHole = 0;
    std::u16string mLayerHole;
    std::u16string mOffsetHole;
    std::u16string mCornerRHole;
    int32_t mIsCornerConvHole = 0;
    std::u16string mChamferHole;
    int32_t mIsChamferConvHole = 0;
    int32_t ColorHole = 0;
    int32_t LTypeHole = 0;
};

// The current settings; zeroed at load time, filled only by LoadInsertSettings.
extern InsertSettings gInsertSettings;

// How a stored text becomes a field.
enum class SettingConversion {
    Integer,   // TextToInt
    Real,      // TextToReal
    Flag,      // TextToFlag
    Text,      // stored unchanged
    Color,     // palette colour name -> host colour number
    LineType,  // palette line-type name -> host line-type number
};

using SettingMember = std::variant<int32_t InsertSettings::*, double InsertSettings::*,
                                   std::u16string InsertSettings::*>;

// One registry value of the record.
struct SettingRow {
    std::u16string_view name;         // registry value name, also the field name
    std::u16string_view defaultText;  // text that stands in for a missing value
    SettingConversion conversion;
    SettingMember member;
};

// The 30 rows in load order, which is also the order in which the settings dialog loads and
// saves them.
inline constexpr std::array<SettingRow, 30> kInsertSettingRows = {{
    {u"mType", u"0", SettingConversion::Integer, &InsertSettings::mType},
    {u"Method", u"0", SettingConversion::Integer, &InsertSettings::Method},
    {u"mValueUpLeft", u"2.0", SettingConversion::Real, &InsertSettings::mValueUpLeft},
    {u"mValueUpRight", u"4.0", SettingConversion::Real, &InsertSettings::mValueUpRight},
    {u"mValueDownLeft", u"0.0", SettingConversion::Real, &InsertSettings::mValueDownLeft},
    {u"mValueDownRight", u"5.0", SettingConversion::Real, &InsertSettings::mValueDownRight},
    {u"mUpLeft", u"2", SettingConversion::Integer, &InsertSettings::mUpLeft},
    {u"mUpRight", u"1", SettingConversion::Integer, &InsertSettings::mUpRight},
    {u"mDownLeft", u"0", SettingConversion::Integer, &InsertSettings::mDownLeft},
    {u"mDownRight", u"2", SettingConversion::Integer, &InsertSettings::mDownRight},
    {u"mDisUp", u"5.0", SettingConversion::Real, &InsertSettings::mDisUp},
    {u"mDisDown", u"6.0", SettingConversion::Real, &InsertSettings::mDisDown},
    {u"mDisLeft", u"6.0", SettingConversion::Real, &InsertSettings::mDisLeft},
    {u"mDisRight", u"5.0", SettingConversion::Real, &InsertSettings::mDisRight},
    {u"mIsCurLayer", u"1", SettingConversion::Flag, &InsertSettings::mIsCurLayer},
    {u"mLayer", u"7", SettingConversion::Text, &InsertSettings::mLayer},
    {u"mIsCurColor", u"1", SettingConversion::Flag, &InsertSettings::mIsCurColor},
    {u"Color", u"MAINCOLOR06", SettingConversion::Color, &InsertSettings::Color},
    {u"LType", u"LINETYPE01", SettingConversion::LineType, &InsertSettings::LType},
    {u"mIsLimit", u"0", SettingConversion::Flag, &InsertSettings::mIsLimit},
    {u"mLimit", u"1", SettingConversion::Integer, &InsertSettings::mLimit},
    {u"mIsCheckHole", u"0", SettingConversion::Flag, &InsertSettings::mIsCheckHole},
    {u"mLayerHole", u"100", SettingConversion::Text, &InsertSettings::mLayerHole},
    {u"mOffsetHole", u"0", SettingConversion::Text, &InsertSettings::mOffsetHole},
    {u"mCornerRHole", u"0.5", SettingConversion::Text, &InsertSettings::mCornerRHole},
    {u"mIsCornerConvHole", u"0", SettingConversion::Flag, &InsertSettings::mIsCornerConvHole},
    {u"mChamferHole", u"0.5", SettingConversion::Text, &InsertSettings::mChamferHole},
    {u"mIsChamferConvHole", u"0", SettingConversion::Flag, &InsertSettings::mIsChamferConvHole},
    {u"ColorHole", u"MAINCOLOR02", SettingConversion::Color, &InsertSettings::ColorHole},
    {u"LTypeHole", u"LINETYPE07", SettingConversion::LineType, &InsertSettings::LTypeHole},
}};

// The same rows as a span.
std::span<const SettingRow> InsertSettingRows();

// Converts `text` by the row's conversion and stores it in the row's field of `record`.
void ApplySettingText(InsertSettings& record, const SettingRow& row, const std::u16string& text);

// Fills gInsertSettings from the registry, sub-key "Orvanta", one row after the other. A value
// that cannot be read takes the row's default; the defaults taken are written back together at
// the end (a failed write is ignored). A present but empty value is not replaced. Always returns
// true.
bool LoadInsertSettings();

// The stored text of a length: rounded half away from zero to one decimal place, fixed
// notation, trailing zeros dropped but one decimal kept: 5 -> "5.0", 2.25 -> "2.3",
// -0.04 -> "0.0". Values too large to round keep all their digits ("1000...0.0").
std::u16string FormatSettingNumber(double value);

// Test support: the settings a first run stores, as literals.
#pragma once

#include <cstddef>
#include <string>

// The 30 values a first run stores, in the order it reads them, with their default texts as
// written: literals, so that a default changed in the code is caught here.
struct StoredDefault {
    const char* name;
    const char* text;
};
inline constexpr StoredDefault kStoredDefaults[30] = {
    {"mType", "0"},
    {"Method", "0"},
    {"mValueUpLeft", "2.0"},
    {"mValueUpRight", "4.0"},
    {"mValueDownLeft", "0.0"},
    {"mValueDownRight", "5.0"},
    {"mUpLeft", "2"},
    {"mUpRight", "1"},
    {"mDownLeft", "0"},
    {"mDownRight", "2"},
    {"mDisUp", "5.0"},
    {"mDisDown", "6.0"},
    {"mDisLeft", "6.0"},
    {"mDisRight", "5.0"},
    {"mIsCurLayer", "1"},
    {"mLayer", "7"},
    {"mIsCurColor", "1"},
    {"Color", "MAINCOLOR06"},
    {"LType", "LINETYPE01"},
    {"mIsLimit", "0"},
    {"mLimit", "1"},
    {"mIsCheckHole", "0"},
    {"mLayerHole", "100"},
    {"mOffsetHole", "0"},
    {"mCornerRHole", "0.5"},
    {"mIsCornerConvHole", "0"},
    {"mChamferHole", "0.5"},
    {"mIsChamferConvHole", "0"},
    {"ColorHole", "MAINCOLOR02"},
    {"LTypeHole", "LINETYPE07"},
};

// The first `count` of them as the registry file's lines, "name"="text" each.
inline std::string StoredDefaultLines(size_t count = 30) {
    std::string lines;
    for (size_t i = 0; i < count && i < 30; ++i)
        lines.append("\"")
            .append(kStoredDefaults[i].name)
            .append("\"=\"")
            .append(kStoredDefaults[i].text)
            .append("\"\n");
    return lines;
}

// DialogTemplate.h - the plug-in's dialog templates as data: each dialog's caption, size, style
// and font, and its controls (id, kind, rectangle in dialog units, text, style) in template
// order, plus the conversion of dialog units to pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Window and dialog style bits kept by the templates.
namespace winstyle {
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kBorder = 0x00800000;
inline constexpr uint32_t kCaption = 0x00C00000;
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kGroup = 0x00020000;
inline constexpr uint32_t kTabStop = 0x00010000;
inline constexpr uint32_t kModalFrame = 0x00000080;
inline constexpr uint32_t kSetFont = 0x00000040;
inline constexpr uint32_t kFixedSys = 0x00000008;
inline constexpr uint32_t kStaticNotify = 0x00000100;
inline constexpr uint32_t kStaticSunken = 0x00001000;
}  // namespace winstyle

// The kinds of control the templates use.
enum class ControlKind {
    PushButton,
    RadioGroupStart,  // automatic radio button that starts a group
    Radio,            // automatic radio button
    GroupBox,
    CheckBox,         // automatic check box
    Edit,             // bordered, horizontal auto-scroll
    DropDownList,     // the height includes the opened list
    Label,            // left-aligned static text
    MainColorSwatch,  // StaticMainColor: a swatch painted with a colour chosen by name
    BkColorSwatch,    // StaticBkColor: a swatch painted with the colour of its own id
    BitmapStatic,     // bordered bitmap static; takes the size of its bitmap
};

struct ControlTemplate {
    int32_t id;  // -1: a static without id
    ControlKind kind;
    int x, y, cx, cy;  // dialog units
    std::u16string_view text;
    uint32_t style;
    int32_t bitmap = 0;  // bitmap resource shown from the start (0: none)
};

struct DialogTemplate {
    int32_t id;
    uint16_t language;  // 1042: Korean
    std::u16string_view caption;
    int cx, cy;  // dialog units
    uint32_t style;
    uint32_t exStyle;
    std::u16string_view fontName;
    int fontPoints;
    std::span<const ControlTemplate> controls;

    bool HasCaption() const { return (style & winstyle::kCaption) == winstyle::kCaption; }
    // The first control with the id, or nullptr.
    const ControlTemplate* Find(int32_t controlId) const;
    // The ids of the radio group the radio button `controlId` belongs to, in template order: from
    // the button that starts the group to the last radio button after it. Empty for another id.
    std::vector<int32_t> RadioGroupOf(int32_t controlId) const;
};

// Template ids.
inline constexpr int32_t kCreateInsertTemplate = 12017;
inline constexpr int32_t kColorPropertyTemplate = 17079;
inline constexpr int32_t kLineTypePropertyTemplate = 17080;
inline constexpr int32_t kDimLengthTemplate = 12004;
inline constexpr int32_t kDimLeaderTemplate = 17081;

inline constexpr uint16_t kLangKorean = 1042;

// The template of the id, or nullptr when the plug-in has no such dialog.
const DialogTemplate* FindDialogTemplate(int32_t id);

// Pixels per dialog unit as the dialog's font gives them: the average width of "A"-"Z" and
// "a"-"z" and the character height. x pixels = x * width / 4, y pixels = y * height / 8,
// rounded to the nearest pixel.
struct DialogUnits {
    int baseX = 6;
    int baseY = 13;

    int X(int x) const { return MulDivRounded(x, baseX, 4); }
    int Y(int y) const { return MulDivRounded(y, baseY, 8); }

    // a * b / c rounded half away from zero.
    static int MulDivRounded(int a, int b, int c);
    // The horizontal base from the pixel width of the 52 letters, as the dialog manager
    // derives it: (width / 26 + 1) / 2.
    static int BaseXFromAlphabetWidth(int alphabetWidth) { return (alphabetWidth / 26 + 1) / 2; }
};

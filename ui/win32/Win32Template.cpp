// Win32Template.cpp - writing a dialog template in the dialog manager's in-memory layout. This
// file needs no Windows headers, so the layout is checked on every platform.
#include "ui/win32/Win32Template.h"

#include <string_view>

namespace {

// Atoms of the predefined control classes.
constexpr uint16_t kButtonClass = 0x0080;
constexpr uint16_t kEditClass = 0x0081;
constexpr uint16_t kStaticClass = 0x0082;
constexpr uint16_t kComboBoxClass = 0x0085;
constexpr uint16_t kOrdinalMarker = 0xFFFF;

uint16_t ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::RadioGroupStart:
        case ControlKind::Radio:
        case ControlKind::GroupBox:
        case ControlKind::CheckBox:
            return kButtonClass;
        case ControlKind::Edit:
            return kEditClass;
        case ControlKind::DropDownList:
            return kComboBoxClass;
        case ControlKind::Label:
        case ControlKind::MainColorSwatch:
        case ControlKind::BkColorSwatch:
        case ControlKind::BitmapStatic:
            return kStaticClass;
    }
    return kStaticClass;
}

class Writer {
public:
    void Word(uint16_t value) { Raw(&value, sizeof value); }
    void Dword(uint32_t value) { Raw(&value, sizeof value); }
    void Short(int value) { Word(static_cast<uint16_t>(static_cast<int16_t>(value))); }
    void Text(std::u16string_view text) {
        for (char16_t c : text) Word(c);
        Word(0);
    }
    void AlignToDword() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    // Little-endian, as the dialog manager reads it.
    void Raw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) bytes_.push_back(p[i]);
    }

    std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> BuildDialogTemplate(const DialogTemplate& tmpl) {
    Writer w;
    w.Dword(tmpl.style);
    w.Dword(tmpl.exStyle);
    w.Word(static_cast<uint16_t>(tmpl.controls.size()));
    w.Short(0);  // placed by the dialog manager, then by the dialog object
    w.Short(0);
    w.Short(tmpl.cx);
    w.Short(tmpl.cy);
    w.Word(0);  // no menu
    w.Word(0);  // the dialog class
    w.Text(tmpl.caption);
    if (tmpl.style & winstyle::kSetFont) {
        w.Word(static_cast<uint16_t>(tmpl.fontPoints));
        w.Text(tmpl.fontName);
    }
    for (const ControlTemplate& c : tmpl.controls) {
        w.AlignToDword();
        w.Dword(c.style);
        w.Dword(0);  // extended style
        w.Short(c.x);
        w.Short(c.y);
        w.Short(c.cx);
        w.Short(c.cy);
        w.Word(static_cast<uint16_t>(c.id));  // -1: 0xFFFF, a static without id
        w.Word(kOrdinalMarker);
        w.Word(ClassOf(c.kind));
        w.Text(c.text);
        w.Word(0);  // no creation data
    }
    return w.Take();
}

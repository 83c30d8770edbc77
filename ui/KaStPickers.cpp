// KaStPickers.cpp - selection, framing, keys and pictures of the two pickers.
#include "ui/KaStPickers.h"

#include "settings/Palette.h"
#include "ui/Resources.h"

namespace {

constexpr PickerEntry kColorEntries[] = {
    {17015, u"MAINCOLOR01"}, {17032, u"MAINCOLOR02"}, {17033, u"MAINCOLOR03"},
    {17034, u"MAINCOLOR04"}, {17035, u"MAINCOLOR05"}, {17036, u"MAINCOLOR06"},
    {17037, u"MAINCOLOR07"}, {17038, u"MAINCOLOR08"}, {17039, u"MAINCOLOR09"},
    {17040, u"MAINCOLOR10"}, {17041, u"MAINCOLOR11"}, {17042, u"MAINCOLOR12"},
    {17043, u"MAINCOLOR13"}, {17044, u"MAINCOLOR14"}, {17045, u"MAINCOLOR15"},
    {17046, u"MAINCOLOR16"},
};

constexpr PickerEntry kLineTypeEntries[] = {
    {17016, u"LINETYPE01"}, {17078, u"LINETYPE02"}, {17079, u"LINETYPE03"}, {17080, u"LINETYPE04"},
    {17081, u"LINETYPE05"}, {17082, u"LINETYPE06"}, {17083, u"LINETYPE07"}, {17084, u"LINETYPE08"},
    {17085, u"LINETYPE09"}, {17086, u"LINETYPE10"},
};

// Frames are drawn this far outside the control's window rectangle.
constexpr int kFrameMargin = 3;
constexpr int kFramePen = 2;

}  // namespace

std::span<const PickerEntry> ColorPickerEntries() {
    return kColorEntries;
}
std::span<const PickerEntry> LineTypePickerEntries() {
    return kLineTypeEntries;
}

SelectionPicker::SelectionPicker(int32_t templateId, std::span<const PickerEntry> entries,
                                 std::u16string initial, TemplateDialog* parent)
    : TemplateDialog(templateId, parent), mSelection(std::move(initial)), entries_(entries) {
    // Repaints only paint over what is there: the previous frame is painted over on purpose.
    SetPaintsOverBackground(true);
}

void SelectionPicker::Seed(const std::u16string& name) {
    if (EqualsIgnoringAsciiCase(mSelection, name)) return;
    mPrevSelection = mSelection;
    mSelection = name;
}

int32_t SelectionPicker::ControlOfName(const std::u16string& name) const {
    for (const PickerEntry& e : entries_)
        if (EqualsIgnoringAsciiCase(name, e.name)) return e.controlId;
    return entries_.front().controlId;
}

bool SelectionPicker::PreTranslateMessage(const KeyMessage& key) {
    switch (key.key) {
        case DialogKey::Enter:
        case DialogKey::Space:
            // Confirms wherever the focus is, CANCEL included.
            if (key.Pressed()) EndDialog(IDOK);
            return true;
        case DialogKey::Escape:
            if (key.Pressed()) EndDialog(IDCANCEL);
            return true;
        default:
            return TemplateDialog::PreTranslateMessage(key);
    }
}

void SelectionPicker::MapMessages() {
    for (const PickerEntry& e : entries_) {
        const std::u16string name = e.name;
        OnMessage(Notification::Clicked, e.controlId, [this, name] { OnClickedEntry(name); });
        OnMessage(Notification::DoubleClicked, e.controlId,
                  [this, name] { OnDblClickedEntry(name); });
    }
}

void SelectionPicker::OnClickedEntry(const std::u16string& name) {
    if (EqualsIgnoringAsciiCase(mSelection, name)) return;
    mPrevSelection = mSelection;
    mSelection = name;
    Invalidate(false);
}

void SelectionPicker::OnDblClickedEntry(const std::u16string& name) {
    OnClickedEntry(name);
    EndDialog(IDOK);
}

void SelectionPicker::OnPaint(DrawingContext& dc) {
    if (!mPrevSelection.empty()) FrameControl(dc, mPrevSelection, dc.Background());
    if (!mSelection.empty()) FrameControl(dc, mSelection, UiColor{255, 0, 0});
}

void SelectionPicker::FrameControl(DrawingContext& dc, const std::u16string& name, UiColor color) {
    const int32_t id = ControlOfName(name);
    if (!Surface() || !Surface()->HasControl(id)) return;
    // Rectangle(left - 3, top - 3, right + 3, bottom + 3) around the control's window
    // rectangle, right and bottom exclusive; the 2-pixel pen is centred on the outline.
    const UiRect r = Surface()->ControlRect(id);
    dc.FrameRect({r.left - kFrameMargin, r.top - kFrameMargin, r.width + 2 * kFrameMargin,
                  r.height + 2 * kFrameMargin},
                 color, kFramePen);
}

KaStColorDlg::KaStColorDlg(TemplateDialog* parent)
    : SelectionPicker(kColorPropertyTemplate, kColorEntries, u"MAINCOLOR01", parent) {}

KaStColorDlg::~KaStColorDlg() = default;

void KaStColorDlg::DoDataExchange(bool save) {
    SelectionPicker::DoDataExchange(save);
    for (size_t i = 0; i < mSwatches.size(); ++i)
        DDX_Control(kColorEntries[i].controlId, mSwatches[i]);
}

bool KaStColorDlg::PreTranslateMessage(const KeyMessage& key) {
    return SelectionPicker::PreTranslateMessage(key);
}

bool KaStColorDlg::OnInitDialog() {
    return SelectionPicker::OnInitDialog();
}

KaStLTypeDlg::KaStLTypeDlg(TemplateDialog* parent)
    : SelectionPicker(kLineTypePropertyTemplate, kLineTypeEntries, u"LINETYPE01", parent) {}

KaStLTypeDlg::~KaStLTypeDlg() = default;

bool KaStLTypeDlg::PreTranslateMessage(const KeyMessage& key) {
    return SelectionPicker::PreTranslateMessage(key);
}

bool KaStLTypeDlg::OnInitDialog() {
    const bool result = SelectionPicker::OnInitDialog();
    for (const PickerEntry& e : kLineTypeEntries)
        Surface()->SetBitmap(e.controlId, LineTypePictureId(e.name));
    return result;
}

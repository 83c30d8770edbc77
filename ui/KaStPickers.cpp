// KaStPickers.cpp - selection, framing, keys and pictures of the two pickers.
#include "ui/KaStPickers.h"

#include <QKeyEvent>
#include <QPainter>

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

bool SelectionPicker::PreTranslateMessage(QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            // Confirms wherever the focus is, CANCEL included.
            if (key->type() == QEvent::KeyPress) EndDialog(IDOK);
            return true;
        case Qt::Key_Escape:
            if (key->type() == QEvent::KeyPress) EndDialog(IDCANCEL);
            return true;
        default:
            return TemplateDialog::PreTranslateMessage(key);
    }
}

void SelectionPicker::MapMessages() {
    for (const PickerEntry& e : entries_) {
        auto* control = qobject_cast<StaticWidget*>(GetDlgItem(e.controlId));
        if (!control) continue;
        const std::u16string name = e.name;
        connect(control, &StaticWidget::clicked, this, [this, name] { OnClickedEntry(name); });
        connect(control, &StaticWidget::doubleClicked, this,
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

void SelectionPicker::OnPaint(QPainter& dc) {
    if (!mPrevSelection.empty()) FrameControl(dc, mPrevSelection, dc.background().color());
    if (!mSelection.empty()) FrameControl(dc, mSelection, QColor(255, 0, 0));
}

void SelectionPicker::FrameControl(QPainter& dc, const std::u16string& name, const QColor& color) {
    QWidget* control = GetDlgItem(ControlOfName(name));
    if (!control || !Window()) return;
    // The control's window rectangle, in the dialog's client coordinates.
    const QRect r(Window()->mapFromGlobal(control->mapToGlobal(QPoint(0, 0))), control->size());
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(color, kFramePen);
    pen.setJoinStyle(Qt::MiterJoin);
    dc.setPen(pen);
    dc.setBrush(Qt::NoBrush);
    // Rectangle(left - 3, top - 3, right + 3, bottom + 3), right and bottom exclusive; the
    // 2-pixel pen is centred on the outline.
    const QRectF outline(r.left() - kFrameMargin, r.top() - kFrameMargin,
                         r.width() + 2 * kFrameMargin - 1, r.height() + 2 * kFrameMargin - 1);
    dc.drawRect(outline);
    dc.restore();
}

KaStColorDlg::KaStColorDlg(TemplateDialog* parent)
    : SelectionPicker(kColorPropertyTemplate, kColorEntries, u"MAINCOLOR01", parent) {}

KaStColorDlg::~KaStColorDlg() = default;

void KaStColorDlg::DoDataExchange(bool save) {
    SelectionPicker::DoDataExchange(save);
    for (size_t i = 0; i < mSwatches.size(); ++i)
        DDX_Control(kColorEntries[i].controlId, mSwatches[i]);
}

bool KaStColorDlg::PreTranslateMessage(QKeyEvent* key) {
    return SelectionPicker::PreTranslateMessage(key);
}

bool KaStColorDlg::OnInitDialog() {
    return SelectionPicker::OnInitDialog();
}

KaStLTypeDlg::KaStLTypeDlg(TemplateDialog* parent)
    : SelectionPicker(kLineTypePropertyTemplate, kLineTypeEntries, u"LINETYPE01", parent) {}

KaStLTypeDlg::~KaStLTypeDlg() = default;

bool KaStLTypeDlg::PreTranslateMessage(QKeyEvent* key) {
    return SelectionPicker::PreTranslateMessage(key);
}

bool KaStLTypeDlg::OnInitDialog() {
    const bool result = SelectionPicker::OnInitDialog();
    for (const PickerEntry& e : kLineTypeEntries) {
        if (auto* s = qobject_cast<StaticWidget*>(GetDlgItem(e.controlId)))
            s->SetImage(LoadPluginBitmap(LineTypePictureId(e.name)));
    }
    return result;
}

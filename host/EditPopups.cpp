// EditPopups.cpp - the length and corner popups: value shown selected, kind radios that confirm
// at once, placement at the cursor.
#include "host/EditPopups.h"

#include <algorithm>

namespace {

constexpr int32_t kValueEdit = 12025;
constexpr int32_t kKindNone = 12000;
constexpr int32_t kKindCornerR = 12001;
constexpr int32_t kKindChamfer = 12002;

}  // namespace

EditPopupBase::EditPopupBase(int32_t templateId) : TemplateDialog(templateId) {}

bool EditPopupBase::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    PlaceAtCursor();
    if (mEdit) {
        mEdit.SetWindowText(mValue);
        mEdit.SetFocus();
        mEdit.SelectAll();
    }
    // The focus is set.
    return false;
}

void EditPopupBase::MapMessages() {
    OnMessage(Notification::KillFocus, kValueEdit, [this] { OnKillFocusValue(); });
}

void EditPopupBase::PlaceAtCursor() {
    DialogSurface* window = Surface();
    if (!window) return;
    const UiPoint cursor = window->CursorPosition();
    // Where the cursor would leave part of the popup off the screen, it moves onto it.
    const UiRect area = window->WorkAreaAt(cursor);
    const UiSize size = window->WindowSize();
    UiPoint topLeft = cursor;
    if (area.width > 0 && area.height > 0) {
        topLeft.x = std::max(area.left, std::min(topLeft.x, area.Right() - size.width));
        topLeft.y = std::max(area.top, std::min(topLeft.y, area.Bottom() - size.height));
    }
    window->MoveWindow(topLeft);
}

void EditPopupBase::OnKillFocusValue() {
    if (mEdit) mValue = mEdit.GetWindowText();
}

void EditPopupBase::OnOK() {
    OnKillFocusValue();
    TemplateDialog::OnOK();
}

void EditPopupBase::OnCancel() {
    OnKillFocusValue();
    TemplateDialog::OnCancel();
}

OrvantaDimLengthDlg::OrvantaDimLengthDlg() : EditPopupBase(kDimLengthTemplate) {}

OrvantaDimLengthDlg::~OrvantaDimLengthDlg() = default;

void OrvantaDimLengthDlg::DoDataExchange(bool save) {
    EditPopupBase::DoDataExchange(save);
    DDX_Control(kValueEdit, mEdit);
}

OrvantaDimLeaderDlg::OrvantaDimLeaderDlg() : EditPopupBase(kDimLeaderTemplate) {}

OrvantaDimLeaderDlg::~OrvantaDimLeaderDlg() = default;

void OrvantaDimLeaderDlg::DoDataExchange(bool save) {
    EditPopupBase::DoDataExchange(save);
    DDX_Radio(kKindNone, mKind, save);
    DDX_Control(kValueEdit, mEdit);
}

bool OrvantaDimLeaderDlg::OnInitDialog() {
    const bool result = EditPopupBase::OnInitDialog();
    // A kind outside 0 and 1 shows as chamfer.
    const int32_t checked = mKind == 0 ? kKindNone : mKind == 1 ? kKindCornerR : kKindChamfer;
    Surface()->SetChecked(checked, true);
    return result;
}

void OrvantaDimLeaderDlg::MapMessages() {
    EditPopupBase::MapMessages();
    const int32_t ids[] = {kKindNone, kKindCornerR, kKindChamfer};
    for (int32_t kind = 0; kind < 3; ++kind)
        OnMessage(Notification::Clicked, ids[kind], [this, kind] { OnClickedKind(kind); });
}

void OrvantaDimLeaderDlg::OnClickedKind(int32_t kind) {
    mKind = kind;
    OnKillFocusValue();
    EndDialog(IDOK);
}

// EditPopups.cpp - the length and corner popups: value shown selected, kind radios that confirm
// at once, placement at the cursor.
#include "host/EditPopups.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>

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
        mEdit->installEventFilter(this);
        mEdit->setText(ToQString(mValue));
        mEdit->setFocus(Qt::OtherFocusReason);
        mEdit->selectAll();
    }
    // The focus is set.
    return false;
}

void EditPopupBase::PlaceAtCursor() {
    DialogWindow* window = Window();
    if (!window) return;
    const QPoint cursor = QCursor::pos();
    QPoint topLeft = cursor;
    QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        // Where the cursor would leave part of the popup off the screen, it moves onto it.
        const QRect area = screen->availableGeometry();
        const QSize size = window->size();
        topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - size.width())));
        topLeft.setY(
            std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - size.height())));
    }
    window->move(topLeft);
}

void EditPopupBase::OnKillFocusValue() {
    if (mEdit) mValue = FromQString(mEdit->text());
}

void EditPopupBase::OnOK() {
    OnKillFocusValue();
    TemplateDialog::OnOK();
}

void EditPopupBase::OnCancel() {
    OnKillFocusValue();
    TemplateDialog::OnCancel();
}

bool EditPopupBase::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && Window() && mEdit && watched == mEdit.data())
        OnKillFocusValue();
    return TemplateDialog::eventFilter(watched, event);
}

void EditPopupBase::OnDestroyWindow() {
    // The edit goes with the window; nothing may reach it while it is being destroyed.
    if (mEdit) mEdit->removeEventFilter(this);
    mEdit = nullptr;
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
    if (auto* radio = qobject_cast<QRadioButton*>(GetDlgItem(checked))) radio->setChecked(true);
    return result;
}

void OrvantaDimLeaderDlg::MapMessages() {
    const int32_t ids[] = {kKindNone, kKindCornerR, kKindChamfer};
    for (int32_t kind = 0; kind < 3; ++kind) {
        if (auto* radio = qobject_cast<QRadioButton*>(GetDlgItem(ids[kind])))
            connect(radio, &QRadioButton::clicked, this, [this, kind] { OnClickedKind(kind); });
    }
}

void OrvantaDimLeaderDlg::OnClickedKind(int32_t kind) {
    mKind = kind;
    OnKillFocusValue();
    EndDialog(IDOK);
}

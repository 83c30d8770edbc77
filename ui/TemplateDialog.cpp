// TemplateDialog.cpp - building dialog windows from templates, running them modally, exchanging
// data with their controls, and the static controls that owner objects paint.
#include "ui/TemplateDialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "ui/Resources.h"
#include "ui/UiScope.h"

namespace {

constexpr uint32_t kStaticTypeMask = 0x1F;
constexpr uint32_t kStaticBitmap = 0x0E;
constexpr uint32_t kStaticWhiteRect = 0x06;
constexpr char kGroupProperty[] = "orvantaRadioGroup";

bool IsRadio(ControlKind kind) {
    return kind == ControlKind::RadioGroupStart || kind == ControlKind::Radio;
}

}  // namespace

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQString(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

QFont TemplateFont(const DialogTemplate& tmpl) {
    const QString face =
        QString::fromUtf16(tmpl.fontName.data(), static_cast<qsizetype>(tmpl.fontName.size()));
    QFont font = QFontDatabase::hasFamily(face)
                     ? QFont(face)
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(tmpl.fontPoints);
    QStringList families{font.family()};
    // Hangul must show whatever the dialog face covers.
    for (const char* korean : {"NanumGothic", "Nanum Gothic", "NanumBarunGothic"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(korean))) {
            families << QString::fromLatin1(korean);
            break;
        }
    }
    font.setFamilies(families);
    return font;
}

DialogUnits DialogUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits units;
    units.baseX = std::max(1, DialogUnits::BaseXFromAlphabetWidth(alphabet));
    units.baseY = std::max(1, metrics.height());
    return units;
}

int32_t ControlId(const QObject* widget) {
    if (!widget) return 0;
    bool ok = false;
    const int id = widget->objectName().toInt(&ok);
    return ok ? id : 0;
}

// ---------------------------------------------------------------------------------------------
// Statics

StaticWidget::StaticWidget(const ControlTemplate& tmpl, QWidget* parent) : QFrame(parent) {
    const uint32_t type = tmpl.style & kStaticTypeMask;
    bitmap_ = type == kStaticBitmap;
    notify_ = (tmpl.style & winstyle::kStaticNotify) != 0;
    if (tmpl.style & winstyle::kStaticSunken) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
    } else if (tmpl.style & winstyle::kBorder) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    // Statics never take the focus, neither by click nor by Tab.
    setFocusPolicy(Qt::NoFocus);
}

void StaticWidget::SetImage(const QImage& image) {
    image_ = image;
    if (bitmap_ && !image_.isNull()) {
        const int border = 2 * frameWidth();
        resize(image_.width() + border, image_.height() + border);
    }
    update();
}

void StaticWidget::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    const QRect client = contentsRect();
    if (owner_) {
        dc.save();
        owner_->OnPaint(dc, client);
        dc.restore();
    } else if (bitmap_) {
        if (!image_.isNull()) dc.drawImage(client.topLeft(), image_);
    } else if (!bitmap_) {
        dc.fillRect(client, Qt::white);
    }
    drawFrame(&dc);
}

void StaticWidget::mousePressEvent(QMouseEvent* event) {
    if (notify_ && event->button() == Qt::LeftButton) {
        event->accept();
        Q_EMIT clicked();
        return;
    }
    QFrame::mousePressEvent(event);
}

void StaticWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (notify_ && event->button() == Qt::LeftButton) {
        event->accept();
        Q_EMIT doubleClicked();
        return;
    }
    QFrame::mouseDoubleClickEvent(event);
}

StaticControl::~StaticControl() {
    SubclassWindow(nullptr);
}

void StaticControl::SubclassWindow(QWidget* widget) {
    if (widget_ && widget_->owner_ == this) widget_->owner_ = nullptr;
    widget_ = qobject_cast<StaticWidget*>(widget);
    if (widget_) {
        widget_->owner_ = this;
        widget_->update();
    }
}

void StaticControl::Invalidate() {
    if (widget_) widget_->update();
}

// ---------------------------------------------------------------------------------------------
// Dialog window

DialogWindow::DialogWindow(TemplateDialog& owner, const DialogTemplate& tmpl, QWidget* parent)
    : QDialog(parent), owner_(owner) {
    setObjectName(QString::number(tmpl.id));
    Qt::WindowFlags flags = Qt::Dialog;
    if (tmpl.HasCaption()) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    setWindowFlags(flags);
    setWindowTitle(
        QString::fromUtf16(tmpl.caption.data(), static_cast<qsizetype>(tmpl.caption.size())));
    setModal(true);
    const QFont font = TemplateFont(tmpl);
    setFont(font);
    units_ = DialogUnitsOf(font);
    setFixedSize(units_.X(tmpl.cx), units_.Y(tmpl.cy));
    BuildControls(tmpl);
}

void DialogWindow::BuildControls(const DialogTemplate& tmpl) {
    QButtonGroup* radioGroup = nullptr;
    QList<QWidget*> groupBoxes;
    for (const ControlTemplate& c : tmpl.controls) {
        const QString text =
            QString::fromUtf16(c.text.data(), static_cast<qsizetype>(c.text.size()));
        QWidget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::PushButton: {
                auto* button = new QPushButton(text, this);
                // Enter on a focused button is the window's business (keyPressEvent), so that
                // no button turns into a default button of its own accord.
                button->setAutoDefault(false);
                widget = button;
                break;
            }
            case ControlKind::RadioGroupStart:
            case ControlKind::Radio: {
                auto* radio = new QRadioButton(text, this);
                if (c.kind == ControlKind::RadioGroupStart || !radioGroup) {
                    radioGroup = new QButtonGroup(this);
                    radioGroup->setExclusive(true);
                }
                radioGroup->addButton(radio);
                radio->setProperty(kGroupProperty, QVariant::fromValue<QObject*>(radioGroup));
                widget = radio;
                break;
            }
            case ControlKind::GroupBox:
                widget = new QGroupBox(text, this);
                // A group box only frames the controls beside it: clicks go through it, and it
                // lies beneath them.
                widget->setAttribute(Qt::WA_TransparentForMouseEvents);
                widget->setFocusPolicy(Qt::NoFocus);
                groupBoxes << widget;
                break;
            case ControlKind::CheckBox:
                widget = new QCheckBox(text, this);
                break;
            case ControlKind::Edit:
                widget = new QLineEdit(this);
                break;
            case ControlKind::DropDownList: {
                auto* combo = new QComboBox(this);
                combo->setEditable(false);
                combo->setMaxVisibleItems(8);
                widget = combo;
                break;
            }
            case ControlKind::Label: {
                auto* label = new QLabel(text, this);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setTextFormat(Qt::PlainText);
                widget = label;
                break;
            }
            case ControlKind::MainColorSwatch:
            case ControlKind::BkColorSwatch:
            case ControlKind::BitmapStatic:
                widget = new StaticWidget(c, this);
                break;
        }
        if (!IsRadio(c.kind)) radioGroup = nullptr;
        widget->setObjectName(QString::number(c.id));
        int height = units_.Y(c.cy);
        if (c.kind == ControlKind::DropDownList) {
            // The template's height includes the opened list; the closed box is one line.
            height = std::min(height, widget->sizeHint().height());
        }
        widget->setGeometry(units_.X(c.x), units_.Y(c.y), units_.X(c.cx), height);
        if (c.bitmap != 0) {
            if (auto* s = qobject_cast<StaticWidget*>(widget))
                s->SetImage(LoadPluginBitmap(c.bitmap));
        }
    }
    for (QWidget* box : groupBoxes) box->lower();
}

void DialogWindow::reject() {
    // The close box, Alt+F4 and the platform's Escape all arrive here.
    owner_.OnCancel();
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The dialog's default command: a focused push button's own, otherwise OK.
            if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
                button && isAncestorOf(button) && button->isEnabled()) {
                button->click();
            } else {
                owner_.OnOK();
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            owner_.OnCancel();
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void DialogWindow::paintEvent(QPaintEvent*) {
    const QBrush background = palette().brush(QPalette::Window);
    if (!owner_.paintsOverBackground_) {
        QPainter dc(this);
        dc.setBackground(background);
        owner_.OnPaint(dc);
        return;
    }
    // What the dialog paints stays on its surface until a repaint that erases: a repaint that
    // does not erase paints over what is there.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (surface_.size() != pixels) {
        surface_ = QImage(pixels, QImage::Format_RGB32);
        surface_.setDevicePixelRatio(ratio);
        eraseNext_ = true;
    }
    if (eraseNext_) {
        surface_.fill(background.color());
        eraseNext_ = false;
    }
    {
        QPainter surfaceDc(&surface_);
        // A paint device context's background colour is the dialog's own.
        surfaceDc.setBackground(background);
        owner_.OnPaint(surfaceDc);
    }
    QPainter dc(this);
    dc.drawImage(0, 0, surface_);
}

void DialogWindow::showEvent(QShowEvent* event) {
    eraseNext_ = true;
    QDialog::showEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Dialog object

TemplateDialog::TemplateDialog(int32_t templateId, TemplateDialog* parent)
    : parentDialog_(parent), template_(FindDialogTemplate(templateId)) {
    if (!template_) template_ = FindDialogTemplate(kCreateInsertTemplate);
}

TemplateDialog::~TemplateDialog() = default;

int TemplateDialog::DoModal() {
    if (window_ || !UiScope::Active()) return IDCANCEL;
    // A dialog of the command belongs to the host's window, over which it opens.
    QWidget* parentWindow = parentDialog_ ? parentDialog_->Window() : QApplication::activeWindow();
    window_ = std::make_unique<DialogWindow>(*this, *template_, parentWindow);
    WatchKeys(window_.get());
    for (QWidget* child : window_->findChildren<QWidget*>()) WatchKeys(child);
    // A drop-down list opens in a window of its own, made on demand; its keys
    // belong to the dialog as well.
    for (QComboBox* combo : window_->findChildren<QComboBox*>()) {
        WatchKeys(combo->view());
        WatchKeys(combo->view()->viewport());
    }
    if (auto* ok = qobject_cast<QPushButton*>(GetDlgItem(IDOK)))
        connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    if (auto* cancel = qobject_cast<QPushButton*>(GetDlgItem(IDCANCEL)))
        connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    MapMessages();
    if (OnInitDialog()) FocusFirstTabStop();
    const int result = window_->exec();
    OnDestroyWindow();
    window_.reset();
    return result == IDOK ? IDOK : IDCANCEL;
}

void TemplateDialog::EndDialog(int result) {
    if (window_) window_->done(result);
}

QWidget* TemplateDialog::GetDlgItem(int32_t id) const {
    if (!window_) return nullptr;
    const QString name = QString::number(id);
    for (QObject* child : window_->children()) {
        if (auto* w = qobject_cast<QWidget*>(child); w && w->objectName() == name) return w;
    }
    return nullptr;
}

bool TemplateDialog::UpdateData(bool save) {
    if (!window_) return false;
    DoDataExchange(save);
    return true;
}

void TemplateDialog::Invalidate(bool erase) {
    if (!window_) return;
    if (erase || !paintsOverBackground_) window_->RequestErase();
    window_->update();
}

bool TemplateDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void TemplateDialog::DoDataExchange(bool) {}

bool TemplateDialog::PreTranslateMessage(QKeyEvent*) {
    return false;
}

void TemplateDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void TemplateDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void TemplateDialog::OnPaint(QPainter&) {}

bool TemplateDialog::eventFilter(QObject* watched, QEvent* event) {
    // An open drop-down list takes Enter already as a shortcut override, before
    // the key press itself, so that stage is filtered too.
    const QEvent::Type type = event->type();
    if (window_ && (type == QEvent::KeyPress || type == QEvent::KeyRelease ||
                    type == QEvent::ShortcutOverride)) {
        if (PreTranslateMessage(static_cast<QKeyEvent*>(event))) return true;
    }
    return QObject::eventFilter(watched, event);
}

void TemplateDialog::WatchKeys(QObject* object) {
    object->installEventFilter(this);
}

void TemplateDialog::FocusFirstTabStop() {
    for (const ControlTemplate& c : template_->controls) {
        if (!(c.style & winstyle::kTabStop)) continue;
        QWidget* w = GetDlgItem(c.id);
        if (w && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TemplateDialog::DDX_Text(int32_t id, std::u16string& value, bool save) {
    auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id));
    if (!edit) return;
    if (save)
        value = FromQString(edit->text());
    else
        edit->setText(ToQString(value));
}

void TemplateDialog::DDX_Check(int32_t id, int32_t& value, bool save) {
    auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    if (!box) return;
    if (save)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void TemplateDialog::DDX_Radio(int32_t firstId, int32_t& value, bool save) {
    auto* first = qobject_cast<QAbstractButton*>(GetDlgItem(firstId));
    if (!first) return;
    auto* group = qobject_cast<QButtonGroup*>(first->property(kGroupProperty).value<QObject*>());
    if (!group) return;
    const QList<QAbstractButton*> buttons = group->buttons();
    if (save) {
        value = -1;
        for (int i = 0; i < buttons.size(); ++i)
            if (buttons[i]->isChecked()) value = i;
        return;
    }
    // A value outside the group leaves every button unchecked.
    group->setExclusive(false);
    for (int i = 0; i < buttons.size(); ++i) buttons[i]->setChecked(i == value);
    group->setExclusive(true);
}

void TemplateDialog::DDX_Control(int32_t id, StaticControl& control) {
    QWidget* item = GetDlgItem(id);
    if (item && control.Widget() != item) control.SubclassWindow(item);
}

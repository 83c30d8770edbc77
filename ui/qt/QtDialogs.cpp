// QtDialogs.cpp - dialog windows built from templates with Qt Widgets: controls, keys and
// notifications turned into the dialog object's messages, painting through PainterContext, and
// the plug-in's bitmaps as images.
#include "ui/qt/QtDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <map>

#include "ui/Resources.h"
#include "ui/UiScope.h"

namespace {

constexpr uint32_t kStaticTypeMask = 0x1F;
constexpr uint32_t kStaticBitmap = 0x0E;
constexpr char kGroupProperty[] = "orvantaRadioGroup";

bool IsRadio(ControlKind kind) {
    return kind == ControlKind::RadioGroupStart || kind == ControlKind::Radio;
}

QColor ToQColor(UiColor c) {
    return QColor(c.red, c.green, c.blue);
}

UiColor FromQColor(const QColor& c) {
    return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
            static_cast<uint8_t>(c.blue())};
}

QPolygonF ToPolygon(std::span<const UiPointF> points) {
    QPolygonF polygon;
    for (const UiPointF& p : points) polygon << QPointF(p.x, p.y);
    return polygon;
}

DialogKey KeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return DialogKey::Enter;
        case Qt::Key_Escape:
            return DialogKey::Escape;
        case Qt::Key_Space:
            return DialogKey::Space;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return DialogKey::Tab;
        default:
            return DialogKey::Other;
    }
}

}  // namespace

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQString(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

// Qt 5 (inside LibreCAD) asks a font database object what Qt 6 asks the class.
bool FontInstalled(const QString& family) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QFontDatabase::hasFamily(family);
#else
    return QFontDatabase().hasFamily(family);
#endif
}

QFont TemplateFont(const DialogTemplate& tmpl) {
    const QString face =
        QString::fromUtf16(tmpl.fontName.data(), static_cast<qsizetype>(tmpl.fontName.size()));
    QFont font =
        FontInstalled(face) ? QFont(face) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(tmpl.fontPoints);
    QStringList families{font.family()};
    // Hangul must show whatever the dialog face covers.
    for (const char* korean : {"NanumGothic", "Nanum Gothic", "NanumBarunGothic"}) {
        if (FontInstalled(QString::fromLatin1(korean))) {
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

QImage LoadPluginBitmap(int32_t id) {
    static std::map<int32_t, QImage> cache;
    if (auto it = cache.find(id); it != cache.end()) return it->second;
    const std::optional<UiSize> size = PluginBitmapSize(id);
    if (!size) return {};
    QImage canvas(size->width, size->height, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        PainterContext dc(painter, {0, 0, 0});
        DrawPluginBitmap(id, dc);
    }
    const QImage image = canvas.convertToFormat(QImage::Format_RGB888);
    cache.emplace(id, image);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Drawing context

void PainterContext::FillRect(const UiRect& rect, UiColor color) {
    p_.fillRect(QRect(rect.left, rect.top, rect.width, rect.height), ToQColor(color));
}

void PainterContext::FrameRect(const UiRect& rect, UiColor color, int pen) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, false);
    QPen framePen(ToQColor(color), pen);
    framePen.setJoinStyle(Qt::MiterJoin);
    p_.setPen(framePen);
    p_.setBrush(Qt::NoBrush);
    // Right and bottom exclusive; the pen is centred on the outline.
    p_.drawRect(QRectF(rect.left, rect.top, rect.width - 1, rect.height - 1));
    p_.restore();
}

void PainterContext::Polyline(std::span<const UiPointF> points, UiColor color, double pen,
                              bool closed) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(ToQColor(color), pen));
    p_.setBrush(Qt::NoBrush);
    const QPolygonF polygon = ToPolygon(points);
    if (closed)
        p_.drawPolygon(polygon);
    else
        p_.drawPolyline(polygon);
    p_.restore();
}

void PainterContext::FillPolygon(std::span<const UiPointF> points, UiColor color) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(Qt::NoPen);
    p_.setBrush(ToQColor(color));
    p_.drawPolygon(ToPolygon(points));
    p_.restore();
}

// ---------------------------------------------------------------------------------------------
// Statics

StaticWidget::StaticWidget(const ControlTemplate& tmpl, DialogEvents& events, QWidget* parent)
    : QFrame(parent), events_(events), id_(tmpl.id) {
    const uint32_t type = tmpl.style & kStaticTypeMask;
    bitmap_ = type == kStaticBitmap;
    notify_ = (tmpl.style & winstyle::kStaticNotify) != 0;
    if (tmpl.style & winstyle::kStaticSunken) {
        setFrameStyle(static_cast<int>(QFrame::Panel) | QFrame::Sunken);
        setLineWidth(1);
    } else if (tmpl.style & winstyle::kBorder) {
        setFrameStyle(static_cast<int>(QFrame::Box) | QFrame::Plain);
        setLineWidth(1);
    }
    // A static takes the focus by Tab only, and only where its template makes it a tab stop (the
    // colour and line-type swatches), as the dialog manager gives it.
    setFocusPolicy((tmpl.style & winstyle::kTabStop) ? Qt::TabFocus : Qt::NoFocus);
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
    QPainter painter(this);
    const QRect r = contentsRect();
    const UiRect client{r.left(), r.top(), r.width(), r.height()};
    painter.save();
    PainterContext dc(painter, FromQColor(palette().color(QPalette::Window)));
    const bool ownerPainted = events_.PaintStatic(id_, dc, client);
    painter.restore();
    if (!ownerPainted) {
        if (bitmap_) {
            if (!image_.isNull()) painter.drawImage(r.topLeft(), image_);
        } else {
            painter.fillRect(r, Qt::white);
        }
    }
    drawFrame(&painter);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
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

// ---------------------------------------------------------------------------------------------
// Dialog window

DialogWindow::DialogWindow(DialogEvents& events, const DialogTemplate& tmpl, QWidget* parent)
    : QDialog(parent), events_(events) {
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

QWidget* DialogWindow::Control(int32_t id) const {
    const QString name = QString::number(id);
    for (QObject* child : children()) {
        if (auto* w = qobject_cast<QWidget*>(child); w && w->objectName() == name) return w;
    }
    return nullptr;
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
                widget = new StaticWidget(c, events_, this);
                break;
        }
        if (!IsRadio(c.kind)) radioGroup = nullptr;
        widget->setObjectName(QString::number(c.id));
        TakeTabStop(widget, c);
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

void DialogWindow::TakeTabStop(QWidget* widget, const ControlTemplate& c) {
    if (widget->focusPolicy() == Qt::NoFocus) return;
    // As in the dialog manager, Tab stops only at controls whose template says so; a radio
    // button is the stop of its group while it is the checked one.
    const Qt::FocusPolicy tabStop = widget->focusPolicy();
    auto* radio = qobject_cast<QRadioButton*>(widget);
    const bool stops = radio ? radio->isChecked() : (c.style & winstyle::kTabStop) != 0;
    widget->setFocusPolicy(stops ? tabStop : Qt::ClickFocus);
    if (radio) {
        connect(radio, &QRadioButton::toggled, radio, [radio, tabStop](bool checked) {
            radio->setFocusPolicy(checked ? tabStop : Qt::ClickFocus);
        });
    }
}

void DialogWindow::reject() {
    // The close box, Alt+F4 and the platform's Escape all arrive here.
    events_.Notify(IDCANCEL, Notification::Clicked);
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
                events_.Notify(IDOK, Notification::Clicked);
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            events_.Notify(IDCANCEL, Notification::Clicked);
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void DialogWindow::paintEvent(QPaintEvent*) {
    const QColor background = palette().color(QPalette::Window);
    if (!events_.PaintsOverBackground()) {
        QPainter painter(this);
        PainterContext dc(painter, FromQColor(background));
        events_.PaintDialog(dc);
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
        surface_.fill(background);
        eraseNext_ = false;
    }
    {
        QPainter surfacePainter(&surface_);
        PainterContext dc(surfacePainter, FromQColor(background));
        events_.PaintDialog(dc);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, surface_);
}

void DialogWindow::showEvent(QShowEvent* event) {
    eraseNext_ = true;
    QDialog::showEvent(event);
}

// ---------------------------------------------------------------------------------------------
// The surface the dialog object sees

namespace {

class QtDialogSurface : public QObject, public DialogSurface {
public:
    QtDialogSurface(DialogEvents& events, const DialogTemplate& tmpl, QWidget* parent)
        : events_(events), window_(std::make_unique<DialogWindow>(events, tmpl, parent)) {
        WatchKeys(window_.get());
        for (QWidget* child : window_->findChildren<QWidget*>()) WatchKeys(child);
        // A drop-down list opens in a window of its own, made on demand; its keys belong to the
        // dialog as well.
        for (QComboBox* combo : window_->findChildren<QComboBox*>()) {
            WatchKeys(combo->view());
            WatchKeys(combo->view()->viewport());
        }
        ConnectNotifications(tmpl);
    }

    ~QtDialogSurface() override {
        closing_ = true;
        window_.reset();
    }

    DialogWindow* Window() const { return window_.get(); }

    int RunModal() override {
        events_.InitDialog();
        return window_->exec();
    }
    void EndModal(int result) override { window_->done(result); }

    bool HasControl(int32_t id) const override { return window_->Control(id) != nullptr; }

    std::u16string Text(int32_t id) const override {
        auto* edit = As<QLineEdit>(id);
        return edit ? FromQString(edit->text()) : std::u16string();
    }
    void SetText(int32_t id, const std::u16string& text) override {
        if (auto* edit = As<QLineEdit>(id)) edit->setText(ToQString(text));
    }
    void SelectAllText(int32_t id) override {
        if (auto* edit = As<QLineEdit>(id)) edit->selectAll();
    }

    bool IsChecked(int32_t id) const override {
        auto* button = As<QAbstractButton>(id);
        return button && button->isChecked();
    }
    void SetChecked(int32_t id, bool checked) override {
        auto* button = As<QAbstractButton>(id);
        if (!button) return;
        // A radio button of an exclusive group is unchecked only with the group's exclusion off.
        auto* group =
            qobject_cast<QButtonGroup*>(button->property(kGroupProperty).value<QObject*>());
        const bool exclusive = group && group->exclusive();
        if (exclusive && !checked) group->setExclusive(false);
        button->setChecked(checked);
        if (exclusive && !checked) group->setExclusive(true);
    }

    void AddListEntry(int32_t id, const std::u16string& text) override {
        if (auto* list = As<QComboBox>(id)) list->addItem(ToQString(text));
    }
    int ListSelection(int32_t id) const override {
        auto* list = As<QComboBox>(id);
        return list ? list->currentIndex() : -1;
    }
    void SetListSelection(int32_t id, int index) override {
        auto* list = As<QComboBox>(id);
        if (list) list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }

    void Enable(int32_t id, bool enabled) override {
        if (QWidget* w = window_->Control(id)) w->setEnabled(enabled);
    }
    bool IsEnabled(int32_t id) const override {
        QWidget* w = window_->Control(id);
        return w && w->isEnabled();
    }
    void Focus(int32_t id) override {
        if (QWidget* w = window_->Control(id)) w->setFocus(Qt::TabFocusReason);
    }
    bool TakesTabFocus(int32_t id) const override {
        QWidget* w = window_->Control(id);
        return w && (w->focusPolicy() & Qt::TabFocus);
    }
    void SetBitmap(int32_t id, int32_t bitmapId) override {
        if (auto* s = As<StaticWidget>(id)) s->SetImage(LoadPluginBitmap(bitmapId));
    }
    UiRect ControlRect(int32_t id) const override {
        QWidget* w = window_->Control(id);
        if (!w) return {};
        const QPoint topLeft = window_->mapFromGlobal(w->mapToGlobal(QPoint(0, 0)));
        return {topLeft.x(), topLeft.y(), w->width(), w->height()};
    }
    void InvalidateControl(int32_t id) override {
        if (QWidget* w = window_->Control(id)) w->update();
    }
    void Invalidate(bool erase) override {
        if (erase) window_->RequestErase();
        window_->update();
    }

    UiSize WindowSize() const override { return {window_->width(), window_->height()}; }
    void MoveWindow(UiPoint topLeft) override { window_->move(topLeft.x, topLeft.y); }
    UiPoint CursorPosition() const override {
        const QPoint p = QCursor::pos();
        return {p.x(), p.y()};
    }
    UiRect WorkAreaAt(UiPoint point) const override {
        QScreen* screen = QGuiApplication::screenAt(QPoint(point.x, point.y));
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (!screen) return {point.x, point.y, 0, 0};
        const QRect area = screen->availableGeometry();
        return {area.left(), area.top(), area.width(), area.height()};
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (closing_) return false;
        const QEvent::Type type = event->type();
        // An open drop-down list takes Enter already as a shortcut override, before the key
        // press itself, so that stage is filtered too.
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease ||
            type == QEvent::ShortcutOverride) {
            KeyMessage key;
            key.key = KeyOf(static_cast<QKeyEvent*>(event)->key());
            key.stage = type == QEvent::KeyPress     ? KeyMessage::Stage::Press
                        : type == QEvent::KeyRelease ? KeyMessage::Stage::Release
                                                     : KeyMessage::Stage::Other;
            if (events_.PreTranslateKey(key)) return true;
            // A closed drop-down list opens with F4 or Alt+Down, not with Space, as the dialog
            // manager's lists do.
            if (key.key == DialogKey::Space && type == QEvent::KeyPress &&
                qobject_cast<QComboBox*>(watched))
                return true;
        } else if (type == QEvent::FocusOut && qobject_cast<QLineEdit*>(watched)) {
            events_.Notify(ControlId(watched), Notification::KillFocus);
        }
        return false;
    }

private:
    template <class Widget>
    Widget* As(int32_t id) const {
        return qobject_cast<Widget*>(window_->Control(id));
    }

    void WatchKeys(QObject* object) { object->installEventFilter(this); }

    void ConnectNotifications(const DialogTemplate& tmpl) {
        for (const ControlTemplate& c : tmpl.controls) {
            if (c.id <= 0) continue;  // a static without id tells nothing
            QWidget* w = window_->Control(c.id);
            const int32_t id = c.id;
            auto notify = [this, id](Notification what) {
                return [this, id, what] {
                    if (!closing_) events_.Notify(id, what);
                };
            };
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                connect(button, &QAbstractButton::clicked, this, notify(Notification::Clicked));
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                connect(list, qOverload<int>(&QComboBox::activated), this,
                        notify(Notification::SelectionChanged));
            } else if (auto* s = qobject_cast<StaticWidget*>(w)) {
                connect(s, &StaticWidget::clicked, this, notify(Notification::Clicked));
                connect(s, &StaticWidget::doubleClicked, this, notify(Notification::DoubleClicked));
            }
        }
    }

    DialogEvents& events_;
    std::unique_ptr<DialogWindow> window_;
    bool closing_ = false;
};

}  // namespace

std::unique_ptr<DialogSurface> CreateDialogSurface(DialogEvents& events, const DialogTemplate& tmpl,
                                                   DialogSurface* owner) {
    if (!UiScope::Active()) return nullptr;
    // A dialog of the command belongs to the host's window, over which it opens.
    QWidget* parent =
        owner ? static_cast<QtDialogSurface*>(owner)->Window() : QApplication::activeWindow();
    return std::make_unique<QtDialogSurface>(events, tmpl, parent);
}

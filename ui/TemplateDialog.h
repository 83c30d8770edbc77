// TemplateDialog.h - the dialog machinery the plug-in's dialogs share: a dialog object that lives
// before and after its window, a window built from a dialog template at run time, data exchange
// between members and controls, key pre-translation, and static controls that owner objects
// paint.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/DialogTemplate.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPainter;
class TemplateDialog;
class StaticControl;

// Modal results, as the dialog manager numbers them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The font a template asks for: its face at its point size; where that face does not exist, the
// platform's dialog font at the same size, falling back to a Korean face for Hangul.
QFont TemplateFont(const DialogTemplate& tmpl);
// Dialog base units of a font.
DialogUnits DialogUnitsOf(const QFont& font);

// The id that a template gave a control (its object name), or 0 for a widget without one.
int32_t ControlId(const QObject* widget);

// A static control of a dialog window: white or bitmap, with an optional border, reporting
// clicks and double clicks when its template asks for notifications. An owner object bound to it
// (StaticControl) may take over its painting.
class StaticWidget : public QFrame {
    Q_OBJECT
public:
    StaticWidget(const ControlTemplate& tmpl, QWidget* parent);

    // Shows the image; a bitmap static takes the size of its image (plus its border).
    void SetImage(const QImage& image);
    const QImage& Image() const { return image_; }
    bool Notifies() const { return notify_; }

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class StaticControl;
    QPointer<StaticControl> owner_;
    QImage image_;
    bool bitmap_ = false;
    bool notify_ = false;
};

// The object side of a static control: exists with its dialog object, is bound to the window's
// static while the window lives, and paints it.
class StaticControl : public QObject {
    Q_OBJECT
public:
    ~StaticControl() override;
    // Binds to the static (once per window); a null or non-static widget unbinds.
    void SubclassWindow(QWidget* widget);
    StaticWidget* Widget() const { return widget_; }
    // Repaints the static, if bound.
    void Invalidate();
    int32_t GetDlgCtrlID() const { return widget_ ? ControlId(widget_) : 0; }

protected:
    friend class StaticWidget;
    // Paints the client area (inside the border).
    virtual void OnPaint(QPainter& dc, const QRect& client) = 0;

private:
    QPointer<StaticWidget> widget_;
};

// The window of a running dialog: built from the template, with its controls named by their ids.
class DialogWindow : public QDialog {
    Q_OBJECT
public:
    DialogWindow(TemplateDialog& owner, const DialogTemplate& tmpl, QWidget* parent);

    TemplateDialog& Owner() const { return owner_; }
    const DialogUnits& Units() const { return units_; }
    // Next paint first fills the background (otherwise what was painted before stays).
    void RequestErase() { eraseNext_ = true; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls(const DialogTemplate& tmpl);

    TemplateDialog& owner_;
    DialogUnits units_;
    QImage surface_;  // what a dialog that paints over its background has painted so far
    bool eraseNext_ = true;
};

// The dialog object: members and handlers that outlive one modal run of its window. DoModal
// builds the window from the template, runs OnInitDialog, runs the window modally, and destroys
// it; OK transfers the controls into the members (DoDataExchange) before the window goes.
class TemplateDialog : public QObject {
    Q_OBJECT
public:
    // parent: the dialog that owns this one (its window becomes the parent window), or null.
    explicit TemplateDialog(int32_t templateId, TemplateDialog* parent = nullptr);
    ~TemplateDialog() override;

    // IDOK or IDCANCEL. Without a widget application (no UiScope alive) the dialog cannot be
    // shown and the answer is IDCANCEL.
    int DoModal();
    // Ends the modal run with the result.
    void EndDialog(int result);

    const DialogTemplate& Template() const { return *template_; }
    // The window while the dialog runs, else nullptr.
    DialogWindow* Window() const { return window_.get(); }
    // A control of the running window by id, or nullptr.
    QWidget* GetDlgItem(int32_t id) const;

    // Transfers between members and controls: save=false puts members into controls, save=true
    // reads the controls into the members.
    bool UpdateData(bool save);
    // Repaints the whole client area; erase=false keeps what is painted and paints over it.
    void Invalidate(bool erase = true);

protected:
    friend class DialogWindow;
    virtual bool OnInitDialog();
    virtual void DoDataExchange(bool save);
    // Key events of the window and every control, before they are delivered; true consumes.
    virtual bool PreTranslateMessage(QKeyEvent* key);
    virtual void OnOK();
    virtual void OnCancel();
    // Paints on the dialog's client area, after the background and below the controls.
    virtual void OnPaint(QPainter& dc);
    // Connects the window's controls to this object's handlers; called once per window.
    virtual void MapMessages() {}
    // Called before the window goes (after the modal run ended).
    virtual void OnDestroyWindow() {}
    // Whether the dialog paints itself without the background being erased on every repaint.
    void SetPaintsOverBackground(bool on) { paintsOverBackground_ = on; }

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Exchange helpers.
    void DDX_Text(int32_t id, std::u16string& value, bool save);
    void DDX_Check(int32_t id, int32_t& value, bool save);
    void DDX_Radio(int32_t firstId, int32_t& value, bool save);
    void DDX_Control(int32_t id, StaticControl& control);
    template <class Widget>
    void DDX_Control(int32_t id, QPointer<Widget>& control) {
        control = qobject_cast<Widget*>(GetDlgItem(id));
    }

    TemplateDialog* parentDialog_ = nullptr;

private:
    void FocusFirstTabStop();
    void WatchKeys(QObject* object);

    const DialogTemplate* template_;
    std::unique_ptr<DialogWindow> window_;
    bool paintsOverBackground_ = false;
};

// Text conversions between the members' UTF-16 and Qt.
QString ToQString(const std::u16string& text);
std::u16string FromQString(const QString& text);

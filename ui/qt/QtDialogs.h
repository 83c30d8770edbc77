// QtDialogs.h - the Qt Widgets back end of the dialogs: a QDialog built from a template with its
// controls named by their ids, the static controls that owner objects paint, a drawing context
// over QPainter, and the plug-in's bitmaps as images.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>

#include "ui/DialogSurface.h"
#include "ui/DialogTemplate.h"

class QPainter;

// Text conversions between the dialogs' UTF-16 and Qt.
QString ToQString(const std::u16string& text);
std::u16string FromQString(const QString& text);

// The font a template asks for: its face at its point size; where that face does not exist, the
// platform's dialog font at the same size, falling back to a Korean face for Hangul.
QFont TemplateFont(const DialogTemplate& tmpl);
// Dialog base units of a font.
DialogUnits DialogUnitsOf(const QFont& font);

// The id that a template gave a control (its object name), or 0 for a widget without one.
int32_t ControlId(const QObject* widget);

// The plug-in's bitmap of the id, 24 bits per pixel; a null image when there is none. Drawn on
// first use and kept.
QImage LoadPluginBitmap(int32_t id);

// A device context over a painter; `background` is what the surface is erased with.
class PainterContext : public DrawingContext {
public:
    PainterContext(QPainter& painter, UiColor background) : p_(painter), background_(background) {}

    UiColor Background() const override { return background_; }
    void FillRect(const UiRect& rect, UiColor color) override;
    void FrameRect(const UiRect& rect, UiColor color, int pen) override;
    void Polyline(std::span<const UiPointF> points, UiColor color, double pen,
                  bool closed) override;
    void FillPolygon(std::span<const UiPointF> points, UiColor color) override;

private:
    QPainter& p_;
    UiColor background_;
};

// A static control of a dialog window: white or bitmap, with an optional border, reporting
// clicks and double clicks when its template asks for notifications. The dialog object may paint
// it instead (an owner-painted static).
class StaticWidget : public QFrame {
    Q_OBJECT
public:
    StaticWidget(const ControlTemplate& tmpl, DialogEvents& events, QWidget* parent);

    // Shows the image; a bitmap static takes the size of its image (plus its border).
    void SetImage(const QImage& image);
    const QImage& Image() const { return image_; }

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    DialogEvents& events_;
    int32_t id_;
    QImage image_;
    bool bitmap_ = false;
    bool notify_ = false;
};

// The window of a running dialog: built from the template, with its controls named by their ids.
class DialogWindow : public QDialog {
    Q_OBJECT
public:
    DialogWindow(DialogEvents& events, const DialogTemplate& tmpl, QWidget* parent);

    const DialogUnits& Units() const { return units_; }
    // A control by id, or nullptr.
    QWidget* Control(int32_t id) const;
    // Next paint first fills the background (otherwise what was painted before stays).
    void RequestErase() { eraseNext_ = true; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls(const DialogTemplate& tmpl);
    void TakeTabStop(QWidget* widget, const ControlTemplate& c);

    DialogEvents& events_;
    DialogUnits units_;
    QImage surface_;  // what a dialog that paints over its background has painted so far
    bool eraseNext_ = true;
};

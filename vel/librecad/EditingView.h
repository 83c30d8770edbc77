// EditingView.h - the editing step of the annotated method inside LibreCAD, in a window of its
// own over LibreCAD's: the insert with its corner leaders and side dimensions, the element under
// the mouse lit, a click on one opening its popup. LibreCAD's undo turns every entity a run
// touched, so leaders and dimensions shown in LibreCAD's drawing and removed at the end of the
// editing would come back on Ctrl+Z; here they never enter LibreCAD's drawing, which receives the
// run's result once the editing ends.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "vel/io/HostInput.h"
#include "vel/io/Picture.h"

class QLabel;

namespace vel::librecad {

class EditingView : public QWidget {
public:
    // `trace` is told each input taken, and where the window shows the drawing, as lines.
    EditingView(Host& host, HostInput& input, QWidget* libreCad,
                std::function<void(const std::string&)> trace);

    // Waits for the person's next input at the step's prompt and gives it to the command.
    InputResult takeInput(const QString& prompt);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The run's part of the drawing, shown whole.
    void fit();
    void take(InputResult result);
    void confirm();
    void escape();
    Point drawingPoint(QPointF pixel) const;

    Host& host_;
    HostInput& input_;
    std::function<void(const std::string&)> trace_;
    QLabel* prompt_;
    ViewTransform transform_;
    PickTarget hover_;
    std::optional<InputResult> taken_;  // the input of the step, once the person gave it
};

}  // namespace vel::librecad

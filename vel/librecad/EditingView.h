// EditingView.h - the editing step of the annotated method inside LibreCAD, in a window of its
// own over LibreCAD's: a bar with the prompt and the keys, and below it the insert with its corner
// leaders and side dimensions, the element under the mouse lit, a click on one opening its popup.
// LibreCAD's undo turns every entity a run touched, so leaders and dimensions shown in LibreCAD's
// drawing and removed at the end of the editing would come back on Ctrl+Z; here they never enter
// LibreCAD's drawing, which receives the run's result once the editing ends.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "vel/io/HostInput.h"
#include "vel/io/Picture.h"
#include "vel/librecad/KeptFailure.h"

class QLabel;

namespace vel::librecad {

class EditingView : public QWidget {
public:
    // `trace` is told each input taken, and where the window shows the drawing, as lines. A
    // failure of the command's while it takes an input ends the wait and is kept in `failure`.
    EditingView(Host& host, HostInput& input, QWidget* libreCad, KeptFailure& failure,
                std::function<void(const std::string&)> trace);

    // The drawing is shown over LibreCAD's view of it, at LibreCAD's transform where it is known
    // (pixels of the view) and the run's part fits in it.
    void showOver(QWidget* view, std::optional<ViewTransform> libreCadTransform);
    // Waits for the person's next input at the step's prompt and gives it to the command; throws
    // what failed on the way.
    InputResult takeInput(const QString& prompt);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Canvas;
    friend class Canvas;

    // Places the window so that its drawing lies where LibreCAD's view shows it.
    void place();
    // The transform for the run's part: LibreCAD's, or the part shown whole.
    void fit();
    void paint(QWidget& canvas);
    void hover(QPointF pixel);
    void press(Qt::MouseButton button, QPointF pixel);
    void take(InputResult result);
    void confirm();
    void escape();
    Point drawingPoint(QPointF pixel) const;
    // Runs what Qt called; a failure ends the wait for the input.
    template <class Work>
    void guarded(Work&& work) {
        if (!failure_.guard(std::forward<Work>(work))) take(InputResult{});
    }

    Host& host_;
    HostInput& input_;
    KeptFailure& failure_;
    std::function<void(const std::string&)> trace_;
    QLabel* prompt_;
    Canvas* canvas_;
    QPointer<QWidget> libreCadView_;
    std::optional<ViewTransform> libreCadTransform_;
    ViewTransform transform_;
    PickTarget hover_;
    std::optional<InputResult> taken_;  // the input of the step, once the person gave it
};

}  // namespace vel::librecad

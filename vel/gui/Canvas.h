// Canvas.h - the drawing as the window shows it, and the mouse on it: every
// segment drawn by the picture routine, panned with the middle button and zoomed
// at the cursor with the wheel; clicks, drags and the right button turned into
// the host's inputs as the armed event mask wants them, with the pick box, the
// highlight of what a click would take, the selection and the rubber band.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "vel/io/HostInput.h"
#include "vel/io/Interaction.h"
#include "vel/io/Picture.h"
#include "vel/io/ScreenView.h"
#include "vel/io/Snap.h"

namespace velgui {

// What the canvas tells its window.
struct CanvasEvents {
    std::function<void()> inputTaken;                     // an input reached the host
    std::function<void(const vel::Words&)> inputRefused;  // and why it did not
    std::function<void(vel::Gesture)> gesture;            // Enter, space, the right button, Escape
    std::function<void(const QString&)> typed;            // text for the command line
    // Where a click would put a point now, and the snap that put it there (none: the cursor's own).
    std::function<void(vel::Point, std::optional<vel::SnapKind>)> cursorMoved;
};

class Canvas : public QWidget {
public:
    Canvas(vel::Host& host, vel::HostInput& input, CanvasEvents events, QWidget* parent = nullptr);

    // The pick box's half size in screen pixels: picking reaches as far at any zoom.
    void setAperturePixels(double pixels) { aperturePixels_ = pixels; }
    double aperturePixels() const { return aperturePixels_; }
    // Object snaps at point prompts: whether they are on, and which kinds.
    void setSnaps(bool on, vel::SnapKinds kinds);
    // Where a click at the screen point puts a point at a point prompt, snapped when a snap is
    // near.
    vel::Point pointAt(QPointF screenPoint) const;
    // The snap a click at the screen point takes, when a point prompt is armed and one is near.
    std::optional<vel::Snap> snapAt(QPointF screenPoint) const;

    // Takes every segment of the drawing afresh: another drawing, whose revisions
    // say nothing of this one's.
    void refreshDrawing() { takeDrawing(true); }
    // Takes again what changed since (after an input, an undo or a redo): segments
    // whose revision moved, and the texts when the drawing's size changed.
    void updateDrawing() { takeDrawing(false); }
    // After an input: what a click would take now, under the step now armed.
    void refreshHover();
    void zoomToFit();
    // Shows exactly this rectangle of the drawing (aspect kept, centred).
    void showArea(const vel::Extents& area);
    const vel::ViewTransform& transform() const { return view_.transform(); }
    // What the canvas shows, segment by segment.
    const vel::ScreenView& view() const { return view_; }
    QPoint screenPointOf(vel::Point drawingPoint) const;
    vel::Point drawingPointOf(QPointF screenPoint) const;

    // Paints the whole drawing as the window does, on any painter (benchmarks, pictures).
    void paintDrawing(QPainter& painter, const QRect& area) const;
    // What a click at the screen point would take under the armed mask.
    vel::PickTarget targetAt(QPointF screenPoint) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void takeDrawing(bool all);
    void take(const vel::InputResult& result);
    void useAperture() const;
    void updateHover(QPointF at);
    bool pickArmed() const;
    bool pointArmed() const;
    void cursorMoved();
    void paintHighlights(QPainter& painter) const;
    void paintInputAids(QPainter& painter) const;
    static void paintSnapMarker(QPainter& painter, QPointF at, vel::SnapKind kind);

    vel::Host& host_;
    vel::HostInput& input_;
    CanvasEvents events_;
    double aperturePixels_ = vel::kPickBoxPixels;
    vel::ScreenView view_;

    std::optional<QPointF> mouse_;    // where the mouse is, in the canvas
    std::optional<QPointF> pressAt_;  // where the left button went down
    bool windowDrag_ = false;         // a window selection is being dragged
    std::optional<QPointF> panFrom_;  // the middle button is panning
    vel::PickTarget hover_;
    bool snapping_ = true;
    vel::SnapKinds snapKinds_ = vel::SnapKinds::defaults();
    std::optional<vel::Snap> snap_;  // where the point under the cursor snaps to
};

}  // namespace velgui

// ScreenView.h - a drawing as a window shows it, free of any toolkit: each segment's
// view kept until its revision moves, the box they all draw, and the transform to the
// screen with zoom to fit, panning and a wheel zoom held within limits.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "vel/io/Picture.h"

namespace vel {

// The extents centred in a width x height screen, `marginShare` of its smaller side kept free on
// every side.
ViewTransform fitWithMargin(const Extents& e, double width, double height, double marginShare);

// What a segment's view draws: its shapes, and an estimate of its texts' boxes.
Extents boxOf(const SegmentView& view);

// The screen's size goes with every call that places the view, as a window knows it then.
class ScreenView {
public:
    // The share of the screen's smaller side kept free around the drawing when it is zoomed to
    // fit: room for an insert made around all of it.
    static constexpr double kFitMargin = 1.0 / 12.0;
    // One notch of the wheel zooms by this factor.
    static constexpr double kWheelZoom = 1.2;
    // The wheel zooms out no further than this share of the scale zoom to fit gives the drawing
    // (turned on and on, the scale would run down to nothing)...
    static constexpr double kZoomOutLimit = 1e-3;
    // ... and in no further than where the drawing's farthest point lies this many pixels from
    // the screen's origin, which doubles still place within a thousandth of a pixel.
    static constexpr double kZoomInReach = 1e13;

    struct CachedSegment {
        int id = 0;
        std::uint64_t revision = 0;
        Extents geometry;  // what the segment's primitives cover
        SegmentView view;
        Extents box;  // what the view draws, texts included
        bool current = false;
    };

    // Takes every segment afresh (`all`: another drawing, whose revisions say nothing of this
    // one's), or again those whose revision moved, and the texts when the drawing's size
    // changed. Within one history a revision never stands for two contents: a step undone keeps
    // its revisions only until a new run starts a new branch, which forgets the step. A view
    // fitted to the drawing is fitted again.
    void takeDrawing(const Drawing& drawing, bool all, double width, double height);
    // In id order.
    const std::vector<CachedSegment>& segments() const { return segments_; }
    const CachedSegment* find(int id) const;
    // What zoom to fit shows.
    const Extents& everything() const { return everything_; }

    const ViewTransform& transform() const { return transform_; }
    // Until the view is moved, it follows the drawing and the screen's size.
    void zoomToFit(double width, double height);
    // Shows exactly this rectangle of the drawing (aspect kept, centred), whatever the size.
    void showArea(const Extents& area, double width, double height);
    void resize(double width, double height);
    void pan(double dx, double dy);
    // Turns of the wheel at the screen point, which keeps its drawing point. The view may lie
    // beyond the limits already (an area shown): the wheel then only brings it back.
    void zoomAt(Point screen, double notches, double width, double height);

private:
    void moved();

    std::vector<CachedSegment> segments_;
    ViewFrame frame_;
    Extents everything_;
    ViewTransform transform_;
    bool fitted_ = false;          // zoom to fit again when the drawing or the size changes
    std::optional<Extents> area_;  // shown exactly, again when the size changes
};

}  // namespace vel

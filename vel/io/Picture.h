// Picture.h - the one routine that draws a drawing's view in screen pixels, and
// the surface each output implements: the SVG file writes what it is given as
// SVG elements, the window paints it. Everything about how a drawing looks
// (colours, dash patterns, arcs split for the surfaces, points, arrowheads,
// texts) is decided here once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vel/io/DrawingView.h"
#include "vel/kernel/HostPalette.h"

namespace vel {

// Drawing units to screen pixels: a uniform scale, y flipped (screens count down).
class ViewTransform {
public:
    ViewTransform() = default;
    ViewTransform(double scale, double originX, double originY)
        : scale_(scale), originX_(originX), originY_(originY) {}
    // The extents centred in a width x height screen with `margin` pixels kept free
    // on every side; an empty or degenerate box is shown at scale 1.
    static ViewTransform fit(const Extents& e, double width, double height, double margin);

    double scale() const { return scale_; }
    Point toScreen(Point p) const { return {originX_ + scale_ * p.x, originY_ - scale_ * p.y}; }
    Point toDrawing(Point screen) const {
        return {(screen.x - originX_) / scale_, (originY_ - screen.y) / scale_};
    }
    // The same view with the drawing point under `screen` kept there, `factor` times larger.
    ViewTransform zoomedAt(Point screen, double factor) const;
    ViewTransform panned(double dx, double dy) const {
        return {scale_, originX_ + dx, originY_ + dy};
    }

private:
    double scale_ = 1.0;
    double originX_ = 0.0;
    double originY_ = 0.0;
};

struct Pen {
    Rgb color;
    double width = 1.5;
    std::vector<double> dashes;  // on, off, on, off ... in pixels; empty: continuous
};

// A path in screen pixels. An arc step turns at most half a turn, so that the
// surfaces that draw arcs between two points never have to choose between the
// short and the long way.
struct ScreenPath {
    struct Step {
        Point to;
        bool arc = false;
        Point centre;             // arcs only
        double radius = 0.0;      // in pixels
        double startDegrees = 0;  // counter-clockwise as seen on the screen
        double sweepDegrees = 0;  // negative: clockwise as seen
    };
    Point start;
    std::vector<Step> steps;
    bool closed = false;  // the last step ends at the start
};

struct ScreenText {
    Point anchor;  // on the baseline, at the aligned end
    double height = 0.0;
    double angleDegrees = 0.0;  // counter-clockwise as seen
    TextAlign align = TextAlign::Left;
    Rgb color;
    std::string text;  // UTF-8
};

class PictureSurface {
public:
    virtual ~PictureSurface() = default;
    virtual void beginSegment(int segmentId, int layer) {
        (void)segmentId;
        (void)layer;
    }
    virtual void endSegment() {}
    virtual void path(const ScreenPath& path, const Pen& pen) = 0;
    virtual void circle(Point centre, double radius, const Pen& pen) = 0;
    virtual void dot(Point centre, double radius, Rgb color) = 0;
    virtual void triangle(Point a, Point b, Point c, Rgb color) = 0;
    virtual void text(const ScreenText& text) = 0;
};

// How shapes are drawn whatever the surface.
inline constexpr double kStrokeWidth = 1.5;
inline constexpr double kPointRadius = 2.5;
// Dash patterns stay in screen pixels (as the host shows them) rather than
// drawing units, which would make them vanish on a large part and swallow a small one.
inline constexpr double kScreenPixelsPerPatternPixel = 2.0;

Pen penOf(const ViewStroke& stroke);
Rgb colorOf(const std::optional<int>& color);

// How closely a picture follows the drawing. Files keep every piece exactly; the
// window draws pieces smaller than a pixel as what they look like at that size,
// so that a zoomed-out drawing of millions of pieces paints in a blink.
struct PictureDetail {
    double mergePixels = 0.0;          // a step shorter than this joins the next
    double straightArcPixels = 0.0;    // an arc shorter than this is drawn straight
    std::optional<Rgb> colorOverride;  // everything in one colour (the window's highlight)
    // What is drawn "by layer" takes its layer's colour and line type; none: the host's own.
    const std::map<int, Layer>* layers = nullptr;
};

// The colour and line type a stroke on the layer is drawn in.
ViewStroke drawnStroke(const ViewStroke& stroke, int layer, const PictureDetail& detail);

// The shapes and texts of one element of the segment's view (a leader, one side of an outline).
SegmentView elementView(const SegmentView& view, int elementId);

// Draws one segment's shapes, then its texts.
void paintSegment(const SegmentView& view, const ViewTransform& transform, PictureSurface& surface,
                  const PictureDetail& detail = {});

}  // namespace vel

// Picture.cpp - drawing a segment's view on a surface in screen pixels.
#include "vel/io/Picture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vel {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

ScreenPath screenPath(const Path& path, const ViewTransform& t, const PictureDetail& detail) {
    ScreenPath out;
    out.start = t.toScreen(path.pieces.front().from);
    out.closed = path.closed;
    Point last = out.start;
    const double mergeSquared = detail.mergePixels * detail.mergePixels;
    for (size_t i = 0; i < path.pieces.size(); ++i) {
        const PathPiece& piece = path.pieces[i];
        const Point to = t.toScreen(piece.to);
        const bool final = i + 1 == path.pieces.size();
        const Point moved = to - last;
        if (!final && moved.x * moved.x + moved.y * moved.y < mergeSquared) continue;
        const Arc a = piece.arc ? piece.arc->arc() : Arc{};
        const double sweep = piece.arc ? a.sweep() : 0.0;
        if (!piece.arc || std::fabs(a.radius) * t.scale() * sweep < detail.straightArcPixels) {
            ScreenPath::Step line;
            line.to = to;
            out.steps.push_back(line);
            last = to;
            continue;
        }
        // Travelled from `from`: counter-clockwise from the start angle, or
        // clockwise from the end angle. The flip of y keeps the sense as seen.
        const double from = piece.clockwise ? a.startAngle + sweep : a.startAngle;
        const double sense = piece.clockwise ? -1.0 : 1.0;
        const int halves = sweep > std::numbers::pi ? 2 : 1;
        for (int k = 0; k < halves; ++k) {
            ScreenPath::Step step;
            step.arc = true;
            step.centre = t.toScreen(a.centre);
            step.radius = std::fabs(a.radius) * t.scale();
            const double begin = from + sense * sweep * k / halves;
            const double end = from + sense * sweep * (k + 1) / halves;
            step.startDegrees = begin * kDegreesPerRadian;
            step.sweepDegrees = (end - begin) * kDegreesPerRadian;
            step.to = k + 1 == halves ? to : t.toScreen(a.pointAt(end));
            out.steps.push_back(step);
        }
        last = to;
    }
    return out;
}

}  // namespace

ViewTransform ViewTransform::fit(const Extents& e, double width, double height, double margin) {
    if (e.empty()) return {1.0, width / 2, height / 2};
    double s = std::numeric_limits<double>::infinity();
    if (e.width() > 0) s = std::min(s, (width - 2 * margin) / e.width());
    if (e.height() > 0) s = std::min(s, (height - 2 * margin) / e.height());
    if (!std::isfinite(s) || !(s > 0)) s = 1.0;
    return {s, width / 2 - s * (e.minX + e.maxX) / 2, height / 2 + s * (e.minY + e.maxY) / 2};
}

ViewTransform ViewTransform::zoomedAt(Point screen, double factor) const {
    const Point fixed = toDrawing(screen);
    const double s = scale_ * factor;
    return {s, screen.x - s * fixed.x, screen.y + s * fixed.y};
}

Rgb colorOf(const std::optional<int>& color) {
    return color ? paletteColor(*color) : Rgb{};
}

Pen penOf(const ViewStroke& stroke) {
    Pen pen;
    pen.color = colorOf(stroke.color);
    pen.width = kStrokeWidth;
    const LineTypeStyle& style = lineTypeStyle(stroke.lineType.value_or(0));
    for (double length : style.pattern) pen.dashes.push_back(length * kScreenPixelsPerPatternPixel);
    return pen;
}

ViewStroke drawnStroke(const ViewStroke& stroke, int layer, const PictureDetail& detail) {
    if ((stroke.color && stroke.lineType) || !detail.layers) return stroke;
    const auto own = detail.layers->find(layer);
    if (own == detail.layers->end()) return stroke;
    return {stroke.color ? stroke.color : own->second.color,
            stroke.lineType ? stroke.lineType : own->second.lineType};
}

void paintSegment(const SegmentView& view, const ViewTransform& t, PictureSurface& surface,
                  const PictureDetail& detail) {
    const std::optional<Rgb>& colorOverride = detail.colorOverride;
    for (const ViewShape& shape : view.shapes) {
        Pen pen = penOf(drawnStroke(shape.stroke, shape.layer, detail));
        if (colorOverride) pen.color = *colorOverride;
        if (const Circle* c = std::get_if<Circle>(&shape.geometry)) {
            surface.circle(t.toScreen(c->centre), std::fabs(c->radius) * t.scale(), pen);
        } else if (const Point* p = std::get_if<Point>(&shape.geometry)) {
            surface.dot(t.toScreen(*p), kPointRadius, pen.color);
        } else if (const Arrowhead* head = std::get_if<Arrowhead>(&shape.geometry)) {
            surface.triangle(t.toScreen(head->tip), t.toScreen(head->left), t.toScreen(head->right),
                             pen.color);
        } else if (const Path& path = std::get<Path>(shape.geometry); !path.pieces.empty()) {
            surface.path(screenPath(path, t, detail), pen);
        }
    }
    for (const ViewText& text : view.texts) {
        ScreenText s;
        s.anchor = t.toScreen(text.anchor);
        s.height = text.height * t.scale();
        s.angleDegrees = text.angleDegrees;
        s.align = text.align;
        s.color = colorOverride ? *colorOverride
                                : colorOf(drawnStroke({text.color, {}}, text.layer, detail).color);
        s.text = text.text;
        surface.text(s);
    }
}

SegmentView elementView(const SegmentView& view, int elementId) {
    SegmentView part;
    for (const ViewShape& s : view.shapes)
        if (s.elementId == elementId) part.shapes.push_back(s);
    for (const ViewText& t : view.texts)
        if (t.elementId == elementId) part.texts.push_back(t);
    return part;
}

}  // namespace vel

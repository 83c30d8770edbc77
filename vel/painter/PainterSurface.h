// PainterSurface.h - the QPainter back end of the picture routine, for the window and the
// editing window inside LibreCAD: what the SVG writer writes as elements, painted with QPainter.
// Pieces smaller than a pixel are drawn as what they look like at that size (a short line, a dot),
// so a drawing of a million elements zoomed out paints as fast as its pixels allow.
#pragma once

#include <QPainter>

#include "vel/io/Picture.h"

namespace velgui {

class PainterSurface : public vel::PictureSurface {
public:
    // Lines a pixel wide take Qt's fast way of drawing thin lines, which a
    // drawing of millions of pieces needs; highlights are drawn wider.
    explicit PainterSurface(QPainter& painter, double penWidth = 1.0)
        : painter_(painter), penWidth_(penWidth) {}

    void path(const vel::ScreenPath& path, const vel::Pen& pen) override;
    void circle(vel::Point centre, double radius, const vel::Pen& pen) override;
    void dot(vel::Point centre, double radius, vel::Rgb color) override;
    void triangle(vel::Point a, vel::Point b, vel::Point c, vel::Rgb color) override;
    void text(const vel::ScreenText& text) override;

private:
    void usePen(const vel::Pen& pen);

    QPainter& painter_;
    double penWidth_;
};

QColor toQColor(vel::Rgb rgb);

// How a window draws: pieces smaller than a pixel as what they look like at that size, what is
// drawn by layer in its layer's colour and line type; lit, all in one colour.
vel::PictureDetail screenDetail(const vel::Drawing& drawing);
vel::PictureDetail litDetail(const vel::Drawing& drawing, vel::Rgb color);

}  // namespace velgui

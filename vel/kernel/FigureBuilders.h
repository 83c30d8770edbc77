// FigureBuilders.h - figure elements made from their points, as a file's shapes, another host's
// entities and the tests make them: a point, a line, an arc, a circle.
#pragma once

#include <algorithm>
#include <iterator>

#include "vel/kernel/Drawing.h"

namespace vel {

inline FigureElement pointFigure(Point p) {
    FigureElement f;
    f.type = FigureType::Point;
    f.values[0] = p.x;
    f.values[1] = p.y;
    return f;
}

inline FigureElement lineFigure(Point a, Point b) {
    FigureElement f;
    f.type = FigureType::Line;
    f.values[0] = a.x;
    f.values[1] = a.y;
    f.values[2] = b.x;
    f.values[3] = b.y;
    return f;
}

// Counter-clockwise from `from` to `to` around `c`.
inline FigureElement arcFigure(Point c, double r, Point from, Point to) {
    FigureElement f;
    f.type = FigureType::Arc;
    const double v[] = {c.x, c.y, from.x, from.y, to.x, to.y, r};
    std::copy(std::begin(v), std::end(v), f.values);
    return f;
}

inline FigureElement circleFigure(Point c, double r) {
    FigureElement f;
    f.type = FigureType::Circle;
    f.values[0] = c.x;
    f.values[1] = c.y;
    f.values[2] = r;
    return f;
}

}  // namespace vel

// PainterSurface.cpp - painting the picture routine's shapes with QPainter.
#include "vel/painter/PainterSurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

namespace velgui {

namespace {

// Texts lower than this cannot be read; they are drawn as a line where they stand.
constexpr double kLegibleTextPixels = 3.0;
// Texts taller than this are far taller than any screen.
constexpr double kLargestTextPixels = 20000.0;

constexpr const char* kTextFamily = "NanumGothic";

QPointF q(vel::Point p) {
    return {p.x, p.y};
}

}  // namespace

vel::PictureDetail screenDetail(const vel::Drawing& drawing) {
    // Pieces smaller than a pixel are drawn as what they look like at that size.
    vel::PictureDetail detail{0.5, 2.0, std::nullopt, nullptr};
    detail.layers = &drawing.layers();
    return detail;
}

vel::PictureDetail litDetail(const vel::Drawing& drawing, vel::Rgb color) {
    vel::PictureDetail detail = screenDetail(drawing);
    detail.colorOverride = color;
    return detail;
}

QColor toQColor(vel::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

void PainterSurface::usePen(const vel::Pen& pen) {
    QPen qpen(toQColor(pen.color));
    const double width = penWidth_;
    qpen.setWidthF(width);
    qpen.setCosmetic(true);
    qpen.setJoinStyle(Qt::RoundJoin);
    qpen.setCapStyle(Qt::FlatCap);
    if (!pen.dashes.empty()) {
        // Qt measures dash patterns in pen widths and wants an even count.
        QVector<qreal> pattern;  // a QList in Qt 6
        for (double length : pen.dashes) pattern.append(std::max(length / width, 0.01));
        if (pattern.size() % 2) pattern.append(pattern);
        qpen.setDashPattern(pattern);
    }
    painter_.setPen(qpen);
    painter_.setBrush(Qt::NoBrush);
}

void PainterSurface::path(const vel::ScreenPath& path, const vel::Pen& pen) {
    usePen(pen);
    QPainterPath qpath(q(path.start));
    for (const vel::ScreenPath::Step& step : path.steps) {
        if (step.arc) {
            const QRectF box(step.centre.x - step.radius, step.centre.y - step.radius,
                             2 * step.radius, 2 * step.radius);
            qpath.arcTo(box, step.startDegrees, step.sweepDegrees);
        } else {
            qpath.lineTo(q(step.to));
        }
    }
    if (path.closed) qpath.closeSubpath();
    painter_.drawPath(qpath);
}

void PainterSurface::circle(vel::Point centre, double radius, const vel::Pen& pen) {
    usePen(pen);
    painter_.drawEllipse(q(centre), radius, radius);
}

void PainterSurface::dot(vel::Point centre, double radius, vel::Rgb color) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(toQColor(color));
    painter_.drawEllipse(q(centre), radius, radius);
}

void PainterSurface::triangle(vel::Point a, vel::Point b, vel::Point c, vel::Rgb color) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(toQColor(color));
    const QPointF corners[3] = {q(a), q(b), q(c)};
    painter_.drawPolygon(corners, 3);
}

void PainterSurface::text(const vel::ScreenText& t) {
    // Zoomed in this far, what shows of a text is a stroke of one letter; the font would be drawn
    // as outlines at great cost, and its size may not fit an int.
    if (!(t.height <= kLargestTextPixels)) return;
    const QString text = QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size()));
    painter_.save();
    painter_.translate(q(t.anchor));
    painter_.rotate(-t.angleDegrees);
    if (t.height < kLegibleTextPixels) {
        painter_.setPen(QPen(toQColor(t.color), 1.0));
        const double width = 0.6 * t.height * text.size();
        const double left = t.align == vel::TextAlign::Left     ? 0.0
                            : t.align == vel::TextAlign::Centre ? -width / 2
                                                                : -width;
        painter_.drawLine(QPointF(left, -t.height / 2), QPointF(left + width, -t.height / 2));
        painter_.restore();
        return;
    }
    QFont font(kTextFamily);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(t.height))));
    painter_.setFont(font);
    painter_.setPen(toQColor(t.color));
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    const double left = t.align == vel::TextAlign::Left     ? 0.0
                        : t.align == vel::TextAlign::Centre ? -width / 2
                                                            : -width;
    painter_.drawText(QPointF(left, 0.0), text);
    painter_.restore();
}

}  // namespace velgui

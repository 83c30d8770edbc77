// Resources.cpp - drawing the plug-in's bitmaps from their descriptions: the insert picture (a
// green insert outline around a part, yellow arrows at its corners and sides) and the line-type
// pictures (a white two-pixel pattern on black).
#include "ui/Resources.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <map>

namespace {

constexpr int kPattern01[] = {58};
constexpr int kPattern02[] = {3, 2};
constexpr int kPattern03[] = {6, 3, 3, 3};
constexpr int kPattern04[] = {6, 2, 3, 2, 3, 2};
constexpr int kPattern05[] = {6, 4};
constexpr int kPattern06[] = {11, 3, 4, 3};
constexpr int kPattern07[] = {11, 2, 3, 2, 3, 2};
constexpr int kPattern08[] = {10, 7};
constexpr int kPattern09[] = {26, 5, 6, 5};
constexpr int kPattern10[] = {23, 4, 6, 4, 6, 4};

const std::span<const int> kPatterns[] = {kPattern01, kPattern02, kPattern03, kPattern04,
                                          kPattern05, kPattern06, kPattern07, kPattern08,
                                          kPattern09, kPattern10};

// The pattern runs along pixel rows 11 and 12, from x = 2 over 58 pixels.
constexpr int kPatternLeft = 2;
constexpr int kPatternLength = 58;
constexpr int kPatternTopRow = 11;

QImage DrawLineTypePicture(int slot) {
    QImage image(kLineTypePictureWidth, kLineTypePictureHeight, QImage::Format_RGB888);
    image.fill(Qt::black);
    const std::span<const int> pattern = LineTypeDashPattern(slot);
    const QRgb white = qRgb(255, 255, 255);
    int x = kPatternLeft;
    const int end = kPatternLeft + kPatternLength;
    for (size_t i = 0; x < end; i = (i + 1) % pattern.size()) {
        const int run = pattern[i];
        if (i % 2 == 0) {
            for (int dx = 0; dx < run && x + dx < end; ++dx) {
                image.setPixel(x + dx, kPatternTopRow, white);
                image.setPixel(x + dx, kPatternTopRow + 1, white);
            }
        }
        x += run;
    }
    return image;
}

// A straight arrow from `from` to `to` with a filled head at `to`.
void DrawArrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    constexpr double kHead = 6.0;
    constexpr double kSpread = 0.45;
    QPolygonF head;
    head << to
         << QPointF(to.x() - kHead * std::cos(angle - kSpread),
                    to.y() - kHead * std::sin(angle - kSpread))
         << QPointF(to.x() - kHead * std::cos(angle + kSpread),
                    to.y() - kHead * std::sin(angle + kSpread));
    p.drawPolygon(head);
}

void DrawDoubleArrow(QPainter& p, QPointF a, QPointF b) {
    const QPointF mid = (a + b) / 2.0;
    DrawArrow(p, mid, a);
    DrawArrow(p, mid, b);
}

QImage DrawInsertPicture() {
    QImage canvas(kInsertPictureWidth, kInsertPictureHeight, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);

    // The insert outline: top-left and bottom-right chamfered, top-right rounded,
    // bottom-left square.
    const double left = 30, top = 42, right = 126, bottom = 260;
    const double chamfer = 14, radius = 16;
    QPainterPath insert;
    insert.moveTo(left + chamfer, top);
    insert.lineTo(right - radius, top);
    insert.arcTo(right - 2 * radius, top, 2 * radius, 2 * radius, 90, -90);
    insert.lineTo(right, bottom - chamfer);
    insert.lineTo(right - chamfer, bottom);
    insert.lineTo(left, bottom);
    insert.lineTo(left, top + chamfer);
    insert.closeSubpath();
    p.setPen(QPen(QColor(0, 220, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(insert);

    // The part the insert is made around.
    const double pl = 52, pt = 72, pr = 104, pb = 230;
    QPainterPath part;
    part.moveTo(pl, pt);
    part.lineTo(pr, pt);
    part.lineTo(pr, pt + 60);
    part.lineTo(pr - 14, pt + 60);
    part.lineTo(pr - 14, pt + 98);
    part.lineTo(pr, pt + 98);
    part.lineTo(pr, pb);
    part.lineTo(pl, pb);
    part.closeSubpath();
    p.setPen(QPen(QColor(200, 200, 200), 1.5));
    p.drawPath(part);

    // Yellow arrows: the side distances between part and insert, and the four corners.
    const QColor yellow(255, 255, 0);
    p.setPen(QPen(yellow, 1.5));
    p.setBrush(yellow);
    const double cx = (pl + pr) / 2, cy = (pt + pb) / 2;
    DrawDoubleArrow(p, {cx, top + 1}, {cx, pt - 1});
    DrawDoubleArrow(p, {cx, pb + 1}, {cx, bottom - 1});
    DrawDoubleArrow(p, {left + 1, cy}, {pl - 1, cy});
    DrawDoubleArrow(p, {pr + 1, cy}, {right - 1, cy});
    DrawArrow(p, {6, 10}, {left + chamfer / 2 - 2, top + chamfer / 2 - 2});
    DrawArrow(p, {150, 10}, {right - radius * 0.29 + 1, top + radius * 0.29 - 1});
    DrawArrow(p, {6, 292}, {left - 1, bottom + 1});
    DrawArrow(p, {150, 292}, {right - chamfer / 2 + 2, bottom - chamfer / 2 + 2});
    p.end();
    return canvas.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

std::span<const int> LineTypeDashPattern(int slot) {
    if (slot < 1 || slot > 10) return {};
    return kPatterns[slot - 1];
}

QImage LoadPluginBitmap(int32_t id) {
    static std::map<int32_t, QImage> cache;
    if (auto it = cache.find(id); it != cache.end()) return it->second;
    QImage image;
    if (id == kInsertPictureBitmap)
        image = DrawInsertPicture();
    else if (id >= kFirstLineTypeBitmap && id <= kLastLineTypeBitmap)
        image = DrawLineTypePicture(id - kFirstLineTypeBitmap + 1);
    else
        return image;
    cache.emplace(id, image);
    return image;
}

// Canvas.cpp - painting the drawing and turning the mouse into host inputs.
#include "vel/gui/Canvas.h"

#include <QCursor>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "vel/kernel/DrawnSegment.h"
#include "vel/painter/PainterSurface.h"

namespace velgui {

namespace {

const QColor kBackground(0x15, 0x18, 0x1c);
constexpr vel::Rgb kSelectedColor{90, 200, 255};
const QColor kAidColor(vel::kAidColor.r, vel::kAidColor.g, vel::kAidColor.b);
const QColor kSnapColor(80, 230, 120);
// A snap reaches this far from the cursor, in screen pixels: further than the pick box, as a
// person aiming at a point comes near it and lets the marker take over.
constexpr double kSnapPixels = 10.0;
// The snap marker's half size in pixels.
constexpr double kMarkerPixels = 6.0;
// A press that moves less than this is a click, not a drag.
constexpr double kDragPixels = 4.0;
// A segment smaller than this on the screen is drawn as a single dot.
constexpr double kDotPixels = 1.5;
}  // namespace

Canvas::Canvas(vel::Host& host, vel::HostInput& input, CanvasEvents events, QWidget* parent)
    : QWidget(parent), host_(host), input_(input), events_(std::move(events)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMinimumSize(200, 150);
}

void Canvas::takeDrawing(bool all) {
    view_.takeDrawing(host_.drawing(), all, width(), height());
    hover_ = {};
    update();
}

void Canvas::refreshHover() {
    // The cursor may have moved while a dialog held it (a popup's buttons lie over the canvas),
    // with no move event here: what is lit is what lies under it now.
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    mouse_ = rect().contains(cursor) ? std::optional<QPointF>(cursor) : std::nullopt;
    hover_ = mouse_ ? targetAt(*mouse_) : vel::PickTarget{};
    snap_ = mouse_ ? snapAt(*mouse_) : std::nullopt;
    update();
}

void Canvas::zoomToFit() {
    view_.zoomToFit(width(), height());
    update();
}

void Canvas::showArea(const vel::Extents& area) {
    view_.showArea(area, width(), height());
    update();
}

QPoint Canvas::screenPointOf(vel::Point p) const {
    const vel::Point s = transform().toScreen(p);
    return QPoint(static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)));
}

vel::Point Canvas::drawingPointOf(QPointF s) const {
    return transform().toDrawing({s.x(), s.y()});
}

void Canvas::useAperture() const {
    host_.setAperture(aperturePixels_ / transform().scale());
}

bool Canvas::pointArmed() const {
    return vel::armedInput(host_) == vel::StepInput::Point;
}

void Canvas::setSnaps(bool on, vel::SnapKinds kinds) {
    snapping_ = on;
    snapKinds_ = kinds;
    if (mouse_) snap_ = snapAt(*mouse_);
    cursorMoved();
    update();
}

std::optional<vel::Snap> Canvas::snapAt(QPointF at) const {
    if (!snapping_ || !pointArmed()) return std::nullopt;
    return vel::findSnap(host_.drawing(), drawingPointOf(at), kSnapPixels / transform().scale(),
                         snapKinds_);
}

vel::Point Canvas::pointAt(QPointF at) const {
    const std::optional<vel::Snap> snap = snapAt(at);
    return snap ? snap->at : drawingPointOf(at);
}

void Canvas::cursorMoved() {
    if (!events_.cursorMoved || !mouse_) return;
    if (snap_)
        events_.cursorMoved(snap_->at, snap_->kind);
    else
        events_.cursorMoved(drawingPointOf(*mouse_), std::nullopt);
}

bool Canvas::pickArmed() const {
    const vel::StepInput input = vel::armedInput(host_);
    return input == vel::StepInput::Figure || input == vel::StepInput::Element ||
           input == vel::StepInput::Selection;
}

vel::PickTarget Canvas::targetAt(QPointF at) const {
    if (!pickArmed()) return {};
    useAperture();
    return input_.targetAt(drawingPointOf(at));
}

void Canvas::updateHover(QPointF at) {
    const vel::PickTarget target = targetAt(at);
    if (target.segmentId != hover_.segmentId || target.elementId != hover_.elementId) {
        hover_ = target;
        update();
    }
}

void Canvas::take(const vel::InputResult& result) {
    if (!result && events_.inputRefused) events_.inputRefused(result.words);
    if (events_.inputTaken) events_.inputTaken();
}

// ---- painting ----------------------------------------------------------------

void Canvas::paintDrawing(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    PainterSurface surface(painter);
    const vel::PictureDetail detail = screenDetail(host_.drawing());
    const QRectF visible = QRectF(area).adjusted(-2, -2, 2, 2);
    // Segments too small to show their shape are one dot each, a pixel painted once.
    std::vector<bool> dotted(static_cast<size_t>(area.width()) * area.height());
    std::map<std::array<std::uint8_t, 3>, QList<QPointF>> dots;
    for (const vel::ScreenView::CachedSegment& s : view_.segments()) {
        if (s.box.empty()) continue;
        const vel::Point a = transform().toScreen({s.box.minX, s.box.maxY});
        const vel::Point b = transform().toScreen({s.box.maxX, s.box.minY});
        if (b.x < visible.left() || a.x > visible.right() || b.y < visible.top() ||
            a.y > visible.bottom())
            continue;
        if (b.x - a.x < kDotPixels && b.y - a.y < kDotPixels) {
            if (s.view.shapes.empty()) continue;
            const int x = static_cast<int>((a.x + b.x) / 2) - area.left();
            const int y = static_cast<int>((a.y + b.y) / 2) - area.top();
            if (x < 0 || y < 0 || x >= area.width() || y >= area.height()) continue;
            const size_t pixel = static_cast<size_t>(y) * area.width() + x;
            if (dotted[pixel]) continue;
            dotted[pixel] = true;
            const vel::ViewShape& first = s.view.shapes.front();
            const vel::Rgb c =
                vel::penOf(vel::drawnStroke(first.stroke, first.layer, detail)).color;
            dots[{c.r, c.g, c.b}].append(QPointF(x + area.left() + 0.5, y + area.top() + 0.5));
            continue;
        }
        vel::paintSegment(s.view, transform(), surface, detail);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& [c, points] : dots) {
        painter.setPen(QPen(QColor(c[0], c[1], c[2]), 1.0));
        painter.drawPoints(points.data(), static_cast<int>(points.size()));
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
}

void Canvas::paintHighlights(QPainter& painter) const {
    PainterSurface thick(painter, 2.5);
    if (vel::armedInput(host_) == vel::StepInput::Selection)
        for (const SelIdRecord& r : host_.selection())
            if (const auto* s = view_.find(r.segmentId))
                vel::paintSegment(s->view, transform(), thick,
                                  litDetail(host_.drawing(), kSelectedColor));
    if (!hover_.segmentId) return;
    if (const auto* s = view_.find(*hover_.segmentId)) {
        if (hover_.elementId)
            vel::paintSegment(vel::elementView(s->view, *hover_.elementId), transform(), thick,
                              litDetail(host_.drawing(), vel::kHoverColor));
        else
            vel::paintSegment(s->view, transform(), thick,
                              litDetail(host_.drawing(), vel::kHoverColor));
    }
}

void Canvas::paintInputAids(QPainter& painter) const {
    if (!mouse_) return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    // The rubber band from the first corner the step echoes.
    const QPointF cursor = snap_ ? QPointF(screenPointOf(snap_->at)) : *mouse_;
    if (host_.running() && host_.echo()) {
        QPen band(kAidColor, 1.0, Qt::DashLine);
        painter.setPen(band);
        const vel::Point first = transform().toScreen(*host_.echo());
        QPolygonF rectangle;
        for (const vel::Point& p : vel::bandCorners(first, {cursor.x(), cursor.y()}))
            rectangle << QPointF(p.x, p.y);
        painter.drawPolygon(rectangle);
    }
    if (snap_) paintSnapMarker(painter, cursor, snap_->kind);
    // The window being dragged: wholly inside from left to right, dashed the other way.
    if (windowDrag_ && pressAt_) {
        const bool crossing = mouse_->x() < pressAt_->x();
        QColor fill = crossing ? QColor(60, 200, 90, 40) : QColor(60, 120, 255, 40);
        painter.setPen(QPen(fill.lighter(300), 1.0, crossing ? Qt::DashLine : Qt::SolidLine));
        painter.setBrush(fill);
        painter.drawRect(QRectF(*pressAt_, *mouse_).normalized());
        painter.setBrush(Qt::NoBrush);
    }
    // The pick box: what lies within it is what a click takes.
    if (pickArmed()) {
        painter.setPen(QPen(kAidColor, 1.0));
        const double a = aperturePixels_;
        painter.drawRect(QRectF(mouse_->x() - a, mouse_->y() - a, 2 * a, 2 * a));
    }
}

void Canvas::paintSnapMarker(QPainter& painter, QPointF at, vel::SnapKind kind) {
    // The customary shapes: a square on an end, a triangle on a middle, a circle on a centre, a
    // diamond on a quadrant, a cross on a crossing, an hourglass for the nearest point.
    const double m = kMarkerPixels;
    painter.setPen(QPen(kSnapColor, 2.0));
    painter.setBrush(Qt::NoBrush);
    const QPointF l(at.x() - m, at.y()), r(at.x() + m, at.y()), t(at.x(), at.y() - m),
        b(at.x(), at.y() + m);
    const QPointF tl(at.x() - m, at.y() - m), tr(at.x() + m, at.y() - m),
        bl(at.x() - m, at.y() + m), br(at.x() + m, at.y() + m);
    switch (kind) {
        case vel::SnapKind::Endpoint:
            painter.drawRect(QRectF(tl, br));
            break;
        case vel::SnapKind::Midpoint:
            painter.drawPolygon(QPolygonF({bl, br, t}));
            break;
        case vel::SnapKind::Centre:
            painter.drawEllipse(at, m, m);
            break;
        case vel::SnapKind::Quadrant:
            painter.drawPolygon(QPolygonF({l, t, r, b}));
            break;
        case vel::SnapKind::Intersection:
            painter.drawLine(tl, br);
            painter.drawLine(tr, bl);
            break;
        case vel::SnapKind::Nearest:
            painter.drawPolygon(QPolygonF({tl, tr, bl, br}));
            break;
    }
}

void Canvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintDrawing(painter, rect());
    paintHighlights(painter);
    paintInputAids(painter);
}

void Canvas::resizeEvent(QResizeEvent*) {
    view_.resize(width(), height());
    update();
}

// ---- the mouse ---------------------------------------------------------------

void Canvas::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (event->button() == Qt::MiddleButton) {
        panFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton) {
        pressAt_ = event->position();
        windowDrag_ = false;
    }
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    mouse_ = at;
    if (panFrom_) {
        view_.pan(at.x() - panFrom_->x(), at.y() - panFrom_->y());
        panFrom_ = at;
    }
    if (pressAt_ && !windowDrag_ && vel::armedInput(host_) == vel::StepInput::Selection &&
        QLineF(*pressAt_, at).length() >= kDragPixels)
        windowDrag_ = true;
    if (!windowDrag_ && !panFrom_) updateHover(at);
    snap_ = panFrom_ ? std::nullopt : snapAt(at);
    cursorMoved();
    update();
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (event->button() == Qt::MiddleButton) {
        panFrom_.reset();
        setCursor(Qt::CrossCursor);
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (events_.gesture) events_.gesture(vel::Gesture::RightButton);
        return;
    }
    if (event->button() != Qt::LeftButton || !pressAt_) return;
    const QPointF from = *pressAt_;
    const bool drag = windowDrag_;
    pressAt_.reset();
    windowDrag_ = false;
    useAperture();
    if (drag) {
        vel::Extents window;
        window.add(drawingPointOf(from));
        window.add(drawingPointOf(at));
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        take(at.x() < from.x() ? input_.selectCrossing(window, shift)
                               : input_.select(window, shift));
    } else if (host_.running()) {
        take(input_.pick(pointAt(at), event->modifiers() & Qt::ShiftModifier));
    }
    // A pick may have opened a popup, which the cursor went to and left: what is lit is what
    // lies under the cursor now, not where the click was.
    refreshHover();
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // Double-clicking the wheel shows everything, as in most CAD programs.
    if (event->button() == Qt::MiddleButton) zoomToFit();
}

void Canvas::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) return;
    const QPointF at = event->position();
    view_.zoomAt({at.x(), at.y()}, notches, width(), height());
    updateHover(at);
    snap_ = snapAt(at);
    update();
}

void Canvas::leaveEvent(QEvent*) {
    mouse_.reset();
    hover_ = {};
    snap_.reset();
    update();
}

// ---- the keyboard --------------------------------------------------------------

void Canvas::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            if (events_.gesture) events_.gesture(vel::Gesture::EscapeInDrawing);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (events_.gesture) events_.gesture(vel::Gesture::Enter);
            return;
        case Qt::Key_Space:
            if (events_.gesture) events_.gesture(vel::Gesture::Space);
            return;
        case Qt::Key_Home:
            zoomToFit();
            return;
        default:
            break;
    }
    // What is typed goes to the command line, as CAD users' hands expect.
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
        if (events_.typed) events_.typed(text);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Canvas::focusNextPrevChild(bool) {
    return false;  // Tab stays on the canvas
}

}  // namespace velgui

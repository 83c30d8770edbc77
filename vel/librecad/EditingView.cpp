// EditingView.cpp - painting through the window's picture routine, picks through HostInput.
#include "vel/librecad/EditingView.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <sstream>

#include "vel/io/Interaction.h"
#include "vel/io/ScreenView.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/Host.h"
#include "vel/painter/PainterSurface.h"

namespace vel::librecad {

namespace {

// LibreCAD's own drawing background, so that the drawing looks as it does there.
const QColor kBackground(0, 0, 0);

}  // namespace

EditingView::EditingView(Host& host, HostInput& input, QWidget* libreCad,
                         std::function<void(const std::string&)> trace)
    : QWidget(libreCad, Qt::Window),
      host_(host),
      input_(input),
      trace_(std::move(trace)),
      prompt_(new QLabel) {
    setWindowTitle(QStringLiteral("Orvanta: edit the insert"));
    setWindowModality(Qt::ApplicationModal);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    prompt_->setStyleSheet(QStringLiteral("color: white; background: transparent"));
    layout->addWidget(prompt_);
    auto* keys = new QLabel(QStringLiteral(
        "Click a leader or a dimension to change it. Enter or the right button: done. "
        "Escape: cancel."));
    keys->setStyleSheet(QStringLiteral("color: #b0b0b0; background: transparent"));
    layout->addWidget(keys);
    layout->addStretch();
    resize(libreCad ? libreCad->size() * 0.7 : QSize(900, 640));
    if (libreCad) move(libreCad->geometry().center() - rect().center());
}

InputResult EditingView::takeInput(const QString& prompt) {
    taken_.reset();
    prompt_->setText(prompt);
    fit();
    show();
    raise();
    activateWindow();
    setFocus();
    QEventLoop wait;
    wait.processEvents();  // shown and laid out
    fit();
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    std::ostringstream view;
    view.precision(17);
    const Point o = transform_.toScreen({0.0, 0.0});
    view << "editing " << origin.x() + o.x << " " << origin.y() + o.y << " " << transform_.scale();
    trace_(view.str());
    while (!taken_ && isVisible()) wait.processEvents(QEventLoop::WaitForMoreEvents);
    if (!taken_) escape();
    update();
    return *taken_;
}

void EditingView::fit() {
    Extents run;
    // Leaders and dimensions stand around the insert: their extents are the run's.
    for (const auto& [id, s] : host_.drawing().segments())
        if (s.kind == SegmentKind::Dimension || s.kind == SegmentKind::Comment)
            run.add(drawnExtentsOf(host_.drawing(), s));
    if (run.empty()) run = host_.drawing().drawnExtents();
    transform_ = fitWithMargin(run, width(), height(), ScreenView::kFitMargin);
}

Point EditingView::drawingPoint(QPointF pixel) const {
    return transform_.toDrawing({pixel.x(), pixel.y()});
}

void EditingView::take(InputResult result) {
    taken_ = std::move(result);
    hover_ = {};
}

void EditingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Drawing& drawing = host_.drawing();
    // From the extents the spatial index keeps: a pass over the whole drawing for every paint would
    // cost what the drawing holds.
    const ViewFrame frame = frameFor(drawing.drawnExtents());
    velgui::PainterSurface surface(painter);
    velgui::PainterSurface thick(painter, 2.5);
    const PictureDetail detail = velgui::screenDetail(drawing);
    const Point centre = drawingPoint(QPointF(width() / 2.0, height() / 2.0));
    const double reach = std::hypot(width(), height()) / transform_.scale();
    SegmentView view;
    for (int id : drawing.segmentsNear(centre, reach)) {
        viewSegment(drawing, *drawing.segment(id), frame, view);
        paintSegment(view, transform_, surface, detail);
        if (hover_.segmentId == id && hover_.elementId)
            paintSegment(elementView(view, *hover_.elementId), transform_, thick,
                         velgui::litDetail(drawing, kHoverColor));
    }
}

void EditingView::resizeEvent(QResizeEvent*) {
    fit();
}

void EditingView::mouseMoveEvent(QMouseEvent* event) {
    if (!host_.running()) return;
    host_.setAperture(kPickBoxPixels / transform_.scale());
    const PickTarget target = input_.targetAt(drawingPoint(event->localPos()));
    if (target.elementId != hover_.elementId) {
        hover_ = target;
        update();
    }
}

void EditingView::mousePressEvent(QMouseEvent* event) {
    if (taken_) return;
    if (event->button() == Qt::RightButton) return confirm();
    if (event->button() != Qt::LeftButton) return;
    host_.setAperture(kPickBoxPixels / transform_.scale());
    const Point at = drawingPoint(event->localPos());
    std::ostringstream line;
    line.precision(17);
    line << "point " << at.x << " " << at.y;
    trace_(line.str());
    take(input_.pick(at));
}

void EditingView::keyPressEvent(QKeyEvent* event) {
    if (taken_) return;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space)
        return confirm();
    if (event->key() == Qt::Key_Escape) return escape();
    QWidget::keyPressEvent(event);
}

void EditingView::closeEvent(QCloseEvent* event) {
    // Closing the window ends the editing as Escape does.
    if (!taken_) escape();
    QWidget::closeEvent(event);
}

void EditingView::confirm() {
    trace_("confirm");
    take(input_.confirm());
}

void EditingView::escape() {
    trace_("escape");
    input_.escape();
    take(InputResult{});
}

}  // namespace vel::librecad

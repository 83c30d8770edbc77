// EditingView.cpp - painting through the window's picture routine, picks through HostInput, keys
// and buttons read by the interaction layer with LibreCAD's conventions.
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

// The run's part: leaders and dimensions stand around the insert, so their extents are the run's.
Extents runExtents(const Drawing& drawing) {
    Extents run;
    for (const auto& [id, s] : drawing.segments())
        if (s.kind == SegmentKind::Dimension || s.kind == SegmentKind::Comment)
            run.add(drawnExtentsOf(drawing, s));
    return run.empty() ? drawing.drawnExtents() : run;
}

// The same with room for the texts, as a view of it draws them.
Extents textsAndAll(const Drawing& drawing) {
    const ViewFrame frame = frameFor(drawing, drawing.drawnExtents());
    Extents box;
    SegmentView view;
    for (const auto& [id, s] : drawing.segments()) {
        if (s.kind != SegmentKind::Dimension && s.kind != SegmentKind::Comment) continue;
        viewSegment(drawing, s, frame, view);
        box.add(boxOf(view));
    }
    return box.empty() ? drawing.drawnExtents() : box;
}

// What the window keeps free at its canvas's edges when it shows LibreCAD's view.
constexpr double kEdgePixels = 8.0;

}  // namespace

// Where the drawing is shown and clicked, below the window's bar.
class EditingView::Canvas : public QWidget {
public:
    explicit Canvas(EditingView& owner) : owner_(owner) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        owner_.guarded([this] { owner_.paint(*this); });
    }
    void resizeEvent(QResizeEvent*) override {
        owner_.guarded([this] { owner_.fit(); });
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        owner_.guarded([&] { owner_.hover(event->localPos()); });
    }
    void mousePressEvent(QMouseEvent* event) override {
        owner_.guarded([&] { owner_.press(event->button(), event->localPos()); });
    }

private:
    EditingView& owner_;
};

EditingView::EditingView(Host& host, HostInput& input, QWidget* libreCad, KeptFailure& failure,
                         std::function<void(const std::string&)> trace)
    : QWidget(libreCad, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      host_(host),
      input_(input),
      failure_(failure),
      trace_(std::move(trace)),
      prompt_(new QLabel),
      canvas_(new Canvas(*this)) {
    setWindowTitle(QStringLiteral("Orvanta: edit the insert"));
    setWindowModality(Qt::ApplicationModal);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The prompt and the keys in a bar of their own: the drawing never runs under them.
    auto* bar = new QWidget;
    auto* lines = new QVBoxLayout(bar);
    lines->setContentsMargins(8, 4, 8, 4);
    lines->setSpacing(2);
    lines->addWidget(prompt_);
    lines->addWidget(new QLabel(QStringLiteral(
        "Click a leader or a dimension to change it. Enter or the right button: done. "
        "Escape: cancel.")));
    layout->addWidget(bar);
    layout->addWidget(canvas_, 1);
    resize(libreCad ? libreCad->size() * 0.7 : QSize(900, 640));
    if (libreCad) move(libreCad->geometry().center() - rect().center());
}

void EditingView::showOver(QWidget* view, std::optional<ViewTransform> libreCadTransform) {
    libreCadView_ = view;
    libreCadTransform_ = libreCadTransform;
}

void EditingView::place() {
    if (!libreCadView_) return;
    // The canvas as large as LibreCAD's view and over it, the bar above.
    resize(libreCadView_->width(), libreCadView_->height() + (height() - canvas_->height()));
    const QPoint off =
        libreCadView_->mapToGlobal(QPoint(0, 0)) - canvas_->mapToGlobal(QPoint(0, 0));
    move(pos() + off);
}

InputResult EditingView::takeInput(const QString& prompt) {
    taken_.reset();
    prompt_->setText(prompt);
    const bool first = !isVisible();
    show();
    raise();
    activateWindow();
    setFocus();
    QEventLoop wait;
    wait.processEvents();  // shown and laid out
    if (first) {
        place();
        wait.processEvents();
    }
    fit();
    update();
    const QPoint origin = canvas_->mapToGlobal(QPoint(0, 0));
    std::ostringstream view;
    view.precision(17);
    const Point o = transform_.toScreen({0.0, 0.0});
    view << "editing " << origin.x() + o.x << " " << origin.y() + o.y << " " << transform_.scale();
    trace_(view.str());
    while (!taken_ && isVisible()) wait.processEvents(QEventLoop::WaitForMoreEvents);
    failure_.rethrow();
    if (!taken_) escape();
    update();
    return *taken_;
}

void EditingView::fit() {
    const Drawing& drawing = host_.drawing();
    const double w = canvas_->width(), h = canvas_->height();
    // LibreCAD's own view, where the run's part with its texts lies in it, moved no more than it
    // takes: the insert stays where the designer saw its figure, at LibreCAD's scale.
    if (libreCadTransform_) {
        const Extents box = textsAndAll(drawing);
        const Point low = libreCadTransform_->toScreen({box.minX, box.minY});
        const Point high = libreCadTransform_->toScreen({box.maxX, box.maxY});
        const auto shift = [](double from, double to, double size) -> std::optional<double> {
            if (to - from > size - 2 * kEdgePixels) return std::nullopt;
            if (from < kEdgePixels) return kEdgePixels - from;
            if (to > size - kEdgePixels) return size - kEdgePixels - to;
            return 0.0;
        };
        const std::optional<double> dx = shift(low.x, high.x, w), dy = shift(high.y, low.y, h);
        if (!box.empty() && dx && dy) {
            transform_ = libreCadTransform_->panned(*dx, *dy);
            return;
        }
    }
    transform_ = fitWithMargin(runExtents(drawing), w, h, ScreenView::kFitMargin);
}

Point EditingView::drawingPoint(QPointF pixel) const {
    return transform_.toDrawing({pixel.x(), pixel.y()});
}

void EditingView::take(InputResult result) {
    taken_ = std::move(result);
    hover_ = {};
}

void EditingView::paint(QWidget& canvas) {
    QPainter painter(&canvas);
    painter.fillRect(canvas.rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Drawing& drawing = host_.drawing();
    // From the extents the spatial index keeps: a pass over the whole drawing for every paint would
    // cost what the drawing holds.
    const ViewFrame frame = frameFor(drawing, drawing.drawnExtents());
    velgui::PainterSurface surface(painter);
    velgui::PainterSurface thick(painter, 2.5);
    const PictureDetail detail = velgui::screenDetail(drawing);
    const Point centre = drawingPoint(QPointF(canvas.width() / 2.0, canvas.height() / 2.0));
    const double reach = std::hypot(canvas.width(), canvas.height()) / transform_.scale();
    SegmentView view;
    for (int id : drawing.segmentsNear(centre, reach)) {
        viewSegment(drawing, *drawing.segment(id), frame, view);
        paintSegment(view, transform_, surface, detail);
        if (hover_.segmentId == id && hover_.elementId)
            paintSegment(elementView(view, *hover_.elementId), transform_, thick,
                         velgui::litDetail(drawing, kHoverColor));
    }
}

void EditingView::hover(QPointF pixel) {
    if (!host_.running()) return;
    host_.setAperture(kPickBoxPixels / transform_.scale());
    const PickTarget target = input_.targetAt(drawingPoint(pixel));
    if (target.elementId != hover_.elementId) {
        hover_ = target;
        canvas_->update();
    }
}

void EditingView::press(Qt::MouseButton button, QPointF pixel) {
    if (taken_) return;
    if (button == Qt::RightButton) {
        if (meaningOf(Gesture::RightButton, Convention::LibreCad, momentOf(host_, false, false)) ==
            Meaning::Confirm)
            confirm();
        return;
    }
    if (button != Qt::LeftButton) return;
    host_.setAperture(kPickBoxPixels / transform_.scale());
    const Point at = drawingPoint(pixel);
    std::ostringstream line;
    line.precision(17);
    line << "point " << at.x << " " << at.y;
    trace_(line.str());
    take(input_.pick(at));
}

void EditingView::keyPressEvent(QKeyEvent* event) {
    if (taken_) return;
    const int key = event->key();
    std::optional<Gesture> gesture;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) gesture = Gesture::Enter;
    if (key == Qt::Key_Space) gesture = Gesture::Space;
    if (key == Qt::Key_Escape) gesture = Gesture::EscapeInDrawing;
    if (!gesture) return QWidget::keyPressEvent(event);
    guarded([&] {
        switch (meaningOf(*gesture, Convention::LibreCad, momentOf(host_, false, false))) {
            case Meaning::Confirm:
                return confirm();
            case Meaning::Leave:
                return escape();
            default:
                return;
        }
    });
}

void EditingView::closeEvent(QCloseEvent* event) {
    // Closing the window ends the editing as Escape does.
    if (!taken_) guarded([this] { escape(); });
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

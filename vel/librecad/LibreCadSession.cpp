// LibreCadSession.cpp - the run loop inside LibreCAD and the showing of its changes.
#include "vel/librecad/LibreCadSession.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <type_traits>
#include <variant>

#include "document_interface.h"
#include "vel/io/Interaction.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/Host.h"
#include "vel/kernel/Text.h"
#include "vel/runtime/Platform.h"

namespace vel::librecad {

namespace {

// The host's own reach, a share of the drawing's diagonal. Figures and selections are LibreCAD's
// own picks, at its zoom; the host's reach only bounds what a point given elsewhere (a traced
// session played again in velhost) would take.
constexpr double kReachShare = 0.01;

// A first corner further off LibreCAD's view than this, in pixels, is drawn from no band: Qt's
// integer coordinates would not hold it.
constexpr double kFarPixels = 1e6;

// LibreCAD waits for a point or a selection by asking for events over and over, a whole core busy
// while nothing happens. While it waits, a timer of ours sleeps in Qt's event dispatcher until the
// next event comes, and LibreCAD's loop only turns between events.
class QuietWait {
public:
    QuietWait() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QAbstractEventDispatcher* events = QAbstractEventDispatcher::instance())
                events->processEvents(QEventLoop::WaitForMoreEvents);
            timer_.start(kTurnMs);
        });
        timer_.start(kTurnMs);
    }

private:
    // How long LibreCAD's loop turns after an event before the timer waits again: short enough
    // that an input is never noticeably late.
    static constexpr int kTurnMs = 10;
    QTimer timer_;
};

// The rubber band from the first corner to the cursor, drawn over LibreCAD's drawing view: a line
// and the rectangle the corners span. LibreCAD 2.2 draws none for a base point of its own, and
// entities drawn for it would come back on undo. It goes when the view zooms or pans, which moves
// the first corner on the screen.
class RubberBand : public QWidget {
public:
    RubberBand(QWidget* view, QPoint from, KeptFailure& failure)
        : QWidget(view), failure_(failure), from_(from), to_(from) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(view->rect());
        view->installEventFilter(this);
        show();
        raise();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        failure_.guard([&] { follow(event); });
        return false;
    }
    void paintEvent(QPaintEvent*) override {
        failure_.guard([&] {
            QPainter painter(this);
            painter.setPen(QPen(QColor(kAidColor.r, kAidColor.g, kAidColor.b), 1, Qt::DashLine));
            QPolygon rectangle;
            for (const Point& p : bandCorners({double(from_.x()), double(from_.y())},
                                              {double(to_.x()), double(to_.y())}))
                rectangle << QPoint(static_cast<int>(p.x), static_cast<int>(p.y));
            painter.drawPolygon(rectangle);
            painter.drawLine(from_, to_);
        });
    }

private:
    void follow(QEvent* event) {
        switch (event->type()) {
            case QEvent::MouseMove:
                to_ = static_cast<QMouseEvent*>(event)->pos();
                update();
                break;
            case QEvent::Wheel:
            case QEvent::Resize:
                hide();
                break;
            case QEvent::MouseButtonPress:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) hide();
                break;
            default:
                break;
        }
    }

    KeptFailure& failure_;
    QPoint from_;
    QPoint to_;
};

// One wait of LibreCAD's for a point or a selection: quiet, and watched for how it ends.
class LibreCadWait {
public:
    LibreCadWait(EndOfWait& end, bool forPoint) : end_(end) {
        end_.meaning = Meaning::Nothing;
        end_.forPoint = forPoint;
        end_.waiting = true;
        end_.viewMoved = false;
        end_.clickView = nullptr;  // a point typed in this wait leaves no click behind
        qApp->installEventFilter(&end_);
    }
    ~LibreCadWait() {
        end_.waiting = false;
        qApp->removeEventFilter(&end_);
    }
    // Whether LibreCAD's view zoomed or panned while it waited.
    bool viewMoved() const { return end_.viewMoved; }
    LibreCadWait(const LibreCadWait&) = delete;
    LibreCadWait& operator=(const LibreCadWait&) = delete;

private:
    EndOfWait& end_;
    QuietWait quiet_;
};

}  // namespace

namespace {

// LibreCAD's command line: the line edit of its command widget, where keys typed over the
// drawing go too.
QLineEdit* commandLine() {
    for (QWidget* top : QApplication::topLevelWidgets())
        for (QLineEdit* edit : top->findChildren<QLineEdit*>())
            if (edit->inherits("QG_CommandEdit")) return edit;
    return nullptr;
}

// The view of LibreCAD's drawing in its main window.
QWidget* drawingView(QWidget* window) {
    for (QWidget* view : window->findChildren<QWidget*>())
        if (view->inherits("QG_GraphicView") && view->isVisible()) return view;
    return nullptr;
}

}  // namespace

namespace {

// A point on the figure, where a script's pick would take it.
std::optional<Point> pointOn(const Drawing& drawing, int segmentId) {
    const std::vector<Primitive> drawn = drawnPrimitives(drawing, *drawing.segment(segmentId));
    if (drawn.empty()) return std::nullopt;
    return std::visit(
        [](const auto& p) -> Point {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, Line>) return (p.start + p.end) * 0.5;
            if constexpr (std::is_same_v<T, Arc>) return p.pointAt(p.startAngle + p.sweep() / 2);
            if constexpr (std::is_same_v<T, Circle>) return p.centre + Point{p.radius, 0.0};
            if constexpr (std::is_same_v<T, Point>) return p;
        },
        drawn.front());
}

}  // namespace

bool EndOfWait::eventFilter(QObject* watched, QEvent* event) {
    if (!failure_.guard([&] { look(watched, event); })) giveUp();
    return false;
}

void EndOfWait::giveUp() {
    meaning = Meaning::Leave;
    if (waiting && view)
        QCoreApplication::postEvent(view, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
}

void EndOfWait::look(QObject* watched, QEvent* event) {
    // An input reaches this filter once for every widget it travels up through: the first is
    // taken, the rest are not looked at.
    if (meaning != Meaning::Nothing) return;
    std::optional<Gesture> gesture;
    bool typed = false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QLineEdit* line = commandLine();
        typed = line && !line->text().trimmed().isEmpty();
        if (key == Qt::Key_Escape)
            gesture =
                line && line->hasFocus() ? Gesture::EscapeInCommandLine : Gesture::EscapeInDrawing;
        else if (key == Qt::Key_Return || key == Qt::Key_Enter)
            gesture = Gesture::Enter;
    } else if (event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        gesture = Gesture::RightButton;
    } else if (watched->inherits("QG_GraphicView") &&
               (event->type() == QEvent::Wheel || event->type() == QEvent::Resize ||
                (event->type() == QEvent::MouseButtonPress &&
                 static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton))) {
        viewMoved = true;
    } else if (event->type() == QEvent::MouseButtonRelease && watched->inherits("QG_GraphicView") &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        clickView = static_cast<QWidget*>(watched);
        clickAt = static_cast<QMouseEvent*>(event)->pos();
    }
    if (event->type() == QEvent::MouseButtonRelease && missed && !missPending_ &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Once LibreCAD had the click: a wait that goes on found nothing there.
        missPending_ = true;
        QTimer::singleShot(0, this, [this] {
            missPending_ = false;
            if (!waiting || meaning != Meaning::Nothing || !missed) return;
            if (!failure_.guard(missed)) giveUp();
        });
        return;
    }
    if (!gesture) return;
    meaning = meaningOf(*gesture, Convention::LibreCad, momentOf(Host::instance(), typed, false));
    // What is typed is LibreCAD's to read (a point, as its own commands take it).
    if (meaning == Meaning::RunTyped) meaning = Meaning::Nothing;
    // LibreCAD ignores Enter at a point: told as Escape, it ends the wait.
    if (*gesture == Gesture::Enter && forPoint && meaning == Meaning::Confirm)
        QCoreApplication::postEvent(watched, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
}

bool DialogTracer::eventFilter(QObject* watched, QEvent* event) {
    // A failure here leaves the plug-in's dialog open; the run ends on it once the dialog closes.
    if (auto* dialog = qobject_cast<QDialog*>(watched))
        failure_.guard([&] { look(dialog, event); });
    return false;
}

void DialogTracer::look(QDialog* dialog, QEvent* event) {
    if (event->type() == QEvent::Hide) trace_("closed " + dialog->objectName().toStdString());
    if (event->type() != QEvent::Show) return;
    // Once laid out and placed.
    QTimer::singleShot(0, dialog, [this, dialog] {
        failure_.guard([&] {
            std::ostringstream lines;
            lines << "dialog " << dialog->objectName().toStdString();
            for (QWidget* control : dialog->findChildren<QWidget*>()) {
                bool numbered = false;
                control->objectName().toInt(&numbered);
                if (!numbered || !control->isVisible()) continue;
                const QPoint centre = control->mapToGlobal(control->rect().center());
                lines << "\ncontrol " << control->objectName().toStdString() << " " << centre.x()
                      << " " << centre.y();
            }
            trace_(lines.str());
        });
    });
}

LibreCadSession::LibreCadSession(Document_Interface& doc, QWidget* window, std::string plugin)
    : doc_(&doc),
      window_(window),
      plugin_(std::move(plugin)),
      lc_(doc),
      input_(Host::instance()),
      end_(failure_),
      dialogs_(failure_, [this](const std::string& line) { trace(line); }) {
    if (const char* trace = std::getenv("ORVANTA_LIBRECAD_TRACE")) trace_ = trace;
}

void LibreCadSession::say(const QString& text) {
    // LibreCAD's command history is the text box of its command widget.
    for (QTextEdit* history : window_->findChildren<QTextEdit*>()) {
        if (history->isReadOnly()) {
            history->append(text);
            return;
        }
    }
    QMessageBox::information(window_, QStringLiteral("Orvanta"), text);
}

void LibreCadSession::trace(const std::string& line) {
    if (!trace_.empty()) std::ofstream(trace_, std::ios::app) << line << std::endl;
}

QString LibreCadSession::prompt() const {
    const Host& host = Host::instance();
    return host.prompts().empty() ? QString() : QString::fromStdU16String(host.prompts().back());
}

void LibreCadSession::importDrawing() {
    Host& host = Host::instance();
    DrawingImport import(host.drawing());
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const std::vector<std::pair<Plug_Entity*, LcEntity>> all = lc_.readAll();
    const Clock::time_point read = Clock::now();
    for (const auto& [handle, entity] : all) {
        if (const std::optional<int> segment = import.add(entity)) {
            imported_[*segment] = handle;
            segmentOfEntity_[entity.id] = *segment;
        }
    }
    const auto ms = [](Clock::duration d) {
        return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    trace("imported " + std::to_string(all.size()) + " entities: LibreCAD gave them in " +
          ms(read - start) + " ms, the drawing took them in " + ms(Clock::now() - read) + " ms");
    host.drawing().setCurrentLayer(import.layerOf(lc_.currentLayer()));
    if (import.leftOut().total() > 0)
        say(QStringLiteral("Orvanta: ") + QString::fromStdString(import.leftOut().summary()));
    const Extents extents = host.drawing().drawnExtents();
    if (!extents.empty()) reach_ = std::hypot(extents.width(), extents.height()) * kReachShare;
    host.setAperture(reach_);
}

bool LibreCadSession::run() {
    try {
        return runCommand();
    } catch (const std::exception& e) {
        abandon(e.what());
    } catch (...) {
        abandon("an unknown failure");
    }
    return false;
}

void LibreCadSession::resume(Document_Interface& doc, QWidget* window) {
    doc_ = &doc;
    window_ = window;
    lc_.rebind(doc);
    trace("resumed");
}

void LibreCadSession::abandon(const std::string& why) {
    trace("stopped " + why);
    qApp->removeEventFilter(&dialogs_);
    editing_.reset();
    Host& host = Host::instance();
    try {
        if (host.running()) host.escape();
    } catch (...) {
        // The plug-in failed again on its way out: the host's run is dropped below all the same.
    }
    host.setMessagePresenter(nullptr);
    host.reset();
    for (auto& [segment, handles] : shown_)
        for (Plug_Entity* handle : handles) lc_.remove(handle);
    shown_.clear();
    for (const LcEntity& entity : replaced_) lc_.show(entity);
    replaced_.clear();
    lc_.refresh();
    say(QStringLiteral("Orvanta: the command stopped and left the drawing as it was: ") +
        QString::fromStdString(why));
}

bool LibreCadSession::runCommand() {
    Host& host = Host::instance();
    if (!started_) {
        host.reset();
        try {
            vel::loadPlugin(plugin_);
        } catch (const std::exception& e) {
            QMessageBox::warning(window_, QStringLiteral("Orvanta"),
                                 QString::fromStdString(e.what()));
            return false;
        }
        start();
    }
    if (!trace_.empty()) qApp->installEventFilter(&dialogs_);
    while (host.running()) {
        step();
        if (host.running() && inserts_.insertEnded(host)) {
            // The insert is one step of LibreCAD's undo: the run goes on at LibreCAD's next call.
            // What it showed and took out is that step's now, which a failure later leaves be.
            shown_.clear();
            replaced_.clear();
            qApp->removeEventFilter(&dialogs_);
            trace("paused");
            lc_.refresh();
            return true;
        }
    }
    qApp->removeEventFilter(&dialogs_);
    editing_.reset();
    trace("end");
    host.drawing().finishChanges();
    host.setMessagePresenter(nullptr);
    lc_.refresh();
    return false;
}

void LibreCadSession::start() {
    started_ = true;
    Host& host = Host::instance();
    host.setMessagePresenter([this](const std::u16string& text) {
        trace("message " + QString::fromStdU16String(text).toStdString());
        const std::string why = Host::instance().takeRefusal().text();
        if (!why.empty())
            say(QStringLiteral("Orvanta: the host refused: ") + QString::fromStdString(why));
        QMessageBox box(QMessageBox::Information, QStringLiteral("Orvanta"),
                        QString::fromStdU16String(text), QMessageBox::Ok, window_);
        box.setObjectName(QStringLiteral("message"));
        box.exec();
    });
    importDrawing();
    std::ostringstream reach;
    reach.precision(17);
    reach << "aperture " << host.aperture();
    trace(reach.str());
    // Where LibreCAD's command line lies on the screen, for a test that types into it.
    if (const QLineEdit* line = commandLine()) {
        const QPoint centre = line->mapToGlobal(line->rect().center());
        trace("commandline " + std::to_string(centre.x()) + " " + std::to_string(centre.y()));
    }
    frame_ = frameOf(host.drawing());
    end_.view = drawingView(window_);
    host.drawing().recordChanges();
    const InputResult started = input_.start();
    if (!started) say(QString::fromStdString(started.refusal));
    inserts_.started(host);
    showChanges();
}

void LibreCadSession::step() {
    Host& host = Host::instance();
    trace("prompt " + std::to_string(host.eventMask()) + " " + prompt().toStdString());
    const StepInput input = armedInput(host);
    const InputResult taken = input == StepInput::Element     ? editInsert()
                              : input == StepInput::Selection ? selectInLibreCad()
                              : input == StepInput::Figure    ? figureInLibreCad()
                                                              : pointInLibreCad();
    failure_.rethrow();  // of a dialog of the plug-in's on the way
    if (!taken) say(QString::fromStdString(taken.refusal));
    // While the insert is edited, LibreCAD's drawing waits for the end of the editing.
    if (armedInput(host) == StepInput::Element) return;
    if (editing_ && editing_->isVisible()) {
        editing_->hide();
        focusDrawing();
    }
    showChanges();
}

void LibreCadSession::focusDrawing() {
    // Keys go back to LibreCAD's drawing view, where its shortcuts (Ctrl+Z) work.
    window_->activateWindow();
    if (QWidget* view = drawingView(window_)) view->setFocus();
}

InputResult LibreCadSession::editInsert() {
    if (!editing_)
        editing_ = std::make_unique<EditingView>(Host::instance(), input_, window_, failure_,
                                                 [this](const std::string& line) { trace(line); });
    editing_->showOver(drawingView(window_), libreCadView_.transform());
    return editing_->takeInput(prompt());
}

InputResult LibreCadSession::selectInLibreCad() {
    Host& host = Host::instance();
    host.setAperture(reach_);
    QList<Plug_Entity*> picked;
    bool accepted = false;
    {
        LibreCadWait wait(end_, false);
        accepted = doc_->getSelect(&picked, prompt());
        if (wait.viewMoved()) libreCadView_.moved();
    }
    failure_.rethrow();
    for (Plug_Entity* e : picked) {
        const auto segment = segmentOfEntity_.find(LibreCadDocument::idOf(e));
        delete e;
        if (segment == segmentOfEntity_.end()) continue;
        host.addToSelection(segment->second);
        const std::optional<Point> on = pointOn(host.drawing(), segment->second);
        if (!on) continue;
        std::ostringstream line;
        line.precision(17);
        line << "select " << on->x << " " << on->y;
        trace(line.str());
    }
    trace("selected " + std::to_string(host.selection().size()));
    // The selection is the command's now: LibreCAD shows it no longer, as after its own commands.
    if (!picked.isEmpty()) deselectAll();
    switch (end_.meaning) {
        case Meaning::Leave:
            return escape();
        case Meaning::StepBack:
            return stepBack();
        case Meaning::EndSelection:
            return host.selection().empty() ? confirm() : input_.done();
        default:
            break;
    }
    // Enter with nothing selected is the prompt's confirm input, as in the window.
    if (accepted && !host.selection().empty()) return input_.done();
    if (accepted || end_.meaning == Meaning::Confirm) return confirm();
    return escape();
}

InputResult LibreCadSession::figureInLibreCad() {
    // LibreCAD's own pick: what a click reaches at LibreCAD's zoom, as its own commands pick.
    Plug_Entity* picked = nullptr;
    end_.missed = [this] {
        trace("missed");
        say(QStringLiteral("Orvanta: no figure there; pick a figure"));
    };
    {
        LibreCadWait wait(end_, true);
        picked = doc_->getEnt(prompt());
        if (wait.viewMoved()) libreCadView_.moved();
    }
    failure_.rethrow();
    end_.missed = nullptr;
    std::optional<int> segment;
    if (picked) {
        const auto found = segmentOfEntity_.find(LibreCadDocument::idOf(picked));
        if (found != segmentOfEntity_.end()) segment = found->second;
        delete picked;
        // LibreCAD marks what it picked as selected; the pick is the command's, not a selection.
        deselectAll();
    }
    switch (end_.meaning) {
        case Meaning::Confirm:
            return confirm();
        case Meaning::StepBack:
            return stepBack();
        case Meaning::Leave:
            return escape();
        default:
            break;
    }
    if (!picked) return escape();
    Host& host = Host::instance();
    const std::optional<Point> on = segment ? pointOn(host.drawing(), *segment) : std::nullopt;
    if (!on) {
        say(QStringLiteral("Orvanta: that is no figure the command can take"));
        return {};  // the prompt stays
    }
    std::ostringstream line;
    line.precision(17);
    line << "point " << on->x << " " << on->y;
    trace(line.str());
    return input_.pickFigure(*segment, *on);
}

void LibreCadSession::deselectAll() {
    for (QAction* action : window_->findChildren<QAction*>())
        if (action->objectName() == QStringLiteral("DeselectAll")) return action->trigger();
}

InputResult LibreCadSession::pointInLibreCad() {
    Host::instance().setAperture(reach_);  // the editing window sets a reach of its own
    QPointF at;
    // The second corner of a rectangle: LibreCAD draws a rubber line from the first.
    const std::optional<Point> echo = Host::instance().echo();
    QPointF base = echo ? QPointF(echo->x, echo->y) : QPointF();
    bool clicked = false;
    // The band goes from where the first corner's click landed; from a first corner typed, only
    // where the run's clicks have told where LibreCAD shows its points.
    std::unique_ptr<RubberBand> band;
    if (echo && end_.clickView) {
        band = std::make_unique<RubberBand>(end_.clickView, end_.clickAt, failure_);
    } else if (const std::optional<ViewTransform> view = libreCadView_.transform();
               echo && view && end_.view) {
        const Point first = view->toScreen(*echo);
        if (std::fabs(first.x) < kFarPixels && std::fabs(first.y) < kFarPixels)
            band = std::make_unique<RubberBand>(
                end_.view, QPoint(std::lround(first.x), std::lround(first.y)), failure_);
    }
    {
        LibreCadWait wait(end_, true);
        clicked = doc_->getPoint(&at, prompt(), echo ? &base : nullptr);
        if (wait.viewMoved()) libreCadView_.moved();
    }
    failure_.rethrow();
    if (end_.meaning == Meaning::Confirm) return confirm();
    if (end_.meaning == Meaning::StepBack) return stepBack();
    if (!clicked) return escape();
    // A click tells where LibreCAD shows the point; a point typed tells nothing of the view.
    if (end_.clickView)
        libreCadView_.clicked(Point{double(end_.clickAt.x()), double(end_.clickAt.y())},
                              Point{at.x(), at.y()});
    std::ostringstream line;
    line.precision(17);
    line << "point " << at.x() << " " << at.y();
    trace(line.str());
    return input_.pick({at.x(), at.y()});
}

InputResult LibreCadSession::confirm() {
    trace("confirm");
    return input_.confirm();
}

InputResult LibreCadSession::stepBack() {
    // The run ends where the first corner was given, and starts again at its first prompt.
    trace("back");
    input_.escape();
    return input_.start();
}

InputResult LibreCadSession::escape() {
    trace("escape");
    input_.escape();
    return {};
}

void LibreCadSession::showChanges() {
    Drawing& drawing = Host::instance().drawing();
    const DrawingChange change = drawing.finishChanges();
    drawing.recordChanges();
    // Annotations' texts are sized by the insert they annotate, not by LibreCAD's drawing.
    ViewFrame frame = frame_;
    if (const std::optional<double> h = annotationTextHeight(drawing)) frame.textHeight = *h;
    for (const DrawingChange::SegmentStates& s : change.segments) {
        if (const auto own = imported_.find(s.id); own != imported_.end()) {
            replaced_.push_back(LibreCadDocument::read(own->second));
            lc_.remove(own->second);
            imported_.erase(own);
        }
        if (const auto shown = shown_.find(s.id); shown != shown_.end()) {
            for (Plug_Entity* handle : shown->second) lc_.remove(handle);
            shown_.erase(shown);
        }
        if (const Segment* now = drawing.segment(s.id)) {
            std::vector<Plug_Entity*>& shown = shown_[s.id];
            for (const LcEntity& e : entitiesOf(drawing, *now, frame))
                if (Plug_Entity* handle = lc_.show(e)) shown.push_back(handle);
        }
    }
    lc_.refresh();
}

}  // namespace vel::librecad

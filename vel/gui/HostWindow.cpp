// HostWindow.cpp - the window around the canvas: command line, menus, layers.
#include "vel/gui/HostWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "vel/gui/Canvas.h"
#include "vel/gui/WindowLanguage.h"
#include "vel/kernel/Text.h"

namespace velgui {

namespace {

constexpr const char* kSnapOnKey = "snap/on";
constexpr const char* kSnapKindsKey = "snap/kinds";

QString fromUtf16(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HostWindow::HostWindow(vel::Host& host, const WindowOptions& options)
    : host_(host),
      input_(host),
      files_(*this, host, history_, options.outputs,
             {.message = [this](const QString& text) { showMessage(text); },
              .regainActivation = [this] { regainActivation(); },
              .drawingReplaced = [this] { showNewDrawing(); }}) {
    CanvasEvents events;
    events.inputTaken = [this] {
        // A pick by the mouse answered the prompt: the text refused at it has had its turn.
        if (!refusedText_.isEmpty() && commandLine_->text().trimmed() == refusedText_)
            commandLine_->clear();
        refusedText_.clear();
        afterInput();
    };
    events.inputRefused = [this](const vel::Words& why) { showMessage(say(why)); };
    events.gesture = [this](vel::Gesture gesture) { take(gesture); };
    events.typed = [this](const QString& text) {
        commandLine_->setFocus();
        commandLine_->insert(text);
    };
    events.cursorMoved = [this](vel::Point p, std::optional<vel::SnapKind> snap) {
        coordinates_->setText(QStringLiteral("X %1   Y %2")
                                  .arg(QString::fromStdString(vel::shownCoordinate(p.x)),
                                       QString::fromStdString(vel::shownCoordinate(p.y))));
        snapState_->setText(snap ? snapKindText(*snap) : QString());
    };
    canvas_ = new Canvas(host_, input_, std::move(events));
    canvas_->setAperturePixels(options.aperturePixels);

    prompt_ = new QLabel(tr("Command:"));
    commandLine_ = new QLineEdit;
    commandLine_->setObjectName(QStringLiteral("commandLine"));
    commandLine_->installEventFilter(this);
    // The prompt and what is typed, and under them the keys that move the step on.
    auto* bar = new QWidget;
    auto* barLayout = new QGridLayout(bar);
    barLayout->setContentsMargins(6, 2, 6, 2);
    barLayout->setVerticalSpacing(1);
    barLayout->addWidget(prompt_, 0, 0);
    barLayout->addWidget(commandLine_, 0, 1);
    barLayout->setColumnStretch(1, 1);
    keyLine_ = new QLabel;
    keyLine_->setObjectName(QStringLiteral("keyLine"));
    keyLine_->setForegroundRole(QPalette::PlaceholderText);
    barLayout->addWidget(keyLine_, 1, 0, 1, 2);

    // What the session said, to scroll back through and copy: prompts, what was typed, messages.
    log_ = new QPlainTextEdit;
    log_->setObjectName(QStringLiteral("commandHistory"));
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(kHistoryLines);
    log_->setFocusPolicy(Qt::ClickFocus);
    log_->setFixedHeight(log_->fontMetrics().lineSpacing() * 4 + 8);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_, 1);
    layout->addWidget(log_);
    layout->addWidget(bar);
    setCentralWidget(central);

    selectionState_ = new QLabel;
    selectionState_->setObjectName(QStringLiteral("selectionState"));
    statusBar()->addPermanentWidget(selectionState_);
    snapState_ = new QLabel;
    snapState_->setObjectName(QStringLiteral("snapState"));
    statusBar()->addPermanentWidget(snapState_);
    coordinates_ = new QLabel;
    coordinates_->setObjectName(QStringLiteral("coordinates"));
    coordinates_->setMinimumWidth(coordinates_->fontMetrics().horizontalAdvance(
        QStringLiteral("X -00000000.000   Y -00000000.000")));
    statusBar()->addPermanentWidget(coordinates_);

    layers_ = new QListWidget;
    layers_->setObjectName(QStringLiteral("layers"));
    auto* dock = new QDockWidget(tr("Layers"), this);
    dock->setObjectName(QStringLiteral("layersDock"));
    dock->setWidget(layers_);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(layers_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        // Between runs the choice is a step of its own: undone as a run is, and a
        // change to save. Within a run it is part of the run.
        if (!history_.inRun()) history_.begin(host_.drawing());
        host_.drawing().setCurrentLayer(item->data(Qt::UserRole).toInt());
        afterInput();
        canvas_->setFocus();
    });

    buildMenus();
    host_.setMessagePresenter([this](const std::u16string& text) {
        note(fromUtf16(text));
        const vel::Words why = host_.takeRefusal();
        if (!why.empty()) note(QStringLiteral("  ") + tr("the host refused: %1").arg(say(why)));
        QMessageBox::information(this, QStringLiteral("Orvanta"), fromUtf16(text));
    });

    files_.startWith(QString::fromStdString(options.drawing), options.leftOut);
    showNewDrawing(options.view);
    keyLine_->setText(keyLine());
    canvasSize_ = options.size;
    resize(options.size + QSize(300, 120));
    canvas_->setFocus();
}

void HostWindow::showNewDrawing(const std::optional<vel::Extents>& view) {
    shownRevision_ = host_.drawing().revision();
    canvas_->refreshDrawing();
    if (view)
        canvas_->showArea(*view);
    else
        canvas_->zoomToFit();
    refreshLayers();
    refreshActions();
}

HostWindow::~HostWindow() {
    host_.setMessagePresenter(nullptr);
}

void HostWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (canvasSize_.isValid()) QTimer::singleShot(0, this, [this] { fitCanvasSize(3); });
}

// Once laid out, the window grows or shrinks by what the canvas lacks of the size asked
// for, again while a window system still moves things; after that the person sizes it.
void HostWindow::fitCanvasSize(int tries) {
    const QSize lacking = canvasSize_ - canvas_->size();
    if (lacking.isNull() || tries == 0) {
        canvasSize_ = QSize();
        return;
    }
    resize(size() + lacking);
    QTimer::singleShot(20, this, [this, tries] { fitCanvasSize(tries - 1); });
}

void HostWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    openAction_ =
        file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] { files_.open(); });
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    QAction* save =
        file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { files_.save(); });
    // Spelled out: the standard Save As and Redo keys are empty or other keys on a plain
    // X11 desktop, where Qt's generic key bindings apply.
    QAction* saveAsAction =
        file->addAction(tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                        [this] { files_.saveAs(); });
    saveAsAction->setObjectName(QStringLiteral("saveAs"));
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    undoAction_ = edit->addAction(tr("&Undo"), QKeySequence::Undo, this, [this] { undo(); });
    redoAction_ = edit->addAction(tr("&Redo"), this, [this] { redo(); });
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* fit = view->addAction(tr("Zoom to &Fit"), QKeySequence(Qt::Key_Home), this,
                                   [this] { canvas_->zoomToFit(); });

    QMenu* snap = buildSnapMenu();

    QMenu* command = menuBar()->addMenu(tr("&Command"));
    insertAction_ =
        command->addAction(tr("&Insert"), this, [this] { runCommand(QStringLiteral("insert")); });

    // A menu left with Escape leaves the menu bar holding the keyboard, where letters open
    // menus; the keyboard goes back to the canvas, and typing to the command line.
    for (QMenu* menu : {file, edit, view, snap, command})
        connect(menu, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                QWidget* keys = QApplication::focusWidget();
                if (!QApplication::activePopupWidget() && !QApplication::activeModalWidget() &&
                    (!keys || qobject_cast<QMenuBar*>(keys)))
                    canvas_->setFocus();
            });
        });

    QToolBar* tools = addToolBar(tr("Tools"));
    tools->setObjectName(QStringLiteral("tools"));
    for (QAction* a :
         {openAction_, save, saveAsAction, undoAction_, redoAction_, fit, insertAction_})
        tools->addAction(a);
    QToolBar* snaps = addToolBar(tr("Snaps"));
    snaps->setObjectName(QStringLiteral("snaps"));
    snaps->addAction(snapAction_);
    for (QAction* a : snapKindActions_) snaps->addAction(a);
    files_.setRecentMenu(recentMenu_);
}

QMenu* HostWindow::buildSnapMenu() {
    // The snaps as the person left them last time.
    QSettings settings = windowSettings();
    const bool on = settings.value(kSnapOnKey, true).toBool();
    const vel::SnapKinds kinds = vel::SnapKinds::fromBits(
        settings.value(kSnapKindsKey, vel::SnapKinds::defaults().bits()).toUInt());

    QMenu* menu = menuBar()->addMenu(tr("&Snap"));
    snapAction_ = menu->addAction(tr("Object &Snap"));
    snapAction_->setObjectName(QStringLiteral("objectSnap"));
    snapAction_->setCheckable(true);
    snapAction_->setChecked(on);
    snapAction_->setShortcut(QKeySequence(Qt::Key_F3));
    menu->addSeparator();
    for (int k = 0; k < vel::kSnapKindCount; ++k) {
        const auto kind = static_cast<vel::SnapKind>(k);
        QAction* a = menu->addAction(snapKindText(kind));
        a->setObjectName(QStringLiteral("snap") + QString::fromLatin1(vel::snapKindName(kind)));
        a->setCheckable(true);
        a->setChecked(kinds.has(kind));
        snapKindActions_.push_back(a);
        connect(a, &QAction::toggled, this, [this] { applySnaps(); });
    }
    connect(snapAction_, &QAction::toggled, this, [this](bool checked) {
        showMessage(checked ? tr("Object snap on (F3)") : tr("Object snap off (F3)"));
        applySnaps();
    });
    applySnaps();
    return menu;
}

void HostWindow::applySnaps() {
    vel::SnapKinds kinds;
    for (int k = 0; k < vel::kSnapKindCount; ++k) {
        kinds.set(static_cast<vel::SnapKind>(k), snapKindActions_[k]->isChecked());
        snapKindActions_[k]->setEnabled(snapAction_->isChecked());
    }
    canvas_->setSnaps(snapAction_->isChecked(), kinds);
    QSettings settings = windowSettings();
    settings.setValue(kSnapOnKey, snapAction_->isChecked());
    settings.setValue(kSnapKindsKey, kinds.bits());
}

QString HostWindow::snapKindText(vel::SnapKind kind) {
    switch (kind) {
        case vel::SnapKind::Endpoint:
            return tr("Endpoint");
        case vel::SnapKind::Midpoint:
            return tr("Midpoint");
        case vel::SnapKind::Centre:
            return tr("Centre");
        case vel::SnapKind::Quadrant:
            return tr("Quadrant");
        case vel::SnapKind::Intersection:
            return tr("Intersection");
        case vel::SnapKind::Nearest:
            return tr("Nearest");
    }
    return {};
}

// ---- commands ------------------------------------------------------------------

QString HostWindow::prompt() const {
    if (!host_.running() || host_.prompts().empty()) return tr("Command:");
    return fromUtf16(host_.prompts().back());
}

void HostWindow::runCommand(const QString& typed) {
    const QString name = typed.trimmed().toLower();
    if (name.isEmpty()) return;
    if (name == QStringLiteral("insert")) {
        if (host_.running()) {
            showMessage(tr("The command is already running; Escape leaves it"));
            return;
        }
        lastCommand_ = name;
        history_.begin(host_.drawing());
        const vel::InputResult started = input_.start();
        if (!started) showMessage(say(started.words));
        inserts_.started(host_);
        afterInput();
    } else if (name == QStringLiteral("undo") || name == QStringLiteral("u")) {
        undo();
    } else if (name == QStringLiteral("redo")) {
        redo();
    } else if (name == QStringLiteral("zoom") || name == QStringLiteral("z")) {
        canvas_->zoomToFit();
    } else {
        showMessage(tr("Unknown command: %1").arg(typed.trimmed()));
    }
}

void HostWindow::take(vel::Gesture gesture) {
    const QString typed = commandLine_->text().trimmed();
    const vel::InputMoment moment = vel::momentOf(host_, !typed.isEmpty(), !lastCommand_.isEmpty());
    if (gesture == vel::Gesture::Space &&
        !vel::spaceEndsTyping(typed.toStdString(), moment.input)) {
        commandLine_->setFocus();
        commandLine_->insert(QStringLiteral(" "));
        return;
    }
    const vel::Meaning meaning = vel::meaningOf(gesture, vel::Convention::Window, moment);
    switch (meaning) {
        case vel::Meaning::RunTyped:
            runTyped(typed, moment.input);
            return;
        case vel::Meaning::RepeatLast:
            runCommand(lastCommand_);
            return;
        case vel::Meaning::Confirm:
        case vel::Meaning::EndSelection: {
            const vel::InputResult taken =
                meaning == vel::Meaning::EndSelection ? input_.done() : input_.confirm();
            if (!taken) showMessage(say(taken.words));
            afterInput();
            return;
        }
        case vel::Meaning::StepBack:
        case vel::Meaning::Leave:
            escape();
            return;
        case vel::Meaning::Nothing:
            return;
    }
}

void HostWindow::runTyped(const QString& typed, vel::StepInput input) {
    commandLine_->clear();
    note(QStringLiteral("> ") + typed);
    if (!vel::takesAPick(input) || !vel::meantAsPoint(typed.toStdString())) {
        runCommand(typed);
        return;
    }
    // A point typed at a prompt that takes one: as if clicked there.
    const vel::InputResult taken = input_.pickTyped(typed.toStdString());
    if (!taken) {
        showMessage(say(taken.words));
        commandLine_->setText(typed);  // to be put right
        refusedText_ = typed;
    }
    afterInput();
}

void HostWindow::escape() {
    commandLine_->clear();
    input_.escape();
    afterInput();
    canvas_->setFocus();
}

// A dialog that closed may leave no window active where no window manager hands the
// activation back (a bare X server, offscreen), and the shortcuts then fall dead.
void HostWindow::regainActivation() {
    if (isVisible() && !isActiveWindow() && !QApplication::activeModalWidget()) activateWindow();
}

void HostWindow::afterInput() {
    regainActivation();
    if (history_.inRun() && !host_.running()) {
        history_.end(host_.drawing());
        canvas_->setFocus();  // the next keystroke goes to the command line at once
    } else if (history_.inRun() && inserts_.insertEnded(host_)) {
        history_.cut(host_.drawing());  // one undo step an insert
    }
    const QString asked = prompt();
    if (host_.running() && asked != prompt_->text()) note(asked);
    prompt_->setText(asked);
    if (host_.drawing().revision() != shownRevision_) {
        shownRevision_ = host_.drawing().revision();
        canvas_->updateDrawing();
        refreshLayers();
    }
    canvas_->refreshHover();
    keyLine_->setText(keyLine());
    // While figures are being selected: how many are.
    const bool selecting = vel::armedInput(host_) == vel::StepInput::Selection;
    selectionState_->setVisible(selecting);
    if (selecting) selectionState_->setText(tr("%1 selected").arg(host_.selection().size()));
    setWindowModified(modified());
    refreshActions();
}

QString HostWindow::keyLine() const {
    const QString confirm = tr("Enter, space or right button: confirm");
    const QString leave = tr("Escape: leave the command");
    if (!host_.running())
        return lastCommand_.isEmpty() ? tr("Type insert, then Enter")
                                      : tr("Enter: %1 again").arg(lastCommand_);
    switch (vel::armedInput(host_)) {
        case vel::StepInput::Point:
            // With the rubber band up the step waits for the second point, and nothing else.
            if (host_.echo())
                return tr("Click or type the second point (@dx,dy from the first) · F3: snaps · %1")
                    .arg(leave);
            return tr("Click or type x,y · F3: snaps · %1 · %2").arg(confirm, leave);
        case vel::StepInput::Figure:
            return tr("Click a figure · %1 · %2").arg(confirm, leave);
        case vel::StepInput::Selection:
            if (host_.selection().empty())
                return tr("Click or drag a window · %1 · %2").arg(confirm, leave);
            return tr("Enter, space or right button: done · Shift+click: take out · %1").arg(leave);
        case vel::StepInput::Element:
            return tr("Click a leader or a dimension to change it · %1 · %2").arg(confirm, leave);
        case vel::StepInput::None:
            break;
    }
    return leave;
}

void HostWindow::undo() {
    stepHistory(true);
}

void HostWindow::redo() {
    stepHistory(false);
}

void HostWindow::stepHistory(bool back) {
    // Undo in the middle of a run leaves the run first, then takes back its last insert.
    if (back && host_.running()) escape();
    if (host_.running() || !(back ? history_.canUndo() : history_.canRedo())) return;
    if (back)
        history_.undo(host_.drawing());
    else
        history_.redo(host_.drawing());
    host_.clearSelection();
    afterInput();
}

void HostWindow::refreshActions() {
    const bool idle = !host_.running();
    undoAction_->setEnabled(history_.canUndo() || (history_.inRun() && !idle));
    redoAction_->setEnabled(idle && history_.canRedo());
    openAction_->setEnabled(idle);
    recentMenu_->setEnabled(idle);
    insertAction_->setEnabled(idle && host_.registered());
}

void HostWindow::refreshLayers() {
    layers_->clear();
    const vel::Drawing& d = host_.drawing();
    for (const auto& [number, layer] : d.layers()) {
        const QString name = QString::fromStdString(layer.name);
        auto* item =
            new QListWidgetItem(name.isEmpty() ? QString::number(number)
                                               : QStringLiteral("%1  %2").arg(number).arg(name));
        item->setData(Qt::UserRole, number);
        if (number == d.currentLayer()) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
            item->setText(item->text() + tr("  (current)"));
        }
        layers_->addItem(item);
    }
}

void HostWindow::showMessage(const QString& text) {
    note(text);
    statusBar()->showMessage(text, 6000);
}

void HostWindow::note(const QString& line) {
    log_->appendPlainText(line);
}

bool HostWindow::eventFilter(QObject* watched, QEvent* event) {
    // The line edit claims Ctrl+Z and Ctrl+Y for its own text, and typing a command
    // leaves the focus on it: the drawing's undo and redo keys must reach the window.
    if (watched == commandLine_ && event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : {undoAction_, redoAction_})
            if (action && action->shortcuts().contains(pressed)) {
                event->ignore();
                return true;
            }
    }
    if (watched == commandLine_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Escape:
                take(vel::Gesture::EscapeInCommandLine);
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                take(vel::Gesture::Enter);
                return true;
            case Qt::Key_Space:  // commands have no spaces: space is Enter, as on the canvas
                take(vel::Gesture::Space);
                return true;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void HostWindow::closeEvent(QCloseEvent* event) {
    if (host_.running()) {
        input_.escape();
        afterInput();
    }
    if (!files_.maybeSave(true) || !files_.writeOutputs()) {
        event->ignore();  // the window stays
        return;
    }
    event->accept();
}

}  // namespace velgui

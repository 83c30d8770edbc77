// HostWindow.h - velhost's CAD window: the canvas, the command line with the
// plug-in's prompt, the layers, the file menu with recent files, undo and redo
// by command run, and the status bar with the cursor's coordinates. Everything a
// person does reaches the host through the same inputs a session script uses.
#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QSize>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "vel/dxf/DxfFormat.h"
#include "vel/gui/UndoHistory.h"
#include "vel/gui/WindowFiles.h"
#include "vel/io/HostInput.h"
#include "vel/io/Interaction.h"
#include "vel/io/Snap.h"

class QLabel;
class QPlainTextEdit;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;

namespace velgui {

class Canvas;

struct WindowOptions {
    std::string drawing;               // opened at the start; none: an empty drawing
    vel::LeftOut leftOut;              // what reading it left out
    std::vector<std::string> outputs;  // written when the window closes
    double aperturePixels = vel::kPickBoxPixels;
    QSize size{1100, 680};  // the canvas's size in pixels: the window fits a 1080-line screen
    std::optional<vel::Extents> view;  // shown exactly; none: zoomed to fit
};

class HostWindow : public QMainWindow {
    Q_DECLARE_TR_FUNCTIONS(HostWindow)

public:
    // The drawing is read before the window is made; a drawing that cannot be
    // read is the caller's error (vel::FileError), as on the command line.
    HostWindow(vel::Host& host, const WindowOptions& options);
    ~HostWindow() override;

    Canvas& canvas() { return *canvas_; }
    QLineEdit& commandLine() { return *commandLine_; }
    QString prompt() const;
    // The drawing differs from the file it was last read from or saved to.
    bool modified() const { return files_.modified(); }
    const UndoHistory& history() const { return history_; }

    // What Enter does: the typed command, else the input the armed step takes
    // (the end of a selection that holds something, or the confirm input), else the
    // last command again.
    // What Enter, space, the right button or Escape means now, done.
    void take(vel::Gesture gesture);
    void runTyped(const QString& typed, vel::StepInput input);
    void escape();
    // A command by name, as typed: "insert" (any case) starts the plug-in's command.
    void runCommand(const QString& name);
    void undo();
    void redo();
    // False when the file cannot be read or written (with a message box), or when the user
    // cancelled the read or write (with a note in the status bar); the drawing, or the file,
    // is then as it was.
    bool openDrawing(const QString& path) { return files_.openDrawing(path); }
    bool saveDrawing(const QString& path) { return files_.saveDrawing(path); }
    // How long a read or write goes on before its progress and Cancel show.
    void setProgressDelay(std::chrono::milliseconds delay) { files_.setProgressDelay(delay); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QMenu* buildSnapMenu();
    // The snap menu's choices to the canvas, and kept for the next session.
    void applySnaps();
    static QString snapKindText(vel::SnapKind kind);
    void afterInput();
    // The keys that move the armed step on, in a few words.
    QString keyLine() const;
    void regainActivation();
    void stepHistory(bool back);
    void fitCanvasSize(int tries);
    void refreshLayers();
    void refreshActions();
    void showMessage(const QString& text);
    // A line of the command history.
    void note(const QString& line);
    // Another drawing is in the host: shown afresh, whole or at the view asked for.
    void showNewDrawing(const std::optional<vel::Extents>& view = std::nullopt);

    vel::Host& host_;
    vel::HostInput input_;
    UndoHistory history_;
    WindowFiles files_;
    Canvas* canvas_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLineEdit* commandLine_ = nullptr;
    QLabel* selectionState_ = nullptr;
    QLabel* keyLine_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    // Lines the command history keeps: a day's work, bounded.
    static constexpr int kHistoryLines = 5000;
    QLabel* coordinates_ = nullptr;
    QLabel* snapState_ = nullptr;  // the snap the point under the cursor takes
    QAction* snapAction_ = nullptr;
    std::vector<QAction*> snapKindActions_;
    QListWidget* layers_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* insertAction_ = nullptr;
    QString lastCommand_;
    vel::InsertCycles inserts_;  // where the run's inserts end, for undo
    QString refusedText_;  // a typed point refused and kept in the command line to be put right
    std::uint64_t shownRevision_ = 0;
    QSize canvasSize_;  // asked for on the command line, until the window is first shown
};

}  // namespace velgui

// WindowFiles.h - the drawing file behind velhost's window: open, save and save as
// with their dialogs, the recent files, the question before a change is dropped or a
// file that lost things on reading is written over, the --out files written when the
// window closes, and the progress box with Cancel around every read and write.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QSettings>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vel/dxf/DxfFormat.h"
#include "vel/gui/UndoHistory.h"
#include "vel/io/Progress.h"

class QMainWindow;
class QMenu;

namespace vel {
class Host;
}

namespace velgui {

// Where the window keeps what it remembers from one session to the next (recent files, snaps).
QSettings windowSettings();

// What the files tell their window.
struct WindowFileEvents {
    std::function<void(const QString&)> message;  // for the status bar and the command history
    std::function<void()> regainActivation;       // a dialog or box has closed
    std::function<void()> drawingReplaced;        // a file was read into the host's drawing
};

class WindowFiles : public QObject {
    Q_DECLARE_TR_FUNCTIONS(WindowFiles)

public:
    // The window's title and modified mark follow the file; `outputs` are written on closing.
    WindowFiles(QMainWindow& window, vel::Host& host, UndoHistory& history,
                std::vector<std::string> outputs, WindowFileEvents events);

    // The menu the recent files are offered in, kept up to date from now on.
    void setRecentMenu(QMenu* menu);
    // The drawing the window starts with, read before it was made, and what its reading left out.
    void startWith(const QString& path, const vel::LeftOut& leftOut);
    // How long a read or write goes on before its progress and Cancel show.
    void setProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

    // The drawing differs from the file it was last read from or saved to.
    bool modified() const { return history_.state() != savedState_; }

    // False when the file cannot be read or written (with a message box), or when the user
    // cancelled the read or write (with a note in the status bar); the drawing, or the file,
    // is then as it was.
    bool openDrawing(const QString& path);
    bool saveDrawing(const QString& path);
    // The menu's commands, with their dialogs and questions.
    void open();
    bool save();
    bool saveAs();
    // Before the drawing is dropped: asks whether to save a changed drawing. False: cancelled.
    bool maybeSave(bool closing);
    // The --out files, on closing; false when one could not be written (the window stays).
    bool writeOutputs();

private:
    // Runs a read or write behind the progress box. A cancel is said in the status bar, an error
    // in a message box titled `failureTitle`; false then, and the window has its activation back.
    bool withProgress(const QString& label, const std::function<void(vel::Progress&)>& work,
                      const QString& cancelled, const QString& failureTitle);
    void setCurrentFile(const QString& path);
    void addRecentFile(const QString& path);
    void refreshRecentFiles();
    // Saving at the path writes over the file whose reading left entities out.
    bool losesLeftOut(const QString& path) const;
    enum class LossAnswer { Overwrite, Elsewhere, Cancel };
    LossAnswer askBeforeLosingLeftOut();

    QMainWindow& window_;
    vel::Host& host_;
    UndoHistory& history_;  // cleared when another drawing is read
    std::vector<std::string> outputs_;
    WindowFileEvents events_;
    QMenu* recentMenu_ = nullptr;
    QString currentFile_;
    // What reading the current file left out (texts, hatches, ...): saving over the file
    // would lose it for good, so that is asked first.
    QString leftOutOfFile_;
    std::uint64_t savedState_ = 0;  // the history's state when the file was read or saved
    std::chrono::milliseconds progressDelay_{500};
};

}  // namespace velgui

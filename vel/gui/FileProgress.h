// FileProgress.h - the progress of a long read or write in the window: after a
// short while, a box with a bar and Cancel, modal over the window.
#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>
#include <chrono>

#include "vel/io/Progress.h"

namespace velgui {

// Shows itself once the work has taken `delay` and is not nearly done; Cancel stops the work
// at its next step (vel::Cancelled). The window takes no other input meanwhile. The pointer
// is the wait cursor until the box shows.
class FileProgress final : public vel::Progress {
public:
    FileProgress(QWidget* window, const QString& label, std::chrono::milliseconds delay);
    ~FileProgress() override;
    FileProgress(const FileProgress&) = delete;
    FileProgress& operator=(const FileProgress&) = delete;

    void advance(double done) override;

private:
    QProgressDialog dialog_;
    QElapsedTimer lastEvents_;  // since the box last had its events handled
    bool waitCursor_ = true;
};

}  // namespace velgui

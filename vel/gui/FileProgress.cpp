// FileProgress.cpp - the box that shows a long read or write and can stop it.
#include "vel/gui/FileProgress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

namespace velgui {

namespace {

// Steps of the bar.
constexpr int kSteps = 1000;
// The box's events (its Cancel, its painting) are handled this often while it shows: often
// enough to answer at once, seldom enough to cost the work nothing.
constexpr qint64 kEventsEveryMs = 40;

}  // namespace

FileProgress::FileProgress(QWidget* window, const QString& label, std::chrono::milliseconds delay)
    : dialog_(label, QProgressDialog::tr("Cancel"), 0, kSteps, window) {
    dialog_.setObjectName(QStringLiteral("fileProgress"));
    dialog_.setWindowTitle(QStringLiteral("velhost"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(static_cast<int>(delay.count()));
    dialog_.setAutoReset(false);
    dialog_.setAutoClose(false);
    dialog_.setValue(0);  // the clock for the delay starts here
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

FileProgress::~FileProgress() {
    dialog_.hide();
    if (waitCursor_) QGuiApplication::restoreOverrideCursor();
}

void FileProgress::advance(double done) {
    // The last step would close the box before the work is done.
    const int step =
        std::min(static_cast<int>(std::lround(std::clamp(done, 0.0, 1.0) * kSteps)), kSteps - 1);
    // Until the box shows, a value is all it needs (it shows itself once the delay is past). Then
    // its events (painting, Cancel) are handled at once the first time, and then now and then,
    // as the work may tell its progress a thousand times a pass.
    const bool shown = dialog_.isVisible();
    if (shown) {
        if (waitCursor_) {  // the pointer is for Cancel now
            QGuiApplication::restoreOverrideCursor();
            waitCursor_ = false;
        }
        if (lastEvents_.isValid() && lastEvents_.elapsed() < kEventsEveryMs) return;
        lastEvents_.start();
    }
    dialog_.setValue(step);
    if (shown) QCoreApplication::processEvents();
    if (dialog_.wasCanceled()) throw vel::Cancelled();
}

}  // namespace velgui

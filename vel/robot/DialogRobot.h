// DialogRobot.h - answers the plug-in's modal dialogs in a scripted session: the actions of the
// script's dialog lines, performed one at a time with real mouse and keyboard events on whichever
// modal dialog is active when each action's turn comes.
#pragma once

#include <QObject>
#include <iosfwd>
#include <string>
#include <vector>

#include "vel/robot/DialogAnswerer.h"

class QDialog;
class QWidget;

namespace vel {

// Watches the application for modal dialogs and answers them from `queue` (front first), which
// the session keeps filling. A dialog that opens with nothing queued is cancelled with a warning,
// unless `interactive`, when it is left to the user. An action that cannot be carried out ends
// the answering: the message goes to `errors`, the queue is emptied and the dialog is cancelled.
class DialogRobot : public QObject {
public:
    DialogRobot(std::vector<std::string>& queue, std::ostream& errors, bool interactive);
    ~DialogRobot() override;

    // True once an action could not be carried out.
    bool failed() const { return answerer_.failed(); }
    // Dialogs cancelled because nothing was queued for them.
    int unansweredDialogs() const { return answerer_.unansweredDialogs(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule(int delayMs = 0);
    void step();

    DialogAnswerer answerer_;
    bool pending_ = false;
    int waits_ = 0;
};

}  // namespace vel

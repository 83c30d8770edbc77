// DialogRobot.h - answers the plug-in's modal dialogs in a scripted session: the actions of the
// script's dialog lines, performed one at a time with real mouse and keyboard events on whichever
// modal dialog is active when each action's turn comes.
#pragma once

#include <QObject>
#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace velhost {

struct DialogAction {
    enum class Kind { Type, Click, DblClick, Choose, Key, Ok, Cancel, Close, Shot };
    Kind kind = Kind::Ok;
    int id = 0;          // type, click, dblclick, choose: the control's id
    int index = 0;       // choose: the entry
    int key = 0;         // key: the Qt key code
    std::string text;    // type: the new text; shot: the file
    std::string source;  // the action as written
};

// Parses one action of a dialog line ("type 12002 7.25", "key enter", "shot a.png").
// False with a message in `error` when it is not an action.
bool ParseDialogAction(const std::string& text, DialogAction& action, std::string& error);

// Watches the application for modal dialogs and answers them from `queue` (front first), which
// the session keeps filling. A dialog that opens with nothing queued is cancelled with a warning,
// unless `interactive`, when it is left to the user. An action that cannot be carried out ends
// the answering: the message goes to `errors`, the queue is emptied and the dialog is cancelled.
class DialogRobot : public QObject {
public:
    DialogRobot(std::vector<std::string>& queue, std::ostream& errors, bool interactive);
    ~DialogRobot() override;

    // True once an action could not be carried out.
    bool Failed() const { return failed_; }
    // Dialogs cancelled because nothing was queued for them.
    int UnansweredDialogs() const { return unanswered_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Schedule(int delayMs = 0);
    void Step();
    bool Perform(QDialog* dialog, const DialogAction& action, std::string& error);
    void Cancel(QDialog* dialog);
    std::string Describe(const QDialog* dialog) const;

    std::vector<std::string>& queue_;
    std::ostream& errors_;
    bool interactive_;
    bool pending_ = false;
    int waits_ = 0;
    bool failed_ = false;
    int unanswered_ = 0;
};

}  // namespace velhost

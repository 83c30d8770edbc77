// DialogAnswerer.h - what every build's dialog robot does alike, without any window system: it
// takes the session's dialog actions one at a time, checks each against the dialog it is meant
// for, says on standard error what could not be done, and cancels a dialog nobody answers. Each
// robot only finds the active dialog and turns the actions into its window system's input.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "vel/robot/DialogAction.h"

namespace vel {

// The active modal dialog as a robot reaches it: its controls by template id, and the input a
// user would give it. The input calls are made only after the checks their action needs.
class RobotDialog {
public:
    enum class Control { None, Edit, List, Button, Other };

    virtual ~RobotDialog() = default;
    // The template id of the dialog ("12017"; empty when unknown) and its caption.
    virtual std::string id() const = 0;
    virtual std::string title() const = 0;
    virtual Control kindOf(int id) const = 0;  // None: the dialog has no such control
    virtual bool isVisible(int id) const = 0;
    virtual bool isEnabled(int id) const = 0;
    virtual int listCount(int id) const = 0;

    // Clicks into edit `id`, selects its text and types `text` (UTF-8) over it; empty clears it.
    virtual void type(int id, const std::string& text) = 0;
    virtual void click(int id) = 0;
    virtual void doubleClick(int id) = 0;
    // Entry `index` of drop-down list `id`, picked with the keyboard: Home, then Down.
    virtual void choose(int id, int index) = 0;
    // The key where the focus is.
    virtual void press(DialogAction::Key key) = 0;
    virtual void closeBox() = 0;
    // A PNG picture of the dialog; false when the file cannot be written.
    virtual bool savePicture(const std::string& file) = 0;
};

// "dialog 12017 \"Create Insert\"", as the messages name a dialog.
std::string describeDialog(const RobotDialog& dialog);

// Takes the session's dialog actions from `queue` (front first), which the session keeps filling,
// one a turn. A dialog that opens with nothing queued is cancelled with a warning, unless
// `interactive`, when it is left to the user. An action that cannot be carried out ends the
// answering: the message goes to `errors`, the queue is emptied and the dialog is cancelled.
class DialogAnswerer {
public:
    DialogAnswerer(std::vector<std::string>& queue, std::ostream& errors, bool interactive);

    // One turn on the active dialog. `nextTurn` is called before the dialog is acted on: an
    // action may open another dialog, whose modal loop runs before the action returns, and the
    // turn after this one belongs to it.
    void turn(RobotDialog& dialog, const std::function<void()>& nextTurn);

    // True once an action could not be carried out.
    bool failed() const { return failed_; }
    // Dialogs cancelled because nothing was queued for them.
    int unansweredDialogs() const { return unanswered_; }

private:
    std::vector<std::string>& queue_;
    std::ostream& errors_;
    bool interactive_;
    bool failed_ = false;
    int unanswered_ = 0;
};

}  // namespace vel

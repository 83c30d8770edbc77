// DialogAnswerer.cpp - the dialog robot's turns: the queue, the checks an action needs before it
// is carried out, and the messages, the same in every build of velhost.
#include "vel/robot/DialogAnswerer.h"

#include <ostream>

namespace vel {

namespace {

// Whether the control the action names is there, visible and (unless `wanted` is None) of that
// kind, called `what` in the message; `error` tells why not.
bool checkControl(const RobotDialog& dialog, int id, RobotDialog::Control wanted, const char* what,
                  std::string& error) {
    const RobotDialog::Control kind = dialog.kindOf(id);
    const std::string name = "control " + std::to_string(id);
    if (kind == RobotDialog::Control::None)
        error = "it has no " + name;
    else if (!dialog.isVisible(id))
        error = name + " is not visible";
    else if (wanted != RobotDialog::Control::None && kind != wanted)
        error = name + " is not " + what;
    else
        return true;
    return false;
}

void cancel(RobotDialog& dialog) {
    if (dialog.kindOf(2) == RobotDialog::Control::Button && dialog.isVisible(2) &&
        dialog.isEnabled(2)) {
        dialog.click(2);
        return;
    }
    dialog.closeBox();
}

bool perform(RobotDialog& dialog, const DialogAction& action, std::string& error) {
    using Kind = DialogAction::Kind;
    using Control = RobotDialog::Control;
    // A disabled control takes no input from a user: the action does nothing. (Not every
    // window system drops the messages on its own.)
    const int id = action.id;
    const auto click = [&dialog](int control) {
        if (dialog.isEnabled(control)) dialog.click(control);
    };
    switch (action.kind) {
        case Kind::Type:
            if (!checkControl(dialog, id, Control::Edit, "an edit", error)) return false;
            if (dialog.isEnabled(id)) dialog.type(id, action.text);
            return true;
        case Kind::Click:
            if (!checkControl(dialog, id, Control::None, "", error)) return false;
            click(id);
            return true;
        case Kind::DblClick:
            if (!checkControl(dialog, id, Control::None, "", error)) return false;
            if (dialog.isEnabled(id)) dialog.doubleClick(id);
            return true;
        case Kind::Choose: {
            if (!checkControl(dialog, id, Control::List, "a drop-down list", error)) return false;
            const int count = dialog.listCount(id);
            if (action.index >= count) {
                error = "list " + std::to_string(id) + " has " + std::to_string(count) +
                        " entries, no entry " + std::to_string(action.index);
                return false;
            }
            if (dialog.isEnabled(id)) dialog.choose(id, action.index);
            return true;
        }
        case Kind::Key:
            dialog.press(action.key);
            return true;
        case Kind::Ok:
            // A dialog without an OK button is confirmed with Enter.
            if (dialog.kindOf(1) == Control::Button)
                click(1);
            else
                dialog.press(DialogAction::Key::Enter);
            return true;
        case Kind::Cancel:
            if (dialog.kindOf(2) == Control::Button)
                click(2);
            else
                dialog.closeBox();
            return true;
        case Kind::Close:
            dialog.closeBox();
            return true;
        case Kind::Shot:
            if (!dialog.savePicture(action.text)) {
                error = "cannot write the picture to " + action.text;
                return false;
            }
            return true;
    }
    return true;
}

}  // namespace

std::string describeDialog(const RobotDialog& dialog) {
    const std::string id = dialog.id();
    const std::string title = dialog.title();
    return "dialog" + (id.empty() ? std::string() : " " + id) +
           (title.empty() ? std::string() : " \"" + title + "\"");
}

DialogAnswerer::DialogAnswerer(std::vector<std::string>& queue, std::ostream& errors,
                               bool interactive)
    : queue_(queue), errors_(errors), interactive_(interactive) {}

void DialogAnswerer::turn(RobotDialog& dialog, const std::function<void()>& nextTurn) {
    if (queue_.empty()) {
        if (interactive_) return;
        ++unanswered_;
        errors_ << "velhost: warning: " << describeDialog(dialog)
                << " opened with no dialog action queued; cancelled\n";
        errors_.flush();
        nextTurn();  // a dialog beneath it may be waiting as well
        cancel(dialog);
        return;
    }
    const std::string text = queue_.front();
    queue_.erase(queue_.begin());
    // Named before the action: one that closes the dialog leaves nothing to describe.
    const std::string described = describeDialog(dialog);
    DialogAction action;
    std::string error;
    nextTurn();
    if (!parseDialogAction(text, action, error) || !perform(dialog, action, error)) {
        failed_ = true;
        errors_ << "velhost: dialog action '" << text << "' on " << described << ": " << error
                << "\n";
        errors_.flush();
        queue_.clear();
        cancel(dialog);
    }
}

}  // namespace vel

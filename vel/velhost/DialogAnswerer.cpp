// DialogAnswerer.cpp - the dialog robot's turns: the queue, the checks an action needs before it
// is carried out, and the messages, the same in every build of velhost.
#include "vel/velhost/DialogAnswerer.h"

#include <ostream>

namespace velhost {

namespace {

// Whether the control the action names is there, visible and (unless `wanted` is None) of that
// kind, called `what` in the message; `error` tells why not.
bool CheckControl(const RobotDialog& dialog, int id, RobotDialog::Control wanted, const char* what,
                  std::string& error) {
    const RobotDialog::Control kind = dialog.KindOf(id);
    const std::string name = "control " + std::to_string(id);
    if (kind == RobotDialog::Control::None)
        error = "it has no " + name;
    else if (!dialog.IsVisible(id))
        error = name + " is not visible";
    else if (wanted != RobotDialog::Control::None && kind != wanted)
        error = name + " is not " + what;
    else
        return true;
    return false;
}

void Cancel(RobotDialog& dialog) {
    if (dialog.KindOf(2) == RobotDialog::Control::Button && dialog.IsVisible(2) &&
        dialog.IsEnabled(2)) {
        dialog.Click(2);
        return;
    }
    dialog.CloseBox();
}

bool Perform(RobotDialog& dialog, const DialogAction& action, std::string& error) {
    using Kind = DialogAction::Kind;
    using Control = RobotDialog::Control;
    // A disabled control takes no input from a user: the action does nothing. (Not every
    // window system drops the messages on its own.)
    const int id = action.id;
    const auto click = [&dialog](int control) {
        if (dialog.IsEnabled(control)) dialog.Click(control);
    };
    switch (action.kind) {
        case Kind::Type:
            if (!CheckControl(dialog, id, Control::Edit, "an edit", error)) return false;
            if (dialog.IsEnabled(id)) dialog.Type(id, action.text);
            return true;
        case Kind::Click:
            if (!CheckControl(dialog, id, Control::None, "", error)) return false;
            click(id);
            return true;
        case Kind::DblClick:
            if (!CheckControl(dialog, id, Control::None, "", error)) return false;
            if (dialog.IsEnabled(id)) dialog.DoubleClick(id);
            return true;
        case Kind::Choose: {
            if (!CheckControl(dialog, id, Control::List, "a drop-down list", error)) return false;
            const int count = dialog.ListCount(id);
            if (action.index >= count) {
                error = "list " + std::to_string(id) + " has " + std::to_string(count) +
                        " entries, no entry " + std::to_string(action.index);
                return false;
            }
            if (dialog.IsEnabled(id)) dialog.Choose(id, action.index);
            return true;
        }
        case Kind::Key:
            dialog.Press(action.key);
            return true;
        case Kind::Ok:
            // A dialog without an OK button is confirmed with Enter.
            if (dialog.KindOf(1) == Control::Button)
                click(1);
            else
                dialog.Press(DialogAction::Key::Enter);
            return true;
        case Kind::Cancel:
            if (dialog.KindOf(2) == Control::Button)
                click(2);
            else
                dialog.CloseBox();
            return true;
        case Kind::Close:
            dialog.CloseBox();
            return true;
        case Kind::Shot:
            if (!dialog.SavePicture(action.text)) {
                error = "cannot write the picture to " + action.text;
                return false;
            }
            return true;
    }
    return true;
}

}  // namespace

std::string DescribeDialog(const RobotDialog& dialog) {
    const std::string id = dialog.Id();
    const std::string title = dialog.Title();
    return "dialog" + (id.empty() ? std::string() : " " + id) +
           (title.empty() ? std::string() : " \"" + title + "\"");
}

DialogAnswerer::DialogAnswerer(std::vector<std::string>& queue, std::ostream& errors,
                               bool interactive)
    : queue_(queue), errors_(errors), interactive_(interactive) {}

void DialogAnswerer::Turn(RobotDialog& dialog, const std::function<void()>& nextTurn) {
    if (queue_.empty()) {
        if (interactive_) return;
        ++unanswered_;
        errors_ << "velhost: warning: " << DescribeDialog(dialog)
                << " opened with no dialog action queued; cancelled\n";
        errors_.flush();
        nextTurn();  // a dialog beneath it may be waiting as well
        Cancel(dialog);
        return;
    }
    const std::string text = queue_.front();
    queue_.erase(queue_.begin());
    // Named before the action: one that closes the dialog leaves nothing to describe.
    const std::string described = DescribeDialog(dialog);
    DialogAction action;
    std::string error;
    nextTurn();
    if (!ParseDialogAction(text, action, error) || !Perform(dialog, action, error)) {
        failed_ = true;
        errors_ << "velhost: dialog action '" << text << "' on " << described << ": " << error
                << "\n";
        errors_.flush();
        queue_.clear();
        Cancel(dialog);
    }
}

}  // namespace velhost

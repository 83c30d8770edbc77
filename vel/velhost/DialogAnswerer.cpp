// DialogAnswerer.cpp - the dialog robot's turns: the queue, the checks an action needs before it
// is carried out, and the messages, the same in every build of velhost.
#include "vel/velhost/DialogAnswerer.h"

#include <ostream>

namespace velhost {

namespace {

// The control the action names, checked to be there and visible; None with `error` otherwise.
RobotDialog::Control NamedControl(const RobotDialog& dialog, int id, std::string& error) {
    const RobotDialog::Control kind = dialog.KindOf(id);
    if (kind == RobotDialog::Control::None) {
        error = "it has no control " + std::to_string(id);
    } else if (!dialog.IsVisible(id)) {
        error = "control " + std::to_string(id) + " is not visible";
        return RobotDialog::Control::None;
    }
    return kind;
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
    const std::string id = std::to_string(action.id);
    // A disabled control takes no input from a user: the action does nothing. (Not every
    // window system drops the messages on its own.)
    const auto click = [&dialog](int control) {
        if (dialog.IsEnabled(control)) dialog.Click(control);
    };
    switch (action.kind) {
        case Kind::Type: {
            const Control kind = NamedControl(dialog, action.id, error);
            if (kind == Control::None) return false;
            if (kind != Control::Edit) {
                error = "control " + id + " is not an edit";
                return false;
            }
            if (dialog.IsEnabled(action.id)) dialog.Type(action.id, action.text);
            return true;
        }
        case Kind::Click:
        case Kind::DblClick:
            if (NamedControl(dialog, action.id, error) == Control::None) return false;
            if (action.kind == Kind::Click)
                click(action.id);
            else if (dialog.IsEnabled(action.id))
                dialog.DoubleClick(action.id);
            return true;
        case Kind::Choose: {
            const Control kind = NamedControl(dialog, action.id, error);
            if (kind == Control::None) return false;
            if (kind != Control::List) {
                error = "control " + id + " is not a drop-down list";
                return false;
            }
            const int count = dialog.ListCount(action.id);
            if (action.index >= count) {
                error = "list " + id + " has " + std::to_string(count) + " entries, no entry " +
                        std::to_string(action.index);
                return false;
            }
            if (dialog.IsEnabled(action.id)) dialog.Choose(action.id, action.index);
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

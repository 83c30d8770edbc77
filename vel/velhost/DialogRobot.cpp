// DialogRobot.cpp - performing dialog actions as a user would: mouse clicks and key strokes
// delivered to the controls of the active modal dialog.
#include "vel/velhost/DialogRobot.h"

#include "vel/velhost/TypeText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <ostream>
#include <sstream>

namespace velhost {

namespace {

// How long the robot waits for a dialog that was shown to become the active window.
constexpr int kActivationPollMs = 5;
constexpr int kActivationPolls = 200;
constexpr int kActivationNudge = 2;

QWidget* Control(QDialog* dialog, int id) {
    const QString name = QString::number(id);
    for (QObject* child : dialog->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && w->objectName() == name) return w;
    }
    return nullptr;
}

QWidget* FocusTarget(QDialog* dialog) {
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == dialog || dialog->isAncestorOf(focus))) return focus;
    return dialog;
}

Qt::Key QtKey(DialogAction::Key key) {
    switch (key) {
        case DialogAction::Key::Escape:
            return Qt::Key_Escape;
        case DialogAction::Key::Space:
            return Qt::Key_Space;
        case DialogAction::Key::Tab:
            return Qt::Key_Tab;
        case DialogAction::Key::Enter:
            break;
    }
    return Qt::Key_Return;
}

void CloseBox(QDialog* dialog) {
    // What the window system sends when the user clicks the close box.
    QCloseEvent close;
    if (QWindow* window = dialog->windowHandle())
        QCoreApplication::sendEvent(window, &close);
    else
        QCoreApplication::sendEvent(dialog, &close);
}

}  // namespace

DialogRobot::DialogRobot(std::vector<std::string>& queue, std::ostream& errors, bool interactive)
    : queue_(queue), errors_(errors), interactive_(interactive) {
    qApp->installEventFilter(this);
}

DialogRobot::~DialogRobot() {
    if (qApp) qApp->removeEventFilter(this);
}

bool DialogRobot::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow() && dialog->isModal()) Schedule();
    }
    return QObject::eventFilter(watched, event);
}

void DialogRobot::Schedule(int delayMs) {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(delayMs, this, [this] { Step(); });
}

std::string DialogRobot::Describe(const QDialog* dialog) const {
    const std::string title = dialog->windowTitle().toStdString();
    return "dialog " + dialog->objectName().toStdString() +
           (title.empty() ? std::string() : " \"" + title + "\"");
}

void DialogRobot::Step() {
    pending_ = false;
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    // Input goes to the active window. A dialog just shown may not be active yet; one that a
    // closed dialog uncovered may stay inactive (no window manager gives it back the focus),
    // and is then activated as a click on it would.
    if (!dialog->isActiveWindow() && waits_ < kActivationPolls) {
        if (waits_ == kActivationNudge) dialog->activateWindow();
        ++waits_;
        Schedule(kActivationPollMs);
        return;
    }
    waits_ = 0;
    if (queue_.empty()) {
        if (interactive_) return;
        ++unanswered_;
        errors_ << "velhost: warning: " << Describe(dialog)
                << " opened with no dialog action queued; cancelled\n";
        errors_.flush();
        Schedule();  // a dialog beneath it may be waiting as well
        Cancel(dialog);
        return;
    }
    const std::string text = queue_.front();
    queue_.erase(queue_.begin());
    DialogAction action;
    std::string error;
    // The next turn comes in whichever modal loop runs next: this dialog's, or that of a dialog
    // the action opens.
    Schedule();
    if (!ParseDialogAction(text, action, error) || !Perform(dialog, action, error)) {
        failed_ = true;
        errors_ << "velhost: dialog action '" << text << "' on " << Describe(dialog) << ": "
                << error << "\n";
        errors_.flush();
        queue_.clear();
        Cancel(dialog);
    }
}

void DialogRobot::Cancel(QDialog* dialog) {
    if (auto* cancel = qobject_cast<QAbstractButton*>(Control(dialog, 2));
        cancel && cancel->isVisible() && cancel->isEnabled()) {
        QTest::mouseClick(cancel, Qt::LeftButton);
        return;
    }
    CloseBox(dialog);
}

bool DialogRobot::Perform(QDialog* dialog, const DialogAction& action, std::string& error) {
    using Kind = DialogAction::Kind;
    QWidget* control = nullptr;
    if (action.kind == Kind::Type || action.kind == Kind::Click || action.kind == Kind::DblClick ||
        action.kind == Kind::Choose) {
        control = Control(dialog, action.id);
        if (!control) {
            error = "it has no control " + std::to_string(action.id);
            return false;
        }
        if (!control->isVisible()) {
            error = "control " + std::to_string(action.id) + " is not visible";
            return false;
        }
    }
    switch (action.kind) {
        case Kind::Type: {
            auto* edit = qobject_cast<QLineEdit*>(control);
            if (!edit) {
                error = "control " + std::to_string(action.id) + " is not an edit";
                return false;
            }
            // Click into the field, select what is there and type over it.
            QTest::mouseClick(edit, Qt::LeftButton);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            if (action.text.empty())
                QTest::keyClick(edit, Qt::Key_Backspace);
            else
                TypeText(edit, QString::fromStdString(action.text));
            return true;
        }
        case Kind::Click:
            QTest::mouseClick(control, Qt::LeftButton);
            return true;
        case Kind::DblClick:
            QTest::mouseDClick(control, Qt::LeftButton);
            return true;
        case Kind::Choose: {
            auto* list = qobject_cast<QComboBox*>(control);
            if (!list) {
                error = "control " + std::to_string(action.id) + " is not a drop-down list";
                return false;
            }
            if (action.index >= list->count()) {
                error = "list " + std::to_string(action.id) + " has " +
                        std::to_string(list->count()) + " entries, no entry " +
                        std::to_string(action.index);
                return false;
            }
            // First entry, then down to the wanted one, as with the arrow keys.
            QTest::keyClick(list, Qt::Key_Home);
            for (int i = 0; i < action.index; ++i) QTest::keyClick(list, Qt::Key_Down);
            return true;
        }
        case Kind::Key:
            QTest::keyClick(FocusTarget(dialog), QtKey(action.key));
            return true;
        case Kind::Ok:
            if (auto* ok = qobject_cast<QAbstractButton*>(Control(dialog, 1))) {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                // A dialog without an OK button is confirmed with Enter.
                QTest::keyClick(FocusTarget(dialog), Qt::Key_Return);
            }
            return true;
        case Kind::Cancel:
            if (auto* cancel = qobject_cast<QAbstractButton*>(Control(dialog, 2)))
                QTest::mouseClick(cancel, Qt::LeftButton);
            else
                CloseBox(dialog);
            return true;
        case Kind::Close:
            CloseBox(dialog);
            return true;
        case Kind::Shot: {
            const QPixmap picture = dialog->grab();
            if (!picture.save(QString::fromStdString(action.text), "PNG")) {
                error = "cannot write the picture to " + action.text;
                return false;
            }
            return true;
        }
    }
    return true;
}

}  // namespace velhost

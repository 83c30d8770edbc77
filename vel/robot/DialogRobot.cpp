// DialogRobot.cpp - performing dialog actions as a user would: mouse clicks and key strokes
// delivered to the controls of the active modal dialog.
#include "vel/robot/DialogRobot.h"

#include "vel/robot/TypeText.h"

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

namespace vel {

namespace {

// How long the robot waits for a dialog that was shown to become the active window.
constexpr int kActivationPollMs = 5;
constexpr int kActivationPolls = 200;
constexpr int kActivationNudge = 2;

QWidget* controlOf(QDialog* dialog, int id) {
    const QString name = QString::number(id);
    for (QObject* child : dialog->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && w->objectName() == name) return w;
    }
    return nullptr;
}

QWidget* focusTarget(QDialog* dialog) {
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == dialog || dialog->isAncestorOf(focus))) return focus;
    return dialog;
}

Qt::Key qtKey(DialogAction::Key key) {
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

// The Qt dialog as the robot acts on it: QTest's mouse clicks and key strokes on its widgets.
class QtRobotDialog final : public RobotDialog {
public:
    explicit QtRobotDialog(QDialog* dialog) : dialog_(dialog) {}

    std::string id() const override { return dialog_->objectName().toStdString(); }
    std::string title() const override { return dialog_->windowTitle().toStdString(); }
    Control kindOf(int id) const override {
        QWidget* w = controlOf(dialog_, id);
        if (!w) return Control::None;
        if (qobject_cast<QLineEdit*>(w)) return Control::Edit;
        if (qobject_cast<QComboBox*>(w)) return Control::List;
        if (qobject_cast<QAbstractButton*>(w)) return Control::Button;
        return Control::Other;
    }
    bool isVisible(int id) const override { return controlOf(dialog_, id)->isVisible(); }
    bool isEnabled(int id) const override { return controlOf(dialog_, id)->isEnabled(); }
    int listCount(int id) const override {
        return qobject_cast<QComboBox*>(controlOf(dialog_, id))->count();
    }

    void type(int id, const std::string& text) override {
        QWidget* edit = controlOf(dialog_, id);
        // Click into the field, select what is there and type over it.
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.empty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            typeText(edit, QString::fromStdString(text));
    }
    void click(int id) override { QTest::mouseClick(controlOf(dialog_, id), Qt::LeftButton); }
    void doubleClick(int id) override {
        // What a mouse sends: a whole click, then the second press as a double click. (QTest's
        // double click alone sends no first click, which a button would act on.)
        QWidget* control = controlOf(dialog_, id);
        QTest::mouseClick(control, Qt::LeftButton);
        QTest::mouseDClick(control, Qt::LeftButton);
        if (control) QTest::mouseRelease(control, Qt::LeftButton);
    }
    void choose(int id, int index) override {
        QWidget* list = controlOf(dialog_, id);
        // The list takes the focus, as the keys that choose go to it.
        list->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
    }
    void press(DialogAction::Key key) override {
        QTest::keyClick(focusTarget(dialog_), qtKey(key));
    }
    void closeBox() override {
        // What the window system sends when the user clicks the close box.
        QCloseEvent close;
        if (QWindow* window = dialog_->windowHandle())
            QCoreApplication::sendEvent(window, &close);
        else
            QCoreApplication::sendEvent(dialog_, &close);
    }
    bool savePicture(const std::string& file) override {
        return dialog_->grab().save(QString::fromStdString(file), "PNG");
    }

private:
    QDialog* dialog_;
};

}  // namespace

DialogRobot::DialogRobot(std::vector<std::string>& queue, std::ostream& errors, bool interactive)
    : answerer_(queue, errors, interactive) {
    qApp->installEventFilter(this);
}

DialogRobot::~DialogRobot() {
    if (qApp) qApp->removeEventFilter(this);
}

bool DialogRobot::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow() && dialog->isModal()) schedule();
    }
    return QObject::eventFilter(watched, event);
}

void DialogRobot::schedule(int delayMs) {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(delayMs, this, [this] { step(); });
}

void DialogRobot::step() {
    pending_ = false;
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    // Input goes to the active window. A dialog just shown may not be active yet; one that a
    // closed dialog uncovered may stay inactive (no window manager gives it back the focus),
    // and is then activated as a click on it would.
    if (!dialog->isActiveWindow() && waits_ < kActivationPolls) {
        if (waits_ == kActivationNudge) dialog->activateWindow();
        ++waits_;
        schedule(kActivationPollMs);
        return;
    }
    waits_ = 0;
    QtRobotDialog robotDialog(dialog);
    // The next turn comes in whichever modal loop runs next: this dialog's, or that of a dialog
    // the action opens.
    answerer_.turn(robotDialog, [this] { schedule(); });
}

}  // namespace vel

// DialogRobotWin32.h - (Windows) answers the plug-in's modal dialogs in a scripted session: the
// actions of the script's dialog lines, one a turn, on the thread's topmost enabled dialog,
// performed with the messages a user's mouse and keyboard would bring.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "vel/velhost/DialogAnswerer.h"
#include "vel/velhost/Session.h"

namespace velhost {

// Takes its turns on a thread timer, which every modal loop of the thread dispatches, so that it
// answers the dialogs of whichever loop runs. Input is posted to the thread's queue, as the
// keyboard and mouse bring it, so that the dialog manager's loop (and the message filter hooks in
// it) handle it as a user's. One robot at a time per thread.
class Win32DialogRobot {
public:
    Win32DialogRobot(std::vector<std::string>& queue, std::ostream& errors, bool interactive);
    ~Win32DialogRobot();
    Win32DialogRobot(const Win32DialogRobot&) = delete;
    Win32DialogRobot& operator=(const Win32DialogRobot&) = delete;

    bool Failed() const { return answerer_.Failed(); }
    int UnansweredDialogs() const { return answerer_.UnansweredDialogs(); }

    // One turn, as the timer takes it; for tests that drive their own loop.
    void Step();

private:
    DialogAnswerer answerer_;
    uintptr_t timer_ = 0;
    bool busy_ = false;
};

// The robot as a session's way of answering dialogs; `show` leaves unanswered dialogs to the user.
class Win32RobotDialogs final : public SessionDialogs {
public:
    explicit Win32RobotDialogs(bool show) : show_(show) {}
    void Answer(std::vector<std::string>& queue) override;
    bool Failed() const override { return robot_ && robot_->Failed(); }

private:
    bool show_;
    std::unique_ptr<Win32DialogRobot> robot_;
};

}  // namespace velhost

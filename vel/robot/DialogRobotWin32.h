// DialogRobotWin32.h - (Windows) answers the plug-in's modal dialogs in a scripted session: the
// actions of the script's dialog lines, one a turn, on the thread's topmost enabled dialog,
// performed with the messages a user's mouse and keyboard would bring.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "vel/robot/DialogAnswerer.h"

namespace vel {

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

    bool failed() const { return answerer_.failed(); }
    int unansweredDialogs() const { return answerer_.unansweredDialogs(); }

    // One turn, as the timer takes it; for tests that drive their own loop.
    void step();

private:
    DialogAnswerer answerer_;
    uintptr_t timer_ = 0;
    bool busy_ = false;
};

}  // namespace vel

// WindowsMain.cpp - velhost on Windows, without Qt: `velhost run` and `velhost settings`, their
// dialogs answered by the Win32 dialog robot.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
// windows.h's old pointer qualifiers would swallow the kernel's near().
#undef near
#undef far

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/Utf.h"
#include "vel/dxf/DrawingFiles.h"
#include "vel/robot/DialogRobotWin32.h"
#include "vel/velhost/Session.h"
#include "vel/velhost/SettingsSession.h"
#include "vel/velhost/Version.h"

namespace {

// The robot as a session's way of answering dialogs; `show` leaves unanswered dialogs to the user.
class Win32RobotDialogs final : public velhost::SessionDialogs {
public:
    explicit Win32RobotDialogs(bool show) : show_(show) {}
    void answer(std::vector<std::string>& queue) override {
        robot_ = std::make_unique<vel::Win32DialogRobot>(queue, std::cerr, show_);
    }
    bool failed() const override { return robot_ && robot_->failed(); }

private:
    bool show_;
    std::unique_ptr<vel::Win32DialogRobot> robot_;
};

}  // namespace

// wmain (linked with -municode): the command line as UTF-16, whatever the code page.
int wmain(int argc, wchar_t** wargv) {
    // Every output byte as written: no carriage return before each line end, which would make
    // the trace and the messages differ from those of other systems.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);

    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(Utf8(reinterpret_cast<const char16_t*>(wargv[i])));
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    CLI::App app{"velhost - runs the Orvanta plug-in in the stand-in CAD host"};
    app.require_subcommand(1);
    velhost::addVersionFlag(app);
    velhost::RunOptions o;
    CLI::App* runCmd = app.add_subcommand("run", "load the plug-in and run a session script");
    velhost::addRunOptions(*runCmd, o);
    runCmd->add_flag("--show", o.show, "leave the dialogs that no action answers to the user");
    velhost::SettingsOptions so;
    CLI::App* settingsCmd = app.add_subcommand(
        "settings", "run the settings dialog \"Create Insert\" on its own; OK saves");
    velhost::addSettingsOptions(*settingsCmd, so);
    try {
        app.parse(static_cast<int>(args.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? velhost::kOk : velhost::kBadCommandLine;
    }
    if (!vel::checkOutputFormats(o.outputs, std::cerr)) return velhost::kBadCommandLine;
    try {
        if (settingsCmd->parsed()) {
            Win32RobotDialogs dialogs(so.show);
            return velhost::runSettings(so, dialogs);
        }
        Win32RobotDialogs dialogs(o.show);
        return velhost::runSession(o, dialogs);
    } catch (const std::exception& e) {
        std::cerr << "velhost: " << e.what() << "\n";
        return velhost::kBadInput;
    }
}

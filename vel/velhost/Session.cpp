// Session.cpp - a scripted session of velhost, shared by every build of it.
#include "vel/velhost/Session.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>

#include "vel/dxf/DrawingFiles.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/Host.h"
#include "vel/robot/DialogAction.h"
#include "vel/runtime/Platform.h"

namespace velhost {

namespace {

// Every action of the script's dialog lines must be one the robot knows.
void checkDialogActions(const vel::Script& script) {
    for (const vel::ScriptCommand& c : script.commands) {
        if (c.kind != vel::ScriptCommand::Kind::Dialog) continue;
        for (const std::string& text : c.actions) {
            vel::DialogAction action;
            std::string error;
            if (!vel::parseDialogAction(text, action, error))
                throw vel::FileError(script.fileName, c.line, error);
        }
    }
}

// How far a long read or write has come, on a line of standard error that keeps being
// rewritten, when standard error is a terminal: scripts and tests that keep it stay quiet, and so
// does work done within half a second. The line is wiped when the work ends.
class TerminalProgress final : public vel::Progress {
public:
    explicit TerminalProgress(std::string what)
        : what_(std::move(what)), shows_(vel::standardErrorIsTerminal()), start_(Clock::now()) {}
    ~TerminalProgress() override {
        if (width_ > 0) std::cerr << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void advance(double done) override {
        if (!shows_) return;
        const Clock::time_point now = Clock::now();
        if (now - start_ < kDelay || (width_ > 0 && now - shown_ < kEvery)) return;
        shown_ = now;
        const int percent = static_cast<int>(std::clamp(done, 0.0, 1.0) * 100);
        const std::string line = "velhost: " + what_ + " " + std::to_string(percent) + "%";
        std::cerr << '\r' << line << std::flush;
        width_ = std::max(width_, line.size());
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kDelay{500}, kEvery{100};

    std::string what_;
    bool shows_;
    Clock::time_point start_, shown_;
    size_t width_ = 0;  // of the longest line shown
};

void writeShowingProgress(const vel::Drawing& drawing, const std::string& path) {
    TerminalProgress progress("writing " + path);
    vel::writeDrawing(drawing, path, &progress);
}

}  // namespace

void addRunOptions(CLI::App& run, RunOptions& o) {
    run.add_option(
        "--plugin", o.plugin,
        std::string("plug-in library (default: ") + vel::kDefaultPlugin + " beside velhost)");
    run.add_option("--drawing", o.drawing, "drawing to open (.json or .dxf)");
    run.add_option("--script", o.script, "session script, or - for standard input");
    run.add_option("--registry", o.registry, "registry file for this run");
    run.add_option("--out", o.outputs, "write the drawing at the end (.json, .dxf, .svg)");
    run.add_option("--trace", o.trace, "write every host call as one JSON line");
    run.add_option("--layer", o.layer, "current layer for new segments")
        ->check(CLI::NonNegativeNumber);
    run.add_option("--aperture", o.aperture, "pick reach in drawing units")
        ->check(CLI::PositiveNumber);
}

vel::Script readScript(const std::string& path) {
    vel::Script script;
    if (path == "-") {
        script = vel::parseScript(std::cin, "<stdin>");
    } else if (!path.empty()) {
        std::ifstream in(vel::pathOf(path), std::ios::binary);
        if (!in) throw vel::FileError(path, 0, "cannot open");
        script = vel::parseScript(in, path);
    }
    checkDialogActions(script);
    return script;
}

std::string readDrawingFile(vel::Drawing& drawing, const std::string& path) {
    std::string leftOut;
    {
        TerminalProgress progress("reading " + path);
        leftOut = vel::readDrawing(drawing, path, &progress).summary();
    }
    if (!leftOut.empty()) std::cerr << path << ": " << leftOut << "\n";
    return leftOut;
}

void reportUnusedActions(const std::vector<std::string>& left) {
    if (left.empty()) return;
    std::cerr << "velhost: warning: " << left.size()
              << " dialog action(s) left unanswered by any dialog:";
    for (const std::string& a : left) std::cerr << " '" << a << "'";
    std::cerr << "\n";
}

int runSession(const RunOptions& o, SessionDialogs& dialogs) {
    vel::SessionRegistry registry(o.registry);
    vel::Host& host = vel::Host::instance();
    const vel::Script script = readScript(o.script);
    dialogs.prepare();

    std::ofstream trace;
    if (!o.trace.empty()) {
        trace.open(vel::pathOf(o.trace), std::ios::binary | std::ios::trunc);
        if (!trace) throw vel::FileError(o.trace, 0, "cannot open the trace for writing");
        host.setTrace(&trace);
    }
    host.setMessageStream(&std::cout);
    host.setAperture(o.aperture);

    vel::loadPlugin(o.plugin);
    if (!o.drawing.empty()) readDrawingFile(host.drawing(), o.drawing);
    if (o.layer) host.drawing().setCurrentLayer(*o.layer);

    vel::ScriptRunner runner(
        host, [&](const std::string& file) { writeShowingProgress(host.drawing(), file); });
    dialogs.answer(runner.dialogAnswers());
    runner.run(script);
    reportUnusedActions(runner.dialogAnswers());

    for (const std::string& out : o.outputs) writeShowingProgress(host.drawing(), out);
    host.setTrace(nullptr);
    host.setMessageStream(nullptr);
    registry.save();
    // The plug-in stays loaded: its globals may still be referenced by the host
    // until the process ends, as in a real host.
    return dialogs.failed() ? kBadInput : kOk;
}

}  // namespace velhost

// Session.cpp - a scripted session of velhost, shared by every build of it.
#include "vel/velhost/Session.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>

#include "vel/io/DrawingFile.h"
#include "vel/kernel/Host.h"
#include "vel/velhost/DialogAction.h"
#include "vel/velhost/DrawingFiles.h"
#include "vel/velhost/Platform.h"

namespace velhost {

namespace {

// Every action of the script's dialog lines must be one the robot knows.
void CheckDialogActions(const vel::Script& script) {
    for (const vel::ScriptCommand& c : script.commands) {
        if (c.kind != vel::ScriptCommand::Kind::Dialog) continue;
        for (const std::string& text : c.actions) {
            DialogAction action;
            std::string error;
            if (!ParseDialogAction(text, action, error))
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
        : what_(std::move(what)), shows_(StandardErrorIsTerminal()), start_(Clock::now()) {}
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

void WriteShowingProgress(const vel::Drawing& drawing, const std::string& path) {
    TerminalProgress progress("writing " + path);
    WriteDrawing(drawing, path, &progress);
}

}  // namespace

void AddRunOptions(CLI::App& run, RunOptions& o) {
    run.add_option("--plugin", o.plugin,
                   std::string("plug-in library (default: ") + kDefaultPlugin + " beside velhost)");
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

vel::Script ReadScript(const std::string& path) {
    vel::Script script;
    if (path == "-") {
        script = vel::parseScript(std::cin, "<stdin>");
    } else if (!path.empty()) {
        std::ifstream in(PathOf(path), std::ios::binary);
        if (!in) throw vel::FileError(path, 0, "cannot open");
        script = vel::parseScript(in, path);
    }
    CheckDialogActions(script);
    return script;
}

std::string ReadDrawingFile(vel::Drawing& drawing, const std::string& path) {
    std::string leftOut;
    {
        TerminalProgress progress("reading " + path);
        leftOut = ReadDrawing(drawing, path, &progress).summary();
    }
    if (!leftOut.empty()) std::cerr << path << ": " << leftOut << "\n";
    return leftOut;
}

void ReportUnusedActions(const std::vector<std::string>& left) {
    if (left.empty()) return;
    std::cerr << "velhost: warning: " << left.size()
              << " dialog action(s) left unanswered by any dialog:";
    for (const std::string& a : left) std::cerr << " '" << a << "'";
    std::cerr << "\n";
}

int RunSession(const RunOptions& o, SessionDialogs& dialogs) {
    SessionRegistry registry(o.registry);
    vel::Host& host = vel::Host::instance();
    const vel::Script script = ReadScript(o.script);
    dialogs.Prepare();

    std::ofstream trace;
    if (!o.trace.empty()) {
        trace.open(PathOf(o.trace), std::ios::binary | std::ios::trunc);
        if (!trace) throw vel::FileError(o.trace, 0, "cannot open the trace for writing");
        host.setTrace(&trace);
    }
    host.setMessageStream(&std::cout);
    host.setAperture(o.aperture);

    LoadPlugin(o.plugin);
    if (!o.drawing.empty()) ReadDrawingFile(host.drawing(), o.drawing);
    if (o.layer) host.drawing().setCurrentLayer(*o.layer);

    vel::ScriptRunner runner(
        host, [&](const std::string& file) { WriteShowingProgress(host.drawing(), file); });
    dialogs.Answer(runner.dialogAnswers());
    runner.run(script);
    ReportUnusedActions(runner.dialogAnswers());

    for (const std::string& out : o.outputs) WriteShowingProgress(host.drawing(), out);
    host.setTrace(nullptr);
    host.setMessageStream(nullptr);
    registry.Save();
    // The plug-in stays loaded: its globals may still be referenced by the host
    // until the process ends, as in a real host.
    return dialogs.Failed() ? kBadInput : kOk;
}

}  // namespace velhost

// Session.cpp - a scripted session of velhost, shared by every build of it.
#include "vel/velhost/Session.h"

#include <CLI/CLI.hpp>
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
    std::string leftOut = ReadDrawing(drawing, path);
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

    vel::ScriptRunner runner(host,
                             [&](const std::string& file) { WriteDrawing(host.drawing(), file); });
    dialogs.Answer(runner.dialogAnswers());
    runner.run(script);
    ReportUnusedActions(runner.dialogAnswers());

    for (const std::string& out : o.outputs) WriteDrawing(host.drawing(), out);
    host.setTrace(nullptr);
    host.setMessageStream(nullptr);
    registry.Save();
    // The plug-in stays loaded: its globals may still be referenced by the host
    // until the process ends, as in a real host.
    return dialogs.Failed() ? kBadInput : kOk;
}

}  // namespace velhost

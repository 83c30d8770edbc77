// Session.h - velhost's `run` as every build of it has it: the options, reading the script and
// the drawing, and a session from the registry and the plug-in to the written drawing. What
// answers the plug-in's dialogs is the caller's (the dialog robot where there is Qt).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vel/io/Script.h"

namespace CLI {
class App;
}

namespace velhost {

enum ExitCode { kOk = 0, kBadInput = 1, kBadCommandLine = 2 };

struct RunOptions {
    std::string plugin;
    std::string drawing;
    std::string script;
    std::string registry;
    std::vector<std::string> outputs;
    std::string trace;
    std::optional<int> layer;
    double aperture = 1.0;
    bool show = false;
    std::string platform;  // where --show shows the dialogs
};

// Adds the options of `velhost run` that every build takes, bound to `o`.
void addRunOptions(CLI::App& run, RunOptions& o);

// The session script at `path` ("-": standard input; empty: none), every action of its dialog
// lines checked. Throws vel::FileError naming the file and line.
vel::Script readScript(const std::string& path);

// Replaces the drawing with the file's; what a DXF file held that the drawing cannot is told on
// standard error and returned (empty: nothing). Throws vel::FileError.
std::string readDrawingFile(vel::Drawing& drawing, const std::string& path);

// Warns on standard error about the dialog actions that no dialog took.
void reportUnusedActions(const std::vector<std::string>& left);

// What answers the plug-in's dialogs in a session. The plain one leaves them to the plug-in.
class SessionDialogs {
public:
    virtual ~SessionDialogs() = default;
    // Once the registry and the script are found good, before the plug-in is loaded.
    virtual void prepare() {}
    // Before the script runs, with the queue that the script's dialog lines fill.
    virtual void answer(std::vector<std::string>& queue) { (void)queue; }
    // True once an answer could not be given; the session then ends with status 1.
    virtual bool failed() const { return false; }
};

// Runs a session: the registry file made the user's registry, the plug-in loaded and started,
// the drawing read, the script run, every output written. Returns the exit status; throws
// vel::FileError (or another std::exception) for bad input.
int runSession(const RunOptions& o, SessionDialogs& dialogs);

}  // namespace velhost

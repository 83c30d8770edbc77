// Script.h - the session script that drives a run of the plug-in: one command a
// line (run, escape, pick, select, done, confirm, key, save, dialog), # comments.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "vel/kernel/Host.h"

namespace vel {

struct ScriptCommand {
    enum class Kind { Run, Escape, Pick, Select, Done, Confirm, Key, Save, Dialog };
    Kind kind = Kind::Run;
    int line = 0;
    std::vector<double> numbers;       // pick: x y; select: x1 y1 x2 y2
    std::string file;                  // save
    std::vector<std::string> actions;  // dialog answers, in order
};

struct Script {
    std::string fileName;
    std::vector<ScriptCommand> commands;
};

// Throws FileError naming the file and line of the first fault.
Script parseScript(std::istream& in, const std::string& fileName);

// Runs a script against the host. A fault while running (a pick that reaches
// nothing, an input with no command running) throws FileError at its line.
// A run still going at the end, or when a fault stops the script, is left as
// with escape.
class ScriptRunner {
public:
    using SaveFunction = std::function<void(const std::string& file)>;
    ScriptRunner(Host& host, SaveFunction save);
    void run(const Script& script);
    // Answers queued for the modal dialogs that open next.
    std::vector<std::string>& dialogAnswers() { return dialogAnswers_; }

private:
    void execute(const Script& script, const ScriptCommand& c);

    Host& host_;
    SaveFunction save_;
    std::vector<std::string> dialogAnswers_;
};

}  // namespace vel

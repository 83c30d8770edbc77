// Velhost.h - running velhost from a test as a user runs it: a command line, standard input from
// nothing, what it printed and its exit status.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/Scratch.h"

namespace orvanta_test {

struct VelhostRun {
    int status = -1;  // the exit status; -1 when it did not exit (a crash)
    std::string out;
    std::string err;
};

// The velhost under test: this build's, or the command ORVANTA_VELHOST names (several words, such
// as "wine64 velhost.exe"), so that another build is held to the same behaviour.
inline const char* otherVelhost() {
    const char* other = std::getenv("ORVANTA_VELHOST");
    return other && *other ? other : nullptr;
}

#ifdef VELHOST_PATH
inline std::string velhostCommand() {
    return otherVelhost() ? otherVelhost() : VELHOST_PATH;
}
#endif

// Runs `program args` in `folder` (shell words: quote what needs it), its output kept in
// stdout.txt and stderr.txt there. `environment` goes before it ("env -u DISPLAY").
inline VelhostRun runProgram(const std::string& program, const std::string& args,
                             const fs::path& folder, const std::string& environment = "") {
    const std::string out = (folder / "stdout.txt").string();
    const std::string err = (folder / "stderr.txt").string();
    // Standard input comes first so that a redirection among the arguments wins.
    const std::string command = "cd '" + folder.string() + "' && " + environment +
                                (environment.empty() ? "" : " ") + program + " </dev/null " + args +
                                " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    VelhostRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

#ifdef VELHOST_PATH
inline VelhostRun runVelhost(const std::string& args, const fs::path& folder,
                             const std::string& environment = "") {
    return runProgram(velhostCommand(), args, folder, environment);
}
#endif

}  // namespace orvanta_test

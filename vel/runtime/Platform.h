// Platform.h - what every front end (velhost, the host inside LibreCAD) does in its own way on
// each system: where the program is, how it loads the plug-in, and how a run's registry file
// becomes the user's registry.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace vel {

// The plug-in's file name, looked for beside velhost when no --plugin is given.
extern const char kDefaultPlugin[];

// The plug-in velhost loads when no --plugin is given: the one beside velhost (a build), else the
// one in the installed program's own library folder.
std::filesystem::path defaultPlugin();

// The folder velhost's own executable is in.
std::filesystem::path programFolder();

// Standard error is a terminal a person watches, not a file or a pipe.
bool standardErrorIsTerminal();

// Loads the plug-in (default: beside velhost) and lets it register its command. Throws
// vel::FileError naming the library.
void loadPlugin(const std::string& given);

#ifndef _WIN32
// Makes `registry` (when given) the user's registry for this process and refuses a registry file
// that the plug-in could not rewrite, before anything runs. Throws vel::FileError.
void useRegistryFile(const std::string& registry);
#endif

// The registry of a session: `file`, a registry export, stands for the current user's registry
// for the time of the session, with the same meaning on every system. Outside Windows the
// plug-in's settings store reads and writes the file itself. On Windows the file's values are
// imported into a registry key of the session's own that stands in for HKEY_CURRENT_USER until
// the session ends, and exported back into the file by save() (or, when the session fails, by
// the destructor), so that the user's own registry stays as it was. Without a file the session
// uses the user's registry. The constructor throws vel::FileError, before anything runs, for a
// file that is not a registry export or cannot be read.
class SessionRegistry {
public:
    explicit SessionRegistry(const std::string& file);
    ~SessionRegistry();
    SessionRegistry(const SessionRegistry&) = delete;
    SessionRegistry& operator=(const SessionRegistry&) = delete;

    // Writes what the session stored back into the file. Throws vel::FileError.
    void save();
    // Where the session's settings are kept, as messages name it: the file, or the user's
    // registry when there is none.
    std::string location() const;

private:
    struct Stand;  // Windows: the key that stands in, the file's text
    std::unique_ptr<Stand> stand_;
};

}  // namespace vel

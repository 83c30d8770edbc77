// SettingsSession.h - `velhost settings` as every build of it has it: "Create Insert" on its own,
// loaded from the session's registry and saved on OK, answered by the script's dialog lines.
#pragma once

#include <string>

#include "vel/velhost/Session.h"

namespace velhost {

struct SettingsOptions {
    std::string registry;
    std::string script;
    bool show = false;
    std::string platform;  // where --show shows the dialog
};

// Adds the options of `velhost settings`, bound to `o`.
void addSettingsOptions(CLI::App& settings, SettingsOptions& o);

// Runs the dialog and saves what OK took; prints whether the settings were saved. Returns the
// exit status; throws vel::FileError for bad input or settings that could not all be stored.
int runSettings(const SettingsOptions& o, SessionDialogs& dialogs);

}  // namespace velhost

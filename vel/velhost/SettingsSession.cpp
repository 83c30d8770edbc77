// SettingsSession.cpp - the settings dialog on its own, shared by every build of velhost.
#include "vel/velhost/SettingsSession.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <stdexcept>

#include "settings/RegistryStore.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"
#include "vel/io/DrawingFile.h"
#include "vel/velhost/Platform.h"

namespace velhost {

void AddSettingsOptions(CLI::App& settings, SettingsOptions& o) {
    settings.add_option("--registry", o.registry, "registry file to read and write");
    settings.add_option("--script", o.script,
                        "dialog lines that answer the dialog, or - for standard input");
    settings.add_flag("--show", o.show,
                      "show the dialog on the display; what no action answers is the user's");
}

int RunSettings(const SettingsOptions& o, SessionDialogs& dialogs) {
    SessionRegistry registry(o.registry);
    const vel::Script script = ReadScript(o.script);
    std::vector<std::string> answers;
    for (const vel::ScriptCommand& c : script.commands) {
        if (c.kind != vel::ScriptCommand::Kind::Dialog)
            throw vel::FileError(script.fileName, c.line,
                                 "only dialog lines can answer the settings dialog");
        answers.insert(answers.end(), c.actions.begin(), c.actions.end());
    }
    dialogs.Prepare();
    dialogs.Answer(answers);
    bool accepted = false;
    bool saved = false;
    {
        UiScope scope;
        if (!scope.Available()) throw std::runtime_error("no user interface is available");
        OrvantaDlg dlg;
        accepted = dlg.DoModal() == IDOK;
        if (accepted) saved = dlg.SaveToRegistry();
    }
    ReportUnusedActions(answers);
    const auto notSaved = [&registry](const std::string& why) {
        return vel::FileError(registry.Location(), 0,
                              "settings not saved" + (why.empty() ? "" : ": " + why));
    };
    if (accepted && !saved) throw notSaved(CurrentUserRegistry().lastError());
    try {
        registry.Save();  // where the registry is not the file, the values reach it only now
    } catch (const vel::FileError& e) {
        if (saved) throw notSaved(e.message());
        throw;
    }
    if (saved)
        std::cout << "settings saved to " << registry.Location() << "\n";
    else
        std::cout << "settings dialog cancelled; nothing saved\n";
    return dialogs.Failed() ? kBadInput : kOk;
}

}  // namespace velhost

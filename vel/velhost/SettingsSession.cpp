// SettingsSession.cpp - the settings dialog on its own, shared by every build of velhost.
#include "vel/velhost/SettingsSession.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <stdexcept>

#include "platform/RegistryStore.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"
#include "vel/io/DrawingFile.h"
#include "vel/runtime/Platform.h"

namespace velhost {

void addSettingsOptions(CLI::App& settings, SettingsOptions& o) {
    settings.add_option("--registry", o.registry, "registry file to read and write");
    settings.add_option("--script", o.script,
                        "dialog lines that answer the dialog, or - for standard input");
    settings.add_flag("--show", o.show,
                      "show the dialog on the display; what no action answers is the user's");
}

int runSettings(const SettingsOptions& o, SessionDialogs& dialogs) {
    vel::SessionRegistry registry(o.registry);
    const vel::Script script = readScript(o.script);
    std::vector<std::string> answers;
    for (const vel::ScriptCommand& c : script.commands) {
        if (c.kind != vel::ScriptCommand::Kind::Dialog)
            throw vel::FileError(script.fileName, c.line,
                                 "only dialog lines can answer the settings dialog");
        answers.insert(answers.end(), c.actions.begin(), c.actions.end());
    }
    dialogs.prepare();
    dialogs.answer(answers);
    bool accepted = false;
    bool saved = false;
    {
        UiScope scope;
        if (!scope.Available()) throw std::runtime_error("no user interface is available");
        OrvantaDlg dlg;
        accepted = dlg.DoModal() == IDOK;
        if (accepted) saved = dlg.SaveToRegistry();
    }
    reportUnusedActions(answers);
    const auto notSaved = [&registry](const std::string& why) {
        return vel::FileError(registry.location(), 0,
                              "settings not saved" + (why.empty() ? "" : ": " + why));
    };
    if (accepted && !saved) throw notSaved(CurrentUserRegistry().lastError());
    try {
        registry.save();  // where the registry is not the file, the values reach it only now
    } catch (const vel::FileError& e) {
        if (saved) throw notSaved(e.message());
        throw;
    }
    if (saved)
        std::cout << "settings saved to " << registry.location() << "\n";
    else
        std::cout << "settings dialog cancelled; nothing saved\n";
    return dialogs.failed() ? kBadInput : kOk;
}

}  // namespace velhost

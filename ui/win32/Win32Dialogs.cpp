// Win32Dialogs.cpp - the dialogs' back end on Windows. Until it shows them with the dialog
// manager, each dialog that would open says so on standard error and answers Cancel, so that the
// run goes on as a user who cancelled it would see it go on.
#include <cstdio>
#include <string>

#include "settings/Utf.h"
#include "ui/DialogSurface.h"

std::unique_ptr<DialogSurface> CreateDialogSurface(DialogEvents&, const DialogTemplate& tmpl,
                                                   DialogSurface*) {
    const std::string name = tmpl.caption.empty() ? "dialog " + std::to_string(tmpl.id)
                                                  : "\"" + Utf8(tmpl.caption) + "\"";
    std::fprintf(stderr, "Orvanta: this build has no dialogs; %s counts as cancelled\n",
                 name.c_str());
    std::fflush(stderr);
    return nullptr;
}

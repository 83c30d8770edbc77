// Lifecycle.h - the plug-in's entry, its application object and the callbacks
// that start and end a run of the insert command.
#pragma once

#include "host/VelLib.h"
#include "ui/Dialogs.h"

// The application object. It holds no data of the command; it stands for the
// library inside the host's process and owns its user-interface support: the
// widget application that dialog scopes create when the host has none, which
// goes away with the library at the latest.
class COrvantaApp {
public:
    COrvantaApp() = default;
    ~COrvantaApp() = default;
    const UiSupport& Ui() const { return ui_; }

private:
    UiSupport ui_;
};

extern COrvantaApp theApp;

// The library's one export; on Windows its export list (Orvanta.def) names it.
#if defined(_WIN32)
extern "C" int Startup(void);
#else
extern "C" __attribute__((visibility("default"))) int Startup(void);
#endif

int FirstReady();
int PreStart();
void Terminate();

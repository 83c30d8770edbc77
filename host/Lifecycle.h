// Lifecycle.h - the plug-in's entry, its application object and the callbacks
// that start and end a run of the insert command.
#pragma once

#include "host/VelLib.h"

// The application object. It holds no data; it stands for the library inside
// the host's process and gives the dialogs their toolkit.
class COrvantaApp {
public:
    COrvantaApp() = default;
    ~COrvantaApp() = default;
    bool InitInstance() { return true; }
};

extern COrvantaApp theApp;

extern "C" __attribute__((visibility("default"))) int Startup(void);

int FirstReady();
int PreStart();
void Terminate();

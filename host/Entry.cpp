// Entry.cpp - the library's one export, Startup, and its application object.
#include "host/Lifecycle.h"
#include "orvanta/Version.h"

COrvantaApp theApp;

// Read from the file by velhost --version; kept though nothing here refers to it.
[[gnu::used]] static const char kVersionMark[] = ORVANTA_VERSION_MARK;

extern "C" int Startup(void) {
    return VelCtlRegisterVelLib2(FirstReady, PreStart, Terminate) > 0 ? 0 : -1;
}

// Entry.cpp - the library's one export, Startup, and its application object.
#include "host/Lifecycle.h"

COrvantaApp theApp;

extern "C" int Startup(void) {
    return VelCtlRegisterVelLib2(FirstReady, PreStart, Terminate) > 0 ? 0 : -1;
}

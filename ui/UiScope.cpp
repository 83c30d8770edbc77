// UiScope.cpp - entering and leaving the plug-in's user-interface context; what the platform
// sets up for it is the back end's (Enter, Leave, DropApplication).
#include "ui/UiScope.h"

namespace {

UiSupport* gNewestSupport = nullptr;

}  // namespace

UiSupport::UiSupport() : previous_(gNewestSupport) {
    gNewestSupport = this;
}

UiSupport::~UiSupport() {
    // A scope left open when the library goes away must not leave an application behind.
    DropApplication();
    if (gNewestSupport == this) gNewestSupport = previous_;
}

UiSupport& UiSupport::Current() {
    static UiSupport fallback{Unregistered{}};
    return gNewestSupport ? *gNewestSupport : fallback;
}

UiScope::UiScope() : support_(UiSupport::Current()) {
    available_ = support_.Enter();
}

UiScope::~UiScope() {
    support_.Leave();
}

bool UiScope::Active() {
    const UiSupport& s = UiSupport::Current();
    return s.Depth() > 0 && s.entered_;
}

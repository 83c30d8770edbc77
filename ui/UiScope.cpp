// UiScope.cpp - entering and leaving the plug-in's user-interface context.
#include "ui/UiScope.h"

#include <QApplication>
#include <cstdlib>

namespace {

UiSupport* gNewestSupport = nullptr;

// No display to talk to: the plug-in's own application then draws offscreen, so a dialog can
// still be run (and answered) by a scripted host.
bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;  // the user chose a platform; respect it
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// QApplication keeps references to its arguments for its whole life, and takes the ones it
// understands out of the list: the list is made anew for every application.
int gArgc = 0;
char gArg0[] = "Orvanta";
char gArg1[] = "-platform";
char gArg2[] = "offscreen";
char* gArgv[4] = {};

}  // namespace

UiSupport::UiSupport() : previous_(gNewestSupport) {
    gNewestSupport = this;
}

UiSupport::~UiSupport() {
    // A scope left open when the library goes away must not leave an application behind.
    delete ownApp_;
    ownApp_ = nullptr;
    if (gNewestSupport == this) gNewestSupport = previous_;
}

UiSupport& UiSupport::Current() {
    static UiSupport fallback{Unregistered{}};
    return gNewestSupport ? *gNewestSupport : fallback;
}

bool UiSupport::Enter() {
    if (depth_++ > 0) return entered_;
    QCoreApplication* existing = QCoreApplication::instance();
    if (existing) {
        auto* app = qobject_cast<QApplication*>(existing);
        entered_ = app != nullptr;
        if (app) {
            // The host's application must not end because our last dialog closed.
            savedQuitOnLastWindowClosed_ = QGuiApplication::quitOnLastWindowClosed();
            QGuiApplication::setQuitOnLastWindowClosed(false);
        }
        return entered_;
    }
    gArgv[0] = gArg0;
    gArgv[1] = gArg1;
    gArgv[2] = gArg2;
    gArgv[3] = nullptr;
    gArgc = HasDisplay() ? 1 : 3;
    if (gArgc == 1) gArgv[1] = nullptr;
    ownApp_ = new QApplication(gArgc, gArgv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    entered_ = true;
    return true;
}

void UiSupport::Leave() {
    if (depth_ == 0 || --depth_ > 0) return;
    if (ownApp_) {
        delete ownApp_;
        ownApp_ = nullptr;
    } else if (entered_ && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setQuitOnLastWindowClosed(savedQuitOnLastWindowClosed_);
    }
    entered_ = false;
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

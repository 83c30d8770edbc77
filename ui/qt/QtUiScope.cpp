// QtUiScope.cpp - the plug-in's user-interface context on Qt: the widget application its
// dialogs run in, the host's or, when the host has none, one of the plug-in's own.
#include <QApplication>
#include <cstdio>
#include <string>

#include "platform/DisplayProbe.h"
#include "ui/UiScope.h"

namespace {

// QApplication keeps references to its arguments for its whole life, and takes the ones it
// understands out of the list: the list is made anew for every application.
int gArgc = 0;
char gArg0[] = "Orvanta";
char gArg1[] = "-platform";
std::string gPlatform;
char* gArgv[4] = {};

}  // namespace

void UiSupport::DropApplication() {
    delete ownApp_;
    ownApp_ = nullptr;
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
    // Without a display to talk to, the application draws offscreen, so a dialog can still be
    // run (and answered) by a scripted host. A display that is named but cannot be opened would
    // end the process inside Qt: the dialogs are cancelled instead.
    const DisplayChoice display = ChooseDisplay();
    if (!display.usable()) {
        std::fprintf(stderr, "Orvanta: %s; the dialog is cancelled\n", display.problem.c_str());
        entered_ = false;
        return false;
    }
    gPlatform = display.platform;
    gArgv[0] = gArg0;
    gArgv[1] = gArg1;
    gArgv[2] = gPlatform.data();
    gArgv[3] = nullptr;
    gArgc = 3;
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

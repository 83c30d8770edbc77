// UiScope.h - the plug-in's user-interface context, made current around every dialog that a host
// callback shows and put back afterwards: on Qt, the widget application its dialogs run in; the
// Win32 dialog manager needs nothing set up.
#pragma once

class QApplication;

// What the plug-in keeps of its user interface between scopes: the application it created
// itself, when the host had none, and how deeply scopes are nested. The application object of
// the plug-in owns one; the last one constructed is the one that scopes use.
class UiSupport {
public:
    UiSupport();
    ~UiSupport();
    UiSupport(const UiSupport&) = delete;
    UiSupport& operator=(const UiSupport&) = delete;

    // The support that scopes use: the newest live instance, else a process-wide one.
    static UiSupport& Current();

    // Depth of the scopes now alive (0 outside any).
    int Depth() const { return depth_; }
    // True while the plug-in runs an application of its own (created by a scope).
    bool OwnsApplication() const { return ownApp_ != nullptr; }

private:
    friend class UiScope;
    struct Unregistered {};
    // The process-wide support of last resort, which never takes the place of an owner's.
    explicit UiSupport(Unregistered) {}
    // The platform's part: setting up what dialogs need, and letting it go.
    bool Enter();
    void Leave();
    void DropApplication();

    int depth_ = 0;
    QApplication* ownApp_ = nullptr;
    bool savedQuitOnLastWindowClosed_ = true;
    bool entered_ = false;  // whether the outermost scope could set up a widget application
    UiSupport* previous_ = nullptr;
};

// RAII: the constructor makes the plug-in's UI context current (on Qt, creating the plug-in's own
// QApplication, on the offscreen platform when there is no display, if the process has none);
// the destructor restores what was there before. Dialogs are constructed, run and destroyed
// while a scope is alive. When the process already has a non-widget core application, no
// dialog can be shown: Available() is false and the dialogs' DoModal answers Cancel.
class UiScope {
public:
    UiScope();
    ~UiScope();
    UiScope(const UiScope&) = delete;
    UiScope& operator=(const UiScope&) = delete;

    bool Available() const { return available_; }

    // True while at least one scope is alive and dialogs can be made.
    static bool Active();

private:
    UiSupport& support_;
    bool available_ = false;
};

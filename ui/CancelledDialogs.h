// CancelledDialogs.h - the dialogs of a build without a widget toolkit (Windows, until its native
// dialogs come): each one, when it would open, says on standard error that it was not shown and
// answers Cancel, so that the run goes on as a user who cancelled it would see it go on.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Modal results, as the dialog manager numbers them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Tells standard error that the dialog was not shown and answers Cancel.
inline int CancelDialog(const char* which) {
    std::fprintf(stderr, "Orvanta: this build has no dialogs; %s counts as cancelled\n", which);
    std::fflush(stderr);
    return IDCANCEL;
}

// Nothing of the user interface outlives a scope here.
class UiSupport {};

class UiScope {
public:
    // Held for its lifetime, as the Qt build's scope is; never read.
    UiScope() {}
    ~UiScope() {}
    UiScope(const UiScope&) = delete;
    UiScope& operator=(const UiScope&) = delete;

    bool Available() const { return true; }
    static bool Active() { return false; }
};

class OrvantaDlg {
public:
    int DoModal() { return CancelDialog("\"Create Insert\""); }
    // Only ever asked for after OK, which this dialog never answers.
    bool SaveToRegistry() { return false; }
};

class OrvantaDimLengthDlg {
public:
    int DoModal() { return CancelDialog("the side distance popup"); }
    std::u16string mValue;
};

class OrvantaDimLeaderDlg {
public:
    int DoModal() { return CancelDialog("the corner popup"); }
    std::u16string mValue;
    int32_t mKind = 0;
};

// Win32UiScope.cpp - the plug-in's user-interface context on Windows: the dialog manager needs
// nothing set up, so a scope only counts how deeply scopes are nested.
#include "ui/UiScope.h"

void UiSupport::DropApplication() {}

bool UiSupport::Enter() {
    if (depth_++ == 0) entered_ = true;
    return entered_;
}

void UiSupport::Leave() {
    if (depth_ == 0 || --depth_ > 0) return;
    entered_ = false;
}

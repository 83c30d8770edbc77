// Dialogs.h - the plug-in's dialogs as the rest of the plug-in reaches them: "Create Insert"
// (OrvantaDlg: DoModal, SaveToRegistry), the two edit popups (mValue, mKind, DoModal) and the
// scope they run in. Built with Qt Widgets where there is Qt; the Windows build, which has no Qt,
// answers every dialog as Cancel until its native dialogs come.
#pragma once

#if defined(_WIN32)
#include "ui/CancelledDialogs.h"
#else
#include "host/EditPopups.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"
#endif

// Dialogs.h - the plug-in's dialogs as the rest of the plug-in reaches them: "Create Insert"
// (OrvantaDlg: DoModal, SaveToRegistry), the two edit popups (mValue, mKind, DoModal) and the
// scope they run in. The platform's back end (Qt Widgets or Win32) shows them.
#pragma once

#include "host/EditPopups.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"

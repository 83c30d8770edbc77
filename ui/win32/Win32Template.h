// Win32Template.h - a dialog template as the Win32 dialog manager reads it from memory.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/DialogTemplate.h"

// The DLGTEMPLATE of `tmpl`: its style, extended style, size in dialog units, caption and font
// (point size and face, as DS_SETFONT asks), then one DLGITEMTEMPLATE a control in template
// order with the control's style, rectangle, id, predefined class and text, each DWORD-aligned
// from the start of the buffer.
std::vector<uint8_t> BuildDialogTemplate(const DialogTemplate& tmpl);

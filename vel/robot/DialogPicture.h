// DialogPicture.h - (Windows) a picture of a window as it shows, its controls included, written
// as a PNG file through the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <string>

namespace vel {

// Copies what `window` shows, its frame and every child window, into a bitmap and writes it to
// `file` (UTF-8) as PNG. False, with nothing left behind, when the file cannot be written.
bool saveWindowPicture(HWND window, const std::string& file);

}  // namespace vel

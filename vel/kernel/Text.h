// Text.h - UTF-8 / UTF-16 conversion for texts crossing the host boundary, and names compared
// without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace vel {

// Malformed sequences become U+FFFD; nothing is dropped silently.
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view text);
// A zero-terminated host text; null reads as empty.
std::u16string fromHostText(const char16_t* text);

// Names that compare without regard to case (DXF names, block and layer names): only the ASCII
// letters change, so that a name in any encoding keeps its other bytes.
std::string asciiUpper(std::string_view s);

}  // namespace vel

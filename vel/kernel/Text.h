// Text.h - UTF-8 / UTF-16 conversion for texts crossing the host boundary.
#pragma once

#include <string>
#include <string_view>

namespace vel {

// Malformed sequences become U+FFFD; nothing is dropped silently.
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view text);
// A zero-terminated host text; null reads as empty.
std::u16string fromHostText(const char16_t* text);

}  // namespace vel

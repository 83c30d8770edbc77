// Conversions between UTF-8 (files) and UTF-16 (the texts of the settings and the host).
#pragma once

#include <string>
#include <string_view>

// Decodes UTF-8; every malformed sequence becomes U+FFFD, so any byte string converts.
std::u16string Utf16(std::string_view utf8);
// Encodes UTF-16; every unpaired surrogate becomes U+FFFD.
std::string Utf8(std::u16string_view utf16);
// Whether every surrogate is one of a pair, so that Utf16(Utf8(text)) gives `text` back.
bool IsWellFormedUtf16(std::u16string_view utf16);

// RegistryExchange.h - (Windows) the values of a registry export and those of a registry key
// that stands for HKEY_CURRENT_USER: the export's string values stored under the key, and the
// key's string values set in the export's text, so that a registry file means on Windows what it
// means where it is the registry itself.
#pragma once

#include <windows.h>

#include <string>

#include "platform/RegistryText.h"

namespace vel {

// Stores every string value of the text's HKEY_CURRENT_USER keys (as RegistryText::StringValues
// lists them) under `root`, creating the keys on the way. Empty when every value was stored;
// otherwise what failed first.
std::string importRegistryValues(const RegistryText& text, HKEY root);

// Sets in `text` every string value of `root` and of the keys below it, at the key paths
// relative to `root`, where the text does not already hold that very text; values of other types
// are no settings and stay out. Empty when every value was read and set; otherwise what failed
// first.
std::string exportRegistryValues(HKEY root, RegistryText& text);

}  // namespace vel

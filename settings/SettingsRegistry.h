// The registry helpers through which every setting is read and written, under
// HKEY_CURRENT_USER\SOFTWARE\Tolvane\VEL\<sub-key>.
#pragma once

#include <span>
#include <string>

#include "platform/RegistryStore.h"

// The plug-in's own sub-key.
inline constexpr char16_t kSettingsSubKey[] = u"Orvanta";

// "SOFTWARE\Tolvane\VEL\" followed by `subKey`.
std::u16string SettingsKeyPath(const std::u16string& subKey);

// Reads a string value of the key of `subKey` ('/' in the path count as '\'). True when read,
// and then `out` holds the whole text, however long; false on any failure, leaving `out` as it
// was.
bool ReadSettingString(const std::u16string& subKey, const std::u16string& name,
                       std::u16string& out);

// Writes `text` as a string value of the key of `subKey`, creating missing keys on the path.
// True on success, false on any failure. Never throws.
bool WriteSettingString(const std::u16string& subKey, const std::u16string& name,
                        const std::u16string& text);

// Writes all `values` under the key of `subKey` together, as RegistryStore::writeStrings does:
// in the registry file one replacement of the file, so that a kill mid-write leaves either the
// old values or the new ones. The "Create Insert" dialog's save alone uses it, for that reason;
// everything else goes through the two helpers above. True when every value was stored; then,
// or on false, CurrentUserRegistry().lastError() tells why. Never throws.
bool WriteSettingStrings(const std::u16string& subKey, std::span<const RegistryValue> values);

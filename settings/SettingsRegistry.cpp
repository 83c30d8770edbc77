// Registry helpers: compose the key path and pass through the platform's store, never letting
// a failure escape as anything but false.
#include "settings/SettingsRegistry.h"

#include <algorithm>

#include "platform/RegistryStore.h"

namespace {

std::u16string RegistryPathOf(const std::u16string& subKey) {
    std::u16string path = SettingsKeyPath(subKey);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
}

}  // namespace

std::u16string SettingsKeyPath(const std::u16string& subKey) {
    return u"SOFTWARE\\Tolvane\\VEL\\" + subKey;
}

bool ReadSettingString(const std::u16string& subKey, const std::u16string& name,
                       std::u16string& out) {
    try {
        std::u16string text;
        if (!CurrentUserRegistry().readString(RegistryPathOf(subKey), name, text)) return false;
        out = std::move(text);
        return true;
    } catch (...) {
        // Callers run inside host callbacks; a failure is a missing value, nothing more.
        return false;
    }
}

bool WriteSettingString(const std::u16string& subKey, const std::u16string& name,
                        const std::u16string& text) {
    try {
        return CurrentUserRegistry().writeString(RegistryPathOf(subKey), name, text);
    } catch (...) {
        return false;
    }
}

bool WriteSettingStrings(const std::u16string& subKey, std::span<const RegistryValue> values) {
    try {
        return CurrentUserRegistry().writeStrings(RegistryPathOf(subKey), values);
    } catch (...) {
        return false;
    }
}

// The current user's registry on Windows, through the registry API. Each call opens the key,
// does its one read or write and closes it again.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "settings/RegistryStore.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

class Win32RegistryStore final : public RegistryStore {
public:
    bool readString(const std::u16string& keyPath, const std::u16string& name,
                    std::u16string& out) override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        // 256 bytes, of which the query may fill 255; the last whole character is kept for the
        // terminator, so the text ends inside the buffer whatever the stored data holds.
        wchar_t buffer[128] = {};
        static_assert(sizeof buffer == 256);
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(kRegistryReadCapacityBytes);
        const LONG status = RegQueryValueExW(key, Wide(name), nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        // Values of other types are not ours: they read as missing and get their default.
        if (status != ERROR_SUCCESS || type != REG_SZ) return false;
        const std::size_t units =
            std::min<std::size_t>(size, kRegistryReadCapacityBytes) / sizeof(wchar_t);
        buffer[std::min<std::size_t>(units, std::size(buffer) - 1)] = L'\0';
        const auto* text = reinterpret_cast<const char16_t*>(buffer);
        out.assign(text, std::find(text, text + units, u'\0'));
        return true;
    }

    bool writeString(const std::u16string& keyPath, const std::u16string& name,
                     const std::u16string& text) override {
        const std::size_t chars = std::min(text.size(), text.find(u'\0'));
        if (chars >= std::numeric_limits<DWORD>::max() / 2) return false;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(keyPath), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const DWORD bytes = static_cast<DWORD>((chars + 1) * sizeof(wchar_t));
        const LONG status = RegSetValueExW(key, Wide(name), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(Wide(text)), bytes);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }
};

}  // namespace

RegistryStore& CurrentUserRegistry() {
    static Win32RegistryStore store;
    return store;
}

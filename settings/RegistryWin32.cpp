// The current user's registry on Windows, through the registry API. Each call opens the key,
// does its one read or write and closes it again.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "settings/RegistryStore.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace {

// How often a read follows a value that keeps growing before it gives up.
constexpr int kReadAttempts = 8;

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
        std::vector<BYTE> data;
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, Wide(name), nullptr, &type, nullptr, &size);
        // Another program may make the value longer between asking its size and reading it;
        // then the read reports the new size and is tried again with room for it.
        for (int attempt = 0; status == ERROR_SUCCESS && type == REG_SZ && size > 0; ++attempt) {
            if (attempt == kReadAttempts) {
                status = ERROR_MORE_DATA;
                break;
            }
            data.resize(size);
            status = RegQueryValueExW(key, Wide(name), nullptr, &type, data.data(), &size);
            if (status != ERROR_MORE_DATA) break;
            status = ERROR_SUCCESS;
        }
        RegCloseKey(key);
        // Values of other types are not ours: they read as missing and get their default.
        if (status != ERROR_SUCCESS || type != REG_SZ) return false;
        // The data need not end in a terminator, nor even in a whole character: the text ends
        // at its first null or its last whole character.
        const std::size_t units = std::min<std::size_t>(size, data.size()) / sizeof(char16_t);
        std::u16string text(units, u'\0');
        if (units > 0) std::memcpy(text.data(), data.data(), units * sizeof(char16_t));
        out = text.substr(0, text.find(u'\0'));
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

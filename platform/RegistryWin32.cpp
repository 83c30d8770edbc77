// The current user's registry on Windows, through the registry API. Each call opens the key,
// does its read or its writes and closes it again.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/Utf.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace {

// How often a read follows a value that keeps growing before it gives up.
constexpr int kReadAttempts = 8;

// Why the last write of this thread failed; see RegistryStore::lastError.
thread_local std::string tLastError;

// The system's text for an error code, without its line end.
std::string SystemMessage(LONG code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text(reinterpret_cast<const char16_t*>(buffer), length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(code) : Utf8(text);
}

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

    bool writeStrings(const std::u16string& keyPath,
                      std::span<const RegistryValue> values) override {
        tLastError.clear();
        if (values.empty()) return true;
        HKEY key = nullptr;
        const LONG opened =
            RegCreateKeyExW(HKEY_CURRENT_USER, Wide(keyPath), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (opened != ERROR_SUCCESS) {
            tLastError = "cannot open the key " + Utf8(keyPath) + ": " + SystemMessage(opened);
            return false;
        }
        for (const RegistryValue& value : values) {
            const std::size_t chars = std::min(value.text.size(), value.text.find(u'\0'));
            LONG status = ERROR_INVALID_PARAMETER;  // a text too long for the registry
            if (chars < std::numeric_limits<DWORD>::max() / sizeof(wchar_t)) {
                const DWORD bytes = static_cast<DWORD>((chars + 1) * sizeof(wchar_t));
                status = RegSetValueExW(key, Wide(value.name), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(Wide(value.text)), bytes);
            }
            // The first failure is the one told; the values after it are still written.
            if (status != ERROR_SUCCESS && tLastError.empty()) {
                tLastError =
                    "cannot store the value \"" + Utf8(value.name) + "\": " + SystemMessage(status);
            }
        }
        RegCloseKey(key);
        return tLastError.empty();
    }

    std::string lastError() const override { return tLastError; }
};

}  // namespace

RegistryStore& CurrentUserRegistry() {
    static Win32RegistryStore store;
    return store;
}

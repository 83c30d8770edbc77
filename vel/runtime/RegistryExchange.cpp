// RegistryExchange.cpp - copying string values between a registry export's text and a key of
// the Windows registry.
#include "vel/runtime/RegistryExchange.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

#include "platform/Utf.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace vel {

namespace {

const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string fromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

std::string failure(const std::string& what, const std::u16string& where, LONG code) {
    return what + " " + Utf8(where) + ": " + std::system_category().message(static_cast<int>(code));
}

std::u16string below(const std::u16string& keyPath, const std::u16string& name) {
    return keyPath.empty() ? name : keyPath + u'\\' + name;
}

// Sets the string values of `key` (at `keyPath`), then those of the keys below it, depth first.
std::string exportKey(HKEY key, const std::u16string& keyPath, RegistryText& text) {
    DWORD subKeys = 0, longestSubKey = 0, values = 0, longestName = 0, longestData = 0;
    LONG status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey,
                                   nullptr, &values, &longestName, &longestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return failure("cannot read the key", keyPath, status);
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        status =
            RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS) return failure("cannot read a value of", keyPath, status);
        if (type != REG_SZ) continue;
        // A text ends at its first null or its last whole character, as the settings read it.
        std::u16string value(size / sizeof(char16_t), u'\0');
        if (!value.empty()) std::memcpy(value.data(), data.data(), value.size() * sizeof(char16_t));
        value.resize(std::min(value.size(), value.find(u'\0')));
        const std::u16string valueName = fromWide(name.data(), nameLength);
        if (text.ReadString(keyPath, valueName) == value) continue;
        if (!text.SetString(keyPath, valueName, value)) {
            return "the value \"" + Utf8(valueName) + "\" of " + Utf8(keyPath) +
                   " cannot be stored in a registry file (an empty key name or a line break)";
        }
    }
    std::vector<wchar_t> subName(longestSubKey + 1);
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD length = static_cast<DWORD>(subName.size());
        status = RegEnumKeyExW(key, i, subName.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) return failure("cannot read the keys below", keyPath, status);
        const std::u16string subPath = below(keyPath, fromWide(subName.data(), length));
        HKEY sub = nullptr;
        status = RegOpenKeyExW(key, subName.data(), 0, KEY_READ, &sub);
        if (status != ERROR_SUCCESS) return failure("cannot open the key", subPath, status);
        const std::string error = exportKey(sub, subPath, text);
        RegCloseKey(sub);
        if (!error.empty()) return error;
    }
    return {};
}

}  // namespace

std::string importRegistryValues(const RegistryText& text, HKEY root) {
    for (const RegistryText::StringValue& value : text.StringValues()) {
        HKEY key = nullptr;
        LONG status =
            RegCreateKeyExW(root, wide(value.keyPath), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) return failure("cannot create the key", value.keyPath, status);
        const std::size_t chars = std::min(value.text.size(), value.text.find(u'\0'));
        status = RegSetValueExW(key, wide(value.name), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(wide(value.text)),
                                static_cast<DWORD>((chars + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            return failure("cannot store the value \"" + Utf8(value.name) + "\" of", value.keyPath,
                           status);
    }
    return {};
}

std::string exportRegistryValues(HKEY root, RegistryText& text) {
    return exportKey(root, u"", text);
}

}  // namespace vel

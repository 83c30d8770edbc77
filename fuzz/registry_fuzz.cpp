// Fuzz target for the registry export text: any bytes parse, unchanged text serialises byte for
// byte, and setting a value keeps the encoding, every other line and every other value while the
// new value reads back; UTF-16 that does not decode cleanly refuses the change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryText.h"

namespace {

const std::u16string kKeys[] = {u"SOFTWARE\\Tolvane\\VEL\\Orvanta", u"K", u"software\\tolvane",
                                u""};
const std::u16string kNames[] = {u"mType", u"", u"a\"b\\", u"MTYPE"};
const std::u16string kTexts[] = {u"", u"12.5", u"q\"\\\\", u"\uB808\uC774\uC5B4"};

void Check(bool condition) {
    if (!condition) std::abort();
}

char16_t Fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

bool SameFolded(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    const std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::u16string& key = kKeys[selector % 4];
    const std::u16string& name = kNames[(selector / 4) % 4];
    const std::u16string& text = kTexts[(selector / 16) % 4];

    RegistryText hive = RegistryText::Parse(content);
    Check(hive.Serialize() == content);
    if (!hive.CanChange()) {
        // UTF-16 that does not decode cleanly is never rewritten.
        Check(!hive.SetString(key, name, text));
        Check(hive.Serialize() == content);
        return 0;
    }

    const std::optional<std::size_t> replaced = hive.StringValueLine(key, name);
    std::optional<std::u16string> others[4][4];
    for (int k = 0; k < 4; ++k) {
        for (int n = 0; n < 4; ++n) others[k][n] = hive.ReadString(kKeys[k], kNames[n]);
    }
    const RegistryText original = hive;

    Check(hive.SetString(key, name, text));
    const RegistryText reparsed = RegistryText::Parse(hive.Serialize());
    Check(reparsed.HasHeader());
    Check(reparsed.TextEncoding() == original.TextEncoding() && reparsed.CanChange());
    Check(reparsed.ReadString(key, name) == text);
    for (int k = 0; k < 4; ++k) {
        for (int n = 0; n < 4; ++n) {
            if (SameFolded(kKeys[k], key) && SameFolded(kNames[n], name)) continue;
            Check(reparsed.ReadString(kKeys[k], kNames[n]) == others[k][n]);
        }
    }
    // Every other original line is still there, in its order.
    std::size_t next = 0;
    for (std::size_t i = 0; i < original.LineCount(); ++i) {
        if (replaced && *replaced == i) continue;
        while (next < reparsed.LineCount() && reparsed.LineText(next) != original.LineText(i)) {
            ++next;
        }
        Check(next < reparsed.LineCount());
        ++next;
    }
    return 0;
}

// The text form of the user's registry hive, a registry export ("Windows Registry Editor
// Version 5.00", [key] sections, "name"="text" values) in UTF-8 or, as regedit writes it, in
// UTF-16LE with a byte order mark: parsing, look-up and change of string values, and
// re-serialisation in the file's own encoding that keeps every line it does not change byte for
// byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kRegistryHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kRegistryHive = "HKEY_CURRENT_USER";

class RegistryText;

// Why the file that holds `hive` must not be rewritten as a registry ("not a registry export:
// ..."); empty when it may be: a registry export, or a file with nothing in it yet.
std::string RegistryRewriteProblem(const RegistryText& hive);

// Key paths are relative to HKEY_CURRENT_USER ("SOFTWARE\Tolvane\VEL\Orvanta"; empty for the
// hive's root). Key paths and value names match without regard to the case of A to Z. When a
// key appears in several sections, or a value several times, the last one counts, as when the
// file is imported. Values of other kinds (dword:, hex:..., deletions) read as missing and are
// never changed; lines that cannot be read at all are kept as they are.
class RegistryText {
public:
    enum class Encoding { Utf8, Utf16Le };

    // Accepts any bytes: LF or CRLF line ends, a UTF-8 byte order mark, a missing header. Text
    // that starts with the UTF-16LE byte order mark is UTF-16LE.
    static RegistryText Parse(std::string_view content);

    Encoding TextEncoding() const { return encoding_; }
    // False for UTF-16LE bytes that do not decode cleanly (an odd byte count, a surrogate
    // without its pair): writing them again would change bytes no change asked for, so such a
    // text refuses every change and serialises as it came. Reading still works.
    bool CanChange() const { return canChange_; }
    bool HasHeader() const { return hasHeader_; }
    bool HasKey(std::u16string_view keyPath) const;

    // The text of a string value; nothing when the key or the value is missing or the value is
    // of another kind. Malformed UTF-8 in the file reads as U+FFFD.
    std::optional<std::u16string> ReadString(std::u16string_view keyPath,
                                             std::u16string_view name) const;

    // Index of the line that ReadString takes the value from, if there is one.
    std::optional<std::size_t> StringValueLine(std::u16string_view keyPath,
                                               std::u16string_view name) const;

    // A string value as ReadString sees it.
    struct StringValue {
        std::u16string keyPath;  // as the section of its first line writes it
        std::u16string name;
        std::u16string text;
    };
    // Every string value of the hive's keys, each key and name once, in the order of their first
    // lines: what importing the file stores.
    std::vector<StringValue> StringValues() const;

    // Sets a string value: replaces the line of the value where it stands, or adds it at the
    // end of its key's section, or adds the key's section (and sections for missing parent
    // keys) at the end; adds the header when the text had none. False, with nothing changed,
    // when the key path has an empty part, any of the three contains a line break or null, or
    // the text cannot change.
    bool SetString(std::u16string_view keyPath, std::u16string_view name, std::u16string_view text);

    // The bytes of the text in its encoding, with its byte order mark if it had one.
    std::string Serialize() const;

    std::size_t LineCount() const { return lines_.size(); }
    // A line without its line end, in UTF-8 whatever the encoding.
    std::string_view LineText(std::size_t index) const { return lines_.at(index).text; }

private:
    enum class Kind { Header, Blank, Section, StringValue, OtherValue, Other };
    // How a line ends; only the last line of a file can end in a bare CR or nothing.
    enum class Eol { None, Cr, Lf, CrLf };

    struct Line {
        std::string text;
        Eol eol = Eol::None;
        Kind kind = Kind::Other;
        bool inHive = false;     // Section: a key of HKEY_CURRENT_USER
        bool continues = false;  // the value goes on in the next line (trailing '\')
        std::string key;         // Section: path below the hive's root, as written
        std::string name;        // values: unescaped name, "" for '@'
        std::string value;       // StringValue: unescaped text
    };

    struct Match {
        std::optional<std::size_t> lastValue;    // last value line of the name
        std::optional<std::size_t> lastSection;  // last section of the key
    };

    void Classify();
    Match FindValue(std::string_view key, std::string_view name) const;
    bool HasKeyUtf8(std::string_view key) const;
    Eol DefaultEol() const;
    void InsertLine(std::size_t index, std::string text);

    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Utf8;
    bool bom_ = false;
    bool hasHeader_ = false;
    bool canChange_ = true;
    std::string unchangeable_;  // the bytes of a text that cannot change
};

// Registry export text: each line keeps its bytes and its line end; classification into
// sections and values is recomputed after every change, so the model never drifts from what a
// fresh parse of the serialised text would see.
#include "platform/RegistryText.h"

#include <algorithm>
#include <unordered_map>

#include "platform/Utf.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// The UTF-16 units of little-endian bytes; an odd last byte is left out.
std::u16string UnitsOfUtf16Le(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return units;
}

std::string Utf16LeBytes(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool EqualsFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
    return text;
}

bool IsBlank(std::string_view text) {
    return TrimRight(text).empty();
}

bool IsHeaderText(std::string_view text) {
    text = TrimRight(text);
    return text == kRegistryHeader || text == "REGEDIT4";
}

// Reads a quoted string starting at text[pos] == '"'; only \\ and \" are escapes. Returns the
// position after the closing quote, or npos when the string is malformed.
std::size_t ParseQuoted(std::string_view text, std::size_t pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') return std::string_view::npos;
    out.clear();
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') return i + 1;
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                return std::string_view::npos;
            }
            out.push_back(text[++i]);
        } else {
            out.push_back(c);
        }
    }
    return std::string_view::npos;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string ValueLine(std::string_view name, std::string_view text) {
    std::string line = name.empty() ? std::string(1, '@') : Quote(name);
    line += '=';
    line += Quote(text);
    return line;
}

std::string SectionLine(std::string_view key) {
    std::string line;
    line += '[';
    line.append(kRegistryHive);
    if (!key.empty()) {
        line += '\\';
        line.append(key);
    }
    line += ']';
    return line;
}

bool HasLineBreakOrNull(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\0'; });
}

bool HasEmptyPart(std::u16string_view keyPath) {
    if (keyPath.empty()) return false;  // the hive's root
    std::size_t start = 0;
    while (true) {
        const std::size_t end = keyPath.find(u'\\', start);
        if (end == start || (end == std::u16string_view::npos && start == keyPath.size())) {
            return true;
        }
        if (end == std::u16string_view::npos) return false;
        start = end + 1;
    }
}

}  // namespace

std::string RegistryRewriteProblem(const RegistryText& hive) {
    if (hive.LineCount() > 0 && !hive.HasHeader()) {
        return "not a registry export: its first line is neither \"" +
               std::string(kRegistryHeader) + "\" nor \"REGEDIT4\"";
    }
    if (!hive.CanChange()) return "its UTF-16 text does not decode cleanly; it is not rewritten";
    return {};
}

RegistryText RegistryText::Parse(std::string_view content) {
    RegistryText doc;
    // The lines of a UTF-16LE text are kept in UTF-8 like any other; a clean decoding encodes
    // back to the very same bytes.
    std::string decoded;
    if (content.starts_with(kUtf16LeBom)) {
        doc.encoding_ = Encoding::Utf16Le;
        doc.bom_ = true;
        const std::u16string units = UnitsOfUtf16Le(content.substr(kUtf16LeBom.size()));
        doc.canChange_ = content.size() % 2 == 0 && IsWellFormedUtf16(units);
        if (!doc.canChange_) doc.unchangeable_ = std::string(content);
        decoded = Utf8(units);
        content = decoded;
    } else if (content.starts_with(kBom)) {
        doc.bom_ = true;
        content.remove_prefix(kBom.size());
    }
    while (!content.empty()) {
        Line line;
        const std::size_t newline = content.find('\n');
        if (newline == std::string_view::npos) {
            line.text = std::string(content);
            content = {};
        } else {
            line.text = std::string(content.substr(0, newline));
            line.eol = Eol::Lf;
            content.remove_prefix(newline + 1);
        }
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.eol = line.eol == Eol::Lf ? Eol::CrLf : Eol::Cr;
        }
        doc.lines_.push_back(std::move(line));
    }
    doc.Classify();
    return doc;
}

void RegistryText::Classify() {
    hasHeader_ = false;
    bool continuation = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        line.kind = Kind::Other;
        line.inHive = false;
        line.continues = false;
        line.key.clear();
        line.name.clear();
        line.value.clear();
        const std::string_view text = line.text;
        const std::string_view trimmed = TrimRight(text);
        if (continuation) {
            // The rest of a multi-line hex value.
            line.continues = !trimmed.empty() && trimmed.back() == '\\';
            continuation = line.continues;
            continue;
        }
        if (i == 0 && IsHeaderText(text)) {
            line.kind = Kind::Header;
            hasHeader_ = true;
            continue;
        }
        if (trimmed.empty()) {
            line.kind = Kind::Blank;
            continue;
        }
        if (text.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
            line.kind = Kind::Section;
            const std::string_view inner = trimmed.substr(1, trimmed.size() - 2);
            const std::string_view hive = inner.substr(0, kRegistryHive.size());
            if (EqualsFolded(hive, kRegistryHive)) {
                if (inner.size() == kRegistryHive.size()) {
                    line.inHive = true;
                } else if (inner[kRegistryHive.size()] == '\\') {
                    line.inHive = true;
                    line.key = std::string(inner.substr(kRegistryHive.size() + 1));
                }
            }
            continue;
        }
        std::size_t pos = 0;
        std::string name;
        if (text.front() == '@') {
            pos = 1;
        } else {
            pos = ParseQuoted(text, 0, name);
            if (pos == std::string_view::npos) continue;
        }
        while (pos < text.size() && IsBlankChar(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] != '=') continue;
        ++pos;
        while (pos < text.size() && IsBlankChar(text[pos])) ++pos;
        line.name = std::move(name);
        if (pos < text.size() && text[pos] == '"') {
            std::string value;
            const std::size_t end = ParseQuoted(text, pos, value);
            if (end == std::string_view::npos || !IsBlank(text.substr(end))) {
                line.name.clear();
                continue;  // unreadable; stays Other
            }
            line.kind = Kind::StringValue;
            line.value = std::move(value);
        } else {
            line.kind = Kind::OtherValue;
            line.continues = trimmed.back() == '\\';
            continuation = line.continues;
        }
    }
}

RegistryText::Match RegistryText::FindValue(std::string_view key, std::string_view name) const {
    Match match;
    bool inKey = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            inKey = line.inHive && EqualsFolded(line.key, key);
            if (inKey) match.lastSection = i;
        } else if (inKey && (line.kind == Kind::StringValue || line.kind == Kind::OtherValue) &&
                   EqualsFolded(line.name, name)) {
            match.lastValue = i;
        }
    }
    return match;
}

bool RegistryText::HasKeyUtf8(std::string_view key) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const Line& line) {
        return line.kind == Kind::Section && line.inHive && EqualsFolded(line.key, key);
    });
}

bool RegistryText::HasKey(std::u16string_view keyPath) const {
    return HasKeyUtf8(Utf8(keyPath));
}

std::optional<std::size_t> RegistryText::StringValueLine(std::u16string_view keyPath,
                                                         std::u16string_view name) const {
    const Match match = FindValue(Utf8(keyPath), Utf8(name));
    if (!match.lastValue || lines_[*match.lastValue].kind != Kind::StringValue) return {};
    return match.lastValue;
}

std::optional<std::u16string> RegistryText::ReadString(std::u16string_view keyPath,
                                                       std::u16string_view name) const {
    const std::optional<std::size_t> line = StringValueLine(keyPath, name);
    if (!line) return {};
    return Utf16(lines_[*line].value);
}

std::vector<RegistryText::StringValue> RegistryText::StringValues() const {
    struct Found {
        const std::string* key;
        const Line* first;
        const Line* last;  // the line that counts
    };
    std::vector<Found> found;
    std::unordered_map<std::string, std::size_t> index;  // folded key, null, folded name
    const std::string* key = nullptr;                    // the section's; none outside the hive
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section) {
            key = line.inHive ? &line.key : nullptr;
            continue;
        }
        if (!key || (line.kind != Kind::StringValue && line.kind != Kind::OtherValue)) continue;
        std::string folded = *key + '\0' + line.name;
        std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
        const auto [it, added] = index.try_emplace(std::move(folded), found.size());
        if (added)
            found.push_back({key, &line, &line});
        else
            found[it->second].last = &line;
    }
    std::vector<StringValue> values;
    for (const Found& f : found) {
        if (f.last->kind == Kind::StringValue)
            values.push_back({Utf16(*f.key), Utf16(f.first->name), Utf16(f.last->value)});
    }
    return values;
}

RegistryText::Eol RegistryText::DefaultEol() const {
    for (const Line& line : lines_) {
        if (line.eol == Eol::Lf || line.eol == Eol::CrLf) return line.eol;
    }
    return Eol::Lf;
}

void RegistryText::InsertLine(std::size_t index, std::string text) {
    Line line;
    line.text = std::move(text);
    line.eol = DefaultEol();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

bool RegistryText::SetString(std::u16string_view keyPath, std::u16string_view name,
                             std::u16string_view text) {
    if (!canChange_ || HasEmptyPart(keyPath) || HasLineBreakOrNull(keyPath) ||
        HasLineBreakOrNull(name) || HasLineBreakOrNull(text)) {
        return false;
    }
    const std::string key = Utf8(keyPath);
    const std::string nameUtf8 = Utf8(name);
    std::string newLine = ValueLine(nameUtf8, Utf8(text));

    const Match match = FindValue(key, nameUtf8);
    if (match.lastValue && lines_[*match.lastValue].kind == Kind::StringValue) {
        lines_[*match.lastValue].text = std::move(newLine);
    } else if (match.lastSection) {
        // After the last line of the section that is not blank, so that the blank line that
        // separates it from the next section stays where it is.
        std::size_t last = *match.lastSection;
        for (std::size_t i = last + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
            if (!IsBlank(lines_[i].text)) last = i;
        }
        std::size_t at = last + 1;
        // A dangling continuation would swallow the new line; let a blank line take that part.
        if (lines_[last].continues) InsertLine(at++, std::string());
        InsertLine(at, std::move(newLine));
    } else {
        // Creating a key creates the missing keys on its path, each with a section of its own.
        std::vector<std::string> missing;
        for (std::size_t from = 0;;) {
            const std::size_t end = keyPath.find(u'\\', from);
            const std::string prefix = Utf8(keyPath.substr(0, end));
            if (!HasKeyUtf8(prefix)) missing.push_back(prefix);
            if (end == std::u16string_view::npos) break;
            from = end + 1;
        }
        for (const std::string& sectionKey : missing) {
            // The blank line also ends a dangling continuation before the section starts.
            if (!lines_.empty() && !IsBlank(lines_.back().text)) {
                InsertLine(lines_.size(), std::string());
            }
            InsertLine(lines_.size(), SectionLine(sectionKey));
        }
        InsertLine(lines_.size(), std::move(newLine));
    }
    if (!hasHeader_) {
        InsertLine(0, std::string());
        InsertLine(0, std::string(kRegistryHeader));
    }
    Classify();
    return true;
}

std::string RegistryText::Serialize() const {
    if (!canChange_) return unchangeable_;
    std::string out;
    if (bom_ && encoding_ == Encoding::Utf8) out += kBom;
    const Eol fallback = DefaultEol();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        out += line.text;
        // A line that used to end the file without a full line end gets one once others
        // follow; a bare CR becomes CR LF, so that no byte of the line is lost.
        Eol eol = line.eol;
        if (i + 1 < lines_.size()) {
            if (eol == Eol::None) eol = fallback;
            if (eol == Eol::Cr) eol = Eol::CrLf;
        }
        switch (eol) {
            case Eol::None:
                break;
            case Eol::Cr:
                out += '\r';
                break;
            case Eol::Lf:
                out += '\n';
                break;
            case Eol::CrLf:
                out += "\r\n";
                break;
        }
    }
    if (encoding_ == Encoding::Utf16Le) return std::string(kUtf16LeBom) + Utf16LeBytes(Utf16(out));
    return out;
}

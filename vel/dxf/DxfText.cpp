// DxfText.cpp - code pages through iconv (on Windows through the system's code pages), and the
// \U+XXXX escapes, which neither knows.
#include "vel/dxf/DxfText.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <vector>

#include "vel/kernel/Text.h"

namespace vel {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Well-formed UTF-8 with at least one character beyond ASCII.
bool isUtf8BeyondAscii(std::string_view s) {
    bool beyond = false;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80             ? 1
                      : (c & 0xE0) == 0xC0 ? 2
                      : (c & 0xF0) == 0xE0 ? 3
                      : (c & 0xF8) == 0xF0 ? 4
                                           : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        beyond = beyond || n > 1;
        i += static_cast<size_t>(n);
    }
    return beyond;
}

#if defined(_WIN32)

// The Windows code page of an iconv name ("CP949", "ISO-8859-2", "JOHAB"); 0 for none.
UINT codePageOf(const std::string& encoding) {
    const auto number = [](std::string_view digits) -> UINT {
        UINT n = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        return ec == std::errc() && end == digits.data() + digits.size() ? n : 0;
    };
    if (encoding == "UTF-8") return CP_UTF8;
    if (encoding == "JOHAB") return 1361;
    if (encoding == "BIG5") return 950;
    if (encoding == "GB2312") return 936;
    if (encoding.rfind("CP", 0) == 0) return number(std::string_view(encoding).substr(2));
    if (encoding.rfind("ISO-8859-", 0) == 0) {
        const UINT part = number(std::string_view(encoding).substr(9));
        return part > 0 ? 28590 + part : 0;
    }
    return 0;
}

// The characters of `bytes` in the code page; false when they are not whole characters of it.
bool decode(UINT page, std::string_view bytes, std::u16string& out) {
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(units));
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(out.data() + at), units);
    return true;
}

// Decodes bytes of `encoding` to UTF-8 as iconv does below: a byte that does not start a whole
// character becomes U+FFFD.
std::string decodeBytes(std::string_view raw, const std::string& encoding) {
    const UINT page = codePageOf(encoding);
    if (page == 0 || !IsValidCodePage(page)) return std::string(raw);
    std::u16string units;
    if (raw.size() < static_cast<std::size_t>(INT_MAX) && decode(page, raw, units))
        return toUtf8(units);
    units.clear();
    // One character at a time: the shortest run of up to four bytes that is one.
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t length = 1;
        while (length <= 4 && i + length <= raw.size() &&
               !decode(page, raw.substr(i, length), units))
            ++length;
        if (length > 4 || i + length > raw.size()) {
            units += u'\uFFFD';
            length = 1;
        }
        i += length;
    }
    return toUtf8(units);
}

#else

// Decodes bytes of `encoding` to UTF-8; a byte that does not decode becomes U+FFFD.
std::string decodeBytes(std::string_view raw, const std::string& encoding) {
    iconv_t cd = iconv_open("UTF-8", encoding.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(raw);
    std::string out;
    std::vector<char> buffer(raw.size() * 4 + 16);
    char* in = const_cast<char*>(raw.data());
    size_t inLeft = raw.size();
    while (inLeft > 0) {
        char* to = buffer.data();
        size_t toLeft = buffer.size();
        const size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
        out.append(buffer.data(), static_cast<size_t>(to - buffer.data()));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += kReplacement;  // an invalid or cut sequence: pass over one byte
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

#endif

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The UTF-16 unit of the \U+XXXX escape at s[i], if one stands there.
bool escapeAt(const std::string& s, size_t i, char16_t& unit) {
    if (i + 7 > s.size() || s[i] != '\\' || (s[i + 1] != 'U' && s[i + 1] != 'u') || s[i + 2] != '+')
        return false;
    unsigned value = 0;
    for (size_t k = i + 3; k < i + 7; ++k) {
        const int v = hexValue(s[k]);
        if (v < 0) return false;
        value = value * 16 + static_cast<unsigned>(v);
    }
    unit = static_cast<char16_t>(value);
    return true;
}

// \U+XXXX escapes as the characters they stand for (a character beyond the first plane as
// the two halves of a surrogate pair); a broken escape stays as written.
std::string decodeEscapes(const std::string& s) {
    if (s.find("\\U+") == std::string::npos && s.find("\\u+") == std::string::npos) return s;
    std::string out;
    std::u16string units;  // escapes in a row, decoded together so that pairs join
    for (size_t i = 0; i < s.size();) {
        char16_t unit = 0;
        if (escapeAt(s, i, unit)) {
            units += unit;
            i += 7;
            continue;
        }
        out += toUtf8(units);
        units.clear();
        out += s[i++];
    }
    return out + toUtf8(units);
}

}  // namespace

void DxfTextDecoder::setVersion(std::string_view acadver) {
    // AC1021 is the 2007 format, the first whose strings are UTF-8.
    const std::string v = asciiUpper(acadver);
    utf8_ = v.size() == 6 && v.rfind("AC", 0) == 0 && v.substr(2) >= "1021";
}

void DxfTextDecoder::setCodePage(std::string_view dwgcodepage) {
    const std::string name = iconvName(dwgcodepage);
    if (!name.empty()) encoding_ = name;
}

std::string DxfTextDecoder::iconvName(std::string_view dwgcodepage) {
    const std::string page = asciiUpper(dwgcodepage);
    if (page.rfind("ANSI_", 0) == 0) {
        const std::string number = page.substr(5);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
            return {};
        if (number == "1361") return "JOHAB";
        return "CP" + number;
    }
    if (page.rfind("DOS", 0) == 0) {
        const std::string number = page.substr(3);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
            return {};
        return "CP" + number;
    }
    if (page.rfind("ISO8859-", 0) == 0) return "ISO-8859-" + page.substr(8);
    if (page == "BIG5" || page == "GB2312" || page == "JOHAB") return page;
    if (page == "KSC5601") return "CP949";
    return {};
}

std::string DxfTextDecoder::toUtf8(std::string_view raw) const {
    const bool ascii = std::all_of(raw.begin(), raw.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return decodeEscapes(std::string(raw));
    // Many writers put UTF-8 into files that keep the default Latin code page; such bytes are
    // almost never meant as Latin text.
    if (utf8_ || (encoding_ == "CP1252" && isUtf8BeyondAscii(raw)))
        return decodeEscapes(isUtf8BeyondAscii(raw) ? std::string(raw) : decodeBytes(raw, "UTF-8"));
    return decodeEscapes(decodeBytes(raw, encoding_));
}

}  // namespace vel

// Text-to-number conversions. The real conversion extracts the decimal prefix itself and hands
// the plain ASCII digits to std::from_chars, which is exact and independent of the locale.
#include "settings/TextConversions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace {

bool IsDigit16(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Index of the first character after leading white space.
std::size_t SkipSpace(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace16(text[i])) ++i;
    return i;
}

}  // namespace

bool IsSpace16(char16_t c) {
    if ((c >= 0x09 && c <= 0x0D) || c == 0x20) return true;
    switch (c) {
        case 0x85:
        case 0xA0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

int32_t TextToInt(const std::u16string& text) {
    std::size_t i = SkipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing once it is past the 32-bit range.
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit16(text[i]); ++i) {
        if (magnitude <= kCap) magnitude = magnitude * 10 + (text[i] - u'0');
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

double TextToReal(const std::u16string& text) {
    std::size_t i = SkipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string number;
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit16(text[i]); ++i, ++digits) {
        number.push_back(static_cast<char>(text[i]));
    }
    if (i < text.size() && text[i] == u'.') {
        number.push_back('.');
        for (++i; i < text.size() && IsDigit16(text[i]); ++i, ++digits) {
            number.push_back(static_cast<char>(text[i]));
        }
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponent.push_back(static_cast<char>(text[j]));
            ++j;
        }
        if (j < text.size() && IsDigit16(text[j])) {
            for (; j < text.size() && IsDigit16(text[j]); ++j) {
                exponent.push_back(static_cast<char>(text[j]));
            }
            number += exponent;
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    // Out of range either way (overflow or underflow) is no usable number.
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

int32_t TextToFlag(const std::u16string& text) {
    return text == u"1" ? 1 : 0;
}

std::u16string OneDecimalText(double value) {
    std::array<char, 400> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::fixed, 1);
    if (error != std::errc()) return u"0.0";
    return std::u16string(digits.data(), end);
}

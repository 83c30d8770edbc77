// Conversions of stored setting texts to numbers and flags, with the leading-prefix semantics
// of the C runtime's _wtoi and _wtof, and the one-decimal text in which values are shown.
#pragma once

#include <cstdint>
#include <string>

// The leading decimal integer after optional white space and sign; stops at the first other
// character; no digits give 0. Values beyond the 32-bit range clamp to INT32_MIN / INT32_MAX.
int32_t TextToInt(const std::u16string& text);

// The leading decimal number after optional white space and sign: digits with an optional
// '.' and fraction (at least one digit in all), then an exponent only when it has digits.
// Infinity, NaN and hexadecimal forms are not numbers; neither is a result that is not finite
// (1e999). Anything that is not a number gives 0.0.
double TextToReal(const std::u16string& text);

// 1 when the text is exactly "1", otherwise 0 (so "01", "true", " 1" and "" give 0).
int32_t TextToFlag(const std::u16string& text);

// White space as the C runtime's wide-character classification sees it.
bool IsSpace16(char16_t c);

// The digits of "%.1f" in the C locale, whatever locale the process has: values
// shown to the user read "2.5", never "2,5". Any double fits, the largest with
// all its 309 integer digits.
std::u16string OneDecimalText(double value);

// Text conversions of stored settings, UTF-8/UTF-16 conversion, rounding and the stored text
// form of lengths.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/Utf.h"
#include "settings/InsertSettings.h"
#include "settings/Rounding.h"
#include "settings/TextConversions.h"

TEST(TextToInt, TakesTheLeadingDecimalInteger) {
    EXPECT_EQ(TextToInt(u"5"), 5);
    EXPECT_EQ(TextToInt(u" \t\n-12abc"), -12);
    EXPECT_EQ(TextToInt(u"+7"), 7);
    EXPECT_EQ(TextToInt(u"\u3000"
                        u"42"),
              42);  // ideographic space, as typed with an IME
    EXPECT_EQ(TextToInt(u"1e3"), 1);
    for (const std::u16string text : {u"", u"abc", u"- 5", u"+", u"0x10", u"\uFF15"}) {
        EXPECT_EQ(TextToInt(text), 0) << Utf8(text);
    }
}

TEST(TextToInt, ClampsOutOfRangeValues) {
    EXPECT_EQ(TextToInt(u"2147483647"), INT32_MAX);
    EXPECT_EQ(TextToInt(u"2147483648"), INT32_MAX);
    EXPECT_EQ(TextToInt(u"99999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(TextToInt(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(TextToInt(u"-2147483649"), INT32_MIN);
    EXPECT_EQ(TextToInt(u"-99999999999999999999999999"), INT32_MIN);
}

TEST(TextToReal, TakesTheLeadingDecimalNumber) {
    EXPECT_EQ(TextToReal(u"12.5mm"), 12.5);
    EXPECT_EQ(TextToReal(u"  -3.25"), -3.25);
    EXPECT_EQ(TextToReal(u"+4"), 4.0);
    EXPECT_EQ(TextToReal(u".5"), 0.5);
    EXPECT_EQ(TextToReal(u"5."), 5.0);
    EXPECT_EQ(TextToReal(u"1E2"), 100.0);
    EXPECT_EQ(TextToReal(u"2.5e-1x"), 0.25);
    EXPECT_EQ(TextToReal(u"0.1"), 0.1);  // exact, not a sum of tenths
    EXPECT_EQ(TextToReal(u"1e"), 1.0);   // an exponent without digits is not taken
    EXPECT_EQ(TextToReal(u"1e+x"), 1.0);
    EXPECT_EQ(TextToReal(u"1.5.5"), 1.5);
}

TEST(TextToReal, TextsWithoutAFiniteDecimalNumberGiveZero) {
    for (const std::u16string text : {u"", u"abc", u".", u"-", u"e5", u"1e999", u"-1e999", u"nan",
                                      u"inf", u"-infinity", u"0x10", u"1e-999"}) {
        const double value = TextToReal(text);
        EXPECT_EQ(value, 0.0) << Utf8(text);
    }
    EXPECT_EQ(TextToReal(std::u16string(400, u'9')), 0.0);  // 10^400 is not finite
    EXPECT_EQ(TextToReal(u"0." + std::u16string(400, u'0') + u"1"), 0.0);
}

TEST(TextToFlag, OnlyTheTextOneIsSet) {
    EXPECT_EQ(TextToFlag(u"1"), 1);
    for (const std::u16string text : {u"TRUE", u"true", u"01", u" 1", u"1 ", u"", u"2", u"0"}) {
        EXPECT_EQ(TextToFlag(text), 0) << Utf8(text);
    }
}

TEST(Utf, ValidTextRoundTrips) {
    const std::u16string text = u"레이어 \u00e9 \U0001F600 \"q\\\"";
    EXPECT_EQ(Utf16(Utf8(text)), text);
    EXPECT_EQ(Utf8(u"\uD55C"), "\xED\x95\x9C");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf16("a\xC0\xAF"
                    "b"),
              u"a\uFFFD\uFFFDb");                                       // overlong
    EXPECT_EQ(Utf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
    EXPECT_EQ(Utf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
    EXPECT_EQ(Utf16("x\xE2\x82"), u"x\uFFFD");                          // cut short at the end
    EXPECT_EQ(Utf16("\xE2\x82x"), u"\uFFFDx");
    EXPECT_EQ(Utf8(u"a\xD800"
                   u"b\xDC00"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

TEST(RoundToPlaces, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(RoundToPlaces(12.35, 1), 12.4);
    EXPECT_EQ(RoundToPlaces(12.34, 1), 12.3);
    EXPECT_EQ(RoundToPlaces(-2.25, 1), -2.3);
    EXPECT_EQ(RoundToPlaces(7.5, 0), 8.0);
    EXPECT_EQ(RoundToPlaces(0.05, 1), 0.1);
    EXPECT_EQ(RoundToPlaces(-0.05, 1), -0.1);
    EXPECT_EQ(RoundToPlaces(2.5, 0), 3.0);
    EXPECT_EQ(RoundToPlaces(-2.5, 0), -3.0);
    EXPECT_EQ(RoundToPlaces(1.005, 2), 1.0);  // 1.005 is stored just below the half
    EXPECT_EQ(RoundToPlaces(1250.0, -2), 1300.0);
    EXPECT_EQ(RoundToPlaces(-1234.5, -2), -1200.0);
}

TEST(RoundToPlaces, StaysWithinHalfAStepAndIsSymmetric) {
    for (double v = -50.0; v <= 50.0; v += 0.0137) {
        for (int places : {0, 1, 2, 3}) {
            const double r = RoundToPlaces(v, places);
            EXPECT_LE(std::abs(r - v), 0.5 * std::pow(10.0, -places) + 1e-9);
            EXPECT_EQ(RoundToPlaces(-v, places), r == 0.0 ? 0.0 : -r);
        }
    }
}

TEST(RoundToPlaces, AnyPlaceCountAndUnroundableValuesAreSafe) {
    EXPECT_EQ(RoundToPlaces(12.34, INT_MAX), 12.34);  // scale overflows: value unchanged
    EXPECT_EQ(RoundToPlaces(12.34, 400), 12.34);
    EXPECT_EQ(RoundToPlaces(12.34, INT_MIN), 0.0);  // scale underflows: everything rounds to 0
    EXPECT_EQ(RoundToPlaces(1e300, -400), 0.0);
    EXPECT_EQ(RoundToPlaces(0.0, INT_MAX), 0.0);
    EXPECT_EQ(RoundToPlaces(1.0, 19), 1.0);  // 1e19 does not fit 64 bits
    EXPECT_EQ(RoundToPlaces(1e300, 1), 1e300);
    EXPECT_EQ(RoundToPlaces(-9.3e18, 0), -9.3e18);
    EXPECT_EQ(RoundToPlaces(std::numeric_limits<double>::max(), 1),
              std::numeric_limits<double>::max());
    EXPECT_TRUE(std::isnan(RoundToPlaces(std::nan(""), 1)));
    EXPECT_EQ(RoundToPlaces(-std::numeric_limits<double>::infinity(), 0),
              -std::numeric_limits<double>::infinity());
    EXPECT_FALSE(std::signbit(RoundToPlaces(-0.04, 1)));
}

TEST(FormatSettingNumber, KeepsOneRoundedDecimal) {
    EXPECT_EQ(FormatSettingNumber(5), u"5.0");
    EXPECT_EQ(FormatSettingNumber(2.25), u"2.3");
    EXPECT_EQ(FormatSettingNumber(12.345), u"12.3");
    EXPECT_EQ(FormatSettingNumber(100), u"100.0");
    EXPECT_EQ(FormatSettingNumber(-1.25), u"-1.3");
    EXPECT_EQ(FormatSettingNumber(0.04), u"0.0");
    EXPECT_EQ(FormatSettingNumber(-0.04), u"0.0");
    EXPECT_EQ(FormatSettingNumber(-0.0), u"0.0");
    EXPECT_EQ(FormatSettingNumber(1234567.89), u"1234567.9");
}

TEST(FormatSettingNumber, HugeValuesKeepAllTheirDigits) {
    // 1e19 * 10 does not fit a 64-bit integer: it is stored unrounded, readable.
    EXPECT_EQ(FormatSettingNumber(1e19), u"10000000000000000000.0");
    EXPECT_EQ(TextToReal(FormatSettingNumber(1e19)), 1e19);
    EXPECT_EQ(FormatSettingNumber(-1e19), u"-10000000000000000000.0");
    const std::u16string big = FormatSettingNumber(1e300);
    EXPECT_EQ(big.size(), 301u + 2u);
    EXPECT_EQ(big.substr(0, 2), u"10");
    EXPECT_EQ(big.substr(big.size() - 2), u".0");
    const std::u16string most = FormatSettingNumber(-std::numeric_limits<double>::max());
    EXPECT_EQ(most.size(), 1u + 309u + 2u);
    EXPECT_EQ(TextToReal(most), -std::numeric_limits<double>::max());
}

TEST(FormatSettingNumber, ReadsBackAsTheRoundedValue) {
    for (double v : {0.0, 0.05, 1.15, 2.45, -7.75, 123.456, 9999.95, -0.15, 1e15 + 0.3}) {
        EXPECT_EQ(TextToReal(FormatSettingNumber(v)), RoundToPlaces(v, 1)) << v;
    }
}

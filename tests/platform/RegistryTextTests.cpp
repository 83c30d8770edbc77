// The registry export text: reading string values, and changes that keep every other line.
#include <gtest/gtest.h>

#include "platform/RegistryText.h"

namespace {

const std::u16string kKey = u"SOFTWARE\\Tolvane\\VEL\\Orvanta";

// A hive with a bit of everything that other programs leave in such files.
const std::string kMixed =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; exported by hand\r\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
    "\"mType\"=\"9\"\r\n"
    "\r\n"
    "[hkey_current_user\\software\\tolvane\\vel\\orvanta]\r\n"
    "\"MTYPE\"=\"3\"\r\n"
    "\"Count\"=dword:00000005\r\n"
    "\"Blob\"=hex:00,01,\\\r\n"
    "  \"Fake\"=\"not a value\"\r\n"
    "\"Odd\"=\"bad \\n escape\"\r\n"
    "@=\"default\"\r\n"
    "garbage line\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\r\n"
    "\"Machine\"=\"x\"\r\n";

}  // namespace

TEST(RegistryText, UnchangedTextSerialisesByteForByte) {
    for (const std::string& text : {kMixed, std::string("\xEF\xBB\xBFno header\r"),
                                    std::string("a\n\nb"), std::string(), std::string("\n\r\n")}) {
        EXPECT_EQ(RegistryText::Parse(text).Serialize(), text);
    }
}

TEST(RegistryText, ReadsStringValuesOfTheKeyIgnoringLetterCase) {
    const RegistryText hive = RegistryText::Parse(kMixed);
    EXPECT_TRUE(hive.HasHeader());
    EXPECT_TRUE(hive.HasKey(u"Software\\TOLVANE\\vel\\Orvanta"));
    EXPECT_EQ(hive.ReadString(kKey, u"mType"), u"3");
    EXPECT_EQ(hive.ReadString(kKey, u""), u"default");  // '@' is the key's unnamed value
    // Other kinds, continuation lines, malformed lines and other hives read as missing.
    for (const std::u16string name : {u"Count", u"Blob", u"Fake", u"Odd", u"Machine"}) {
        EXPECT_FALSE(hive.ReadString(kKey, name).has_value());
    }
    EXPECT_FALSE(hive.ReadString(u"SOFTWARE\\Tolvane", u"mType").has_value());
}

TEST(RegistryText, TheLastDefinitionOfAValueCounts) {
    const RegistryText hive = RegistryText::Parse(
        "[HKEY_CURRENT_USER\\K]\n\"a\"=\"1\"\n\"b\"=\"1\"\n\"c\"=\"1\"\n"
        "[HKEY_CURRENT_USER\\K]\n\"a\"=\"2\"\n\"b\"=dword:00000002\n"
        "[-HKEY_CURRENT_USER\\K]\n\"c\"=\"3\"\n");
    EXPECT_EQ(hive.ReadString(u"K", u"a"), u"2");
    EXPECT_FALSE(hive.ReadString(u"K", u"b").has_value());  // now a number
    EXPECT_EQ(hive.ReadString(u"K", u"c"), u"1");           // not under a section of the key
}

TEST(RegistryText, SettingAValueReplacesItsLineInPlace) {
    RegistryText hive = RegistryText::Parse(kMixed);
    ASSERT_TRUE(hive.SetString(kKey, u"mtype", u"4"));
    std::string expected = kMixed;
    expected.replace(expected.find("\"MTYPE\"=\"3\""), 11, "\"mtype\"=\"4\"");
    EXPECT_EQ(hive.Serialize(), expected);
}

TEST(RegistryText, ANewValueGoesToTheEndOfItsSection) {
    RegistryText hive = RegistryText::Parse(kMixed);
    ASSERT_TRUE(hive.SetString(kKey, u"Count", u"6"));  // a number of that name stays as it is
    std::string expected = kMixed;
    expected.insert(expected.find("\r\n\r\n[HKEY_LOCAL") + 2, "\"Count\"=\"6\"\r\n");
    EXPECT_EQ(hive.Serialize(), expected);
    EXPECT_EQ(RegistryText::Parse(hive.Serialize()).ReadString(kKey, u"Count"), u"6");
}

TEST(RegistryText, ANewKeyGetsItsSectionAndThoseOfMissingParents) {
    RegistryText hive = RegistryText::Parse("[HKEY_CURRENT_USER\\SOFTWARE]\n\"x\"=\"y\"");
    ASSERT_TRUE(hive.SetString(kKey, u"mLayer", u"7"));
    EXPECT_EQ(hive.Serialize(),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE]\n\"x\"=\"y\"\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\n\"mLayer\"=\"7\"\n");
}

TEST(RegistryText, EscapesAndNonAsciiTextRoundTrip) {
    const std::u16string text = u"C:\\dir\\\"q\" 레이어 \\\\";
    RegistryText hive;
    ASSERT_TRUE(hive.SetString(kKey, u"na\"me\\", text));
    const std::string serialised = hive.Serialize();
    EXPECT_NE(serialised.find("\"na\\\"me\\\\\"=\"C:\\\\dir\\\\\\\"q\\\" "), std::string::npos);
    EXPECT_EQ(RegistryText::Parse(serialised).ReadString(kKey, u"NA\"ME\\"), text);
}

TEST(RegistryText, UnstorableKeysNamesAndTextsChangeNothing) {
    RegistryText hive = RegistryText::Parse(kMixed);
    EXPECT_FALSE(hive.SetString(u"SOFTWARE\\\\Tolvane", u"a", u"b"));
    EXPECT_FALSE(hive.SetString(u"SOFTWARE\\", u"a", u"b"));
    EXPECT_FALSE(hive.SetString(u"\\SOFTWARE", u"a", u"b"));
    EXPECT_FALSE(hive.SetString(kKey, u"a", u"two\nlines"));
    EXPECT_FALSE(hive.SetString(kKey, u"a\r", u"b"));
    EXPECT_EQ(hive.Serialize(), kMixed);
}

TEST(RegistryText, ChangesKeepCrlfAndEndAnUnfinishedLastLine) {
    RegistryText hive = RegistryText::Parse("; note\r\n[HKEY_CURRENT_USER\\K]\r\n\"a\"=\"1\"");
    ASSERT_TRUE(hive.SetString(u"K", u"b", u"2"));
    EXPECT_EQ(hive.Serialize(),
              "Windows Registry Editor Version 5.00\r\n\r\n; note\r\n"
              "[HKEY_CURRENT_USER\\K]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n");
}

TEST(RegistryText, ALastLineEndingInABareCarriageReturnKeepsItsBytes) {
    RegistryText hive = RegistryText::Parse("x\r\r");
    ASSERT_TRUE(hive.SetString(u"K", u"a", u"1"));
    EXPECT_EQ(hive.Serialize().find("\nx\r\r\n"),
              std::string("Windows Registry Editor Version 5.00\n").size());
}

TEST(RegistryText, ANewValueIsNotSwallowedByADanglingContinuation) {
    RegistryText hive = RegistryText::Parse("[HKEY_CURRENT_USER\\K]\n\"h\"=hex:01,\\\n");
    ASSERT_TRUE(hive.SetString(u"K", u"a", u"1"));
    EXPECT_EQ(RegistryText::Parse(hive.Serialize()).ReadString(u"K", u"a"), u"1");
}

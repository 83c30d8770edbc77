// velhost's registry file on Windows (run under Wine, against its registry): the file's values
// stand in for the current user's registry during a session and come back into the file after
// it, in the file's own encoding, while the user's own registry stays as it was.
#include <windows.h>
// windows.h's old pointer qualifiers would swallow the kernel's near().
#undef near
#undef far

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/RegistryStore.h"
#include "platform/Utf.h"
#include "vel/io/DrawingFile.h"
#include "vel/runtime/Platform.h"

namespace {

namespace fs = std::filesystem;

const std::u16string kKey = u"SOFTWARE\\Tolvane\\VEL\\Orvanta";

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16Le(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : Utf16(utf8)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Value(const std::u16string& key, const std::u16string& name) {
    std::u16string text = u"<missing>";
    CurrentUserRegistry().readString(key, name, text);
    return text;
}

class SessionRegistryFile : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder named beyond ASCII: the file's name crosses into the wide calls.
        folder_ = fs::temp_directory_path() /
                  fs::path(u"velhost-레지스트리-" + Utf16(std::to_string(GetCurrentProcessId())));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Tolvane\\VEL\\Orvanta");
    }
    void TearDown() override {
        fs::remove_all(folder_);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Tolvane\\VEL\\Orvanta");
    }
    fs::path File(const std::string& name) const { return folder_ / fs::path(Utf16(name)); }
    static std::string Name(const fs::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }

    fs::path folder_;
};

const std::string kExport =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\r\n"
    "\"mType\"=\"1\"\r\n"
    "\"Text\"=\"그림 \\\"A\\\" \\\\ B\"\r\n"
    "\"Twice\"=\"old\"\r\n"
    "\"Count\"=dword:00000005\r\n"
    "\"twice\"=\"new\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
    "\"Machine\"=\"x\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta\\Sub]\r\n"
    "\"v\"=\"w\"\r\n";

}  // namespace

TEST_F(SessionRegistryFile, ItsStringValuesAreTheUsersRegistryAndStoredOnesComeBackInPlace) {
    const fs::path file = File("settings.reg");
    Write(file, kExport);
    {
        vel::SessionRegistry registry(Name(file));
        EXPECT_EQ(Value(kKey, u"mType"), u"1");
        EXPECT_EQ(Value(kKey, u"TEXT"), u"그림 \"A\" \\ B");
        EXPECT_EQ(Value(kKey, u"Twice"), u"new");  // the last line counts
        EXPECT_EQ(Value(kKey, u"Count"), u"<missing>");
        EXPECT_EQ(Value(u"SOFTWARE\\Other", u"Machine"), u"<missing>");
        EXPECT_EQ(Value(kKey + u"\\Sub", u"v"), u"w");

        const RegistryValue stored[] = {{u"mType", u"2"}, {u"Added", u"새 값"}};
        ASSERT_TRUE(CurrentUserRegistry().writeStrings(kKey, stored));
        ASSERT_TRUE(CurrentUserRegistry().writeString(kKey + u"\\New", u"n", u"1"));
        registry.save();
    }
    EXPECT_EQ(Read(file),
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\r\n"
              "\"mType\"=\"2\"\r\n"
              "\"Text\"=\"그림 \\\"A\\\" \\\\ B\"\r\n"
              "\"Twice\"=\"old\"\r\n"
              "\"Count\"=dword:00000005\r\n"
              "\"twice\"=\"new\"\r\n"
              "\"Added\"=\"새 값\"\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
              "\"Machine\"=\"x\"\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta\\Sub]\r\n"
              "\"v\"=\"w\"\r\n"
              // A new key gets sections for the keys on its way, as the file store writes it.
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta\\New]\r\n"
              "\"n\"=\"1\"\r\n");
}

TEST_F(SessionRegistryFile, AUtf16ExportComesBackByteForByteAndStaysUtf16WhenChanged) {
    const fs::path file = File("regedit.reg");
    Write(file, Utf16Le(kExport));
    {
        vel::SessionRegistry registry(Name(file));
        EXPECT_EQ(Value(kKey, u"Text"), u"그림 \"A\" \\ B");
        // Values stored as they were change nothing.
        ASSERT_TRUE(CurrentUserRegistry().writeString(kKey, u"mType", u"1"));
        registry.save();
    }
    EXPECT_EQ(Read(file), Utf16Le(kExport));
    {
        vel::SessionRegistry registry(Name(file));
        ASSERT_TRUE(CurrentUserRegistry().writeString(kKey, u"Text", u"바뀐"));
        registry.save();
    }
    std::string expected = kExport;
    expected.replace(expected.find("그림 "), std::string("그림 \\\"A\\\" \\\\ B").size(), "바뀐");
    EXPECT_EQ(Read(file), Utf16Le(expected));
}

TEST_F(SessionRegistryFile, TheUsersOwnRegistryStaysAsItWasAndTheSessionsKeyGoes) {
    ASSERT_TRUE(CurrentUserRegistry().writeString(kKey, u"mine", u"kept"));
    const fs::path file = File("own.reg");
    Write(file, kExport);
    {
        vel::SessionRegistry registry(Name(file));
        EXPECT_EQ(Value(kKey, u"mine"), u"<missing>");
        ASSERT_TRUE(CurrentUserRegistry().writeString(kKey, u"mine", u"session"));
        registry.save();
    }
    EXPECT_EQ(Value(kKey, u"mine"), u"kept");
    EXPECT_EQ(Value(kKey, u"mType"), u"<missing>");
    const std::wstring sessionKey =
        L"Software\\Tolvane\\VEL\\velhost\\session-" + std::to_wstring(GetCurrentProcessId());
    HKEY left = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, sessionKey.c_str(), 0, KEY_READ, &left),
              ERROR_FILE_NOT_FOUND);
    EXPECT_NE(Read(file).find("\"mine\"=\"session\""), std::string::npos);
}

TEST_F(SessionRegistryFile, AFileThatIsNoRegistryExportStopsTheSessionUntouched) {
    const fs::path file = File("notes.txt");
    Write(file, "hello\n");
    try {
        vel::SessionRegistry registry(Name(file));
        FAIL() << "a file that is not a registry export was taken";
    } catch (const vel::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("not a registry export"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Read(file), "hello\n");
    EXPECT_THROW(vel::SessionRegistry(Name(folder_)), vel::FileError);  // a folder
}

TEST_F(SessionRegistryFile, AMissingFileIsAnEmptyRegistryWrittenOnlyOnceSomethingIsStored) {
    const fs::path file = File("new/settings.reg");
    {
        vel::SessionRegistry registry(Name(file));
        EXPECT_EQ(Value(kKey, u"mType"), u"<missing>");
        registry.save();
    }
    EXPECT_FALSE(fs::exists(file));
    {
        // A session that ends by an error still leaves its values in the file.
        vel::SessionRegistry registry(Name(file));
        ASSERT_TRUE(CurrentUserRegistry().writeString(kKey, u"mType", u"2"));
    }
    EXPECT_EQ(Read(file),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\n"
              "\"mType\"=\"2\"\n");
}

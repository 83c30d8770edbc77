// The registry file as the current user's registry: location, the registry helpers on top of
// it, preservation of foreign content, encodings, files it must not rewrite, long texts,
// symbolic links, and concurrent writers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/Utf.h"
#include "settings/SettingsRegistry.h"
#include "tests/support/KillMidWrite.h"
#include "tests/support/RegistryFiles.h"

namespace {

std::u16string Name(int writer, int index) {
    return Utf16("w" + std::to_string(writer) + "_" + std::to_string(index));
}

std::u16string Repeat(const std::u16string& text, int times) {
    std::u16string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Sets an environment variable for the scope and restores the earlier state.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        ::setenv(name, value, 1);
    }
    ~ScopedEnv() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// Writer processes, each through its path of `paths` in turn, set values of their own while
// reading one that is there all along; no value may be lost and no read may fail.
void ExpectConcurrentWritersLoseNoValue(const std::vector<std::string>& paths) {
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"anchor", u"A"));
    constexpr int kWriters = 6;
    constexpr int kValues = 30;
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::setenv("VEL_REGISTRY", paths[writer % paths.size()].c_str(), 1);
            bool ok = true;
            for (int i = 0; i < kValues; ++i) {
                ok = WriteSettingString(u"Orvanta", Name(writer, i), Name(writer, i)) && ok;
                std::u16string out;  // readers never see a partial file
                ok = ReadSettingString(u"Orvanta", u"anchor", out) && out == u"A" && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int i = 0; i < kValues; ++i) {
            std::u16string out;
            EXPECT_TRUE(ReadSettingString(u"Orvanta", Name(writer, i), out));
            EXPECT_EQ(out, Name(writer, i));
        }
    }
}

}  // namespace

TEST(RegistryFile, LocationFollowsTheEnvironmentAtEachCall) {
    TempRegistry registry;
    EXPECT_EQ(CurrentUserRegistryFile(), registry.file().string());
    ::unsetenv("VEL_REGISTRY");
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(CurrentUserRegistryFile(), "/cfg/Tolvane/VEL/registry.reg");
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative");  // not absolute: ignored
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(CurrentUserRegistryFile(), "/home/u/.config/Tolvane/VEL/registry.reg");
}

TEST(RegistryFile, WritingCreatesFolderAndFileAndReadsBack) {
    TempRegistry registry;
    std::u16string out = u"unchanged";
    EXPECT_FALSE(ReadSettingString(u"Orvanta", u"mType", out));  // no file yet
    EXPECT_EQ(out, u"unchanged");
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mType", u"2"));
    EXPECT_EQ(registry.read().rfind("Windows Registry Editor Version 5.00\n\n", 0), 0u);
    EXPECT_TRUE(ReadSettingString(u"Orvanta", u"MTYPE", out));
    EXPECT_EQ(out, u"2");
    EXPECT_FALSE(ReadSettingString(u"Orvanta", u"Method", out));  // key there, value not
    EXPECT_EQ(out, u"2");
    EXPECT_FALSE(ReadSettingString(u"Other", u"mType", out));
}

TEST(RegistryFile, SlashesInTheSubKeySeparateKeys) {
    TempRegistry registry;
    EXPECT_EQ(SettingsKeyPath(u"Orvanta"), u"SOFTWARE\\Tolvane\\VEL\\Orvanta");
    ASSERT_TRUE(WriteSettingString(u"Orvanta/Sub", u"v", u"1"));
    EXPECT_NE(registry.read().find("[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta\\Sub]\n"),
              std::string::npos);
    std::u16string out;
    EXPECT_TRUE(ReadSettingString(u"Orvanta\\Sub", u"v", out));
    EXPECT_FALSE(WriteSettingString(u"Orvanta//Sub", u"v", u"1"));  // an empty key name
}

TEST(RegistryFile, ForeignContentSurvivesWritesByteForByte) {
    TempRegistry registry;
    const std::string original =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "; keep me\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Other]\r\n\"x\"=\"y\"\r\n\r\n" +
        kOrvantaSection +
        "\r\n\"mType\"=\"1\"\r\n\"Big\"=dword:ffffffff\r\n?? unreadable ??\r\n"
        "\"Bin\"=hex:de,ad,\\\r\n  be,ef\r\n";
    registry.write(original);
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mType", u"0"));
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"Method", u"1"));
    std::string expected = original;
    expected.replace(expected.find("\"mType\"=\"1\""), 11, "\"mType\"=\"0\"");
    expected += "\"Method\"=\"1\"\r\n";
    EXPECT_EQ(registry.read(), expected);
}

TEST(RegistryFile, OnlyARegistryExportOrAnEmptyFileIsRewritten) {
    TempRegistry registry;
    const std::string path = registry.file().string();
    EXPECT_EQ(RegistryFileProblem(path), "") << "missing";
    for (const std::string usable : {"", "\xEF\xBB\xBF", "REGEDIT4\n"}) {
        registry.write(usable);
        EXPECT_EQ(RegistryFileProblem(path), "") << usable;
        EXPECT_TRUE(WriteSettingString(u"Orvanta", u"mLayer", u"6")) << usable;
    }
    const std::string junk = "junk\n" + kOrvantaSection + "\n\"mLayer\"=\"5\"\n";
    registry.write(junk);
    EXPECT_NE(RegistryFileProblem(path).find("not a registry export"), std::string::npos);
    std::u16string out;
    ASSERT_TRUE(ReadSettingString(u"Orvanta", u"mLayer", out));
    EXPECT_EQ(out, u"5");
    EXPECT_FALSE(WriteSettingString(u"Orvanta", u"mLayer", u"6"));
    EXPECT_EQ(registry.read(), junk);
    EXPECT_NE(RegistryFileProblem(registry.folder().string()), "") << "a folder";
}

TEST(RegistryFile, AUtf16ExportIsChangedInUtf16KeepingEveryOtherByte) {
    TempRegistry registry;
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n; 윤곽 설정\r\n" +
                             kOrvantaSection +
                             "\r\n\"mLayerHole\"=\"외곽선\"\r\n\"mLayer\"=\"5\"\r\n\r\n"
                             "[HKEY_CURRENT_USER\\SOFTWARE\\Other]\r\n\"x\"=\"\U0001F600\"\r\n";
    registry.write(Utf16LeExport(text));
    std::u16string out;
    ASSERT_TRUE(ReadSettingString(u"Orvanta", u"mLayerHole", out));
    EXPECT_EQ(out, u"외곽선");
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mLayer", u"레이어"));
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"Method", u"1"));
    std::string expected = text;
    expected.replace(expected.find("\"mLayer\"=\"5\""), 12,
                     "\"mLayer\"=\"레이어\"\r\n\"Method\"=\"1\"");
    EXPECT_EQ(registry.read(), Utf16LeExport(expected));

    // Bytes that do not decode cleanly (an odd count; a high surrogate without its low half)
    // are read, but never rewritten.
    const std::string surrogate = std::string("\0\xD8", 2) + Utf16LeExport("\"\r\n").substr(2);
    for (const std::string& bytes :
         {Utf16LeExport(text) + "\n", Utf16LeExport(text + "\"x\"=\"") + surrogate}) {
        registry.write(bytes);
        ASSERT_TRUE(ReadSettingString(u"Orvanta", u"mLayerHole", out));
        EXPECT_EQ(out, u"외곽선");
        EXPECT_FALSE(WriteSettingString(u"Orvanta", u"mLayer", u"2"));
        EXPECT_EQ(registry.read(), bytes);
    }
}

TEST(RegistryFile, TextsOfAnyLengthReadWhole) {
    TempRegistry registry;
    for (const std::u16string& text :
         {std::u16string(126, u'x'), std::u16string(127, u'x'), std::u16string(1000, u'x'),
          std::u16string(1000, u'\uD55C'), Repeat(u"\U0001F600", 64)}) {
        ASSERT_TRUE(WriteSettingString(u"Orvanta", u"v", text));
        std::u16string out = u"before";
        EXPECT_TRUE(ReadSettingString(u"Orvanta", u"v", out)) << text.size();
        EXPECT_EQ(out, text);
    }
}

TEST(RegistryFile, TextsAreStoredUpToANullAndLineBreaksAreRefused) {
    TempRegistry registry;
    std::u16string out;
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"v", std::u16string(u"ab\0cd", 5)));
    ASSERT_TRUE(ReadSettingString(u"Orvanta", u"v", out));
    EXPECT_EQ(out, u"ab");
    const std::string before = registry.read();
    EXPECT_FALSE(WriteSettingString(u"Orvanta", u"v", u"a\nb"));
    EXPECT_EQ(registry.read(), before);
}

TEST(RegistryFile, WritesKeepTheFileModeAndFailWithoutDamage) {
    TempRegistry registry;
    registry.write("Windows Registry Editor Version 5.00\n");
    ::chmod(registry.file().c_str(), 0640);
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"v", u"1"));
    struct stat info {};
    ASSERT_EQ(::stat(registry.file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    EXPECT_EQ(CurrentUserRegistry().lastError(), "");

    ::setenv("VEL_REGISTRY", registry.folder().c_str(), 1);  // a folder is no registry file
    std::u16string out;
    EXPECT_FALSE(WriteSettingString(u"Orvanta", u"v", u"1"));
    EXPECT_EQ(CurrentUserRegistry().lastError(), "not a regular file");
    EXPECT_FALSE(std::filesystem::exists(registry.folder().string() + ".lock"))
        << "no lock left beside it";
    EXPECT_FALSE(ReadSettingString(u"Orvanta", u"v", out));
    if (::geteuid() != 0) {  // root reads anything
        ::setenv("VEL_REGISTRY", registry.file().c_str(), 1);
        const std::string before = registry.read();
        ::chmod(registry.file().c_str(), 0200);
        EXPECT_FALSE(WriteSettingString(u"Orvanta", u"w", u"2"));  // cannot read: must not replace
        ::chmod(registry.file().c_str(), 0640);
        EXPECT_EQ(registry.read(), before);
    }
}

TEST(RegistryFile, AKilledWriterLeavesOneWholeBatchAndTheNextClearsItsTemporaryFiles) {
    TempRegistry registry;
    std::vector<RegistryValue> batches[2];
    for (int i = 0; i < 30; ++i) {
        batches[0].push_back({Name(0, i), u"old"});
        batches[1].push_back({Name(0, i), u"new"});
    }
    // The store's batch: one replacement of the file, whole or not at all.
    const auto write = [](const std::vector<RegistryValue>& batch) {
        return CurrentUserRegistry().writeStrings(SettingsKeyPath(u"Orvanta"), batch);
    };
    ASSERT_TRUE(write(batches[0]));
    KillMidWrite([] {},
                 [&] {
                     for (int round = 1;; ++round) {
                         write(batches[round % 2]);
                     }
                 },
                 [&](int kill) {
                     std::set<std::u16string> texts;
                     for (int i = 0; i < 30; ++i) {
                         std::u16string out;
                         ASSERT_TRUE(ReadSettingString(u"Orvanta", Name(0, i), out));
                         texts.insert(out);
                     }
                     EXPECT_EQ(texts.size(), 1u) << "after kill " << kill << ", old and new mixed";
                 });
    // The next write removes the kills' temporary files, and one left for certain, but not
    // files that merely resemble them.
    const std::filesystem::path folder = registry.file().parent_path();
    std::ofstream(folder / ".registry.reg.a1B2c3") << "partial";
    std::set<std::string> expected = {".registry.reg.abc12", ".registry.reg.ab-c_d",
                                      ".other.reg.a1B2c3", "registry.reg.a1B2c3"};
    for (const std::string& name : expected) std::ofstream(folder / name) << "keep";
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"after", u"1"));
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        left.insert(entry.path().filename().string());
    }
    expected.insert({"registry.reg", "registry.reg.lock"});
    EXPECT_EQ(left, expected);
}

TEST(RegistryFile, ConcurrentProcessesLoseNoValue) {
    TempRegistry registry;
    ExpectConcurrentWritersLoseNoValue({registry.file().string()});
}

TEST(RegistryFile, ASymbolicLinkIsWrittenThroughAndStaysALink) {
    TempRegistry registry;
    // hive/registry.reg -> ../real/middle.reg -> (absolute) real/registry.reg
    const std::filesystem::path real = registry.folder() / "real";
    std::filesystem::create_directories(real);
    std::filesystem::create_directories(registry.file().parent_path());
    std::ofstream(real / "registry.reg", std::ios::binary) << "REGEDIT4\n";
    std::filesystem::create_symlink(real / "registry.reg", real / "middle.reg");
    std::filesystem::create_symlink("../real/middle.reg", registry.file());
    ASSERT_TRUE(WriteSettingString(u"Orvanta", u"mLayer", u"8"));
    EXPECT_TRUE(std::filesystem::is_symlink(registry.file()));
    EXPECT_TRUE(std::filesystem::is_symlink(real / "middle.reg"));
    EXPECT_NE(registry.read().find("\"mLayer\"=\"8\""), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(registry.file().parent_path()),
                            std::filesystem::directory_iterator()),
              1)
        << "neither a lock nor a temporary file beside the link";
    // Writers through two links to one file share its lock.
    ExpectConcurrentWritersLoseNoValue({registry.file().string(), (real / "middle.reg").string()});

    std::filesystem::create_symlink("loop.reg", registry.folder() / "loop.reg");
    ::setenv("VEL_REGISTRY", (registry.folder() / "loop.reg").c_str(), 1);
    EXPECT_FALSE(WriteSettingString(u"Orvanta", u"mLayer", u"9"));
}

TEST(RegistryFile, ConcurrentThreadsLoseNoValue) {
    TempRegistry registry;
    constexpr int kWriters = 4;
    constexpr int kValues = 25;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int writer = 0; writer < kWriters; ++writer) {
        threads.emplace_back([writer, &failures] {
            for (int i = 0; i < kValues; ++i) {
                if (!WriteSettingString(u"Orvanta", Name(writer, i), u"v")) ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int i = 0; i < kValues; ++i) {
            std::u16string out;
            EXPECT_TRUE(ReadSettingString(u"Orvanta", Name(writer, i), out));
        }
    }
}

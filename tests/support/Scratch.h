// Scratch.h - what every test that touches files or the registry sets up alike: a folder of the
// test's own under the temporary folder, and a registry file in it made the current user's
// registry (VEL_REGISTRY) for the time of the test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvanta_test {

namespace fs = std::filesystem;

using RegistryValues = std::vector<std::pair<std::string, std::string>>;

// A registry export holding the given string values under the plug-in's key, in order.
inline std::string registryExport(const RegistryValues& values) {
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    text += "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\r\n";
    for (const auto& [name, value] : values) text += "\"" + name + "\"=\"" + value + "\"\r\n";
    return text;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "orvanta-KIND-PID-N-SUITE-TEST" under the temporary folder, made empty; removed again at the
// end, unless the test failed, when it stays to be looked at. N tells apart the folders of one
// test.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& kind) {
        static int made = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            "orvanta-" + kind + "-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
        if (info) name += std::string("-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised names
        path_ = fs::temp_directory_path() / name;
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        if (info && info->result()->Failed()) return;
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    std::string read(const std::string& name) const { return readFile(path_ / name); }

private:
    fs::path path_;
};

// VEL_REGISTRY names `file` while this lives; what it named before comes back after.
class RegistryOverride {
public:
    explicit RegistryOverride(const std::string& file) {
        if (const char* before = std::getenv("VEL_REGISTRY")) before_ = before;
        ::setenv("VEL_REGISTRY", file.c_str(), 1);
    }
    ~RegistryOverride() {
        before_ ? ::setenv("VEL_REGISTRY", before_->c_str(), 1) : ::unsetenv("VEL_REGISTRY");
    }
    RegistryOverride(const RegistryOverride&) = delete;
    RegistryOverride& operator=(const RegistryOverride&) = delete;

private:
    std::optional<std::string> before_;
};

// The fixture of tests that run the plug-in in this process: a scratch folder whose
// "registry.reg" is the user's registry for the time of the test.
class ScratchRegistryTest : public ::testing::Test {
protected:
    explicit ScratchRegistryTest(std::string kind = "test") : kind_(std::move(kind)) {}
    void SetUp() override {
        folder_.emplace(kind_);
        registry_.emplace(registryFile());
    }
    void TearDown() override {
        registry_.reset();
        folder_.reset();
    }

    const ScratchFolder& folder() const { return *folder_; }
    std::string registryFile() const { return folder_->file("registry.reg"); }
    // Replaces the registry with these values under the plug-in's key.
    void writeRegistry(const RegistryValues& values) const {
        folder_->write("registry.reg", registryExport(values));
    }

private:
    std::string kind_;
    std::optional<ScratchFolder> folder_;
    std::optional<RegistryOverride> registry_;
};

}  // namespace orvanta_test

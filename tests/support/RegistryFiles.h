// Test support: a private registry file in a fresh temporary folder, made the current user's
// registry through VEL_REGISTRY for the lifetime of the object.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempRegistry {
public:
    TempRegistry() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvanta-reg-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        file_ = folder_ / "hive" / "registry.reg";
        ::setenv("VEL_REGISTRY", file_.c_str(), 1);
    }
    ~TempRegistry() {
        ::unsetenv("VEL_REGISTRY");
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::filesystem::path& file() const { return file_; }
    const std::filesystem::path& folder() const { return folder_; }

    std::string read() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string& content) const {
        std::filesystem::create_directories(file_.parent_path());
        std::ofstream(file_, std::ios::binary) << content;
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path file_;
};

// The section header of the plug-in's key as the store writes it.
inline const std::string kOrvantaSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]";

// `utf8` as regedit writes an export: UTF-16LE after its byte order mark, here converted by
// iconv so that the bytes do not depend on the code under test.
inline std::string Utf16LeExport(const std::string& utf8) {
    std::string units(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = units.data();
    std::size_t outLeft = units.size();
    const iconv_t converter = ::iconv_open("UTF-16LE", "UTF-8");
    EXPECT_NE(::iconv(converter, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1));
    ::iconv_close(converter);
    units.resize(units.size() - outLeft);
    return "\xFF\xFE" + units;
}

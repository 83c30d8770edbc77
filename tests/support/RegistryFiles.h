// RegistryFiles.h - a registry file in a scratch folder (in a folder of its own there, so that
// the store's making of folders is seen), made the current user's registry for the lifetime of
// the object; the plug-in's key as the store writes it; exports in UTF-16.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/Scratch.h"
#include "tests/support/StoredDefaults.h"

class TempRegistry {
public:
    TempRegistry()
        : folder_("reg"), registry_((folder_.path() / "hive" / "registry.reg").string()) {
        file_ = folder_.path() / "hive" / "registry.reg";
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::filesystem::path& file() const { return file_; }
    const std::filesystem::path& folder() const { return folder_.path(); }

    std::string read() const { return orvanta_test::readFile(file_); }
    void write(const std::string& content) const {
        std::filesystem::create_directories(file_.parent_path());
        std::ofstream(file_, std::ios::binary) << content;
    }

private:
    orvanta_test::ScratchFolder folder_;
    orvanta_test::RegistryOverride registry_;
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

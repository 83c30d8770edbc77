// FileNames.cpp - UTF-8 file names as paths, and their extensions.
#include "vel/io/FileNames.h"

#include <cctype>

namespace fs = std::filesystem;

namespace vel {

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string extensionOf(const std::string& path) {
    const std::u8string name = pathOf(path).extension().u8string();
    std::string ext(name.begin(), name.end());
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace vel

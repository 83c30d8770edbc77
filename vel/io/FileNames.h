// FileNames.h - file names as every front end takes them: UTF-8, whatever the system.
#pragma once

#include <filesystem>
#include <string>

namespace vel {

// A file name given in UTF-8, as the host takes every name, as a path. On Windows a plain string
// would be read in the system's code page.
std::filesystem::path pathOf(const std::string& utf8);

// Lower case, with the dot (".dxf"); empty when the name has none.
std::string extensionOf(const std::string& path);

}  // namespace vel

// Version.h - what velhost --version prints: velhost's own version, and the version the plug-in
// it would load carries in its file.
#pragma once

#include <filesystem>
#include <string>

namespace CLI {
class App;
}

namespace velhost {

// The version a binary carries in its "what" string ("@(#)Orvanta 1.0.0"), read from the file
// without loading it; empty when the file has none or cannot be read.
std::string versionMarkOf(const std::filesystem::path& file);

// Adds --version to the program: velhost's version, and the default plug-in's file and version.
void addVersionFlag(CLI::App& app);

}  // namespace velhost

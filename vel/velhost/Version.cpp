// Version.cpp - reading a binary's version mark, and the --version text.
#include "vel/velhost/Version.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <string_view>
#include <vector>

#include "orvanta/Version.h"
#include "vel/runtime/Platform.h"

namespace velhost {

namespace {

constexpr std::string_view kMark = "@(#)Orvanta ";
// A version is short; what follows the mark for longer is not one.
constexpr size_t kLongestVersion = 40;
// Plug-ins are a few megabytes; a file past this is not one, and is not read to its end.
constexpr std::streamsize kLongestFile = 256 << 20;
constexpr size_t kChunk = 1 << 20;

bool versionChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
           c == '~';
}

}  // namespace

std::string versionMarkOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    // Read in chunks, each beginning with the end of the one before, so that a mark across two
    // chunks is found whole.
    const size_t keep = kMark.size() + kLongestVersion;
    std::vector<char> buffer;
    std::streamsize read = 0;
    while (in && read < kLongestFile) {
        const size_t old = buffer.size();
        buffer.resize(old + kChunk);
        in.read(buffer.data() + old, static_cast<std::streamsize>(kChunk));
        buffer.resize(old + static_cast<size_t>(in.gcount()));
        read += in.gcount();
        const std::string_view text(buffer.data(), buffer.size());
        for (size_t at = text.find(kMark); at != std::string_view::npos;
             at = text.find(kMark, at + 1)) {
            const size_t from = at + kMark.size();
            size_t to = from;
            while (to < text.size() && to - from <= kLongestVersion && versionChar(text[to])) ++to;
            // A mark at the buffer's end may go on in the next chunk.
            if (to == text.size() && in) break;
            if (to > from && to - from <= kLongestVersion &&
                (to == text.size() || text[to] == '\0'))
                return std::string(text.substr(from, to - from));
        }
        if (buffer.size() > keep)
            buffer.erase(buffer.begin(), buffer.end() - static_cast<std::ptrdiff_t>(keep));
    }
    return {};
}

void addVersionFlag(CLI::App& app) {
    app.set_version_flag("--version", [] {
        const std::filesystem::path plugin = vel::defaultPlugin();
        const std::u8string path = plugin.u8string();  // a Windows path too, whatever its letters
        std::string text =
            "velhost " ORVANTA_VERSION "\nplug-in " + std::string(path.begin(), path.end()) + ": ";
        std::error_code ec;
        if (!std::filesystem::exists(plugin, ec)) return text + "not found";
        const std::string version = versionMarkOf(plugin);
        return text +
               (version.empty() ? "no version (not an Orvanta plug-in?)" : "Orvanta " + version);
    });
}

}  // namespace velhost

// PlatformWindows.cpp - the runtime on Windows: names through the wide (UTF-16) calls, the plug-in
// through LoadLibraryW, and a session's registry file standing in for the user's registry
// through a key of the session's own.
#include <io.h>
#include <windows.h>
// windows.h's old pointer qualifiers would swallow the kernel's near().
#undef near
#undef far

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/RegistryText.h"
#include "vel/io/DrawingFile.h"
#include "vel/io/FileNames.h"
#include "vel/runtime/Platform.h"
#include "vel/runtime/RegistryExchange.h"

namespace fs = std::filesystem;

namespace vel {

namespace {

// The key below HKEY_CURRENT_USER under which each session's registry gets a key of its own.
constexpr wchar_t kSessionsKey[] = L"Software\\Tolvane\\VEL\\velhost";

// A registry file this large is not one to read.
constexpr std::uintmax_t kMaxFileBytes = 64 * 1024 * 1024;

std::string systemMessage(DWORD code) {
    return std::system_category().message(static_cast<int>(code));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

const char kDefaultPlugin[] = "Orvanta.dll";

fs::path programFolder() {
    std::wstring name(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return fs::current_path();
        if (length < name.size()) {
            name.resize(length);
            return fs::path(name).parent_path();
        }
        name.resize(name.size() * 2);  // cut short: try again with more room
    }
}

fs::path defaultPlugin() {
    return programFolder() / kDefaultPlugin;  // the zip keeps every file together
}

bool standardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void loadPlugin(const std::string& given) {
    using StartupFunc = int (*)(void);
    const fs::path file = given.empty() ? defaultPlugin() : pathOf(given);
    const std::string plugin = given.empty() ? utf8Of(file) : given;
    // From its full path, the plug-in's own folder is searched for the libraries it needs.
    std::error_code ec;
    const fs::path full = fs::absolute(file, ec);
    HMODULE library =
        LoadLibraryExW((ec ? file : full).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) throw vel::FileError(plugin, 0, "cannot load: " + systemMessage(GetLastError()));
    auto startup =
        reinterpret_cast<StartupFunc>(reinterpret_cast<void*>(GetProcAddress(library, "Startup")));
    if (!startup) throw vel::FileError(plugin, 0, "the library exports no Startup");
    if (startup() != 0) throw vel::FileError(plugin, 0, "Startup failed to register the command");
}

struct SessionRegistry::Stand {
    std::string file;   // as given
    fs::path path;      // the file itself
    std::string bytes;  // as read before the session
    RegistryText text;  // parsed from them
    HKEY sessions = nullptr;
    std::wstring name;    // of the session's key below `sessions`
    HKEY root = nullptr;  // the session's key, standing for HKEY_CURRENT_USER
    bool overridden = false;
    bool saved = false;

    // Puts the user's registry back and removes the session's key.
    ~Stand() {
        if (overridden) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (root) RegCloseKey(root);
        if (sessions) {
            RegDeleteTreeW(sessions, name.c_str());
            RegDeleteKeyW(sessions, name.c_str());
            RegCloseKey(sessions);
        }
    }
};

SessionRegistry::SessionRegistry(const std::string& file) {
    if (file.empty()) return;
    auto stand = std::make_unique<Stand>();
    stand->file = file;
    stand->path = pathOf(file);

    // As the settings store on Linux: a missing file is an empty registry.
    std::error_code ec;
    const fs::file_status status = fs::status(stand->path, ec);
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status)) throw vel::FileError(file, 0, "not a regular file");
        const std::uintmax_t size = fs::file_size(stand->path, ec);
        if (ec) throw vel::FileError(file, 0, "cannot be read: " + ec.message());
        if (size > kMaxFileBytes)
            throw vel::FileError(file, 0, "larger than a registry file may be");
        std::ifstream in(stand->path, std::ios::binary);
        std::ostringstream content;
        if (!in || !(content << in.rdbuf())) throw vel::FileError(file, 0, "cannot be read");
        stand->bytes = content.str();
    }
    stand->text = RegistryText::Parse(stand->bytes);
    if (const std::string problem = RegistryRewriteProblem(stand->text); !problem.empty())
        throw vel::FileError(file, 0, problem);

    LONG result =
        RegCreateKeyExW(HKEY_CURRENT_USER, kSessionsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &stand->sessions, nullptr);
    if (result != ERROR_SUCCESS)
        throw vel::FileError(file, 0,
                             "cannot make a registry key for the session: " +
                                 systemMessage(static_cast<DWORD>(result)));
    stand->name = L"session-" + std::to_wstring(GetCurrentProcessId());
    // What a session of an earlier process with the same id left behind goes first.
    RegDeleteTreeW(stand->sessions, stand->name.c_str());
    result =
        RegCreateKeyExW(stand->sessions, stand->name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &stand->root, nullptr);
    if (result != ERROR_SUCCESS)
        throw vel::FileError(file, 0,
                             "cannot make a registry key for the session: " +
                                 systemMessage(static_cast<DWORD>(result)));
    stand_ = std::move(stand);
    if (const std::string error = importRegistryValues(stand_->text, stand_->root); !error.empty())
        throw vel::FileError(file, 0, "cannot import into the registry: " + error);
    result = RegOverridePredefKey(HKEY_CURRENT_USER, stand_->root);
    if (result != ERROR_SUCCESS)
        throw vel::FileError(file, 0,
                             "cannot stand in for the user's registry: " +
                                 systemMessage(static_cast<DWORD>(result)));
    stand_->overridden = true;
}

void SessionRegistry::save() {
    if (!stand_ || stand_->saved) return;
    stand_->saved = true;
    RegistryText text = stand_->text;
    if (const std::string error = exportRegistryValues(stand_->root, text); !error.empty())
        throw vel::FileError(stand_->file, 0, "cannot export the registry: " + error);
    const std::string bytes = text.Serialize();
    // Nothing stored, nothing written, as where the file is the registry.
    if (bytes == stand_->bytes) return;
    std::error_code ec;
    if (const fs::path folder = stand_->path.parent_path(); !folder.empty()) {
        fs::create_directories(folder, ec);
        if (ec)
            throw vel::FileError(
                stand_->file, 0,
                "cannot create the folder " + utf8Of(folder) + ": " + ec.message());
    }
    fs::path temp = stand_->path;
    temp += L".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!(out << bytes) || !out.flush()) {
            out.close();
            fs::remove(temp, ec);
            throw vel::FileError(stand_->file, 0, "cannot write the registry file");
        }
    }
    fs::rename(temp, stand_->path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw vel::FileError(stand_->file, 0, "cannot replace the registry file: " + ec.message());
    }
}

std::string SessionRegistry::location() const {
    return stand_ ? stand_->file : "HKEY_CURRENT_USER\\Software\\Tolvane\\VEL\\Orvanta";
}

SessionRegistry::~SessionRegistry() {
    if (!stand_) return;
    // A session that failed still leaves the file as its registry was.
    try {
        save();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velhost: %s\n", e.what());
    }
}

}  // namespace vel

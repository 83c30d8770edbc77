// PlatformPosix.cpp - velhost on Linux: the plug-in through dlopen, the registry file through
// the environment the plug-in's settings store reads.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "settings/RegistryStore.h"
#include "vel/io/DrawingFile.h"
#include "vel/velhost/Platform.h"

namespace velhost {

const char kDefaultPlugin[] = "libOrvanta.so";

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : self.parent_path();
}

std::filesystem::path DefaultPlugin() {
    const std::filesystem::path beside = ProgramFolder() / kDefaultPlugin;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) return beside;
    return (ProgramFolder() / VELHOST_INSTALLED_PLUGIN_FOLDER / kDefaultPlugin).lexically_normal();
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void LoadPlugin(const std::string& given) {
    using StartupFunc = int (*)(void);
    const std::string plugin = given.empty() ? DefaultPlugin().string() : given;
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) throw vel::FileError(plugin, 0, std::string("cannot load: ") + dlerror());
    auto startup = reinterpret_cast<StartupFunc>(dlsym(library, "Startup"));
    if (!startup) throw vel::FileError(plugin, 0, "the library exports no Startup");
    if (startup() != 0) throw vel::FileError(plugin, 0, "Startup failed to register the command");
}

void UseRegistryFile(const std::string& registry) {
    if (!registry.empty()) setenv("VEL_REGISTRY", registry.c_str(), 1);
    const std::string file = CurrentUserRegistryFile();
    if (file.empty()) return;
    if (const std::string problem = RegistryFileProblem(file); !problem.empty())
        throw vel::FileError(file, 0, problem);
}

struct SessionRegistry::Stand {};

SessionRegistry::SessionRegistry(const std::string& file) {
    UseRegistryFile(file);
}

SessionRegistry::~SessionRegistry() = default;

void SessionRegistry::Save() {}

std::string SessionRegistry::Location() const {
    return CurrentUserRegistryFile();
}

}  // namespace velhost

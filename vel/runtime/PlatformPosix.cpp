// PlatformPosix.cpp - the runtime on Linux: the plug-in through dlopen, the registry file through
// the environment the plug-in's settings store reads.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/RegistryStore.h"
#include "vel/io/DrawingFile.h"
#include "vel/runtime/Platform.h"

namespace vel {

const char kDefaultPlugin[] = "libOrvanta.so";

std::filesystem::path programFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : self.parent_path();
}

std::filesystem::path defaultPlugin() {
    const std::filesystem::path beside = programFolder() / kDefaultPlugin;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) return beside;
    return (programFolder() / VELHOST_INSTALLED_PLUGIN_FOLDER / kDefaultPlugin).lexically_normal();
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void loadPlugin(const std::string& given) {
    using StartupFunc = int (*)(void);
    const std::string plugin = given.empty() ? defaultPlugin().string() : given;
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) throw vel::FileError(plugin, 0, std::string("cannot load: ") + dlerror());
    auto startup = reinterpret_cast<StartupFunc>(dlsym(library, "Startup"));
    if (!startup) throw vel::FileError(plugin, 0, "the library exports no Startup");
    if (startup() != 0) throw vel::FileError(plugin, 0, "Startup failed to register the command");
}

void useRegistryFile(const std::string& registry) {
    if (!registry.empty()) setenv("VEL_REGISTRY", registry.c_str(), 1);
    const std::string file = CurrentUserRegistryFile();
    if (file.empty()) return;
    if (const std::string problem = RegistryFileProblem(file); !problem.empty())
        throw vel::FileError(file, 0, problem);
}

struct SessionRegistry::Stand {};

SessionRegistry::SessionRegistry(const std::string& file) {
    useRegistryFile(file);
}

SessionRegistry::~SessionRegistry() = default;

void SessionRegistry::save() {}

std::string SessionRegistry::location() const {
    return CurrentUserRegistryFile();
}

}  // namespace vel

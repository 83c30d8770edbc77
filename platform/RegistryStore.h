// The current user's registry as the settings see it: string values under a key path. On
// Windows it is the real registry; elsewhere a registry export file kept by RegistryFile.cpp.
#pragma once

#include <span>
#include <string>

// One string value to write: its name and its text.
struct RegistryValue {
    std::u16string name;
    std::u16string text;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // Reads the string value `name` of `keyPath` (relative to the current user's root, parts
    // separated by '\'). Texts of any length are read whole. False when the key or value is
    // missing, is not a string or cannot be read; `out` is then left as it was.
    virtual bool readString(const std::u16string& keyPath, const std::u16string& name,
                            std::u16string& out) = 0;

    // Writes each text as a string value of `keyPath`, creating the key and any missing keys on
    // its path. A text is stored up to its first null character, as a string value is read
    // back. The file store makes all the changes in one replacement of the file, so that readers
    // and a kill mid-write see either none of them or all; the Windows registry takes them value
    // by value, as it takes any write. A value that cannot be stored (in a file: a name or text
    // with a line break) does not keep the others from being stored. True when every value was
    // stored; otherwise lastError() tells what failed first. Outside Windows nothing is written
    // to a file that is not one to rewrite (see RegistryFileProblem).
    virtual bool writeStrings(const std::u16string& keyPath,
                              std::span<const RegistryValue> values) = 0;

    // One value; as writeStrings with that value alone.
    bool writeString(const std::u16string& keyPath, const std::u16string& name,
                     const std::u16string& text) {
        const RegistryValue value{name, text};
        return writeStrings(keyPath, std::span(&value, 1));
    }

    // Why the last write of the calling thread failed, naming what the system said ("cannot
    // create the folder /x: Not a directory"); empty after a write that stored every value.
    virtual std::string lastError() const = 0;
};

// The store for HKEY_CURRENT_USER of this platform. Every call opens and closes what it uses.
RegistryStore& CurrentUserRegistry();

#ifndef _WIN32
// The file that holds the user's registry: $VEL_REGISTRY when set and not empty, else
// $XDG_CONFIG_HOME/Tolvane/VEL/registry.reg ($HOME/.config when XDG_CONFIG_HOME is unset or not
// absolute). Looked up at each call, so a change of the environment takes effect at once.
// Empty when no location can be found.
std::string CurrentUserRegistryFile();

// Why the registry file at `path` cannot serve as the user's registry ("not a registry export:
// ...", "cannot be read: ..."); empty when it can: when it is missing, empty, or a registry
// export (its first line, after an optional byte order mark, is "Windows Registry Editor
// Version 5.00" or "REGEDIT4"). The store never rewrites a file with a problem.
std::string RegistryFileProblem(const std::string& path);
#endif

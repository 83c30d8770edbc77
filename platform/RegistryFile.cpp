// The current user's registry outside Windows: a registry export file. Readers take no lock and
// always see a whole file, because a writer never changes the file in place: under an exclusive
// lock on a companion lock file it reads the file again, makes its changes, writes a temporary
// file in the same folder, syncs it and renames it over the old one. A symbolic link is followed
// to its final target, which is the file replaced. A file that is not a registry export is never
// rewritten.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/RegistryText.h"
#include "platform/Utf.h"

namespace {

// The settings of a few plug-ins take a few kilobytes. A file this large is not ours to rewrite:
// reads and writes fail instead, and the memory its lines take (some 140 bytes a line) and the
// time to read it stay small.
constexpr off_t kMaxFileBytes = 1024 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Failed };

// What the last system call's failure says, after `what` failed.
std::string SystemError(const std::string& what) {
    return what + ": " + std::system_category().message(errno);
}

ReadResult Failure(std::string& error, std::string reason) {
    error = std::move(reason);
    return ReadResult::Failed;
}

// Reads the whole file. A file that is not there (nor the folder it would be in) is Missing;
// anything else that stops the read is Failed, with the reason in `error`.
ReadResult ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
    content.clear();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return ReadResult::Missing;
        return Failure(error, SystemError("cannot be read"));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return Failure(error, SystemError("cannot be read"));
    if (!S_ISREG(info.st_mode)) return Failure(error, "not a regular file");
    constexpr const char* kTooLarge = "larger than a registry file may be";
    if (info.st_size > kMaxFileBytes) return Failure(error, kTooLarge);
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failure(error, SystemError("cannot be read"));
        }
        if (got == 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > static_cast<std::size_t>(kMaxFileBytes)) {
            return Failure(error, kTooLarge);
        }
    }
    return ReadResult::Ok;
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool LockExclusive(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// A writer's temporary file is named after the file it replaces: a dot, the file's name, a dot
// and what mkstemp puts in place of these six characters.
constexpr std::string_view kTemporarySuffix = "XXXXXX";
// The characters mkstemp fills its suffix with.
constexpr std::string_view kTemporaryChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string TemporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".";
}

// Removes the temporary files that writers of `target` killed mid-write left behind. Only
// called under the lock, when no other writer can have one in flight; only regular files of
// exactly the writers' pattern go.
void RemoveStaleTemporaryFiles(const std::filesystem::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + kTemporarySuffix.size() || !name.starts_with(prefix) ||
            name.find_first_not_of(kTemporaryChars, prefix.size()) != std::string::npos) {
            continue;
        }
        std::error_code statusError;
        if (it->symlink_status(statusError).type() == std::filesystem::file_type::regular) {
            ::unlink(it->path().c_str());
        }
    }
}

// Replaces `path` with `content` so that no reader ever sees a partial file. On failure `error`
// says which step failed and why.
bool ReplaceFile(const std::string& path, const std::string& content, std::string& error) {
    const std::filesystem::path target(path);
    const std::string folder =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    const std::string pattern =
        (target.parent_path() / (TemporaryPrefix(target) + std::string(kTemporarySuffix))).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FileDescriptor temp(::mkostemp(name.data(), O_CLOEXEC));
    if (temp.get() < 0) {
        error = SystemError("cannot create a temporary file in " + folder);
        return false;
    }
    struct stat info {};
    const bool existed = ::stat(path.c_str(), &info) == 0;
    bool ok = WriteAll(temp.get(), content) && ::fsync(temp.get()) == 0;
    if (ok && existed) ok = ::fchmod(temp.get(), info.st_mode & 07777) == 0;
    ok = temp.close() && ok;
    if (!ok) error = SystemError(std::string("cannot write ") + name.data());
    if (ok && ::rename(name.data(), path.c_str()) != 0) {
        error = SystemError("cannot replace the file");
        ok = false;
    }
    if (!ok) {
        ::unlink(name.data());
        return false;
    }
    // Make the rename itself durable; the data is already safe, so a failure here is not one.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

// How many symbolic links the registry path may pass through before it counts as a loop; the
// number the kernel allows in one path.
constexpr int kMaxLinkHops = 40;

// The file that `path` finally names, following each symbolic link (a relative one from the
// folder the link is in), so that a write replaces that file and the links stay links. A path
// that is not a link, or not there, is its own target. False for a chain of more than
// kMaxLinkHops links or a link that cannot be read.
bool FinalTarget(const std::string& path, std::string& target) {
    std::filesystem::path current(path);
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = current.string();
            return true;
        }
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(current, error);
        if (error) return false;
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return false;
}

// Windows reads a string value up to its first null character.
std::u16string UpToNull(const std::u16string& text) {
    return text.substr(0, text.find(u'\0'));
}

// Why the last write of this thread failed; see RegistryStore::lastError.
thread_local std::string tLastError;

bool Fail(std::string error) {
    tLastError = std::move(error);
    return false;
}

class RegistryFileStore final : public RegistryStore {
public:
    bool readString(const std::u16string& keyPath, const std::u16string& name,
                    std::u16string& out) override {
        const std::string path = CurrentUserRegistryFile();
        if (path.empty()) return false;
        std::string content;
        std::string error;
        if (ReadWholeFile(path, content, error) != ReadResult::Ok) return false;
        // Settings are read a value at a time, each from the file as it is now; the file is
        // parsed again only when it has changed.
        const std::lock_guard<std::mutex> hold(parsedLock_);
        if (!parsed_ || content != parsedContent_) {
            parsed_ = RegistryText::Parse(content);
            parsedContent_ = std::move(content);
        }
        const auto text = parsed_->ReadString(UpToNull(keyPath), UpToNull(name));
        if (!text) return false;
        out = UpToNull(*text);
        return true;
    }

    bool writeStrings(const std::u16string& keyPath,
                      std::span<const RegistryValue> values) override {
        tLastError.clear();
        if (values.empty()) return true;
        const std::string given = CurrentUserRegistryFile();
        if (given.empty()) return Fail("no place for the registry file: HOME is not set");
        std::string path;
        if (!FinalTarget(given, path)) {
            return Fail("a symbolic link on the way cannot be read or the links form a loop");
        }
        // Refused before the lock is made, so that no lock file is left beside a folder.
        if (std::error_code ignored; std::filesystem::is_directory(path, ignored)) {
            return Fail("not a regular file");
        }
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) {
            std::error_code error;
            std::filesystem::create_directories(folder, error);
            if (error)
                return Fail("cannot create the folder " + folder.string() + ": " + error.message());
        }
        // Beside the target, so that writers through different links to it share the lock.
        const std::string lockPath = path + ".lock";
        FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (lock.get() < 0 || !LockExclusive(lock.get())) {
            return Fail(SystemError("cannot lock " + lockPath));
        }
        // Read again under the lock: another writer may have changed the file meanwhile.
        std::string content;
        std::string error;
        if (ReadWholeFile(path, content, error) == ReadResult::Failed) return Fail(error);
        RegistryText hive = RegistryText::Parse(content);
        if (const std::string problem = RegistryRewriteProblem(hive); !problem.empty()) {
            return Fail(problem);
        }
        const std::u16string key = UpToNull(keyPath);
        std::string refused;
        bool changed = false;
        for (const RegistryValue& value : values) {
            if (hive.SetString(key, UpToNull(value.name), UpToNull(value.text))) {
                changed = true;
            } else if (refused.empty()) {
                refused = "the value \"" + Utf8(UpToNull(value.name)) +
                          "\" cannot be stored in a registry file (an empty key name or a line "
                          "break)";
            }
        }
        if (changed) {
            RemoveStaleTemporaryFiles(path);
            if (!ReplaceFile(path, hive.Serialize(), error)) return Fail(error);
        }
        return refused.empty() || Fail(refused);
    }

    std::string lastError() const override { return tLastError; }

private:
    std::mutex parsedLock_;
    std::string parsedContent_;
    std::optional<RegistryText> parsed_;
};

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

std::string CurrentUserRegistryFile() {
    if (const char* file = std::getenv("VEL_REGISTRY"); file && *file) return file;
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        config = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        config = std::filesystem::path(home) / ".config";
    }
    return (config / "Tolvane" / "VEL" / "registry.reg").string();
}

std::string RegistryFileProblem(const std::string& path) {
    std::string content;
    std::string error;
    switch (ReadWholeFile(path, content, error)) {
        case ReadResult::Missing:
            return {};
        case ReadResult::Failed:
            return error;
        case ReadResult::Ok:
            break;
    }
    return RegistryRewriteProblem(RegistryText::Parse(content));
}

RegistryStore& CurrentUserRegistry() {
    static RegistryFileStore store;
    return store;
}

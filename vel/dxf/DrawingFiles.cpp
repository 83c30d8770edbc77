// DrawingFiles.cpp - opening and saving drawing files by extension.
#include "vel/dxf/DrawingFiles.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <system_error>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/FileNames.h"

namespace fs = std::filesystem;

namespace vel {

std::unique_ptr<DrawingWriter> writerFor(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == ".json") return makeJsonWriter();
    if (ext == ".svg") return makeSvgWriter();
    if (ext == ".dxf") return makeDxfWriter();
    return nullptr;
}

namespace {

constexpr char kUnknownFormat[] = "unknown output format (use .json, .dxf or .svg)";

}  // namespace

bool checkOutputFormats(const std::vector<std::string>& paths, std::ostream& errors) {
    for (const std::string& path : paths) {
        if (!writerFor(path)) {
            errors << path << ": " << kUnknownFormat << "\n";
            return false;
        }
    }
    return true;
}

namespace {

// The file a save replaces: through symbolic links, their final target, so that a link
// stays a link and the drawing it names is the one saved.
fs::path finalTarget(const std::string& path) {
    const fs::path given = pathOf(path);
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(given, ec))) return given;
    fs::path target = fs::weakly_canonical(given, ec);
    if (ec) throw FileError(path, 0, "cannot follow the link: " + ec.message());
    return target;
}

constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// A name beside the target that no other file has: a file the user keeps under the
// target's name plus ".tmp" must not be written over or removed.
fs::path temporaryBeside(const fs::path& target, const std::string& path) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = target;
        temp += "." + std::to_string(entropy() % 1000000) + ".tmp";
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(temp, ec))) return temp;
    }
    throw FileError(path, 0, "cannot find a free name for the temporary file");
}

// Why the file stream just failed, as the system said it (": Permission denied"); the
// streams keep no reason of their own.
std::string reasonOfErrno() {
    return errno == 0 ? std::string() : ": " + std::generic_category().message(errno);
}

}  // namespace

void writeDrawing(const Drawing& drawing, const std::string& path, Progress* progress) {
    auto writer = writerFor(path);
    if (!writer) throw FileError(path, 0, kUnknownFormat);
    const fs::path target = finalTarget(path);
    std::error_code ec;
    const fs::file_status existing = fs::status(target, ec);
    const bool replacing = fs::exists(existing);
    if (replacing && !fs::is_regular_file(existing))
        throw FileError(path, 0, "cannot replace the file: not a regular file");
    // A drawing the user made read-only is kept; the rename below would not ask.
    if (replacing && (existing.permissions() & kAnyWrite) == fs::perms::none)
        throw FileError(path, 0, "cannot replace the file: it is read-only");
    const fs::path temp = temporaryBeside(target, path);
    try {
        errno = 0;
        std::ofstream out(temp, std::ios::binary);
        if (!out) throw FileError(path, 0, "cannot open for writing" + reasonOfErrno());
        writer->write(drawing, out, progress);
        out.flush();
        if (!out) throw FileError(path, 0, "write failed" + reasonOfErrno());
        out.close();
        // The new file keeps who may read the old one.
        if (replacing) fs::permissions(temp, existing.permissions(), ec);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw FileError(path, 0, "cannot replace the file: " + ec.message());
    }
}

LeftOut readDrawing(Drawing& drawing, const std::string& path, Progress* progress) {
    const std::string ext = extensionOf(path);
    // A device or a pipe has no end to read to (a link to /dev/zero would fill the memory).
    std::error_code ec;
    const fs::file_status status = fs::status(pathOf(path), ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw FileError(path, 0, "cannot open: not a regular file");
    if (ext == ".dxf") return readDxfDrawing(path, drawing, progress).leftOut;
    if (ext != ".json") throw FileError(path, 0, "unknown drawing format (use .json or .dxf)");
    errno = 0;
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in) throw FileError(path, 0, "cannot open" + reasonOfErrno());
    readJsonDrawing(in, path, drawing, progress);
    return {};
}

}  // namespace vel

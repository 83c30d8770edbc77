// DrawingFiles.cpp - opening and saving drawing files by extension.
#include "vel/velhost/DrawingFiles.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "vel/dxf/DxfFormat.h"

namespace fs = std::filesystem;

namespace velhost {

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ExtensionOf(const std::string& path) {
    const std::u8string name = PathOf(path).extension().u8string();
    std::string ext(name.begin(), name.end());
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::unique_ptr<vel::DrawingWriter> WriterFor(const std::string& path) {
    const std::string ext = ExtensionOf(path);
    if (ext == ".json") return vel::makeJsonWriter();
    if (ext == ".svg") return vel::makeSvgWriter();
    if (ext == ".dxf") return vel::makeDxfWriter();
    return nullptr;
}

namespace {

constexpr char kUnknownFormat[] = "unknown output format (use .json, .dxf or .svg)";

}  // namespace

bool CheckOutputFormats(const std::vector<std::string>& paths, std::ostream& errors) {
    for (const std::string& path : paths) {
        if (!WriterFor(path)) {
            errors << path << ": " << kUnknownFormat << "\n";
            return false;
        }
    }
    return true;
}

void WriteDrawing(const vel::Drawing& drawing, const std::string& path) {
    auto writer = WriterFor(path);
    if (!writer) throw vel::FileError(path, 0, kUnknownFormat);
    const fs::path target = PathOf(path);
    const fs::path temp = PathOf(path + ".tmp");
    try {
        std::ofstream out(temp, std::ios::binary);
        if (!out) throw vel::FileError(path, 0, "cannot open for writing");
        writer->write(drawing, out);
        out.flush();
        if (!out) throw vel::FileError(path, 0, "write failed");
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) throw vel::FileError(path, 0, "cannot replace the file: " + ec.message());
}

std::string ReadDrawing(vel::Drawing& drawing, const std::string& path) {
    const std::string ext = ExtensionOf(path);
    if (ext == ".dxf") {
        const vel::DxfReadReport report = vel::readDxfDrawing(path, drawing);
        return report.leftOut.summary();
    }
    if (ext != ".json") throw vel::FileError(path, 0, "unknown drawing format (use .json or .dxf)");
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) throw vel::FileError(path, 0, "cannot open");
    vel::readJsonDrawing(in, path, drawing);
    return {};
}

}  // namespace velhost

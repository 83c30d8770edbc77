// FileError.cpp - the error of a faulty input file, naming the file and line.
#include "vel/io/DrawingFile.h"

namespace vel {

namespace {

std::string describe(const std::string& file, int line, const std::string& message) {
    const std::string where = file.empty() ? std::string("<input>") : file;
    if (line > 0) return where + ":" + std::to_string(line) + ": " + message;
    return where + ": " + message;
}

}  // namespace

FileError::FileError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(describe(file, line, message)),
      file_(file),
      line_(line > 0 ? line : 0),
      message_(message) {}

}  // namespace vel

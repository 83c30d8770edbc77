// DrawingFile.h - reading and writing drawings: one writer interface with a back
// end per output format, and the readers, which report the file and line of a fault.
#pragma once

#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>

#include "vel/io/Progress.h"
#include "vel/kernel/Drawing.h"

namespace vel {

// A fault in an input file; what() reads "FILE:LINE: message" (line 0: unknown).
class FileError : public std::runtime_error {
public:
    FileError(const std::string& file, int line, const std::string& message);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    // What is wrong, without the file and line.
    const std::string& message() const { return message_; }

private:
    std::string file_;
    int line_;
    std::string message_;
};

class DrawingWriter {
public:
    virtual ~DrawingWriter() = default;
    void write(const Drawing& drawing, std::ostream& out) const { write(drawing, out, nullptr); }
    // `progress`, when given, hears how much is written and may stop the write (Cancelled).
    virtual void write(const Drawing& drawing, std::ostream& out, Progress* progress) const = 0;
};

std::unique_ptr<DrawingWriter> makeJsonWriter();
std::unique_ptr<DrawingWriter> makeSvgWriter();

// Replaces the drawing's content with the file's. Throws FileError, or Cancelled when
// `progress` stops the read; the drawing is then left as it was.
void readJsonDrawing(std::istream& in, const std::string& fileName, Drawing& drawing,
                     Progress* progress = nullptr);

}  // namespace vel

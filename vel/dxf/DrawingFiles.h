// DrawingFiles.h - the drawing files every front end opens and saves, by extension:
// JSON and DXF in, JSON, DXF and SVG out.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"
#include "vel/io/FileNames.h"

namespace vel {

// The writer for the file's extension; none when the host cannot write it.
std::unique_ptr<DrawingWriter> writerFor(const std::string& path);

// Tells `errors` of the first path the host cannot write, before anything runs; false then.
bool checkOutputFormats(const std::vector<std::string>& paths, std::ostream& errors);

// Written to a temporary file beside the target and renamed over it, so that a
// failed or cancelled write never leaves half a drawing behind. Throws
// FileError, or Cancelled when `progress` stops the write.
void writeDrawing(const Drawing& drawing, const std::string& path, Progress* progress = nullptr);

// Replaces the drawing with the file's (.json or .dxf). Throws FileError, or
// Cancelled when `progress` stops the read, leaving the drawing as it was.
// Returns what a DXF file held that the drawing cannot (nothing for JSON).
LeftOut readDrawing(Drawing& drawing, const std::string& path, Progress* progress = nullptr);

}  // namespace vel

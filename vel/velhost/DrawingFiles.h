// DrawingFiles.h - the drawing files velhost opens and saves, by extension:
// JSON and DXF in, JSON, DXF and SVG out.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"

namespace velhost {

// A file name given in UTF-8, as velhost takes every name, as a path. On Windows a plain string
// would be read in the system's code page.
std::filesystem::path PathOf(const std::string& utf8);

// Lower case, with the dot (".dxf"); empty when the name has none.
std::string ExtensionOf(const std::string& path);

// The writer for the file's extension; none when velhost cannot write it.
std::unique_ptr<vel::DrawingWriter> WriterFor(const std::string& path);

// Tells `errors` of the first path velhost cannot write, before anything runs; false then.
bool CheckOutputFormats(const std::vector<std::string>& paths, std::ostream& errors);

// Written to a temporary file beside the target and renamed over it, so that a
// failed or cancelled write never leaves half a drawing behind. Throws
// vel::FileError, or vel::Cancelled when `progress` stops the write.
void WriteDrawing(const vel::Drawing& drawing, const std::string& path,
                  vel::Progress* progress = nullptr);

// Replaces the drawing with the file's (.json or .dxf). Throws vel::FileError, or
// vel::Cancelled when `progress` stops the read, leaving the drawing as it was.
// Returns what a DXF file held that the drawing cannot (nothing for JSON).
vel::LeftOut ReadDrawing(vel::Drawing& drawing, const std::string& path,
                         vel::Progress* progress = nullptr);

}  // namespace velhost

// DxfFormat.h - DXF reading and writing through dxflib, kept out of every library
// that the plug-in links.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "vel/io/DrawingFile.h"

namespace vel {

std::unique_ptr<DrawingWriter> makeDxfWriter();

struct DxfReadReport {
    int skippedEntities = 0;  // entity kinds the drawing has no place for
};

// Replaces the drawing's content with the file's. Throws FileError.
DxfReadReport readDxfDrawing(const std::string& path, Drawing& drawing);
DxfReadReport readDxfDrawing(std::istream& in, const std::string& fileName, Drawing& drawing);

}  // namespace vel

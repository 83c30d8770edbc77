// DxfFormat.h - DXF reading and writing, each of our own in one pass,
// kept out of every library that the plug-in links.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vel/io/DrawingFile.h"
#include "vel/shapes/LeftOut.h"

namespace vel {

std::unique_ptr<DrawingWriter> makeDxfWriter();

struct DxfReadReport {
    LeftOut leftOut;
};

// What a file may make beyond what it lists, through its block references and the flattening
// of its curves, counted in figure elements and block copies: a floor that the arrays and curves
// of real drawings keep within, and more for each byte of a larger file, up to a bound on the
// whole. What a file makes, and the time reading it takes, grow with its size; a file that
// would make more is refused.
struct DxfReadLimits {
    size_t generatedFloor = 200'000;
    size_t generatedPerByte = 32;
    size_t generatedMost = 4'000'000;

    size_t budgetFor(size_t fileBytes) const {
        if (generatedFloor >= generatedMost) return generatedMost;
        const size_t room = generatedMost - generatedFloor;  // what bytes may add: no overflow
        const bool fits = generatedPerByte == 0 || fileBytes <= room / generatedPerByte;
        return generatedFloor + (fits ? fileBytes * generatedPerByte : room);
    }
};

// Replaces the drawing's content with the file's. Throws FileError, or Cancelled when
// `progress` stops the read; the drawing is then left as it was.
DxfReadReport readDxfDrawing(const std::string& path, Drawing& drawing,
                             Progress* progress = nullptr);
DxfReadReport readDxfDrawing(std::istream& in, const std::string& fileName, Drawing& drawing,
                             Progress* progress = nullptr, const DxfReadLimits& limits = {});

}  // namespace vel

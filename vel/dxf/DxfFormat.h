// DxfFormat.h - DXF reading and writing through dxflib, kept out of every library
// that the plug-in links.
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
#include "vel/kernel/Words.h"

namespace vel {

std::unique_ptr<DrawingWriter> makeDxfWriter();

// Why an entity of a file did not become a figure of the drawing.
enum class LeftOutReason {
    PaperSpace,    // a sheet's content, not the model
    ThreeD,        // off the drawing plane
    NotAFigure,    // texts, dimensions, hatches, images and the like
    Unsupported,   // a kind of geometry the host has no figure for
    Empty,         // a polyline without vertices
    MissingBlock,  // a reference to a block the file does not define
    BadValue,      // a shape that draws nothing, such as a circle of radius 0
};

// Counts of left-out entities by reason and entity type ("TEXT", "LINE").
class LeftOut {
public:
    void add(LeftOutReason reason, const std::string& type, int count = 1);
    // Another's counts, `times` over (a block's, for each copy of it placed).
    void add(const LeftOut& other, int times);
    int total() const { return total_; }
    int count(LeftOutReason reason, const std::string& type) const;
    // "left out 7 entities: 4 TEXT, 1 HATCH (not figures); 2 LINE (paper space)": the reasons
    // in a fixed order, the kinds of each by count; empty when nothing was left out.
    std::string summary() const;
    // The summary's parts for a window to say in its language: the count ("left out 7
    // entities:"), then one part per reason ("4 TEXT, 1 HATCH (not figures)"), which the
    // summary joins with a space and then "; ". Empty when nothing was left out.
    std::vector<Words> words() const;

private:
    std::map<std::pair<LeftOutReason, std::string>, int> counts_;
    int total_ = 0;
};

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

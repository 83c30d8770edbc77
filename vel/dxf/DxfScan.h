// DxfScan.h - the check of a DXF text before dxflib reads it. dxflib takes what
// it is given on trust: numbers are read up to the first character that does not
// fit ("12.5abc" is 12.5, "abc" is 0), a file cut short reads as a shorter
// drawing, counts it trusts can make it read past its means. The scan reads the
// text group by group as dxflib will, refuses what is not a whole DXF file with
// the file and line, and notes what the reader needs: where each object starts,
// which entities lie in paper space, the entities of kinds dxflib does not know
// at all, and the outlines of polyface meshes, whose faces dxflib does not pass on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/Progress.h"
#include "vel/kernel/Geometry.h"

namespace vel {

// The outline of a polyface mesh: the chains of edges that belong to one face only.
struct PolyfaceOutline {
    struct Chain {
        std::vector<Point> points;
        bool closed = false;
    };
    bool flat = true;  // every vertex at one height
    std::vector<Chain> chains;
};

// Where an object (code 0 or 9) starts: the line of its group code, and the offset in the text
// just after that group's value, by which the reader tells how far dxflib has read.
struct ObjectStart {
    size_t end = 0;
    int line = 0;
};

struct ScannedDxf {
    std::vector<ObjectStart> objects;  // in the order of the file
    std::unordered_set<int> paper;     // lines where entities of paper space start
    std::unordered_map<int, PolyfaceOutline> polyfaces;  // by the line where the mesh starts
    LeftOut leftOut;  // paper space, and kinds dxflib does not know
};

// Checks `text` and makes it what dxflib is to read: comments blanked where they stand, nothing
// after EOF. Throws FileError for anything that is not a whole text DXF file: no sections,
// a section without ENDSEC or a file without EOF (cut short), a group code that
// does not exist or has no value, a value that is not a number where the group
// code wants one (NaN and infinities included), a vertex or point count that
// disagrees with what follows it, lines too long for dxflib. `progress` counts the bytes
// scanned.
ScannedDxf scanDxf(std::string& text, const std::string& fileName, ProgressSteps& progress);

// The reason an entity of this kind, in model space, is not a figure.
LeftOutReason reasonForKind(std::string_view type);

// A value of the file as it may stand in a message: at most 40 characters in
// quotes, with control characters and bytes that are not UTF-8 as \xNN.
std::string quotedValue(std::string_view value);

}  // namespace vel

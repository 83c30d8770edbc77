// DxfScan.h - the one pass over a DXF text: group by group, each checked as it is read, and
// handed to the reader that builds the drawing from it. The scan refuses what is not a whole DXF
// file with the file and line (a number that is not one, a file cut short, counts beyond what
// the file holds) and notes what the reader needs: which entities lie in paper space, the
// entities of kinds no reader of ours knows, and the outlines of polyface meshes.
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

struct ScannedDxf {
    std::unordered_set<int> paper;  // lines where entities of paper space start, as far as read
    LeftOut leftOut;                // paper space, and kinds no reader of ours knows
};

// What reads the groups as the scan checks them.
class DxfGroups {
public:
    virtual ~DxfGroups() = default;
    // Every group but comments, in the file's order: its value without its line end, cut at a
    // zero byte; `line` is that of its group code. A group of code 0 or 9 comes once the scan has
    // noted what the object before it tells (paper space, a polyface mesh ended).
    virtual void group(int code, std::string_view value, int line) = 0;
    // A polyface mesh's outline, once its last vertex is read; `line` is where the mesh starts.
    virtual void polyface(int line, PolyfaceOutline outline) = 0;
    // The text before `at` has been read, and what it held handed over: an object starts there.
    virtual void passed(const char* at) { (void)at; }
};

// Reads `text` through `groups`, up to its EOF, noting in `out`. Throws FileError for anything
// that is not a whole text DXF file: no sections, a section without ENDSEC or a file without EOF
// (cut short), a group code that does not exist or has no value, a value that is not a number
// where the group code wants one (NaN and infinities included), a vertex or point count that
// disagrees with what follows it, lines over 1,000 characters. `progress` counts the bytes read.
void scanDxf(std::string_view text, const std::string& fileName, ProgressSteps& progress,
             DxfGroups& groups, ScannedDxf& out);

// The value of a group the scan has passed as a whole number or a number: blanks round it and
// one sign allowed; 0 where it does not fit the type.
long long wholeValue(std::string_view value);
double realValue(std::string_view value);

// The reason an entity of this kind, in model space, is not a figure.
LeftOutReason reasonForKind(std::string_view type);

// A value of the file as it may stand in a message: at most 40 characters in
// quotes, with control characters and bytes that are not UTF-8 as \xNN.
std::string quotedValue(std::string_view value);

}  // namespace vel

// LeftOut.h - what a file or a host handed over that the drawing cannot hold, counted by
// reason and kind, and said in a summary a window can put in its language.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "vel/kernel/Words.h"

namespace vel {

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

}  // namespace vel

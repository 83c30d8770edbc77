// HoleOutline.h - the hole outline: an offset copy of the last insert outline
// whose corner R and chamfer sizes are enlarged or converted, on the hole's own
// layer, colour and line type.
#pragma once

#include <cstdint>

#include "host/VelLib.h"

// One corner of the hole to change, noted while the hole is read and changed
// only after every corner has been noted.
struct HoleCornerEntry {
    FigureRef reference{};  // {1, corner element id}
    int32_t type = 0;       // VEL_FIG_CORNER_R or VEL_FIG_CHAMFER
    int32_t convert = 0;    // 1: replace by a corner of the other kind; 0: resize in place
    double size = 0.0;      // the new radius or chamfer size
};

// Room in the work list, which is fixed so that collecting needs no allocation.
// An insert outline has four corners, so this leaves a wide margin for outlines
// drawn by other means. A hole with more corners to change is refused as a
// whole before any corner is touched: changing only some of them would give a
// hole that looks finished but is not.
inline constexpr int kMaxHoleCorners = 49;

enum class HoleResult {
    NotWanted,  // the settings ask for no hole; nothing was asked of the host
    Made,
    Failed,  // a step failed; nothing of the hole stays in the drawing
};

// Makes the hole from the outline recorded in gInsertAnnotations when the
// settings ask for one. It is all or nothing: when the host refuses a step
// (the copy or offset, reading an element, a resize, a conversion, the layer
// or the line attributes), or more than kMaxHoleCorners corners would have to
// change, the hole segment made so far is deleted again, so that no hole that
// looks finished but is not stays on top of the insert. A chamfer whose size
// cannot be measured is left as drawn.
HoleResult CreateHoleOutline();

// Snap.h - object snaps: the exact point of the drawing a point prompt takes
// when the cursor comes near it (an end, a middle, a centre, a quadrant, a
// crossing of two figures, or the nearest point on a figure), found through the
// spatial index so that the lookup costs the same in any size of drawing.
#pragma once

#include <optional>
#include <string_view>

#include "vel/kernel/Geometry.h"

namespace vel {

class Drawing;

enum class SnapKind { Endpoint, Midpoint, Centre, Quadrant, Intersection, Nearest };
inline constexpr int kSnapKindCount = 6;

// The kinds that are on, as a bit per kind (the form the window keeps between sessions).
class SnapKinds {
public:
    constexpr SnapKinds() = default;
    static constexpr SnapKinds fromBits(unsigned bits) {
        SnapKinds k;
        k.bits_ = bits & ((1u << kSnapKindCount) - 1);
        return k;
    }
    // Ends, middles, centres, quadrants and crossings: points a designer aims at.
    // The nearest point on a figure snaps everywhere, so it waits to be asked for.
    static constexpr SnapKinds defaults() { return fromBits(0b011111); }
    constexpr unsigned bits() const { return bits_; }
    constexpr bool has(SnapKind kind) const { return bits_ & bit(kind); }
    constexpr void set(SnapKind kind, bool on) {
        bits_ = on ? bits_ | bit(kind) : bits_ & ~bit(kind);
    }
    constexpr bool none() const { return bits_ == 0; }

private:
    static constexpr unsigned bit(SnapKind kind) { return 1u << static_cast<unsigned>(kind); }
    unsigned bits_ = 0;
};

struct Snap {
    Point at;
    SnapKind kind = SnapKind::Endpoint;
};

// "Endpoint", "Midpoint", ...: the kind as the status bar and the snap menu name it.
std::string_view snapKindName(SnapKind kind);

// The snap for a cursor at p: of the points of the kinds that are on within `reach` of p, the
// nearest (an end before a middle before ... where two coincide); failing that, the centre of
// the curve the cursor lies on; failing that, the nearest point on the nearest figure.
std::optional<Snap> findSnap(const Drawing& drawing, Point p, double reach, SnapKinds kinds);

}  // namespace vel

// HoleOutline.cpp - the hole outline: copy or offset of the insert outline, the
// corner work list, its processing, and the hole's layer and line attributes.
#include "geometry/HoleOutline.h"

#include <array>

#include "geometry/InsertAnnotations.h"
#include "geometry/Measure.h"
#include "settings/InsertSettings.h"
#include "settings/TextConversions.h"

namespace {

// The drawing is the host's only instance; the hole and its outline live there.
constexpr int32_t kDrawingInstance = 1;

struct HoleSettings {
    int layer = 0;
    double offset = 0.0;
    double radiusAmount = 0.0;   // added to every corner R
    double chamferAmount = 0.0;  // added to every chamfer
    bool cornerToChamfer = false;
    bool chamferToCorner = false;
    LineAttributes attributes{};
};

HoleSettings ReadHoleSettings() {
    const InsertSettings& s = gInsertSettings;
    HoleSettings h;
    h.layer = TextToInt(s.mLayerHole);
    h.offset = TextToReal(s.mOffsetHole);
    h.radiusAmount = TextToReal(s.mCornerRHole);
    h.chamferAmount = TextToReal(s.mChamferHole);
    h.cornerToChamfer = s.mIsCornerConvHole != 0;
    h.chamferToCorner = s.mIsChamferConvHole != 0;
    h.attributes = {s.ColorHole, s.LTypeHole, 0};
    return h;
}

// The new segment holding the hole, or -1. The host offsets to the right of
// travel, so the distance is turned round for a clockwise outline to keep a
// positive distance on the outside whichever way the outline was drawn.
int MakeHoleSegment(int outline, double offset) {
    if (offset == 0.0) {
        const VelPoint origin{0.0, 0.0};
        return VelSgmEditSegment(outline, &origin, &origin, 0.0, 1.0, 0);
    }
    const int direction = VelFigGetDirection(outline);
    if (direction == -1) return -1;
    if (direction == 2) offset *= -1.0;
    const FigureRef ref{kDrawingInstance, outline};
    return VelFigOffset(&ref, offset);
}

struct CornerList {
    std::array<HoleCornerEntry, kMaxHoleCorners> entries{};
    int count = 0;

    bool append(const HoleCornerEntry& entry) {
        if (count == kMaxHoleCorners) return false;
        entries[count++] = entry;
        return true;
    }
};

// Notes every corner of the hole that the settings change. False on a failed
// read or when the list would overflow; nothing in the drawing changes here.
bool CollectCorners(int hole, const HoleSettings& h, CornerList& list) {
    for (int element = VelSgmGetHeadElementId(hole); element != -1;
         element = VelElmGetNextElementId(element)) {
        const FigureRef ref{kDrawingInstance, element};
        FigureBuffer buffer{};
        if (VelFigGetFigure(&ref, &buffer) == -1) return false;
        const FigureData& f = buffer.figure;

        if (f.type == VEL_FIG_CORNER_R) {
            const double radius = f.values[6];
            if (h.cornerToChamfer) {
                if (!list.append({ref, VEL_FIG_CORNER_R, 1, radius + h.radiusAmount})) return false;
            } else if (h.radiusAmount != 0.0) {
                if (!list.append({ref, VEL_FIG_CORNER_R, 0, radius + h.radiusAmount})) return false;
            }
        } else if (f.type == VEL_FIG_CHAMFER) {
            if (!h.chamferToCorner && h.chamferAmount == 0.0) continue;
            // A chamfer with no single size (unequal legs, or neighbours that are
            // neither lines nor arcs) has nothing to enlarge from: it stays as drawn.
            double measured = 0.0;
            if (!MeasureChamfer(ref, measured)) continue;
            const int32_t convert = h.chamferToCorner ? 1 : 0;
            if (!list.append({ref, VEL_FIG_CHAMFER, convert, measured + h.chamferAmount}))
                return false;
        }
    }
    return true;
}

// Applies the noted changes in order; stops at the first change the host refuses.
// A corner to convert whose neighbours cannot be found is passed over.
bool ChangeCorners(int hole, const CornerList& list) {
    for (int i = 0; i < list.count; ++i) {
        const HoleCornerEntry& entry = list.entries[i];
        const int corner = entry.reference.id;
        if (entry.convert == 0) {
            if (VelFigAmendCorner(corner, entry.size) == -1) return false;
            continue;
        }
        int before = -1;
        int after = -1;
        // Without both neighbours the replacement could not be placed, so the
        // corner is left as it is rather than removed; the others still change.
        if (!PrevElementWrapped(corner, hole, before) || !NextElementWrapped(corner, hole, after))
            continue;
        const int kind = entry.type == VEL_FIG_CHAMFER ? VEL_CORNER_ROUND : VEL_CORNER_CHAMFER;
        if (VelFigRemoveCorner(corner) == -1) return false;
        if (VelFigAddCorner(before, after, kind, entry.size) == -1) return false;
    }
    return true;
}

bool MoveToHoleLayer(int hole, int layer) {
    if (!VelLyrHasLayer(layer) && VelLyrCreateLayer(layer) == -1) return false;
    return VelSgmChangeLayer(hole, layer) != -1;
}

bool StyleHole(int hole, const LineAttributes& attributes) {
    for (int element = VelSgmGetHeadElementId(hole); element != -1;
         element = VelElmGetNextElementId(element))
        if (VelFigSetLineType(element, &attributes) == -1) return false;
    return true;
}

}  // namespace

HoleResult CreateHoleOutline() {
    if (gInsertSettings.mIsCheckHole == 0) return HoleResult::NotWanted;
    const HoleSettings h = ReadHoleSettings();

    const int hole = MakeHoleSegment(gInsertAnnotations.outlineSegment, h.offset);
    if (hole == -1) return HoleResult::Failed;

    CornerList corners;
    if (CollectCorners(hole, h, corners) && ChangeCorners(hole, corners) &&
        MoveToHoleLayer(hole, h.layer) && StyleHole(hole, h.attributes))
        return HoleResult::Made;
    VelSgmDeleteSegment(hole);
    return HoleResult::Failed;
}

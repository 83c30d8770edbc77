// RecordedIds.h - deletion of ids the plug-in has recorded. Once deleted, the
// record holds 0, so that no later deletion can reach an id the host may since
// have handed to one of the user's own elements.
#pragma once

#include <cstdint>

#include "host/VelLib.h"

inline void DeleteRecordedElement(int32_t& elementId) {
    VelElmDeleteElement(elementId);
    elementId = 0;
}

inline void DeleteRecordedSegment(int32_t& segmentId) {
    VelSgmDeleteSegment(segmentId);
    segmentId = 0;
}

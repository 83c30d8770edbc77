// HostInput.cpp - inputs of a person or a script turned into host events.
#include "vel/io/HostInput.h"

#include <sstream>

namespace vel {

namespace {

InputResult refused(std::string why) {
    return InputResult{std::move(why)};
}

std::string where(Point p) {
    std::ostringstream text;
    text << "(" << p.x << ", " << p.y << ")";
    return text.str();
}

}  // namespace

InputResult HostInput::start() {
    if (!host_.registered()) return refused("no command is registered");
    if (host_.running()) return refused("the command is already running");
    host_.startCommand();
    return {};
}

PickTarget HostInput::targetAt(Point p) const {
    PickTarget target;
    switch (host_.eventMask()) {
        case VEL_MASK_FIGURE:
        case VEL_MASK_SELECTION:
            target.segmentId = host_.nearestSegment(p);
            break;
        case VEL_MASK_ELEMENT:
            target.elementId = host_.nearestElement(p);
            if (target.elementId)
                target.segmentId = host_.drawing().segmentOfElement(*target.elementId)->id;
            break;
        default:
            break;
    }
    return target;
}

InputResult HostInput::pick(Point p) {
    if (!host_.running()) return refused("pick needs a running command");
    VelEventData e;
    e.code = VEL_EVENT_POINTER;
    e.hasPoint = true;
    e.point = p;
    const int mask = host_.eventMask();
    if (mask != VEL_MASK_FIGURE && mask != VEL_MASK_ELEMENT && mask != VEL_MASK_POINT &&
        mask != VEL_MASK_SELECTION)
        return refused("no pick is armed");
    const PickTarget target = targetAt(p);
    if (mask == VEL_MASK_ELEMENT) {
        if (!target.elementId) return refused("no pickable element within reach of " + where(p));
        e.elementId = *target.elementId;
        e.segmentId = *target.segmentId;
        e.instanceId = 1;
    } else if (mask != VEL_MASK_POINT) {
        if (!target.segmentId) return refused("nothing within reach of " + where(p));
        if (mask == VEL_MASK_SELECTION) {
            host_.addToSelection(*target.segmentId);
            return {};
        }
        e.segmentId = *target.segmentId;
        e.instanceId = 1;
    }
    host_.dispatch(e);
    return {};
}

InputResult HostInput::select(const Extents& window) {
    if (!host_.running()) return refused("select needs a running command");
    if (host_.eventMask() != VEL_MASK_SELECTION) return refused("no selection is armed");
    for (int id : host_.segmentsInside(window)) host_.addToSelection(id);
    return {};
}

InputResult HostInput::withoutPoint(int code, const char* what) {
    if (!host_.running()) return refused(std::string(what) + " needs a running command");
    VelEventData e;
    e.code = code;
    host_.dispatch(e);
    return {};
}

InputResult HostInput::done() {
    return withoutPoint(VEL_EVENT_SELECTION_DONE, "done");
}
InputResult HostInput::confirm() {
    return withoutPoint(VEL_EVENT_CONFIRM, "confirm");
}
InputResult HostInput::key() {
    return withoutPoint(VEL_EVENT_OTHER, "key");
}

}  // namespace vel

// Host.cpp - the run of the registered command, events, picking, the selection,
// id sets, prompts and message boxes of the stand-in host.
#include "vel/kernel/Host.h"

#include <algorithm>

#include <limits>
#include <ostream>

#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/Text.h"

namespace vel {

Host& Host::instance() {
    static Host host;
    return host;
}

void Host::reset() {
    drawing_.clear();
    firstReady_ = nullptr;
    preStart_ = nullptr;
    terminate_ = nullptr;
    ready_ = nullptr;
    execute_ = nullptr;
    compare_ = nullptr;
    mask_ = 0;
    echo_.reset();
    running_ = false;
    aperture_ = 1.0;
    clearSelection();
    openHandle_ = 0;
    cursor_ = 0;
    apSet_.clear();
    apSetOpen_ = false;
    prompts_.clear();
    messages_.clear();
    messageOut_ = nullptr;
    presentMessage_ = nullptr;
    trace_ = nullptr;
}

void Host::registerCommand(VelReadyFunc firstReady, VelPreStartFunc preStart,
                           VelTerminateFunc terminate) {
    firstReady_ = firstReady;
    preStart_ = preStart;
    terminate_ = terminate;
}

void Host::writeTraceLine(const std::string& jsonLine) {
    if (trace_) *trace_ << jsonLine << '\n';
}

int Host::callReady(VelReadyFunc f) {
    if (!f) return 0;
    writeTraceLine(R"({"callback":"ready"})");
    return f();
}

bool Host::startCommand() {
    if (!registered() || running_) return false;
    if (preStart_) {
        writeTraceLine(R"({"callback":"prestart"})");
        if (preStart_() != 0) return false;
    }
    running_ = true;
    refusal_ = {};
    ready_ = firstReady_;
    execute_ = nullptr;
    compare_ = nullptr;
    mask_ = 0;
    echo_.reset();
    callReady(firstReady_);
    return true;
}

void Host::endRun() {
    running_ = false;
    execute_ = nullptr;
    compare_ = nullptr;
    echo_.reset();
    if (terminate_) {
        writeTraceLine(R"({"callback":"terminate"})");
        terminate_();
    }
}

void Host::escape() {
    if (running_) endRun();
}

int Host::dispatch(const VelEventData& event) {
    if (!running_ || !execute_) return -1;
    VelEventData data = event;
    refusal_ = {};
    writeTraceLine(R"({"callback":"execute","code":)" + std::to_string(event.code) + "}");
    const int result = execute_(event.code, &data);
    switch (result) {
        case VEL_EXEC_END:
            endRun();
            break;
        case VEL_EXEC_NEXT:
            callReady(ready_);
            break;
        default:
            break;  // 3, and anything unknown, keeps the step waiting
    }
    return result;
}

// Candidates come in id order and only a strictly nearer one replaces the best,
// so ties go to the lowest id as when every segment was measured.
std::optional<int> Host::nearestSegment(Point p) const {
    std::optional<int> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int id : drawing_.segmentsNear(p, aperture_)) {
        const Segment* s = drawing_.segment(id);
        for (const Primitive& prim : drawnPrimitives(drawing_, *s)) {
            const double dist = distanceTo(prim, p);
            if (dist <= aperture_ && dist < bestDistance) {
                bestDistance = dist;
                best = id;
            }
        }
    }
    return best;
}

std::optional<int> Host::nearestElement(Point p) const {
    std::optional<int> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int id : drawing_.segmentsNear(p, aperture_)) {
        // The compare function is the plug-in's and may change the drawing.
        const Segment* s = drawing_.segment(id);
        for (size_t i = 0; s && i < s->elements.size(); ++i) {
            const int elementId = s->elements[i].id;
            double nearest = std::numeric_limits<double>::infinity();
            for (const Primitive& prim : drawnPrimitives(drawing_, *s, static_cast<int>(i)))
                nearest = std::min(nearest, distanceTo(prim, p));
            if (nearest > aperture_ || nearest >= bestDistance) continue;
            if (compare_ && compare_(elementId) != 1) continue;
            bestDistance = nearest;
            best = elementId;
        }
    }
    return best;
}

std::vector<int> Host::segmentsInside(const Extents& window) const {
    return drawing_.segmentsInside(window);
}

void Host::addToSelection(int segmentId) {
    if (selected_.insert(segmentId).second) selection_.push_back({segmentId, 1});
}

void Host::removeFromSelection(int segmentId) {
    if (selected_.erase(segmentId) == 0) return;
    selection_.erase(std::find_if(selection_.begin(), selection_.end(),
                                  [&](const SelIdRecord& r) { return r.segmentId == segmentId; }));
}

void Host::clearSelection() {
    selection_.clear();
    selected_.clear();
}

int Host::openSelection() {
    openHandle_ = 1;
    cursor_ = 0;
    return openHandle_;
}

int Host::selectionHead(int handle, SelIdRecord* record) {
    if (handle != openHandle_ || handle == 0 || !record) return -1;
    cursor_ = 0;
    return selectionNext(handle, record);
}

int Host::selectionNext(int handle, SelIdRecord* record) {
    if (handle != openHandle_ || handle == 0 || !record) return -1;
    if (cursor_ >= selection_.size()) return -1;
    *record = selection_[cursor_++];
    return 0;
}

int Host::closeSelection(int handle) {
    if (handle != openHandle_ || handle == 0) return -1;
    openHandle_ = 0;
    cursor_ = 0;
    return 0;
}

int Host::openApSet(int set) {
    if (set != kScratchSet) return -1;
    apSetOpen_ = true;
    return 0;
}

int Host::initApSet(int set) {
    if (set != kScratchSet) return -1;
    apSet_.clear();
    return 0;
}

int Host::closeApSet(int set) {
    if (set != kScratchSet) return -1;
    apSetOpen_ = false;
    return 0;
}

int Host::searchSegments(int instanceId, VelSegmentFilterFunc filter, int set) {
    if (!isDrawingInstance(instanceId) || set != kScratchSet) return -1;
    apSet_.clear();
    for (const auto& [id, s] : drawing_.segments())
        if (!filter || filter(id) == 1) apSet_.push_back(id);
    return 0;
}

int Host::messageBox(std::u16string text) {
    if (messageOut_) *messageOut_ << "message: " << toUtf8(text) << std::endl;
    if (presentMessage_) presentMessage_(text);
    messages_.push_back(std::move(text));
    return 1;  // OK
}

}  // namespace vel

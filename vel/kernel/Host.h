// Host.h - the stand-in host's own side: the drawing, the registered command and
// its run, input events, the selection and id sets, the record of prompts and
// messages, and the trace of the plug-in's host calls. velhost and the tests
// drive the plug-in through this; the plug-in itself sees only host/VelLib.h.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/VelLib.h"
#include "vel/kernel/Drawing.h"
#include "vel/kernel/Words.h"

// What an execute function receives; the plug-in only hands it back.
struct VelEventData {
    int code = 0;
    bool hasPoint = false;
    vel::Point point;
    int segmentId = -1;
    int instanceId = -1;
    int elementId = -1;
};

namespace vel {

// The one drawing instance answers to these instance ids.
inline bool isDrawingInstance(int instanceId) {
    return instanceId == 0 || instanceId == 1;
}

class Host {
public:
    static Host& instance();

    Drawing& drawing() { return drawing_; }
    const Drawing& drawing() const { return drawing_; }

    // Forgets the drawing, the registration and every run state.
    void reset();

    // ---- registration and the run ------------------------------------------
    bool registered() const { return firstReady_ != nullptr; }
    void registerCommand(VelReadyFunc firstReady, VelPreStartFunc preStart,
                         VelTerminateFunc terminate);
    // Starts the command: pre-start (non-zero cancels), then the first ready
    // function. False when nothing is registered, a run is going or it was cancelled.
    bool startCommand();
    // Leaves the command: the run ends and the terminate callback is called.
    void escape();
    bool running() const { return running_; }

    void setReadyFunc(VelReadyFunc f) { ready_ = f; }
    void setExecuteFunc(VelExecuteFunc f) { execute_ = f; }
    VelExecuteFunc executeFunc() const { return execute_; }
    // Arming a mask starts a step: a rubber band belongs to the step that asked for it.
    void setEventMask(int mask) {
        mask_ = mask;
        echo_.reset();
    }
    int eventMask() const { return mask_; }
    void setCompare(VelCompareFunc f) { compare_ = f; }
    VelCompareFunc compare() const { return compare_; }
    void setEcho(std::optional<Point> from) { echo_ = from; }
    std::optional<Point> echo() const { return echo_; }

    // Hands one event to the execute function and follows its answer.
    // Returns the execute function's result, or -1 when no run is waiting.
    int dispatch(const VelEventData& event);

    // ---- picking ---------------------------------------------------------------
    double aperture() const { return aperture_; }
    void setAperture(double a) { aperture_ = a; }
    // Nearest segment (any kind) within the aperture.
    std::optional<int> nearestSegment(Point p) const;
    // Nearest element within the aperture that the compare function accepts.
    std::optional<int> nearestElement(Point p) const;
    // Segments lying wholly inside the window, in id order.
    std::vector<int> segmentsInside(const Extents& window) const;

    // ---- selection and id sets ------------------------------------------------
    void addToSelection(int segmentId);
    void removeFromSelection(int segmentId);
    void clearSelection();
    const std::vector<SelIdRecord>& selection() const { return selection_; }
    int openSelection();
    int openSelectionHandle() const { return openHandle_; }
    int selectionHead(int handle, SelIdRecord* record);
    int selectionNext(int handle, SelIdRecord* record);
    int closeSelection(int handle);
    // Id set 5 is the host's scratch list of segments found by a search; it never touches the
    // selection or the drawing.
    static constexpr int kScratchSet = 5;
    int openApSet(int set);
    int initApSet(int set);
    int closeApSet(int set);
    int searchSegments(int instanceId, VelSegmentFilterFunc filter, int set);
    const std::vector<int>& apSet() const { return apSet_; }

    // ---- prompts and messages -------------------------------------------------
    void putPrompt(std::u16string text) { prompts_.push_back(std::move(text)); }
    // Why the host last refused a call of the plug-in's, in plain words, until taken or the next
    // input comes: a window says it beside the plug-in's own fixed message, which a refusal of
    // an earlier step did not bring about.
    void noteRefusal(Words why) { refusal_ = std::move(why); }
    Words takeRefusal() { return std::exchange(refusal_, {}); }
    const std::vector<std::u16string>& prompts() const { return prompts_; }
    int messageBox(std::u16string text);
    const std::vector<std::u16string>& messages() const { return messages_; }
    // When set (a scripted run), message boxes print "message: TEXT" here.
    void setMessageStream(std::ostream* out) { messageOut_ = out; }
    // When set (the window), message boxes are shown to the person, who answers OK.
    void setMessagePresenter(std::function<void(const std::u16string&)> show) {
        presentMessage_ = std::move(show);
    }

    // ---- trace -----------------------------------------------------------------
    // One JSON object a line for every host call of the plug-in and every callback.
    void setTrace(std::ostream* out) { trace_ = out; }
    bool tracing() const { return trace_ != nullptr; }
    void writeTraceLine(const std::string& jsonLine);

private:
    Host() = default;
    void endRun();
    int callReady(VelReadyFunc f);

    Drawing drawing_;

    VelReadyFunc firstReady_ = nullptr;
    VelPreStartFunc preStart_ = nullptr;
    VelTerminateFunc terminate_ = nullptr;
    VelReadyFunc ready_ = nullptr;
    VelExecuteFunc execute_ = nullptr;
    VelCompareFunc compare_ = nullptr;
    int mask_ = 0;
    std::optional<Point> echo_;
    bool running_ = false;
    double aperture_ = 1.0;

    std::vector<SelIdRecord> selection_;  // in pick order
    std::unordered_set<int> selected_;    // the same segments, to refuse a second pick
    int openHandle_ = 0;
    size_t cursor_ = 0;
    std::vector<int> apSet_;
    bool apSetOpen_ = false;

    std::vector<std::u16string> prompts_;
    Words refusal_;
    std::vector<std::u16string> messages_;
    std::ostream* messageOut_ = nullptr;
    std::function<void(const std::u16string&)> presentMessage_;
    std::ostream* trace_ = nullptr;
};

}  // namespace vel

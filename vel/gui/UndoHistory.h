// UndoHistory.h - undo and redo by insert: what each insert of a run changed, kept as
// the segments it touched before and after, so that one step takes back one insert at
// the cost of what it touched. The plug-in knows nothing of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vel/kernel/Drawing.h"

namespace velgui {

class UndoHistory {
public:
    // A run is about to change the drawing.
    void begin(vel::Drawing& drawing);
    // The run has made an insert and goes on: what it changed so far is one step.
    void cut(vel::Drawing& drawing);
    // The run has ended: its steps that changed the drawing are kept. True when one was.
    bool end(vel::Drawing& drawing);
    bool inRun() const { return inRun_; }

    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    void undo(vel::Drawing& drawing);
    void redo(vel::Drawing& drawing);
    void clear();

    // Names the drawing's place in the history: it changes with every run kept, undo
    // and redo, and comes back with the drawing, so a window can tell when the drawing
    // is again as it was saved. A new branch never reuses the name of one forgotten.
    std::uint64_t state() const { return done_.empty() ? base_ : done_.back().serial; }

    // Steps kept at most; the oldest goes first.
    static constexpr size_t kDepth = 30;

private:
    struct Step {
        vel::DrawingChange change;
        std::uint64_t serial = 0;
    };
    // Moves the newest step of `from` to `to`, leaving the drawing as it was before
    // the step (back) or after it.
    void take(std::vector<Step>& from, std::vector<Step>& to, vel::Drawing& drawing, bool back);

    bool inRun_ = false;
    std::vector<vel::DrawingChange> run_;  // the steps of the run so far, cut at its inserts
    std::vector<Step> done_;
    std::vector<Step> undone_;
    std::uint64_t serials_ = 0;
    std::uint64_t base_ = 0;  // the state before the oldest step kept
};

}  // namespace velgui

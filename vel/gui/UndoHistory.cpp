// UndoHistory.cpp - the steps of undo and redo.
#include "vel/gui/UndoHistory.h"

#include <utility>

namespace velgui {

void UndoHistory::begin(vel::Drawing& drawing) {
    drawing.recordChanges();
    inRun_ = true;
    run_.clear();
}

void UndoHistory::cut(vel::Drawing& drawing) {
    if (!inRun_) return;
    run_.push_back(drawing.finishChanges());
    drawing.recordChanges();
}

bool UndoHistory::end(vel::Drawing& drawing) {
    if (!inRun_) return false;
    inRun_ = false;
    run_.push_back(drawing.finishChanges());
    // Each step has left out what it made and removed again (the rectangle of two corners).
    bool kept = false;
    for (vel::DrawingChange& step : run_) {
        if (step.empty()) continue;
        done_.push_back({std::move(step), ++serials_});
        kept = true;
    }
    run_.clear();
    while (done_.size() > kDepth) {
        base_ = done_.front().serial;
        done_.erase(done_.begin());
    }
    if (kept) undone_.clear();
    return kept;
}

void UndoHistory::undo(vel::Drawing& drawing) {
    take(done_, undone_, drawing, true);
}

void UndoHistory::redo(vel::Drawing& drawing) {
    take(undone_, done_, drawing, false);
}

void UndoHistory::take(std::vector<Step>& from, std::vector<Step>& to, vel::Drawing& drawing,
                       bool back) {
    if (from.empty()) return;
    to.push_back(std::move(from.back()));
    from.pop_back();
    drawing.applyChange(to.back().change, back);
}

void UndoHistory::clear() {
    inRun_ = false;
    run_.clear();
    base_ = 0;
    done_.clear();
    undone_.clear();
}

}  // namespace velgui

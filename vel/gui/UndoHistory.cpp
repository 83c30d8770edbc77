// UndoHistory.cpp - the steps of undo and redo.
#include "vel/gui/UndoHistory.h"

#include <utility>

namespace velgui {

void UndoHistory::begin(vel::Drawing& drawing) {
    drawing.recordChanges();
    inRun_ = true;
}

bool UndoHistory::end(vel::Drawing& drawing) {
    if (!inRun_) return false;
    inRun_ = false;
    vel::DrawingChange change = drawing.finishChanges();
    if (change.empty()) return false;
    done_.push_back({std::move(change), ++serials_});
    if (done_.size() > kDepth) {
        base_ = done_.front().serial;
        done_.erase(done_.begin());
    }
    undone_.clear();
    return true;
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
    base_ = 0;
    done_.clear();
    undone_.clear();
}

}  // namespace velgui

// UndoHistory.cpp - the steps of undo and redo.
#include "vel/gui/UndoHistory.h"

namespace velgui {

void UndoHistory::begin(const vel::Drawing& before) {
    before_ = before;
}

bool UndoHistory::end(const vel::Drawing& after) {
    if (!before_) return false;
    const bool changed = before_->revision() != after.revision();
    if (changed) {
        done_.push_back({std::move(*before_), after, ++serials_});
        if (done_.size() > kDepth) {
            base_ = done_.front().serial;
            done_.erase(done_.begin());
        }
        undone_.clear();
    }
    before_.reset();
    return changed;
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
    drawing = back ? to.back().before : to.back().after;
}

void UndoHistory::clear() {
    before_.reset();
    base_ = 0;
    done_.clear();
    undone_.clear();
}

}  // namespace velgui

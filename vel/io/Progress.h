// Progress.h - how far a long read or write of a drawing has come, told to whoever
// shows it (the window's progress bar, velhost's line on a terminal), and the way
// the user stops it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace vel {

// Hears now and then what share of a read or write is done.
class Progress {
public:
    virtual ~Progress() = default;
    // `done` runs from 0 to 1. Throws Cancelled to stop the work.
    virtual void advance(double done) = 0;
};

// A read or write that its Progress stopped: what it was to replace stays as it was.
class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("cancelled") {}
};

// One pass of `total` steps (bytes read, segments written) that makes up the share [from, to]
// of the whole work. `progress` (none: nobody listens) is told each time another thousandth of
// the pass is done, so that counting a step costs next to nothing.
class ProgressSteps {
public:
    ProgressSteps(Progress* progress, size_t total, double from = 0.0, double to = 1.0)
        : progress_(progress),
          total_(std::max<size_t>(total, 1)),
          stride_(std::max<size_t>(total_ / kTells, 1)),
          from_(from),
          to_(to),
          share_(from) {}

    // `done` of the pass's steps are done.
    void at(size_t done) {
        if (progress_ && done >= next_) tell(done);
    }
    void step() { at(++done_); }
    // Tells `progress` again how far the pass has come, for work that goes on where the count
    // of steps stands still.
    void poll() {
        if (progress_) progress_->advance(share_);
    }

private:
    static constexpr size_t kTells = 1000;

    void tell(size_t done) {
        next_ = done + stride_;
        share_ = from_ + (to_ - from_) * static_cast<double>(std::min(done, total_)) / total_;
        progress_->advance(share_);
    }

    Progress* progress_;
    size_t total_, stride_;
    double from_, to_;
    double share_ = 0.0;  // of the whole work, last told
    size_t done_ = 0, next_ = 0;
};

}  // namespace vel

// SegmentIndex.h - the drawing's spatial index: each segment's drawn extents in
// an R-tree, so that window selections and picks look only at the segments
// near them instead of the whole drawing.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "vel/kernel/Geometry.h"

namespace vel {

class Drawing;

// Segments are only marked as touched while the drawing changes; their boxes
// are brought up to date at the next query, so each change costs O(log n) once,
// however changes and queries alternate. A copy starts over and is rebuilt from
// its drawing at its first query.
class SegmentIndex {
public:
    SegmentIndex();
    ~SegmentIndex();
    SegmentIndex(const SegmentIndex&);
    SegmentIndex& operator=(const SegmentIndex&);
    SegmentIndex(SegmentIndex&&) noexcept;
    SegmentIndex& operator=(SegmentIndex&&) noexcept;

    // Forgets every box; the next query rebuilds the index from the drawing.
    void clear();
    // The segment was created, changed or deleted.
    void touch(int segmentId) {
        // Runs of changes to one segment count once; with a rebuild due, none count.
        if (rebuild_ || segmentId == lastTouched_) return;
        lastTouched_ = segmentId;
        touched_.push_back(segmentId);
        // Past this many the next query rebuilds anyway, so the list need not grow on.
        if (touched_.size() > kRebuildShare * (indexed_ + 1)) {
            touched_.clear();
            rebuild_ = true;
        }
    }

    // Ids, ascending, of the segments whose drawn extents lie wholly inside the window.
    std::vector<int> inside(const Drawing& drawing, const Extents& window);
    // Ids, ascending, of every segment that has a drawn primitive within `reach`
    // of p, and possibly some more: the caller measures the real distance.
    std::vector<int> near(const Drawing& drawing, Point p, double reach);
    // The union of every segment's drawn extents, a primitive whose extents are not
    // finite left out. The boxes the index keeps spare measuring the drawing again.
    Extents extents(const Drawing& drawing);

private:
    // When at least one changed segment waits per this many segments of the
    // drawing, packing every box afresh is cheaper than taking each out and
    // putting it back.
    static constexpr size_t kRebuildShare = 2;

    struct Tree;
    bool rebuildDue(const Drawing& drawing) const;
    void refresh(const Drawing& drawing);

    std::unique_ptr<Tree> tree_;
    std::vector<int> touched_;
    int lastTouched_ = 0;
    size_t indexed_ = 0;  // segments in the drawing at the last query
    bool rebuild_ = true;
};

}  // namespace vel

// SegmentIndex.cpp - the R-tree of segment extents behind window selections and
// picks, and how it catches up with a drawing that changed since the last query.
#include "vel/kernel/SegmentIndex.h"

#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

#include "vel/kernel/Drawing.h"
#include "vel/kernel/DrawnSegment.h"

namespace vel {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using BoxCorner = bg::model::point<double, 2, bg::cs::cartesian>;
using Box = bg::model::box<BoxCorner>;

// Arc ends and extremes are computed from angles, and distances are rounded, so
// a point that a pick measures may lie a few units in the last place outside the
// extents. Boxes in the tree, and the box a pick searches, are grown by this
// share of the size of the numbers involved, so that the tree never leaves out a
// segment the exact measurement would take.
constexpr double kRoundingSlack = 1e-9;

// Entries per R-tree node: the usual choice for an R-tree in memory.
constexpr size_t kNodeEntries = 16;

struct Entry {
    Box search;     // the drawn extents grown by the rounding slack
    Extents drawn;  // exact, as the window test compares them
    int id = 0;
};

struct EntryBox {
    using result_type = Box;
    const Box& operator()(const Entry& e) const { return e.search; }
};

// An entry is only ever taken out as the copy that was put in.
struct SameEntry {
    bool operator()(const Entry& a, const Entry& b) const { return a.id == b.id; }
};

using RTree = bgi::rtree<Entry, bgi::quadratic<kNodeEntries>, EntryBox, SameEntry>;

// A coordinate that came out as NaN (infinity minus infinity) must still bound the box.
double lowBound(double v) {
    return std::isnan(v) ? -std::numeric_limits<double>::infinity() : v;
}
double highBound(double v) {
    return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
}

Box grown(const Extents& e, double by) {
    return Box{{lowBound(e.minX - by), lowBound(e.minY - by)},
               {highBound(e.maxX + by), highBound(e.maxY + by)}};
}

// Nothing for a segment that draws nothing: it is never inside a window nor near a point.
std::optional<Entry> entryOf(const Drawing& d, const Segment& s) {
    Extents drawn;
    double size = 0.0;
    forEachDrawnBox(d, s, [&](const Extents& box, double magnitude) {
        drawn.add(box);
        size = std::fmax(size, magnitude);
    });
    if (drawn.empty()) return std::nullopt;
    return Entry{grown(drawn, kRoundingSlack * (1.0 + size)), drawn, s.id};
}

}  // namespace

struct SegmentIndex::Tree {
    RTree rtree;
    // What the tree holds for each segment, to take it out again.
    std::unordered_map<int, Entry> entries;
};

SegmentIndex::SegmentIndex() = default;
SegmentIndex::~SegmentIndex() = default;
SegmentIndex::SegmentIndex(SegmentIndex&&) noexcept = default;
SegmentIndex& SegmentIndex::operator=(SegmentIndex&&) noexcept = default;

SegmentIndex::SegmentIndex(const SegmentIndex&) {}

SegmentIndex& SegmentIndex::operator=(const SegmentIndex& other) {
    if (this != &other) clear();
    return *this;
}

void SegmentIndex::clear() {
    tree_.reset();
    touched_.clear();
    lastTouched_ = 0;
    rebuild_ = true;
}

bool SegmentIndex::rebuildDue(const Drawing& d) const {
    return !tree_ || rebuild_ || touched_.size() * kRebuildShare > d.segments().size();
}

void SegmentIndex::refresh(const Drawing& d) {
    if (rebuildDue(d)) {
        if (!tree_) tree_ = std::make_unique<Tree>();
        std::vector<Entry> all;
        all.reserve(d.segments().size());
        for (const auto& [id, s] : d.segments())
            if (std::optional<Entry> e = entryOf(d, s)) all.push_back(*e);
        tree_->entries.clear();
        tree_->entries.reserve(all.size());
        for (const Entry& e : all) tree_->entries.emplace(e.id, e);
        // The range constructor packs the boxes, which also makes a better tree.
        tree_->rtree = RTree(all.begin(), all.end());
    } else {
        std::sort(touched_.begin(), touched_.end());
        touched_.erase(std::unique(touched_.begin(), touched_.end()), touched_.end());
        for (int id : touched_) {
            if (auto it = tree_->entries.find(id); it != tree_->entries.end()) {
                tree_->rtree.remove(it->second);
                tree_->entries.erase(it);
            }
            const Segment* s = d.segment(id);
            if (!s) continue;
            if (std::optional<Entry> e = entryOf(d, *s)) {
                tree_->rtree.insert(*e);
                tree_->entries.emplace(id, *e);
            }
        }
    }
    indexed_ = d.segments().size();
    touched_.clear();
    lastTouched_ = 0;
    rebuild_ = false;
}

std::vector<int> SegmentIndex::inside(const Drawing& drawing, const Extents& window) {
    refresh(drawing);
    std::vector<int> ids;
    if (window.empty()) return ids;
    auto hit = [&](const Entry& e) { return window.contains(e.drawn); };
    for (auto it = tree_->rtree.qbegin(bgi::intersects(grown(window, 0.0)) && bgi::satisfies(hit));
         it != tree_->rtree.qend(); ++it)
        ids.push_back(it->id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<int> SegmentIndex::near(const Drawing& drawing, Point p, double reach) {
    refresh(drawing);
    std::vector<int> ids;
    // No distance is negative. A NaN reach bounds nothing.
    if (reach < 0.0) return ids;
    if (std::isnan(reach)) reach = std::numeric_limits<double>::infinity();
    Extents around;
    around.add(p);
    const double slack = kRoundingSlack * (1.0 + std::fabs(p.x) + std::fabs(p.y) + reach);
    for (auto it = tree_->rtree.qbegin(bgi::intersects(grown(around, reach + slack)));
         it != tree_->rtree.qend(); ++it)
        ids.push_back(it->id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

Extents SegmentIndex::extents(const Drawing& drawing) {
    Extents all;
    // A tree still to be built would measure every segment first anyway: the
    // extents alone do not call for packing it.
    if (rebuildDue(drawing)) {
        for (const auto& [id, s] : drawing.segments()) all.add(drawnExtentsOf(drawing, s));
        return all;
    }
    refresh(drawing);
    for (const auto& [id, e] : tree_->entries)
        // Rare: the finite part of a segment whose box the index had to leave unbounded.
        all.add(e.drawn.bounded() ? e.drawn : drawnExtentsOf(drawing, *drawing.segment(id)));
    return all;
}

}  // namespace vel

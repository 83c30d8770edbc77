// ScreenView.cpp - the views of a drawing's segments kept by revision, and the zoom's limits.
#include "vel/io/ScreenView.h"

#include "vel/kernel/DrawnSegment.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace vel {

ViewTransform fitWithMargin(const Extents& e, double width, double height, double marginShare) {
    return ViewTransform::fit(e, width, height, marginShare * std::min(width, height));
}

Extents boxOf(const SegmentView& view) {
    Extents box;
    for (const ViewShape& shape : view.shapes) {
        if (const auto* c = std::get_if<Circle>(&shape.geometry)) {
            box.add(extentsOf(Primitive{*c}));
        } else if (const auto* p = std::get_if<Point>(&shape.geometry)) {
            box.add(*p);
        } else if (const auto* head = std::get_if<Arrowhead>(&shape.geometry)) {
            box.add(head->tip), box.add(head->left), box.add(head->right);
        } else {
            for (const PathPiece& piece : std::get<Path>(shape.geometry).pieces)
                box.add(piece.arc ? arcExtents(piece.arc->centre, piece.arc->radius,
                                               piece.arc->from, piece.arc->to)
                                  : extentsOf(Primitive{Line{piece.from, piece.to}}));
        }
    }
    for (const ViewText& t : view.texts) {
        const double reach = t.height * (1.0 + 0.6 * static_cast<double>(t.text.size()));
        box.add(t.anchor + Point{-reach, -reach});
        box.add(t.anchor + Point{reach, reach});
    }
    return box;
}

void ScreenView::takeDrawing(const Drawing& drawing, bool all, double width, double height) {
    auto fresh = [&](int id, const Segment& segment) {
        CachedSegment s;
        s.id = id;
        s.revision = segment.revision;
        s.geometry = drawnExtentsOf(drawing, segment);
        return s;
    };
    // Segments are kept in place: those gone are dropped, those changed taken
    // anew, new ones (whose ids come after every other) added at the end. Only
    // a drawing whose ids went another way is taken whole.
    size_t kept = 0;
    auto cached = segments_.begin();
    bool inPlace = !all;
    std::vector<CachedSegment> added;
    for (const auto& [id, segment] : drawing.segments()) {
        if (!inPlace) break;
        while (cached != segments_.end() && cached->id < id) ++cached;
        if (cached == segments_.end()) {
            added.push_back(fresh(id, segment));
        } else if (cached->id != id) {
            inPlace = false;  // an id before one already taken
        } else {
            if (cached->revision != segment.revision) *cached = fresh(id, segment);
            if (kept != static_cast<size_t>(cached - segments_.begin()))
                segments_[kept] = std::move(*cached);
            ++kept;
            ++cached;
        }
    }
    if (inPlace) {
        segments_.resize(kept);
        std::move(added.begin(), added.end(), std::back_inserter(segments_));
    } else {
        segments_.clear();
        for (const auto& [id, segment] : drawing.segments())
            segments_.push_back(fresh(id, segment));
    }
    Extents geometry;
    for (const CachedSegment& s : segments_) geometry.add(s.geometry);

    // Texts are sized by the insert they annotate: when that changed, they are placed anew.
    const double textHeight = frame_.textHeight;
    frame_ = frameFor(drawing, geometry);
    const bool textsMoved = frame_.textHeight != textHeight;
    everything_ = Extents{};
    for (CachedSegment& s : segments_) {
        if (!s.current || (textsMoved && !s.view.texts.empty())) {
            viewSegment(drawing, *drawing.segment(s.id), frame_, s.view);
            s.box = boxOf(s.view);
            s.current = true;
        }
        everything_.add(s.box);
    }
    // Until the person moves the view, it stays fitted to the drawing: what a run adds (an
    // insert around all of the part, its annotations) comes into view, and what a confirm or an
    // undo takes away leaves no margin behind.
    if (fitted_ && !all && !everything_.empty()) zoomToFit(width, height);
}

const ScreenView::CachedSegment* ScreenView::find(int id) const {
    const auto it = std::lower_bound(segments_.begin(), segments_.end(), id,
                                     [](const CachedSegment& s, int v) { return s.id < v; });
    return it != segments_.end() && it->id == id ? &*it : nullptr;
}

void ScreenView::zoomToFit(double width, double height) {
    transform_ = fitWithMargin(everything_, width, height, kFitMargin);
    fitted_ = true;
    area_.reset();
}

void ScreenView::showArea(const Extents& area, double width, double height) {
    transform_ = ViewTransform::fit(area, width, height, 0.0);
    fitted_ = false;
    area_ = area;
}

void ScreenView::resize(double width, double height) {
    if (area_)
        showArea(*area_, width, height);
    else if (fitted_ || everything_.empty())
        zoomToFit(width, height);
}

void ScreenView::moved() {
    fitted_ = false;
    area_.reset();
}

void ScreenView::pan(double dx, double dy) {
    transform_ = transform_.panned(dx, dy);
    moved();
}

void ScreenView::zoomAt(Point screen, double notches, double width, double height) {
    const double fitScale = fitWithMargin(everything_, width, height, kFitMargin).scale();
    double reach = std::max(width, height) / fitScale;
    if (!everything_.empty())
        reach = std::max({reach, std::abs(everything_.minX), std::abs(everything_.maxX),
                          std::abs(everything_.minY), std::abs(everything_.maxY)});
    const double scale = transform_.scale();
    const double lowest = std::min(scale, fitScale * kZoomOutLimit);
    const double highest = std::max(scale, kZoomInReach / reach);
    const double wanted = std::clamp(scale * std::pow(kWheelZoom, notches), lowest, highest);
    transform_ = transform_.zoomedAt(screen, wanted / scale);
    moved();
}

}  // namespace vel

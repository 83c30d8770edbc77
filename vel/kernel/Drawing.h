// Drawing.h - the stand-in host's in-memory drawing: layers, segments and their
// elements (figures, dimensions, leaders), addressed by ids from one counter.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "FileStyle.h"
#include "Geometry.h"
#include "SegmentIndex.h"

namespace vel {

enum class SegmentKind { Figure = 0, Dimension = 1, Comment = 2 };

enum class FigureType {
    Line = 1,
    Circle = 2,
    Arc = 3,
    CornerR = 7,
    Chamfer = 8,
    Point = 9,
};

bool isKnownFigureType(int code);

// A figure element in the host's own record form (see FigureData).
struct FigureElement {
    FigureType type = FigureType::Line;
    double values[10] = {};
    friend bool operator==(const FigureElement&, const FigureElement&) = default;
};

struct ArrowStyle {
    int kind = 0;
    double size1 = 0.0;
    double size2 = 0.0;
    friend bool operator==(const ArrowStyle&, const ArrowStyle&) = default;
};

struct DimensionElement {
    Point a;
    Point b;
    double direction = 0.0;  // degrees; 90 measures the y distance, 0 the x distance
    int decimals = 2;
    ArrowStyle arrow;
    double measured() const;
    std::string text() const;  // the measured value as shown, UTF-8
    friend bool operator==(const DimensionElement&, const DimensionElement&) = default;
};

struct LeaderElement {
    std::vector<Point> points;
    double direction = 0.0;
    std::u16string text;
    friend bool operator==(const LeaderElement&, const LeaderElement&) = default;
};

using ElementBody = std::variant<FigureElement, DimensionElement, LeaderElement>;

// A palette colour or line type number, or none (the layer's), in the room of one int where
// std::optional<int> takes two: a large drawing's elements each keep two. The smallest int, which
// no palette or line type reaches, stands for none; given as a number, it is none.
class ElementNumber {
public:
    constexpr ElementNumber() = default;
    constexpr ElementNumber(std::nullopt_t) {}
    constexpr ElementNumber(int value) : value_(value) {}
    constexpr ElementNumber(std::optional<int> value) : value_(value.value_or(kNone)) {}
    constexpr operator std::optional<int>() const {
        return has_value() ? std::optional<int>(value_) : std::nullopt;
    }
    constexpr bool has_value() const { return value_ != kNone; }
    constexpr explicit operator bool() const { return has_value(); }
    constexpr int operator*() const { return value_; }
    constexpr int value_or(int otherwise) const { return has_value() ? value_ : otherwise; }
    friend constexpr bool operator==(ElementNumber, ElementNumber) = default;
    friend constexpr bool operator==(ElementNumber a, const std::optional<int>& b) {
        return std::optional<int>(a) == b;
    }
    friend constexpr bool operator==(ElementNumber a, int b) {
        return a.has_value() && a.value_ == b;
    }
    friend constexpr bool operator==(ElementNumber a, std::nullopt_t) { return !a.has_value(); }

    static constexpr int kNone = std::numeric_limits<int>::min();

private:
    int value_ = kNone;
};

struct Element {
    int id = 0;
    int fileStyle = 0;  // the style of the file it was read from (see FileStyles); 0: none
    ElementBody body;
    ElementNumber color;     // none: follows the layer
    ElementNumber lineType;  // none: follows the layer

    const FigureElement* figure() const { return std::get_if<FigureElement>(&body); }
    FigureElement* figure() { return std::get_if<FigureElement>(&body); }
    friend bool operator==(const Element&, const Element&) = default;
};

struct Segment {
    int id = 0;
    SegmentKind kind = SegmentKind::Figure;
    int layer = 0;
    bool closed = false;
    std::set<int> attributes;
    std::vector<Element> elements;
    // The drawing's revision when the segment was last made or handed out for
    // change: what draws it again only when this moved (within one history).
    std::uint64_t revision = 0;

    int indexOf(int elementId) const;  // -1 when absent
    // The same segment, whenever it was last handed out.
    bool sameAs(const Segment& o) const {
        return id == o.id && kind == o.kind && layer == o.layer && closed == o.closed &&
               attributes == o.attributes && elements == o.elements;
    }
};

struct Layer {
    int number = 0;
    std::string name;  // empty: named by its number
    // Palette colour and line type of what is drawn "by layer" on it; none: the host's own.
    std::optional<int> color;
    std::optional<int> lineType;
    int fileStyle = 0;  // as for elements
    friend bool operator==(const Layer&, const Layer&) = default;
};

// What a run of changes did to a drawing: each segment it touched as it was
// before and after (none: absent), and the layers and current layer around it.
// It holds the touched segments only, so that taking a run of changes back or
// making it again costs what the run touched, whatever the drawing's size.
struct DrawingChange {
    struct SegmentStates {
        int id = 0;
        std::optional<Segment> before;
        std::optional<Segment> after;
    };
    struct Layers {
        int current = 0;
        std::map<int, Layer> layers;
    };
    std::vector<SegmentStates> segments;
    Layers before;
    Layers after;

    bool empty() const;
};

// The drawing with its id counter. Every mutation keeps the element index
// up to date; ids are never reused. Whatever hands out a segment or element for
// change marks its segment for the spatial index.
class Drawing {
public:
    Drawing();

    void clear();

    int currentLayer() const { return currentLayer_; }
    void setCurrentLayer(int layer);
    bool hasLayer(int layer) const { return layers_.count(layer) != 0; }
    void createLayer(int layer, std::string name = {});
    // The layer's colour and line type, the layer made when missing.
    void setLayerStyle(int layer, std::optional<int> color, std::optional<int> lineType,
                       int fileStyle = 0);
    const std::map<int, Layer>& layers() const { return layers_; }
    // A layer named by something other than a number gets a free number from 1000 up.
    static constexpr int kFirstNamedLayer = 1000;
    int layerForName(const std::string& name);

    // The styles of the file the drawing was read from, which its elements and layers name.
    FileStyles& fileStyles() { return fileStyles_; }
    const FileStyles& fileStyles() const { return fileStyles_; }
    // The height its file gave the texts of dimensions (in a DXF, $DIMTXT scaled by $DIMSCALE);
    // none where the file gave none.
    std::optional<double> dimensionTextHeight() const { return dimensionTextHeight_; }
    void setDimensionTextHeight(std::optional<double> height) { dimensionTextHeight_ = height; }

    // Segments in creation order.
    const std::map<int, Segment>& segments() const { return segments_; }
    Segment* segment(int id);
    const Segment* segment(int id) const;
    Segment* segmentOfElement(int elementId);
    const Segment* segmentOfElement(int elementId) const;
    Element* element(int elementId);
    const Element* element(int elementId) const;
    // The element's position in its segment; -1 when absent.
    int elementIndex(int elementId) const;

    // Ids, ascending, of the segments whose drawn extents lie wholly inside the window.
    std::vector<int> segmentsInside(const Extents& window) const {
        return spatial_.inside(*this, window);
    }
    // Ids, ascending, of the segments that may have a drawn primitive within
    // `reach` of p (every one that has, and perhaps a few more).
    std::vector<int> segmentsNear(Point p, double reach) const {
        return spatial_.near(*this, p, reach);
    }

    // The union of the drawn extents of every segment, primitives whose extents are
    // not finite left out; empty for a drawing that draws nothing.
    Extents drawnExtents() const { return spatial_.extents(*this); }

    // Creates an empty segment on the current layer; returns its id.
    int createSegment(SegmentKind kind);
    // Creates a segment with an explicit id (reading a file); the counter moves past it.
    // Returns -1 when the id is taken.
    int createSegmentWithId(SegmentKind kind, int id);
    bool deleteSegment(int id);

    // Appends an element; returns its id or -1 when the segment is missing.
    int appendElement(int segmentId, ElementBody body, int id = 0);
    // Appends the elements in order, each under a new id (theirs is ignored); false when the
    // segment is missing. Moving a whole list in spares a reading file a copy of every element.
    bool appendElements(int segmentId, std::vector<Element> elements);
    // Inserts immediately before the given element; returns the new id or -1.
    int insertElementBefore(int elementId, ElementBody body);
    // Removes an element. A corner that loses a neighbour goes too; a dimension or
    // comment segment left empty is removed.
    bool deleteElement(int elementId);
    // Removes exactly one element, nothing else.
    bool eraseElement(int elementId);

    // Counts the changes made and the handing out of anything that may be changed:
    // equal counts mean an unchanged drawing.
    std::uint64_t revision() const { return revision_; }

    int nextId() const { return nextId_; }
    int takeId() { return nextId_++; }

    // From now until finishChanges(), the state each segment had before its first
    // change is kept, so that what was done in between can be taken back and made
    // again as one change. A copy of the drawing keeps nothing.
    void recordChanges();
    DrawingChange finishChanges();
    // Leaves the drawing as the change found it (back) or as it left it. Ids are
    // never handed out again, so the counter stays where it is.
    void applyChange(const DrawingChange& change, bool back);

private:
    struct ElementPlace {
        int segmentId = 0;  // 0: no element has the id
        int index = 0;      // in the segment's elements
    };

    // Where each element is, by id. Ids come from one counter, so nearly all of them index a
    // plain array, 8 bytes an id; an id far past its end (a file may give any) goes to a map
    // instead of stretching the array over the numbers between. An id stays where it was put
    // even once the array has grown past it.
    class ElementPlaces {
    public:
        const ElementPlace* find(int id) const {
            if (id >= 0 && static_cast<size_t>(id) < dense_.size() && dense_[id].segmentId != 0)
                return &dense_[id];
            if (sparse_.empty()) return nullptr;
            const auto it = sparse_.find(id);
            return it == sparse_.end() ? nullptr : &it->second;
        }
        bool contains(int id) const { return find(id) != nullptr; }
        void set(int id, ElementPlace place);
        void erase(int id);
        void clear();
        // Makes room for the ids `first` to `last`, about to be set, at once rather than id by
        // id.
        void reserveRun(int first, int last);

    private:
        // Ids within the array, or short of twice the ids it holds and this many more, are near:
        // the array grows with the elements there are, not with the ids a file makes up (ids
        // 1023, 3071, 7167... would each double it otherwise).
        static constexpr size_t kNearIds = 1024;
        bool near(int id) const {
            if (id < 0) return false;
            const size_t at = static_cast<size_t>(id);
            return at < dense_.size() || at < 2 * held_ + kNearIds;
        }

        std::vector<ElementPlace> dense_;
        size_t held_ = 0;  // places in use in the array
        std::unordered_map<int, ElementPlace> sparse_;
    };

    // The segment was made, removed or handed out for change; before that it was as
    // noted, when changes are being recorded.
    void changed(int segmentId) {
        ++revision_;
        spatial_.touch(segmentId);
    }
    void noteBeforeChange(int segmentId) {
        if (recording_.state) noteSegment(segmentId);
    }
    void noteSegment(int segmentId);
    void unindex(const Segment& s);
    // Elements from `from` on moved within their segment.
    void renumber(const Segment& s, size_t from);

    std::uint64_t revision_ = 0;
    int nextId_ = 1;
    int currentLayer_ = 0;
    std::optional<double> dimensionTextHeight_;
    std::map<int, Layer> layers_;
    // The lowest-numbered layer of each name, and where the search for a free
    // number for a new name goes on (every number from kFirstNamedLayer below it
    // is taken): naming a layer costs O(1) amortised.
    std::unordered_map<std::string, int> layerNames_;
    int nextNamedLayer_ = kFirstNamedLayer;
    FileStyles fileStyles_;
    std::map<int, Segment> segments_;
    ElementPlaces elementPlaces_;
    // Queries bring it up to date, so they may run on a drawing seen as const.
    mutable SegmentIndex spatial_;

    struct Recording {
        DrawingChange change;
        std::unordered_set<int> noted;  // the segments whose state before is in `change`
    };
    // A drawing copied or assigned records nothing of the original's recording.
    struct RecordingSlot {
        std::unique_ptr<Recording> state;
        RecordingSlot() = default;
        RecordingSlot(const RecordingSlot&) {}
        RecordingSlot& operator=(const RecordingSlot&) {
            state.reset();
            return *this;
        }
        RecordingSlot(RecordingSlot&&) noexcept = default;
        RecordingSlot& operator=(RecordingSlot&&) noexcept = default;
    };
    RecordingSlot recording_;
};

// Next / previous element in segment order; with wrap on closed segments.
int neighbourElement(const Segment& s, int index, int step, bool wrap);

}  // namespace vel

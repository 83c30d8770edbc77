// Drawing.cpp - the in-memory drawing: ids, layers, segments and element bookkeeping.
#include "vel/kernel/Drawing.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numbers>

namespace vel {

bool isKnownFigureType(int code) {
    switch (code) {
        case 1:
        case 2:
        case 3:
        case 7:
        case 8:
        case 9:
            return true;
        default:
            return false;
    }
}

double DimensionElement::measured() const {
    const double rad = direction * std::numbers::pi / 180.0;
    const Point dir{std::cos(rad), std::sin(rad)};
    return std::fabs(dot(b - a, dir));
}

std::string DimensionElement::text() const {
    const int places = std::clamp(decimals, 0, 12);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", places, measured());
    return buf;
}

int Segment::indexOf(int elementId) const {
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].id == elementId) return static_cast<int>(i);
    return -1;
}

Drawing::Drawing() {
    clear();
}

void Drawing::clear() {
    ++revision_;
    recording_.state.reset();  // nothing before this is there to go back to
    nextId_ = 1;
    currentLayer_ = 0;
    layers_.clear();
    layerNames_.clear();
    nextNamedLayer_ = kFirstNamedLayer;
    fileStyles_.clear();
    dimensionTextHeight_.reset();
    segments_.clear();
    elementPlaces_.clear();
    spatial_.clear();
    layers_[0] = Layer{};
}

void Drawing::setCurrentLayer(int layer) {
    ++revision_;
    createLayer(layer);
    currentLayer_ = layer;
}

void Drawing::createLayer(int layer, std::string name) {
    ++revision_;
    Layer made;
    made.number = layer;
    made.name = name;
    auto [it, inserted] = layers_.try_emplace(layer, std::move(made));
    if (!inserted && it->second.name.empty() && !name.empty()) it->second.name = name;
    // A name once given stays, so the lowest number with it only ever goes down.
    if (it->second.name.empty() || it->second.name != name) return;
    auto [named, added] = layerNames_.try_emplace(std::move(name), layer);
    if (!added) named->second = std::min(named->second, layer);
}

void Drawing::setLayerStyle(int layer, std::optional<int> color, std::optional<int> lineType,
                            int fileStyle) {
    createLayer(layer);
    Layer& l = layers_.at(layer);
    l.color = color;
    l.lineType = lineType;
    l.fileStyle = fileStyle;
}

int Drawing::layerForName(const std::string& name) {
    if (auto it = layerNames_.find(name); it != layerNames_.end()) return it->second;
    // Layers are never removed, so the numbers passed over stay taken.
    while (layers_.count(nextNamedLayer_)) ++nextNamedLayer_;
    const int number = nextNamedLayer_;
    createLayer(number, name);
    return number;
}

Segment* Drawing::segment(int id) {
    auto it = segments_.find(id);
    if (it == segments_.end()) return nullptr;
    noteBeforeChange(id);
    changed(id);  // the caller may change what it draws
    it->second.revision = revision_;
    return &it->second;
}

const Segment* Drawing::segment(int id) const {
    auto it = segments_.find(id);
    return it == segments_.end() ? nullptr : &it->second;
}

Segment* Drawing::segmentOfElement(int elementId) {
    const ElementPlace* place = elementPlaces_.find(elementId);
    return place ? segment(place->segmentId) : nullptr;
}

const Segment* Drawing::segmentOfElement(int elementId) const {
    const ElementPlace* place = elementPlaces_.find(elementId);
    return place ? segment(place->segmentId) : nullptr;
}

Element* Drawing::element(int elementId) {
    const ElementPlace* place = elementPlaces_.find(elementId);
    if (!place) return nullptr;
    Segment* s = segment(place->segmentId);
    return s ? &s->elements[place->index] : nullptr;
}

const Element* Drawing::element(int elementId) const {
    const ElementPlace* place = elementPlaces_.find(elementId);
    if (!place) return nullptr;
    const Segment* s = segment(place->segmentId);
    return s ? &s->elements[place->index] : nullptr;
}

int Drawing::elementIndex(int elementId) const {
    const ElementPlace* place = elementPlaces_.find(elementId);
    return place ? place->index : -1;
}

int Drawing::createSegment(SegmentKind kind) {
    const int id = takeId();
    Segment s;
    s.id = id;
    s.kind = kind;
    s.layer = currentLayer_;
    noteBeforeChange(id);
    changed(id);
    s.revision = revision_;
    segments_.emplace(id, std::move(s));
    return id;
}

int Drawing::createSegmentWithId(SegmentKind kind, int id) {
    if (id <= 0 || segments_.count(id) || elementPlaces_.contains(id)) return -1;
    Segment s;
    s.id = id;
    s.kind = kind;
    s.layer = currentLayer_;
    noteBeforeChange(id);
    changed(id);
    s.revision = revision_;
    segments_.emplace(id, std::move(s));
    nextId_ = std::max(nextId_, id + 1);
    return id;
}

bool Drawing::deleteSegment(int id) {
    auto it = segments_.find(id);
    if (it == segments_.end()) return false;
    noteBeforeChange(id);
    unindex(it->second);
    segments_.erase(it);
    changed(id);
    return true;
}

int Drawing::appendElement(int segmentId, ElementBody body, int id) {
    Segment* s = segment(segmentId);
    if (!s) return -1;
    if (id > 0) {
        if (segments_.count(id) || elementPlaces_.contains(id)) return -1;
        nextId_ = std::max(nextId_, id + 1);
    } else {
        id = takeId();
    }
    s->elements.push_back(Element{id, 0, std::move(body), std::nullopt, std::nullopt});
    elementPlaces_.set(id, {segmentId, static_cast<int>(s->elements.size()) - 1});
    return id;
}

bool Drawing::appendElements(int segmentId, std::vector<Element> elements) {
    Segment* s = segment(segmentId);
    if (!s) return false;
    const size_t first = s->elements.size();
    if (first == 0) {
        s->elements = std::move(elements);
    } else {
        s->elements.reserve(first + elements.size());
        std::move(elements.begin(), elements.end(), std::back_inserter(s->elements));
    }
    elementPlaces_.reserveRun(nextId_, nextId_ + static_cast<int>(s->elements.size() - first));
    for (size_t i = first; i < s->elements.size(); ++i) {
        Element& e = s->elements[i];
        e.id = takeId();
        elementPlaces_.set(e.id, {segmentId, static_cast<int>(i)});
    }
    return true;
}

int Drawing::insertElementBefore(int elementId, ElementBody body) {
    Segment* s = segmentOfElement(elementId);
    if (!s) return -1;
    const int at = elementIndex(elementId);
    const int id = takeId();
    Element e;
    e.id = id;
    e.body = std::move(body);
    s->elements.insert(s->elements.begin() + at, std::move(e));
    renumber(*s, at);
    return id;
}

static bool isCorner(const Element& e) {
    const FigureElement* f = e.figure();
    return f && (f->type == FigureType::CornerR || f->type == FigureType::Chamfer);
}

bool Drawing::eraseElement(int elementId) {
    Segment* s = segmentOfElement(elementId);
    if (!s) return false;
    const int at = elementIndex(elementId);
    s->elements.erase(s->elements.begin() + at);
    elementPlaces_.erase(elementId);
    renumber(*s, at);
    return true;
}

bool Drawing::deleteElement(int elementId) {
    Segment* s = segmentOfElement(elementId);
    if (!s) return false;
    const int at = elementIndex(elementId);
    std::vector<int> doomed{elementId};
    if (!isCorner(s->elements[at])) {
        // A corner is only meaningful between its two neighbours.
        for (int step : {-1, 1}) {
            const int n = neighbourElement(*s, at, step, s->closed);
            if (n >= 0 && n != at && isCorner(s->elements[n])) doomed.push_back(s->elements[n].id);
        }
    }
    const int segmentId = s->id;
    for (int id : doomed) eraseElement(id);
    Segment* after = segment(segmentId);
    if (after && after->elements.empty() && after->kind != SegmentKind::Figure)
        deleteSegment(segmentId);
    return true;
}

bool DrawingChange::empty() const {
    return segments.empty() && before.current == after.current && before.layers == after.layers;
}

void Drawing::recordChanges() {
    recording_.state = std::make_unique<Recording>();
    recording_.state->change.before = {currentLayer_, layers_};
}

void Drawing::noteSegment(int segmentId) {
    Recording& r = *recording_.state;
    if (!r.noted.insert(segmentId).second) return;
    DrawingChange::SegmentStates states;
    states.id = segmentId;
    if (const auto it = segments_.find(segmentId); it != segments_.end())
        states.before = it->second;
    r.change.segments.push_back(std::move(states));
}

DrawingChange Drawing::finishChanges() {
    if (!recording_.state) return {};
    DrawingChange change = std::move(recording_.state->change);
    recording_.state.reset();
    // What was handed out but left as it was, or made and removed again, leaves
    // nothing to take back.
    std::erase_if(change.segments, [this](DrawingChange::SegmentStates& s) {
        if (const auto it = segments_.find(s.id); it != segments_.end()) s.after = it->second;
        return s.before ? s.after && s.before->sameAs(*s.after) : !s.after;
    });
    change.after = {currentLayer_, layers_};
    return change;
}

void Drawing::applyChange(const DrawingChange& change, bool back) {
    // Every touched segment goes first, so that no element id is ever in two places.
    for (const DrawingChange::SegmentStates& s : change.segments)
        if (const auto it = segments_.find(s.id); it != segments_.end()) {
            unindex(it->second);
            segments_.erase(it);
        }
    for (const DrawingChange::SegmentStates& s : change.segments) {
        changed(s.id);
        const std::optional<Segment>& state = back ? s.before : s.after;
        if (!state) continue;
        Segment& restored = segments_.emplace(s.id, *state).first->second;
        restored.revision = revision_;
        renumber(restored, 0);
    }
    // The layers as they were, the lookup by name made again from them.
    const DrawingChange::Layers& layers = back ? change.before : change.after;
    ++revision_;
    layers_ = layers.layers;
    currentLayer_ = layers.current;
    layerNames_.clear();
    for (const auto& [number, layer] : layers_)
        if (!layer.name.empty()) layerNames_.try_emplace(layer.name, number);
    nextNamedLayer_ = kFirstNamedLayer;
}

void Drawing::unindex(const Segment& s) {
    for (const Element& e : s.elements) elementPlaces_.erase(e.id);
}

void Drawing::renumber(const Segment& s, size_t from) {
    for (size_t i = from; i < s.elements.size(); ++i)
        elementPlaces_.set(s.elements[i].id, {s.id, static_cast<int>(i)});
}

void Drawing::ElementPlaces::set(int id, ElementPlace place) {
    if (!sparse_.empty())
        if (const auto it = sparse_.find(id); it != sparse_.end()) {
            it->second = place;
            return;
        }
    if (near(id)) {
        if (static_cast<size_t>(id) >= dense_.size()) dense_.resize(static_cast<size_t>(id) + 1);
        if (dense_[id].segmentId == 0 && place.segmentId != 0) ++held_;
        dense_[id] = place;
    } else {
        sparse_[id] = place;
    }
}

void Drawing::ElementPlaces::erase(int id) {
    if (id >= 0 && static_cast<size_t>(id) < dense_.size() && dense_[id].segmentId != 0) {
        dense_[id] = ElementPlace{};
        --held_;
    }
    if (!sparse_.empty()) sparse_.erase(id);
}

void Drawing::ElementPlaces::clear() {
    dense_ = {};
    held_ = 0;
    sparse_ = {};
}

void Drawing::ElementPlaces::reserveRun(int first, int last) {
    // Growing the array's length at once (with empty places) leaves set() a plain store; the
    // length still grows by the vector's doubling, so this costs O(1) amortised too. Every id
    // of the run is about to be held, so a run that starts near stays near.
    if (near(first) && last >= first && static_cast<size_t>(last) >= dense_.size())
        dense_.resize(static_cast<size_t>(last) + 1);
}

int neighbourElement(const Segment& s, int index, int step, bool wrap) {
    const int n = static_cast<int>(s.elements.size());
    int j = index + step;
    if (j < 0 || j >= n) {
        if (!wrap || n < 2) return -1;
        j = (j + n) % n;
    }
    return j;
}

}  // namespace vel

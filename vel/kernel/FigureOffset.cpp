// FigureOffset.cpp - a closed outline of lines and corners offset sideways into a
// new segment: lines move along their normals and meet again, round corners keep
// their centre, chamfers move their cut line, and corners that shrink to nothing go.
#include <cmath>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "vel/kernel/FigureOps.h"
#include "vel/kernel/FigureShape.h"

namespace vel {

using namespace shape;

namespace {

// Foot of the perpendicular from q onto the infinite line through p along u.
Point project(Point q, Point p, Point u) {
    const double l2 = dot(u, u);
    if (!(l2 > 0.0)) return p;
    return p + u * (dot(q - p, u) / l2);
}

struct OffsetLine {
    int index = 0;          // in the segment
    bool reversed = false;  // stored end to start along the chain
    Point from, to;         // along the chain
    Point dir;              // unit, along the chain
    Point moved;            // a point of the moved line
    Point newVertex;        // moved sharp vertex with the next line
};

struct OffsetCorner {
    bool kept = false;  // false: the corner shrank to nothing and is left out
    FigureElement figure;
};

// One closed outline of lines and corners on its way to its offset. Each step works
// out one thing for the whole outline, in this order, and says false when the
// offset cannot be made; nothing is made until every step has passed.
class OutlineOffset {
public:
    OutlineOffset(const Segment& s, double by)
        : s_(s), by_(by), count_(static_cast<int>(s.elements.size())) {}

    // The elements of the offset outline, in the order of those they come from;
    // none when the outline has no offset by this distance.
    std::optional<std::vector<Element>> elements() {
        if (!chainLines() || !orientLines() || !joinNeighbours() || !offsetCorners() ||
            !sidesKeepTheirRun())
            return std::nullopt;
        return madeElements();
    }

private:
    int next(int k) const { return (k + 1) % n_; }
    int prev(int k) const { return (k + n_ - 1) % n_; }
    const OffsetLine& lineBeside(int corner, int step) const {
        return lines_[lineNumber_[neighbourElement(s_, corner, step, true)]];
    }

    // Lines in chain order, and for each element its line number (-1 for corners).
    // Only lines and corners between two lines can be offset, and at least three lines.
    bool chainLines() {
        lineNumber_.assign(count_, -1);
        for (int i = 0; i < count_; ++i) {
            const FigureElement* f = figureAt(s_, i);
            if (!f) return false;
            if (f->type == FigureType::Line) {
                lineNumber_[i] = static_cast<int>(lines_.size());
                OffsetLine l;
                l.index = i;
                lines_.push_back(l);
            } else if (isCornerType(f->type)) {
                if (!lineAt(s_, neighbourElement(s_, i, -1, true)) ||
                    !lineAt(s_, neighbourElement(s_, i, 1, true)))
                    return false;
            } else {
                return false;
            }
        }
        n_ = static_cast<int>(lines_.size());
        return n_ >= 3;
    }

    // Which way each line runs along the chain: its leading end is the one nearer
    // the vertex with the next line (or, failing that, away from the previous one).
    // Then each line moves sideways by the distance.
    bool orientLines() {
        std::vector<Line> stored(n_);
        for (int k = 0; k < n_; ++k) {
            stored[k] = lineOf(*lineAt(s_, lines_[k].index));
            if (!(distance(stored[k].start, stored[k].end) > kCoincidence)) return false;
        }
        for (int k = 0; k < n_; ++k) {
            const Line& l = stored[k];
            bool reversed = false;
            if (const auto v = intersect(l, stored[next(k)]))
                reversed = distance(l.start, *v) < distance(l.end, *v);
            else if (const auto w = intersect(l, stored[prev(k)]))
                reversed = distance(l.end, *w) < distance(l.start, *w);
            OffsetLine& o = lines_[k];
            o.reversed = reversed;
            o.from = reversed ? l.end : l.start;
            o.to = reversed ? l.start : l.end;
            o.dir = normalized(o.to - o.from);
            o.moved = o.from + rightNormal(o.dir) * by_;
        }
        return true;
    }

    // Where each moved line meets the next one: the new sharp vertex between them.
    bool joinNeighbours() {
        for (int k = 0; k < n_; ++k) {
            OffsetLine& a = lines_[k];
            const OffsetLine& b = lines_[next(k)];
            if (intersect(a.from, a.dir, b.from, b.dir)) {
                const auto w = intersect(a.moved, a.dir, b.moved, b.dir);
                if (!w) return false;
                a.newVertex = *w;
            } else if (dot(a.dir, b.dir) > 0.0) {
                // Straight on: the joint simply moves sideways.
                a.newVertex = (a.to + b.from) * 0.5 + rightNormal(a.dir) * by_;
            } else {
                return false;  // the outline doubles back on itself
            }
        }
        return true;
    }

    // Corners: round ones keep their centre, chamfers move their cut line.
    bool offsetCorners() {
        corners_.assign(count_, OffsetCorner{});
        for (int i = 0; i < count_; ++i) {
            const FigureElement* f = cornerAt(s_, i);
            if (!f) continue;
            const OffsetLine& a = lineBeside(i, -1);
            const OffsetLine& b = lineBeside(i, 1);
            const double turn = cross(a.dir, b.dir);
            if (!(std::fabs(turn) > kParallelSine)) return false;
            const std::optional<OffsetCorner> moved = f->type == FigureType::CornerR
                                                          ? movedRound(*f, a, b, turn)
                                                          : movedChamfer(*f, a, b);
            if (!moved) return false;
            corners_[i] = *moved;
        }
        return true;
    }

    // A round corner about the same centre, its radius grown or shrunk by the
    // distance as the outline turns; left out when nothing is left of it.
    std::optional<OffsetCorner> movedRound(const FigureElement& f, const OffsetLine& a,
                                           const OffsetLine& b, double turn) const {
        OffsetCorner out;
        out.figure = f;
        const double r = f.values[6] + (turn > 0.0 ? by_ : -by_);
        if (!(r > kCoincidence)) return out;
        const Point c = pointAt(f, 0);
        setPoint(out.figure, 2, project(c, a.moved, a.dir));
        setPoint(out.figure, 4, project(c, b.moved, b.dir));
        out.figure.values[6] = r;
        out.kept = true;
        return out;
    }

    // A chamfer's cut line moved sideways and cut by the moved lines beside it;
    // left out when the cut no longer runs forward.
    std::optional<OffsetCorner> movedChamfer(const FigureElement& f, const OffsetLine& a,
                                             const OffsetLine& b) const {
        OffsetCorner out;
        out.figure = f;
        const Point p = pointAt(f, 0), q = pointAt(f, 2);
        const Point cut = q - p;
        if (!(length(cut) > 0.0)) return std::nullopt;
        const Point moved = p + rightNormal(cut) * by_;
        const auto np = intersect(moved, cut, a.moved, a.dir);
        const auto nq = intersect(moved, cut, b.moved, b.dir);
        if (!np || !nq) return std::nullopt;
        if (!(dot(*nq - *np, normalized(cut)) > kCoincidence)) return out;
        setPoint(out.figure, 0, *np);
        setPoint(out.figure, 2, *nq);
        out.kept = true;
        return out;
    }

    // Every side must keep its direction and length as drawn; a side that had
    // no drawn length to begin with may stay at nothing.
    bool sidesKeepTheirRun() const {
        for (int k = 0; k < n_; ++k)
            if (!sideKeepsItsRun(k)) return false;
        return true;
    }

    bool sideKeepsItsRun(int k) const {
        const OffsetLine& l = lines_[k];
        const Point from = lines_[prev(k)].newVertex, to = l.newVertex;
        if (!(dot(to - from, l.dir) > kCoincidence)) return false;
        Point drawnFrom = from, drawnTo = to;
        const int before = neighbourElement(s_, l.index, -1, true);
        const int after = neighbourElement(s_, l.index, 1, true);
        if (cornerAt(s_, before) && corners_[before].kept)
            drawnFrom = cornerFollowingPoint(corners_[before].figure);
        if (cornerAt(s_, after) && corners_[after].kept)
            drawnTo = cornerPrecedingPoint(corners_[after].figure);
        const Line original = trimmedLine(s_, l.index);
        const double originalLength = std::fabs(dot(original.end - original.start, l.dir));
        const double drawnLength = dot(drawnTo - drawnFrom, l.dir);
        return drawnLength > kCoincidence ||
               (originalLength <= kCoincidence && drawnLength >= -kCoincidence);
    }

    // Each line between its new vertices, stored the way round it was; each corner
    // kept as moved. Every element looks like the one it comes from.
    std::optional<std::vector<Element>> madeElements() const {
        std::vector<Element> made;
        for (int i = 0; i < count_; ++i) {
            Element e;
            copyStyle(e, s_.elements[i]);
            if (lineNumber_[i] >= 0) {
                const int k = lineNumber_[i];
                FigureElement f;
                f.type = FigureType::Line;
                const Point from = lines_[prev(k)].newVertex, to = lines_[k].newVertex;
                setPoint(f, 0, lines_[k].reversed ? to : from);
                setPoint(f, 2, lines_[k].reversed ? from : to);
                e.body = f;
            } else if (corners_[i].kept) {
                e.body = corners_[i].figure;
            } else {
                continue;
            }
            for (double value : std::get<FigureElement>(e.body).values)
                if (!std::isfinite(value)) return std::nullopt;
            made.push_back(std::move(e));
        }
        return made;
    }

    const Segment& s_;
    const double by_;
    const int count_;  // elements of the outline
    int n_ = 0;        // lines of the outline
    std::vector<OffsetLine> lines_;
    std::vector<int> lineNumber_;
    std::vector<OffsetCorner> corners_;  // by element; only those at corners matter
};

}  // namespace

int offsetSegment(Drawing& d, int segmentId, double distanceBy) {
    const Segment* s = d.segment(segmentId);
    if (!s || s->kind != SegmentKind::Figure || !s->closed || !std::isfinite(distanceBy)) return -1;
    std::optional<std::vector<Element>> made = OutlineOffset(*s, distanceBy).elements();
    if (!made) return -1;

    const int id = d.createSegment(SegmentKind::Figure);
    d.segment(id)->closed = true;
    for (Element& e : *made) {
        const int eid = d.appendElement(id, std::move(e.body));
        copyStyle(*d.element(eid), e);
    }
    return id;
}

}  // namespace vel

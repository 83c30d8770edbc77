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
    bool kept = false;
    FigureElement figure;
};

}  // namespace

int offsetSegment(Drawing& d, int segmentId, double distanceBy) {
    const Segment* s = d.segment(segmentId);
    if (!s || s->kind != SegmentKind::Figure || !s->closed || !std::isfinite(distanceBy)) return -1;
    const int count = static_cast<int>(s->elements.size());

    // Lines in chain order, and for each element its line number (-1 for corners).
    std::vector<OffsetLine> lines;
    std::vector<int> lineNumber(count, -1);
    for (int i = 0; i < count; ++i) {
        const FigureElement* f = figureAt(*s, i);
        if (!f) return -1;
        if (f->type == FigureType::Line) {
            lineNumber[i] = static_cast<int>(lines.size());
            OffsetLine l;
            l.index = i;
            lines.push_back(l);
        } else if (isCornerType(f->type)) {
            if (!lineAt(*s, neighbourElement(*s, i, -1, true)) ||
                !lineAt(*s, neighbourElement(*s, i, 1, true)))
                return -1;
        } else {
            return -1;
        }
    }
    const int n = static_cast<int>(lines.size());
    if (n < 3) return -1;
    auto next = [n](int k) { return (k + 1) % n; };
    auto prev = [n](int k) { return (k + n - 1) % n; };

    // Which way each line runs along the chain: its leading end is the one nearer
    // the vertex with the next line (or, failing that, away from the previous one).
    std::vector<Line> stored(n);
    for (int k = 0; k < n; ++k) {
        stored[k] = lineOf(*lineAt(*s, lines[k].index));
        if (!(distance(stored[k].start, stored[k].end) > kCoincidence)) return -1;
    }
    for (int k = 0; k < n; ++k) {
        const Line& l = stored[k];
        bool reversed = false;
        if (const auto v = intersect(l, stored[next(k)]))
            reversed = distance(l.start, *v) < distance(l.end, *v);
        else if (const auto w = intersect(l, stored[prev(k)]))
            reversed = distance(l.end, *w) < distance(l.start, *w);
        OffsetLine& o = lines[k];
        o.reversed = reversed;
        o.from = reversed ? l.end : l.start;
        o.to = reversed ? l.start : l.end;
        o.dir = normalized(o.to - o.from);
        o.moved = o.from + rightNormal(o.dir) * distanceBy;
    }
    for (int k = 0; k < n; ++k) {
        OffsetLine& a = lines[k];
        const OffsetLine& b = lines[next(k)];
        if (intersect(a.from, a.dir, b.from, b.dir)) {
            const auto w = intersect(a.moved, a.dir, b.moved, b.dir);
            if (!w) return -1;
            a.newVertex = *w;
        } else if (dot(a.dir, b.dir) > 0.0) {
            // Straight on: the joint simply moves sideways.
            a.newVertex = (a.to + b.from) * 0.5 + rightNormal(a.dir) * distanceBy;
        } else {
            return -1;  // the outline doubles back on itself
        }
    }

    // Corners: round ones keep their centre, chamfers move their cut line.
    std::vector<OffsetCorner> corners(count);
    for (int i = 0; i < count; ++i) {
        const FigureElement* f = cornerAt(*s, i);
        if (!f) continue;
        const OffsetLine& a = lines[lineNumber[neighbourElement(*s, i, -1, true)]];
        const OffsetLine& b = lines[lineNumber[neighbourElement(*s, i, 1, true)]];
        const double turn = cross(a.dir, b.dir);
        if (!(std::fabs(turn) > kParallelSine)) return -1;
        OffsetCorner& out = corners[i];
        out.figure = *f;
        if (f->type == FigureType::CornerR) {
            const double r = f->values[6] + (turn > 0.0 ? distanceBy : -distanceBy);
            if (!(r > kCoincidence)) continue;
            const Point c = pointAt(*f, 0);
            setPoint(out.figure, 2, project(c, a.moved, a.dir));
            setPoint(out.figure, 4, project(c, b.moved, b.dir));
            out.figure.values[6] = r;
        } else {
            const Point p = pointAt(*f, 0), q = pointAt(*f, 2);
            const Point cut = q - p;
            if (!(length(cut) > 0.0)) return -1;
            const Point moved = p + rightNormal(cut) * distanceBy;
            const auto np = intersect(moved, cut, a.moved, a.dir);
            const auto nq = intersect(moved, cut, b.moved, b.dir);
            if (!np || !nq) return -1;
            if (!(dot(*nq - *np, normalized(cut)) > kCoincidence)) continue;
            setPoint(out.figure, 0, *np);
            setPoint(out.figure, 2, *nq);
        }
        out.kept = true;
    }

    // Every side must keep its direction and length as drawn; a side that had
    // no drawn length to begin with may stay at nothing.
    for (int k = 0; k < n; ++k) {
        const OffsetLine& l = lines[k];
        const Point from = lines[prev(k)].newVertex, to = l.newVertex;
        if (!(dot(to - from, l.dir) > kCoincidence)) return -1;
        Point drawnFrom = from, drawnTo = to;
        const int before = neighbourElement(*s, l.index, -1, true);
        const int after = neighbourElement(*s, l.index, 1, true);
        if (cornerAt(*s, before) && corners[before].kept)
            drawnFrom = cornerFollowingPoint(corners[before].figure);
        if (cornerAt(*s, after) && corners[after].kept)
            drawnTo = cornerPrecedingPoint(corners[after].figure);
        const Line original = trimmedLine(*s, l.index);
        const double originalLength = std::fabs(dot(original.end - original.start, l.dir));
        const double drawnLength = dot(drawnTo - drawnFrom, l.dir);
        const bool kept = drawnLength > kCoincidence ||
                          (originalLength <= kCoincidence && drawnLength >= -kCoincidence);
        if (!kept) return -1;
    }

    std::vector<Element> made;
    for (int i = 0; i < count; ++i) {
        const Element& source = s->elements[i];
        Element e;
        e.color = source.color;
        e.lineType = source.lineType;
        e.fileStyle = source.fileStyle;
        if (lineNumber[i] >= 0) {
            const int k = lineNumber[i];
            FigureElement f;
            f.type = FigureType::Line;
            const Point from = lines[prev(k)].newVertex, to = lines[k].newVertex;
            setPoint(f, 0, lines[k].reversed ? to : from);
            setPoint(f, 2, lines[k].reversed ? from : to);
            e.body = f;
        } else if (corners[i].kept) {
            e.body = corners[i].figure;
        } else {
            continue;
        }
        for (double value : std::get<FigureElement>(e.body).values)
            if (!std::isfinite(value)) return -1;
        made.push_back(std::move(e));
    }

    const int id = d.createSegment(SegmentKind::Figure);
    d.segment(id)->closed = true;
    for (Element& e : made) {
        const int eid = d.appendElement(id, std::move(e.body));
        Element* placed = d.element(eid);
        placed->color = e.color;
        placed->lineType = e.lineType;
        placed->fileStyle = e.fileStyle;
    }
    return id;
}

}  // namespace vel

// FigureOps.cpp - the host's geometry rules on figure segments: corners between
// lines, outline direction, offsets, moved/rotated/scaled copies, the
// point-on-arc test and the segment as drawn (corners cut).
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <utility>

#include "vel/kernel/Drawing.h"

namespace vel {

namespace {

// Corner kinds as the host library numbers them.
constexpr int kRoundCorner = 0;
constexpr int kChamferCorner = 1;

// Below this sine two lines count as parallel.
constexpr double kParallelSine = 1e-9;

// The unit vector at an angle in degrees; exact on the axes, so that axis-aligned
// dimensions and quarter-turn copies stay exactly axis-aligned.
Point unitAt(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0.0) a += 360.0;
    if (a == 0.0) return {1.0, 0.0};
    if (a == 90.0) return {0.0, 1.0};
    if (a == 180.0) return {-1.0, 0.0};
    if (a == 270.0) return {0.0, -1.0};
    const double rad = a * std::numbers::pi / 180.0;
    return {std::cos(rad), std::sin(rad)};
}

Point pointAt(const FigureElement& f, int i) {
    return {f.values[i], f.values[i + 1]};
}

void setPoint(FigureElement& f, int i, Point p) {
    f.values[i] = p.x;
    f.values[i + 1] = p.y;
}

bool finite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool isCornerType(FigureType t) {
    return t == FigureType::CornerR || t == FigureType::Chamfer;
}

const FigureElement* figureAt(const Segment& s, int i) {
    if (i < 0 || i >= static_cast<int>(s.elements.size())) return nullptr;
    return s.elements[i].figure();
}

const FigureElement* lineAt(const Segment& s, int i) {
    const FigureElement* f = figureAt(s, i);
    return f && f->type == FigureType::Line ? f : nullptr;
}

const FigureElement* cornerAt(const Segment& s, int i) {
    const FigureElement* f = figureAt(s, i);
    return f && isCornerType(f->type) ? f : nullptr;
}

Line lineOf(const FigureElement& f) {
    return {pointAt(f, 0), pointAt(f, 2)};
}

// A corner's point on the element before it and on the element after it.
Point cornerPrecedingPoint(const FigureElement& c) {
    return pointAt(c, c.type == FigureType::CornerR ? 2 : 0);
}
Point cornerFollowingPoint(const FigureElement& c) {
    return pointAt(c, c.type == FigureType::CornerR ? 4 : 2);
}

// Intersection of the infinite lines p + t·u and q + s·v.
std::optional<Point> intersect(Point p, Point u, Point q, Point v) {
    const double lu = length(u), lv = length(v);
    if (!(lu > 0.0) || !(lv > 0.0)) return std::nullopt;
    const double c = cross(u, v);
    if (!(std::fabs(c) > kParallelSine * lu * lv)) return std::nullopt;
    const Point r = p + u * (cross(q - p, v) / c);
    if (!finite(r)) return std::nullopt;
    return r;
}

std::optional<Point> intersect(const Line& a, const Line& b) {
    return intersect(a.start, a.end - a.start, b.start, b.end - b.start);
}

// Foot of the perpendicular from q onto the infinite line through p along u.
Point project(Point q, Point p, Point u) {
    const double l2 = dot(u, u);
    if (!(l2 > 0.0)) return p;
    return p + u * (dot(q - p, u) / l2);
}

// The sharp vertex where the line at index `line` meets the line on the far side
// of the corner at index `corner`, when there is one.
std::optional<Point> vertexAcross(const Segment& s, int line, int corner, int step) {
    const FigureElement* l = lineAt(s, line);
    const FigureElement* other = lineAt(s, neighbourElement(s, corner, step, s.closed));
    if (!l || !other || other == l) return std::nullopt;
    return intersect(lineOf(*l), lineOf(*other));
}

// A line's extent as drawn: the end at a corner moves to that corner's point.
// The end that is cut is the one nearer the sharp vertex, so lines drawn either
// way round are trimmed alike; without a vertex the chain's own order decides.
Line trimmedLine(const Segment& s, int i) {
    Line l = lineOf(*lineAt(s, i));
    const int before = neighbourElement(s, i, -1, s.closed);
    const int after = neighbourElement(s, i, 1, s.closed);
    if (const FigureElement* c = before != i ? cornerAt(s, before) : nullptr) {
        const std::optional<Point> v = vertexAcross(s, i, before, -1);
        const bool cutEnd = v && distance(l.end, *v) < distance(l.start, *v);
        (cutEnd ? l.end : l.start) = cornerFollowingPoint(*c);
    }
    if (const FigureElement* c = after != i ? cornerAt(s, after) : nullptr) {
        const std::optional<Point> v = vertexAcross(s, i, after, 1);
        const bool cutStart = v && distance(l.start, *v) < distance(l.end, *v);
        (cutStart ? l.start : l.end) = cornerPrecedingPoint(*c);
    }
    return l;
}

Arc arcThrough(Point centre, double radius, Point from, Point to) {
    return Arc{centre, radius, std::atan2(from.y - centre.y, from.x - centre.x),
               std::atan2(to.y - centre.y, to.x - centre.x)};
}

// A figure element draws one primitive (none when its type is unknown).
template <typename Visit>
void figurePrimitives(const Segment& s, int i, Visit&& visit) {
    const FigureElement& f = *figureAt(s, i);
    switch (f.type) {
        case FigureType::Line:
            return visit(trimmedLine(s, i));
        case FigureType::Circle:
            return visit(Circle{pointAt(f, 0), f.values[2]});
        case FigureType::Arc:
            return visit(arcThrough(pointAt(f, 0), f.values[6], pointAt(f, 2), pointAt(f, 4)));
        case FigureType::CornerR: {
            const Point c = pointAt(f, 0), p = pointAt(f, 2), q = pointAt(f, 4);
            // A round corner sweeps less than a half turn, so the side of the turn
            // is the sign of the cross product of its two radii.
            if (cross(p - c, q - c) >= 0.0) return visit(arcThrough(c, f.values[6], p, q));
            return visit(arcThrough(c, f.values[6], q, p));
        }
        case FigureType::Chamfer:
            return visit(Line{pointAt(f, 0), pointAt(f, 2)});
        case FigureType::Point:
            return visit(pointAt(f, 0));
    }
}

// A length dimension is drawn as its measure line from a along the measuring
// direction to the foot of b, plus the extension line from b to that foot
// (direction 90: a to (a.x, b.y) and b to (a.x, b.y)). Zero-length pieces are
// left out; a dimension measuring nothing shows as the point a.
template <typename Visit>
void dimensionPrimitives(const DimensionElement& dim, Visit&& visit) {
    const Point u = unitAt(dim.direction);
    const Point foot = dim.a + u * dot(dim.b - dim.a, u);
    const bool measure = distance(dim.a, foot) > kCoincidence;
    const bool extension = distance(dim.b, foot) > kCoincidence;
    if (measure) visit(Line{dim.a, foot});
    if (extension) visit(Line{dim.b, foot});
    if (!measure && !extension) visit(dim.a);
}

template <typename Visit>
void leaderPrimitives(const LeaderElement& leader, Visit&& visit) {
    if (leader.points.size() == 1) visit(leader.points.front());
    for (size_t k = 1; k < leader.points.size(); ++k)
        visit(Line{leader.points[k - 1], leader.points[k]});
}

// The drawn primitives of one element, one at a time.
template <typename Visit>
void elementPrimitives(const Segment& s, int i, Visit&& visit) {
    const ElementBody& body = s.elements[i].body;
    if (std::holds_alternative<FigureElement>(body)) return figurePrimitives(s, i, visit);
    if (const DimensionElement* dim = std::get_if<DimensionElement>(&body))
        return dimensionPrimitives(*dim, visit);
    leaderPrimitives(std::get<LeaderElement>(body), visit);
}

// ---- Corners ----

// The corner between the line `pre` and the line `post` that follows it, or
// nothing when it cannot be made: parallel or degenerate lines, or a tangent or
// cut point beyond the far end of a line or beyond the corner already there.
std::optional<FigureElement> fitCorner(const Segment& s, int pre, int post, FigureType type,
                                       double size) {
    if (!std::isfinite(size) || !(size > 0.0) || pre == post) return std::nullopt;
    const FigureElement* a = lineAt(s, pre);
    const FigureElement* b = lineAt(s, post);
    if (!a || !b) return std::nullopt;
    const Line la = lineOf(*a), lb = lineOf(*b);
    if (!(distance(la.start, la.end) > kCoincidence) ||
        !(distance(lb.start, lb.end) > kCoincidence))
        return std::nullopt;
    const std::optional<Point> vertex = intersect(la, lb);
    if (!vertex) return std::nullopt;
    const Point v = *vertex;

    // Each line runs from the vertex towards its far end; the corner at that end,
    // if any, bounds how far the new one may reach.
    auto reach = [&](const Line& l, int cornerIndex, bool followingPoint, Point& unit) {
        const Point far = distance(l.start, v) > distance(l.end, v) ? l.start : l.end;
        unit = normalized(far - v);
        double limit = dot(far - v, unit);
        if (const FigureElement* c = cornerAt(s, cornerIndex)) {
            const Point q = followingPoint ? cornerFollowingPoint(*c) : cornerPrecedingPoint(*c);
            limit = std::min(limit, dot(q - v, unit));
        }
        return limit;
    };
    Point ua, ub;
    const double limitA = reach(la, neighbourElement(s, pre, -1, s.closed), true, ua);
    const double limitB = reach(lb, neighbourElement(s, post, 1, s.closed), false, ub);
    const double sine = std::fabs(cross(ua, ub));
    if (!(sine > kParallelSine)) return std::nullopt;
    const double half = 0.5 * std::atan2(sine, dot(ua, ub));

    FigureElement corner;
    corner.type = type;
    double tangent = size;
    if (type == FigureType::CornerR) {
        tangent = size / std::tan(half);
        setPoint(corner, 0, v + normalized(ua + ub) * (size / std::sin(half)));
        corner.values[6] = size;
    }
    if (!(tangent <= limitA + kCoincidence) || !(tangent <= limitB + kCoincidence))
        return std::nullopt;
    const Point p = v + ua * tangent, q = v + ub * tangent;
    const int first = type == FigureType::CornerR ? 2 : 0;
    setPoint(corner, first, p);
    setPoint(corner, first + 2, q);
    for (double value : corner.values)
        if (!std::isfinite(value)) return std::nullopt;
    return corner;
}

// ---- Outline direction ----

struct Piece {
    Point from, to;
    double bulge = 0.0;  // signed area between the chord and the arc, left of travel positive
};

Piece pieceOf(const Primitive& p, bool reversed) {
    Piece piece;
    if (const Line* l = std::get_if<Line>(&p)) {
        piece = {l->start, l->end, 0.0};
    } else if (const Arc* a = std::get_if<Arc>(&p)) {
        const double sweep = a->sweep();
        piece = {a->start(), a->end(), 0.5 * a->radius * a->radius * (sweep - std::sin(sweep))};
    }
    if (reversed) {
        std::swap(piece.from, piece.to);
        piece.bulge = -piece.bulge;
    }
    return piece;
}

Point startOf(const Primitive& p) {
    if (const Line* l = std::get_if<Line>(&p)) return l->start;
    return std::get<Arc>(p).start();
}
Point endOf(const Primitive& p) {
    if (const Line* l = std::get_if<Line>(&p)) return l->end;
    return std::get<Arc>(p).end();
}

// ---- Offsets ----

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

// ---- Copies ----

struct Similarity {
    Point base, target;
    double c = 1.0, s = 0.0, scale = 1.0;
    Point operator()(Point p) const {
        const Point v = p - base;
        return target + Point{c * v.x - s * v.y, s * v.x + c * v.y} * scale;
    }
};

void transformBody(ElementBody& body, const Similarity& t, double angleDegrees) {
    if (FigureElement* f = std::get_if<FigureElement>(&body)) {
        const double r = std::fabs(t.scale);
        switch (f->type) {
            case FigureType::Line:
            case FigureType::Chamfer:
                setPoint(*f, 0, t(pointAt(*f, 0)));
                setPoint(*f, 2, t(pointAt(*f, 2)));
                break;
            case FigureType::Circle:
                setPoint(*f, 0, t(pointAt(*f, 0)));
                f->values[2] *= r;
                break;
            case FigureType::Arc:
            case FigureType::CornerR:
                // A similarity with positive determinant keeps counter-clockwise
                // arcs counter-clockwise, so moving the points rotates the angles.
                for (int i : {0, 2, 4}) setPoint(*f, i, t(pointAt(*f, i)));
                f->values[6] *= r;
                break;
            case FigureType::Point:
                setPoint(*f, 0, t(pointAt(*f, 0)));
                break;
        }
    } else if (DimensionElement* dim = std::get_if<DimensionElement>(&body)) {
        dim->a = t(dim->a);
        dim->b = t(dim->b);
        double dir = std::fmod(dim->direction + angleDegrees, 360.0);
        if (dir < 0.0) dir += 360.0;
        dim->direction = dir;
    } else if (LeaderElement* leader = std::get_if<LeaderElement>(&body)) {
        for (Point& p : leader->points) p = t(p);
    }
}

}  // namespace

// ---- Corners ----

int addCorner(Drawing& d, int elementA, int elementB, int kind, double size) {
    if (kind != kRoundCorner && kind != kChamferCorner) return -1;
    Segment* s = d.segmentOfElement(elementA);
    if (!s || s->kind != SegmentKind::Figure || d.segmentOfElement(elementB) != s) return -1;
    const int ia = d.elementIndex(elementA), ib = d.elementIndex(elementB);
    int pre = -1, post = -1;
    if (neighbourElement(*s, ia, 1, s->closed) == ib) {
        pre = ia;
        post = ib;
    } else if (neighbourElement(*s, ib, 1, s->closed) == ia) {
        pre = ib;
        post = ia;
    } else {
        return -1;
    }
    const FigureType type = kind == kRoundCorner ? FigureType::CornerR : FigureType::Chamfer;
    const std::optional<FigureElement> corner = fitCorner(*s, pre, post, type, size);
    if (!corner) return -1;
    const int last = static_cast<int>(s->elements.size()) - 1;
    if (pre == last && post == 0) return d.appendElement(s->id, *corner);
    return d.insertElementBefore(s->elements[post].id, *corner);
}

int amendCorner(Drawing& d, int cornerId, double size) {
    Segment* s = d.segmentOfElement(cornerId);
    if (!s) return -1;
    const int at = d.elementIndex(cornerId);
    const FigureElement* c = cornerAt(*s, at);
    if (!c) return -1;
    const int pre = neighbourElement(*s, at, -1, s->closed);
    const int post = neighbourElement(*s, at, 1, s->closed);
    const std::optional<FigureElement> fitted = fitCorner(*s, pre, post, c->type, size);
    if (!fitted) return -1;
    *s->elements[at].figure() = *fitted;
    return 0;
}

int removeCorner(Drawing& d, int cornerId) {
    const Segment* s = d.segmentOfElement(cornerId);
    if (!s || !cornerAt(*s, d.elementIndex(cornerId))) return -1;
    return d.eraseElement(cornerId) ? 0 : -1;
}

// ---- Outline direction ----

int figureDirection(const Drawing& d, int segmentId) {
    const Segment* s = d.segment(segmentId);
    if (!s || s->kind != SegmentKind::Figure || !s->closed || s->elements.empty()) return -1;
    const std::vector<Primitive> prims = drawnPrimitives(d, *s);
    for (const Primitive& p : prims)
        if (!std::holds_alternative<Line>(p) && !std::holds_alternative<Arc>(p)) return -1;
    if (prims.empty()) return -1;

    // Round corners on right turns are drawn backwards, and elements may be stored
    // either way round, so each piece is turned to start where the last one ended.
    std::vector<Piece> pieces;
    bool firstReversed = false;
    if (prims.size() > 1) {
        const Point ns = startOf(prims[1]), ne = endOf(prims[1]);
        const Point s0 = startOf(prims[0]), e0 = endOf(prims[0]);
        const double fromStart = std::min(distance(s0, ns), distance(s0, ne));
        const double fromEnd = std::min(distance(e0, ns), distance(e0, ne));
        // Both ends may touch the next piece (a two-piece outline); then the
        // first piece keeps its own direction.
        firstReversed = fromStart + kCoincidence < fromEnd;
    }
    pieces.push_back(pieceOf(prims[0], firstReversed));
    for (size_t k = 1; k < prims.size(); ++k) {
        const Point last = pieces.back().to;
        pieces.push_back(
            pieceOf(prims[k], distance(endOf(prims[k]), last) < distance(startOf(prims[k]), last)));
    }

    double area = 0.0;
    for (const Piece& p : pieces) area += 0.5 * cross(p.from, p.to) + p.bulge;
    area += 0.5 * cross(pieces.back().to, pieces.front().from);

    const Extents box = extentsOf(prims);
    const double scale2 = box.width() * box.width() + box.height() * box.height();
    if (!std::isfinite(area) ||
        std::fabs(area) <= std::max(1e-10 * scale2, kCoincidence * kCoincidence))
        return -1;
    return area > 0.0 ? 1 : 2;
}

// ---- Offsets ----

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

// ---- Copies ----

int editSegment(Drawing& d, int segmentId, Point base, Point target, double angleDegrees,
                double scale, bool inPlace) {
    if (!finite(base) || !finite(target) || !std::isfinite(angleDegrees) || !std::isfinite(scale) ||
        scale == 0.0)
        return -1;
    const Segment* source = d.segment(segmentId);
    if (!source) return -1;
    const Point turn = unitAt(angleDegrees);
    const Similarity t{base, target, turn.x, turn.y, scale};

    if (inPlace) {
        Segment* s = d.segment(segmentId);
        for (Element& e : s->elements) transformBody(e.body, t, angleDegrees);
        return segmentId;
    }

    const Segment copyOf = *source;
    const int id = d.createSegment(copyOf.kind);
    Segment* copy = d.segment(id);
    copy->layer = copyOf.layer;
    copy->closed = copyOf.closed;
    copy->attributes = copyOf.attributes;
    for (const Element& e : copyOf.elements) {
        ElementBody body = e.body;
        transformBody(body, t, angleDegrees);
        const int eid = d.appendElement(id, std::move(body));
        Element* placed = d.element(eid);
        placed->color = e.color;
        placed->lineType = e.lineType;
        placed->fileStyle = e.fileStyle;
    }
    return id;
}

// ---- Point on arc ----

// A measure of the counter-clockwise turn from u to v in [0, 4) that grows with
// the angle: enough to compare turns without any trigonometry, which matters
// because measuring an arc asks this four times.
static double ccwTurn(Point u, Point v) {
    const double x = dot(u, v);
    const double y = cross(u, v);
    const double sum = std::fabs(x) + std::fabs(y);
    if (sum == 0.0) return 0.0;
    const double t = y / sum;
    if (x < 0.0) return 2.0 - t;
    return y < 0.0 ? 4.0 + t : t;
}

int pointOnArc(const FigureElement& arc, Point p) {
    if (arc.type == FigureType::Circle) {
        const double r = arc.values[2];
        return std::fabs(distance(p, pointAt(arc, 0)) - r) < kCoincidence ? 2 : 0;
    }
    if (arc.type != FigureType::Arc) return 0;
    // Plain square roots rather than hypot: this runs for every extreme point of
    // every arc measured, and coordinates never come near overflow.
    const Point c = pointAt(arc, 0);
    const double r = arc.values[6];
    const Point fromCentre = p - c;
    if (!(std::fabs(std::sqrt(dot(fromCentre, fromCentre)) - r) < kCoincidence)) return 0;
    const Point start = pointAt(arc, 2);
    const Point end = pointAt(arc, 4);
    const double tolerance2 = kCoincidence * kCoincidence;
    if (dot(p - start, p - start) < tolerance2 || dot(p - end, p - end) < tolerance2) return 2;
    const double sweep = ccwTurn(start - c, end - c);
    if (sweep == 0.0) return 2;  // start and end coincide: a whole turn
    return ccwTurn(start - c, p - c) <= sweep ? 2 : 1;
}

// ---- The segment as drawn ----

std::vector<Primitive> drawnPrimitives(const Drawing& d, const Segment& s, int elementIndex) {
    (void)d;
    std::vector<Primitive> out;
    if (elementIndex < 0 || elementIndex >= static_cast<int>(s.elements.size())) return out;
    elementPrimitives(s, elementIndex, [&](const Primitive& p) { out.push_back(p); });
    return out;
}

std::vector<Primitive> drawnPrimitives(const Drawing& d, const Segment& s) {
    (void)d;
    std::vector<Primitive> out;
    out.reserve(s.elements.size());
    for (int i = 0; i < static_cast<int>(s.elements.size()); ++i)
        elementPrimitives(s, i, [&](const Primitive& p) { out.push_back(p); });
    return out;
}

void forEachDrawnPrimitive(const Drawing& d, const Segment& s,
                           const std::function<void(const Primitive&)>& visit) {
    (void)d;
    for (int i = 0; i < static_cast<int>(s.elements.size()); ++i) elementPrimitives(s, i, visit);
}

void forEachDrawnPrimitive(const Drawing& d, const Segment& s, int elementIndex,
                           const std::function<void(const Primitive&)>& visit) {
    (void)d;
    if (elementIndex < 0 || elementIndex >= static_cast<int>(s.elements.size())) return;
    elementPrimitives(s, elementIndex, visit);
}

Extents drawnExtentsOf(const Drawing& d, const Segment& s) {
    Extents box;
    forEachDrawnPrimitive(d, s, [&](const Primitive& p) {
        if (const Extents e = extentsOf(p); e.bounded()) box.add(e);
    });
    return box;
}

}  // namespace vel

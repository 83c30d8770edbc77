// DrawingView.cpp - chaining a segment's drawn primitives into paths and placing
// dimension and leader texts.
#include "vel/io/DrawingView.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <numbers>
#include <optional>
#include <stdexcept>

#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

bool finite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A line or arc whose every number can be drawn (its end points worked out once).
bool finitePiece(const PathPiece& piece) {
    if (!finite(piece.from) || !finite(piece.to)) return false;
    if (!piece.arc) return true;
    const ArcThrough& a = *piece.arc;
    return finite(a.centre) && std::isfinite(a.radius) && finite(a.from - a.centre) &&
           finite(a.to - a.centre);
}

// Whether a and b lie within tol of each other. By squares, as every join of a large drawing
// asks it and hypot is slow; by hypot where a square would overflow.
bool within(Point a, Point b, double tol) {
    const Point d = a - b;
    const double squared = dot(d, d);
    if (squared < 1e300 && tol < 1e150) return squared <= tol * tol;
    return distance(a, b) <= tol;
}

PathPiece pieceOf(const DrawnPiece& p) {
    if (const ArcThrough* a = std::get_if<ArcThrough>(&p)) return {a->from, a->to, *a, false};
    const Line& l = std::get<Line>(p);
    return {l.start, l.end, std::nullopt, false};
}

// A run of connected pieces of one stroke while a segment is being chained.
struct Chain {
    int elementId = 0;
    ViewStroke stroke;
    std::vector<PathPiece> pieces;

    Point start() const { return pieces.front().from; }
    Point end() const { return pieces.back().to; }

    // Adds the piece if it continues the chain, turning it (or a lone first
    // piece, whose direction nothing has fixed yet) round where needed.
    bool extend(const PathPiece& piece, double tol) {
        if (within(end(), piece.from, tol)) {
            pieces.push_back(piece);
        } else if (within(end(), piece.to, tol)) {
            pieces.push_back(piece.reversed());
        } else if (pieces.size() == 1 && within(start(), piece.from, tol)) {
            pieces.front() = pieces.front().reversed();
            pieces.push_back(piece);
        } else if (pieces.size() == 1 && within(start(), piece.to, tol)) {
            pieces.front() = pieces.front().reversed();
            pieces.push_back(piece.reversed());
        } else {
            return false;
        }
        return true;
    }

    bool closes(double tol) const {
        if (pieces.empty() || !within(end(), start(), tol)) return false;
        return pieces.size() > 1 || pieces.front().arc.has_value();
    }
};

double widthEstimate(const std::string& utf8, double height) {
    double width = 0.0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        width += c < 0x80 ? 0.6 : 1.0;     // wide glyphs (Hangul, CJK) are about square
    }
    return width * height;
}

void addTextBox(Extents& e, const ViewText& t) {
    const double rad = t.angleDegrees * kRadiansPerDegree;
    const Point along{std::cos(rad), std::sin(rad)};
    const Point up{-along.y, along.x};
    const double w = widthEstimate(t.text, t.height);
    double left = 0.0;
    if (t.align == TextAlign::Centre) left = -w / 2;
    if (t.align == TextAlign::Right) left = -w;
    for (double dx : {left, left + w})
        for (double dy : {-0.25 * t.height, t.height}) e.add(t.anchor + along * dx + up * dy);
}

// The measure line of a dimension: from a along its direction to the foot of b.
struct MeasureLine {
    Point from;
    Point to;
};

MeasureLine measureLineOf(const DimensionElement& dim) {
    const double rad = dim.direction * kRadiansPerDegree;
    const Point u{std::cos(rad), std::sin(rad)};
    return {dim.a, dim.a + u * dot(dim.b - dim.a, u)};
}

// Room left between a dimension's text and the lines around it, in text heights.
constexpr double kTextClearance = 0.4;

// A dimension's arrowheads, by its arrow style: none for kind 0, else filled,
// size2 times 0.6 text heights long, size1 of a fifth of their length wide.
double arrowLength(const DimensionElement& dim, double h) {
    return dim.arrow.kind == 0 ? 0.0 : 0.6 * h * dim.arrow.size2;
}

// They point out at the extension lines from inside the measure line, or in at
// them from outside where the line is too short to hold both.
bool arrowsOutside(double span, double length) {
    return length > 0.0 && span < 3 * length;
}

// The measured value reads left to right or bottom to top. It sits beside the
// middle of the measure line, on the side away from the extension line; where
// the line is too short for it, it stands beyond the line's outer end (the one
// farther from the drawing's centre), centred on the line, clear of both
// extension lines.
ViewText dimensionText(const DimensionElement& dim, double h, Point centre) {
    const MeasureLine line = measureLineOf(dim);
    const Point mid = (line.from + line.to) * 0.5;

    double angle = std::remainder(dim.direction, 360.0);  // [-180, 180]
    if (angle > 90.0) angle -= 180.0;
    if (angle <= -90.0) angle += 180.0;
    const double textRad = angle * kRadiansPerDegree;
    const Point up{-std::sin(textRad), std::cos(textRad)};

    ViewText t;
    t.angleDegrees = angle;
    t.height = h;
    t.align = TextAlign::Centre;
    t.text = dim.text();
    const double span = distance(line.from, line.to);
    const double width = widthEstimate(t.text, h);
    if (span > kCoincidence && width + 2 * kTextClearance * h > span) {
        const bool fromIsOuter = distance(line.from, centre) > distance(line.to, centre);
        const Point outer = fromIsOuter ? line.from : line.to;
        const Point outward = (outer - (fromIsOuter ? line.to : line.from)) * (1.0 / span);
        const double arrow = arrowLength(dim, h);
        const double gap = kTextClearance * h + (arrowsOutside(span, arrow) ? arrow : 0.0);
        t.anchor = outer + outward * (gap + width / 2) - up * (0.35 * h);
        return t;
    }
    const Point towardB = dim.b - line.to;
    const bool above = length(towardB) <= kCoincidence || dot(towardB, up) < 0.0;
    t.anchor = above ? mid + up * (kTextClearance * h) : mid - up * (1.2 * h);
    return t;
}

// Tips at the ends of the measure line, bases square to it.
std::vector<Arrowhead> dimensionArrows(const DimensionElement& dim, double h) {
    const MeasureLine line = measureLineOf(dim);
    const double span = distance(line.from, line.to);
    const double length = arrowLength(dim, h);
    const double halfWidth = 0.2 * length * dim.arrow.size1;
    if (!(span > kCoincidence) || !(length > 0.0) || !std::isfinite(length + halfWidth)) return {};
    const Point u = (line.to - line.from) * (1.0 / span);
    const Point side{-u.y * halfWidth, u.x * halfWidth};
    const double back = arrowsOutside(span, length) ? -length : length;
    std::vector<Arrowhead> heads;
    for (const auto& [tip, out] : {std::pair{line.from, u * -1.0}, std::pair{line.to, u}}) {
        const Point base = tip - out * back;
        heads.push_back({tip, base + side, base - side});
    }
    return heads;
}

// A leader's text starts just past its last point, away from the leader line.
ViewText leaderText(const LeaderElement& leader, double h) {
    ViewText t;
    t.height = h;
    t.text = toUtf8(leader.text);
    const Point last = leader.points.back();
    bool leftward = false;
    if (leader.points.size() >= 2) leftward = last.x < leader.points[leader.points.size() - 2].x;
    t.align = leftward ? TextAlign::Right : TextAlign::Left;
    t.anchor = last + Point{leftward ? -0.3 * h : 0.3 * h, -0.35 * h};
    return t;
}

// The text a dimension or leader shows, placed for the text height; none for
// figures and for what has no finite place or nothing to say.
std::optional<ViewText> annotationText(const Segment& segment, const Element& e,
                                       const ViewFrame& frame) {
    if (e.figure()) return std::nullopt;
    const double h = frame.textHeight;
    ViewText text;
    if (const auto* dim = std::get_if<DimensionElement>(&e.body)) {
        text = dimensionText(*dim, h, frame.centre);
    } else if (const auto* leader = std::get_if<LeaderElement>(&e.body)) {
        if (leader->points.empty() || !finite(leader->points.back())) return std::nullopt;
        text = leaderText(*leader, h);
    } else {
        return std::nullopt;
    }
    if (!finite(text.anchor) || text.text.empty()) return std::nullopt;
    text.segmentId = segment.id;
    text.elementId = e.id;
    text.layer = segment.layer;
    text.color = e.color;
    return text;
}

}  // namespace

// A corner has no colour or line type of its own unless one was given to it: it
// is drawn with those of the element before it, so that an outline whose edges
// carry them is drawn in one stroke, corners included (in a file, with the colour
// and line type the edge was read with).
ViewStroke strokeOf(const Segment& segment, int at) {
    const Element& e = segment.elements[at];
    ViewStroke stroke{e.color, e.lineType, e.fileStyle};
    const FigureElement* f = e.figure();
    const bool corner = f && (f->type == FigureType::CornerR || f->type == FigureType::Chamfer);
    if (!corner || (stroke.color && stroke.lineType)) return stroke;
    const int before = neighbourElement(segment, at, -1, true);
    if (before < 0) return stroke;
    const Element& previous = segment.elements[before];
    if (!stroke.color) stroke.color = previous.color;
    if (!stroke.lineType) stroke.lineType = previous.lineType;
    if (!stroke.fileStyle) stroke.fileStyle = previous.fileStyle;
    return stroke;
}

PathPiece PathPiece::reversed() const {
    return {to, from, arc, arc ? !clockwise : false};
}

double PathPiece::bulge() const {
    if (!arc) return 0.0;
    const double b = arc->bulge();
    return clockwise ? -b : b;
}

namespace {

// The diagonal of a w × h box. hypot may differ in the last place from one C library to
// another; scaled division, products, a sum and sqrt are rounded alike everywhere, so
// the text height taken from it, and every file written with it, is the same on each.
double diagonal(double w, double h) {
    const double s = std::max(w, h);
    if (!(s > 0.0) || !std::isfinite(s)) return std::hypot(w, h);
    const double x = w / s, y = h / s;
    return s * std::sqrt(x * x + y * y);
}

// The frame of what `geometry` covers, with texts a fortieth of its diagonal high.
ViewFrame frameOfExtents(const Extents& geometry) {
    ViewFrame frame;
    const double size = diagonal(geometry.width(), geometry.height());
    frame.textHeight = size > 0.0 ? size / 40.0 : 2.5;
    frame.joinTolerance = std::max(kCoincidence, 1e-9 * size);
    frame.extents = geometry;
    if (!geometry.empty())
        frame.centre = {(geometry.minX + geometry.maxX) / 2, (geometry.minY + geometry.maxY) / 2};
    return frame;
}

// Annotations' texts are this share of the smaller side of what they span (the insert they
// annotate, a little beyond it): as large as they have always been on a drawing that is just the
// part, and as large on a drawing of hundreds of parts, where a share of the whole drawing made
// them run into each other.
constexpr double kAnnotationTextShare = 1.0 / 22.0;

}  // namespace

std::optional<double> annotationTextHeight(const Drawing& drawing) {
    if (const std::optional<double> h = drawing.dimensionTextHeight()) return h;
    // What the annotations span: a dimension from the part to the insert's side, a leader from
    // the insert's corner outwards.
    Extents span;
    for (const auto& [id, s] : drawing.segments()) {
        // Dimensions and leaders are made in segments of their own kinds only.
        if (s.kind == SegmentKind::Figure) continue;
        for (const Element& e : s.elements) {
            if (const auto* dim = std::get_if<DimensionElement>(&e.body)) {
                for (Point p : {dim->a, dim->b})
                    if (finite(p)) span.add(p);
            } else if (const auto* leader = std::get_if<LeaderElement>(&e.body)) {
                for (Point p : leader->points)
                    if (finite(p)) span.add(p);
            }
        }
    }
    if (span.empty()) return std::nullopt;
    const double side = std::min(span.width(), span.height());
    if (!(side > kCoincidence) || !std::isfinite(side)) return std::nullopt;
    return side * kAnnotationTextShare;
}

ViewFrame frameFor(const Drawing& drawing, const Extents& geometry) {
    ViewFrame frame = frameOfExtents(geometry);
    if (const std::optional<double> h = annotationTextHeight(drawing)) frame.textHeight = *h;
    return frame;
}

ViewFrame frameOf(const Drawing& drawing,
                  const std::function<void(const Segment&, int)>& alsoEach) {
    ViewFrame frame = frameFor(drawing, drawing.drawnExtents());
    for (const auto& [id, segment] : drawing.segments()) {
        for (size_t i = 0; i < segment.elements.size(); ++i) {
            if (std::optional<ViewText> t = annotationText(segment, segment.elements[i], frame))
                addTextBox(frame.extents, *t);
            if (alsoEach) alsoEach(segment, static_cast<int>(i));
        }
    }
    return frame;
}

void viewSegment(const Drawing& drawing, const Segment& segment, const ViewFrame& frame,
                 SegmentView& out) {
    out.shapes.clear();
    out.texts.clear();
    auto shape = [&](int elementId, ViewStroke stroke, bool annotation, auto geometryValue) {
        ViewShape s;
        s.segmentId = segment.id;
        s.elementId = elementId;
        s.layer = segment.layer;
        s.stroke = stroke;
        s.annotation = annotation;
        s.geometry = std::move(geometryValue);
        return s;
    };
    const double tol = frame.joinTolerance;
    std::vector<Chain> chains;
    // The element whose primitives come, and how it is drawn: one visitor for all of them. A
    // figure's one piece is handed to it straight, as a large drawing has a million.
    int id = 0;
    size_t at = 0;  // the element's place in the segment
    ViewStroke stroke;
    bool annotation = false;
    const auto take = [&](const DrawnPiece& p) {
        if (const Circle* c = std::get_if<Circle>(&p)) {
            if (finite(c->centre) && std::isfinite(c->radius))
                out.shapes.push_back(shape(id, stroke, annotation, *c));
            return;
        }
        if (const Point* pt = std::get_if<Point>(&p)) {
            if (finite(*pt)) out.shapes.push_back(shape(id, stroke, annotation, *pt));
            return;
        }
        const PathPiece piece = pieceOf(p);
        if (!finitePiece(piece)) return;
        if (annotation) {
            out.shapes.push_back(shape(id, stroke, true, Path{{piece}, false}));
        } else if (chains.empty() || !(chains.back().stroke == stroke) ||
                   !chains.back().extend(piece, tol)) {
            chains.push_back(Chain{id, stroke, {}});
            // Room for the rest of the segment: an outline is mostly one chain.
            chains.back().pieces.reserve(segment.elements.size() - at);
            chains.back().pieces.push_back(piece);
        }
    };
    std::function<void(const DrawnPiece&)> annotations;  // made for the first one there is
    for (size_t i = 0; i < segment.elements.size(); ++i) {
        const Element& e = segment.elements[i];
        id = e.id;
        at = i;
        stroke = strokeOf(segment, static_cast<int>(i));
        annotation = !e.figure();
        if (!annotation) {
            if (const std::optional<DrawnPiece> piece =
                    drawnFigurePiece(segment, static_cast<int>(i)))
                take(*piece);
        } else {
            if (!annotations) annotations = take;
            forEachDrawnPiece(drawing, segment, static_cast<int>(i), annotations);
        }
        if (const auto* dim = std::get_if<DimensionElement>(&e.body))
            for (const Arrowhead& head : dimensionArrows(*dim, frame.textHeight))
                if (finite(head.tip) && finite(head.left) && finite(head.right))
                    out.shapes.push_back(shape(e.id, stroke, true, head));
        if (std::optional<ViewText> t = annotationText(segment, e, frame))
            out.texts.push_back(std::move(*t));
    }
    // On a closed outline the last run may lead straight into the first.
    if (chains.size() >= 2 && chains.back().stroke == chains.front().stroke &&
        !chains.front().closes(tol) && within(chains.back().end(), chains.front().start(), tol)) {
        Chain& last = chains.back();
        last.pieces.insert(last.pieces.end(), chains.front().pieces.begin(),
                           chains.front().pieces.end());
        chains.front() = std::move(last);
        chains.pop_back();
    }
    for (Chain& chain : chains) {
        const bool closed = chain.closes(tol);
        out.shapes.push_back(
            shape(chain.elementId, chain.stroke, false, Path{std::move(chain.pieces), closed}));
    }
}

DrawingView viewOf(const Drawing& drawing) {
    const ViewFrame frame = frameOf(drawing);
    DrawingView view;
    view.extents = frame.extents;
    view.textHeight = frame.textHeight;
    SegmentView part;
    for (const auto& [id, segment] : drawing.segments()) {
        viewSegment(drawing, segment, frame, part);
        std::move(part.shapes.begin(), part.shapes.end(), std::back_inserter(view.shapes));
        std::move(part.texts.begin(), part.texts.end(), std::back_inserter(view.texts));
    }
    return view;
}

void requireFiniteElement(const Segment& s, const Element& e) {
    auto fail = [&] {
        throw std::invalid_argument("segment " + std::to_string(s.id) + ", element " +
                                    std::to_string(e.id) + ": a value is not a finite number");
    };
    if (const FigureElement* f = e.figure()) {
        for (double v : f->values)
            if (!std::isfinite(v)) fail();
    } else if (const auto* dim = std::get_if<DimensionElement>(&e.body)) {
        if (!finite(dim->a) || !finite(dim->b) || !std::isfinite(dim->direction) ||
            !std::isfinite(dim->arrow.size1) || !std::isfinite(dim->arrow.size2))
            fail();
    } else if (const auto* leader = std::get_if<LeaderElement>(&e.body)) {
        if (!std::isfinite(leader->direction)) fail();
        for (Point p : leader->points)
            if (!finite(p)) fail();
    }
}

void requireFiniteDrawing(const Drawing& drawing) {
    for (const auto& [id, s] : drawing.segments())
        for (const Element& e : s.elements) requireFiniteElement(s, e);
}

std::vector<BulgeVertex> polylineVertices(const Path& path) {
    std::vector<BulgeVertex> vertices;
    vertices.reserve(path.pieces.size() + 1);
    for (const PathPiece& piece : path.pieces) {
        const double bulge = piece.bulge();
        // A bulge below 1 is less than a half turn; only at 1 and above is the arc asked again.
        if (std::fabs(bulge) >= 1.0 && piece.arc->sweepAgainstHalfTurn() > 0) {
            const Arc arc = piece.arc->arc();
            const double half = std::tan(arc.sweep() / 8.0) * (piece.clockwise ? -1.0 : 1.0);
            vertices.push_back({piece.from, half});
            vertices.push_back({arc.pointAt(arc.startAngle + arc.sweep() / 2), half});
        } else {
            vertices.push_back({piece.from, bulge});
        }
    }
    if (!path.closed && !path.pieces.empty()) vertices.push_back({path.pieces.back().to, 0.0});
    return vertices;
}

bool textCovers(const ViewText& t, Point p, double reach) {
    const double rad = t.angleDegrees * kRadiansPerDegree;
    const Point along{std::cos(rad), std::sin(rad)};
    const Point up{-along.y, along.x};
    const double w = widthEstimate(t.text, t.height);
    const double left = t.align == TextAlign::Centre  ? -w / 2
                        : t.align == TextAlign::Right ? -w
                                                      : 0;
    const Point d = p - t.anchor;
    const double x = d.x * along.x + d.y * along.y;
    const double y = d.x * up.x + d.y * up.y;
    return x >= left - reach && x <= left + w + reach && y >= -0.25 * t.height - reach &&
           y <= t.height + reach;
}

}  // namespace vel

// Shapes.cpp - placing the shapes handed over into the drawing: the map of each
// shape into the drawing (a block's through every reference that leads to it),
// arcs kept as arcs where the map keeps circles round, everything else that is
// curved flattened to lines.
#include "vel/shapes/Shapes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "vel/io/DrawingFile.h"
#include "vel/kernel/FigureBuilders.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// A bulge this slight is a straight piece.
constexpr double kStraightBulge = 1e-12;
// Deeper than any real drawing nests its blocks; a file that does is refused.
constexpr size_t kMaxNesting = 64;

// An element of a figure yet to be placed, made where it is to stay; the drawing gives it its id.
void add(std::vector<Element>& elements, const FigureElement& f) {
    elements.emplace_back().body = f;
}

std::vector<Element> one(const FigureElement& f) {
    std::vector<Element> elements;
    add(elements, f);
    return elements;
}

// The circle of a bulged piece from p to q, and, when asked for (an arc placed by a map that
// does not keep circles round), its counter-clockwise span in angles (the piece runs backwards
// along it when the bulge is negative).
struct BulgeArc {
    Point centre;
    double radius = 0.0, start = 0.0, end = 0.0;
};

enum class Span { Skip, Compute };

// `d` is the distance from p to q, which every caller has measured already.
std::optional<BulgeArc> arcOfBulge(Point p, Point q, double d, double bulge, Span span) {
    if (std::fabs(bulge) < kStraightBulge) return std::nullopt;
    const Point chord = q - p;
    const Point left{-chord.y / d, chord.x / d};
    const Point centre = (p + q) * 0.5 + left * (d / 2 * (1 - bulge * bulge) / (2 * bulge));
    const double r = d * (1 + bulge * bulge) / (4 * std::fabs(bulge));
    // So slight a bulge that its circle lies beyond any drawing is its chord.
    if (!(r <= kLargestCoordinate) || !(std::fabs(centre.x) <= kLargestCoordinate) ||
        !(std::fabs(centre.y) <= kLargestCoordinate))
        return std::nullopt;
    if (span == Span::Skip) return BulgeArc{centre, r, 0.0, 0.0};
    const Point from = bulge > 0 ? p : q, to = bulge > 0 ? q : p;
    const double a0 = std::atan2(from.y - centre.y, from.x - centre.x);
    const double a1 = std::atan2(to.y - centre.y, to.x - centre.x);
    return BulgeArc{centre, r, a0, a0 + counterClockwiseSweep(a0, a1)};
}

// The style of a shape inside a block, as the reference that places it makes it: layer 0
// and the BYBLOCK colour and line type are the reference's.
ShapeStyle inherit(const ShapeStyle& own, const ShapeStyle* parent) {
    if (!parent) return own;
    ShapeStyle s = own;
    const std::string layer = own.layer;
    if (layer.find_first_not_of(" \t") == std::string::npos || layer == "0")
        s.layer = parent->layer;
    if (own.colorByBlock) {
        s.color24 = parent->color24;
        s.colorByBlock = parent->colorByBlock;
        s.colorIndex = parent->colorIndex;
    }
    if (asciiUpper(own.lineType) == "BYBLOCK") s.lineType = parent->lineType;
    return s;
}

double largestExtent(const std::vector<Point>& points) {
    if (points.empty()) return 0.0;
    Point lo = points.front(), hi = points.front();
    for (const Point& p : points) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
    return std::max(hi.x - lo.x, hi.y - lo.y);
}

}  // namespace

std::string blockKey(const std::string& name) {
    return asciiUpper(name);
}

ShapePlacer::ShapePlacer(Drawing& drawing, const std::map<std::string, BlockDefinition>& blocks,
                         LayerOf layerOf, StyleOf styleOf, const std::string& fileName,
                         LeftOut& leftOut, size_t budget, Poll poll)
    : d_(drawing),
      blocks_(blocks),
      layerOf_(std::move(layerOf)),
      styleOf_(std::move(styleOf)),
      fileName_(fileName),
      leftOut_(leftOut),
      budget_(budget),
      poll_(std::move(poll)) {}

int FileLayers::layerOf(const std::string& given) {
    const size_t first = given.find_first_not_of(" \t");
    if (first == std::string::npos) return 0;
    const std::string name = given.substr(first, given.find_last_not_of(" \t") - first + 1);
    const bool numeric = name.size() <= 9 && std::all_of(name.begin(), name.end(), [](char c) {
                             return c >= '0' && c <= '9';
                         });
    if (numeric) {
        const int number = std::stoi(name);
        d_.createLayer(number);
        return number;
    }
    const auto [known, added] = byName_.try_emplace(asciiUpper(name), 0);
    if (added) known->second = d_.layerForName(decode_(name));
    return known->second;
}

bool ShapePlacer::place(const Shape& shape) {
    if (const auto* insert = std::get_if<InsertShape>(&shape.geometry))
        if (!blocks_.count(blockKey(insert->block))) return false;
    std::vector<std::string> open;
    place(shape, Affine2{}, nullptr, open);
    return true;
}

void ShapePlacer::placeFigure(const ShapeStyle& style, bool closed, std::vector<Element> elements,
                              bool generated, int line) {
    if (generated) spend(elements.size(), line);
    // The maps of nested references multiply, and an arc's ends lie a radius from its centre: a
    // figure may land beyond any coordinate a file may hold, or at infinity.
    for (const Element& e : elements)
        for (const double v : std::get<FigureElement>(e.body).values)
            if (!(std::fabs(v) <= kLargestCoordinate))
                throw FileError(fileName_, line, "a figure lies out of range (beyond 1e100)");
    const int id = d_.createSegment(SegmentKind::Figure);
    Segment* s = d_.segment(id);
    s->layer = layerOf_(style.layer);
    s->closed = closed && elements.size() > 1;
    const ElementStyle drawn = styleOf_(style);
    for (Element& e : elements) {
        e.color = drawn.color;
        e.lineType = drawn.lineType;
        e.fileStyle = drawn.fileStyle;
    }
    d_.appendElements(id, std::move(elements));
}

void ShapePlacer::spend(size_t count, int line) {
    generated_ += count;
    if (generated_ > budget_)
        throw FileError(fileName_, line,
                        "the drawing's block references and curves would make more than " +
                            std::to_string(budget_) + " figure elements and block copies");
    // One reference may make millions of figures while the file's position stands still.
    constexpr size_t kPollEvery = 4096;
    if (poll_ && generated_ - polled_ >= kPollEvery) {
        polled_ = generated_;
        poll_();
    }
}

size_t ShapePlacer::room(size_t cost) const {
    const size_t left = budget_ - std::min(generated_, budget_);
    // Compared before adding: an unbounded budget (LibreCAD's drawing) would wrap round to none.
    const size_t most = kMaxCurvePoints / cost, afford = left / cost;
    return afford >= most ? most : std::min(most, afford + 2);
}

std::vector<Point> ShapePlacer::ellipsePoints(Point c, Point u, Point v, double t0, double t1,
                                              int line) {
    std::vector<Point> points = flattenEllipse(
        c, u, v, t0, t1, flatteningTolerance(2 * std::max(length(u), length(v))), room(1));
    spend(points.size(), line);
    return points;
}

void ShapePlacer::placePolyline(const ShapeStyle& style, const std::vector<Point>& points,
                                bool closed, int line) {
    if (points.empty()) return;
    std::vector<Element> elements;
    elements.reserve(points.size());
    Point last = points.front();
    for (size_t i = 1; i < points.size(); ++i) {
        if (distance(points[i], last) <= kCoincidence) continue;
        add(elements, lineFigure(last, points[i]));
        last = points[i];
    }
    if (closed && elements.size() > 1 && distance(last, points.front()) > kCoincidence)
        add(elements, lineFigure(last, points.front()));
    if (elements.empty()) add(elements, pointFigure(points.front()));
    placeFigure(style, closed, std::move(elements), false, line);
}

void ShapePlacer::place(const Shape& shape, const Affine2& m, const ShapeStyle* parent,
                        std::vector<std::string>& open) {
    const ShapeStyle style = inherit(shape.style, parent);
    const bool generated = !open.empty();  // made by a block reference
    double scale = 1.0;
    const bool similar = m.isSimilarity(scale);
    const bool mirrors = m.determinant() < 0.0;

    if (const auto* dot = std::get_if<DotShape>(&shape.geometry)) {
        placeFigure(style, false, one(pointFigure(m(dot->p))), generated, shape.line);
    } else if (const auto* line = std::get_if<LineShape>(&shape.geometry)) {
        placeFigure(style, false, one(lineFigure(m(line->a), m(line->b))), generated, shape.line);
    } else if (const auto* arc = std::get_if<ArcShape>(&shape.geometry)) {
        if (similar) {
            const Point c = m(arc->centre);
            if (arc->full)
                return placeFigure(style, false, one(circleFigure(c, arc->radius * scale)),
                                   generated, shape.line);
            auto on = [&](double t) {
                return m(arc->centre + Point{std::cos(t), std::sin(t)} * arc->radius);
            };
            Point from = on(arc->start), to = on(arc->end);
            if (mirrors) std::swap(from, to);  // a mirror turns the arc the other way
            return placeFigure(style, false, one(arcFigure(c, arc->radius * scale, from, to)),
                               generated, shape.line);
        }
        const Point u = m.linear({arc->radius, 0}), v = m.linear({0, arc->radius});
        const double t0 = arc->full ? 0.0 : arc->start, t1 = arc->full ? kTwoPi : arc->end;
        placePolyline(style, ellipsePoints(m(arc->centre), u, v, t0, t1, shape.line), arc->full,
                      shape.line);
    } else if (const auto* ellipse = std::get_if<EllipseShape>(&shape.geometry)) {
        const Point u = m.linear(ellipse->u), v = m.linear(ellipse->v);
        placePolyline(
            style,
            ellipsePoints(m(ellipse->centre), u, v, ellipse->start, ellipse->end, shape.line),
            ellipse->full, shape.line);
    } else if (const auto* polyline = std::get_if<PolylineShape>(&shape.geometry)) {
        const std::vector<ShapeVertex>& vs = polyline->vertices;
        if (vs.empty()) return;
        const size_t n = vs.size();
        const size_t pieces = polyline->closed && n > 1 ? n : n - 1;
        if (similar) {
            std::vector<Element> elements;
            elements.reserve(std::max<size_t>(pieces, 1));
            for (size_t i = 0; i < pieces; ++i) {
                const Point p = m(vs[i].p), q = m(vs[(i + 1) % n].p);
                const double d = distance(p, q);
                if (d <= kCoincidence) continue;  // repeated vertex
                const double bulge = mirrors ? -vs[i].bulge : vs[i].bulge;
                const std::optional<BulgeArc> a = arcOfBulge(p, q, d, bulge, Span::Skip);
                add(elements, a ? (bulge > 0 ? arcFigure(a->centre, a->radius, p, q)
                                             : arcFigure(a->centre, a->radius, q, p))
                                : lineFigure(p, q));
            }
            if (elements.empty()) add(elements, pointFigure(m(vs.front().p)));
            return placeFigure(style, polyline->closed, std::move(elements), generated, shape.line);
        }
        // A bulged piece under a map that does not keep circles round is a piece of ellipse.
        std::vector<Point> points{m(vs.front().p)};
        for (size_t i = 0; i < pieces; ++i) {
            const Point p = vs[i].p, q = vs[(i + 1) % n].p;
            const double d = distance(p, q);
            const std::optional<BulgeArc> a =
                d > kCoincidence ? arcOfBulge(p, q, d, vs[i].bulge, Span::Compute) : std::nullopt;
            if (!a) {
                spend(1, shape.line);
                points.push_back(m(q));
                continue;
            }
            const Point u = m.linear({a->radius, 0}), v = m.linear({0, a->radius});
            std::vector<Point> piece =
                ellipsePoints(m(a->centre), u, v, a->start, a->end, shape.line);
            if (vs[i].bulge < 0) std::reverse(piece.begin(), piece.end());
            points.insert(points.end(), piece.begin() + 1, piece.end());
        }
        placePolyline(style, points, polyline->closed, shape.line);
    } else if (const auto* spline = std::get_if<SplineShape>(&shape.geometry)) {
        Nurbs curve = spline->curve;
        for (Point& p : curve.control) p = m(p);
        const size_t cost = pointCost(curve);
        const std::vector<Point> points =
            flattenNurbs(curve, flatteningTolerance(largestExtent(curve.control)), room(cost));
        spend(points.size() * cost, shape.line);
        const bool closed =
            points.size() > 2 && distance(points.front(), points.back()) <= kCoincidence;
        placePolyline(style, points, closed, shape.line);
    } else if (const auto* insert = std::get_if<InsertShape>(&shape.geometry)) {
        placeInsert(*insert, shape, m, style, open);
    }
}

void ShapePlacer::placeInsert(const InsertShape& insert, const Shape& shape, const Affine2& m,
                              const ShapeStyle& style, std::vector<std::string>& open) {
    const std::string key = blockKey(insert.block);
    const auto block = blocks_.find(key);
    // A nested reference to nothing draws nothing, but costs a copy all the same: an array of
    // blocks of such references would be free work otherwise.
    if (block == blocks_.end()) return spend(1, shape.line);
    if (std::find(open.begin(), open.end(), key) != open.end())
        throw FileError(fileName_, shape.line, "the block " + insert.block + " contains itself");
    if (open.size() >= kMaxNesting)
        throw FileError(fileName_, shape.line,
                        "blocks nested deeper than " + std::to_string(kMaxNesting));
    const long long cells = static_cast<long long>(std::max(insert.columns, 1)) *
                            static_cast<long long>(std::max(insert.rows, 1));
    if (cells > static_cast<long long>(budget_))
        throw FileError(fileName_, shape.line,
                        "a block reference repeated " + std::to_string(cells) + " times; at most " +
                            std::to_string(budget_) + " copies are read");

    // Every copy costs as much as a figure, or references nested in references to blocks that
    // draw next to nothing would keep us placing copies for ever.
    spend(static_cast<size_t>(cells), shape.line);
    leftOut_.add(block->second.leftOut, static_cast<int>(cells));

    const Affine2 mirror = insert.mirrored ? Affine2::scale(-1, 1) : Affine2{};
    const Affine2 toBase = Affine2::translation(block->second.base * -1.0);
    const Affine2 scale = Affine2::scale(insert.scaleX, insert.scaleY);
    const Affine2 placed =
        m * mirror * Affine2::translation(insert.at) * Affine2::rotation(insert.rotation);
    open.push_back(key);
    for (int row = 0; row < std::max(insert.rows, 1); ++row) {
        for (int column = 0; column < std::max(insert.columns, 1); ++column) {
            const Affine2 cell =
                placed *
                Affine2::translation({column * insert.columnSpacing, row * insert.rowSpacing}) *
                scale * toBase;
            for (const Shape& inner : block->second.shapes) place(inner, cell, &style, open);
        }
    }
    open.pop_back();
}

}  // namespace vel

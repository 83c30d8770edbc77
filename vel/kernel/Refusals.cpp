// Refusals.cpp - the plain words for each way a call of the plug-in's is refused.
#include "vel/kernel/Refusals.h"

#include <cmath>
#include <cstdio>

namespace vel {

namespace {

std::string segmentKindName(SegmentKind kind) {
    switch (kind) {
        case SegmentKind::Figure:
            return "figure";
        case SegmentKind::Dimension:
            return "dimension";
        case SegmentKind::Comment:
            return "comment";
    }
    return "segment";
}

std::string figureTypeName(FigureType type) {
    switch (type) {
        case FigureType::Line:
            return "line";
        case FigureType::Circle:
            return "circle";
        case FigureType::Arc:
            return "arc";
        case FigureType::CornerR:
            return "corner R";
        case FigureType::Chamfer:
            return "chamfer";
        case FigureType::Point:
            return "point";
    }
    return "figure";
}

std::string elementName(const Element& e) {
    if (const FigureElement* f = e.figure()) return figureTypeName(f->type);
    return std::holds_alternative<DimensionElement>(e.body) ? "dimension" : "leader";
}

// "a line", "an arc".
std::string withArticle(const std::string& noun) {
    return (noun.front() == 'a' ? "an " : "a ") + noun;
}

std::string id(int n) {
    return std::to_string(n);
}

bool isCorner(const Element& e) {
    const FigureElement* f = e.figure();
    return f && (f->type == FigureType::CornerR || f->type == FigureType::Chamfer);
}

const FigureElement* lineOf(const Drawing& d, int elementId) {
    const Element* e = d.element(elementId);
    const FigureElement* f = e ? e->figure() : nullptr;
    return f && f->type == FigureType::Line ? f : nullptr;
}

double lineLength(const FigureElement& f) {
    return std::hypot(f.values[2] - f.values[0], f.values[3] - f.values[1]);
}

// A corner that cannot be cut between two lines of one figure, next to each other.
std::string fitRefusal(const Drawing& d, int lineA, int lineB, FigureType type, double size) {
    const std::string what = figureTypeName(type);
    if (!std::isfinite(size) || !(size > 0.0))
        return "a " + what + " of " + plainNumber(size) + " is no size: it must be above 0";
    const FigureElement& a = *lineOf(d, lineA);
    const FigureElement& b = *lineOf(d, lineB);
    const double ax = a.values[2] - a.values[0], ay = a.values[3] - a.values[1];
    const double bx = b.values[2] - b.values[0], by = b.values[3] - b.values[1];
    const double lengths = lineLength(a) * lineLength(b);
    if (!(lengths > 0.0)) return "a side of no length has no corner";
    if (!(std::fabs(ax * by - ay * bx) > 1e-9 * lengths))
        return "sides " + id(lineA) + " and " + id(lineB) + " are parallel: no " + what +
               " joins them";
    return "the " + what + " " + plainNumber(size) + " does not fit where sides of " +
           plainNumber(lineLength(a)) + " and " + plainNumber(lineLength(b)) + " meet";
}

}  // namespace

std::string plainNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string segmentRefusal(const Drawing& d, int segmentId, std::optional<SegmentKind> kind) {
    const Segment* s = d.segment(segmentId);
    if (!s) return "segment " + id(segmentId) + " does not exist";
    if (kind && s->kind != *kind)
        return "segment " + id(segmentId) + " is " + withArticle(segmentKindName(s->kind)) +
               ", not " + withArticle(segmentKindName(*kind));
    return {};
}

std::string elementRefusal(const Drawing& d, int elementId, ElementWanted wanted) {
    const Element* e = d.element(elementId);
    if (!e) return "element " + id(elementId) + " does not exist";
    std::string want;
    if (wanted == ElementWanted::Figure && !e->figure()) want = "figure";
    if (wanted == ElementWanted::Corner && !isCorner(*e)) want = "corner";
    if (wanted == ElementWanted::Dimension && !std::holds_alternative<DimensionElement>(e->body))
        want = "dimension";
    if (want.empty()) return {};
    return "element " + id(elementId) + " is " + withArticle(elementName(*e)) + ", not " +
           withArticle(want);
}

std::string figureRefusal(const FigureData* f) {
    if (!f) return "no figure was given";
    if (!isKnownFigureType(f->type))
        return "figure type " + id(f->type) + " is none the host knows";
    const std::string what = figureTypeName(static_cast<FigureType>(f->type));
    if (f->type == VEL_FIG_CORNER_R || f->type == VEL_FIG_CHAMFER)
        return withArticle(what) + " is cut between two lines, not made on its own";
    for (double v : f->values)
        if (!std::isfinite(v)) return "the " + what + " has a value that is no finite number";
    const double radius = f->type == VEL_FIG_CIRCLE ? f->values[2] : f->values[6];
    return withArticle(what) + " of radius " + plainNumber(radius) + " cannot be drawn";
}

std::string cornerRefusal(const Drawing& d, int elementA, int elementB, int kind, double size) {
    if (kind != VEL_CORNER_ROUND && kind != VEL_CORNER_CHAMFER)
        return "corner kind " + id(kind) + " is neither 0 (round) nor 1 (chamfer)";
    for (int e : {elementA, elementB}) {
        if (std::string why = elementRefusal(d, e); !why.empty()) return why;
        if (!lineOf(d, e))
            return "element " + id(e) + " is " + withArticle(elementName(*d.element(e))) +
                   ", not a line";
    }
    const Segment* s = d.segmentOfElement(elementA);
    const int a = d.elementIndex(elementA), b = d.elementIndex(elementB);
    if (s != d.segmentOfElement(elementB) || s->kind != SegmentKind::Figure ||
        (neighbourElement(*s, a, 1, s->closed) != b && neighbourElement(*s, b, 1, s->closed) != a))
        return "lines " + id(elementA) + " and " + id(elementB) +
               " are not next to each other in one figure";
    return fitRefusal(d, elementA, elementB,
                      kind == VEL_CORNER_ROUND ? FigureType::CornerR : FigureType::Chamfer, size);
}

std::string amendRefusal(const Drawing& d, int cornerId, double size) {
    if (std::string why = elementRefusal(d, cornerId, ElementWanted::Corner); !why.empty())
        return why;
    const Segment& s = *d.segmentOfElement(cornerId);
    const int at = d.elementIndex(cornerId);
    const int before = neighbourElement(s, at, -1, s.closed);
    const int after = neighbourElement(s, at, 1, s.closed);
    if (before < 0 || after < 0 || !lineOf(d, s.elements[before].id) ||
        !lineOf(d, s.elements[after].id))
        return "corner " + id(cornerId) + " does not stand between two lines";
    return fitRefusal(d, s.elements[before].id, s.elements[after].id,
                      d.element(cornerId)->figure()->type, size);
}

std::string directionRefusal(const Drawing& d, int segmentId) {
    if (std::string why = segmentRefusal(d, segmentId, SegmentKind::Figure); !why.empty())
        return why;
    const Segment& s = *d.segment(segmentId);
    if (!s.closed) return "figure " + id(segmentId) + " is open: it has no inside";
    if (s.elements.empty()) return "figure " + id(segmentId) + " has nothing in it";
    for (const Element& e : s.elements) {
        const FigureType type = e.figure()->type;
        if (type == FigureType::Circle || type == FigureType::Point)
            return "figure " + id(segmentId) + " holds " + withArticle(figureTypeName(type)) +
                   ": an outline is of lines and arcs";
    }
    return "figure " + id(segmentId) + " encloses no area";
}

std::string offsetRefusal(const Drawing& d, int segmentId, double distance) {
    if (std::string why = segmentRefusal(d, segmentId, SegmentKind::Figure); !why.empty())
        return why;
    if (!std::isfinite(distance))
        return "an offset of " + plainNumber(distance) + " is no distance";
    const Segment& s = *d.segment(segmentId);
    if (!s.closed) return "figure " + id(segmentId) + " is open: only a closed figure is offset";
    int sides = 0;
    for (const Element& e : s.elements) {
        const FigureElement* f = e.figure();
        if (f->type == FigureType::Line)
            ++sides;
        else if (!isCorner(e))
            return "figure " + id(segmentId) + " holds " + withArticle(figureTypeName(f->type)) +
                   ": only lines and their corners are offset";
    }
    if (sides < 3)
        return "figure " + id(segmentId) + " has " + id(sides) + " sides: an offset needs 3";
    const int direction = figureDirection(d, segmentId);
    if (direction == -1) return "figure " + id(segmentId) + " encloses no area";
    const Extents box = drawnExtentsOf(d, s);
    const std::string figure = "the " + plainNumber(box.width()) + " × " +
                               plainNumber(box.height()) + " figure " + id(segmentId);
    // Right of travel is outside a counter-clockwise outline and inside a clockwise one.
    const bool inwards = (direction == 1) == (distance < 0.0);
    if (inwards)
        return "the offset of " + plainNumber(std::fabs(distance)) + " inwards turns " + figure +
               " inside out";
    return figure + " cannot be offset by " + plainNumber(std::fabs(distance)) +
           " outwards: a side would be lost";
}

std::string editRefusal(const Drawing& d, int segmentId, const VelPoint* base,
                        const VelPoint* target, double angleDegrees, double scale) {
    if (std::string why = segmentRefusal(d, segmentId); !why.empty()) return why;
    if (!base || !target) return "segment " + id(segmentId) + " has no base or target to move by";
    for (double v : {base->x, base->y, target->x, target->y, angleDegrees, scale})
        if (!std::isfinite(v))
            return "segment " + id(segmentId) + " cannot be moved by " + plainNumber(v);
    return "segment " + id(segmentId) + " cannot be scaled by " + plainNumber(scale);
}

}  // namespace vel

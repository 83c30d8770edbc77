// Refusals.cpp - the plain words for each way a call of the plug-in's is refused.
#include "vel/kernel/Refusals.h"

#include <cmath>
#include <cstdio>

#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"

namespace vel {

namespace {

// Kinds are named with their article, as the words around them want: "a line", "an arc".
Wording segmentKindName(SegmentKind kind) {
    switch (kind) {
        case SegmentKind::Figure:
            return VEL_WORDING("Refusals", "a figure");
        case SegmentKind::Dimension:
            return VEL_WORDING("Refusals", "a dimension");
        case SegmentKind::Comment:
            return VEL_WORDING("Refusals", "a comment");
    }
    return VEL_WORDING("Refusals", "a segment");
}

Wording figureTypeName(FigureType type) {
    switch (type) {
        case FigureType::Line:
            return VEL_WORDING("Refusals", "a line");
        case FigureType::Circle:
            return VEL_WORDING("Refusals", "a circle");
        case FigureType::Arc:
            return VEL_WORDING("Refusals", "an arc");
        case FigureType::CornerR:
            return VEL_WORDING("Refusals", "a corner R");
        case FigureType::Chamfer:
            return VEL_WORDING("Refusals", "a chamfer");
        case FigureType::Point:
            return VEL_WORDING("Refusals", "a point");
    }
    return VEL_WORDING("Refusals", "a figure");
}

Wording elementName(const Element& e) {
    if (const FigureElement* f = e.figure()) return figureTypeName(f->type);
    return std::holds_alternative<DimensionElement>(e.body) ? VEL_WORDING("Refusals", "a dimension")
                                                            : VEL_WORDING("Refusals", "a leader");
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
Words fitRefusal(const Drawing& d, int lineA, int lineB, FigureType type, double size) {
    const bool round = type == FigureType::CornerR;
    if (!std::isfinite(size) || !(size > 0.0))
        return says(round
                        ? VEL_WORDING("Refusals", "a corner R of %1 is no size: it must be above 0")
                        : VEL_WORDING("Refusals", "a chamfer of %1 is no size: it must be above 0"),
                    {plainNumber(size)});
    const FigureElement& a = *lineOf(d, lineA);
    const FigureElement& b = *lineOf(d, lineB);
    const double ax = a.values[2] - a.values[0], ay = a.values[3] - a.values[1];
    const double bx = b.values[2] - b.values[0], by = b.values[3] - b.values[1];
    const double lengths = lineLength(a) * lineLength(b);
    if (!(lengths > 0.0)) return says(VEL_WORDING("Refusals", "a side of no length has no corner"));
    if (!(std::fabs(ax * by - ay * bx) > 1e-9 * lengths))
        return says(
            round ? VEL_WORDING("Refusals", "sides %1 and %2 are parallel: no corner R joins them")
                  : VEL_WORDING("Refusals", "sides %1 and %2 are parallel: no chamfer joins them"),
            {id(lineA), id(lineB)});
    return says(
        round
            ? VEL_WORDING("Refusals", "the corner R %1 does not fit where sides of %2 and %3 meet")
            : VEL_WORDING("Refusals", "the chamfer %1 does not fit where sides of %2 and %3 meet"),
        {plainNumber(size), plainNumber(lineLength(a)), plainNumber(lineLength(b))});
}

}  // namespace

std::string plainNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

Words segmentRefusal(const Drawing& d, int segmentId, std::optional<SegmentKind> kind) {
    const Segment* s = d.segment(segmentId);
    if (!s) return says(VEL_WORDING("Refusals", "segment %1 does not exist"), {id(segmentId)});
    if (kind && s->kind != *kind)
        return says(VEL_WORDING("Refusals", "segment %1 is %2, not %3"),
                    {id(segmentId), segmentKindName(s->kind), segmentKindName(*kind)});
    return {};
}

Words elementRefusal(const Drawing& d, int elementId, ElementWanted wanted) {
    const Element* e = d.element(elementId);
    if (!e) return says(VEL_WORDING("Refusals", "element %1 does not exist"), {id(elementId)});
    std::optional<Wording> want;
    if (wanted == ElementWanted::Figure && !e->figure()) want = VEL_WORDING("Refusals", "a figure");
    if (wanted == ElementWanted::Corner && !isCorner(*e))
        want = VEL_WORDING("Refusals", "a corner");
    if (wanted == ElementWanted::Dimension && !std::holds_alternative<DimensionElement>(e->body))
        want = VEL_WORDING("Refusals", "a dimension");
    if (!want) return {};
    return says(VEL_WORDING("Refusals", "element %1 is %2, not %3"),
                {id(elementId), elementName(*e), *want});
}

Words figureRefusal(const FigureData* f) {
    if (!f) return says(VEL_WORDING("Refusals", "no figure was given"));
    if (!isKnownFigureType(f->type))
        return says(VEL_WORDING("Refusals", "figure type %1 is none the host knows"),
                    {id(f->type)});
    const Wording what = figureTypeName(static_cast<FigureType>(f->type));
    if (f->type == VEL_FIG_CORNER_R || f->type == VEL_FIG_CHAMFER)
        return says(VEL_WORDING("Refusals", "%1 is cut between two lines, not made on its own"),
                    {what});
    for (double v : f->values)
        if (!std::isfinite(v))
            return says(VEL_WORDING("Refusals", "%1 with a value that is no finite number"),
                        {what});
    const double radius = f->type == VEL_FIG_CIRCLE ? f->values[2] : f->values[6];
    return says(VEL_WORDING("Refusals", "%1 of radius %2 cannot be drawn"),
                {what, plainNumber(radius)});
}

Words cornerRefusal(const Drawing& d, int elementA, int elementB, int kind, double size) {
    if (kind != VEL_CORNER_ROUND && kind != VEL_CORNER_CHAMFER)
        return says(VEL_WORDING("Refusals", "corner kind %1 is neither 0 (round) nor 1 (chamfer)"),
                    {id(kind)});
    for (int e : {elementA, elementB}) {
        if (Words why = elementRefusal(d, e); !why.empty()) return why;
        if (!lineOf(d, e))
            return says(VEL_WORDING("Refusals", "element %1 is %2, not a line"),
                        {id(e), elementName(*d.element(e))});
    }
    const Segment* s = d.segmentOfElement(elementA);
    const int a = d.elementIndex(elementA), b = d.elementIndex(elementB);
    if (s != d.segmentOfElement(elementB) || s->kind != SegmentKind::Figure ||
        (neighbourElement(*s, a, 1, s->closed) != b && neighbourElement(*s, b, 1, s->closed) != a))
        return says(
            VEL_WORDING("Refusals", "lines %1 and %2 are not next to each other in one figure"),
            {id(elementA), id(elementB)});
    return fitRefusal(d, elementA, elementB,
                      kind == VEL_CORNER_ROUND ? FigureType::CornerR : FigureType::Chamfer, size);
}

Words amendRefusal(const Drawing& d, int cornerId, double size) {
    if (Words why = elementRefusal(d, cornerId, ElementWanted::Corner); !why.empty()) return why;
    const Segment& s = *d.segmentOfElement(cornerId);
    const int at = d.elementIndex(cornerId);
    const int before = neighbourElement(s, at, -1, s.closed);
    const int after = neighbourElement(s, at, 1, s.closed);
    if (before < 0 || after < 0 || !lineOf(d, s.elements[before].id) ||
        !lineOf(d, s.elements[after].id))
        return says(VEL_WORDING("Refusals", "corner %1 does not stand between two lines"),
                    {id(cornerId)});
    return fitRefusal(d, s.elements[before].id, s.elements[after].id,
                      d.element(cornerId)->figure()->type, size);
}

Words directionRefusal(const Drawing& d, int segmentId) {
    if (Words why = segmentRefusal(d, segmentId, SegmentKind::Figure); !why.empty()) return why;
    const Segment& s = *d.segment(segmentId);
    if (!s.closed)
        return says(VEL_WORDING("Refusals", "figure %1 is open: it has no inside"),
                    {id(segmentId)});
    if (s.elements.empty())
        return says(VEL_WORDING("Refusals", "figure %1 has nothing in it"), {id(segmentId)});
    for (const Element& e : s.elements) {
        const FigureType type = e.figure()->type;
        if (type == FigureType::Circle || type == FigureType::Point)
            return says(
                VEL_WORDING("Refusals", "figure %1 holds %2: an outline is of lines and arcs"),
                {id(segmentId), figureTypeName(type)});
    }
    return says(VEL_WORDING("Refusals", "figure %1 encloses no area"), {id(segmentId)});
}

Words offsetRefusal(const Drawing& d, int segmentId, double distance) {
    if (Words why = segmentRefusal(d, segmentId, SegmentKind::Figure); !why.empty()) return why;
    if (!std::isfinite(distance))
        return says(VEL_WORDING("Refusals", "an offset of %1 is no distance"),
                    {plainNumber(distance)});
    const Segment& s = *d.segment(segmentId);
    if (!s.closed)
        return says(VEL_WORDING("Refusals", "figure %1 is open: only a closed figure is offset"),
                    {id(segmentId)});
    int sides = 0;
    for (const Element& e : s.elements) {
        const FigureElement* f = e.figure();
        if (f->type == FigureType::Line)
            ++sides;
        else if (!isCorner(e))
            return says(VEL_WORDING("Refusals",
                                    "figure %1 holds %2: only lines and their corners are offset"),
                        {id(segmentId), figureTypeName(f->type)});
    }
    if (sides < 3)
        return says(VEL_WORDING("Refusals", "figure %1 has %2 sides: an offset needs 3"),
                    {id(segmentId), id(sides)});
    const int direction = figureDirection(d, segmentId);
    if (direction == -1)
        return says(VEL_WORDING("Refusals", "figure %1 encloses no area"), {id(segmentId)});
    const Extents box = drawnExtentsOf(d, s);
    const std::string width = plainNumber(box.width()), height = plainNumber(box.height());
    const std::string by = plainNumber(std::fabs(distance));
    // Right of travel is outside a counter-clockwise outline and inside a clockwise one.
    if ((direction == 1) == (distance < 0.0))
        return says(VEL_WORDING("Refusals",
                                "the offset of %1 inwards turns the %2 × %3 figure %4 inside out"),
                    {by, width, height, id(segmentId)});
    return says(
        VEL_WORDING("Refusals",
                    "the %1 × %2 figure %3 cannot be offset by %4 outwards: a side would be lost"),
        {width, height, id(segmentId), by});
}

Words editRefusal(const Drawing& d, int segmentId, const VelPoint* base, const VelPoint* target,
                  double angleDegrees, double scale) {
    if (Words why = segmentRefusal(d, segmentId); !why.empty()) return why;
    if (!base || !target)
        return says(VEL_WORDING("Refusals", "segment %1 has no base or target to move by"),
                    {id(segmentId)});
    for (double v : {base->x, base->y, target->x, target->y, angleDegrees, scale})
        if (!std::isfinite(v))
            return says(VEL_WORDING("Refusals", "segment %1 cannot be moved by %2"),
                        {id(segmentId), plainNumber(v)});
    return says(VEL_WORDING("Refusals", "segment %1 cannot be scaled by %2"),
                {id(segmentId), plainNumber(scale)});
}

}  // namespace vel

// HostInput.cpp - inputs of a person or a script turned into host events.
#include "vel/io/HostInput.h"

#include "vel/io/DrawingView.h"
#include "vel/io/Interaction.h"
#include "vel/kernel/DrawnSegment.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

namespace vel {

namespace {

InputResult refused(Wording wording, std::vector<WordsValue> values = {}) {
    Words words{wording, std::move(values)};
    return InputResult{words.text(), std::move(words)};
}

std::string where(Point p) {
    std::ostringstream text;
    text << "(" << p.x << ", " << p.y << ")";
    return text.str();
}

// Whether the straight piece from a to b has a point in the box (Liang and Barsky's clipping).
bool lineMeetsBox(Point a, Point b, const Extents& box) {
    double enter = 0.0, leave = 1.0;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double lo[2] = {box.minX - a.x, box.minY - a.y};
    const double hi[2] = {box.maxX - a.x, box.maxY - a.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0.0) {
            if (lo[axis] > 0.0 || hi[axis] < 0.0) return false;
            continue;
        }
        double t0 = lo[axis] / d[axis], t1 = hi[axis] / d[axis];
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) return false;
    }
    return true;
}

bool pointInBox(Point p, const Extents& box) {
    return p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY;
}

// Whether the arc has a point in the box: an end inside it, or a crossing with one of its edges.
// Exact, not by chords: a chord of an arc far larger than the box may pass beside the box where
// the arc runs through it.
bool arcMeetsBox(const Arc& arc, bool whole, const Extents& box) {
    if (pointInBox(arc.start(), box) || (!whole && pointInBox(arc.end(), box))) return true;
    const Point corners[4] = {
        {box.minX, box.minY}, {box.maxX, box.minY}, {box.maxX, box.maxY}, {box.minX, box.maxY}};
    const double r2 = arc.radius * arc.radius;
    for (int k = 0; k < 4; ++k) {
        const Point a = corners[k], d = corners[(k + 1) % 4] - a, f = a - arc.centre;
        // |f + t d|^2 = r^2 for t in [0, 1].
        const double qa = dot(d, d), qb = 2.0 * dot(f, d), qc = dot(f, f) - r2;
        const double disc = qb * qb - 4.0 * qa * qc;
        if (!(qa > 0.0) || !(disc >= 0.0)) continue;
        const double root = std::sqrt(disc);
        for (const double t : {(-qb - root) / (2.0 * qa), (-qb + root) / (2.0 * qa)}) {
            if (t < 0.0 || t > 1.0) continue;
            const Point q = f + d * t;
            if (whole || angleOnArc(arc, std::atan2(q.y, q.x))) return true;
        }
    }
    return false;
}

bool primitiveMeetsBox(const Primitive& p, const Extents& box) {
    if (const Point* pt = std::get_if<Point>(&p)) return pointInBox(*pt, box);
    if (const Line* l = std::get_if<Line>(&p)) return lineMeetsBox(l->start, l->end, box);
    if (const Circle* c = std::get_if<Circle>(&p))
        return arcMeetsBox(Arc{c->centre, c->radius, 0.0, 0.0}, true, box);
    return arcMeetsBox(std::get<Arc>(p), false, box);
}

}  // namespace

InputResult HostInput::start() {
    if (!host_.registered()) return refused(VEL_WORDING("HostInput", "no command is registered"));
    if (host_.running()) return refused(VEL_WORDING("HostInput", "the command is already running"));
    host_.startCommand();
    return {};
}

PickTarget HostInput::targetAt(Point p) const {
    PickTarget target;
    switch (host_.eventMask()) {
        case VEL_MASK_FIGURE:
        case VEL_MASK_SELECTION:
            target.segmentId = host_.nearestSegment(p);
            break;
        case VEL_MASK_ELEMENT:
            target.elementId = host_.nearestElement(p);
            if (!target.elementId) target.elementId = annotationTextAt(p);
            if (target.elementId)
                target.segmentId = host_.drawing().segmentOfElement(*target.elementId)->id;
            break;
        default:
            break;
    }
    return target;
}

std::optional<int> HostInput::annotationTextAt(Point p) const {
    const Drawing& d = host_.drawing();
    // Texts stand beside their lines, a few of their heights away at most.
    constexpr double kTextReachInHeights = 12.0;
    const ViewFrame frame = frameFor(d, d.drawnExtents());
    const double reach = kTextReachInHeights * frame.textHeight + host_.aperture();
    SegmentView view;
    for (int id : d.segmentsNear(p, reach)) {
        const Segment& s = *d.segment(id);
        if (s.kind != SegmentKind::Dimension && s.kind != SegmentKind::Comment) continue;
        viewSegment(d, s, frame, view);
        for (const ViewText& t : view.texts)
            if (textCovers(t, p, host_.aperture())) return t.elementId;
    }
    return std::nullopt;
}

InputResult HostInput::pickTyped(const std::string& typed) {
    const TypedPoint read = readTypedPoint(typed, last_);
    switch (read.problem) {
        case TypedPoint::Problem::None:
            return pick(*read.point);
        case TypedPoint::Problem::NotAPoint:
            return refused(
                VEL_WORDING("HostInput", "not a point: type x,y, @dx,dy or @distance<angle"));
        case TypedPoint::Problem::NoBase:
            return refused(VEL_WORDING("HostInput", "no point yet to be relative to: type x,y"));
    }
    return refused(VEL_WORDING("HostInput", "not a point: type x,y, @dx,dy or @distance<angle"));
}

InputResult HostInput::pick(Point p, bool deselect) {
    if (!host_.running()) return refused(VEL_WORDING("HostInput", "pick needs a running command"));
    last_ = p;
    VelEventData e;
    e.code = VEL_EVENT_POINTER;
    e.hasPoint = true;
    e.point = p;
    const int mask = host_.eventMask();
    if (mask != VEL_MASK_FIGURE && mask != VEL_MASK_ELEMENT && mask != VEL_MASK_POINT &&
        mask != VEL_MASK_SELECTION)
        return refused(VEL_WORDING("HostInput", "no pick is armed"));
    const PickTarget target = targetAt(p);
    if (mask == VEL_MASK_ELEMENT) {
        if (!target.elementId)
            return refused(VEL_WORDING("HostInput", "no pickable element within reach of %1"),
                           {where(p)});
        e.elementId = *target.elementId;
        e.segmentId = *target.segmentId;
        e.instanceId = 1;
    } else if (mask != VEL_MASK_POINT) {
        if (!target.segmentId)
            return refused(VEL_WORDING("HostInput", "nothing within reach of %1"), {where(p)});
        if (mask == VEL_MASK_SELECTION) {
            choose(*target.segmentId, deselect);
            return {};
        }
        e.segmentId = *target.segmentId;
        e.instanceId = 1;
    }
    host_.dispatch(e);
    return {};
}

InputResult HostInput::pickFigure(int segmentId, Point p) {
    if (!host_.running()) return refused(VEL_WORDING("HostInput", "pick needs a running command"));
    if (host_.eventMask() != VEL_MASK_FIGURE)
        return refused(VEL_WORDING("HostInput", "no pick is armed"));
    if (!host_.drawing().segment(segmentId))
        return refused(VEL_WORDING("HostInput", "nothing within reach of %1"), {where(p)});
    last_ = p;
    VelEventData e;
    e.code = VEL_EVENT_POINTER;
    e.hasPoint = true;
    e.point = p;
    e.segmentId = segmentId;
    e.instanceId = 1;
    host_.dispatch(e);
    return {};
}

void HostInput::choose(int segmentId, bool deselect) {
    if (deselect)
        host_.removeFromSelection(segmentId);
    else
        host_.addToSelection(segmentId);
}

InputResult HostInput::select(const Extents& window, bool deselect) {
    if (!host_.running())
        return refused(VEL_WORDING("HostInput", "select needs a running command"));
    if (host_.eventMask() != VEL_MASK_SELECTION)
        return refused(VEL_WORDING("HostInput", "no selection is armed"));
    for (int id : host_.segmentsInside(window)) choose(id, deselect);
    return {};
}

InputResult HostInput::selectCrossing(const Extents& window, bool deselect) {
    if (!host_.running())
        return refused(VEL_WORDING("HostInput", "select needs a running command"));
    if (host_.eventMask() != VEL_MASK_SELECTION)
        return refused(VEL_WORDING("HostInput", "no selection is armed"));
    if (window.empty()) return {};
    const Point centre{(window.minX + window.maxX) / 2, (window.minY + window.maxY) / 2};
    const double reach = std::hypot(window.width(), window.height()) / 2;
    const Drawing& d = host_.drawing();
    for (int id : d.segmentsNear(centre, reach)) {
        const std::vector<Primitive> drawn = drawnPrimitives(d, *d.segment(id));
        if (std::any_of(drawn.begin(), drawn.end(),
                        [&](const Primitive& p) { return primitiveMeetsBox(p, window); }))
            choose(id, deselect);
    }
    return {};
}

InputResult HostInput::withoutPoint(int code, const char* what) {
    if (!host_.running())
        return refused(VEL_WORDING("HostInput", "%1 needs a running command"), {what});
    VelEventData e;
    e.code = code;
    host_.dispatch(e);
    return {};
}

InputResult HostInput::done() {
    return withoutPoint(VEL_EVENT_SELECTION_DONE, "done");
}
InputResult HostInput::confirm() {
    return withoutPoint(VEL_EVENT_CONFIRM, "confirm");
}
InputResult HostInput::key() {
    return withoutPoint(VEL_EVENT_OTHER, "key");
}

}  // namespace vel

// FigureCopy.cpp - a segment moved, rotated and scaled, in place or as a copy:
// every element's points go through one similarity.
#include <cmath>
#include <utility>
#include <variant>

#include "vel/kernel/FigureOps.h"
#include "vel/kernel/FigureShape.h"

namespace vel {

using namespace shape;

namespace {

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
        copyStyle(*d.element(eid), e);
    }
    return id;
}

}  // namespace vel

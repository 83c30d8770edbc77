// LibreCadEntities.cpp - LibreCAD's entities into figure segments through the DXF reader's shape
// placer, and segments out as the entities that draw them, from the view the DXF writer draws.
#include "vel/librecad/LibreCadEntities.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "vel/kernel/HostPalette.h"

namespace vel::librecad {

namespace {

// LibreCAD's line types of the customary families, by the DXF name of each.
struct LineTypeName {
    const char* libreCad;
    const char* dxf;
};
constexpr std::array<LineTypeName, 19> kLineTypeNames{{
    {"SolidLine", "CONTINUOUS"},    {"DotLine", "DOT"},         {"DotLine2", "DOT2"},
    {"DotLineX2", "DOTX2"},         {"DashLine", "DASHED"},     {"DashLine2", "DASHED2"},
    {"DashLineX2", "DASHEDX2"},     {"DashDotLine", "DASHDOT"}, {"DashDotLine2", "DASHDOT2"},
    {"DashDotLineX2", "DASHDOTX2"}, {"DivideLine", "DIVIDE"},   {"DivideLine2", "DIVIDE2"},
    {"DivideLineX2", "DIVIDEX2"},   {"CenterLine", "CENTER"},   {"CenterLine2", "CENTER2"},
    {"CenterLineX2", "CENTERX2"},   {"BorderLine", "BORDER"},   {"BorderLine2", "BORDER2"},
    {"BorderLineX2", "BORDERX2"},
}};

// The customary line types LibreCAD lacks, drawn as the nearest it has: hidden lines are short
// dashes, phantom lines a long dash and two short ones.
constexpr std::array<LineTypeName, 6> kNearestLineTypes{{
    {"DashLine2", "HIDDEN"},
    {"DashLine2", "HIDDEN2"},
    {"DashLine", "HIDDENX2"},
    {"DivideLine", "PHANTOM"},
    {"DivideLine2", "PHANTOM2"},
    {"DivideLineX2", "PHANTOMX2"},
}};

ShapeStyle styleOf(const LcEntity& e) {
    ShapeStyle style;
    style.layer = e.layer;
    style.color24 = e.color >= 0 ? (e.color & 0xFFFFFF) : -1;
    style.colorByBlock = e.color == kColorByBlock;
    style.lineType = e.lineType;
    return style;
}

std::optional<Shape> shapeOf(const LcEntity& e) {
    Shape shape;
    shape.style = styleOf(e);
    // Counter-clockwise from `from` to `to`: an arc held reversed runs the other way round.
    const double from = e.reversed ? e.end : e.start, to = e.reversed ? e.start : e.end;
    switch (e.kind) {
        case LcKind::Point:
            if (e.vertices.size() != 1) return std::nullopt;
            shape.geometry = DotShape{e.vertices[0].p};
            return shape;
        case LcKind::Line:
            if (e.vertices.size() != 2) return std::nullopt;
            shape.geometry = LineShape{e.vertices[0].p, e.vertices[1].p};
            return shape;
        case LcKind::Arc:
        case LcKind::Circle: {
            if (!(e.radius > 0.0)) return std::nullopt;
            const bool full = e.kind == LcKind::Circle;
            const double sweep = full ? 2 * std::numbers::pi : counterClockwiseSweep(from, to);
            shape.geometry =
                ArcShape{e.centre, e.radius, full ? 0.0 : from, (full ? 0.0 : from) + sweep, full};
            return shape;
        }
        case LcKind::Ellipse: {
            if (!(length(e.majorAxis) > 0.0) || !(e.ratio > 0.0)) return std::nullopt;
            const Point v = Point{-e.majorAxis.y, e.majorAxis.x} * e.ratio;
            const double sweep = counterClockwiseSweep(from, to);
            const bool full = sweep >= 2 * std::numbers::pi;
            shape.geometry = EllipseShape{
                e.centre, e.majorAxis, v, full ? 0.0 : from, (full ? 0.0 : from) + sweep, full};
            return shape;
        }
        case LcKind::Polyline: {
            if (e.vertices.empty()) return std::nullopt;
            PolylineShape polyline;
            for (const LcVertex& v : e.vertices) polyline.vertices.push_back({v.p, v.bulge});
            polyline.closed = e.closed;
            shape.geometry = std::move(polyline);
            return shape;
        }
        case LcKind::Text:
        case LcKind::Other:
            return std::nullopt;
    }
    return std::nullopt;
}

// The host's colour of an element as LibreCAD's 0xRRGGBB, or by layer.
int colorOf(std::optional<int> color) {
    return color ? trueColorValue(paletteColor(*color)) : kColorByLayer;
}

}  // namespace

std::optional<int> hostLineTypeOf(const std::string& libreCadName) {
    for (const LineTypeName& n : kLineTypeNames)
        if (libreCadName == n.libreCad) return lineTypeOfName(n.dxf);
    return std::nullopt;
}

std::string libreCadLineTypeOf(std::optional<int> hostLineType) {
    if (!hostLineType) return "ByLayer";
    const std::string_view customary = customaryLineTypeName(*hostLineType);
    for (const LineTypeName& n : kLineTypeNames)
        if (customary == n.dxf) return n.libreCad;
    for (const LineTypeName& n : kNearestLineTypes)
        if (customary == n.dxf) return n.libreCad;
    return lineTypeStyle(*hostLineType).continuous() ? "SolidLine" : "DashLine";
}

std::string layerNameOf(const Drawing& drawing, int layer) {
    const auto found = drawing.layers().find(layer);
    if (found != drawing.layers().end() && !found->second.name.empty()) return found->second.name;
    return std::to_string(layer);
}

DrawingImport::DrawingImport(Drawing& drawing)
    : d_(drawing),
      layers_(drawing, [](const std::string& name) { return name; }),
      placer_(
          drawing, noBlocks_, [this](const std::string& name) { return layers_.layerOf(name); },
          [](const ShapeStyle& style) {
              // LibreCAD keeps its entities' own colours; a copy the command makes of one goes
              // back in a palette colour, so only a colour the palette holds exactly is taken,
              // another left to the layer rather than shifted to a near one.
              ElementStyle drawn;
              if (style.color24 != -1) drawn.color = paletteColorOf(rgbOfTrueColor(style.color24));
              drawn.lineType = hostLineTypeOf(style.lineType);
              return drawn;
          },
          source_, leftOut_, std::numeric_limits<size_t>::max(), [] {}) {}

std::optional<int> DrawingImport::add(const LcEntity& entity) {
    const std::optional<Shape> shape = shapeOf(entity);
    if (!shape) {
        const std::string type = entity.type.empty() ? "ENTITY" : entity.type;
        leftOut_.add(entity.kind == LcKind::Other || entity.kind == LcKind::Text
                         ? LeftOutReason::NotAFigure
                         : LeftOutReason::BadValue,
                     type);
        return std::nullopt;
    }
    const int before = d_.segments().empty() ? 0 : d_.segments().rbegin()->first;
    placer_.place(*shape);
    if (d_.segments().empty() || d_.segments().rbegin()->first == before) return std::nullopt;
    return d_.segments().rbegin()->first;
}

std::vector<LcEntity> entitiesOf(const Drawing& drawing, const Segment& segment,
                                 const ViewFrame& frame) {
    SegmentView view;
    viewSegment(drawing, segment, frame, view);
    std::vector<LcEntity> out;
    const std::string layer = layerNameOf(drawing, segment.layer);
    for (const ViewShape& shape : view.shapes) {
        LcEntity e;
        e.layer = layer;
        e.color = colorOf(shape.stroke.color);
        e.lineType = libreCadLineTypeOf(shape.stroke.lineType);
        if (const Circle* c = std::get_if<Circle>(&shape.geometry)) {
            e.kind = LcKind::Circle;
            e.centre = c->centre;
            e.radius = std::fabs(c->radius);
        } else if (const Point* p = std::get_if<Point>(&shape.geometry)) {
            e.kind = LcKind::Point;
            e.vertices = {{*p, 0.0}};
        } else if (const Arrowhead* head = std::get_if<Arrowhead>(&shape.geometry)) {
            e.kind = LcKind::Polyline;
            e.vertices = {{head->tip, 0.0}, {head->left, 0.0}, {head->right, 0.0}};
            e.closed = true;
        } else {
            const Path& path = std::get<Path>(shape.geometry);
            if (path.pieces.empty()) continue;
            const PathPiece& first = path.pieces.front();
            if (path.pieces.size() == 1 && !path.closed && first.arc) {
                e.kind = LcKind::Arc;
                const Arc arc = first.arc->arc();
                e.centre = arc.centre;
                e.radius = std::fabs(arc.radius);
                e.start = arc.startAngle;
                e.end = arc.startAngle + arc.sweep();
            } else if (path.pieces.size() == 1 && !path.closed) {
                e.kind = LcKind::Line;
                e.vertices = {{first.from, 0.0}, {first.to, 0.0}};
            } else {
                e.kind = LcKind::Polyline;
                for (const BulgeVertex& v : polylineVertices(path))
                    e.vertices.push_back({v.p, v.bulge});
                e.closed = path.closed;
            }
        }
        out.push_back(std::move(e));
    }
    for (const ViewText& t : view.texts) {
        LcEntity e;
        e.kind = LcKind::Text;
        e.layer = layer;
        e.color = colorOf(t.color);
        e.vertices = {{t.anchor, 0.0}};
        e.text = t.text;
        e.height = t.height;
        e.angle = t.angleDegrees * std::numbers::pi / 180.0;
        e.align = t.align;
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace vel::librecad

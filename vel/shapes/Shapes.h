// Shapes.h - the figures a file or another host hands over, as plain values in the drawing
// plane, and their placing into the drawing: one figure segment per shape, block references
// exploded with their insert point, scale, rotation, mirror, base point and array, curves the
// host has no figure for flattened. The DXF reader and the LibreCAD import both place through it.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "vel/kernel/Drawing.h"
#include "vel/shapes/Curves.h"
#include "vel/shapes/LeftOut.h"

namespace vel {

// No coordinate, radius or centre of a drawing is this large; dxflib reads an overflowing number
// as the largest double, and a bulge this slight has its circle beyond any drawing.
inline constexpr double kLargestCoordinate = 1e100;

// What an entity is drawn with, as the file gives it.
struct ShapeStyle {
    std::string layer;          // the name as written
    int color24 = -1;           // a true colour, -1 when none is given
    bool colorByBlock = false;  // colour 0: the colour of the block reference
    int colorIndex = 256;       // the colour index as written (256: by layer)
    std::string lineType;       // a name, "BYLAYER" or "BYBLOCK"
};

// What the elements made of a shape are drawn with: the host's colour and line type (none: by
// layer), and the file style those were read from.
struct ElementStyle {
    std::optional<int> color;
    std::optional<int> lineType;
    int fileStyle = 0;
};

struct ShapeVertex {
    Point p;
    double bulge =
        0.0;  // tan(sweep / 4) of the piece to the next vertex, positive counter-clockwise
};

struct DotShape {
    Point p;
};
struct LineShape {
    Point a, b;
};
// Counter-clockwise from `start` to `end` (radians); a whole circle when `full`.
struct ArcShape {
    Point centre;
    double radius = 0.0;
    double start = 0.0, end = 0.0;
    bool full = false;
};
// c + cos(t) u + sin(t) v for t from `start` to `end` (end > start).
struct EllipseShape {
    Point centre, u, v;
    double start = 0.0, end = 0.0;
    bool full = false;
};
struct PolylineShape {
    std::vector<ShapeVertex> vertices;
    bool closed = false;
};
struct SplineShape {
    Nurbs curve;
};
// A reference to a block: the block's base point goes to `at`, the block scaled, rotated
// (radians) and repeated in columns and rows along the rotated axes, then mirrored in x when
// the reference is seen from below.
struct InsertShape {
    std::string block;
    Point at;
    double scaleX = 1.0, scaleY = 1.0, rotation = 0.0;
    int columns = 1, rows = 1;
    double columnSpacing = 0.0, rowSpacing = 0.0;
    bool mirrored = false;
};

struct Shape {
    std::variant<DotShape, LineShape, ArcShape, EllipseShape, PolylineShape, SplineShape,
                 InsertShape>
        geometry;
    ShapeStyle style;
    int line = 0;  // where the entity starts in the file
};

struct BlockDefinition {
    Point base;
    std::vector<Shape> shapes;
    LeftOut leftOut;  // its own entities that are no figures, counted for each copy placed
};

// The drawing's layer for each layer name of a file: a name of digits is that layer number, as
// the host numbers its layers; any other name is a layer of its own, one whatever the case of its
// letters (the spelling met first names it); no name, or blanks, is layer 0.
class FileLayers {
public:
    // Turns a name as the file holds it into UTF-8.
    using Decode = std::function<std::string(const std::string&)>;
    FileLayers(Drawing& drawing, Decode decode) : d_(drawing), decode_(std::move(decode)) {}
    int layerOf(const std::string& given);

private:
    Drawing& d_;
    Decode decode_;
    std::unordered_map<std::string, int> byName_;  // by upper-case name
};

// Block names compare without regard to case.
std::string blockKey(const std::string& name);

// Puts shapes into the drawing as figure segments. Throws FileError for a block that refers
// to itself, nesting or arrays beyond reason, and explosions that would make more figures than
// any drawing holds.
class ShapePlacer {
public:
    // The drawing's layer for a name of the file, made when missing.
    using LayerOf = std::function<int(const std::string&)>;
    // What the elements of a shape of the style are drawn with, the reference's style already
    // taken where the shape's own says "by block".
    using StyleOf = std::function<ElementStyle(const ShapeStyle&)>;

    // Called now and then while block copies and curve points are made, so that a long
    // expansion still tells its progress (and may be cancelled: vel::Cancelled).
    using Poll = std::function<void()>;

    ShapePlacer(Drawing& drawing, const std::map<std::string, BlockDefinition>& blocks,
                LayerOf layerOf, StyleOf styleOf, const std::string& fileName, LeftOut& leftOut,
                size_t budget, Poll poll);

    // False, placing nothing, when the shape refers to a block the file does not define.
    bool place(const Shape& shape);

private:
    void place(const Shape& shape, const Affine2& m, const ShapeStyle* parent,
               std::vector<std::string>& open);
    void placeInsert(const InsertShape& insert, const Shape& shape, const Affine2& m,
                     const ShapeStyle& style, std::vector<std::string>& open);
    // `generated`: made by a block reference or the flattening of a curve, not listed in the file.
    void placeFigure(const ShapeStyle& style, bool closed, std::vector<Element> elements,
                     bool generated, int line);
    // The lines through the points of a flattened curve, which have been paid for.
    void placePolyline(const ShapeStyle& style, const std::vector<Point>& points, bool closed,
                       int line);
    // The points of an ellipse's arc (see flattenEllipse), paid for.
    std::vector<Point> ellipsePoints(Point c, Point u, Point v, double t0, double t1, int line);
    // Points a curve may still be flattened into when each costs `cost`: as many as one curve may
    // have, or what is left of the budget and one more, so that a file beyond it is refused
    // before its curves have taken more than their share.
    size_t room(size_t cost) const;
    // Counts figure elements or block copies made from the file, and refuses the file (naming
    // `line`) beyond its budget (a reader's limits, such as DxfReadLimits).
    void spend(size_t count, int line);

    Drawing& d_;
    const std::map<std::string, BlockDefinition>& blocks_;
    LayerOf layerOf_;
    StyleOf styleOf_;
    const std::string& fileName_;
    LeftOut& leftOut_;
    size_t generated_ = 0;
    size_t budget_;
    Poll poll_;
    size_t polled_ = 0;  // what was made when poll_ was last called
};

}  // namespace vel

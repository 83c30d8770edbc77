// LibreCadEntities.h - LibreCAD's entities as plain values, and their way into the host's drawing
// and back: each entity becomes a figure segment as the DXF reader makes one (curves flattened
// alike), and each segment the command makes becomes the entities that draw it, as the DXF
// writer writes it (an outline as one polyline with bulges, texts beside dimensions and leaders).
// Nothing here knows LibreCAD's classes; LibreCadDocument converts at the edge.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vel/io/DrawingView.h"
#include "vel/kernel/Drawing.h"
#include "vel/shapes/Shapes.h"

namespace vel::librecad {

enum class LcKind { Point, Line, Arc, Circle, Ellipse, Polyline, Text, Other };

struct LcVertex {
    Point p;
    double bulge =
        0.0;  // tan(sweep / 4) of the piece to the next vertex, positive counter-clockwise
    friend bool operator==(const LcVertex&, const LcVertex&) = default;
};

// LibreCAD's colours: 0xRRGGBB, or these.
inline constexpr int kColorByLayer = -1;
inline constexpr int kColorByBlock = -2;

struct LcEntity {
    LcKind kind = LcKind::Other;
    std::uint64_t id = 0;  // LibreCAD's, of an entity read
    std::string type;      // LibreCAD's kind as a word, for what is left out ("HATCH")
    std::string layer;
    int color = kColorByLayer;
    std::string lineType = "ByLayer";  // LibreCAD's name ("DashLine")
    // A point: one; a line: its two ends; a polyline: every vertex; a text: its anchor.
    std::vector<LcVertex> vertices;
    bool closed = false;
    // Arcs and circles; arcs run counter-clockwise from `start` to `end` (radians), or clockwise
    // where LibreCAD holds them `reversed` (a mirrored arc, say).
    Point centre;
    double radius = 0.0;
    double start = 0.0, end = 0.0;
    bool reversed = false;
    // Ellipses: the major axis from the centre, the minor's share of it, `start`/`end` as above.
    Point majorAxis;
    double ratio = 1.0;
    // Texts.
    std::string text;
    double height = 0.0;
    double angle = 0.0;  // radians
    TextAlign align = TextAlign::Left;

    friend bool operator==(const LcEntity&, const LcEntity&) = default;
};

// LibreCAD's line-type names and the host's line types: a name of the customary family
// ("DashLine", "DivideLine2") is the host line type that the DXF writer writes under the
// customary name; the host's other line types go by the nearest LibreCAD has.
std::optional<int> hostLineTypeOf(const std::string& libreCadName);
std::string libreCadLineTypeOf(std::optional<int> hostLineType);

// The name LibreCAD shows for a layer of the drawing: its own name, or its number.
std::string layerNameOf(const Drawing& drawing, int layer);

// Puts LibreCAD's entities into the drawing, one figure segment each.
class DrawingImport {
public:
    explicit DrawingImport(Drawing& drawing);

    // The segment made for the entity; none for one that draws no figure, counted by kind.
    std::optional<int> add(const LcEntity& entity);
    // The drawing's layer for a name LibreCAD gives, made when missing.
    int layerOf(const std::string& name) { return layers_.layerOf(name); }
    const LeftOut& leftOut() const { return leftOut_; }

private:
    Drawing& d_;
    LeftOut leftOut_;
    std::map<std::string, BlockDefinition> noBlocks_;  // LibreCAD hands its inserts over exploded
    std::string source_ = "LibreCAD's drawing";        // what a refusal names as its file
    FileLayers layers_;
    ShapePlacer placer_;
};

// The entities that draw one segment, in its element's colours and line types on its layer.
std::vector<LcEntity> entitiesOf(const Drawing& drawing, const Segment& segment,
                                 const ViewFrame& frame);

}  // namespace vel::librecad

// DrawingView.h - a drawing as a person looks at it: figures as connected paths,
// circles and points, each with its element's own colour and line type, and the
// texts of dimensions and leaders placed beside their lines. The picture and
// exchange writers (SVG, DXF) draw from this, so they agree on what is shown.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "vel/kernel/Drawing.h"

namespace vel {

// One straight or circular piece of a path, in the direction of travel.
struct PathPiece {
    Point from;
    Point to;
    std::optional<ArcThrough> arc;  // none: straight
    bool clockwise = false;         // the arc is travelled against its own counter-clockwise sense

    PathPiece reversed() const;
    // The polyline bulge of the piece: tan(sweep / 4), negative when clockwise; 0 when straight.
    double bulge() const;
};

struct Path {
    std::vector<PathPiece> pieces;
    bool closed = false;  // the last piece ends where the first begins
};

// A vertex of a polyline with the bulge of the piece that leaves it.
struct BulgeVertex {
    Point p;
    double bulge = 0.0;
};
// The path as the vertices of a polyline, its end too when it is open. A piece of more than a
// half turn goes in two halves: a bulge grows without bound towards a whole turn, and readers
// lose precision with it.
std::vector<BulgeVertex> polylineVertices(const Path& path);

// An element's own colour and line type; none follows the layer. The file style they were read
// with goes along for the writers of files (see FileStyles).
struct ViewStroke {
    std::optional<int> color;
    std::optional<int> lineType;
    int fileStyle = 0;
    friend bool operator==(const ViewStroke&, const ViewStroke&) = default;
};

// A filled arrowhead at the end of a dimension's measure line.
struct Arrowhead {
    Point tip;
    Point left;
    Point right;
};

struct ViewShape {
    int segmentId = 0;
    int elementId = 0;  // the element drawn, or where a chained path starts
    int layer = 0;
    ViewStroke stroke;
    bool annotation = false;  // a line of a dimension or leader
    std::variant<Path, Circle, Point, Arrowhead> geometry;
};

enum class TextAlign { Left, Centre, Right };

struct ViewText {
    int segmentId = 0;
    int elementId = 0;  // the dimension or leader
    int layer = 0;
    std::optional<int> color;
    Point anchor;  // on the baseline, at the aligned end
    double angleDegrees = 0.0;
    double height = 0.0;
    TextAlign align = TextAlign::Left;
    std::string text;  // UTF-8
};

// What every part of a drawing's view shares: where the drawing lies and how
// large its texts are, both set by the whole drawing.
struct ViewFrame {
    Extents extents;  // the shapes and an estimate of the texts' boxes
    double textHeight = 0.0;
    double joinTolerance = 0.0;  // how near two ends must lie to join into one path
    Point centre;                // of what is drawn; the outside of a dimension faces away
};

// One segment as drawn.
struct SegmentView {
    std::vector<ViewShape> shapes;
    std::vector<ViewText> texts;
};

struct DrawingView {
    std::vector<ViewShape> shapes;
    std::vector<ViewText> texts;
    Extents extents;  // the shapes and an estimate of the texts' boxes
    double textHeight = 0.0;
};

// One pass over what the drawing draws, keeping nothing of it: writers of large
// drawings take the frame first and then view one segment at a time. `alsoEach` sees every
// element on the way, for a writer that must know something of all of them before it writes.
ViewFrame frameOf(const Drawing& drawing,
                  const std::function<void(const Segment&, int)>& alsoEach = {});
// The frame of `drawing`, whose primitives cover `geometry`, its texts not yet added: the texts of
// its dimensions and leaders annotationTextHeight's, a fortieth of the diagonal without them.
ViewFrame frameFor(const Drawing& drawing, const Extents& geometry);

// The height of the texts of dimensions and leaders, which their arrowheads follow: the one the
// drawing's file gave, else a share of the smaller side of what they span, which is the insert
// they annotate; none without annotations.
std::optional<double> annotationTextHeight(const Drawing& drawing);

// The segment's connected lines and arcs of one stroke form one path (closed when
// it ends where it starts); primitives with non-finite coordinates cannot be
// drawn and are left out. Replaces what `out` held.
void viewSegment(const Drawing& drawing, const Segment& segment, const ViewFrame& frame,
                 SegmentView& out);

// What the element at `elementIndex` of the segment is drawn with: a corner without its own
// colour or line type takes those of the element before it.
ViewStroke strokeOf(const Segment& segment, int elementIndex);

// Whether the point lies on the text's estimated box or within `reach` of it: a text is picked as
// its leader or dimension is.
bool textCovers(const ViewText& text, Point p, double reach);

// Every segment's view, in id order.
DrawingView viewOf(const Drawing& drawing);

// Throws std::invalid_argument naming the first element holding a non-finite
// number; writers call it before writing anything.
void requireFiniteDrawing(const Drawing& drawing);
// The same for one element, for a writer that goes through the elements before it writes.
void requireFiniteElement(const Segment& s, const Element& e);

}  // namespace vel

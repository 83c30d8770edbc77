// DxfReader.cpp - reading a DXF drawing through dxflib: lines, arcs, circles,
// points and 2D polylines of the model become figure segments, one entity to a
// segment; what the model holds that is no figure is counted, not read.
#include "vel/dxf/DxfFormat.h"

// dxflib's headers are not clean under our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#include <dl_creationadapter.h>
#include <dl_dxf.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <fstream>
#include <istream>
#include <map>
#include <numbers>
#include <optional>
#include <streambuf>
#include <tuple>
#include <unordered_map>

#include "vel/dxf/DxfScan.h"
#include "vel/dxf/DxfText.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"
#include "vel/shapes/Shapes.h"

namespace vel {

namespace {

// A stream over the prepared text that can tell how far dxflib has read.
class TextBuffer : public std::streambuf {
public:
    explicit TextBuffer(std::string& text) {
        setg(text.data(), text.data(), text.data() + text.size());
    }
    size_t consumed() const { return static_cast<size_t>(gptr() - eback()); }
};

// Indexes 1 to 6 are colours by name: red, yellow, green, cyan, blue, magenta. The
// palette's green and magenta are softer than the pure ones of the index table, and are
// what those names mean in the host.
constexpr int kIndexGreen = 3, kIndexMagenta = 6;
constexpr int kPaletteGreen = 2, kPaletteMagenta = 3;

// An entity's or layer's colour as a true colour: the true colour when the file gives one,
// else the colour index's from dxflib's table (a negative index only says a layer is off);
// -1 for by layer, by block and index 7, which the background draws black or white.
int trueColorOf(int colorIndex, int color24) {
    if (color24 != -1) return color24;
    const int index = std::abs(colorIndex);
    if (index < 1 || index >= static_cast<int>(std::size(dxfColors)) || index == 7) return -1;
    if (index == kIndexGreen) return trueColorValue(paletteColor(kPaletteGreen));
    if (index == kIndexMagenta) return trueColorValue(paletteColor(kPaletteMagenta));
    int rgb = 0;
    for (const double part : dxfColors[index])
        rgb = rgb << 8 | static_cast<int>(std::lround(std::clamp(part, 0.0, 1.0) * 255.0));
    return rgb;
}

// The palette colour that draws a colour of the file: the nearest, so that a shade the palette
// lacks still looks like itself; none for what the layer or the background decides.
std::optional<int> hostColorOf(int colorIndex, int color24) {
    const int rgb = trueColorOf(colorIndex, color24);
    if (rgb == -1) return std::nullopt;
    return nearestPaletteColor(rgbOfTrueColor(rgb));
}

// A file's line-type pattern as far as it can be written again: numbers beyond any drawing's
// leave none.
std::vector<double> writablePattern(std::vector<double> pattern) {
    for (const double v : pattern)
        if (!(std::fabs(v) <= kLargestCoordinate)) return {};
    return pattern;
}

// Builds the drawing from dxflib's callbacks. Each entity becomes a shape: those
// of the model are placed at once (a block reference with its block), those of a
// block definition are kept for the references. Entities of the model that the
// drawing has no figure for are counted by kind and reason; what paper space
// holds the scan has counted.
class DrawingBuilder : public DL_CreationAdapter {
public:
    DrawingBuilder(Drawing& drawing, ScannedDxf& scanned, const TextBuffer& buffer,
                   const std::string& fileName, ProgressSteps& progress, size_t budget)
        : d_(drawing),
          progress_(progress),
          prepared_(scanned),
          buffer_(buffer),
          fileName_(fileName),
          layers_(drawing, [this](const std::string& name) { return text_.toUtf8(name); }),
          placer_(
              drawing, blocks_, [this](const std::string& name) { return layerOf(name); },
              [this](const ShapeStyle& style) { return elementStyleOf(style); }, fileName,
              scanned.leftOut, budget, [this] { progress_.poll(); }) {}

    // The line where the object dxflib is handing over begins: dxflib hands an
    // object over when it has read the group that starts the next one.
    int objectLine() const {
        const std::vector<ObjectStart>& starts = prepared_.objects;
        const size_t consumed = buffer_.consumed();
        // The objects whose starting group has been read; the last of them has just begun,
        // unless more of it has been read since.
        auto read = std::upper_bound(starts.begin(), starts.end(), consumed,
                                     [](size_t at, const ObjectStart& o) { return at < o.end; });
        if (read == starts.begin()) return 0;
        auto last = std::prev(read);
        if (last->end == consumed && last != starts.begin()) --last;
        return last->line;
    }

    void finish() {
        finishPending();
        // References that came before their block was defined.
        for (const Shape& shape : waiting_)
            if (!placer_.place(shape)) leaveOut(LeftOutReason::MissingBlock, "INSERT");
        if (!currentLayerName_.empty()) d_.setCurrentLayer(layerOf(currentLayerName_));
        // The line types the styles name, with their entries in the table however late it came.
        for (const std::string& name : fileLineTypeNames_) {
            const std::string key = asciiUpper(name);
            FileLineType lineType{text_.toUtf8(name), {}, {}};
            if (const auto d = lineTypeDescriptions_.find(key); d != lineTypeDescriptions_.end())
                lineType.description = text_.toUtf8(d->second);
            if (const auto p = lineTypePatterns_.find(key); p != lineTypePatterns_.end())
                lineType.pattern = writablePattern(p->second);
            d_.fileStyles().addLineType(std::move(lineType));
        }
    }

    void setVariableString(const std::string& key, const std::string& value, int) override {
        // The header comes before the tables and entities whose names these decode.
        if (key == "$CLAYER") currentLayerName_ = value;
        if (key == "$ACADVER") text_.setVersion(value);
        if (key == "$DWGCODEPAGE") text_.setCodePage(value);
    }
    // dxflib hands a line type's dashes over before the line type they belong to.
    void addLinetypeDash(double length) override { dashes_.push_back(length); }
    void addLinetype(const DL_LinetypeData& data) override {
        lineTypePatterns_[asciiUpper(data.name)] = std::move(dashes_);
        lineTypeDescriptions_[asciiUpper(data.name)] = data.description;
        dashes_.clear();
        lineTypesByName_.clear();  // a name asked for before may now have a pattern
        elementStyles_.clear();
    }

    // A layer's colour and line type are what its "by layer" entities are drawn in; a
    // negative colour index only says the layer is off.
    void addLayer(const DL_LayerData& data) override {
        const DL_Attributes& a = getAttributes();
        const int index = a.getColor(), color24 = a.getColor24();
        FileStyle file;
        // Kept where a file written of the drawing would say otherwise: 0 and 256 say nothing of
        // a layer's colour, and a layer without a colour or line type of the host's is written in
        // colour 7 and continuous.
        const bool trueColor = color24 >= 0 && color24 <= 0xFFFFFF;
        if (trueColor || (index != 7 && std::abs(index) >= 1 && std::abs(index) <= 255))
            file.color = FileColor{std::clamp(index, -255, 255), trueColor ? color24 : -1};
        file.hostColor = hostColorOf(index, color24);
        file.hostLineType = lineTypeOf(a.getLinetype());
        if (asciiUpper(a.getLinetype()) != "CONTINUOUS")
            file.lineType = fileLineTypeOf(a.getLinetype());
        const int number = file.color || file.lineType >= 0 ? d_.fileStyles().add(file) : 0;
        d_.setLayerStyle(layerOf(data.name), file.hostColor, file.hostLineType, number);
    }
    void addBlock(const DL_BlockData& data) override {
        finishPending();
        block_ = blockKey(data.name);
        blocks_[*block_] = BlockDefinition{point(data.bpx, data.bpy), {}, {}};
    }
    void endBlock() override {
        finishPending();
        block_.reset();
    }

    void addPoint(const DL_PointData& data) override {
        if (!take("POINT")) return;
        deliver(DotShape{point(data.x, data.y)});
    }

    void addLine(const DL_LineData& data) override {
        if (!take("LINE")) return;
        deliver(LineShape{point(data.x1, data.y1), point(data.x2, data.y2)});
    }

    void addArc(const DL_ArcData& data) override {
        if (!take("ARC") || !drawable(data.radius, "ARC")) return;
        ArcShape arc{point(data.cx, data.cy), data.radius, radians(data.angle1),
                     radians(data.angle2), false};
        if (mirrored()) {  // seen from below: x runs the other way and so does the arc
            arc.centre = flip(arc.centre);
            arc = {arc.centre, arc.radius, kPi - arc.end, kPi - arc.start, false};
        }
        arc.end = arc.start + counterClockwiseSweep(arc.start, arc.end);
        deliver(arc);
    }

    void addCircle(const DL_CircleData& data) override {
        if (!take("CIRCLE") || !drawable(data.radius, "CIRCLE")) return;
        Point c = point(data.cx, data.cy);
        if (mirrored()) c = flip(c);
        deliver(ArcShape{c, data.radius, 0.0, 2 * kPi, true});
    }

    void addEllipse(const DL_EllipseData& data) override {
        if (!take("ELLIPSE")) return;
        // Centre and axis are in world coordinates; seen from below, the minor axis (the
        // normal crossed with the major) points the other way.
        const Point u = point(data.mx, data.my);
        const double ratio = real(data.ratio);
        if (!(length(u) > 0.0) || !(ratio > 0.0) || ratio > 1.0 + kRatioSlack)
            fail("an ELLIPSE needs a major axis and a ratio from 0 to 1", objectLine());
        const Point v = Point{-u.y, u.x} * (ratio * (mirrored() ? -1.0 : 1.0));
        // Parameters are directions: any number of whole turns away is the same one. Ends whole
        // turns apart, give or take the writer's rounding, make a whole ellipse; ends the same
        // too, as writers give it.
        double t0 = real(data.angle1), t1 = real(data.angle2);
        double sweep = counterClockwiseSweep(t0, t1);
        const bool turnsApart =
            sweep > 2 * kPi - kFullTurn || (sweep < kFullTurn && std::fabs(t1 - t0) > kFullTurn);
        const bool full =
            t0 == t1 || std::fabs(std::fabs(t1 - t0) - 2 * kPi) < kFullTurn || turnsApart;
        t0 = full ? 0.0 : turnRemainder(t0);
        if (full) sweep = 2 * kPi;
        deliver(EllipseShape{point(data.cx, data.cy), u, v, t0, t0 + sweep, full});
    }

    void addSpline(const DL_SplineData& data) override {
        if (!take("SPLINE")) return;
        spline_ = PendingSpline{};
        spline_->curve.degree = static_cast<int>(data.degree);
        spline_->line = objectLine();
        spline_->style = style();
    }
    void addControlPoint(const DL_ControlPointData& data) override {
        if (!spline_) return;
        spline_->curve.control.push_back(point(data.x, data.y));
        spline_->curve.weights.push_back(real(data.w));
    }
    void addKnot(const DL_KnotData& data) override {
        if (spline_) spline_->curve.knots.push_back(real(data.k));
    }
    void addFitPoint(const DL_FitPointData& data) override {
        if (spline_) spline_->fit.push_back(point(data.x, data.y));
    }

    void addInsert(const DL_InsertData& data) override {
        if (!take("INSERT")) return;
        InsertShape insert;
        insert.block = data.name;
        insert.at = point(data.ipx, data.ipy);
        insert.scaleX = real(data.sx);
        insert.scaleY = real(data.sy);
        insert.rotation = radians(data.angle);
        insert.columns = std::max(data.cols, 1);
        insert.rows = std::max(data.rows, 1);
        insert.columnSpacing = real(data.colSp);
        insert.rowSpacing = real(data.rowSp);
        insert.mirrored = mirrored();
        if (insert.scaleX == 0.0 || insert.scaleY == 0.0)
            fail("a block reference scaled by 0", objectLine());
        deliver(insert);
    }

    void addPolyline(const DL_PolylineData& data) override {
        finishPending();
        if (!take("POLYLINE")) return;
        // A mesh is a surface; a polyface mesh is read as its outline where it is flat, a 3D
        // polyline where it is flat.
        if (data.flags & 16) return leaveOut(LeftOutReason::ThreeD, "POLYLINE");
        if (data.flags & 64) return polyface();
        const bool threeD = (data.flags & 8) != 0;
        polyline_ = PendingPolyline{
            style(), (data.flags & 1) != 0, !threeD && mirrored(), threeD, objectLine(), {}, {}};
    }

    void addVertex(const DL_VertexData& data) override {
        progress_.at(buffer_.consumed());
        if (!polyline_) return;
        // A 3D polyline's vertices are in world coordinates and have no bulges.
        polyline_->vertices.push_back(
            {point(data.x, data.y), polyline_->threeD ? 0.0 : real(data.bulge)});
        // Only a 3D polyline's heights tell anything; every height is checked all the same.
        const double z = real(data.z);
        if (polyline_->threeD) polyline_->heights.push_back(z);
    }

    void endEntity() override { finishPending(); }
    void endSequence() override { finishPending(); }

    // Entity kinds with no figure in the drawing.
    void addXLine(const DL_XLineData&) override { other("XLINE"); }
    void addRay(const DL_RayData&) override { other("RAY"); }
    void addTrace(const DL_TraceData&) override { other("TRACE"); }
    void add3dFace(const DL_3dFaceData&) override { other("3DFACE"); }
    void addSolid(const DL_SolidData&) override { other("SOLID"); }
    void addMText(const DL_MTextData&) override { other("MTEXT"); }
    void addText(const DL_TextData&) override { other("TEXT"); }
    void addArcAlignedText(const DL_ArcAlignedTextData&) override { other("ARCALIGNEDTEXT"); }
    void addAttribute(const DL_AttributeData&) override { other("ATTRIB"); }
    void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { dimension(); }
    void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { dimension(); }
    void addDimRadial(const DL_DimensionData&, const DL_DimRadialData&) override { dimension(); }
    void addDimDiametric(const DL_DimensionData&, const DL_DimDiametricData&) override {
        dimension();
    }
    void addDimAngular(const DL_DimensionData&, const DL_DimAngular2LData&) override {
        dimension();
    }
    void addDimAngular3P(const DL_DimensionData&, const DL_DimAngular3PData&) override {
        dimension();
    }
    void addDimOrdinate(const DL_DimensionData&, const DL_DimOrdinateData&) override {
        dimension();
    }
    void addLeader(const DL_LeaderData&) override { other("LEADER"); }
    void addHatch(const DL_HatchData&) override { other("HATCH"); }
    void addImage(const DL_ImageData&) override { other("IMAGE"); }

private:
    static constexpr double kPi = std::numbers::pi;
    static constexpr double kRadiansPerDegree = kPi / 180.0;
    // An ellipse's parameters this close to a whole turn make a whole ellipse.
    static constexpr double kFullTurn = 1e-9;
    // Writers round a circle's ratio of 1 a little over.
    static constexpr double kRatioSlack = 1e-9;
    // Heights this close are one plane.
    static constexpr double kFlat = 1e-9;

    struct PendingPolyline {
        ShapeStyle style;
        bool closed = false;
        bool mirrored = false;
        bool threeD = false;
        int line = 0;
        std::vector<ShapeVertex> vertices;
        std::vector<double> heights;  // a 3D polyline's only
    };
    struct PendingSpline {
        ShapeStyle style;
        int line = 0;
        Nurbs curve;
        std::vector<Point> fit;
    };

    // An entity of a block definition, or of the model (not in paper space, which the scan
    // has counted already).
    bool inModel() const { return !block_ && !prepared_.paper.count(objectLine()); }
    bool wanted() const { return block_ || inModel(); }

    // In a block definition, counted for every copy of the block placed.
    void leaveOut(LeftOutReason reason, const char* type) {
        (block_ ? blocks_[*block_].leftOut : prepared_.leftOut).add(reason, type);
    }

    // An entity of the model or of a block of a kind that is no figure.
    void other(const char* type) {
        progress_.at(buffer_.consumed());
        finishPending();
        if (wanted()) leaveOut(reasonForKind(type), type);
    }
    void dimension() { other("DIMENSION"); }

    // True for an entity on the drawing plane, of the model or of a block definition; one of
    // the model off the plane is counted.
    bool take(const char* type) {
        progress_.at(buffer_.consumed());
        finishPending();
        if (!wanted()) return false;
        const double* n = getExtrusion()->getDirection();
        if (std::fabs(n[0]) > 1e-9 || std::fabs(n[1]) > 1e-9 || !(std::fabs(n[2]) > 0.0)) {
            leaveOut(LeftOutReason::ThreeD, type);
            return false;
        }
        return true;
    }

    // An entity whose extrusion points down has its own x axis reversed.
    bool mirrored() const { return extrusion->getDirection()[2] < 0.0; }
    static Point flip(Point p) { return {-p.x, p.y}; }

    ShapeStyle style() {
        const DL_Attributes& a = getAttributes();
        return {a.getLayer(), a.getColor24(), a.getColor() == 0 && a.getColor24() == -1,
                a.getColor(), a.getLinetype()};
    }

    // Into the block being defined, or into the drawing; a reference whose block is not
    // defined yet waits for the end of the file.
    void deliver(Shape shape) {
        if (block_) return blocks_[*block_].shapes.push_back(std::move(shape));
        if (!placer_.place(shape)) waiting_.push_back(std::move(shape));
    }
    template <typename Geometry>
    void deliver(Geometry geometry) {
        deliver(Shape{std::move(geometry), style(), objectLine()});
    }

    [[noreturn]] void fail(const std::string& message, int line) const {
        throw FileError(fileName_, line, message);
    }

    // dxflib reads an overflowing number as the largest double; nothing that
    // large is a drawing's.
    double real(double v) const {
        if (!std::isfinite(v) || std::fabs(v) > kLargestCoordinate)
            fail("a number is out of range", objectLine());
        return v;
    }
    Point point(double x, double y) const { return {real(x), real(y)}; }
    // An angle in degrees as a direction: whole turns taken off in degrees, where they are exact.
    double radians(double degrees) const {
        return std::fmod(real(degrees), 360.0) * kRadiansPerDegree;
    }

    // A flat polyface mesh as its outline, a figure for each chain of its outer edges.
    void polyface() {
        const auto mesh = prepared_.polyfaces.find(objectLine());
        if (mesh == prepared_.polyfaces.end() || !mesh->second.flat ||
            mesh->second.chains.empty()) {
            leaveOut(LeftOutReason::ThreeD, "POLYLINE");
            return;
        }
        for (const PolyfaceOutline::Chain& chain : mesh->second.chains) {
            PolylineShape outline;
            for (const Point& p : chain.points) outline.vertices.push_back({p, 0.0});
            outline.closed = chain.closed;
            deliver(outline);
        }
    }

    // A negative radius is no circle at all; a radius of 0 is a circle that draws nothing,
    // which real drawings do hold: it is left out and counted, not the whole file refused.
    bool drawable(double r, const char* type) {
        if (real(r) < 0.0) fail(std::string(type) + " with a negative radius", objectLine());
        if (r > 0.0) return true;
        leaveOut(LeftOutReason::BadValue, type);
        return false;
    }

    // A line type by its name, or else by the rhythm of its pattern in the file, or of the usual
    // pattern of its customary name: a dashed line whose name the host does not know stays dashed.
    // Worked out once for each name: a pattern may be long, and every figure asks.
    std::optional<int> lineTypeOf(const std::string& name) {
        const auto [known, added] = lineTypesByName_.try_emplace(asciiUpper(name));
        if (!added) return known->second;
        if ((known->second = lineTypeOfName(name))) return known->second;
        const auto pattern = lineTypePatterns_.find(asciiUpper(name));
        if (pattern != lineTypePatterns_.end() && !pattern->second.empty())
            known->second = lineTypeOfPattern(pattern->second);
        // A customary name whose entry gives no pattern (as some programs write them) means
        // the usual pattern of that name.
        if (!known->second) known->second = lineTypeOfCustomaryName(name);
        return known->second;
    }

    // The palette colour nearest the file's, the host's line type of the file's, and the file's
    // own kept beside them to be written again. One style for each way the file gives them.
    ElementStyle elementStyleOf(const ShapeStyle& style) {
        const auto key =
            std::make_tuple(style.colorIndex, style.color24, asciiUpper(style.lineType));
        const auto [known, added] = elementStyles_.try_emplace(key);
        if (!added) return known->second;
        FileStyle file;
        // What no table holds is not written again.
        const int index = style.colorIndex >= 0 && style.colorIndex <= 256 ? style.colorIndex : 256;
        const int color24 = style.color24 >= 0 && style.color24 <= 0xFFFFFF ? style.color24 : -1;
        if (index != 256 || color24 != -1) file.color = FileColor{index, color24};
        file.hostColor = hostColorOf(style.colorIndex, style.color24);
        file.hostLineType = lineTypeOf(style.lineType);
        file.lineType = fileLineTypeOf(style.lineType);
        ElementStyle& drawn = known->second;
        drawn.color = file.hostColor;
        drawn.lineType = file.hostLineType;
        if (file.color || file.lineType >= 0) drawn.fileStyle = d_.fileStyles().add(file);
        return drawn;
    }

    // The number the file's line type of this name will have in the drawing; -1 for "by layer",
    // which every file written has.
    int fileLineTypeOf(const std::string& name) {
        const std::string key = asciiUpper(name);
        if (key.find_first_not_of(' ') == std::string::npos || key == "BYLAYER") return -1;
        const auto [known, added] =
            fileLineTypes_.try_emplace(key, static_cast<int>(fileLineTypeNames_.size()));
        if (added) fileLineTypeNames_.push_back(name);
        return known->second;
    }

    int layerOf(const std::string& given) { return layers_.layerOf(given); }

    void finishPending() {
        finishPolyline();
        finishSpline();
    }

    void finishSpline() {
        if (!spline_) return;
        PendingSpline s = std::move(*spline_);
        spline_.reset();
        if (s.curve.control.empty() && s.fit.size() >= 2) s.curve = interpolateFitPoints(s.fit);
        if (std::all_of(s.curve.weights.begin(), s.curve.weights.end(),
                        [](double w) { return w == 1.0; }))
            s.curve.weights.clear();
        if (s.curve.degree > Nurbs::kMaxDegree)
            fail("a SPLINE of degree " + std::to_string(s.curve.degree) + "; degrees up to " +
                     std::to_string(Nurbs::kMaxDegree) + " are read",
                 s.line);
        if (!s.curve.valid())
            fail("a SPLINE whose degree, knots and control points do not fit together", s.line);
        deliver(Shape{SplineShape{std::move(s.curve)}, s.style, s.line});
    }

    void finishPolyline() {
        if (!polyline_) return;
        PendingPolyline pl = std::move(*polyline_);
        polyline_.reset();
        if (pl.vertices.empty()) {
            leaveOut(LeftOutReason::Empty, "POLYLINE");
            return;
        }
        if (pl.threeD) {
            const auto [low, high] = std::minmax_element(pl.heights.begin(), pl.heights.end());
            if (*high - *low > kFlat) {
                leaveOut(LeftOutReason::ThreeD, "POLYLINE");
                return;
            }
        }
        if (pl.mirrored)
            for (ShapeVertex& v : pl.vertices) {
                v.p = flip(v.p);
                v.bulge = -v.bulge;
            }
        deliver(Shape{PolylineShape{std::move(pl.vertices), pl.closed}, pl.style, pl.line});
    }

    Drawing& d_;
    ProgressSteps& progress_;
    ScannedDxf& prepared_;
    const TextBuffer& buffer_;
    const std::string& fileName_;
    std::map<std::string, BlockDefinition> blocks_;
    std::optional<std::string> block_;  // the block being defined
    FileLayers layers_;
    ShapePlacer placer_;
    std::vector<Shape> waiting_;
    std::string currentLayerName_;
    std::map<std::string, std::vector<double>> lineTypePatterns_;          // by upper-case name
    std::map<std::string, std::string> lineTypeDescriptions_;              // by upper-case name
    std::unordered_map<std::string, std::optional<int>> lineTypesByName_;  // by upper-case name
    std::map<std::tuple<int, int, std::string>, ElementStyle> elementStyles_;
    std::unordered_map<std::string, int> fileLineTypes_;  // by upper-case name
    std::vector<std::string> fileLineTypeNames_;          // as first met, in number order
    std::vector<double> dashes_;                          // of the line type being read
    DxfTextDecoder text_;
    std::optional<PendingPolyline> polyline_;
    std::optional<PendingSpline> spline_;
};

// The rest of the stream: in one read of the size it tells, when it can tell it, and then, as from
// a pipe, piece by piece until its end.
std::string readWhole(std::istream& in) {
    std::string text;
    if (std::streambuf* buffer = in.rdbuf()) {
        const auto here = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
        const auto end = here != -1 ? buffer->pubseekoff(0, std::ios::end, std::ios::in) : here;
        if (end != -1 && buffer->pubseekpos(here, std::ios::in) == here && end > here) {
            text.resize(static_cast<size_t>(end - here));
            text.resize(static_cast<size_t>(
                in.read(text.data(), static_cast<std::streamsize>(text.size())).gcount()));
        }
    }
    constexpr size_t kPiece = 64 * 1024;
    std::string piece(kPiece, '\0');
    while (in) {
        const std::streamsize got = in.read(piece.data(), kPiece).gcount();
        text.append(piece, 0, static_cast<size_t>(got));
    }
    // Reading to the end is no failure of the stream.
    if (!in.bad()) in.clear();
    return text;
}

DxfReadReport readDxfText(std::string text, const std::string& fileName, Drawing& drawing,
                          Progress* progress, const DxfReadLimits& limits) {
    // Some programs start a UTF-8 file with a byte order mark: no part of the first group code.
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    // The scan takes about a fifth of the time dxflib and the drawing take.
    constexpr double kScanShare = 0.2;
    ProgressSteps scanning(progress, text.size(), 0.0, kScanShare);
    ScannedDxf prepared = scanDxf(text, fileName, scanning);
    TextBuffer buffer(text);
    std::istream stream(&buffer);
    Drawing result;
    ProgressSteps reading(progress, text.size(), kScanShare, 1.0);
    DrawingBuilder builder(result, prepared, buffer, fileName, reading,
                           limits.budgetFor(text.size()));
    DL_Dxf dxf;
    try {
        if (!dxf.in(stream, &builder)) throw FileError(fileName, 0, "dxflib cannot read the file");
        builder.finish();
    } catch (const FileError&) {
        throw;
    } catch (const Cancelled&) {
        throw;
    } catch (const std::exception& e) {
        throw FileError(fileName, builder.objectLine(), std::string("unreadable DXF: ") + e.what());
    }
    DxfReadReport report;
    report.leftOut = std::move(prepared.leftOut);
    drawing = std::move(result);
    return report;
}

}  // namespace

DxfReadReport readDxfDrawing(const std::string& path, Drawing& drawing, Progress* progress) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, 0, "cannot open the file");
    return readDxfDrawing(in, path, drawing, progress);
}

DxfReadReport readDxfDrawing(std::istream& in, const std::string& fileName, Drawing& drawing,
                             Progress* progress, const DxfReadLimits& limits) {
    std::string text = readWhole(in);
    if (in.bad()) throw FileError(fileName, 0, "cannot read the file");
    return readDxfText(std::move(text), fileName, drawing, progress, limits);
}

}  // namespace vel

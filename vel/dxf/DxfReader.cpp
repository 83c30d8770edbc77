// DxfReader.cpp - reading a DXF drawing in one pass: the scan checks each group and hands it
// here, where lines, arcs, circles, points, ellipses, splines and 2D polylines of the model
// become figure segments, one entity to a segment, and block references are placed with their
// blocks; what the model holds that is no figure is counted, not read. Each object's groups are
// read as DXF readers have always read them: the last group of a code counts, an absent one
// takes its default, and the lists some codes make (a polyline's vertices, a spline's points and
// knots) keep their counts from one object to the next where a file leaves a count out.
#include "vel/dxf/DxfFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <fstream>
#include <functional>
#include <istream>
#include <map>
#include <numbers>
#include <optional>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "vel/dxf/DxfColors.h"
#include "vel/dxf/DxfScan.h"
#include "vel/dxf/DxfText.h"
#include "vel/dxf/MappedText.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"
#include "vel/shapes/Shapes.h"

namespace vel {

namespace {

// Indexes 1 to 6 are colours by name: red, yellow, green, cyan, blue, magenta. The
// palette's green and magenta are softer than the pure ones of the index table, and are
// what those names mean in the host.
constexpr int kIndexGreen = 3, kIndexMagenta = 6;
constexpr int kPaletteGreen = 2, kPaletteMagenta = 3;

// An entity's or layer's colour as a true colour: the true colour when the file gives one,
// else the colour index's from the index table (a negative index only says a layer is off);
// -1 for by layer, by block and index 7, which the background draws black or white.
int trueColorOf(int colorIndex, int color24) {
    if (color24 != -1) return color24;
    if (colorIndex < -255 || colorIndex > 255) return -1;
    const int index = std::abs(colorIndex);
    if (index == 7) return -1;
    if (index == kIndexGreen) return trueColorValue(paletteColor(kPaletteGreen));
    if (index == kIndexMagenta) return trueColorValue(paletteColor(kPaletteMagenta));
    return indexColorRgb(index);
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

// A whole number as an int, wrapped as DXF readers have always stored the long they read.
int intOf(std::string_view v) {
    return static_cast<int>(wholeValue(v));
}

// The groups of the object being read, by code: the last of each code, each a view into the
// file's text. Emptied at each object's end in constant time.
class GroupValues {
public:
    GroupValues() : values_(kCodes), stamps_(kCodes, 0) {}
    void clear() {
        // After four billion objects the stamps start again, none of them current.
        if (++now_ == 0) {
            std::fill(stamps_.begin(), stamps_.end(), 0u);
            now_ = 1;
        }
        lowest_ = kCodes;
    }
    void set(int code, std::string_view value) {
        values_[static_cast<size_t>(code)] = value;
        stamps_[static_cast<size_t>(code)] = now_;
        lowest_ = std::min(lowest_, code);
    }
    bool has(int code) const { return stamps_[static_cast<size_t>(code)] == now_; }
    std::string_view text(int code) const { return values_[static_cast<size_t>(code)]; }
    std::string string(int code, std::string_view otherwise) const {
        return std::string(has(code) ? text(code) : otherwise);
    }
    double real(int code, double otherwise) const {
        return has(code) ? realValue(text(code)) : otherwise;
    }
    int whole(int code, int otherwise) const { return has(code) ? intOf(text(code)) : otherwise; }
    // The lowest code the object has; kCodes when none.
    int lowest() const { return lowest_; }

    static constexpr int kCodes = 1072;  // codes run from 0 to 1071

private:
    std::vector<std::string_view> values_;
    std::vector<unsigned> stamps_;
    unsigned now_ = 1;
    int lowest_ = kCodes;
};

// The objects the reader tells apart by the name of their group 0 (or a variable, group 9).
enum class ObjectKind {
    Setting,
    Layer,
    LineType,
    Block,
    EndBlock,
    Point,
    Line,
    Polyline,
    LwPolyline,
    Vertex,
    Spline,
    Arc,
    Circle,
    Ellipse,
    Insert,
    Dimension,
    Hatch,
    SeqEnd,
    NoFigure,
    Other
};

ObjectKind kindOf(std::string_view name) {
    static const std::unordered_map<std::string_view, ObjectKind> kinds{
        {"LAYER", ObjectKind::Layer},
        {"LTYPE", ObjectKind::LineType},
        {"BLOCK", ObjectKind::Block},
        {"ENDBLK", ObjectKind::EndBlock},
        {"POINT", ObjectKind::Point},
        {"LINE", ObjectKind::Line},
        {"POLYLINE", ObjectKind::Polyline},
        {"LWPOLYLINE", ObjectKind::LwPolyline},
        {"VERTEX", ObjectKind::Vertex},
        {"SPLINE", ObjectKind::Spline},
        {"ARC", ObjectKind::Arc},
        {"CIRCLE", ObjectKind::Circle},
        {"ELLIPSE", ObjectKind::Ellipse},
        {"INSERT", ObjectKind::Insert},
        {"DIMENSION", ObjectKind::Dimension},
        {"HATCH", ObjectKind::Hatch},
        {"SEQEND", ObjectKind::SeqEnd},
        {"XLINE", ObjectKind::NoFigure},
        {"RAY", ObjectKind::NoFigure},
        {"TRACE", ObjectKind::NoFigure},
        {"3DFACE", ObjectKind::NoFigure},
        {"SOLID", ObjectKind::NoFigure},
        {"MTEXT", ObjectKind::NoFigure},
        {"TEXT", ObjectKind::NoFigure},
        {"ARCALIGNEDTEXT", ObjectKind::NoFigure},
        {"ATTRIB", ObjectKind::NoFigure},
        {"LEADER", ObjectKind::NoFigure},
        {"IMAGE", ObjectKind::NoFigure}};
    if (!name.empty() && name.front() == '$') return ObjectKind::Setting;
    const auto kind = kinds.find(name);
    return kind == kinds.end() ? ObjectKind::Other : kind->second;
}

// Builds the drawing from the groups of the file. Each entity becomes a shape: those of the model
// are placed at once (a block reference with its block), those of a block definition are kept for
// the references. Entities of the model that the drawing has no figure for are counted by kind
// and reason; what paper space holds the scan has counted.
class DrawingBuilder : public DxfGroups {
public:
    // `passedText` is told where the text read so far ends, object by object.
    DrawingBuilder(Drawing& drawing, ScannedDxf& scanned, const std::string& fileName,
                   ProgressSteps& progress, size_t budget,
                   std::function<void(const char*)> passedText)
        : passed_(std::move(passedText)),
          d_(drawing),
          prepared_(scanned),
          fileName_(fileName),
          layers_(drawing, [this](const std::string& name) { return text_.toUtf8(name); }),
          placer_(
              drawing, blocks_, [this](const std::string& name) { return layerOf(name); },
              [this](const ShapeStyle& style) { return elementStyleOf(style); }, fileName,
              scanned.leftOut, budget, [&progress] { progress.poll(); }) {}

    // The line where the object being read begins, or where the reading failed.
    int objectLine() const { return failed_ ? failedLine_ : objectLine_; }

    void group(int code, std::string_view value, int line) override {
        guarded([&] { read(code, value, line); });
    }
    void polyface(int line, PolyfaceOutline outline) override {
        guarded([&] { takeMesh(line, std::move(outline)); });
    }
    void passed(const char* at) override {
        if (passed_) passed_(at);
    }

    // Once the scan has read the whole file: what the drawing's last objects make, or the first
    // fault the building met.
    void finish() {
        if (failed_) std::rethrow_exception(failed_);
        finishPending();
        // A polyface mesh the file ended inside.
        if (mesh_) leaveOutOf(mesh_->block, LeftOutReason::ThreeD, "POLYLINE");
        // References that came before their block was defined.
        for (const Shape& shape : waiting_)
            if (!placer_.place(shape)) leaveOut(LeftOutReason::MissingBlock, "INSERT");
        if (!currentLayerName_.empty()) d_.setCurrentLayer(layerOf(currentLayerName_));
        if (dimensionText_ > 0.0 && std::isfinite(dimensionText_)) {
            // A scale of 0 fits dimensions to a sheet's viewport, which the model has not.
            const double scale =
                dimensionScale_ > 0.0 && std::isfinite(dimensionScale_) ? dimensionScale_ : 1.0;
            if (std::isfinite(dimensionText_ * scale))
                d_.setDimensionTextHeight(dimensionText_ * scale);
        }
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

private:
    // A fault the file's content makes (a figure out of range, a spline that does not fit
    // together) is told once the scan has checked the whole file: a fault of its form, wherever
    // it lies, comes first. Building stops at the first; being cancelled stops all at once.
    template <typename Work>
    void guarded(Work&& work) {
        if (failed_) return;
        try {
            work();
        } catch (const Cancelled&) {
            throw;
        } catch (...) {
            failed_ = std::current_exception();
            failedLine_ = objectLine_;
        }
    }

    void read(int code, std::string_view value, int line) {
        if (code == 0 || code == 9) return nextObject(code, value, line);
        // Codes whose repeats make a list; the last of every code counts as well.
        if (kind_ == ObjectKind::LwPolyline) lwPolylineGroup(code, value);
        if (kind_ == ObjectKind::Spline) splineGroup(code, value);
        if (kind_ == ObjectKind::LineType && code == 49) dashes_.push_back(realValue(value));
        // Extended data belongs to an application, not to the object.
        if (code < 1000) values_.set(code, value);
    }

    void takeMesh(int line, PolyfaceOutline outline) {
        if (!mesh_ || mesh_->line != line) return;
        const PendingMesh mesh = std::move(*mesh_);
        mesh_.reset();
        if (!outline.flat || outline.chains.empty())
            return leaveOutOf(mesh.block, LeftOutReason::ThreeD, "POLYLINE");
        for (const PolyfaceOutline::Chain& chain : outline.chains) {
            PolylineShape shape;
            for (const Point& p : chain.points) shape.vertices.push_back({p, 0.0});
            shape.closed = chain.closed;
            deliverTo(mesh.block, Shape{std::move(shape), mesh.style, mesh.line});
        }
    }

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

    // A group 0 or 9: the object read so far is complete and takes effect.
    void nextObject(int code, std::string_view value, int line) {
        endObject(code);
        values_.clear();
        const ObjectKind previous = kind_;
        kind_ = kindOf(value);
        typeName_ = settingKey_ = value;
        objectLine_ = line;
        // The vertices of a polyline end with the first object that is none.
        if (previous == ObjectKind::Vertex && kind_ != ObjectKind::Vertex) finishPending();
    }

    void endObject(int endingCode) {
        switch (kind_) {
            case ObjectKind::Setting:
                return setting();
            case ObjectKind::Layer:
                return addLayer();
            case ObjectKind::LineType:
                return addLineType();
            case ObjectKind::Block:
                return addBlock();
            case ObjectKind::EndBlock:
                finishPending();
                block_.reset();
                return;
            case ObjectKind::Point:
                if (take("POINT")) deliver(DotShape{at(10, 20)});
                return;
            case ObjectKind::Line:
                if (take("LINE")) deliver(LineShape{at(10, 20), at(11, 21)});
                return;
            case ObjectKind::Arc:
                return addArc();
            case ObjectKind::Circle:
                return addCircle();
            case ObjectKind::Ellipse:
                return addEllipse();
            case ObjectKind::Insert:
                return addInsert();
            case ObjectKind::Polyline:
            case ObjectKind::LwPolyline:
                return addPolyline();
            case ObjectKind::Vertex:
                return addVertex();
            case ObjectKind::Spline:
                return addSpline();
            case ObjectKind::Dimension:
                // Kinds 0 to 6; a seventh is no dimension anyone reads.
                if ((values_.whole(70, 0) & 7) != 7) other("DIMENSION");
                return;
            case ObjectKind::Hatch:
                // A hatch ends at the next entity, not at a variable.
                if (endingCode == 0) other("HATCH");
                return;
            case ObjectKind::NoFigure:
                return other(std::string(typeName_));
            case ObjectKind::SeqEnd:
                return finishPending();
            case ObjectKind::Other:
                return;
        }
    }

    // The header's variables that tell how to read the rest: they come before the tables and
    // entities whose names they decode. A variable's value is its lowest group.
    void setting() {
        // The dimension texts' height and its scale, which size the annotations drawn.
        if (settingKey_ == "$DIMTXT" && values_.has(40)) dimensionText_ = values_.real(40, 0.0);
        if (settingKey_ == "$DIMSCALE" && values_.has(40)) dimensionScale_ = values_.real(40, 1.0);
        const int code = values_.lowest();
        if (code > 9) return;
        const std::string_view value = values_.text(code);
        if (settingKey_ == "$CLAYER") currentLayerName_ = value;
        if (settingKey_ == "$ACADVER") text_.setVersion(value);
        if (settingKey_ == "$DWGCODEPAGE") text_.setCodePage(value);
    }

    void addLineType() {
        const std::string name = values_.string(2, "");
        if (name.empty()) return;
        // The dashes of an entry with no name, or named "by layer" or "by block", go on to the
        // next entry, as they always have.
        if (name == "By Layer" || name == "By Block" || name == "BYLAYER" || name == "BYBLOCK")
            return;
        lineTypePatterns_[asciiUpper(name)] = std::move(dashes_);
        lineTypeDescriptions_[asciiUpper(name)] = values_.string(3, "");
        dashes_.clear();
        lineTypesByName_.clear();  // a name asked for before may now have a pattern
        elementStyles_.clear();
    }

    // A layer's colour and line type are what its "by layer" entities are drawn in; a
    // negative colour index only says the layer is off.
    void addLayer() {
        const std::string name = values_.string(2, "");
        if (name.empty()) return;
        const int index = values_.whole(62, 256), color24 = values_.whole(420, -1);
        const std::string lineType = values_.string(6, "BYLAYER");
        FileStyle file;
        // Kept where a file written of the drawing would say otherwise: 0 and 256 say nothing of
        // a layer's colour, and a layer without a colour or line type of the host's is written in
        // colour 7 and continuous.
        const bool trueColor = color24 >= 0 && color24 <= 0xFFFFFF;
        if (trueColor || (index != 7 && std::abs(index) >= 1 && std::abs(index) <= 255))
            file.color = FileColor{std::clamp(index, -255, 255), trueColor ? color24 : -1};
        file.hostColor = hostColorOf(index, color24);
        file.hostLineType = lineTypeOf(lineType);
        if (asciiUpper(lineType) != "CONTINUOUS") file.lineType = fileLineTypeOf(lineType);
        const int number = file.color || file.lineType >= 0 ? d_.fileStyles().add(file) : 0;
        d_.setLayerStyle(layerOf(name), file.hostColor, file.hostLineType, number);
    }

    void addBlock() {
        const std::string name = values_.string(2, "");
        if (name.empty()) return;
        finishPending();
        block_ = blockKey(name);
        blocks_[*block_] = BlockDefinition{at(10, 20), {}, {}};
    }

    void addArc() {
        if (!take("ARC") || !drawable(values_.real(40, 0.0), "ARC")) return;
        ArcShape arc{at(10, 20), values_.real(40, 0.0), radians(values_.real(50, 0.0)),
                     radians(values_.real(51, 0.0)), false};
        if (mirrored()) {  // seen from below: x runs the other way and so does the arc
            arc.centre = flip(arc.centre);
            arc = {arc.centre, arc.radius, kPi - arc.end, kPi - arc.start, false};
        }
        arc.end = arc.start + counterClockwiseSweep(arc.start, arc.end);
        deliver(arc);
    }

    void addCircle() {
        if (!take("CIRCLE") || !drawable(values_.real(40, 0.0), "CIRCLE")) return;
        Point c = at(10, 20);
        if (mirrored()) c = flip(c);
        deliver(ArcShape{c, values_.real(40, 0.0), 0.0, 2 * kPi, true});
    }

    void addEllipse() {
        if (!take("ELLIPSE")) return;
        // Centre and axis are in world coordinates; seen from below, the minor axis (the
        // normal crossed with the major) points the other way.
        const Point u = at(11, 21);
        const double ratio = real(values_.real(40, 1.0));
        if (!(length(u) > 0.0) || !(ratio > 0.0) || ratio > 1.0 + kRatioSlack)
            fail("an ELLIPSE needs a major axis and a ratio from 0 to 1", objectLine());
        const Point v = Point{-u.y, u.x} * (ratio * (mirrored() ? -1.0 : 1.0));
        // Parameters are directions: any number of whole turns away is the same one. Ends whole
        // turns apart, give or take the writer's rounding, make a whole ellipse; ends the same
        // too, as writers give it.
        double t0 = real(values_.real(41, 0.0)), t1 = real(values_.real(42, 2 * kPi));
        double sweep = counterClockwiseSweep(t0, t1);
        const bool turnsApart =
            sweep > 2 * kPi - kFullTurn || (sweep < kFullTurn && std::fabs(t1 - t0) > kFullTurn);
        const bool full =
            t0 == t1 || std::fabs(std::fabs(t1 - t0) - 2 * kPi) < kFullTurn || turnsApart;
        t0 = full ? 0.0 : turnRemainder(t0);
        if (full) sweep = 2 * kPi;
        deliver(EllipseShape{at(10, 20), u, v, t0, t0 + sweep, full});
    }

    void addInsert() {
        const std::string name = values_.string(2, "");
        if (name.empty() || !take("INSERT")) return;
        InsertShape insert;
        insert.block = name;
        insert.at = at(10, 20);
        insert.scaleX = real(values_.real(41, 1.0));
        insert.scaleY = real(values_.real(42, 1.0));
        insert.rotation = radians(values_.real(50, 0.0));
        insert.columns = std::max(values_.whole(70, 1), 1);
        insert.rows = std::max(values_.whole(71, 1), 1);
        insert.columnSpacing = real(values_.real(44, 0.0));
        insert.rowSpacing = real(values_.real(45, 0.0));
        insert.mirrored = mirrored();
        if (insert.scaleX == 0.0 || insert.scaleY == 0.0)
            fail("a block reference scaled by 0", objectLine());
        deliver(insert);
    }

    // An LWPOLYLINE's vertices come within it, as many as its group 90 makes room for; a
    // POLYLINE's follow it as VERTEX objects.
    void addPolyline() {
        startPolyline(values_.whole(70, 0));
        maxVertices_ = std::min(maxVertices_, vertexIndex_ + 1);
        if (kind_ != ObjectKind::LwPolyline) return;
        for (int i = 0; i < maxVertices_; ++i) {
            const std::array<double, 4>& v = lwVertices_[static_cast<size_t>(i)];
            vertex(v[0], v[1], v[2], v[3]);
        }
        finishPending();
    }

    void lwPolylineGroup(int code, std::string_view value) {
        if (code == 90) {
            maxVertices_ = intOf(value);
            if (maxVertices_ > 0) lwVertices_.assign(static_cast<size_t>(maxVertices_), {});
            vertexIndex_ = -1;
        } else if (code == 10 || code == 20 || code == 30 || code == 42) {
            if (vertexIndex_ < maxVertices_ - 1 && code == 10) ++vertexIndex_;
            if (vertexIndex_ >= 0 && vertexIndex_ < maxVertices_)
                lwVertices_[static_cast<size_t>(vertexIndex_)][code == 42 ? 3 : code / 10 - 1] =
                    realValue(value);
        }
    }

    void startPolyline(int flags) {
        finishPending();
        if (!take("POLYLINE")) return;
        // A mesh is a surface; a polyface mesh is read as its outline where it is flat, a 3D
        // polyline where it is flat.
        if (flags & 16) return leaveOut(LeftOutReason::ThreeD, "POLYLINE");
        if (flags & 64) {
            mesh_ = PendingMesh{style(), objectLine(), block_};
            return;
        }
        const bool threeD = (flags & 8) != 0;
        polyline_ = PendingPolyline{
            style(), (flags & 1) != 0, !threeD && mirrored(), threeD, objectLine(), {}, {}};
    }

    void addVertex() {
        // A vertex that names a face of a mesh (flag 128 without 64) has no point.
        const int flags = values_.whole(70, 0);
        if ((flags & 128) && !(flags & 64)) return;
        vertex(values_.real(10, 0.0), values_.real(20, 0.0), values_.real(30, 0.0),
               values_.real(42, 0.0));
    }

    void vertex(double x, double y, double z, double bulge) {
        if (!polyline_) return;
        // A 3D polyline's vertices are in world coordinates and have no bulges.
        polyline_->vertices.push_back({point(x, y), polyline_->threeD ? 0.0 : real(bulge)});
        // Only a 3D polyline's heights tell anything; every height is checked all the same.
        real(z);
        if (polyline_->threeD) polyline_->heights.push_back(z);
    }

    void splineGroup(int code, std::string_view value) {
        const auto grow = [&](auto& list, int& count, auto fill) {
            count = intOf(value);
            if (count > 0) list.assign(static_cast<size_t>(count), fill);
        };
        const auto room = [](int index, int count) { return index >= 0 && index < count; };
        switch (code) {
            case 72:
                grow(knots_, maxKnots_, 0.0);
                knotIndex_ = -1;
                return;
            case 73:
                grow(control_, maxControl_, std::array<double, 3>{});
                if (maxControl_ > 0) weights_.assign(static_cast<size_t>(maxControl_), 1.0);
                controlIndex_ = weightIndex_ = -1;
                return;
            case 74:
                grow(fit_, maxFit_, std::array<double, 3>{});
                fitIndex_ = -1;
                return;
            case 40:
                if (knotIndex_ < maxKnots_ - 1)
                    knots_[static_cast<size_t>(++knotIndex_)] = realValue(value);
                return;
            case 10:
            case 20:
            case 30:
                if (controlIndex_ < maxControl_ - 1 && code == 10) ++controlIndex_;
                if (room(controlIndex_, maxControl_))
                    control_[static_cast<size_t>(controlIndex_)][code / 10 - 1] = realValue(value);
                return;
            case 11:
            case 21:
            case 31:
                if (fitIndex_ < maxFit_ - 1 && code == 11) ++fitIndex_;
                if (room(fitIndex_, maxFit_))
                    fit_[static_cast<size_t>(fitIndex_)][(code - 1) / 10 - 1] = realValue(value);
                return;
            case 41:
                if (weightIndex_ < maxControl_ - 1) ++weightIndex_;
                if (room(weightIndex_, maxControl_))
                    weights_[static_cast<size_t>(weightIndex_)] = realValue(value);
                return;
            default:
                return;
        }
    }

    void addSpline() {
        if (!take("SPLINE")) return;
        PendingSpline s;
        s.curve.degree = values_.whole(71, 3);
        s.line = objectLine();
        s.style = style();
        for (int i = 0; i < maxControl_; ++i) {
            const auto& c = control_[static_cast<size_t>(i)];
            s.curve.control.push_back(point(c[0], c[1]));
            s.curve.weights.push_back(real(weights_[static_cast<size_t>(i)]));
        }
        for (int i = 0; i < maxFit_; ++i) {
            const auto& f = fit_[static_cast<size_t>(i)];
            s.fit.push_back(point(f[0], f[1]));
        }
        for (int i = 0; i < maxKnots_; ++i)
            s.curve.knots.push_back(real(knots_[static_cast<size_t>(i)]));
        spline_ = std::move(s);
        finishPending();
    }

    // An entity of a block definition, or of the model (not in paper space, which the scan
    // has counted already).
    bool inModel() const { return !block_ && !prepared_.paper.count(objectLine()); }
    bool wanted() const { return block_ || inModel(); }

    // In a block definition, counted for every copy of the block placed.
    void leaveOut(LeftOutReason reason, const std::string& type) {
        leaveOutOf(block_, reason, type);
    }
    void leaveOutOf(const std::optional<std::string>& block, LeftOutReason reason,
                    const std::string& type) {
        (block ? blocks_[*block].leftOut : prepared_.leftOut).add(reason, type);
    }

    // An entity of the model or of a block of a kind that is no figure.
    void other(const std::string& type) {
        finishPending();
        if (wanted()) leaveOut(reasonForKind(type), type);
    }

    // True for an entity on the drawing plane, of the model or of a block definition; one of
    // the model off the plane is counted.
    bool take(const char* type) {
        finishPending();
        if (!wanted()) return false;
        const double nx = values_.real(210, 0.0), ny = values_.real(220, 0.0);
        if (std::fabs(nx) > 1e-9 || std::fabs(ny) > 1e-9 || !(std::fabs(normalZ()) > 0.0)) {
            leaveOut(LeftOutReason::ThreeD, type);
            return false;
        }
        return true;
    }

    // The entity's extrusion direction's z; one whose extrusion points down has its own x axis
    // reversed.
    double normalZ() const { return values_.real(230, 1.0); }
    bool mirrored() const { return normalZ() < 0.0; }
    static Point flip(Point p) { return {-p.x, p.y}; }

    ShapeStyle style() const {
        const int color = values_.whole(62, 256), color24 = values_.whole(420, -1);
        return {values_.string(8, "0"), color24, color == 0 && color24 == -1, color,
                values_.string(6, "BYLAYER")};
    }

    // Into the block being defined, or into the drawing; a reference whose block is not
    // defined yet waits for the end of the file.
    void deliver(Shape shape) { deliverTo(block_, std::move(shape)); }
    void deliverTo(const std::optional<std::string>& block, Shape shape) {
        if (block) return blocks_[*block].shapes.push_back(std::move(shape));
        if (!placer_.place(shape)) waiting_.push_back(std::move(shape));
    }
    template <typename Geometry>
    void deliver(Geometry geometry) {
        deliver(Shape{std::move(geometry), style(), objectLine()});
    }

    [[noreturn]] void fail(const std::string& message, int line) const {
        throw FileError(fileName_, line, message);
    }

    // Nothing this large is a drawing's.
    double real(double v) const {
        if (!std::isfinite(v) || std::fabs(v) > kLargestCoordinate)
            fail("a number is out of range", objectLine());
        return v;
    }
    Point point(double x, double y) const { return {real(x), real(y)}; }
    // The point of the object's groups of these codes.
    Point at(int xCode, int yCode) const {
        return point(values_.real(xCode, 0.0), values_.real(yCode, 0.0));
    }
    // An angle in degrees as a direction: whole turns taken off in degrees, where they are exact.
    double radians(double degrees) const {
        return std::fmod(real(degrees), 360.0) * kRadiansPerDegree;
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

    struct PendingMesh {
        ShapeStyle style;
        int line = 0;
        std::optional<std::string> block;  // the block it is part of
    };

    std::function<void(const char*)> passed_;
    Drawing& d_;
    ScannedDxf& prepared_;
    const std::string& fileName_;
    std::map<std::string, BlockDefinition> blocks_;
    std::optional<std::string> block_;  // the block being defined
    FileLayers layers_;
    ShapePlacer placer_;
    std::vector<Shape> waiting_;
    std::string currentLayerName_;
    double dimensionText_ = 0.0;   // $DIMTXT; 0 where the header gives none
    double dimensionScale_ = 1.0;  // $DIMSCALE
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
    std::optional<PendingMesh> mesh_;  // a polyface mesh whose vertices are being read
    std::exception_ptr failed_;        // the first fault met
    int failedLine_ = 0;

    GroupValues values_;  // of the object being read
    ObjectKind kind_ = ObjectKind::Other;
    std::string_view typeName_;    // its group 0
    std::string_view settingKey_;  // a variable's name
    int objectLine_ = 0;
    // The lists of an LWPOLYLINE's vertices (x, y, z, bulge) and a spline's control points,
    // weights, fit points and knots, with their counts and the index last written: all of them
    // carry over to the next object of the kind that gives no count of its own.
    std::vector<std::array<double, 4>> lwVertices_;
    int maxVertices_ = 0, vertexIndex_ = 0;
    std::vector<double> knots_, weights_;
    std::vector<std::array<double, 3>> control_, fit_;
    int maxKnots_ = 0, knotIndex_ = 0, maxControl_ = 0, controlIndex_ = 0, weightIndex_ = 0;
    int maxFit_ = 0, fitIndex_ = 0;
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

DxfReadReport readDxfText(std::string_view text, const std::string& fileName, Drawing& drawing,
                          Progress* progress, const DxfReadLimits& limits,
                          std::function<void(const char*)> passedText = {}) {
    // Some programs start a UTF-8 file with a byte order mark: no part of the first group code.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    ProgressSteps reading(progress, text.size());
    ScannedDxf prepared;
    Drawing result;
    DrawingBuilder builder(result, prepared, fileName, reading, limits.budgetFor(text.size()),
                           std::move(passedText));
    try {
        scanDxf(text, fileName, reading, builder, prepared);
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
    // Mapped where it can be: no copy of the text, and what is read given back as it goes.
    if (const std::unique_ptr<MappedText> mapped = MappedText::open(path))
        return readDxfText(mapped->text(), path, drawing, progress, DxfReadLimits{},
                           [&mapped](const char* at) { mapped->passed(at); });
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, 0, "cannot open the file");
    return readDxfDrawing(in, path, drawing, progress);
}

DxfReadReport readDxfDrawing(std::istream& in, const std::string& fileName, Drawing& drawing,
                             Progress* progress, const DxfReadLimits& limits) {
    std::string text = readWhole(in);
    if (in.bad()) throw FileError(fileName, 0, "cannot read the file");
    return readDxfText(text, fileName, drawing, progress, limits);
}

}  // namespace vel

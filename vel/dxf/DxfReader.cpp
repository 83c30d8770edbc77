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
#include <iterator>
#include <optional>
#include <streambuf>

#include "vel/dxf/DxfScan.h"
#include "vel/dxf/DxfText.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

constexpr double kLargestCoordinate = 1e100;

// A stream over the prepared text that can tell how far dxflib has read.
class TextBuffer : public std::streambuf {
public:
    explicit TextBuffer(std::string& text) {
        setg(text.data(), text.data(), text.data() + text.size());
    }
    size_t consumed() const { return static_cast<size_t>(gptr() - eback()); }
};

// Builds the drawing from dxflib's callbacks. Entities of the model that the
// drawing has no figure for are counted by kind and reason; what paper space
// holds the scan has counted; block definitions are not entities of the model.
class DrawingBuilder : public DL_CreationAdapter {
public:
    DrawingBuilder(Drawing& drawing, ScannedDxf& scanned, const TextBuffer& buffer,
                   const std::string& fileName)
        : d_(drawing), prepared_(scanned), buffer_(buffer), fileName_(fileName) {}

    // The line where the object dxflib is handing over begins: dxflib hands an
    // object over when it has read the group that starts the next one.
    int objectLine() const {
        const auto& nl = prepared_.newlines;
        const int linesRead = static_cast<int>(
            std::lower_bound(nl.begin(), nl.end(), buffer_.consumed()) - nl.begin());
        const auto& starts = prepared_.objectLines;
        auto it = std::lower_bound(starts.begin(), starts.end(), linesRead - 1);
        return it == starts.begin() ? linesRead : *std::prev(it);
    }

    void finish() {
        finishPolyline();
        if (!currentLayerName_.empty()) d_.setCurrentLayer(layerOf(currentLayerName_));
    }

    void setVariableString(const std::string& key, const std::string& value, int) override {
        // The header comes before the tables and entities whose names these decode.
        if (key == "$CLAYER") currentLayerName_ = value;
        if (key == "$ACADVER") text_.setVersion(value);
        if (key == "$DWGCODEPAGE") text_.setCodePage(value);
    }
    void addLayer(const DL_LayerData& data) override { layerOf(data.name); }
    void addBlock(const DL_BlockData&) override { inBlock_ = true; }
    void endBlock() override { inBlock_ = false; }

    void addPoint(const DL_PointData& data) override {
        if (!take("POINT")) return;
        const Point p = point(data.x, data.y);
        figure(false, {pointFigure(p)});
    }

    void addLine(const DL_LineData& data) override {
        if (!take("LINE")) return;
        figure(false, {lineFigure(point(data.x1, data.y1), point(data.x2, data.y2))});
    }

    void addArc(const DL_ArcData& data) override {
        if (!take("ARC")) return;
        const double r = radius(data.radius, "an ARC");
        const double a1 = real(data.angle1) * M_PI / 180.0, a2 = real(data.angle2) * M_PI / 180.0;
        Point c = point(data.cx, data.cy);
        Point from = c + Point{r * std::cos(a1), r * std::sin(a1)};
        Point to = c + Point{r * std::cos(a2), r * std::sin(a2)};
        if (mirrored()) {  // seen from below: x runs the other way and so does the arc
            c = flip(c);
            std::swap(from, to);
            from = flip(from);
            to = flip(to);
        }
        figure(false, {arcFigure(c, r, from, to)});
    }

    void addCircle(const DL_CircleData& data) override {
        if (!take("CIRCLE")) return;
        const double r = radius(data.radius, "a CIRCLE");
        Point c = point(data.cx, data.cy);
        if (mirrored()) c = flip(c);
        FigureElement f;
        f.type = FigureType::Circle;
        f.values[0] = c.x;
        f.values[1] = c.y;
        f.values[2] = r;
        figure(false, {f});
    }

    void addPolyline(const DL_PolylineData& data) override {
        finishPolyline();
        if (!take("POLYLINE")) return;
        // 3D polylines, meshes and polyface meshes lie outside the drawing plane.
        if (data.flags & (8 | 16 | 64)) return leaveOut(LeftOutReason::ThreeD, "POLYLINE");
        polyline_ =
            PendingPolyline{getAttributes(), (data.flags & 1) != 0, mirrored(), objectLine(), {}};
    }

    void addVertex(const DL_VertexData& data) override {
        if (!polyline_) return;
        polyline_->vertices.push_back({point(data.x, data.y), real(data.bulge)});
    }

    void endEntity() override { finishPolyline(); }
    void endSequence() override { finishPolyline(); }

    // Entity kinds with no figure in the drawing.
    void addXLine(const DL_XLineData&) override { other("XLINE"); }
    void addRay(const DL_RayData&) override { other("RAY"); }
    void addEllipse(const DL_EllipseData&) override { other("ELLIPSE"); }
    void addSpline(const DL_SplineData&) override { other("SPLINE"); }
    void addInsert(const DL_InsertData&) override { other("INSERT"); }
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
    struct Vertex {
        Point p;
        double bulge = 0.0;
    };
    struct PendingPolyline {
        DL_Attributes attributes;
        bool closed = false;
        bool mirrored = false;
        int line = 0;
        std::vector<Vertex> vertices;
    };

    // An entity of the model: not in a block definition and not in paper space,
    // which the scan has counted already.
    bool inModel() const { return !inBlock_ && !prepared_.paper.count(objectLine()); }

    void leaveOut(LeftOutReason reason, const char* type) { prepared_.leftOut.add(reason, type); }

    // An entity of the model of a kind that is no figure.
    void other(const char* type) {
        if (inModel()) leaveOut(ReasonForKind(type), type);
    }
    void dimension() { other("DIMENSION"); }

    // True for an entity of the model on the drawing plane; one off it is counted.
    bool take(const char* type) {
        if (!inModel()) return false;
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

    double radius(double r, const char* entity) const {
        if (!(real(r) > 0.0))
            fail(std::string(entity) + " with a radius of 0 or less", objectLine());
        return r;
    }

    static FigureElement pointFigure(Point p) {
        FigureElement f;
        f.type = FigureType::Point;
        f.values[0] = p.x;
        f.values[1] = p.y;
        return f;
    }

    static FigureElement lineFigure(Point a, Point b) {
        FigureElement f;
        f.type = FigureType::Line;
        f.values[0] = a.x;
        f.values[1] = a.y;
        f.values[2] = b.x;
        f.values[3] = b.y;
        return f;
    }

    static FigureElement arcFigure(Point c, double r, Point from, Point to) {
        FigureElement f;
        f.type = FigureType::Arc;
        const double v[] = {c.x, c.y, from.x, from.y, to.x, to.y, r};
        std::copy(std::begin(v), std::end(v), f.values);
        return f;
    }

    // A name of digits is that layer number; any other name gets a number of its own.
    int layerOf(const std::string& given) {
        const size_t first = given.find_first_not_of(" \t");
        const std::string name =
            first == std::string::npos
                ? ""
                : given.substr(first, given.find_last_not_of(" \t") - first + 1);
        if (name.empty()) return 0;  // entities without a layer belong to layer 0
        const bool numeric = name.size() <= 9 && std::all_of(name.begin(), name.end(), [](char c) {
                                 return c >= '0' && c <= '9';
                             });
        if (numeric) {
            const int number = std::stoi(name);
            d_.createLayer(number);
            return number;
        }
        return d_.layerForName(text_.toUtf8(name));
    }

    void figure(bool closed, const std::vector<FigureElement>& elements) {
        figure(getAttributes(), closed, elements);
    }

    void figure(const DL_Attributes& a, bool closed, const std::vector<FigureElement>& elements) {
        const int id = d_.createSegment(SegmentKind::Figure);
        Segment* s = d_.segment(id);
        s->layer = layerOf(a.getLayer());
        s->closed = closed;
        std::optional<int> color;
        if (a.getColor24() != -1) color = paletteColorOf(rgbOfTrueColor(a.getColor24()));
        const std::optional<int> lineType = lineTypeOfName(a.getLinetype());
        for (const FigureElement& f : elements) {
            Element* e = d_.element(d_.appendElement(id, f));
            e->color = color;
            e->lineType = lineType;
        }
    }

    // A bulge is tan(sweep / 4), positive counter-clockwise. A clockwise piece
    // becomes the counter-clockwise arc from its end back to its start: elements
    // stay in the order of the vertices, only such an arc's own ends are swapped.
    FigureElement pieceFigure(Point p, Point q, double bulge, int line) const {
        if (std::fabs(bulge) < 1e-12) return lineFigure(p, q);
        const Point chord = q - p;
        const double d = length(chord);
        const Point left{-chord.y / d, chord.x / d};
        const Point centre = (p + q) * 0.5 + left * (d / 2 * (1 - bulge * bulge) / (2 * bulge));
        const double r = d * (1 + bulge * bulge) / (4 * std::fabs(bulge));
        if (!std::isfinite(bulge)) fail("a polyline bulge is out of range", line);
        // So slight a bulge that its circle lies beyond any drawing is its chord.
        if (!(r <= kLargestCoordinate) || !(std::fabs(centre.x) <= kLargestCoordinate) ||
            !(std::fabs(centre.y) <= kLargestCoordinate))
            return lineFigure(p, q);
        return bulge > 0 ? arcFigure(centre, r, p, q) : arcFigure(centre, r, q, p);
    }

    void finishPolyline() {
        if (!polyline_) return;
        PendingPolyline pl = std::move(*polyline_);
        polyline_.reset();
        if (pl.vertices.empty()) return leaveOut(LeftOutReason::Empty, "POLYLINE");
        if (pl.mirrored)
            for (Vertex& v : pl.vertices) {
                v.p = flip(v.p);
                v.bulge = -v.bulge;
            }
        const size_t n = pl.vertices.size();
        std::vector<FigureElement> elements;
        const size_t pieces = pl.closed && n > 1 ? n : n - 1;
        for (size_t i = 0; i < pieces; ++i) {
            const Vertex& a = pl.vertices[i];
            const Vertex& b = pl.vertices[(i + 1) % n];
            if (distance(a.p, b.p) <= kCoincidence) continue;  // repeated vertex
            elements.push_back(pieceFigure(a.p, b.p, a.bulge, pl.line));
        }
        if (elements.empty()) elements.push_back(pointFigure(pl.vertices.front().p));
        figure(pl.attributes, pl.closed && elements.size() > 1, elements);
    }

    Drawing& d_;
    ScannedDxf& prepared_;
    const TextBuffer& buffer_;
    const std::string& fileName_;
    bool inBlock_ = false;
    std::string currentLayerName_;
    DxfTextDecoder text_;
    std::optional<PendingPolyline> polyline_;
};

DxfReadReport readDxfText(const std::string& text, const std::string& fileName, Drawing& drawing) {
    ScannedDxf prepared = ScanDxf(text, fileName);
    TextBuffer buffer(prepared.content);
    std::istream stream(&buffer);
    Drawing result;
    DrawingBuilder builder(result, prepared, buffer, fileName);
    DL_Dxf dxf;
    try {
        if (!dxf.in(stream, &builder)) throw FileError(fileName, 0, "dxflib cannot read the file");
        builder.finish();
    } catch (const FileError&) {
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

DxfReadReport readDxfDrawing(const std::string& path, Drawing& drawing) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, 0, "cannot open the file");
    return readDxfDrawing(in, path, drawing);
}

DxfReadReport readDxfDrawing(std::istream& in, const std::string& fileName, Drawing& drawing) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileError(fileName, 0, "cannot read the file");
    return readDxfText(text, fileName, drawing);
}

}  // namespace vel

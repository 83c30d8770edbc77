// DxfWriter.cpp - writing a drawing as DXF through dxflib: every segment as
// drawn (corners cut), in the host's colours and line types, with dimension and
// leader texts.
#include "vel/dxf/DxfFormat.h"

// dxflib's headers are not clean under our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#include <dl_dxf.h>
#include <dl_writer_ascii.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <set>

#include "vel/io/DrawingView.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

// dxflib writes through DL_WriterA, which only knows files; this one collects
// the groups in memory so that nothing reaches the stream unless all of it can.
class StringDxfWriter : public DL_WriterA {
public:
    explicit StringDxfWriter(std::string& out) : DL_WriterA("", DL_VERSION_2000), out_(out) {}

    void dxfReal(int gc, double value) const override { group(gc, real(value)); }
    void dxfInt(int gc, int value) const override { group(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
        group(gc, buf);
    }
    void dxfString(int gc, const char* value) const override { group(gc, value ? value : ""); }
    void dxfString(int gc, const std::string& value) const override { group(gc, value); }

private:
    void group(int gc, const std::string& value) const {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%3d\n", gc);
        out_ += buf;
        out_ += value;
        out_ += '\n';
    }

    // The shortest text that reads back as the same number, always with a point.
    static std::string real(double v) {
        if (!std::isfinite(v)) v = 0.0;  // drawings are checked before writing
        char buf[400];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
        std::string s = ec == std::errc{} ? std::string(buf, end) : std::to_string(v);
        if (s.find('.') == std::string::npos) s += ".0";
        return s;
    }

    std::string& out_;
};

// Characters DXF readers take as structure or refuse in names.
std::string dxfName(const std::string& name) {
    std::string out;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        out += (u < 0x20 || std::string_view("<>/\\\":;?*|=`").find(c) != std::string_view::npos)
                   ? '_'
                   : c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(out.begin());
    if (out.size() > 255) {
        size_t cut = 255;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
    }
    return out;
}

// Text values are single lines of at most 250 bytes, cut between characters.
// Characters beyond ASCII go out as \U+XXXX escapes: a drawing of this version
// has no fixed code page, and the escape reads the same in every reader.
std::vector<std::string> dxfTextLines(const std::string& text) {
    std::string clean;
    for (char16_t c : toUtf16(text)) {
        if (c < 0x20) {
            clean += ' ';
        } else if (c < 0x80) {
            clean += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(c));
            clean += escape;
        }
    }
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < clean.size()) {
        size_t cut = std::min(clean.size(), at + 250);
        // Never cut an escape in two.
        const size_t escape = cut < clean.size() ? clean.rfind("\\U+", cut - 1) : std::string::npos;
        if (escape != std::string::npos && escape > at && escape + 7 > cut) cut = escape;
        lines.push_back(clean.substr(at, cut - at));
        at = cut;
    }
    return lines;
}

// The nearest of the basic DXF colour indexes, for readers that ignore true colour.
int nearestBasicColorIndex(Rgb rgb) {
    static constexpr std::array<std::array<int, 4>, 9> kBasic{{{1, 255, 0, 0},
                                                               {2, 255, 255, 0},
                                                               {3, 0, 255, 0},
                                                               {4, 0, 255, 255},
                                                               {5, 0, 0, 255},
                                                               {6, 255, 0, 255},
                                                               {7, 255, 255, 255},
                                                               {8, 128, 128, 128},
                                                               {9, 192, 192, 192}}};
    int best = 7;
    long bestDistance = -1;
    for (const auto& [index, r, g, b] : kBasic) {
        const long d =
            (r - rgb.r) * (r - rgb.r) + (g - rgb.g) * (g - rgb.g) + (b - rgb.b) * (b - rgb.b);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = index;
        }
    }
    return best;
}

std::string lineTypeName(int number) {
    return isKnownLineType(number) ? std::string(lineTypeStyle(number).name) : "CONTINUOUS";
}

// In [0, 360), as DXF angles are usually given.
double degrees(double radians) {
    const double d = std::fmod(radians * 180.0 / M_PI, 360.0);
    return d < 0.0 ? d + 360.0 : d;
}

class DxfWriter : public DrawingWriter {
public:
    void write(const Drawing& drawing, std::ostream& out) const override {
        requireFiniteDrawing(drawing);
        const DrawingView view = viewOf(drawing);
        const std::map<int, std::string> layers = layerNames(drawing, view);

        std::string text;
        StringDxfWriter dw(text);
        DL_Dxf dxf;

        dxf.writeHeader(dw);
        const auto current = layers.find(drawing.currentLayer());
        if (current != layers.end()) {
            dw.dxfString(9, "$CLAYER");
            dw.dxfString(8, current->second);
        }
        dw.dxfString(9, "$LTSCALE");
        dw.dxfReal(40, 1.0);
        if (!view.extents.empty()) {
            dw.dxfString(9, "$EXTMIN");
            dw.coord(10, view.extents.minX, view.extents.minY);
            dw.dxfString(9, "$EXTMAX");
            dw.coord(10, view.extents.maxX, view.extents.maxY);
        }
        dw.sectionEnd();

        dw.sectionTables();
        dxf.writeVPort(dw);
        writeLineTypes(dxf, dw, view);
        dw.tableLayers(static_cast<int>(layers.size()));
        for (const auto& [number, name] : layers)
            dxf.writeLayer(dw, DL_LayerData(name, 0), DL_Attributes("", 7, -1, -1, "CONTINUOUS"));
        dw.tableEnd();
        dw.tableStyle(1);
        dxf.writeStyle(dw,
                       DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, view.textHeight, "txt", ""));
        dw.tableEnd();
        dxf.writeView(dw);
        dxf.writeUcs(dw);
        dw.tableAppid(1);
        dxf.writeAppid(dw, "ACAD");
        dw.tableEnd();
        const double h = view.textHeight;
        dxf.writeDimStyle(dw, h, h / 4, h / 4, h / 4, h);
        dxf.writeBlockRecord(dw);
        dw.tableEnd();
        dw.sectionEnd();

        dw.sectionBlocks();
        for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
            dxf.writeBlock(dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
            dxf.writeEndBlock(dw, block);
        }
        dw.sectionEnd();

        dw.sectionEntities();
        for (const ViewShape& shape : view.shapes)
            writeShape(dxf, dw, shape, attributes(layers.at(shape.layer), shape.stroke));
        for (const ViewText& t : view.texts)
            writeText(dxf, dw, t,
                      attributes(layers.at(t.layer), ViewStroke{t.color, std::nullopt}));
        dw.sectionEnd();

        dxf.writeObjects(dw);
        dxf.writeObjectsEnd(dw);
        dw.dxfEOF();
        out << text;
    }

private:
    // Each layer by its kept name or else its number; names made unique.
    static std::map<int, std::string> layerNames(const Drawing& drawing, const DrawingView& view) {
        std::map<int, std::string> wanted;
        for (const auto& [number, layer] : drawing.layers()) wanted[number] = layer.name;
        for (const ViewShape& s : view.shapes) wanted.try_emplace(s.layer);
        for (const ViewText& t : view.texts) wanted.try_emplace(t.layer);
        std::map<int, std::string> names;
        std::set<std::string> taken;
        for (const auto& [number, name] : wanted) {
            std::string n = dxfName(name);
            if (n.empty()) n = std::to_string(number);
            while (!taken.insert(n).second) n += "_" + std::to_string(number);
            names[number] = n;
        }
        return names;
    }

    static void writeLineTypes(DL_Dxf& dxf, DL_WriterA& dw, const DrawingView& view) {
        std::set<int> used;
        for (const ViewShape& s : view.shapes)
            if (s.stroke.lineType && isKnownLineType(*s.stroke.lineType))
                used.insert(*s.stroke.lineType);
        dw.tableLinetypes(3 + static_cast<int>(used.size()));
        dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
        dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
        dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
        for (int number : used) {
            const LineTypeStyle& style = lineTypeStyle(number);
            // Dashes are positive lengths and gaps negative ones.
            std::vector<double> pattern;
            for (size_t i = 0; i < style.pattern.size(); ++i)
                pattern.push_back((i % 2 ? -1.0 : 1.0) * style.pattern[i] * kLineTypeUnitsPerPixel);
            const std::string description = "host line type " + std::to_string(number);
            dxf.writeLinetype(dw, DL_LinetypeData(std::string(style.name), description, 0,
                                                  static_cast<int>(pattern.size()),
                                                  style.patternLength() * kLineTypeUnitsPerPixel,
                                                  pattern.empty() ? nullptr : pattern.data()));
        }
        dw.tableEnd();
    }

    static DL_Attributes attributes(const std::string& layer, const ViewStroke& stroke) {
        int color = 256, color24 = -1;  // by layer
        if (stroke.color) {
            const Rgb rgb = paletteColor(*stroke.color);
            color = nearestBasicColorIndex(rgb);
            color24 = trueColorValue(rgb);
        }
        const std::string lineType = stroke.lineType ? lineTypeName(*stroke.lineType) : "BYLAYER";
        return DL_Attributes(layer, color, color24, -1, lineType);
    }

    static void writeShape(DL_Dxf& dxf, DL_WriterA& dw, const ViewShape& shape,
                           const DL_Attributes& a) {
        if (const Circle* c = std::get_if<Circle>(&shape.geometry)) {
            dxf.writeCircle(dw, DL_CircleData(c->centre.x, c->centre.y, 0.0, std::fabs(c->radius)),
                            a);
            return;
        }
        if (const Point* p = std::get_if<Point>(&shape.geometry)) {
            dxf.writePoint(dw, DL_PointData(p->x, p->y, 0.0), a);
            return;
        }
        const Path& path = std::get<Path>(shape.geometry);
        if (path.pieces.empty()) return;
        if (path.pieces.size() == 1 && !path.closed) {
            const PathPiece& piece = path.pieces.front();
            if (piece.arc) {
                const Arc& arc = *piece.arc;
                dxf.writeArc(
                    dw,
                    DL_ArcData(arc.centre.x, arc.centre.y, 0.0, std::fabs(arc.radius),
                               degrees(arc.startAngle), degrees(arc.startAngle + arc.sweep())),
                    a);
            } else {
                dxf.writeLine(
                    dw, DL_LineData(piece.from.x, piece.from.y, 0.0, piece.to.x, piece.to.y, 0.0),
                    a);
            }
            return;
        }
        // Vertices with the bulge of the piece that leaves them; an arc of more than
        // a half turn goes in two halves, as bulges grow without bound towards a full turn.
        std::vector<DL_VertexData> vertices;
        for (const PathPiece& piece : path.pieces) {
            if (piece.arc && piece.arc->sweep() > M_PI) {
                const Arc& arc = *piece.arc;
                const double half = std::tan(arc.sweep() / 8.0) * (piece.clockwise ? -1.0 : 1.0);
                const Point mid = arc.pointAt(arc.startAngle + arc.sweep() / 2);
                vertices.emplace_back(piece.from.x, piece.from.y, 0.0, half);
                vertices.emplace_back(mid.x, mid.y, 0.0, half);
            } else {
                vertices.emplace_back(piece.from.x, piece.from.y, 0.0, piece.bulge());
            }
        }
        if (!path.closed)
            vertices.emplace_back(path.pieces.back().to.x, path.pieces.back().to.y, 0.0, 0.0);
        dxf.writePolyline(
            dw, DL_PolylineData(static_cast<int>(vertices.size()), 0, 0, path.closed ? 1 : 0), a);
        for (const DL_VertexData& v : vertices) dxf.writeVertex(dw, v);
        dxf.writePolylineEnd(dw);
    }

    static void writeText(DL_Dxf& dxf, DL_WriterA& dw, const ViewText& t, const DL_Attributes& a) {
        const double rad = t.angleDegrees * M_PI / 180.0;
        const Point down{std::sin(rad), -std::cos(rad)};
        const int justification = t.align == TextAlign::Left     ? 0
                                  : t.align == TextAlign::Centre ? 1
                                                                 : 2;
        const std::vector<std::string> lines = dxfTextLines(t.text);
        for (size_t i = 0; i < lines.size(); ++i) {
            const Point p = t.anchor + down * (1.4 * t.height * static_cast<double>(i));
            dxf.writeText(dw,
                          DL_TextData(p.x, p.y, 0.0, p.x, p.y, 0.0, t.height, 1.0, 0, justification,
                                      0, lines[i], "Standard", rad),
                          a);
        }
    }
};

}  // namespace

std::unique_ptr<DrawingWriter> makeDxfWriter() {
    return std::make_unique<DxfWriter>();
}

}  // namespace vel

// DxfWriter.cpp - writing a drawing as DXF: every segment as
// drawn (corners cut), in the host's colours and line types; dimensions as
// DIMENSION entities with the block of what they show, leaders as LEADER
// entities with their text; the objects every reader expects, each with its owner.
#include "vel/dxf/DxfFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <unordered_map>

#include "vel/dxf/DxfObjects.h"
#include "vel/dxf/DxfTables.h"
#include "vel/dxf/DxfText.h"
#include "vel/dxf/StreamDxfWriter.h"
#include "vel/io/DrawingView.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

// Texts of this many bytes or fewer fit one group; longer MTEXT contents go in
// groups 3 before the last part in group 1.
constexpr size_t kTextGroupBytes = 250;

// The largest cut at or before `at` that falls between two UTF-8 characters.
size_t characterBoundary(const std::string& utf8, size_t at) {
    while (at > 0 && at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

// Names of layers and line types longer than this many bytes are refused by readers.
constexpr size_t kNameBytes = 255;

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
    out.erase(0, out.find_first_not_of(' '));
    if (out.size() > kNameBytes) out.resize(characterBoundary(out, kNameBytes));
    return out;
}

// A single-line value of a table entry, such as a line type's description.
std::string dxfLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (out.size() > kNameBytes) out.resize(characterBoundary(out, kNameBytes));
    return out;
}

// Text values are single lines of at most kTextGroupBytes bytes, cut between characters.
std::vector<std::string> dxfTextLines(const std::string& text) {
    std::string clean = text;
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < clean.size()) {
        const size_t cut = characterBoundary(clean, std::min(clean.size(), at + kTextGroupBytes));
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

// Programs that draw line types by name alone draw a customary name's look;
// the others take the pattern from the table.
std::string lineTypeName(int number) {
    if (!isKnownLineType(number)) return "CONTINUOUS";
    const std::string_view customary = customaryLineTypeName(number);
    return std::string(customary.empty() ? lineTypeStyle(number).name : customary);
}

// In [0, 360), as DXF angles are usually given.
double degrees(double radians) {
    const double d = std::fmod(radians * 180.0 / std::numbers::pi, 360.0);
    return d < 0.0 ? d + 360.0 : d;
}

// Strings in files of this version are UTF-8, so names and texts beyond ASCII
// read back unchanged in every reader without escapes to decode; the groups
// written are those of the version before, all of which this one keeps.
constexpr char kFileVersion[] = "AC1021";
// The next free handle is known once everything is written, after the header
// that names it: the header keeps this many hexadecimal digits for it (handles
// are written as ints), filled in at the end.
constexpr int kHandleSeedDigits = 8;

// DIMENSION group 70: a rotated (linear) dimension whose block only it uses,
// its text placed by us rather than where the reader would put it.
constexpr int kRotatedDimension = 0;
constexpr int kBlockOfThisDimensionOnly = 32;
constexpr int kTextPlacedByUser = 128;

// Text attachment points (DIMENSION and MTEXT group 71).
constexpr int kMiddleCentre = 5;
constexpr int kBottomLeft = 7;
constexpr int kBottomRight = 9;

// MTEXT contents: the characters MTEXT takes as formatting escaped, then split
// into groups between characters, never inside an escape.
std::vector<std::string> mtextChunks(const std::string& text) {
    std::vector<std::string> units;
    for (size_t at = 0; at < text.size();) {
        size_t next = at + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            ++next;
        std::string unit = text.substr(at, next - at);
        if (unit == "\\" || unit == "{" || unit == "}") unit.insert(0, "\\");
        if (static_cast<unsigned char>(unit[0]) < 0x20) unit = " ";
        units.push_back(unit);
        at = next;
    }
    std::vector<std::string> chunks(1);
    for (const std::string& unit : units) {
        if (chunks.back().size() + unit.size() > kTextGroupBytes) chunks.emplace_back();
        chunks.back() += unit;
    }
    return chunks;
}

// A dimension or leader written as such, with the shapes and text that show it.
struct Annotation {
    const Segment* segment = nullptr;
    const Element* element = nullptr;
    std::string block;              // dimensions: the anonymous block of what they show
    unsigned long blockRecord = 0;  // and its record's handle
};

// Each layer by its kept name or else its number; names made unique.
std::map<int, std::string> layerNames(const Drawing& drawing) {
    std::map<int, std::string> wanted;
    for (const auto& [number, layer] : drawing.layers()) wanted[number] = layer.name;
    for (const auto& [id, segment] : drawing.segments()) wanted.try_emplace(segment.layer);
    std::map<int, std::string> names;
    // Other programs take "Walls" and "WALLS" for one layer.
    std::set<std::string> taken;
    for (const auto& [number, name] : wanted) {
        std::string n = dxfName(name);
        if (n.empty()) n = std::to_string(number);
        // A name made unique stays within the limit: the cut makes room for the number.
        const std::string base = n;
        for (int again = 0; !taken.insert(asciiUpper(n)).second; ++again) {
            const std::string suffix =
                "_" + std::to_string(number) + (again ? "_" + std::to_string(again) : "");
            n = base.substr(0, characterBoundary(base, kNameBytes - suffix.size())) + suffix;
        }
        names[number] = n;
    }
    return names;
}

// A line type read from a file while the stroke still has it, unless its name leaves
// nothing to write.
const FileLineType* fileLineTypeOf(const FileStyles& files, const ViewStroke& stroke) {
    const FileLineType* file = files.lineTypeFor(stroke.fileStyle, stroke.lineType);
    return file && !dxfName(file->name).empty() ? file : nullptr;
}

// A host line type's dashes and gaps in drawing units, as a table gives them.
std::vector<double> hostPattern(int number) {
    if (!isKnownLineType(number)) return {};
    const LineTypeStyle& style = lineTypeStyle(number);
    std::vector<double> pattern;
    for (size_t i = 0; i < style.pattern.size(); ++i)
        pattern.push_back((i % 2 ? -1.0 : 1.0) * style.pattern[i] * kLineTypeUnitsPerPixel);
    return pattern;
}

// The exact pattern under the name readers know, the palette name beside it. A line type
// read from a file goes under its own name with its own pattern, or where the file gave
// none with the pattern of the host's line type it was read as; it takes the place of a
// host's line type of the same name, as a table holds a name once.
//
// The line types in use are noted element by element while the drawing's frame is worked out, so
// that a large drawing is gone through once before its entities, not twice.
struct LineTypesInUse {
    std::set<int> used;
    std::map<size_t, std::optional<int>> read;  // file line types, with the host's read as

    void note(const FileStyles& files, const ViewStroke& stroke) {
        if (const FileLineType* file = fileLineTypeOf(files, stroke))
            read.try_emplace(static_cast<size_t>(file - files.lineTypes().data()), stroke.lineType);
        else if (stroke.lineType && isKnownLineType(*stroke.lineType))
            used.insert(*stroke.lineType);
    }
};

void writeLineTypes(StreamDxfWriter& dw, const Drawing& drawing, LineTypesInUse inUse) {
    const FileStyles& files = drawing.fileStyles();
    for (const auto& [number, layer] : drawing.layers())
        inUse.note(files, ViewStroke{layer.color, layer.lineType, layer.fileStyle});
    const std::set<int>& used = inUse.used;
    const std::map<size_t, std::optional<int>>& read = inUse.read;

    struct Entry {
        std::string name;
        std::string description;
        std::vector<double> pattern;  // dashes positive, gaps negative
    };
    std::vector<Entry> entries;
    std::map<std::string, size_t> byName;  // upper case: readers take names so
    for (int number : used) {
        const LineTypeStyle& style = lineTypeStyle(number);
        byName.emplace(asciiUpper(lineTypeName(number)), entries.size());
        entries.push_back({lineTypeName(number), std::string(style.name), hostPattern(number)});
    }
    for (const auto& [index, host] : read) {
        const FileLineType& file = files.lineTypes()[index];
        Entry entry{dxfName(file.name), dxfLine(file.description), file.pattern};
        const std::string key = asciiUpper(entry.name);
        if (key == "BYBLOCK" || key == "BYLAYER" || key == "CONTINUOUS") continue;
        if (entry.pattern.empty() && host) entry.pattern = hostPattern(*host);
        const auto [at, added] = byName.try_emplace(key, entries.size());
        if (added)
            entries.push_back(std::move(entry));
        else
            entries[at->second] = std::move(entry);
    }

    dw.tableLinetypes(3 + static_cast<int>(entries.size()));
    for (const char* fixed : {"BYBLOCK", "BYLAYER", "CONTINUOUS"})
        writeLineTypeRecord(dw, fixed, "", {});
    for (const Entry& e : entries) writeLineTypeRecord(dw, e.name, e.description, e.pattern);
    dw.tableEnd();
}

// What a stroke was read with from a file, while it still has it; else the host's colour
// as a true colour with its nearest basic index and the host's line type by name.
DxfAttributes attributes(const FileStyles& files, const std::string& layer,
                         const ViewStroke& stroke) {
    int color = 256, color24 = -1;  // by layer
    if (const FileColor* file = files.colorFor(stroke.fileStyle, stroke.color)) {
        color = file->index;
        color24 = file->trueColor;
    } else if (stroke.color) {
        const Rgb rgb = paletteColor(*stroke.color);
        color = nearestBasicColorIndex(rgb);
        color24 = trueColorValue(rgb);
    }
    std::string lineType = stroke.lineType ? lineTypeName(*stroke.lineType) : "BYLAYER";
    if (const FileLineType* file = fileLineTypeOf(files, stroke)) lineType = dxfName(file->name);
    return DxfAttributes{layer, color, color24, -1, lineType};
}

// A dimension or leader in its element's colour; its line type stays with
// the lines drawn for it, as the entity's own is the reader's to apply.
DxfAttributes annotationAttributes(const FileStyles& files,
                                   const std::map<int, std::string>& layers, const Annotation& a) {
    DxfAttributes own = attributes(files, layers.at(a.segment->layer),
                                   ViewStroke{a.element->color, {}, a.element->fileStyle});
    own.lineType = "BYLAYER";
    return own;
}

// BLOCK and ENDBLK: owned by the block's record, on layer 0.
void blockMarker(StreamDxfWriter& dw, const Annotation& d, const char* type, const char* subclass) {
    dw.dxfString(0, type);
    dw.handle();
    dw.dxfHex(330, static_cast<int>(d.blockRecord));
    dw.subClass("AcDbEntity");
    dw.dxfString(8, "0");
    dw.subClass(subclass);
}

void writeBlockBegin(StreamDxfWriter& dw, const Annotation& d) {
    blockMarker(dw, d, "BLOCK", "AcDbBlockBegin");
    dw.dxfString(2, d.block);
    dw.dxfInt(70, 1);  // anonymous
    dw.coord(10, 0.0, 0.0);
    dw.dxfString(3, d.block);
    dw.dxfString(1, "");
}

void entityStart(StreamDxfWriter& dw, const char* type, const DxfAttributes& a) {
    dw.dxfString(0, type);
    dw.handle();
    dw.dxfHex(330, kModelSpaceRecord);
    dw.subClass("AcDbEntity");
    dw.entityAttributes(a);
}

// Measured from a along the direction to the foot of b; the dimension line
// passes through a, so a and b are the extension lines' origins.
void writeDimension(StreamDxfWriter& dw, const Annotation& d, const ViewText* t,
                    const DxfAttributes& a, double h) {
    const DimensionElement& dim = std::get<DimensionElement>(d.element->body);
    const double rad = dim.direction * std::numbers::pi / 180.0;
    const Point u{std::cos(rad), std::sin(rad)};
    const Point foot = dim.a + u * dot(dim.b - dim.a, u);
    Point middle = (dim.a + foot) * 0.5;
    if (t) {
        const double textRad = t->angleDegrees * std::numbers::pi / 180.0;
        middle = t->anchor + Point{-std::sin(textRad), std::cos(textRad)} * (h / 2);
    }
    entityStart(dw, "DIMENSION", a);
    dw.subClass("AcDbDimension");
    dw.dxfString(2, d.block);
    dw.coord(10, foot.x, foot.y);
    dw.coord(11, middle.x, middle.y);
    dw.dxfInt(70, kRotatedDimension | kBlockOfThisDimensionOnly | kTextPlacedByUser);
    dw.dxfInt(71, kMiddleCentre);
    dw.dxfReal(42, dim.measured());
    dw.dxfString(1, dim.text());
    dw.dxfString(3, "Standard");
    dw.subClass("AcDbAlignedDimension");
    dw.coord(13, dim.a.x, dim.a.y);
    dw.coord(14, dim.b.x, dim.b.y);
    dw.dxfReal(50, degrees(rad));
    dw.subClass("AcDbRotatedDimension");
}

// The leader's line without an arrowhead, as it is drawn, and its text as the
// MTEXT it annotates, which follows it and names it as its reactor.
void writeLeader(StreamDxfWriter& dw, const Annotation& l, const ViewText* t,
                 const DxfAttributes& a, double h) {
    const LeaderElement& leader = std::get<LeaderElement>(l.element->body);
    const unsigned long leaderHandle = dw.getNextHandle();
    entityStart(dw, "LEADER", a);
    dw.subClass("AcDbLeader");
    dw.dxfString(3, "Standard");
    dw.dxfInt(71, 0);          // no arrowhead
    dw.dxfInt(72, 0);          // straight segments
    dw.dxfInt(73, t ? 0 : 3);  // annotated by text, or by nothing
    dw.dxfInt(74, 0);
    dw.dxfInt(75, 0);
    dw.dxfReal(40, h);
    dw.dxfReal(41, 0.0);
    dw.dxfInt(76, static_cast<int>(leader.points.size()));
    for (const Point& p : leader.points) dw.coord(10, p.x, p.y);
    if (!t) return;
    dw.dxfHex(340, static_cast<int>(leaderHandle + 1));

    dw.dxfString(0, "MTEXT");
    dw.handle();
    dw.dxfString(102, "{ACAD_REACTORS");
    dw.dxfHex(330, static_cast<int>(leaderHandle));
    dw.dxfString(102, "}");
    dw.dxfHex(330, kModelSpaceRecord);
    dw.subClass("AcDbEntity");
    dw.entityAttributes(a);
    dw.subClass("AcDbMText");
    dw.coord(10, t->anchor.x, t->anchor.y);
    dw.dxfReal(40, t->height);
    dw.dxfReal(41, 0.0);  // no wrapping
    dw.dxfInt(71, t->align == TextAlign::Right ? kBottomRight : kBottomLeft);
    dw.dxfInt(72, 1);  // left to right
    const std::vector<std::string> chunks = mtextChunks(t->text);
    for (size_t i = 0; i + 1 < chunks.size(); ++i) dw.dxfString(3, chunks[i]);
    dw.dxfString(1, chunks.back());
    dw.dxfString(7, "Standard");
    dw.dxfReal(50, t->angleDegrees);
}

// A figure's entity as it has always been written: its kind and handle, no owner, the entity's
// subclass and attributes, then its own subclass.
void figureStart(StreamDxfWriter& dw, const char* type, const DxfAttributes& a,
                 const char* subclass) {
    dw.entity(type);
    dw.subClass("AcDbEntity");
    dw.entityAttributes(a);
    dw.subClass(subclass);
}

void writeShape(StreamDxfWriter& dw, const ViewShape& shape, const DxfAttributes& a) {
    if (const Circle* c = std::get_if<Circle>(&shape.geometry)) {
        figureStart(dw, "CIRCLE", a, "AcDbCircle");
        dw.coord(10, c->centre.x, c->centre.y, 0.0);
        dw.dxfReal(40, std::fabs(c->radius));
        return;
    }
    if (const Point* p = std::get_if<Point>(&shape.geometry)) {
        figureStart(dw, "POINT", a, "AcDbPoint");
        dw.coord(10, p->x, p->y, 0.0);
        return;
    }
    if (const Arrowhead* head = std::get_if<Arrowhead>(&shape.geometry)) {
        // A SOLID's third and fourth corners are the same for a triangle.
        figureStart(dw, "SOLID", a, "AcDbTrace");
        dw.coord(10, head->tip.x, head->tip.y, 0.0);
        dw.coord(11, head->left.x, head->left.y, 0.0);
        dw.coord(12, head->right.x, head->right.y, 0.0);
        dw.coord(13, head->right.x, head->right.y, 0.0);
        dw.dxfReal(39, 0.0);
        return;
    }
    const Path& path = std::get<Path>(shape.geometry);
    if (path.pieces.empty()) return;
    if (path.pieces.size() == 1 && !path.closed) {
        const PathPiece& piece = path.pieces.front();
        if (piece.arc) {
            const Arc arc = piece.arc->arc();
            figureStart(dw, "ARC", a, "AcDbCircle");
            dw.coord(10, arc.centre.x, arc.centre.y, 0.0);
            dw.dxfReal(40, std::fabs(arc.radius));
            dw.subClass("AcDbArc");
            dw.dxfReal(50, degrees(arc.startAngle));
            dw.dxfReal(51, degrees(arc.startAngle + arc.sweep()));
        } else {
            figureStart(dw, "LINE", a, "AcDbLine");
            dw.coord(10, piece.from.x, piece.from.y, 0.0);
            dw.coord(11, piece.to.x, piece.to.y, 0.0);
        }
        return;
    }
    const std::vector<BulgeVertex> vertices = polylineVertices(path);
    figureStart(dw, "LWPOLYLINE", a, "AcDbPolyline");
    dw.dxfInt(90, static_cast<int>(vertices.size()));
    dw.dxfInt(70, path.closed ? 1 : 0);
    for (const BulgeVertex& v : vertices) dw.vertex(v.p.x, v.p.y, v.bulge);
}

void writeText(StreamDxfWriter& dw, const ViewText& t, const DxfAttributes& a) {
    const double rad = t.angleDegrees * std::numbers::pi / 180.0;
    const Point down{std::sin(rad), -std::cos(rad)};
    const int justification = t.align == TextAlign::Left ? 0 : t.align == TextAlign::Centre ? 1 : 2;
    const std::vector<std::string> lines = dxfTextLines(t.text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const Point p = t.anchor + down * (1.4 * t.height * static_cast<double>(i));
        // Aligned at the point itself, in the standard style, unstretched.
        figureStart(dw, "TEXT", a, "AcDbText");
        dw.coord(10, p.x, p.y, 0.0);
        dw.dxfReal(40, t.height);
        dw.dxfString(1, lines[i]);
        dw.dxfReal(50, rad / (2 * std::numbers::pi) * 360.0);
        dw.dxfReal(41, 1.0);
        dw.dxfString(7, "Standard");
        dw.dxfInt(71, 0);
        dw.dxfInt(72, justification);
        dw.coord(11, p.x, p.y, 0.0);
        dw.subClass("AcDbText");
        dw.dxfInt(73, 0);
    }
}

// An empty table that readers expect all the same, by its fixed handle.
void emptyTable(StreamDxfWriter& dw, const char* name, int handle) {
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, name);
    dw.dxfHex(5, handle);
    dw.subClass("AcDbSymbolTable");
    dw.dxfInt(70, 0);
    dw.dxfString(0, "ENDTAB");
}

// The model's and the sheets' blocks, each empty, by their fixed handles (the first sheet's
// entities marked as paper space).
void emptyBlock(StreamDxfWriter& dw, const char* name, int begin, int end) {
    const auto marker = [&](const char* type, int handle, const char* subclass) {
        dw.dxfString(0, type);
        dw.dxfHex(5, handle);
        dw.subClass("AcDbEntity");
        if (begin == kPaperSpaceBlock) dw.dxfInt(67, 1);  // in paper space
        dw.dxfString(8, "0");
        dw.subClass(subclass);
    };
    marker("BLOCK", begin, "AcDbBlockBegin");
    dw.dxfString(2, name);
    dw.dxfInt(70, 0);
    dw.coord(10, 0.0, 0.0, 0.0);
    dw.dxfString(3, name);
    dw.dxfString(1, "");
    marker("ENDBLK", end, "AcDbBlockEnd");
}

// The dimensions and leaders written as DIMENSION and LEADER entities, and what shows them.
struct Annotations {
    std::vector<Annotation> dimensions, leaders;
    std::set<int> ids;                // of their elements
    std::set<int> dimensionSegments;  // the segments that hold dimensions
    // What the dimensions show, by element: the shapes go into the dimensions' blocks; the
    // texts, of leaders too, place the DIMENSION's text and make the LEADER's MTEXT.
    std::unordered_map<int, std::vector<ViewShape>> shapesOf;
    std::unordered_map<int, ViewText> textsOf;

    explicit Annotations(const Drawing& drawing) {
        for (const auto& [id, segment] : drawing.segments()) {
            for (const Element& e : segment.elements) {
                if (std::holds_alternative<DimensionElement>(e.body)) {
                    const std::string block = "*D" + std::to_string(dimensions.size() + 1);
                    dimensions.push_back({&segment, &e, block, 0});
                    dimensionSegments.insert(id);
                } else if (const auto* leader = std::get_if<LeaderElement>(&e.body)) {
                    // A LEADER needs two vertices; a lone point stays a point.
                    if (leader->points.size() < 2) continue;
                    leaders.push_back({&segment, &e, {}, 0});
                } else {
                    continue;
                }
                ids.insert(e.id);
            }
        }
    }

    // The texts of annotations among a segment's, the first seen of each kept.
    void keepTexts(const SegmentView& part) {
        for (const ViewText& t : part.texts)
            if (ids.count(t.elementId)) textsOf.try_emplace(t.elementId, t);
    }

    const ViewText* textOf(int elementId) const {
        const auto it = textsOf.find(elementId);
        return it == textsOf.end() ? nullptr : &it->second;
    }
};

// One drawing written as one file, section by section; the handle seed in the header is left
// as zeros, its place given for the caller to fill in once the last handle is known.
class DxfDocument {
public:
    DxfDocument(const Drawing& drawing, std::ostream& out)
        : drawing_(drawing),
          files_(drawing.fileStyles()),
          frame_(frameOf(drawing, [this](const Segment& s, int i) { takeIn(s, i); })),
          layers_(layerNames(drawing)),
          annotations_(drawing),
          dw_(out) {}

    // Writes the whole file and returns where the handle seed's digits stand in it.
    size_t write(Progress* progress) {
        viewDimensions();
        const size_t handleSeedAt = writeHeader();
        writeTables();
        writeBlocks();
        writeEntities(progress);
        writeDxfObjects(dw_);
        dw_.dxfEOF();
        dw_.flush();
        return handleSeedAt;
    }

    unsigned long nextHandle() const { return dw_.getNextHandle(); }

private:
    // What the dimensions show goes into their blocks, before the entities.
    void viewDimensions() {
        for (int id : annotations_.dimensionSegments) {
            viewSegment(drawing_, *drawing_.segment(id), frame_, part_);
            for (ViewShape& shape : part_.shapes)
                if (shape.annotation && annotations_.ids.count(shape.elementId))
                    annotations_.shapesOf[shape.elementId].push_back(std::move(shape));
            annotations_.keepTexts(part_);
        }
    }

    size_t writeHeader() {
        dw_.section("HEADER");
        dw_.dxfString(9, "$ACADVER");
        dw_.dxfString(1, kFileVersion);
        dw_.dxfString(9, "$DWGCODEPAGE");
        dw_.dxfString(3, "ANSI_1252");
        dw_.dxfString(9, "$HANDSEED");
        const size_t handleSeedAt = dw_.written() + 4;  // past the group code's line
        dw_.dxfString(5, std::string(kHandleSeedDigits, '0'));
        const auto current = layers_.find(drawing_.currentLayer());
        if (current != layers_.end()) {
            dw_.dxfString(9, "$CLAYER");
            dw_.dxfString(8, current->second);
        }
        dw_.dxfString(9, "$LTSCALE");
        dw_.dxfReal(40, 1.0);
        if (const std::optional<double> h = drawing_.dimensionTextHeight()) {
            // The height the drawing's file gave its dimension texts, already scaled.
            dw_.dxfString(9, "$DIMTXT");
            dw_.dxfReal(40, *h);
        }
        if (!frame_.extents.empty()) {
            dw_.dxfString(9, "$EXTMIN");
            dw_.coord(10, frame_.extents.minX, frame_.extents.minY);
            dw_.dxfString(9, "$EXTMAX");
            dw_.coord(10, frame_.extents.maxX, frame_.extents.maxY);
        }
        dw_.sectionEnd();
        return handleSeedAt;
    }

    void writeTables() {
        dw_.sectionTables();
        writeViewportTable(dw_);
        writeLineTypes(dw_, drawing_, std::move(lineTypes_));
        writeLayerTable();
        dw_.tableStyle(1);
        const unsigned long textStyle = writeStandardTextStyle(dw_, frame_.textHeight);
        dw_.tableEnd();
        emptyTable(dw_, "VIEW", kViewTable);
        emptyTable(dw_, "UCS", kUcsTable);
        dw_.tableAppid(1);
        dw_.tableEntry("APPID", "AcDbRegAppTableRecord", kAcadAppid);
        dw_.dxfString(2, "ACAD");
        dw_.dxfInt(70, 0);
        dw_.tableEnd();
        writeDimensionStyleTable(dw_, frame_.textHeight, textStyle);
        writeBlockRecords();
        dw_.sectionEnd();
    }

    void writeLayerTable() {
        dw_.tableLayers(static_cast<int>(layers_.size()));
        for (const auto& [number, name] : layers_) {
            const auto layer = drawing_.layers().find(number);
            const ViewStroke own = layer == drawing_.layers().end()
                                       ? ViewStroke{}
                                       : ViewStroke{layer->second.color, layer->second.lineType,
                                                    layer->second.fileStyle};
            DxfAttributes a = attributes(files_, name, own);
            // A layer has a colour and line type of its own: not "by layer".
            if (!own.color && !files_.colorFor(own.fileStyle, own.color)) a.color = 7;
            if (!own.lineType && !fileLineTypeOf(files_, own)) a.lineType = "CONTINUOUS";
            writeLayerRecord(dw_, name, a);
        }
        dw_.tableEnd();
    }

    // The records of the model and the sheets, then one for each dimension's block.
    void writeBlockRecords() {
        dw_.dxfString(0, "TABLE");
        dw_.dxfString(2, "BLOCK_RECORD");
        dw_.dxfHex(5, kBlockRecordTable);
        dw_.subClass("AcDbSymbolTable");
        dw_.dxfInt(70, 1);  // as it has always been written, whatever the records
        for (const auto& [name, record, layout] :
             {std::tuple{"*Model_Space", kModelSpaceRecord, kModelLayout},
              std::tuple{"*Paper_Space", kPaperSpaceRecord, kPaperLayout},
              std::tuple{"*Paper_Space0", kPaperSpace0Record, kPaperLayout0}}) {
            dw_.dxfString(0, "BLOCK_RECORD");
            dw_.dxfHex(5, record);
            dw_.subClass("AcDbSymbolTableRecord");
            dw_.subClass("AcDbBlockTableRecord");
            dw_.dxfString(2, name);
            dw_.dxfHex(340, layout);
        }
        for (Annotation& d : annotations_.dimensions) {
            dw_.dxfString(0, "BLOCK_RECORD");
            d.blockRecord = dw_.handle();
            dw_.dxfHex(330, kBlockRecordTable);
            dw_.subClass("AcDbSymbolTableRecord");
            dw_.subClass("AcDbBlockTableRecord");
            dw_.dxfString(2, d.block);
        }
        dw_.tableEnd();
    }

    void writeBlocks() {
        dw_.sectionBlocks();
        emptyBlock(dw_, "*Model_Space", kModelSpaceBlock, kModelSpaceBlock + 1);
        emptyBlock(dw_, "*Paper_Space", kPaperSpaceBlock, kPaperSpaceBlock + 1);
        emptyBlock(dw_, "*Paper_Space0", kPaperSpace0Block, kPaperSpace0Block + 1);
        // What each dimension shows, for readers that draw a dimension from its block.
        for (const Annotation& d : annotations_.dimensions) {
            writeBlockBegin(dw_, d);
            for (const ViewShape& shape : annotations_.shapesOf[d.element->id])
                writeShape(dw_, shape, strokeAttributes(shape.layer, shape.stroke));
            if (const ViewText* t = annotations_.textOf(d.element->id))
                writeText(dw_, *t, strokeAttributes(t->layer, ViewStroke{t->color, {}}));
            blockMarker(dw_, d, "ENDBLK", "AcDbBlockEnd");
        }
        annotations_.shapesOf.clear();
        dw_.sectionEnd();
    }

    // The figures segment by segment; the texts of annotations that are no
    // DIMENSION or LEADER after them, as plain texts.
    void writeEntities(Progress* progress) {
        dw_.sectionEntities();
        std::vector<ViewText> plainTexts;
        ProgressSteps steps(progress, drawing_.segments().size());
        for (const auto& [id, segment] : drawing_.segments()) {
            steps.step();
            viewSegment(drawing_, segment, frame_, part_);
            for (const ViewShape& shape : part_.shapes)
                if (!shape.annotation || !annotations_.ids.count(shape.elementId))
                    writeShape(dw_, shape, strokeAttributes(shape.layer, shape.stroke));
            for (ViewText& t : part_.texts)
                if (!annotations_.ids.count(t.elementId)) plainTexts.push_back(std::move(t));
            annotations_.keepTexts(part_);
        }
        for (const ViewText& t : plainTexts)
            writeText(dw_, t, strokeAttributes(t.layer, ViewStroke{t.color, {}}));
        const double h = frame_.textHeight;
        for (const Annotation& d : annotations_.dimensions)
            writeDimension(dw_, d, annotations_.textOf(d.element->id),
                           annotationAttributes(files_, layers_, d), h);
        for (const Annotation& l : annotations_.leaders)
            writeLeader(dw_, l, annotations_.textOf(l.element->id),
                        annotationAttributes(files_, layers_, l), h);
        dw_.sectionEnd();
    }

    // What the document must know of each element before it writes anything: that its numbers
    // are finite, and the line type it is drawn with.
    void takeIn(const Segment& s, int i) {
        requireFiniteElement(s, s.elements[i]);
        lineTypes_.note(files_, strokeOf(s, i));
    }

    DxfAttributes strokeAttributes(int layer, const ViewStroke& stroke) const {
        return attributes(files_, layers_.at(layer), stroke);
    }

    const Drawing& drawing_;
    const FileStyles& files_;
    LineTypesInUse lineTypes_;  // noted while the frame is worked out
    const ViewFrame frame_;
    const std::map<int, std::string> layers_;
    Annotations annotations_;
    SegmentView part_;  // the segment in view, its storage kept from one to the next
    StreamDxfWriter dw_;
};

class DxfWriter : public DrawingWriter {
public:
    using DrawingWriter::write;
    // The drawing's numbers are checked as the document is made, before anything is written.
    void write(const Drawing& drawing, std::ostream& out, Progress* progress) const override {
        // The handle seed is filled in where the header left room for it.
        const std::streamoff start = out.tellp();
        if (start < 0) {
            std::ostringstream whole;
            write(drawing, whole, progress);
            out << whole.str();
            return;
        }
        DxfDocument document(drawing, out);
        const size_t handleSeedAt = document.write(progress);
        char seed[kHandleSeedDigits + 1];
        std::snprintf(seed, sizeof seed, "%0*lX", kHandleSeedDigits, document.nextHandle());
        out.seekp(start + static_cast<std::streamoff>(handleSeedAt));
        out.write(seed, kHandleSeedDigits);
        out.seekp(0, std::ios::end);
    }
};

}  // namespace

std::unique_ptr<DrawingWriter> makeDxfWriter() {
    return std::make_unique<DxfWriter>();
}

}  // namespace vel

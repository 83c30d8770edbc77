// DxfWriter.cpp - writing a drawing as DXF through dxflib: every segment as
// drawn (corners cut), in the host's colours and line types; dimensions as
// DIMENSION entities with the block of what they show, leaders as LEADER
// entities with their text; the objects every reader expects, each with its owner.
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
#include <numbers>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>

#include "vel/dxf/DxfText.h"
#include "vel/io/DrawingView.h"
#include "vel/kernel/HostPalette.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

// Text is handed to the stream in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;

// dxflib writes through DL_WriterA, which only knows files; this one formats the
// groups into a buffer that goes to the stream in large pieces, so that a large
// drawing is never held as text as a whole.
class StreamDxfWriter : public DL_WriterA {
public:
    explicit StreamDxfWriter(std::ostream& out) : DL_WriterA("", DL_VERSION_2000), out_(out) {
        buffer_.reserve(kFlushBytes + 1024);
    }

    void dxfReal(int gc, double value) const override {
        code(gc);
        real(value);
        end();
    }
    void dxfInt(int gc, int value) const override {
        code(gc);
        number(value, 10);
        end();
    }
    void dxfHex(int gc, int value) const override {
        code(gc);
        number(static_cast<unsigned>(value), 16);
        end();
    }
    void dxfString(int gc, const char* value) const override {
        code(gc);
        buffer_ += value ? value : "";
        end();
    }
    void dxfString(int gc, const std::string& value) const override {
        code(gc);
        buffer_ += value;
        end();
    }

    // Bytes written so far, those still in the buffer included.
    size_t written() const { return flushed_ + buffer_.size(); }
    void flush() const {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        flushed_ += buffer_.size();
        buffer_.clear();
    }

private:
    // Group codes right-aligned in three columns, as DXF writers customarily do.
    void code(int gc) const {
        char text[8];
        const auto [last, ec] = std::to_chars(text, text + sizeof text, gc);
        for (ptrdiff_t pad = 3 - (last - text); pad > 0; --pad) buffer_ += ' ';
        buffer_.append(text, last);
        buffer_ += '\n';
    }
    void end() const {
        buffer_ += '\n';
        if (buffer_.size() >= kFlushBytes) flush();
    }
    template <typename Integer>
    void number(Integer value, int base) const {
        char text[24];
        const auto [last, ec] = std::to_chars(text, text + sizeof text, value, base);
        for (char* c = text; c != last; ++c)
            *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        buffer_.append(text, last);
    }
    // The shortest text that reads back as the same number, always with a point.
    void real(double v) const {
        if (!std::isfinite(v)) v = 0.0;  // drawings are checked before writing
        char text[400];
        const auto [last, ec] =
            std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
        const std::string_view digits(text, static_cast<size_t>(last - text));
        buffer_ += digits;
        if (digits.find('.') == std::string_view::npos) buffer_ += ".0";
    }

    std::ostream& out_;
    mutable std::string buffer_;
    mutable size_t flushed_ = 0;
};

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
// read back unchanged in every reader without escapes to decode; dxflib's
// groups are those of the version before, all of which this one keeps.
constexpr char kFileVersion[] = "AC1021";
// The next free handle is known once everything is written, after the header
// that names it: the header keeps this many hexadecimal digits for it (dxflib's
// handles are ints), filled in at the end.
constexpr int kHandleSeedDigits = 8;

// Handles dxflib gives the block records and their layouts, and those of the
// objects written here; all lie below 0x30, where dxflib's own counting starts.
constexpr int kBlockRecordTable = 0x1;
constexpr int kModelSpaceRecord = 0x1F;
constexpr int kPaperSpaceRecord = 0x1B;
constexpr int kPaperSpace0Record = 0x23;
constexpr int kModelLayout = 0x22;
constexpr int kPaperLayout = 0x1E;
constexpr int kPaperLayout0 = 0x26;
constexpr int kRootDictionary = 0xC;
constexpr int kGroupDictionary = 0xD;
constexpr int kPlotStyleDictionary = 0xE;
constexpr int kNormalPlotStyle = 0xF;  // the plot style dxflib's layers name (group 390)
constexpr int kMlineStyleDictionary = 0x17;
constexpr int kStandardMlineStyle = 0x18;
constexpr int kPlotSettingsDictionary = 0x19;
constexpr int kLayoutDictionary = 0x1A;

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

class DxfWriter : public DrawingWriter {
public:
    using DrawingWriter::write;
    void write(const Drawing& drawing, std::ostream& out, Progress* progress) const override {
        requireFiniteDrawing(drawing);
        // The handle seed is filled in where the header left room for it.
        const std::streamoff start = out.tellp();
        if (start < 0) {
            std::ostringstream whole;
            write(drawing, whole, progress);
            out << whole.str();
            return;
        }
        const ViewFrame frame = frameOf(drawing);
        const std::map<int, std::string> layers = layerNames(drawing);
        std::vector<Annotation> dimensions, leaders;
        std::set<int> annotationIds, dimensionSegments;
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
                annotationIds.insert(e.id);
            }
        }

        // What the dimensions show goes into their blocks, before the entities.
        std::unordered_map<int, std::vector<ViewShape>> shapesOf;
        std::unordered_map<int, ViewText> textsOf;
        SegmentView part;
        auto keepAnnotationTexts = [&] {
            for (ViewText& t : part.texts)
                if (annotationIds.count(t.elementId)) textsOf.try_emplace(t.elementId, t);
        };
        for (int id : dimensionSegments) {
            viewSegment(drawing, *drawing.segment(id), frame, part);
            for (ViewShape& shape : part.shapes)
                if (shape.annotation && annotationIds.count(shape.elementId))
                    shapesOf[shape.elementId].push_back(std::move(shape));
            keepAnnotationTexts();
        }
        auto textOf = [&](int elementId) -> const ViewText* {
            const auto it = textsOf.find(elementId);
            return it == textsOf.end() ? nullptr : &it->second;
        };

        StreamDxfWriter dw(out);
        DL_Dxf dxf;

        dw.section("HEADER");
        dw.dxfString(9, "$ACADVER");
        dw.dxfString(1, kFileVersion);
        dw.dxfString(9, "$DWGCODEPAGE");
        dw.dxfString(3, "ANSI_1252");
        dw.dxfString(9, "$HANDSEED");
        const size_t handleSeedAt = dw.written() + 4;  // past the group code's line
        dw.dxfString(5, std::string(kHandleSeedDigits, '0'));
        const auto current = layers.find(drawing.currentLayer());
        if (current != layers.end()) {
            dw.dxfString(9, "$CLAYER");
            dw.dxfString(8, current->second);
        }
        dw.dxfString(9, "$LTSCALE");
        dw.dxfReal(40, 1.0);
        if (!frame.extents.empty()) {
            dw.dxfString(9, "$EXTMIN");
            dw.coord(10, frame.extents.minX, frame.extents.minY);
            dw.dxfString(9, "$EXTMAX");
            dw.coord(10, frame.extents.maxX, frame.extents.maxY);
        }
        dw.sectionEnd();

        dw.sectionTables();
        dxf.writeVPort(dw);
        writeLineTypes(dxf, dw, drawing);
        dw.tableLayers(static_cast<int>(layers.size()));
        const FileStyles& files = drawing.fileStyles();
        for (const auto& [number, name] : layers) {
            const auto layer = drawing.layers().find(number);
            const ViewStroke own = layer == drawing.layers().end()
                                       ? ViewStroke{}
                                       : ViewStroke{layer->second.color, layer->second.lineType,
                                                    layer->second.fileStyle};
            DL_Attributes a = attributes(files, name, own);
            // A layer has a colour and line type of its own: not "by layer".
            if (!own.color && !files.colorFor(own.fileStyle, own.color)) a.setColor(7);
            if (!own.lineType && !fileLineTypeOf(files, own)) a.setLinetype("CONTINUOUS");
            dxf.writeLayer(dw, DL_LayerData(name, 0), a);
        }
        dw.tableEnd();
        dw.tableStyle(1);
        dxf.writeStyle(dw,
                       DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, frame.textHeight, "txt", ""));
        dw.tableEnd();
        dxf.writeView(dw);
        dxf.writeUcs(dw);
        dw.tableAppid(1);
        dxf.writeAppid(dw, "ACAD");
        dw.tableEnd();
        const double h = frame.textHeight;
        dxf.writeDimStyle(dw, h, h / 4, h / 4, h / 4, h);
        dxf.writeBlockRecord(dw);
        for (Annotation& d : dimensions) {
            dw.dxfString(0, "BLOCK_RECORD");
            d.blockRecord = dw.handle();
            dw.dxfHex(330, kBlockRecordTable);
            dw.subClass("AcDbSymbolTableRecord");
            dw.subClass("AcDbBlockTableRecord");
            dw.dxfString(2, d.block);
        }
        dw.tableEnd();
        dw.sectionEnd();

        dw.sectionBlocks();
        for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
            dxf.writeBlock(dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
            dxf.writeEndBlock(dw, block);
        }
        // What each dimension shows, for readers that draw a dimension from its block.
        for (const Annotation& d : dimensions) {
            writeBlockBegin(dw, d);
            for (const ViewShape& shape : shapesOf[d.element->id])
                writeShape(dxf, dw, shape, attributes(files, layers.at(shape.layer), shape.stroke));
            if (const ViewText* t = textOf(d.element->id))
                writeText(dxf, dw, *t,
                          attributes(files, layers.at(t->layer), ViewStroke{t->color, {}}));
            blockMarker(dw, d, "ENDBLK", "AcDbBlockEnd");
        }
        shapesOf.clear();
        dw.sectionEnd();

        // The figures segment by segment; the texts of annotations that are no
        // DIMENSION or LEADER after them, as plain texts.
        dw.sectionEntities();
        std::vector<ViewText> plainTexts;
        ProgressSteps steps(progress, drawing.segments().size());
        for (const auto& [id, segment] : drawing.segments()) {
            steps.step();
            viewSegment(drawing, segment, frame, part);
            for (const ViewShape& shape : part.shapes)
                if (!shape.annotation || !annotationIds.count(shape.elementId))
                    writeShape(dxf, dw, shape,
                               attributes(files, layers.at(shape.layer), shape.stroke));
            for (ViewText& t : part.texts)
                if (!annotationIds.count(t.elementId)) plainTexts.push_back(std::move(t));
            keepAnnotationTexts();
        }
        for (const ViewText& t : plainTexts)
            writeText(dxf, dw, t, attributes(files, layers.at(t.layer), ViewStroke{t.color, {}}));
        for (const Annotation& d : dimensions)
            writeDimension(dw, d, textOf(d.element->id), annotationAttributes(files, layers, d), h);
        for (const Annotation& l : leaders)
            writeLeader(dw, l, textOf(l.element->id), annotationAttributes(files, layers, l), h);
        dw.sectionEnd();

        writeObjects(dw);
        dw.dxfEOF();
        dw.flush();
        char seed[kHandleSeedDigits + 1];
        std::snprintf(seed, sizeof seed, "%0*lX", kHandleSeedDigits, dw.getNextHandle());
        out.seekp(start + static_cast<std::streamoff>(handleSeedAt));
        out.write(seed, kHandleSeedDigits);
        out.seekp(0, std::ios::end);
    }

private:
    // Each layer by its kept name or else its number; names made unique.
    static std::map<int, std::string> layerNames(const Drawing& drawing) {
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
    static const FileLineType* fileLineTypeOf(const FileStyles& files, const ViewStroke& stroke) {
        const FileLineType* file = files.lineTypeFor(stroke.fileStyle, stroke.lineType);
        return file && !dxfName(file->name).empty() ? file : nullptr;
    }

    // The exact pattern under the name readers know, the palette name beside it. A line type
    // read from a file goes under its own name with its own pattern, or where the file gave
    // none with the pattern of the host's line type it was read as; it takes the place of a
    // host's line type of the same name, as a table holds a name once.
    static void writeLineTypes(DL_Dxf& dxf, DL_WriterA& dw, const Drawing& drawing) {
        const FileStyles& files = drawing.fileStyles();
        std::set<int> used;
        std::map<size_t, std::optional<int>> read;  // file line types, with the host's read as
        const auto note = [&](const ViewStroke& stroke) {
            if (const FileLineType* file = fileLineTypeOf(files, stroke))
                read.try_emplace(static_cast<size_t>(file - files.lineTypes().data()),
                                 stroke.lineType);
            else if (stroke.lineType && isKnownLineType(*stroke.lineType))
                used.insert(*stroke.lineType);
        };
        for (const auto& [id, segment] : drawing.segments())
            for (size_t i = 0; i < segment.elements.size(); ++i)
                note(strokeOf(segment, static_cast<int>(i)));
        for (const auto& [number, layer] : drawing.layers())
            note(ViewStroke{layer.color, layer.lineType, layer.fileStyle});

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
        dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
        dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
        dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
        for (Entry& e : entries) {
            double length = 0.0;
            for (double v : e.pattern) length += std::fabs(v);
            dxf.writeLinetype(
                dw, DL_LinetypeData(e.name, e.description, 0, static_cast<int>(e.pattern.size()),
                                    length, e.pattern.empty() ? nullptr : e.pattern.data()));
        }
        dw.tableEnd();
    }

    // A host line type's dashes and gaps in drawing units, as a table gives them.
    static std::vector<double> hostPattern(int number) {
        if (!isKnownLineType(number)) return {};
        const LineTypeStyle& style = lineTypeStyle(number);
        std::vector<double> pattern;
        for (size_t i = 0; i < style.pattern.size(); ++i)
            pattern.push_back((i % 2 ? -1.0 : 1.0) * style.pattern[i] * kLineTypeUnitsPerPixel);
        return pattern;
    }

    // What a stroke was read with from a file, while it still has it; else the host's colour
    // as a true colour with its nearest basic index and the host's line type by name.
    static DL_Attributes attributes(const FileStyles& files, const std::string& layer,
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
        if (const FileLineType* file = fileLineTypeOf(files, stroke))
            lineType = dxfName(file->name);
        return DL_Attributes(layer, color, color24, -1, lineType);
    }

    // A dimension or leader in its element's colour; its line type stays with
    // the lines drawn for it, as the entity's own is the reader's to apply.
    static DL_Attributes annotationAttributes(const FileStyles& files,
                                              const std::map<int, std::string>& layers,
                                              const Annotation& a) {
        DL_Attributes own = attributes(files, layers.at(a.segment->layer),
                                       ViewStroke{a.element->color, {}, a.element->fileStyle});
        own.setLinetype("BYLAYER");
        return own;
    }

    // BLOCK and ENDBLK: owned by the block's record, on layer 0.
    static void blockMarker(DL_WriterA& dw, const Annotation& d, const char* type,
                            const char* subclass) {
        dw.dxfString(0, type);
        dw.handle();
        dw.dxfHex(330, static_cast<int>(d.blockRecord));
        dw.subClass("AcDbEntity");
        dw.dxfString(8, "0");
        dw.subClass(subclass);
    }

    static void writeBlockBegin(DL_WriterA& dw, const Annotation& d) {
        blockMarker(dw, d, "BLOCK", "AcDbBlockBegin");
        dw.dxfString(2, d.block);
        dw.dxfInt(70, 1);  // anonymous
        dw.coord(10, 0.0, 0.0);
        dw.dxfString(3, d.block);
        dw.dxfString(1, "");
    }

    static void entityStart(DL_WriterA& dw, const char* type, const DL_Attributes& a) {
        dw.dxfString(0, type);
        dw.handle();
        dw.dxfHex(330, kModelSpaceRecord);
        dw.subClass("AcDbEntity");
        dw.entityAttributes(a);
    }

    // Measured from a along the direction to the foot of b; the dimension line
    // passes through a, so a and b are the extension lines' origins.
    static void writeDimension(DL_WriterA& dw, const Annotation& d, const ViewText* t,
                               const DL_Attributes& a, double h) {
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
    static void writeLeader(DL_WriterA& dw, const Annotation& l, const ViewText* t,
                            const DL_Attributes& a, double h) {
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

    static void objectStart(DL_WriterA& dw, const char* type, int handle, int owner) {
        dw.dxfString(0, type);
        dw.dxfHex(5, handle);
        dw.dxfHex(330, owner);
    }

    static void dictionary(DL_WriterA& dw, int handle, int owner,
                           std::initializer_list<std::pair<const char*, int>> entries) {
        objectStart(dw, "DICTIONARY", handle, owner);
        dw.subClass("AcDbDictionary");
        dw.dxfInt(281, 1);
        for (const auto& [name, entry] : entries) {
            dw.dxfString(3, name);
            dw.dxfHex(350, entry);
        }
    }

    static void layout(DL_WriterA& dw, int handle, const char* name, int tab, int blockRecord) {
        objectStart(dw, "LAYOUT", handle, kLayoutDictionary);
        dw.subClass("AcDbPlotSettings");
        dw.dxfString(1, "");
        dw.dxfString(2, "none_device");
        dw.dxfString(4, "");
        dw.dxfString(6, "");
        for (int code : {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 140, 141}) dw.dxfReal(code, 0.0);
        dw.dxfReal(142, 1.0);
        dw.dxfReal(143, 1.0);
        dw.dxfInt(70, tab == 0 ? 1712 : 688);  // the plot flags of a model and a sheet
        dw.dxfInt(72, 0);
        dw.dxfInt(73, 0);
        dw.dxfInt(74, tab == 0 ? 0 : 5);
        dw.dxfString(7, "");
        dw.dxfInt(75, tab == 0 ? 0 : 16);
        dw.dxfReal(147, 1.0);
        dw.dxfReal(148, 0.0);
        dw.dxfReal(149, 0.0);
        dw.subClass("AcDbLayout");
        dw.dxfString(1, name);
        dw.dxfInt(70, 1);
        dw.dxfInt(71, tab);
        dw.coord(10, 0.0, 0.0);
        dw.coord(11, 420.0, 297.0);
        dw.coord(12, 0.0, 0.0);
        dw.coord(14, 0.0, 0.0);
        dw.coord(15, 0.0, 0.0);
        dw.dxfReal(146, 0.0);
        dw.coord(13, 0.0, 0.0);
        dw.coord(16, 1.0, 0.0);
        dw.coord(17, 0.0, 1.0);
        dw.dxfInt(76, 0);
        dw.dxfHex(330, blockRecord);
    }

    // The dictionaries every reader of this version expects, each object owned
    // by the dictionary that lists it.
    static void writeObjects(DL_WriterA& dw) {
        dw.section("OBJECTS");
        dictionary(dw, kRootDictionary, 0,
                   {{"ACAD_GROUP", kGroupDictionary},
                    {"ACAD_LAYOUT", kLayoutDictionary},
                    {"ACAD_MLINESTYLE", kMlineStyleDictionary},
                    {"ACAD_PLOTSETTINGS", kPlotSettingsDictionary},
                    {"ACAD_PLOTSTYLENAME", kPlotStyleDictionary}});
        dictionary(dw, kGroupDictionary, kRootDictionary, {});
        objectStart(dw, "ACDBDICTIONARYWDFLT", kPlotStyleDictionary, kRootDictionary);
        dw.subClass("AcDbDictionary");
        dw.dxfInt(281, 1);
        dw.dxfString(3, "Normal");
        dw.dxfHex(350, kNormalPlotStyle);
        dw.subClass("AcDbDictionaryWithDefault");
        dw.dxfHex(340, kNormalPlotStyle);
        objectStart(dw, "ACDBPLACEHOLDER", kNormalPlotStyle, kPlotStyleDictionary);
        dictionary(dw, kMlineStyleDictionary, kRootDictionary, {{"Standard", kStandardMlineStyle}});
        objectStart(dw, "MLINESTYLE", kStandardMlineStyle, kMlineStyleDictionary);
        dw.subClass("AcDbMlineStyle");
        dw.dxfString(2, "STANDARD");
        dw.dxfInt(70, 0);
        dw.dxfString(3, "");
        dw.dxfInt(62, 256);
        dw.dxfReal(51, 90.0);
        dw.dxfReal(52, 90.0);
        dw.dxfInt(71, 2);
        for (double offset : {0.5, -0.5}) {
            dw.dxfReal(49, offset);
            dw.dxfInt(62, 256);
            dw.dxfString(6, "BYLAYER");
        }
        dictionary(dw, kPlotSettingsDictionary, kRootDictionary, {});
        dictionary(
            dw, kLayoutDictionary, kRootDictionary,
            {{"Model", kModelLayout}, {"Layout1", kPaperLayout}, {"Layout2", kPaperLayout0}});
        layout(dw, kModelLayout, "Model", 0, kModelSpaceRecord);
        layout(dw, kPaperLayout, "Layout1", 1, kPaperSpaceRecord);
        layout(dw, kPaperLayout0, "Layout2", 2, kPaperSpace0Record);
        dw.sectionEnd();
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
        if (const Arrowhead* head = std::get_if<Arrowhead>(&shape.geometry)) {
            // A SOLID's third and fourth corners are the same for a triangle.
            DL_SolidData solid(head->tip.x, head->tip.y, 0.0, head->left.x, head->left.y, 0.0,
                               head->right.x, head->right.y, 0.0, head->right.x, head->right.y, 0.0,
                               0.0);
            dxf.writeSolid(dw, solid, a);
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
        std::vector<DL_VertexData> vertices;
        for (const BulgeVertex& v : polylineVertices(path))
            vertices.emplace_back(v.p.x, v.p.y, 0.0, v.bulge);
        dxf.writePolyline(
            dw, DL_PolylineData(static_cast<int>(vertices.size()), 0, 0, path.closed ? 1 : 0), a);
        for (const DL_VertexData& v : vertices) dxf.writeVertex(dw, v);
        dxf.writePolylineEnd(dw);
    }

    static void writeText(DL_Dxf& dxf, DL_WriterA& dw, const ViewText& t, const DL_Attributes& a) {
        const double rad = t.angleDegrees * std::numbers::pi / 180.0;
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

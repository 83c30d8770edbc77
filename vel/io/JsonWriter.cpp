// JsonWriter.cpp - writing the host's own drawing file: JSON with the file's
// styles, the layers and the segments, one element to a line. Figures, most of
// a large drawing, are written straight into the text; the rest through the JSON
// library.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "vel/io/DrawingFile.h"
#include "vel/io/DrawingView.h"
#include "vel/io/JsonFormat.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

// How much text the writer gathers before it hands it to the stream.
constexpr size_t kFlushBytes = 1 << 20;

std::string dumpCompact(const ordered_json& j) {
    // Layer names read from other formats may hold bytes that are not UTF-8.
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

ordered_json pointJson(Point p) {
    return ordered_json::array({p.x, p.y});
}

ordered_json optionalInt(const std::optional<int>& v) {
    return v ? ordered_json(*v) : ordered_json(nullptr);
}

// A number laid out as the JSON library lays one out: the shortest digits that read back as the
// same double, in fixed notation with ".0" for whole numbers from 1e-4 up to 1e15 (where the
// point stays within 15 digits and 4 zeros after it), otherwise as d.ddde+XX. Written here
// because building a JSON value for each of a million figure elements costs more than the
// drawing itself.
void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    const double magnitude = std::fabs(v);
    const bool fixed = magnitude == 0.0 || (magnitude >= 1e-4 && magnitude < 1e15);
    char text[32];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, v,
                      fixed ? std::chars_format::fixed : std::chars_format::scientific);
    if (ec != std::errc{}) {
        out += "null";
        return;
    }
    out.append(text, end);
    // Whole numbers, zero and "-0" too, keep a point so that they read back as doubles.
    if (fixed && std::find(text, end, '.') == end) out += ".0";
}

void appendInt(std::string& out, long long v) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, v).ptr);
}

void appendOptional(std::string& out, const std::optional<int>& v) {
    if (v)
        appendInt(out, *v);
    else
        out += "null";
}

// A figure element as the JSON library would write it compactly.
void appendFigure(std::string& out, const Element& e, const FigureElement& f) {
    out += "{\"id\":";
    appendInt(out, e.id);
    out += ",\"type\":";
    appendInt(out, static_cast<int>(f.type));
    out += ",\"values\":[";
    for (size_t i = 0; i < std::size(f.values); ++i) {
        if (i) out += ',';
        appendNumber(out, f.values[i]);
    }
    out += "],\"color\":";
    appendOptional(out, e.color);
    out += ",\"ltype\":";
    appendOptional(out, e.lineType);
    if (e.fileStyle) {
        out += ",\"file_style\":";
        appendInt(out, e.fileStyle);
    }
    out += '}';
}

// A dimension or leader element, rare beside figures, through the JSON library.
ordered_json annotationJson(const Element& e) {
    ordered_json j;
    j["id"] = e.id;
    if (const auto* dim = std::get_if<DimensionElement>(&e.body)) {
        ordered_json d;
        d["a"] = pointJson(dim->a);
        d["b"] = pointJson(dim->b);
        d["direction"] = dim->direction;
        d["decimals"] = dim->decimals;
        d["arrow"] = ordered_json::array({dim->arrow.kind, dim->arrow.size1, dim->arrow.size2});
        d["text"] = dim->text();
        j["dimension"] = std::move(d);
    } else {
        const auto& leader = std::get<LeaderElement>(e.body);
        ordered_json l;
        l["points"] = ordered_json::array();
        for (Point p : leader.points) l["points"].push_back(pointJson(p));
        l["direction"] = leader.direction;
        l["text"] = toUtf8(leader.text);
        j["leader"] = std::move(l);
    }
    // Dimensions and leaders carry their own colour or line type only when given one.
    if (e.color) j["color"] = *e.color;
    if (e.lineType) j["ltype"] = *e.lineType;
    if (e.fileStyle) j["file_style"] = e.fileStyle;
    return j;
}

// A segment's own values, on the line before its elements.
void appendSegmentStart(std::string& out, const Segment& s) {
    out += "    {\"id\": ";
    appendInt(out, s.id);
    out += ", \"kind\": ";
    appendInt(out, static_cast<int>(s.kind));
    out += ", \"layer\": ";
    appendInt(out, s.layer);
    out += s.closed ? ", \"closed\": true" : ", \"closed\": false";
    out += ", \"attributes\": [";
    bool first = true;
    for (int a : s.attributes) {
        if (!first) out += ',';
        first = false;
        appendInt(out, a);
    }
    out += "],\n     \"elements\": [";
}

// The styles of the file the drawing was read from, one to a line, before the layers and
// segments that name them; nothing for a drawing that has none.
void appendFileStyles(std::string& text, const FileStyles& files) {
    if (!files.lineTypes().empty()) {
        text += "  \"file_line_types\": [";
        for (size_t i = 0; i < files.lineTypes().size(); ++i) {
            const FileLineType& t = files.lineTypes()[i];
            ordered_json j;
            j["name"] = t.name;
            if (!t.description.empty()) j["description"] = t.description;
            if (!t.pattern.empty()) j["pattern"] = t.pattern;
            text += (i ? ",\n    " : "\n    ") + dumpCompact(j);
        }
        text += "\n  ],\n";
    }
    if (!files.styles().empty()) {
        text += "  \"file_styles\": [";
        for (size_t i = 0; i < files.styles().size(); ++i) {
            const FileStyle& style = files.styles()[i];
            ordered_json j;
            if (style.color) {
                j["color"] = style.color->index;
                if (style.color->trueColor != -1) j["true_color"] = style.color->trueColor;
            }
            if (style.lineType >= 0) j["ltype"] = style.lineType;
            j["host_color"] = optionalInt(style.hostColor);
            j["host_ltype"] = optionalInt(style.hostLineType);
            text += (i ? ",\n    " : "\n    ") + dumpCompact(j);
        }
        text += "\n  ],\n";
    }
}

class JsonWriter : public DrawingWriter {
public:
    using DrawingWriter::write;
    void write(const Drawing& drawing, std::ostream& out, Progress* progress) const override {
        requireFiniteDrawing(drawing);
        ProgressSteps steps(progress, drawing.segments().size());
        std::string text = "{\n";
        text += "  \"format\": \"" + std::string(kJsonFormatName) + "\",\n";
        text += "  \"version\": " + std::to_string(kJsonFormatVersion) + ",\n";
        text += "  \"current_layer\": " + std::to_string(drawing.currentLayer()) + ",\n";
        if (const std::optional<double> h = drawing.dimensionTextHeight())
            text += "  \"dimension_text_height\": " + ordered_json(*h).dump() + ",\n";
        appendFileStyles(text, drawing.fileStyles());
        text += "  \"layers\": [";
        bool first = true;
        for (const auto& [number, layer] : drawing.layers()) {
            ordered_json j;
            j["number"] = number;
            if (!layer.name.empty()) j["name"] = layer.name;
            if (layer.color) j["color"] = *layer.color;
            if (layer.lineType) j["ltype"] = *layer.lineType;
            if (layer.fileStyle) j["file_style"] = layer.fileStyle;
            text += (first ? "\n    " : ",\n    ") + dumpCompact(j);
            first = false;
        }
        text += first ? "],\n" : "\n  ],\n";
        text += "  \"segments\": [";
        first = true;
        for (const auto& [id, s] : drawing.segments()) {
            text += first ? "\n" : ",\n";
            first = false;
            appendSegmentStart(text, s);
            for (size_t i = 0; i < s.elements.size(); ++i) {
                text += i ? ",\n       " : "\n       ";
                const Element& e = s.elements[i];
                if (const FigureElement* f = e.figure())
                    appendFigure(text, e, *f);
                else
                    text += dumpCompact(annotationJson(e));
            }
            text += s.elements.empty() ? "]}" : "\n     ]}";
            steps.step();
            // Written as it goes, so that a large drawing is never held twice in memory.
            if (text.size() > kFlushBytes) {
                out << text;
                text.clear();
            }
        }
        text += first ? "]\n}\n" : "\n  ]\n}\n";
        out << text;
    }
};

}  // namespace

std::unique_ptr<DrawingWriter> makeJsonWriter() {
    return std::make_unique<JsonWriter>();
}

}  // namespace vel

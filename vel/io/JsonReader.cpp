// JsonReader.cpp - reading the host's own drawing file: every value checked,
// segments read as the parser meets them, faults reported by file and line.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <exception>
#include <istream>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <unordered_map>
#include <variant>

#include "vel/io/DrawingFile.h"
#include "vel/io/JsonFormat.h"
#include "vel/io/JsonLocator.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

using nlohmann::json;

// Ids beyond this are refused so that fresh ids after them cannot overflow.
constexpr long long kMaxId = 1'000'000'000;

struct ParsedElement {
    std::optional<int> id;
    ElementBody body;
    std::optional<int> color;
    std::optional<int> lineType;
    int fileStyle = 0;
};

struct ParsedSegment {
    std::optional<int> id;
    SegmentKind kind = SegmentKind::Figure;
    std::optional<int> layer;
    bool closed = false;
    std::set<int> attributes;
    std::vector<ParsedElement> elements;
};

// Hands the text to the parser a character at a time and keeps where the parser stands, for
// the progress of a read.
struct TrackedText {
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    const char* at = nullptr;
    const char** reached = nullptr;

    reference operator*() const { return *at; }
    TrackedText& operator++() {
        *reached = ++at;
        return *this;
    }
    TrackedText operator++(int) {
        TrackedText before = *this;
        ++*this;
        return before;
    }
    friend bool operator==(const TrackedText& a, const TrackedText& b) { return a.at == b.at; }
};

class JsonReader {
public:
    JsonReader(const std::string& text, const std::string& fileName, Progress* progress)
        : text_(text), fileName_(fileName), locator_(text), progress_(progress) {}

    void read(Drawing& drawing) {
        // Each segment is read as soon as it has been parsed and then dropped, so that a
        // large drawing is never held whole as JSON values (several times its text).
        std::vector<ParsedSegment> segments;
        std::string rootKey;
        bool inSegments = false;
        std::exception_ptr segmentFault;
        const char* reached = text_.data();
        ProgressSteps steps(progress_, text_.size());
        auto readAsParsed = [&](int depth, json::parse_event_t event, json& parsed) {
            using Event = json::parse_event_t;
            if (depth == 1 && event == Event::key) rootKey = parsed.get<std::string>();
            if (depth == 1 && rootKey == "segments")
                if (event == Event::array_start || event == Event::array_end)
                    inSegments = event == Event::array_start;
            if (!inSegments || depth != 2 ||
                (event != Event::object_end && event != Event::array_end && event != Event::value))
                return true;
            // A fault waits until the file is known to be a drawing at all (its format and
            // version may come after the segments) and is free of syntax errors.
            if (!segmentFault) try {
                    segments.push_back(readSegment(parsed, {"segments", segments.size()}));
                } catch (const FileError&) {
                    segmentFault = std::current_exception();
                }
            steps.at(static_cast<size_t>(reached - text_.data()));
            return false;
        };
        json root;
        try {
            if (progress_) {
                const char* const begin = text_.data();
                root = json::parse(TrackedText{begin, &reached},
                                   TrackedText{begin + text_.size(), &reached}, readAsParsed);
            } else {
                root = json::parse(text_, readAsParsed);
            }
        } catch (const json::parse_error& e) {
            throw FileError(fileName_, locator_.lineAt(e.byte > 0 ? e.byte - 1 : 0),
                            "not valid JSON: " + parseMessage(e.what()));
        } catch (const json::out_of_range& e) {
            // A number too large for a double; the parser names it but not where it is.
            const std::string what = e.what();
            const size_t open = what.find('\''), close = what.rfind('\'');
            const std::string token = open != std::string::npos && close > open
                                          ? what.substr(open + 1, close - open - 1)
                                          : "";
            const size_t at = token.empty() ? std::string::npos : text_.find(token);
            throw FileError(fileName_, at == std::string::npos ? 0 : locator_.lineAt(at),
                            "number out of range: " + (token.empty() ? what : token));
        } catch (const json::exception& e) {
            throw FileError(fileName_, 0, std::string("not valid JSON: ") + e.what());
        }
        JsonPath path;
        expectObject(root, path,
                     {"format", "version", "current_layer", "dimension_text_height",
                      "file_line_types", "file_styles", "layers", "segments"});

        const json* format = member(root, "format");
        path.push_back("format");
        if (!format)
            fail({}, "missing \"format\"; a drawing file starts with \"format\": \"" +
                         std::string(kJsonFormatName) + "\"");
        if (!format->is_string() || format->get<std::string>() != kJsonFormatName)
            fail(path, "expected \"" + std::string(kJsonFormatName) + "\"");
        path.back() = "version";
        const json* version = member(root, "version");
        if (!version) fail({}, "missing \"version\"");
        if (integer(*version, path) != kJsonFormatVersion)
            fail(path, "version " + version->dump() +
                           " is not supported; this reader takes version " +
                           std::to_string(kJsonFormatVersion));
        path.pop_back();

        Drawing result;
        int currentLayer = 0;
        if (const json* j = member(root, "current_layer"))
            currentLayer = layerNumber(*j, {"current_layer"});

        if (const json* j = member(root, "dimension_text_height")) {
            const double h = number(*j, {"dimension_text_height"});
            if (!(h > 0.0)) fail({"dimension_text_height"}, "expected a height above 0");
            result.setDimensionTextHeight(h);
        }
        readFileStyles(root, result.fileStyles());
        if (const json* layers = member(root, "layers")) readLayers(*layers, result);
        if (segmentFault) std::rethrow_exception(segmentFault);
        // The segments were read as they were parsed; only what is no list of them is left.
        if (const json* list = member(root, "segments")) expectArray(*list, {"segments"});
        root = json();
        build(result, currentLayer, segments);
        drawing = std::move(result);
    }

private:
    [[noreturn]] void fail(const JsonPath& path, const std::string& message) const {
        throw FileError(fileName_, locator_.lineOf(path), pathText(path) + ": " + message);
    }

    static std::string parseMessage(const std::string& what) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: why"
        const size_t column = what.find("column");
        const size_t colon = column == std::string::npos ? column : what.find(": ", column);
        return colon == std::string::npos ? what : what.substr(colon + 2);
    }

    static JsonPath with(const JsonPath& path, PathStep step) {
        JsonPath out = path;
        out.push_back(std::move(step));
        return out;
    }

    static const json* member(const json& object, const char* key) {
        auto it = object.find(key);
        return it == object.end() ? nullptr : &*it;
    }

    static std::string typeName(const json& j) {
        if (j.is_number_float()) return "a fractional number";
        if (j.is_number()) return "a whole number";
        if (j.is_boolean()) return "true or false";
        if (j.is_string()) return "a string";
        if (j.is_array()) return "an array";
        if (j.is_object()) return "an object";
        return "null";
    }

    void expectObject(const json& j, const JsonPath& path,
                      std::initializer_list<const char*> keys) {
        if (!j.is_object()) fail(path, "expected an object, found " + typeName(j));
        for (auto it = j.begin(); it != j.end(); ++it)
            if (std::none_of(keys.begin(), keys.end(),
                             [&](const char* k) { return it.key() == k; }))
                fail(with(path, it.key()), "unknown key \"" + it.key() + "\"");
    }

    void expectArray(const json& j, const JsonPath& path) {
        if (!j.is_array()) fail(path, "expected an array, found " + typeName(j));
    }

    long long integer(const json& j, const JsonPath& path) const {
        if (j.is_number_unsigned()) {
            const auto v = j.get<std::uint64_t>();
            if (v > static_cast<std::uint64_t>(INT_MAX)) fail(path, "number out of range");
            return static_cast<long long>(v);
        }
        if (!j.is_number_integer()) fail(path, "expected a whole number, found " + typeName(j));
        const auto v = j.get<std::int64_t>();
        if (v < INT_MIN || v > INT_MAX) fail(path, "number out of range");
        return v;
    }

    double number(const json& j, const JsonPath& path) const {
        if (!j.is_number()) fail(path, "expected a number, found " + typeName(j));
        const double v = j.get<double>();
        if (!std::isfinite(v)) fail(path, "number out of range");
        return v;
    }

    int layerNumber(const json& j, const JsonPath& path) const {
        const long long v = integer(j, path);
        if (v < 0) fail(path, "layer numbers are not negative");
        return static_cast<int>(v);
    }

    // An int, whose smallest value stands for none in the drawing's elements.
    std::optional<int> optionalInteger(const json* j, const JsonPath& path) const {
        if (!j || j->is_null()) return std::nullopt;
        const long long v = integer(*j, path);
        if (v <= ElementNumber::kNone || v > std::numeric_limits<int>::max())
            fail(path, "a number from " + std::to_string(ElementNumber::kNone + 1) + " to " +
                           std::to_string(std::numeric_limits<int>::max()) + " was expected");
        return static_cast<int>(v);
    }

    std::optional<int> readId(const json& object, const JsonPath& path) {
        const json* j = member(object, "id");
        if (!j) return std::nullopt;
        const JsonPath at = with(path, "id");
        const long long id = integer(*j, at);
        if (id < 1 || id > kMaxId) fail(at, "ids run from 1 to " + std::to_string(kMaxId));
        // Where each id was given, kept as the segment's and element's places alone: a
        // path for each of a million elements would cost more than the elements.
        const IdPlace place{std::get<size_t>(path[1]),
                            path.size() > 3 ? std::get<size_t>(path[3]) : kWholeSegment};
        auto [it, inserted] = idPlaces_.emplace(static_cast<int>(id), place);
        if (!inserted)
            fail(at, "id " + std::to_string(id) + " is already used by " + it->second.text());
        maxId_ = std::max(maxId_, static_cast<int>(id));
        return static_cast<int>(id);
    }

    std::string text(const json& j, const JsonPath& path) const {
        if (!j.is_string()) fail(path, "expected a string, found " + typeName(j));
        return j.get<std::string>();
    }

    Point point(const json& j, const JsonPath& path) const {
        if (!j.is_array() || j.size() != 2) fail(path, "expected a point [x, y]");
        return {number(j[0], with(path, size_t{0})), number(j[1], with(path, size_t{1}))};
    }

    void readLayers(const json& layers, Drawing& result) {
        const JsonPath at{"layers"};
        expectArray(layers, at);
        std::set<std::string> names;
        std::set<int> numbers;
        for (size_t i = 0; i < layers.size(); ++i) {
            const JsonPath here = with(at, i);
            const json& layer = layers[i];
            expectObject(layer, here, {"number", "name", "color", "ltype", "file_style"});
            const json* number = member(layer, "number");
            if (!number) fail(here, "missing \"number\"");
            const int n = layerNumber(*number, with(here, "number"));
            if (!numbers.insert(n).second)
                fail(with(here, "number"), "layer " + std::to_string(n) + " is listed twice");
            std::string name;
            if (const json* j = member(layer, "name")) name = text(*j, with(here, "name"));
            if (!name.empty() && !names.insert(name).second)
                fail(with(here, "name"), "layer name \"" + name + "\" is used twice");
            result.createLayer(n, name);
            const std::optional<int> color =
                optionalInteger(member(layer, "color"), with(here, "color"));
            const std::optional<int> lineType =
                optionalInteger(member(layer, "ltype"), with(here, "ltype"));
            const int fileStyle = fileStyleNumber(layer, here, result.fileStyles());
            if (color || lineType || fileStyle) result.setLayerStyle(n, color, lineType, fileStyle);
        }
    }

    // A number of one of the file styles; 0 when none is given.
    int fileStyleNumber(const json& object, const JsonPath& path, const FileStyles& files) const {
        const std::optional<int> n =
            optionalInteger(member(object, "file_style"), with(path, "file_style"));
        if (n && !files.style(*n))
            fail(with(path, "file_style"),
                 "file styles are numbered from 1 to " + std::to_string(files.styles().size()));
        return n.value_or(0);
    }

    void readFileStyles(const json& root, FileStyles& files) {
        if (const json* list = member(root, "file_line_types")) {
            const JsonPath at{"file_line_types"};
            expectArray(*list, at);
            for (size_t i = 0; i < list->size(); ++i) {
                const JsonPath here = with(at, i);
                const json& j = (*list)[i];
                expectObject(j, here, {"name", "description", "pattern"});
                FileLineType t;
                const json* name = member(j, "name");
                if (!name) fail(here, "missing \"name\"");
                t.name = text(*name, with(here, "name"));
                if (t.name.empty()) fail(with(here, "name"), "a line type has a name");
                if (const json* v = member(j, "description"))
                    t.description = text(*v, with(here, "description"));
                if (const json* v = member(j, "pattern")) {
                    const JsonPath pat = with(here, "pattern");
                    expectArray(*v, pat);
                    for (size_t k = 0; k < v->size(); ++k)
                        t.pattern.push_back(number((*v)[k], with(pat, k)));
                }
                files.addLineType(std::move(t));
            }
        }
        if (const json* list = member(root, "file_styles")) {
            const JsonPath at{"file_styles"};
            expectArray(*list, at);
            for (size_t i = 0; i < list->size(); ++i) {
                const JsonPath here = with(at, i);
                const json& j = (*list)[i];
                expectObject(j, here, {"color", "true_color", "ltype", "host_color", "host_ltype"});
                FileStyle style;
                const std::optional<int> index =
                    optionalInteger(member(j, "color"), with(here, "color"));
                const std::optional<int> rgb =
                    optionalInteger(member(j, "true_color"), with(here, "true_color"));
                if (index && (*index < -255 || *index > 256))
                    fail(with(here, "color"), "colour indexes run from -255 to 256");
                if (rgb && (*rgb < 0 || *rgb > 0xFFFFFF))
                    fail(with(here, "true_color"), "true colours run from 0 to 16777215");
                if (index || rgb) style.color = FileColor{index.value_or(256), rgb.value_or(-1)};
                if (const std::optional<int> t =
                        optionalInteger(member(j, "ltype"), with(here, "ltype"))) {
                    if (*t < 0 || static_cast<size_t>(*t) >= files.lineTypes().size())
                        fail(with(here, "ltype"), "not one of the file_line_types");
                    style.lineType = *t;
                }
                style.hostColor =
                    optionalInteger(member(j, "host_color"), with(here, "host_color"));
                style.hostLineType =
                    optionalInteger(member(j, "host_ltype"), with(here, "host_ltype"));
                files.add(style);
            }
        }
    }

    ParsedSegment readSegment(const json& j, const JsonPath& path) {
        expectObject(j, path, {"id", "kind", "layer", "closed", "attributes", "elements"});
        ParsedSegment s;
        s.id = readId(j, path);
        if (const json* kind = member(j, "kind")) {
            const long long k = integer(*kind, with(path, "kind"));
            if (k < 0 || k > 2)
                fail(with(path, "kind"), "segment kinds are 0 figure, 1 dimension, 2 comment");
            s.kind = static_cast<SegmentKind>(k);
        }
        if (const json* layer = member(j, "layer"))
            s.layer = layerNumber(*layer, with(path, "layer"));
        if (const json* closed = member(j, "closed")) {
            if (!closed->is_boolean())
                fail(with(path, "closed"), "expected true or false, found " + typeName(*closed));
            s.closed = closed->get<bool>();
        }
        if (const json* attributes = member(j, "attributes")) {
            const JsonPath at = with(path, "attributes");
            expectArray(*attributes, at);
            for (size_t i = 0; i < attributes->size(); ++i)
                s.attributes.insert(static_cast<int>(integer((*attributes)[i], with(at, i))));
        }
        if (const json* elements = member(j, "elements")) {
            const JsonPath at = with(path, "elements");
            expectArray(*elements, at);
            for (size_t i = 0; i < elements->size(); ++i)
                s.elements.push_back(readElement((*elements)[i], with(at, i)));
        }
        return s;
    }

    ParsedElement readElement(const json& j, const JsonPath& path) {
        if (!j.is_object()) fail(path, "expected an object, found " + typeName(j));
        const int kinds =
            int(j.contains("type")) + int(j.contains("dimension")) + int(j.contains("leader"));
        if (kinds != 1)
            fail(path,
                 "an element has exactly one of \"type\" (a figure), \"dimension\" or \"leader\"");
        ParsedElement e;
        if (j.contains("type")) {
            expectObject(j, path, {"id", "type", "values", "color", "ltype", "file_style"});
            FigureElement f;
            const JsonPath at = with(path, "type");
            const long long type = integer(j["type"], at);
            if (!isKnownFigureType(static_cast<int>(type)))
                fail(at, "unknown figure type " + std::to_string(type) +
                             " (1 line, 2 circle, 3 arc, 7 corner R, 8 chamfer, 9 point)");
            f.type = static_cast<FigureType>(type);
            if (const json* values = member(j, "values")) {
                const JsonPath vat = with(path, "values");
                expectArray(*values, vat);
                if (values->size() > 10) fail(vat, "a figure has at most ten values");
                for (size_t i = 0; i < values->size(); ++i)
                    f.values[i] = number((*values)[i], with(vat, i));
            }
            e.body = f;
        } else if (j.contains("dimension")) {
            expectObject(j, path, {"id", "dimension", "color", "ltype", "file_style"});
            e.body = readDimension(j["dimension"], with(path, "dimension"));
        } else {
            expectObject(j, path, {"id", "leader", "color", "ltype", "file_style"});
            e.body = readLeader(j["leader"], with(path, "leader"));
        }
        e.id = readId(j, path);
        e.color = optionalInteger(member(j, "color"), with(path, "color"));
        e.lineType = optionalInteger(member(j, "ltype"), with(path, "ltype"));
        // The styles it names may come after the segments: checked once all is read.
        e.fileStyle =
            optionalInteger(member(j, "file_style"), with(path, "file_style")).value_or(0);
        return e;
    }

    DimensionElement readDimension(const json& j, const JsonPath& path) {
        expectObject(j, path, {"a", "b", "direction", "decimals", "arrow", "text"});
        DimensionElement d;
        for (const char* key : {"a", "b"})
            if (!j.contains(key)) fail(path, std::string("missing \"") + key + "\"");
        d.a = point(j["a"], with(path, "a"));
        d.b = point(j["b"], with(path, "b"));
        if (const json* v = member(j, "direction"))
            d.direction = number(*v, with(path, "direction"));
        if (const json* v = member(j, "decimals"))
            d.decimals = static_cast<int>(integer(*v, with(path, "decimals")));
        if (const json* v = member(j, "arrow")) {
            const JsonPath at = with(path, "arrow");
            if (!v->is_array() || v->size() != 3) fail(at, "expected [kind, size1, size2]");
            d.arrow.kind = static_cast<int>(integer((*v)[0], with(at, size_t{0})));
            d.arrow.size1 = number((*v)[1], with(at, size_t{1}));
            d.arrow.size2 = number((*v)[2], with(at, size_t{2}));
        }
        // The text is what the measurement shows; it is written for people, not read.
        if (const json* v = member(j, "text")) text(*v, with(path, "text"));
        return d;
    }

    LeaderElement readLeader(const json& j, const JsonPath& path) {
        expectObject(j, path, {"points", "direction", "text"});
        LeaderElement l;
        const json* points = member(j, "points");
        if (!points) fail(path, "missing \"points\"");
        const JsonPath at = with(path, "points");
        expectArray(*points, at);
        if (points->empty()) fail(at, "a leader has at least one point");
        for (size_t i = 0; i < points->size(); ++i)
            l.points.push_back(point((*points)[i], with(at, i)));
        if (const json* v = member(j, "direction"))
            l.direction = number(*v, with(path, "direction"));
        if (const json* v = member(j, "text")) l.text = toUtf16(text(*v, with(path, "text")));
        return l;
    }

    void build(Drawing& result, int currentLayer, std::vector<ParsedSegment>& segments) {
        result.setCurrentLayer(currentLayer);
        // Elements without an id take fresh ones past every id the file gives.
        int fresh = std::max(result.nextId(), maxId_ + 1);
        for (size_t i = 0; i < segments.size(); ++i) {
            ParsedSegment& ps = segments[i];
            const int id = ps.id ? *ps.id : fresh++;
            if (result.createSegmentWithId(ps.kind, id) < 0)
                fail({"segments", i}, "cannot make segment " + std::to_string(id));
            Segment* s = result.segment(id);
            s->layer = ps.layer.value_or(currentLayer);
            result.createLayer(s->layer);
            s->closed = ps.closed;
            s->attributes = ps.attributes;
            for (size_t k = 0; k < ps.elements.size(); ++k) {
                ParsedElement& pe = ps.elements[k];
                const int eid =
                    result.appendElement(id, std::move(pe.body), pe.id ? *pe.id : fresh++);
                if (eid < 0) fail({"segments", i, "elements", k}, "cannot make the element");
                Element* e = result.element(eid);
                e->color = pe.color;
                e->lineType = pe.lineType;
                if (pe.fileStyle && !result.fileStyles().style(pe.fileStyle))
                    fail({"segments", i, "elements", k, "file_style"},
                         "file styles are numbered from 1 to " +
                             std::to_string(result.fileStyles().styles().size()));
                e->fileStyle = pe.fileStyle;
            }
        }
    }

    const std::string& text_;
    const std::string& fileName_;
    JsonLocator locator_;
    Progress* progress_;
    static constexpr size_t kWholeSegment = SIZE_MAX;
    struct IdPlace {
        size_t segment = 0;
        size_t element = kWholeSegment;
        std::string text() const {
            return pathText(element == kWholeSegment
                                ? JsonPath{"segments", segment}
                                : JsonPath{"segments", segment, "elements", element});
        }
    };
    std::unordered_map<int, IdPlace> idPlaces_;
    int maxId_ = 0;
};

}  // namespace

void readJsonDrawing(std::istream& in, const std::string& fileName, Drawing& drawing,
                     Progress* progress) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileError(fileName, 0, "cannot read the file");
    JsonReader(text, fileName, progress).read(drawing);
}

}  // namespace vel

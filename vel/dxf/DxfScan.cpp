// DxfScan.cpp - the group-by-group reading and check of a DXF text: group codes and the kind of
// value each wants, sections and the end of the file, counts, paper space, and the kinds no
// reader of ours knows. A value reaches the reader as the file gives it; its number is read
// there, once this check has passed it.
#include "vel/dxf/DxfScan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "vel/dxf/DxfText.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/Text.h"

namespace vel {

namespace {

constexpr size_t kMaxLineLength = 1000;  // as DXF readers of old allow: a buffer of 1024 bytes
constexpr size_t kQuotedLength = 40;     // enough of a value to recognise it
constexpr double kFlatMesh = 1e-9;       // heights this close are one plane
constexpr int kLargestGroupCode = 1071;

// A line as DXF readers take it: up to a zero byte and without its line end; a code line also
// without the blanks round it (values keep theirs).
std::string_view fileLine(std::string_view raw, bool code) {
    std::string_view s = raw.substr(0, raw.find('\0'));
    const size_t last = s.find_last_not_of(code ? " \t\r\n" : "\r\n");
    s = s.substr(0, last == std::string_view::npos ? 0 : last + 1);
    if (code) {
        const size_t first = s.find_first_not_of(" \t");
        s = first == std::string_view::npos ? std::string_view{} : s.substr(first);
    }
    return s;
}

// A value line as DXF readers take it (fileLine without the code line's blanks), in one pass.
std::string_view fileValue(std::string_view raw) {
    size_t n = 0;
    while (n < raw.size() && raw[n] != '\0') ++n;
    while (n > 0 && (raw[n - 1] == '\r' || raw[n - 1] == '\n')) --n;
    return raw.substr(0, n);
}

std::string_view trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The entity kinds the reader knows, figures or not: any other of the model is counted here.
const std::set<std::string, std::less<>>& knownEntityNames() {
    static const std::set<std::string, std::less<>> names{
        "POINT",  "LINE",    "XLINE",  "RAY",    "POLYLINE", "LWPOLYLINE", "VERTEX", "SPLINE",
        "ARC",    "ELLIPSE", "CIRCLE", "INSERT", "TEXT",     "MTEXT",      "ATTRIB", "DIMENSION",
        "LEADER", "HATCH",   "IMAGE",  "TRACE",  "SOLID",    "3DFACE",     "SEQEND"};
    return names;
}

enum class ValueKind { Text, Real, Integer };

// The kind of value of a group code, as the DXF reference assigns them.
ValueKind kindOfCode(int code) {
    auto in = [code](int from, int to) { return code >= from && code <= to; };
    if (in(10, 59) || in(110, 149) || in(210, 239) || in(460, 469) || in(1010, 1059))
        return ValueKind::Real;
    if (in(60, 99) || in(160, 179) || in(270, 299) || in(370, 389) || in(400, 409) ||
        in(420, 429) || in(440, 459) || in(1060, 1071))
        return ValueKind::Integer;
    return ValueKind::Text;
}

// What is wrong with a value for its group code; empty when nothing is.
std::string numberProblem(ValueKind kind, std::string_view raw) {
    std::string_view v = trimmed(raw);
    // One sign: "+-4" is no number.
    if (!v.empty() && v.front() == '+') {
        v.remove_prefix(1);
        if (!v.empty() && v.front() == '-')
            return kind == ValueKind::Integer ? "expected a whole number" : "expected a number";
    }
    const char* first = v.data();
    const char* last = v.data() + v.size();
    if (kind == ValueKind::Integer) {
        long long n = 0;
        const auto [end, ec] = std::from_chars(first, last, n);
        if (v.empty() || end != last) return "expected a whole number";
        if (ec == std::errc::result_out_of_range) return "a number out of range";
        return {};
    }
    // from_chars also takes "nan" and "inf"; a drawing's numbers start with a digit or a point.
    const char lead = v.empty() ? '\0' : v.front() == '-' && v.size() > 1 ? v[1] : v.front();
    if (!(lead == '.' || (lead >= '0' && lead <= '9'))) return "expected a number";
    double x = 0.0;
    const auto [end, ec] = std::from_chars(first, last, x);
    if (end != last) return "expected a number";
    if (ec == std::errc::result_out_of_range) return "a number out of range";
    return {};
}

// Where the plain number that starts at p ends, with the blanks after it; nullptr when none starts
// there. Plain numbers make up nearly every drawing and NumberProblem passes each of them: blanks
// round an optional sign and digits with at most one point, no exponent, and few enough digits
// that the value cannot leave the range of its type. What is not plain NumberProblem decides.
const char* plainNumberEnd(ValueKind kind, const char* p, const char* end) {
    // No double overflows or underflows from this many characters without an exponent, and no
    // long long from this many digits.
    constexpr size_t kPlainReal = 300;
    constexpr size_t kPlainWhole = 18;
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    if (p != end && (*p == '+' || *p == '-')) ++p;
    const char* const digitsFrom = p;
    size_t digits = 0;
    bool point = false;
    for (; p != end; ++p) {
        if (*p >= '0' && *p <= '9') {
            ++digits;
        } else if (*p == '.' && kind == ValueKind::Real && !point) {
            point = true;
        } else {
            break;
        }
    }
    const size_t length = static_cast<size_t>(p - digitsFrom);
    if (digits == 0 || (kind == ValueKind::Real ? length > kPlainReal : digits > kPlainWhole))
        return nullptr;
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    return p;
}

bool plainNumber(ValueKind kind, std::string_view v) {
    return plainNumberEnd(kind, v.data(), v.data() + v.size()) == v.data() + v.size();
}

// Where a group code line of digits between blanks ends, before its line end, with the code;
// nullptr for any other line, which is left to the full reading and its messages.
const char* plainCodeEnd(const char* p, const char* end, int& code) {
    constexpr int kMaxDigits = 4;  // as many as the largest code has
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    int value = 0, digits = 0;
    for (; p != end && *p >= '0' && *p <= '9' && digits <= kMaxDigits; ++p, ++digits)
        value = value * 10 + (*p - '0');
    if (digits == 0 || digits > kMaxDigits || value > kLargestGroupCode) return nullptr;
    while (p != end && (*p == ' ' || *p == '\t' || *p == '\r')) ++p;
    code = value;
    return p;
}

int smallValue(std::string_view value) {
    const long long n = wholeValue(value);
    return n < INT_MIN || n > INT_MAX ? 0 : static_cast<int>(n);
}

// Parts of the entity before them, not entities of their own.
bool isSubEntity(std::string_view type) {
    return type == "VERTEX" || type == "SEQEND";
}

class Scanner {
    // One object's groups, as far as the scan looks at them.
    struct Object {
        int line = 0;
        std::string type;
        int flags = 0;               // group 70
        std::array<double, 3> at{};  // groups 10, 20, 30
        std::array<int, 4> face{};   // groups 71 to 74
        std::string handle;          // group 5
        std::string name;            // group 2
        bool paper = false;
        bool inBraces = false;
        bool vertex = false;        // a VERTEX
        int declaredVertices = -1;  // an LWPOLYLINE's group 90
        int vertices = 0;           // its groups 10
    };

    struct Mesh {
        int line = 0;
        std::vector<Point> vertices;
        std::vector<double> heights;
        std::vector<std::array<int, 4>> faces;
    };

public:
    Scanner(std::string_view text, const std::string& fileName, ProgressSteps& progress,
            DxfGroups& groups, ScannedDxf& out)
        : text_(text), fileName_(fileName), progress_(progress), groups_(groups), out_(out) {
        // No count in the file can be larger than the number of groups it holds.
        cap_ = static_cast<long long>(text.size() / 4 + 1);
    }

    void run() {
        if (text_.find_first_not_of(" \t\r\n") == std::string::npos)
            throw FileError(fileName_, 0, "the file is empty; a DXF drawing was expected");
        if (text_.starts_with("AutoCAD Binary DXF"))
            throw FileError(fileName_, 1,
                            "binary DXF cannot be read; save the drawing as text (ASCII) DXF");
        while (pos_ < text_.size()) {
            progress_.at(pos_);
            const size_t groupStart = pos_;
            int code = 0;
            if (!plainCodeLine(code)) {
                const std::string_view rawCode = nextLine();
                const std::string_view codeText = fileLine(rawCode, true);
                if (codeText.empty() &&
                    text_.find_first_not_of(" \t\r\n", pos_) == std::string::npos)
                    break;
                const auto [end, ec] =
                    std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
                if (ec != std::errc{} || end != codeText.data() + codeText.size())
                    fail(line_,
                         "expected a group code (a whole number), found " + quotedValue(codeText));
                if (code < 0 || code > kLargestGroupCode)
                    fail(line_, "group code " + std::string(codeText) + " does not exist");
                if (pos_ > text_.size())
                    fail(line_, "the file ends after group code " + std::string(codeText) +
                                    ", without its value");
            }
            const int codeLine = line_;
            const ValueKind kind = kindOfCode(code);
            std::string_view value;
            if (kind == ValueKind::Text || !plainNumberLine(kind, value)) {
                const std::string_view rawValue = nextLine();
                // Comments carry nothing for the drawing.
                value = code == 999 ? std::string_view{} : fileValue(rawValue);
                if (kind != ValueKind::Text) {
                    // A value ends at a zero byte: a number with one in it is a damaged line,
                    // not the digits before it.
                    const std::string_view number =
                        rawValue.find('\0') == std::string_view::npos
                            ? value
                            : rawValue.substr(0, rawValue.find_last_not_of('\r') + 1);
                    const std::string problem =
                        plainNumber(kind, number) ? std::string() : numberProblem(kind, number);
                    if (!problem.empty())
                        fail(line_, problem + " for group code " + std::to_string(code) +
                                        ", found " + quotedValue(number));
                }
            }
            if (group(code, codeLine, value)) break;
            if (code == 0) groups_.passed(text_.data() + groupStart);
        }
        // Nothing after EOF is read.
        if (!sawSection_) fail(0, "not a DXF drawing: it has no SECTION");
        if (!section_.empty())
            fail(line_, "the file ends inside the " + section_ +
                            " section, without ENDSEC: it is cut short");
        if (!sawEof_) fail(line_, "the file ends without EOF: it is cut short");
    }

private:
    std::string_view nextLine() {
        // Lines are a few characters long: a plain loop finds their end sooner than memchr.
        const char* const from = text_.data() + pos_;
        const char* const last = text_.data() + text_.size();
        const char* end =
            static_cast<const char*>(std::memchr(from, '\n', static_cast<size_t>(last - from)));
        if (!end) end = last;
        const std::string_view raw(from, static_cast<size_t>(end - from));
        pos_ += raw.size() + 1;
        ++line_;
        if (raw.size() > kMaxLineLength)
            fail(line_, "line longer than " + std::to_string(kMaxLineLength) + " characters");
        return raw;
    }

    // The next line when it is a plain group code, read at one go; false, reading nothing, for
    // any other line.
    bool plainCodeLine(int& code) {
        const char* const from = text_.data() + pos_;
        const char* const last = text_.data() + text_.size();
        const char* const end = plainCodeEnd(from, last, code);
        if (!end || end == last || *end != '\n' || static_cast<size_t>(end - from) > kMaxLineLength)
            return false;
        pos_ += static_cast<size_t>(end - from) + 1;
        ++line_;
        return true;
    }

    // The next line when it is a plain number of the kind, read at one go with its value as
    // the reader takes it; false, reading nothing, for any other line.
    bool plainNumberLine(ValueKind kind, std::string_view& value) {
        const char* const from = text_.data() + pos_;
        const char* const last = text_.data() + text_.size();
        const char* const number = plainNumberEnd(kind, from, last);
        if (!number) return false;
        const char* end = number;
        while (end != last && *end == '\r') ++end;
        if ((end != last && *end != '\n') || static_cast<size_t>(end - from) > kMaxLineLength)
            return false;
        value = std::string_view(from, static_cast<size_t>(number - from));
        pos_ += static_cast<size_t>(end - from) + 1;
        ++line_;
        return true;
    }

    [[noreturn]] void fail(int line, const std::string& message) const {
        throw FileError(fileName_, line, message);
    }

    int count(std::string_view value, const char* what) const {
        const long long v = wholeValue(value);
        if (v < 0 || v > cap_)
            fail(line_, std::string("impossible ") + what + " " + std::string(value));
        return static_cast<int>(v);
    }

    // One group, its value checked; true at the end of the file.
    bool group(int code, int codeLine, std::string_view value) {
        if (sectionName_ && code == 2) section_ = value;
        sectionName_ = false;
        // An old writer ended the header after $HANDSEED, went on with the other header
        // variables and ended it again; parts libraries hold many such files. Read as though the
        // first ENDSEC were not there.
        if (code == 9 && !inSection_ && headerJustEnded_) {
            inSection_ = true;
            section_ = "HEADER";
        }
        if (code == 0 || code == 9) {
            headerJustEnded_ = false;
            endObject();
            if (kind_ == Kind::Polyline || kind_ == Kind::LwPolyline)
                maxVertices_ = std::min(maxVertices_, vertexIndex_ + 1);
            const std::string_view type =
                !value.empty() && value[0] == '$' ? std::string_view("$") : value;
            kind_ = type == "LWPOLYLINE" ? Kind::LwPolyline
                    : type == "POLYLINE" ? Kind::Polyline
                    : type == "SPLINE"   ? Kind::Spline
                    : type == "LEADER"   ? Kind::Leader
                                         : Kind::Other;
        }
        if (code == 0) {
            groups_.group(code, value, codeLine);
            return startObject(codeLine, value);
        }
        // Checked before the reader has it: a count it makes room by must be possible.
        objectGroup(code, value);
        if (code != 999) groups_.group(code, value, codeLine);
        return false;
    }

    // A code 0 group: the next object, or the structure of the file.
    bool startObject(int line, std::string_view value) {
        if (value == "EOF") {
            if (!section_.empty())
                fail(line, "EOF inside the " + section_ + " section, without ENDSEC");
            sawEof_ = true;
            return true;
        }
        if (value == "SECTION") {
            if (inSection_)
                fail(line, "a SECTION inside the " + section_ + " section, without ENDSEC");
            sawSection_ = sectionName_ = inSection_ = true;
            section_ = "unnamed";
        } else if (value == "ENDSEC") {
            if (!inSection_) fail(line, "ENDSEC without a SECTION");
            headerJustEnded_ = section_ == "HEADER";
            inSection_ = false;
            section_.clear();
        } else {
            object_ = Object{};
            object_.line = line;
            object_.type = value;
            object_.vertex = value == "VERTEX";
        }
        return false;
    }

    void objectGroup(int code, std::string_view value) {
        // Reactors and dictionaries name other objects; their handles are not owners.
        if (code == 102) {
            object_.inBraces = !value.empty() && value[0] == '{';
        } else if (object_.inBraces) {
            return;
        } else if (code == 5) {
            object_.handle = asciiUpper(trimmed(value));
        } else if (code == 2) {
            object_.name = value;
        } else if (code == 67) {
            object_.paper = object_.paper || wholeValue(value) == 1;
        } else if (code == 330) {
            object_.paper = object_.paper || paperRecords_.count(asciiUpper(trimmed(value))) > 0;
        }
        if (code == 70) {
            object_.flags = smallValue(value);
        } else if ((code == 10 || code == 20 || code == 30) && object_.vertex) {
            // Only a polyface mesh's vertices are looked at.
            object_.at[(code - 10) / 10] = realValue(value);
        } else if (code >= 71 && code <= 74) {
            object_.face[code - 71] = smallValue(value);
        }
        if (kind_ == Kind::LwPolyline) {
            if (code == 90) {
                maxVertices_ = count(value, "vertex count");
                vertexIndex_ = -1;
                object_.declaredVertices = maxVertices_;
            } else if (code == 10) {
                ++object_.vertices;
                if (vertexIndex_ < maxVertices_ - 1) ++vertexIndex_;
            } else if (code == 42 && vertexIndex_ < 0) {
                fail(line_, "a bulge (group 42) before the first vertex");
            }
        } else if (kind_ == Kind::Spline && (code == 72 || code == 73 || code == 74)) {
            count(value, "spline point count");
        } else if (kind_ == Kind::Leader && code == 76) {
            count(value, "leader vertex count");
        }
    }

    // What an object tells once all its groups are read.
    void endObject() {
        const Object o = std::move(object_);
        object_ = Object{};
        if (o.type.empty()) return;
        polyfacePart(o);
        if (section_ == "TABLES" && o.type == "BLOCK_RECORD" && !o.handle.empty() &&
            asciiUpper(o.name.substr(0, 12)) == "*PAPER_SPACE")
            paperRecords_.insert(o.handle);
        // Room is made for as many vertices as the count says, in a block as in the model.
        if (o.type == "LWPOLYLINE" && o.declaredVertices >= 0 && o.declaredVertices != o.vertices)
            fail(o.line, "the LWPOLYLINE declares " + std::to_string(o.declaredVertices) +
                             " vertices (group 90) but has " + std::to_string(o.vertices));
        if (section_ != "ENTITIES") return;
        if (isSubEntity(o.type)) return;
        if (o.paper) {
            out_.paper.insert(o.line);
            out_.leftOut.add(LeftOutReason::PaperSpace, o.type);
        } else if (!knownEntityNames().count(o.type)) {
            out_.leftOut.add(reasonForKind(o.type), o.type);
        }
    }

    // A polyface mesh is a POLYLINE (flag 64) followed by VERTEX records: its vertices (flags
    // 128 and 64) and its faces (flag 128 alone, with 1-based vertex indices in groups 71 to
    // 74, negative for an invisible edge).
    void polyfacePart(const Object& o) {
        if (polyface_ && o.type == "VERTEX") {
            if ((o.flags & 192) == 192) {
                polyface_->vertices.push_back({o.at[0], o.at[1]});
                polyface_->heights.push_back(o.at[2]);
            } else if (o.flags & 128) {
                polyface_->faces.push_back(o.face);
            }
            return;
        }
        if (polyface_) {
            groups_.polyface(polyface_->line, outline(*polyface_));
            polyface_.reset();
        }
        if (o.type == "POLYLINE" && (o.flags & 64)) polyface_ = Mesh{o.line, {}, {}, {}};
    }

    static PolyfaceOutline outline(const Mesh& mesh) {
        PolyfaceOutline outline;
        if (!mesh.heights.empty()) {
            const auto [low, high] = std::minmax_element(mesh.heights.begin(), mesh.heights.end());
            outline.flat = *high - *low <= kFlatMesh;
        }
        // Edges by their two vertices, lower index first, counted over the faces.
        std::map<std::pair<int, int>, int> uses;
        const int n = static_cast<int>(mesh.vertices.size());
        for (const auto& face : mesh.faces) {
            std::vector<int> corners;
            for (int index : face)
                if (index != 0 && std::abs(index) <= n) corners.push_back(std::abs(index) - 1);
            for (size_t k = 0; corners.size() > 1 && k < corners.size(); ++k) {
                const int a = corners[k], b = corners[(k + 1) % corners.size()];
                if (a != b) ++uses[{std::min(a, b), std::max(a, b)}];
            }
        }
        // Boundary edges both ways, by where they start: each found and taken in log time, however
        // many meet at one vertex.
        std::set<std::pair<int, int>> next;
        for (const auto& [edge, count] : uses) {
            if (count != 1) continue;
            next.insert({edge.first, edge.second});
            next.insert({edge.second, edge.first});
        }
        // Walk the boundary edges into chains, each edge once.
        while (!next.empty()) {
            const int start = next.begin()->first;
            PolyfaceOutline::Chain chain;
            chain.points.push_back(mesh.vertices[static_cast<size_t>(start)]);
            int at = start;
            while (true) {
                const auto step = next.lower_bound({at, std::numeric_limits<int>::min()});
                if (step == next.end() || step->first != at) break;
                const int to = step->second;
                next.erase(step);
                next.erase({to, at});
                at = to;
                if (at == start) {
                    chain.closed = true;
                    break;
                }
                chain.points.push_back(mesh.vertices[static_cast<size_t>(at)]);
            }
            outline.chains.push_back(std::move(chain));
        }
        return outline;
    }

    std::string_view text_;
    const std::string& fileName_;
    ProgressSteps& progress_;
    DxfGroups& groups_;
    ScannedDxf& out_;
    long long cap_ = 0;
    size_t pos_ = 0;
    int line_ = 0;
    // The reader's vertex bookkeeping, which carries over from one polyline to the next.
    int maxVertices_ = 0, vertexIndex_ = 0;
    // The kind of the object whose groups are being read (from the last group 0 or 9), as far as
    // the groups that follow matter.
    enum class Kind { LwPolyline, Polyline, Spline, Leader, Other };
    Kind kind_ = Kind::Other;
    std::string section_;
    bool sawSection_ = false, sectionName_ = false, inSection_ = false, sawEof_ = false;
    bool headerJustEnded_ = false;  // the last group was the header's ENDSEC
    Object object_;
    std::set<std::string> paperRecords_;  // handles of the paper-space block records
    std::optional<Mesh> polyface_;        // the polyface mesh being read
};

}  // namespace

void scanDxf(std::string_view text, const std::string& fileName, ProgressSteps& progress,
             DxfGroups& groups, ScannedDxf& out) {
    Scanner(text, fileName, progress, groups, out).run();
}

LeftOutReason reasonForKind(std::string_view type) {
    static const std::set<std::string, std::less<>> notFigures{
        "TEXT",        "MTEXT",          "ATTRIB",      "ATTDEF",
        "DIMENSION",   "ARC_DIMENSION",  "LEADER",      "MULTILEADER",
        "MLEADER",     "TOLERANCE",      "HATCH",       "MPOLYGON",
        "IMAGE",       "WIPEOUT",        "VIEWPORT",    "OLEFRAME",
        "OLE2FRAME",   "ARCALIGNEDTEXT", "RTEXT",       "UNDERLAY",
        "PDFUNDERLAY", "DWFUNDERLAY",    "DGNUNDERLAY", "LARGE_RADIAL_DIMENSION"};
    static const std::set<std::string, std::less<>> threeD{
        "3DFACE",        "3DSOLID",         "BODY",         "REGION",
        "MESH",          "SURFACE",         "PLANESURFACE", "EXTRUDEDSURFACE",
        "LOFTEDSURFACE", "REVOLVEDSURFACE", "SWEPTSURFACE", "POLYFACE"};
    if (notFigures.count(type)) return LeftOutReason::NotAFigure;
    if (threeD.count(type)) return LeftOutReason::ThreeD;
    return LeftOutReason::Unsupported;
}

std::string quotedValue(std::string_view value) {
    std::string out = "\"";
    size_t shown = 0;
    for (size_t i = 0; i < value.size() && shown < kQuotedLength; ++shown) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        // A whole UTF-8 sequence is shown as it is.
        int n = c < 0x80             ? 1
                : (c & 0xE0) == 0xC0 ? 2
                : (c & 0xF0) == 0xE0 ? 3
                : (c & 0xF8) == 0xF0 ? 4
                                     : 0;
        for (int k = 1; n > 1 && k < n; ++k)
            if (i + k >= value.size() || (static_cast<unsigned char>(value[i + k]) & 0xC0) != 0x80)
                n = 0;
        if (n == 1 && c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
        } else if (n > 1) {
            out.append(value.substr(i, static_cast<size_t>(n)));
            i += static_cast<size_t>(n);
            continue;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        }
        ++i;
    }
    out += '"';
    if (shown == kQuotedLength && value.size() > kQuotedLength) out += "...";
    return out;
}

// The value of a group already checked to be a whole number or a number (0 where it does not
// fit the type).
long long wholeValue(std::string_view value) {
    std::string_view v = trimmed(value);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    long long n = 0;
    std::from_chars(v.data(), v.data() + v.size(), n);
    return n;
}

double realValue(std::string_view value) {
    std::string_view v = trimmed(value);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    double x = 0.0;
    std::from_chars(v.data(), v.data() + v.size(), x);
    return x;
}

}  // namespace vel

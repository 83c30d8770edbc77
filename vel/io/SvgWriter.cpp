// SvgWriter.cpp - the drawing as a picture: on a dark page, y up, in the host's
// colours and dash patterns, with dimension and leader texts, fitted to the page.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <ostream>
#include <string>

#include "vel/io/DrawingFile.h"
#include "vel/io/DrawingView.h"
#include "vel/kernel/HostPalette.h"

namespace vel {

namespace {

constexpr double kPageWidth = 1000.0;
constexpr double kPageHeight = 750.0;
constexpr double kMargin = 40.0;
constexpr double kStrokeWidth = 1.5;
constexpr double kPointRadius = 2.5;
// The picture always fits the page, so dash patterns are kept in screen pixels
// (as the host shows them) rather than drawing units, which would make them
// vanish on a large part and swallow a small one.
constexpr double kScreenPixelsPerPatternPixel = 2.0;
constexpr const char* kBackground = "#15181c";
constexpr const char* kFontFamily = "NanumGothic, 'Nanum Gothic', 'Noto Sans CJK KR', sans-serif";

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

// Text content and attribute values: XML-escaped, with characters XML cannot
// hold at all replaced.
std::string xmlText(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            default:
                break;
        }
        if (c < 0x20) {
            out += ' ';
        } else if (c == 0xEF && i + 2 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
                   (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE) {
            out += "\xEF\xBF\xBD";  // U+FFFE and U+FFFF are not characters in XML
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Drawing units to page pixels: a uniform scale, centred, y flipped.
class Page {
public:
    explicit Page(const Extents& e) {
        if (e.empty()) return;
        const double availableW = kPageWidth - 2 * kMargin, availableH = kPageHeight - 2 * kMargin;
        const double w = e.width(), h = e.height();
        double s = std::numeric_limits<double>::infinity();
        if (w > 0) s = std::min(s, availableW / w);
        if (h > 0) s = std::min(s, availableH / h);
        if (!std::isfinite(s) || !(s > 0)) s = 1.0;
        scale_ = s;
        originX_ = kPageWidth / 2 - s * (e.minX + e.maxX) / 2;
        originY_ = kPageHeight / 2 + s * (e.minY + e.maxY) / 2;
    }

    std::string shapeSvg(const ViewShape& shape) const {
        if (const Circle* c = std::get_if<Circle>(&shape.geometry))
            return "    <circle cx=\"" + x(c->centre.x) + "\" cy=\"" + y(c->centre.y) + "\" r=\"" +
                   num(std::fabs(c->radius) * scale_) + "\"" + strokeAttributes(shape.stroke) +
                   "/>\n";
        if (const Point* p = std::get_if<Point>(&shape.geometry))
            return "    <circle cx=\"" + x(p->x) + "\" cy=\"" + y(p->y) + "\" r=\"" +
                   num(kPointRadius) + "\" fill=\"" + strokeColor(shape.stroke.color) +
                   "\" stroke=\"none\"/>\n";
        const Path& path = std::get<Path>(shape.geometry);
        if (path.pieces.empty()) return {};
        std::string d = "M " + at(path.pieces.front().from);
        for (size_t i = 0; i < path.pieces.size(); ++i) {
            const PathPiece& piece = path.pieces[i];
            // A closed path's last straight piece is the closing command itself.
            if (path.closed && !piece.arc && i + 1 == path.pieces.size()) break;
            d += piece.arc ? arcCommands(piece) : " L " + at(piece.to);
        }
        if (path.closed) d += " Z";
        return "    <path d=\"" + d + "\"" + strokeAttributes(shape.stroke) + "/>\n";
    }

    std::string textSvg(const ViewText& t) const {
        const char* anchor = t.align == TextAlign::Left     ? "start"
                             : t.align == TextAlign::Centre ? "middle"
                                                            : "end";
        const std::string px = x(t.anchor.x), py = y(t.anchor.y);
        std::string svg = "    <text x=\"" + px + "\" y=\"" + py + "\" font-size=\"" +
                          num(t.height * scale_) + "\" font-family=\"" + kFontFamily +
                          "\" fill=\"" + strokeColor(t.color) + "\" text-anchor=\"" + anchor + "\"";
        if (t.angleDegrees != 0.0)
            svg += " transform=\"rotate(" + num(-t.angleDegrees) + " " + px + " " + py + ")\"";
        return svg + ">" + xmlText(t.text) + "</text>\n";
    }

private:
    std::string x(double v) const { return num(originX_ + scale_ * v); }
    std::string y(double v) const { return num(originY_ - scale_ * v); }
    std::string at(Point p) const { return x(p.x) + " " + y(p.y); }

    static std::string strokeColor(const std::optional<int>& color) {
        return hexColor(color ? paletteColor(*color) : Rgb{});
    }

    static std::string strokeAttributes(const ViewStroke& stroke) {
        std::string a = " fill=\"none\" stroke=\"" + strokeColor(stroke.color) +
                        "\" stroke-width=\"" + num(kStrokeWidth) +
                        "\" stroke-linejoin=\"round\" vector-effect=\"non-scaling-stroke\"";
        const LineTypeStyle& style = lineTypeStyle(stroke.lineType.value_or(0));
        if (!style.continuous()) {
            a += " stroke-dasharray=\"";
            for (size_t i = 0; i < style.pattern.size(); ++i)
                a += (i ? "," : "") + num(style.pattern[i] * kScreenPixelsPerPatternPixel);
            a += "\"";
        }
        return a;
    }

    // SVG arcs turn the short or long way between two points; a half turn at most
    // keeps that unambiguous, so longer arcs are drawn in two halves.
    std::string arcCommands(const PathPiece& piece) const {
        const Arc& a = *piece.arc;
        const std::string r = num(a.radius * scale_);
        // Counter-clockwise in the drawing is counter-clockwise on the flipped page too,
        // which SVG calls the negative sweep.
        const std::string sweep = piece.clockwise ? "1" : "0";
        std::string d;
        if (a.sweep() > M_PI) {
            const Point mid = a.pointAt(a.startAngle + a.sweep() / 2);
            d += " A " + r + " " + r + " 0 0 " + sweep + " " + at(mid);
        }
        d += " A " + r + " " + r + " 0 0 " + sweep + " " + at(piece.to);
        return d;
    }

    double scale_ = 1.0;
    double originX_ = kPageWidth / 2;
    double originY_ = kPageHeight / 2;
};

// Text is handed to the stream in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;

class SvgWriter : public DrawingWriter {
public:
    void write(const Drawing& drawing, std::ostream& out) const override {
        requireFiniteDrawing(drawing);
        const ViewFrame frame = frameOf(drawing);
        const Page page(frame.extents);

        std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
               num(kPageWidth) + "\" height=\"" + num(kPageHeight) + "\" viewBox=\"0 0 " +
               num(kPageWidth) + " " + num(kPageHeight) + "\">\n";
        svg += "  <title>drawing: " + std::to_string(drawing.segments().size()) +
               " segments</title>\n";
        svg += "  <rect x=\"0\" y=\"0\" width=\"" + num(kPageWidth) + "\" height=\"" +
               num(kPageHeight) + "\" fill=\"" + kBackground + "\"/>\n";
        // One segment at a time, so that a large drawing is never held twice over.
        SegmentView part;
        for (const auto& [id, segment] : drawing.segments()) {
            viewSegment(drawing, segment, frame, part);
            if (part.shapes.empty() && part.texts.empty()) continue;
            svg += "  <g id=\"segment-" + std::to_string(id) + "\" data-layer=\"" +
                   std::to_string(segment.layer) + "\">\n";
            for (const ViewShape& shape : part.shapes) svg += page.shapeSvg(shape);
            for (const ViewText& text : part.texts) svg += page.textSvg(text);
            svg += "  </g>\n";
            if (svg.size() >= kFlushBytes) {
                out << svg;
                svg.clear();
            }
        }
        svg += "</svg>\n";
        out << svg;
    }
};

}  // namespace

std::unique_ptr<DrawingWriter> makeSvgWriter() {
    return std::make_unique<SvgWriter>();
}

}  // namespace vel

// SvgWriter.cpp - the drawing as a picture: on a dark page, y up, in the host's
// colours and dash patterns, with dimension and leader texts, fitted to the page.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "vel/io/DrawingFile.h"
#include "vel/io/DrawingView.h"
#include "vel/io/Picture.h"
#include "vel/kernel/HostPalette.h"

namespace vel {

namespace {

constexpr double kPageWidth = 1000.0;
constexpr double kPageHeight = 750.0;
constexpr double kMargin = 40.0;
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

std::string at(Point p) {
    return num(p.x) + " " + num(p.y);
}

// What the picture routine draws, as SVG elements appended to a text.
class SvgSurface : public PictureSurface {
public:
    explicit SvgSurface(std::string& svg) : svg_(svg) {}

    void path(const ScreenPath& path, const Pen& pen) override {
        std::string d = "M " + at(path.start);
        for (size_t i = 0; i < path.steps.size(); ++i) {
            const ScreenPath::Step& step = path.steps[i];
            // A closed path's last straight piece is the closing command itself.
            if (path.closed && !step.arc && i + 1 == path.steps.size()) break;
            if (step.arc) {
                // SVG's positive sweep runs clockwise as seen, y counting down.
                const std::string r = num(step.radius);
                d += " A " + r + " " + r + " 0 0 " + (step.sweepDegrees < 0 ? "1" : "0") + " " +
                     at(step.to);
            } else {
                d += " L " + at(step.to);
            }
        }
        if (path.closed) d += " Z";
        svg_ += "    <path d=\"" + d + "\"" + strokeAttributes(pen) + "/>\n";
    }

    void circle(Point centre, double radius, const Pen& pen) override {
        svg_ += "    <circle cx=\"" + num(centre.x) + "\" cy=\"" + num(centre.y) + "\" r=\"" +
                num(radius) + "\"" + strokeAttributes(pen) + "/>\n";
    }

    void dot(Point centre, double radius, Rgb color) override {
        svg_ += "    <circle cx=\"" + num(centre.x) + "\" cy=\"" + num(centre.y) + "\" r=\"" +
                num(radius) + "\" fill=\"" + hexColor(color) + "\" stroke=\"none\"/>\n";
    }

    void triangle(Point a, Point b, Point c, Rgb color) override {
        svg_ += "    <polygon points=\"" + num(a.x) + "," + num(a.y) + " " + num(b.x) + "," +
                num(b.y) + " " + num(c.x) + "," + num(c.y) + "\" fill=\"" + hexColor(color) +
                "\" stroke=\"none\"/>\n";
    }

    void text(const ScreenText& t) override {
        const char* anchor = t.align == TextAlign::Left     ? "start"
                             : t.align == TextAlign::Centre ? "middle"
                                                            : "end";
        const std::string px = num(t.anchor.x), py = num(t.anchor.y);
        svg_ += "    <text x=\"" + px + "\" y=\"" + py + "\" font-size=\"" + num(t.height) +
                "\" font-family=\"" + kFontFamily + "\" fill=\"" + hexColor(t.color) +
                "\" text-anchor=\"" + anchor + "\"";
        if (t.angleDegrees != 0.0)
            svg_ += " transform=\"rotate(" + num(-t.angleDegrees) + " " + px + " " + py + ")\"";
        svg_ += ">" + xmlText(t.text) + "</text>\n";
    }

private:
    static std::string strokeAttributes(const Pen& pen) {
        std::string a = " fill=\"none\" stroke=\"" + hexColor(pen.color) + "\" stroke-width=\"" +
                        num(pen.width) +
                        "\" stroke-linejoin=\"round\" vector-effect=\"non-scaling-stroke\"";
        if (!pen.dashes.empty()) {
            a += " stroke-dasharray=\"";
            for (size_t i = 0; i < pen.dashes.size(); ++i) a += (i ? "," : "") + num(pen.dashes[i]);
            a += "\"";
        }
        return a;
    }

    std::string& svg_;
};

// Text is handed to the stream in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;

class SvgWriter : public DrawingWriter {
public:
    using DrawingWriter::write;
    void write(const Drawing& drawing, std::ostream& out, Progress* progress) const override {
        requireFiniteDrawing(drawing);
        ProgressSteps steps(progress, drawing.segments().size());
        const ViewFrame frame = frameOf(drawing);
        const ViewTransform page =
            ViewTransform::fit(frame.extents, kPageWidth, kPageHeight, kMargin);

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
        SvgSurface surface(svg);
        PictureDetail detail;
        detail.layers = &drawing.layers();
        for (const auto& [id, segment] : drawing.segments()) {
            steps.step();
            viewSegment(drawing, segment, frame, part);
            if (part.shapes.empty() && part.texts.empty()) continue;
            svg += "  <g id=\"segment-" + std::to_string(id) + "\" data-layer=\"" +
                   std::to_string(segment.layer) + "\">\n";
            paintSegment(part, page, surface, detail);
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

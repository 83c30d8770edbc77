// StreamDxfWriter.cpp - DXF groups as text: group codes right-aligned, integers
// in decimal or upper-case hexadecimal, reals as the shortest text that reads
// back as the same number.
#include "vel/dxf/StreamDxfWriter.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>

namespace vel {

namespace {

// Text is handed to the stream in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;

}  // namespace

StreamDxfWriter::StreamDxfWriter(std::ostream& out) : DL_WriterA("", DL_VERSION_2000), out_(out) {
    buffer_.reserve(kFlushBytes + 1024);
}

void StreamDxfWriter::dxfReal(int gc, double value) const {
    code(gc);
    real(value);
    end();
}

void StreamDxfWriter::dxfInt(int gc, int value) const {
    code(gc);
    number(value, 10);
    end();
}

void StreamDxfWriter::dxfHex(int gc, int value) const {
    code(gc);
    number(static_cast<unsigned>(value), 16);
    end();
}

void StreamDxfWriter::dxfString(int gc, const char* value) const {
    code(gc);
    buffer_ += value ? value : "";
    end();
}

void StreamDxfWriter::dxfString(int gc, const std::string& value) const {
    code(gc);
    buffer_ += value;
    end();
}

void StreamDxfWriter::flush() const {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    flushed_ += buffer_.size();
    buffer_.clear();
}

// Group codes right-aligned in three columns, as DXF writers customarily do.
void StreamDxfWriter::code(int gc) const {
    char text[8];
    const auto [last, ec] = std::to_chars(text, text + sizeof text, gc);
    for (ptrdiff_t pad = 3 - (last - text); pad > 0; --pad) buffer_ += ' ';
    buffer_.append(text, last);
    buffer_ += '\n';
}

void StreamDxfWriter::end() const {
    buffer_ += '\n';
    if (buffer_.size() >= kFlushBytes) flush();
}

template <typename Integer>
void StreamDxfWriter::number(Integer value, int base) const {
    char text[24];
    const auto [last, ec] = std::to_chars(text, text + sizeof text, value, base);
    for (char* c = text; c != last; ++c)
        *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    buffer_.append(text, last);
}

// The shortest text that reads back as the same number, always with a point.
void StreamDxfWriter::real(double v) const {
    if (!std::isfinite(v)) v = 0.0;  // drawings are checked before writing
    char text[400];
    const auto [last, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
    const std::string_view digits(text, static_cast<size_t>(last - text));
    buffer_ += digits;
    if (digits.find('.') == std::string_view::npos) buffer_ += ".0";
}

}  // namespace vel

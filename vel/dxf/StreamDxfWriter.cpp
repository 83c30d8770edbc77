// StreamDxfWriter.cpp - DXF groups as text: group codes right-aligned, integers
// in decimal or upper-case hexadecimal, reals as the shortest text that reads
// back as the same number.
#include "vel/dxf/StreamDxfWriter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace vel {

namespace {

// Text goes to the stream in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;
// The most one value takes: a real in fixed notation reaches about 330 characters.
constexpr size_t kLongestValue = 400;

}  // namespace

StreamDxfWriter::StreamDxfWriter(std::ostream& out)
    : out_(out), buffer_(std::make_unique<char[]>(kFlushBytes + kLongestValue)) {}

void StreamDxfWriter::coord(int gc, double x, double y, double z) const {
    dxfReal(gc, x);
    dxfReal(gc + 10, y);
    dxfReal(gc + 20, z);
}

unsigned long StreamDxfWriter::handle(int gc) const {
    dxfHex(gc, static_cast<int>(nextHandle_));
    return nextHandle_++;
}

void StreamDxfWriter::section(const char* name) const {
    dxfString(0, "SECTION");
    dxfString(2, name);
}

void StreamDxfWriter::table(const char* name, int entries, int fixedHandle) const {
    dxfString(0, "TABLE");
    dxfString(2, name);
    dxfHex(5, fixedHandle);
    dxfString(100, "AcDbSymbolTable");
    dxfInt(70, entries);
}

void StreamDxfWriter::tableEntry(const char* type, const char* subclass,
                                 unsigned long fixedHandle) const {
    dxfString(0, type);
    if (fixedHandle == 0)
        handle();
    else
        dxfHex(5, static_cast<int>(fixedHandle));
    dxfString(100, "AcDbSymbolTableRecord");
    dxfString(100, subclass);
}

void StreamDxfWriter::entity(const char* type) const {
    dxfString(0, type);
    handle();
}

void StreamDxfWriter::entityAttributes(const DxfAttributes& a) const {
    dxfString(8, a.layer);
    dxfInt(62, a.color);
    if (a.color24 != -1) dxfInt(420, a.color24);
    dxfInt(370, a.width);
    dxfReal(48, 1.0);  // the line type's scale
    dxfString(6, a.lineType);
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
    if (value) append(value, std::char_traits<char>::length(value));
    end();
}

void StreamDxfWriter::dxfString(int gc, const std::string& value) const {
    code(gc);
    append(value.data(), value.size());
    end();
}

void StreamDxfWriter::vertex(double x, double y, double bulge) const {
    // A large drawing's text is mostly vertices: their groups go in without a call per piece.
    realGroup(" 10\n", x);
    realGroup(" 20\n", y);
    if (std::fabs(bulge) > 1.0e-10) realGroup(" 42\n", bulge);
}

void StreamDxfWriter::realGroup(const char (&codeLine)[5], double v) const {
    std::memcpy(room(4 + kLongestValue + 1), codeLine, 4);
    used_ += 4;
    real(v);
    buffer_[used_++] = '\n';
    if (used_ >= kFlushBytes) flush();
}

void StreamDxfWriter::flush() const {
    out_.write(buffer_.get(), static_cast<std::streamsize>(used_));
    flushed_ += used_;
    used_ = 0;
}

char* StreamDxfWriter::room(size_t n) const {
    if (used_ + n > kFlushBytes + kLongestValue) flush();
    return buffer_.get() + used_;
}

void StreamDxfWriter::append(const char* text, size_t n) const {
    // A long string goes in pieces the buffer holds.
    while (n > 0) {
        const size_t piece = std::min(n, kLongestValue);
        std::memcpy(room(piece), text, piece);
        used_ += piece;
        text += piece;
        n -= piece;
    }
}

// Group codes right-aligned in three columns, as DXF writers customarily do.
void StreamDxfWriter::code(int gc) const {
    char* const at = room(16);
    if (gc >= 0 && gc < 1000) {  // every code the format has: no conversion needed
        at[0] = gc >= 100 ? static_cast<char>('0' + gc / 100) : ' ';
        at[1] = gc >= 10 ? static_cast<char>('0' + gc / 10 % 10) : ' ';
        at[2] = static_cast<char>('0' + gc % 10);
        at[3] = '\n';
        used_ += 4;
        return;
    }
    char digits[8];
    const auto [last, ec] = std::to_chars(digits, digits + sizeof digits, gc);
    const size_t n = static_cast<size_t>(last - digits);
    const size_t pad = n < 3 ? 3 - n : 0;
    std::memset(at, ' ', pad);
    std::memcpy(at + pad, digits, n);
    at[pad + n] = '\n';
    used_ += pad + n + 1;
}

void StreamDxfWriter::end() const {
    *room(1) = '\n';
    ++used_;
    if (used_ >= kFlushBytes) flush();
}

template <typename Integer>
void StreamDxfWriter::number(Integer value, int base) const {
    char* const at = room(kLongestValue);
    const auto [last, ec] = std::to_chars(at, at + kLongestValue, value, base);
    for (char* c = at; c != last; ++c)
        *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    used_ += static_cast<size_t>(last - at);
}

// The shortest text that reads back as the same number, always with a point.
void StreamDxfWriter::real(double v) const {
    if (!std::isfinite(v)) v = 0.0;  // drawings are checked before writing
    char* const at = room(kLongestValue);
    const auto [last, ec] = std::to_chars(at, at + kLongestValue - 2, v, std::chars_format::fixed);
    used_ += static_cast<size_t>(last - at);
    // The shortest fixed text has a point unless the number is whole.
    if (v == std::trunc(v)) {
        std::memcpy(last, ".0", 2);
        used_ += 2;
    }
}

}  // namespace vel

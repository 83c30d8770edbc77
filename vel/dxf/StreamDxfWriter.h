// StreamDxfWriter.h - dxflib's group writer on a C++ stream: the groups formatted
// into a buffer that goes to the stream in large pieces.
#pragma once

#include <memory>

// dxflib's headers are not clean under our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#include <dl_writer_ascii.h>
#pragma GCC diagnostic pop

#include <cstddef>
#include <iosfwd>
#include <string>

namespace vel {

// dxflib writes through DL_WriterA, which only knows files; this one formats the
// groups into a buffer that goes to the stream in large pieces, so that a large
// drawing is never held as text as a whole.
class StreamDxfWriter : public DL_WriterA {
public:
    explicit StreamDxfWriter(std::ostream& out);

    void dxfReal(int gc, double value) const override;
    void dxfInt(int gc, int value) const override;
    void dxfHex(int gc, int value) const override;
    void dxfString(int gc, const char* value) const override;
    void dxfString(int gc, const std::string& value) const override;

    // A vertex of an LWPOLYLINE, as dxflib writes one, without a call through its interface:
    // a large drawing's polylines hold most of its numbers.
    void vertex(double x, double y, double bulge) const;

    // Bytes written so far, those still in the buffer included.
    size_t written() const { return flushed_ + used_; }
    void flush() const;

private:
    // Room for `n` more bytes in the buffer, which goes to the stream when it is full.
    char* room(size_t n) const;
    void append(const char* text, size_t n) const;
    void code(int gc) const;
    void end() const;
    template <typename Integer>
    void number(Integer value, int base) const;
    void real(double v) const;
    // A real's group whose code line ("code\n", right-aligned) is given as text.
    void realGroup(const char (&codeLine)[5], double v) const;

    std::ostream& out_;
    std::unique_ptr<char[]> buffer_;
    mutable size_t used_ = 0;
    mutable size_t flushed_ = 0;
};

}  // namespace vel

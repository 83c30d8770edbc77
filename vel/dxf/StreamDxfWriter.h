// StreamDxfWriter.h - DXF groups written to a C++ stream: the groups formatted into a
// buffer that goes to the stream in large pieces, the handles counted, and the
// markers of sections, tables and entities that every DXF file repeats.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

namespace vel {

// What an entity is drawn with: its layer, colour (an index, 256 by layer; and a true colour,
// -1 none), line weight (-1 by layer) and line type.
struct DxfAttributes {
    std::string layer;
    int color = 256;
    int color24 = -1;
    int width = -1;
    std::string lineType = "BYLAYER";
};

// The groups go into a buffer that goes to the stream in large pieces, so that a large drawing
// is never held as text as a whole. Handles are counted from 0x30; those below are the fixed
// objects' (see DxfObjects.h).
class StreamDxfWriter {
public:
    explicit StreamDxfWriter(std::ostream& out);

    void dxfReal(int gc, double value) const;
    void dxfInt(int gc, int value) const;
    void dxfHex(int gc, int value) const;
    void dxfString(int gc, const char* value) const;
    void dxfString(int gc, const std::string& value) const;
    // A point: x under gc, y under gc + 10, z under gc + 20.
    void coord(int gc, double x, double y, double z = 0.0) const;

    // The next handle under gc, counted on; and the one after the last given.
    unsigned long handle(int gc = 5) const;
    unsigned long getNextHandle() const { return nextHandle_; }

    void section(const char* name) const;
    void sectionTables() const { section("TABLES"); }
    void sectionBlocks() const { section("BLOCKS"); }
    void sectionEntities() const { section("ENTITIES"); }
    void sectionEnd() const { dxfString(0, "ENDSEC"); }
    // A table of `entries` under its fixed handle.
    void table(const char* name, int entries, int fixedHandle) const;
    void tableLayers(int entries) const { table("LAYER", entries, 2); }
    void tableLinetypes(int entries) const { table("LTYPE", entries, 5); }
    void tableStyle(int entries) const { table("STYLE", entries, 3); }
    void tableAppid(int entries) const { table("APPID", entries, 9); }
    void tableEnd() const { dxfString(0, "ENDTAB"); }
    // A table's record: its type, its handle (the next one where none is fixed) and subclasses.
    void tableEntry(const char* type, const char* subclass, unsigned long fixedHandle = 0) const;
    void dxfEOF() const { dxfString(0, "EOF"); }

    // An entity's type and handle, and what it is drawn with.
    void entity(const char* type) const;
    void entityAttributes(const DxfAttributes& a) const;
    void subClass(const char* name) const { dxfString(100, name); }

    // A vertex of an LWPOLYLINE, without a call per group: a large drawing's polylines hold
    // most of its numbers.
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
    mutable unsigned long nextHandle_ = 0x30;
    std::unique_ptr<char[]> buffer_;
    mutable size_t used_ = 0;
    mutable size_t flushed_ = 0;
};

}  // namespace vel

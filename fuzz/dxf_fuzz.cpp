// dxf_fuzz - DXF files: any bytes are either read as a drawing or refused with a
// FileError, never a crash in the reader; a drawing that was read writes out as
// DXF that reads back, and as JSON and SVG. Each input must be done within the
// fuzzer's timeout (1 second), so that a loop that a file steers and no bound
// stops is found: what a file may make beyond what it lists is held to 1,000
// elements and one a byte (20,000 at most) here, as the sanitizers make each some
// 50 times dearer than in velhost (the benchmarks time the real limits on such
// files).
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    vel::Drawing drawing;
    const vel::DxfReadLimits limits{1'000, 1, 20'000};
    try {
        vel::readDxfDrawing(in, "fuzz.dxf", drawing, nullptr, limits);
    } catch (const vel::FileError&) {
        return 0;
    }
    std::ostringstream dxf;
    vel::makeDxfWriter()->write(drawing, dxf);
    vel::Drawing again;
    std::istringstream back(dxf.str());
    try {
        vel::readDxfDrawing(back, "again.dxf", again);
    } catch (const vel::FileError& e) {
        // Points derived from the largest allowed coordinates may lie beyond them.
        if (std::string(e.what()).find("out of range") == std::string::npos) std::abort();
    }
    std::ostringstream json, svg;
    vel::makeJsonWriter()->write(drawing, json);
    vel::makeSvgWriter()->write(drawing, svg);
    return 0;
}

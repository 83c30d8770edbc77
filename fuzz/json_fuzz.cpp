// json_fuzz - drawing files: any bytes are either read as a drawing or refused
// with a FileError; a drawing that was read writes out as text that reads back
// and writes out the same again, and draws as SVG without fault.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "vel/io/DrawingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    vel::Drawing drawing;
    try {
        vel::readJsonDrawing(in, "fuzz.json", drawing);
    } catch (const vel::FileError&) {
        return 0;
    }
    std::ostringstream first;
    vel::makeJsonWriter()->write(drawing, first);
    vel::Drawing again;
    std::istringstream back(first.str());
    vel::readJsonDrawing(back, "again.json", again);  // what was written must read
    std::ostringstream second;
    vel::makeJsonWriter()->write(again, second);
    if (first.str() != second.str()) std::abort();
    std::ostringstream svg;
    vel::makeSvgWriter()->write(drawing, svg);
    return 0;
}

// script_fuzz - session scripts: any text either parses or is refused with a
// FileError; a parsed script runs against a small drawing without fault.
#include <cstdint>
#include <sstream>
#include <string>

#include "vel/io/DrawingFile.h"
#include "vel/io/Script.h"
#include "vel/kernel/Host.h"

namespace {

int gStep = 0;
constexpr int kMasks[] = {VEL_MASK_FIGURE, VEL_MASK_SELECTION, VEL_MASK_POINT, VEL_MASK_ELEMENT};
constexpr int kResults[] = {VEL_EXEC_NEXT, VEL_EXEC_UNUSED, VEL_EXEC_NEXT, VEL_EXEC_END};

int Execute(int code, VelEventData* data) {
    VelPoint p;
    VelEvtGetPoint(code, data, &p);
    VelEvtGetSegmentId(code, data);
    return kResults[gStep++ % 4];
}

int Ready() {
    VelEvtSetEventMask(kMasks[gStep % 4]);
    VelCtlSetExecuteFunc(Execute, u"");
    return 0;
}

int PreStart() {
    return 0;
}
void Terminate() {}

void AddSquare(vel::Drawing& d, double x, double y) {
    const int seg = d.createSegment(vel::SegmentKind::Figure);
    const vel::Point p[4] = {{x, y}, {x + 10, y}, {x + 10, y + 10}, {x, y + 10}};
    for (int i = 0; i < 4; ++i) {
        vel::FigureElement line;
        line.values[0] = p[i].x, line.values[1] = p[i].y;
        line.values[2] = p[(i + 1) % 4].x, line.values[3] = p[(i + 1) % 4].y;
        d.appendElement(seg, line);
    }
    d.segment(seg)->closed = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    vel::Script script;
    try {
        script = vel::parseScript(in, "fuzz.vel");
    } catch (const vel::FileError&) {
        return 0;
    }
    vel::Host& host = vel::Host::instance();
    host.reset();
    gStep = 0;
    AddSquare(host.drawing(), 0, 0);
    AddSquare(host.drawing(), 20, 0);
    host.registerCommand(Ready, PreStart, Terminate);
    vel::ScriptRunner runner(host, nullptr);
    try {
        runner.run(script);
    } catch (const vel::FileError&) {
    }
    host.escape();
    return 0;
}

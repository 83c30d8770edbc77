// DxfBench.cpp - a large DXF drawing through a whole session against dxflib
// alone: 999 closed polylines of 1000 bulged vertices (a million elements),
// parsed by dxflib with callbacks that do nothing, then read by velhost's
// reader, selected whole, enclosed by an insert and written back as DXF. The
// ratio of the two times and the peak memory per element are the figures to
// watch.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

// dxflib's headers are not clean under our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#include <dl_creationadapter.h>
#include <dl_dxf.h>
#pragma GCC diagnostic pop

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "bench/BenchSupport.h"
#include "geometry/FigureList.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/kernel/Host.h"

namespace {

constexpr int kPolylines = 999;
constexpr int kVertices = 1000;
constexpr double kElements = double(kPolylines) * kVertices;

const std::string& BigDrawing() {
    static const std::string text = [] {
        std::string t =
            "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"
            "0\nSECTION\n2\nENTITIES\n";
        char buffer[128];
        for (int f = 0; f < kPolylines; ++f) {
            const double ox = (f % 37) * 300.0, oy = (f / 37) * 300.0;
            std::snprintf(buffer, sizeof buffer, "0\nLWPOLYLINE\n5\n%X\n8\n0\n90\n%d\n70\n1\n",
                          f + 0x100, kVertices);
            t += buffer;
            for (int k = 0; k < kVertices; ++k) {
                const double a = 2 * M_PI * k / kVertices;
                std::snprintf(buffer, sizeof buffer, "10\n%.12f\n20\n%.12f\n42\n0.0123456789\n",
                              ox + 100 * std::cos(a), oy + 100 * std::sin(a));
                t += buffer;
            }
        }
        return t + "0\nENDSEC\n0\nEOF\n";
    }();
    return text;
}

void PeakMemoryPerElement(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_bytes_per_element"] = double(usage.ru_maxrss) * 1024.0 / kElements;
    state.counters["file_MB"] = double(BigDrawing().size()) / 1e6;
}

// What dxflib alone needs: the parse with callbacks that keep nothing.
void BM_Dxf_DxflibBareParse(benchmark::State& state) {
    const std::string& text = BigDrawing();
    for (auto _ : state) {
        std::istringstream in(text);
        DL_CreationAdapter nothing;
        DL_Dxf dxf;
        benchmark::DoNotOptimize(dxf.in(in, &nothing));
    }
}

// Read, select everything, build the insert around it, write DXF.
void BM_Dxf_Session(benchmark::State& state) {
    const std::string& text = BigDrawing();
    vel::Host& host = vel::Host::instance();
    UseDefaultInsertSettings();
    for (auto _ : state) {
        host.reset();
        std::istringstream in(text);
        vel::readDxfDrawing(in, "big.dxf", host.drawing());
        vel::Extents everything;
        everything.add(vel::Point{-1e9, -1e9});
        everything.add(vel::Point{1e9, 1e9});
        for (int id : host.segmentsInside(everything)) host.addToSelection(id);
        FigureList list;
        for (const SelIdRecord& r : host.selection())
            if (list.count < FigureList::kMaxFigures)
                list.slots[++list.count] = FigureRef{r.instanceId, r.segmentId};
        if (!CreateInsertOutline(list, list.count)) state.SkipWithError("no insert was made");
        std::ostringstream out;
        vel::makeDxfWriter()->write(host.drawing(), out);
        benchmark::DoNotOptimize(out.tellp());
    }
    PeakMemoryPerElement(state);
}

BENCHMARK(BM_Dxf_DxflibBareParse)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Dxf_Session)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// DxfBench.cpp - a large DXF drawing through a whole session against dxflib
// alone: 999 closed polylines of 1000 bulged vertices (a million elements) in a
// file, parsed by dxflib with callbacks that do nothing, then read by velhost's
// reader, selected whole, enclosed by an insert and written back to a file as
// DXF and as JSON. The ratio of the first two times and the session's peak
// memory per element are the figures to watch; the writers' bytes per second
// compare the two formats.
#include <benchmark/benchmark.h>
#include <malloc.h>

// dxflib's headers are not clean under our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#include <dl_creationadapter.h>
#include <dl_dxf.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "geometry/FigureList.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/Host.h"

namespace {

constexpr int kPolylines = 999;
constexpr int kVertices = 1000;
constexpr double kElements = double(kPolylines) * kVertices;

// The files of this benchmark, removed when the program ends.
std::filesystem::path BenchFile(const char* name) {
    static struct Files {
        std::vector<std::filesystem::path> made;
        ~Files() {
            std::error_code ignored;
            for (const auto& p : made) std::filesystem::remove(p, ignored);
        }
    } files;
    files.made.push_back(std::filesystem::temp_directory_path() / name);
    return files.made.back();
}

// The drawing's file, made once per run; its text is not kept in memory, which
// would count against the session's peak.
const std::filesystem::path& BigDrawing() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path p = BenchFile("orvanta-bench-big.dxf");
        std::ofstream out(p, std::ios::binary);
        out << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"
               "0\nSECTION\n2\nENTITIES\n";
        char buffer[128];
        for (int f = 0; f < kPolylines; ++f) {
            const double ox = (f % 37) * 300.0, oy = (f / 37) * 300.0;
            std::snprintf(buffer, sizeof buffer, "0\nLWPOLYLINE\n5\n%X\n8\n0\n90\n%d\n70\n1\n",
                          f + 0x100, kVertices);
            out << buffer;
            for (int k = 0; k < kVertices; ++k) {
                const double a = 2 * std::numbers::pi * k / kVertices;
                std::snprintf(buffer, sizeof buffer, "10\n%.12f\n20\n%.12f\n42\n0.0123456789\n",
                              ox + 100 * std::cos(a), oy + 100 * std::sin(a));
                out << buffer;
            }
        }
        out << "0\nENDSEC\n0\nEOF\n";
        return p;
    }();
    return path;
}

// The process's peak resident memory starts again from what it holds now.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A line of the kernel's account of this process, in bytes: "VmHWM:" the peak
// since the last reset, "VmRSS:" what it holds now.
double StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) * 1024.0;
    return 0.0;
}

// Reads the drawing, selects all of it and builds the insert around it.
void LoadSelectAndEnclose(benchmark::State& state) {
    vel::Host& host = vel::Host::instance();
    host.reset();
    vel::readDxfDrawing(BigDrawing().string(), host.drawing());
    vel::Extents everything;
    everything.add(vel::Point{-1e9, -1e9});
    everything.add(vel::Point{1e9, 1e9});
    for (int id : host.segmentsInside(everything)) host.addToSelection(id);
    FigureList list;
    for (const SelIdRecord& r : host.selection())
        if (list.count < FigureList::kMaxFigures)
            list.slots[++list.count] = FigureRef{r.instanceId, r.segmentId};
    if (!CreateInsertOutline(list, list.count)) state.SkipWithError("no insert was made");
}

// What dxflib alone needs: its own reading of the file, with callbacks that keep nothing.
void BM_Dxf_DxflibBareParse(benchmark::State& state) {
    const std::string path = BigDrawing().string();
    for (auto _ : state) {
        DL_CreationAdapter nothing;
        DL_Dxf dxf;
        benchmark::DoNotOptimize(dxf.in(path, &nothing));
    }
}

// Read, select everything, build the insert around it, write DXF, as velhost does.
void BM_Dxf_Session(benchmark::State& state) {
    UseDefaultInsertSettings();
    double peak = 0.0, processPeak = 0.0;
    for (auto _ : state) {
        // The last pass's drawing is not the session's: it goes, and what the allocator
        // kept of it goes back, so that the session's memory is what it adds.
        vel::Host::instance().reset();
        malloc_trim(0);
        const double before = StatusBytes("VmRSS:");
        ResetPeakMemory();
        LoadSelectAndEnclose(state);
        std::ofstream out(BenchFile("orvanta-bench-out.dxf"), std::ios::binary);
        vel::makeDxfWriter()->write(vel::Host::instance().drawing(), out);
        const double hwm = StatusBytes("VmHWM:");
        peak = std::max(peak, hwm - before);
        processPeak = std::max(processPeak, hwm);
    }
    state.counters["peak_bytes_per_element"] = peak / kElements;
    state.counters["process_peak_MB"] = processPeak / 1e6;
}

// The session's drawing written in each format, timed alone: the writer's own work, into the
// null device, so that the disk's speed and its write-back do not count. How many bytes that is
// comes from one writing to a file, before the timing.
void BM_Dxf_WriteAs(benchmark::State& state, std::unique_ptr<vel::DrawingWriter> writer,
                    const char* file) {
    UseDefaultInsertSettings();
    LoadSelectAndEnclose(state);
    double size = 0.0;
    {
        std::ofstream out(BenchFile(file), std::ios::binary);
        writer->write(vel::Host::instance().drawing(), out);
        size = double(out.tellp());
    }
    double bytes = 0.0;
    for (auto _ : state) {
        std::ofstream out("/dev/null", std::ios::binary);
        writer->write(vel::Host::instance().drawing(), out);
        bytes += size;
    }
    state.counters["bytes_per_second"] = benchmark::Counter(bytes, benchmark::Counter::kIsRate);
    state.counters["per_element"] = benchmark::Counter(
        kElements, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_Dxf_DxflibBareParse)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Dxf_Session)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Dxf_WriteAs, dxf, vel::makeDxfWriter(), "orvanta-bench-out.dxf")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Dxf_WriteAs, json, vel::makeJsonWriter(), "orvanta-bench-out.json")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

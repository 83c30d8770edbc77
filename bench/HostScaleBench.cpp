// HostScaleBench.cpp - what each step of a session costs per element as the
// drawing grows from 10,000 to 1,000,000 elements: reading it (JSON and DXF), a
// window selection of all of it, the insert around a selection, a pick after it
// and writing it (JSON and DXF). A flat per_element figure across the sizes shows
// the step is linear.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "bench/BenchSupport.h"
#include "geometry/FigureList.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "host/VelLib.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/Host.h"

namespace {

constexpr int kSizes[] = {10'000, 100'000, 1'000'000};

// Passes per size: enough for a steady figure at the small sizes, one at the
// largest, which keeps a run of everything to a minute or two.
int PassesAt(int elements) {
    return elements >= 1'000'000 ? 1 : elements >= 100'000 ? 3 : 10;
}

// Drawing units between neighbours on the grids below: wide enough that no
// line or figure touches another.
constexpr double kPitch = 4.0;
constexpr double kFigurePitch = 50.0;

// A window far larger than any drawing made here.
vel::Extents Everything() {
    vel::Extents window;
    window.add(vel::Point{-1e9, -1e9});
    window.add(vel::Point{1e9, 1e9});
    return window;
}

void CountPerElement(benchmark::State& state, double elements) {
    state.counters["per_element"] = benchmark::Counter(
        elements, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One short line per segment on a square grid: a segment per element is the
// worst case for the selection, which is kept per segment.
vel::Drawing LineDrawing(int elements) {
    vel::Drawing d;
    const int side = static_cast<int>(std::ceil(std::sqrt(elements)));
    for (int k = 0; k < elements; ++k) {
        const double x = (k % side) * kPitch, y = (k / side) * kPitch;
        vel::FigureElement line;
        line.type = vel::FigureType::Line;
        line.values[0] = x, line.values[1] = y, line.values[2] = x + 1.0, line.values[3] = y + 0.5;
        d.appendElement(d.createSegment(vel::SegmentKind::Figure), line);
    }
    return d;
}

// The line drawing as the writer makes it, made once per size and format.
const std::string& LineDrawingText(int elements, const vel::DrawingWriter& writer) {
    static std::map<std::pair<int, const vel::DrawingWriter*>, std::string> texts;
    auto [it, made] = texts.try_emplace({elements, &writer});
    if (!made) return it->second;
    std::ostringstream out;
    writer.write(LineDrawing(elements), out);
    it->second = out.str();
    return it->second;
}

const vel::DrawingWriter& JsonWriter() {
    static const auto writer = vel::makeJsonWriter();
    return *writer;
}

const vel::DrawingWriter& DxfWriter() {
    static const auto writer = vel::makeDxfWriter();
    return *writer;
}

const std::string& LineDrawingJson(int elements) {
    return LineDrawingText(elements, JsonWriter());
}

void LoadLineDrawing(int elements) {
    vel::Host& host = vel::Host::instance();
    host.reset();
    std::istringstream in(LineDrawingJson(elements));
    vel::readJsonDrawing(in, "lines.json", host.drawing());
}

template <bool Dxf>
void BM_HostScale_Load(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string& text = LineDrawingText(n, Dxf ? DxfWriter() : JsonWriter());
    vel::Host& host = vel::Host::instance();
    for (auto _ : state) {
        state.PauseTiming();
        host.reset();
        std::istringstream in(text);
        state.ResumeTiming();
        if constexpr (Dxf)
            vel::readDxfDrawing(in, "lines.dxf", host.drawing());
        else
            vel::readJsonDrawing(in, "lines.json", host.drawing());
    }
    if (host.drawing().segments().size() != static_cast<size_t>(n))
        state.SkipWithError("the drawing did not load whole");
    CountPerElement(state, n);
}

// Each pass selects in a freshly read drawing, so the spatial index is built
// within the pass, as in a session.
void BM_HostScale_SelectAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    vel::Host& host = vel::Host::instance();
    for (auto _ : state) {
        state.PauseTiming();
        LoadLineDrawing(n);
        state.ResumeTiming();
        for (int id : host.segmentsInside(Everything())) host.addToSelection(id);
    }
    if (host.selection().size() != static_cast<size_t>(n))
        state.SkipWithError("the window missed segments");
    CountPerElement(state, n);
}

// The insert takes at most FigureList::kMaxFigures figures, so the elements
// are shared out among that many; all of them are selected.
FigureList SelectMixedFigures(int elements) {
    vel::Host& host = vel::Host::instance();
    host.reset();
    const int figures = FigureList::kMaxFigures;
    const int side = static_cast<int>(std::ceil(std::sqrt(figures)));
    for (int f = 0; f < figures; ++f) {
        const int segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
        const double ox = (f % side) * kFigurePitch, oy = (f / side) * kFigurePitch;
        for (int e = f; e < elements; e += figures) {
            const FigureData d = MixedFigureElement(ox, oy, e);
            VelFigCreateFigure(segment, &d);
        }
    }
    for (int id : host.segmentsInside(Everything())) host.addToSelection(id);
    FigureList list;
    for (const SelIdRecord& r : host.selection())
        list.slots[++list.count] = FigureRef{r.instanceId, r.segmentId};
    UseDefaultInsertSettings();
    return list;
}

void BM_HostScale_InsertAroundSelection(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const FigureList list = SelectMixedFigures(n);
    for (auto _ : state) {
        if (!CreateInsertOutline(list, list.count)) state.SkipWithError("no insert was made");
        state.PauseTiming();
        VelSgmDeleteSegment(gInsertAnnotations.outlineSegment);
        state.ResumeTiming();
    }
    CountPerElement(state, n);
}

// A pick right after the insert: the figures the insert only read keep their place in the
// spatial index, so the pick measures the outline the insert added rather than the whole
// drawing again. The time stays nearly the same across the sizes.
void BM_HostScale_PickAfterInsert(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const FigureList list = SelectMixedFigures(n);
    vel::Host& host = vel::Host::instance();
    for (auto _ : state) {
        state.PauseTiming();
        if (!CreateInsertOutline(list, list.count)) state.SkipWithError("no insert was made");
        state.ResumeTiming();
        benchmark::DoNotOptimize(host.nearestSegment(vel::Point{0.0, 0.0}));
        state.PauseTiming();
        VelSgmDeleteSegment(gInsertAnnotations.outlineSegment);
        state.ResumeTiming();
    }
}

template <bool Dxf>
void BM_HostScale_Write(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    LoadLineDrawing(n);
    const vel::DrawingWriter& writer = Dxf ? DxfWriter() : JsonWriter();
    for (auto _ : state) {
        std::ostringstream out;
        writer.write(vel::Host::instance().drawing(), out);
        benchmark::DoNotOptimize(out.tellp());
    }
    CountPerElement(state, n);
}

using Step = void (*)(benchmark::State&);

// Size by size, so that each drawing is made once and all its steps run together.
const bool kRegistered = [] {
    const std::pair<const char*, Step> steps[] = {
        {"BM_HostScale_LoadJson", BM_HostScale_Load<false>},
        {"BM_HostScale_LoadDxf", BM_HostScale_Load<true>},
        {"BM_HostScale_SelectAll", BM_HostScale_SelectAll},
        {"BM_HostScale_InsertAroundSelection", BM_HostScale_InsertAroundSelection},
        {"BM_HostScale_PickAfterInsert", BM_HostScale_PickAfterInsert},
        {"BM_HostScale_WriteJson", BM_HostScale_Write<false>},
        {"BM_HostScale_WriteDxf", BM_HostScale_Write<true>},
    };
    for (int n : kSizes)
        for (const auto& [name, step] : steps)
            benchmark::RegisterBenchmark(name, step)
                ->Arg(n)
                ->Iterations(PassesAt(n))
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    return true;
}();

}  // namespace

// InsertBench.cpp - what building an insert costs through the stand-in host,
// against the bare reading of the same records.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/BenchSupport.h"
#include "geometry/FigureList.h"
#include "geometry/HoleOutline.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"
#include "host/VelLib.h"
#include "vel/kernel/Host.h"

namespace {

constexpr int kFigures = 999;
constexpr int kElementsPerFigure = 1000;

// 999 figures of 1000 elements each: lines, arcs and circles in turn.
FigureList& BigPick() {
    static FigureList list = [] {
        vel::Host::instance().reset();
        FigureList l;
        for (int f = 0; f < kFigures; ++f) {
            const int segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
            const double ox = (f % 37) * 50.0, oy = (f / 37) * 50.0;
            for (int e = 0; e < kElementsPerFigure; ++e) {
                const FigureData d = MixedFigureElement(ox, oy, e);
                VelFigCreateFigure(segment, &d);
            }
            l.slots[f + 1] = {1, segment};
        }
        l.count = kFigures;
        return l;
    }();
    return list;
}

double gReadSecondsPerPass = 0.0;

void BM_ReadRecords(benchmark::State& state) {
    const FigureList& list = BigPick();
    static FigureData records[kElementsPerFigure];
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 1; i <= list.count; ++i) {
            benchmark::DoNotOptimize(VelFigGetFigure2(&list.slots[i], records, kElementsPerFigure));
            benchmark::ClobberMemory();
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    gReadSecondsPerPass = seconds / static_cast<double>(state.iterations());
    state.counters["elements_per_second"] =
        benchmark::Counter(static_cast<double>(kFigures) * kElementsPerFigure * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadRecords)->Unit(benchmark::kMillisecond);

void BM_CreateInsertOutline(benchmark::State& state) {
    const FigureList& list = BigPick();
    UseDefaultInsertSettings();
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(CreateInsertOutline(list, list.count));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        VelSgmDeleteSegment(gInsertAnnotations.outlineSegment);
        state.ResumeTiming();
    }
    state.counters["elements_per_second"] =
        benchmark::Counter(static_cast<double>(kFigures) * kElementsPerFigure * state.iterations(),
                           benchmark::Counter::kIsRate);
    if (gReadSecondsPerPass > 0.0)
        state.counters["ratio_to_read"] =
            seconds / static_cast<double>(state.iterations()) / gReadSecondsPerPass;
}
BENCHMARK(BM_CreateInsertOutline)->Unit(benchmark::kMillisecond);

// One hole with the default settings on the default insert around a 100 x 50 plate.
void BM_CreateHoleOutline(benchmark::State& state) {
    vel::Host::instance().reset();
    UseDefaultInsertSettings();
    gInsertSettings.mIsCheckHole = 1;
    const int plate = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    const VelPoint corners[4] = {{0, 0}, {100, 0}, {100, 50}, {0, 50}};
    for (int i = 0; i < 4; ++i) {
        FigureData edge{};
        edge.type = VEL_FIG_LINE;
        edge.values[0] = corners[i].x, edge.values[1] = corners[i].y;
        edge.values[2] = corners[(i + 1) % 4].x, edge.values[3] = corners[(i + 1) % 4].y;
        VelFigCreateFigure(plate, &edge);
    }
    VelFigSetClosed(plate, 1);
    FigureList list;
    list.slots[1] = {1, plate};
    CreateInsertOutline(list, 1);
    const vel::Drawing& drawing = vel::Host::instance().drawing();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CreateHoleOutline());
        state.PauseTiming();
        VelSgmDeleteSegment(drawing.segments().rbegin()->first);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateHoleOutline)->Unit(benchmark::kMicrosecond);

}  // namespace

// SnapBench.cpp - one object-snap lookup (every kind on) in drawings of 10,000 to
// 1,000,000 elements, at the reach of a view zoomed in on a few figures and of a
// view fitted to the whole drawing: the cursor moves over the canvas at this cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>

#include "vel/io/Snap.h"
#include "vel/kernel/Drawing.h"

namespace {

// Drawing units between neighbours on the grid: each cell holds a line and a circle that
// cross it, so that every kind of snap has points to find.
constexpr double kPitch = 4.0;
// The snap's reach in pixels, over the canvas's width in pixels.
constexpr double kReachPixels = 10.0, kCanvasPixels = 1100.0;

const vel::Drawing& GridDrawing(int elements) {
    static std::map<int, vel::Drawing> drawings;
    auto [it, made] = drawings.try_emplace(elements);
    if (!made) return it->second;
    vel::Drawing& d = it->second;
    const int side = static_cast<int>(std::ceil(std::sqrt(elements / 2.0)));
    for (int k = 0; k < elements; ++k) {
        const int cell = k / 2;
        const double x = (cell % side) * kPitch, y = (cell / side) * kPitch;
        vel::FigureElement e;
        if (k % 2 == 0) {
            e.type = vel::FigureType::Line;
            e.values[0] = x, e.values[1] = y, e.values[2] = x + 3.0, e.values[3] = y + 1.5;
        } else {
            e.type = vel::FigureType::Circle;
            e.values[0] = x + 1.5, e.values[1] = y + 0.5, e.values[2] = 1.0;
        }
        d.appendElement(d.createSegment(vel::SegmentKind::Figure), e);
    }
    d.segmentsNear({0, 0}, 0.0);  // the spatial index built, as the window's first pick builds it
    return d;
}

void BM_Snap(benchmark::State& state) {
    const int elements = static_cast<int>(state.range(0));
    const bool fitted = state.range(1) != 0;
    const vel::Drawing& d = GridDrawing(elements);
    const vel::Extents all = d.drawnExtents();
    // Zoomed in, ten pixels reach a tenth of a cell; fitted, they reach a hundredth of it all.
    const double reach = fitted ? all.width() * kReachPixels / kCanvasPixels : 0.4;
    // The cursor walks over the drawing's middle, onto and off figures.
    double t = 0.0;
    for (auto _ : state) {
        const vel::Point p{all.minX + all.width() * (0.5 + 0.01 * std::sin(t)),
                           all.minY + all.height() * (0.5 + 0.01 * std::cos(t * 1.3))};
        t += 0.37;
        benchmark::DoNotOptimize(vel::findSnap(d, p, reach, vel::SnapKinds::fromBits(~0u)));
    }
}
BENCHMARK(BM_Snap)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {0, 1}})
    ->ArgNames({"elements", "fitted"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

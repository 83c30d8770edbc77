// WindowBench.cpp - the window on a drawing of a million elements: a full
// redraw of the canvas (zoomed to fit, and zoomed in) and the latency of a pick
// under the cursor, on a million single-line segments (the most segments to
// look through) and on 999 polylines of 1000 arcs (the most to draw); and the
// update that follows a click which made something.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>
#include <random>

#include "vel/gui/Canvas.h"
#include "vel/gui/UndoHistory.h"
#include "vel/io/HostInput.h"
#include "vel/kernel/Host.h"

namespace {

constexpr int kElements = 1'000'000;
const QSize kCanvas(1200, 800);

void EnsureApplication() {
    static int argc = 3;
    static char name[] = "orvanta_bench", platform[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A figure pick armed, as the first step of the command arms it.
int ArmFigurePick() {
    vel::Host::instance().setEventMask(VEL_MASK_FIGURE);
    return 0;
}

void FillLines(vel::Drawing& d) {
    const int side = static_cast<int>(std::ceil(std::sqrt(kElements)));
    for (int k = 0; k < kElements; ++k) {
        const double x = (k % side) * 4.0, y = (k / side) * 4.0;
        vel::FigureElement line;
        line.type = vel::FigureType::Line;
        line.values[0] = x, line.values[1] = y, line.values[2] = x + 1.0, line.values[3] = y + 0.5;
        d.appendElement(d.createSegment(vel::SegmentKind::Figure), line);
    }
}

// Closed rings of 1000 arcs of radius 100 on a 37-column grid.
void FillRings(vel::Drawing& d) {
    constexpr int kRings = 999, kArcs = 1000;
    for (int f = 0; f < kRings; ++f) {
        const double ox = (f % 37) * 300.0, oy = (f / 37) * 300.0;
        const int seg = d.createSegment(vel::SegmentKind::Figure);
        for (int k = 0; k < kArcs; ++k) {
            const double a0 = 2 * M_PI * k / kArcs, a1 = 2 * M_PI * (k + 1) / kArcs;
            vel::FigureElement arc;
            arc.type = vel::FigureType::Arc;
            arc.values[0] = ox, arc.values[1] = oy;
            arc.values[2] = ox + 100 * std::cos(a0), arc.values[3] = oy + 100 * std::sin(a0);
            arc.values[4] = ox + 100 * std::cos(a1), arc.values[5] = oy + 100 * std::sin(a1);
            arc.values[6] = 100.0;
            d.appendElement(seg, arc);
        }
        d.segment(seg)->closed = true;
    }
}

// The host holding the drawing, the command running with a figure pick armed,
// and a canvas of the window's size showing it all.
struct Scene {
    vel::HostInput input{vel::Host::instance()};
    std::unique_ptr<velgui::Canvas> canvas;

    explicit Scene(void (*fill)(vel::Drawing&)) {
        EnsureApplication();
        vel::Host& host = vel::Host::instance();
        host.reset();
        fill(host.drawing());
        host.registerCommand(ArmFigurePick, nullptr, nullptr);
        host.startCommand();
        canvas = std::make_unique<velgui::Canvas>(host, input, velgui::CanvasEvents{});
        canvas->resize(kCanvas);
        canvas->refreshDrawing();
        canvas->zoomToFit();
        canvas->targetAt({1.0, 1.0});  // the spatial index is built at the first pick
    }
};

Scene& SceneOf(int kind) {
    static std::unique_ptr<Scene> scenes[2];
    if (!scenes[kind]) {
        scenes[1 - kind].reset();  // one drawing in memory at a time
        scenes[kind] = std::make_unique<Scene>(kind == 0 ? FillLines : FillRings);
    }
    return *scenes[kind];
}

void BM_Window_Redraw(benchmark::State& state) {
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    const double zoom = static_cast<double>(state.range(1));
    scene.canvas->zoomToFit();
    if (zoom > 1.0)
        scene.canvas->showArea([&] {
            const vel::Point a = scene.canvas->drawingPointOf({600.0 - 600.0 / zoom, 400.0});
            const vel::Point b = scene.canvas->drawingPointOf({600.0 + 600.0 / zoom, 400.0});
            vel::Extents area;
            area.add(a);
            area.add(b + vel::Point{0.0, (b.x - a.x) * 2 / 3});
            return area;
        }());
    QImage image(kCanvas, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        scene.canvas->paintDrawing(painter, image.rect());
    }
    state.SetLabel(state.range(0) == 0 ? "1M line segments" : "999 rings of 1000 arcs");
}

void BM_Window_PickLatency(benchmark::State& state) {
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    scene.canvas->zoomToFit();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0.0, kCanvas.width()), y(0.0, kCanvas.height());
    for (auto _ : state) benchmark::DoNotOptimize(scene.canvas->targetAt({x(random), y(random)}));
    state.SetLabel(state.range(0) == 0 ? "1M line segments" : "999 rings of 1000 arcs");
}

// What follows a click that made something: the change kept for undo, the canvas
// taking what changed (a new segment) and repainting.
void BM_Window_UpdateAfterAChange(benchmark::State& state) {
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    vel::Drawing& d = vel::Host::instance().drawing();
    QImage image(kCanvas, QImage::Format_RGB32);
    velgui::UndoHistory history;
    for (auto _ : state) {
        history.begin(d);
        const int seg = d.createSegment(vel::SegmentKind::Figure);
        vel::FigureElement line;
        line.type = vel::FigureType::Line;
        line.values[2] = 100.0;
        d.appendElement(seg, line);
        history.end(d);
        scene.canvas->updateDrawing();
        QPainter painter(&image);
        scene.canvas->paintDrawing(painter, image.rect());
    }
    state.SetLabel(state.range(0) == 0 ? "1M line segments" : "999 rings of 1000 arcs");
}

// {drawing, zoom}: 0 lines, 1 rings; 1 fitted, 50 zoomed in.
BENCHMARK(BM_Window_Redraw)
    ->Args({0, 1})
    ->Args({0, 50})
    ->Args({1, 1})
    ->Args({1, 50})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Window_PickLatency)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Window_UpdateAfterAChange)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

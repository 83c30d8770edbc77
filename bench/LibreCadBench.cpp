// LibreCadBench.cpp - the bridge's own share of a run inside LibreCAD: a drawing of 100,000
// LibreCAD entities (lines, arcs, circles and bulged polylines) made into the host's drawing as
// the command starts, and the entities of one insert made for LibreCAD afterwards, which must
// cost what the insert holds whatever the drawing's size. LibreCAD's own reading of its entities
// through its interface is timed inside LibreCAD (the bridge's trace gives it).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "vel/kernel/FigureOps.h"
#include "vel/librecad/LibreCadEntities.h"

namespace {

using vel::librecad::LcEntity;
using vel::librecad::LcKind;

std::vector<LcEntity> Entities(int count) {
    std::vector<LcEntity> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double x = (i % 400) * 10.0, y = (i / 400) * 10.0;
        LcEntity e;
        e.layer = i % 7 ? "0" : "외곽선";
        switch (i % 4) {
            case 0:
                e.kind = LcKind::Line;
                e.vertices = {{{x, y}, 0.0}, {{x + 8, y + 3}, 0.0}};
                break;
            case 1:
                e.kind = LcKind::Arc;
                e.centre = {x + 4, y + 4};
                e.radius = 3;
                e.start = 0.5;
                e.end = 2.5;
                break;
            case 2:
                e.kind = LcKind::Circle;
                e.centre = {x + 4, y + 4};
                e.radius = 2;
                break;
            default:
                e.kind = LcKind::Polyline;
                e.vertices = {
                    {{x, y}, 0.0}, {{x + 8, y}, 0.4}, {{x + 8, y + 8}, 0.0}, {{x, y + 8}, 0.0}};
                e.closed = true;
                break;
        }
        out.push_back(std::move(e));
    }
    return out;
}

void BM_LibreCadDrawingIntoTheHost(benchmark::State& state) {
    const std::vector<LcEntity> entities = Entities(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        vel::Drawing drawing;
        vel::librecad::DrawingImport import(drawing);
        for (const LcEntity& e : entities) import.add(e);
        benchmark::DoNotOptimize(drawing.segments().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LibreCadDrawingIntoTheHost)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// An insert with corners in a drawing of N entities, made into LibreCAD's entities.
void BM_InsertOutToLibreCad(benchmark::State& state) {
    vel::Drawing drawing;
    vel::librecad::DrawingImport import(drawing);
    for (const LcEntity& e : Entities(static_cast<int>(state.range(0)))) import.add(e);
    const int insert = drawing.createSegment(vel::SegmentKind::Figure);
    std::vector<int> sides;
    const vel::Point corners[] = {{-6, -6}, {4006, -6}, {4006, 2506}, {-6, 2506}};
    for (int k = 0; k < 4; ++k) {
        vel::FigureElement f;
        f.type = vel::FigureType::Line;
        const vel::Point a = corners[k], b = corners[(k + 1) % 4];
        f.values[0] = a.x, f.values[1] = a.y, f.values[2] = b.x, f.values[3] = b.y;
        sides.push_back(drawing.appendElement(insert, f));
    }
    drawing.segment(insert)->closed = true;
    vel::addCorner(drawing, sides[0], sides[1], 0, 8.0);
    vel::addCorner(drawing, sides[2], sides[3], 1, 5.0);
    const vel::ViewFrame frame = vel::frameOf(drawing);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            vel::librecad::entitiesOf(drawing, *drawing.segment(insert), frame));
}
BENCHMARK(BM_InsertOutToLibreCad)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

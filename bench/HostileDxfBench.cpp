// HostileDxfBench.cpp - small DXF files with extreme but legal numbers, each read
// as velhost reads a drawing: an arc a huge number of degrees round, an array of
// a block of points to the edge of what a file may make, ellipses and a spline
// larger or wilder than any drawing, references to nothing placed by an array,
// bulges under a stretching reference. Each file is a few kilobytes at most; the
// time to read it (or to refuse it) is the figure to watch: well under a second.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"

namespace {

std::string File(const std::string& blocks, const std::string& entities) {
    return "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities +
           "0\nENDSEC\n0\nEOF\n";
}

std::string Block(const std::string& name, const std::string& body) {
    return "0\nBLOCK\n2\n" + name + "\n10\n0\n20\n0\n" + body + "0\nENDBLK\n";
}

std::string Insert(const std::string& name, int columns, int rows, const char* scaleY = "1") {
    return "0\nINSERT\n2\n" + name + "\n10\n0\n20\n0\n42\n" + scaleY + "\n70\n" +
           std::to_string(columns) + "\n71\n" + std::to_string(rows) + "\n44\n30\n45\n30\n";
}

std::string HugeArc() {
    return File("", "0\nARC\n10\n0\n20\n0\n40\n5\n50\n4e61\n51\n10\n");
}

std::string PointsArrayed() {
    std::string points;
    for (int k = 0; k < 20; ++k) points += "0\nPOINT\n10\n" + std::to_string(k) + "\n20\n0\n";
    return File(Block("D", points), Insert("D", 95, 95));
}

std::string HugeEllipses() {
    std::string ellipses;
    for (int k = 0; k < 20; ++k)
        ellipses += "0\nELLIPSE\n10\n0\n20\n" + std::to_string(k) +
                    "\n11\n1e99\n21\n0\n40\n0.5\n41\n0\n42\n6.283185307179586\n";
    return File("", ellipses);
}

std::string WildSplines() {
    std::string spline = "0\nSPLINE\n70\n8\n71\n25\n72\n52\n73\n26\n";
    for (int k = 0; k < 52; ++k) spline += "40\n" + std::to_string(k < 26 ? 0 : 1) + "\n";
    for (int k = 0; k < 26; ++k)
        spline += "10\n" + std::to_string(k) + "\n20\n" + (k % 2 ? "1e6" : "-1e6") + "\n30\n0\n";
    std::string all;
    for (int k = 0; k < 4; ++k) all += spline;
    return File("", all);
}

std::string ReferencesToNothing() {
    std::string nothing;
    for (int k = 0; k < 20; ++k) nothing += "0\nINSERT\n2\nNOWHERE\n10\n0\n20\n0\n";
    return File(Block("N", nothing), Insert("N", 100, 100));
}

std::string StretchedBulges() {
    std::string polyline = "0\nLWPOLYLINE\n90\n40\n70\n1\n";
    for (int k = 0; k < 40; ++k) polyline += "10\n" + std::to_string(k) + "e10\n20\n0\n42\n1\n";
    return File(Block("P", polyline), Insert("P", 1, 1, "2"));
}

void BM_HostileDxf_Read(benchmark::State& state, std::string (*make)()) {
    const std::string text = make();
    size_t elements = 0;
    bool refused = false;
    for (auto _ : state) {
        std::istringstream in(text);
        vel::Drawing drawing;
        try {
            vel::readDxfDrawing(in, "hostile.dxf", drawing);
        } catch (const vel::FileError&) {
            refused = true;
        }
        elements = 0;
        for (const auto& [id, s] : drawing.segments()) elements += s.elements.size();
    }
    state.counters["file_bytes"] = double(text.size());
    state.counters["elements_made"] = double(elements);
    state.counters["refused"] = refused ? 1.0 : 0.0;
}

BENCHMARK_CAPTURE(BM_HostileDxf_Read, huge_arc_angle, HugeArc)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileDxf_Read, points_arrayed, PointsArrayed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileDxf_Read, huge_ellipses, HugeEllipses)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileDxf_Read, wild_splines, WildSplines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileDxf_Read, references_to_nothing, ReferencesToNothing)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileDxf_Read, stretched_bulges, StretchedBulges)
    ->Unit(benchmark::kMillisecond);

}  // namespace

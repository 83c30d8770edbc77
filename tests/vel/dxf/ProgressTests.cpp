// ProgressTest.cpp - reading and writing drawings tell their progress in order,
// and a read or write stopped on the way leaves what it was to replace alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "tests/support/Drawings.h"
#include "vel/dxf/DxfFormat.h"

namespace vel::test {
namespace {

// Keeps what it is told, and stops the work when told for the `stopAt`th time.
class Recorder : public Progress {
public:
    explicit Recorder(size_t stopAt = SIZE_MAX) : stopAt_(stopAt) {}
    void advance(double done) override {
        told.push_back(done);
        if (told.size() >= stopAt_) throw Cancelled();
    }
    std::vector<double> told;

private:
    size_t stopAt_;
};

void ExpectInOrder(const std::vector<double>& told, const char* what) {
    ASSERT_GT(told.size(), 50u) << what << ": told often";
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end())) << what;
    EXPECT_GE(told.front(), 0.0) << what;
    EXPECT_LE(told.back(), 1.0) << what;
    EXPECT_GT(told.back(), 0.9) << what << ": told until near the end";
}

std::string JsonOf(const Drawing& d) {
    return writeWith(*makeJsonWriter(), d);
}

TEST(Progress, ReadsAndWritesTellItInOrderAndCancelLeavesTheDrawingAlone) {
    Drawing lines;
    for (int k = 0; k < 3000; ++k) addPolygon(lines, {{0.0 + k, 0}, {0.0 + k, 5}}, false);
    using Read = void (*)(std::istream&, Drawing&, Progress*);
    const std::pair<std::unique_ptr<DrawingWriter>, Read> formats[] = {
        {makeJsonWriter(),
         [](std::istream& in, Drawing& d, Progress* p) { readJsonDrawing(in, "p.json", d, p); }},
        {makeDxfWriter(),
         [](std::istream& in, Drawing& d, Progress* p) { readDxfDrawing(in, "p.dxf", d, p); }},
    };
    for (const auto& [writer, readWith] : formats) {
        Recorder writing;
        std::ostringstream out;
        writer->write(lines, out, &writing);
        ExpectInOrder(writing.told, "writing");
        EXPECT_EQ(out.str(), writeWith(*writer, lines)) << "the same file, watched or not";

        Recorder reading;
        Drawing got;
        std::istringstream in(out.str());
        readWith(in, got, &reading);
        ExpectInOrder(reading.told, "reading");
        EXPECT_EQ(got.segments().size(), lines.segments().size());

        // Stopped on the way: the drawing read into is as it was.
        Drawing kept = sampleDrawing();
        const std::string before = JsonOf(kept);
        Recorder stopping(3);
        std::istringstream again(out.str());
        EXPECT_THROW(readWith(again, kept, &stopping), Cancelled);
        EXPECT_EQ(JsonOf(kept), before);
        std::ostringstream cut;
        Recorder stopWriting(3);
        EXPECT_THROW(writer->write(lines, cut, &stopWriting), Cancelled);
    }
    Recorder picture;
    std::ostringstream svg;
    makeSvgWriter()->write(lines, svg, &picture);
    ExpectInOrder(picture.told, "drawing the picture");

    // One reference of a few bytes that makes many figures still tells, and can be stopped.
    const std::string arrayed =
        "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLINE\n10\n0\n20\n0\n11\n1\n21\n0\n"
        "0\nENDBLK\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\nB\n10\n0\n20\n0\n70\n300\n71"
        "\n"
        "300\n44\n2\n45\n2\n0\nENDSEC\n0\nEOF\n";
    Recorder placing(40);
    std::istringstream in(arrayed);
    Drawing d;
    EXPECT_THROW(readDxfDrawing(in, "arrayed.dxf", d, &placing), Cancelled);
    EXPECT_TRUE(d.segments().empty());
}

}  // namespace
}  // namespace vel::test

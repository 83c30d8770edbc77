// SpatialIndexTest.cpp - window selections, picks and element look-ups stay what
// measuring every segment gives while the drawing changes between queries, and
// naming layers keeps its numbering.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <random>

#include "tests/vel/kernel/KernelTestSupport.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/FigureOps.h"
#include "vel/kernel/Host.h"

namespace vel {
namespace {

std::vector<int> insideByScan(const Drawing& d, const Extents& window) {
    std::vector<int> ids;
    for (const auto& [id, s] : d.segments())
        if (window.contains(extentsOf(drawnPrimitives(d, s)))) ids.push_back(id);
    return ids;
}

// Ties go to the lowest id, then the first element.
std::optional<int> nearestByScan(const Drawing& d, Point p, double aperture, bool elements) {
    std::optional<int> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const auto& [id, s] : d.segments())
        for (int i = 0; i < static_cast<int>(s.elements.size()); ++i)
            for (const Primitive& prim : drawnPrimitives(d, s, i)) {
                const double dist = distanceTo(prim, p);
                if (dist <= aperture && dist < bestDistance) {
                    bestDistance = dist;
                    best = elements ? s.elements[i].id : id;
                }
            }
    return best;
}

class Lookups : public ::testing::Test {
protected:
    void SetUp() override { host().reset(); }
    void TearDown() override { host().reset(); }
    static Host& host() { return Host::instance(); }
    static Drawing& d() { return host().drawing(); }

    double coordinate() { return std::uniform_real_distribution<double>(0.0, 100.0)(random_); }
    size_t any(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
    int someSegment() {
        auto it = d().segments().begin();
        std::advance(it, any(d().segments().size()));
        return it->first;
    }
    void addSquare() {
        const Point c{coordinate(), coordinate()};
        const double r = 1.0 + any(4);
        test::insertOutline(
            d(), {c + Point{-r, r}, c + Point{-r, -r}, c + Point{r, -r}, c + Point{r, r}}, nullptr);
    }
    // One change of any kind the host makes, to a segment picked at random.
    void changeSomething() {
        const int seg = someSegment();
        const Segment& s = *d().segment(seg);
        // Deleting an element beside corners takes them too, so a figure may be left short.
        const int first = s.elements.front().id;
        const int second = s.elements.size() > 1 ? s.elements[1].id : first;
        switch (any(8)) {
            case 0:
                editSegment(d(), seg, {0, 0}, {coordinate() - 50, coordinate() - 50}, 90.0 * any(4),
                            1.0, true);
                break;
            case 1:
                editSegment(d(), seg, {0, 0}, {coordinate(), 0}, 0.0, 0.5, false);
                break;
            case 2:
                addCorner(d(), first, second, static_cast<int>(any(2)), 0.5);
                break;
            case 3:
                d().insertElementBefore(first, lineFigure({coordinate(), coordinate()}, {0, 0}));
                break;
            case 4:
                if (s.elements.size() > 2) d().deleteElement(second);
                break;
            case 5:
                if (d().segments().size() > 10) d().deleteSegment(seg);
                break;
            case 6:
                d().setCurrentLayer(d().layerForName("layer " + std::to_string(any(3))));
                break;
            default:
                addSquare();
        }
    }

    std::mt19937 random_{7};
};

// Every kind of change, a few at a time (each box put back on its own) and many
// at a time (the index packed afresh), each followed by queries checked against
// a scan of every segment.
TEST_F(Lookups, QueriesMatchAScanOfEverySegmentThroughChanges) {
    host().setAperture(3.0);
    for (int k = 0; k < 60; ++k) addSquare();

    for (int round = 0; round < 40; ++round) {
        const int changes = round % 5 == 4 ? 50 : 1 + static_cast<int>(any(3));
        for (int c = 0; c < changes; ++c) changeSomething();
        for (const auto& [id, s] : d().segments())
            for (int i = 0; i < static_cast<int>(s.elements.size()); ++i) {
                ASSERT_EQ(d().elementIndex(s.elements[i].id), i);
                ASSERT_EQ(d().element(s.elements[i].id), &s.elements[i]);
            }
        Extents all;
        for (const auto& [id, s] : d().segments()) all.add(extentsOf(drawnPrimitives(d(), s)));
        const Extents e = d().drawnExtents();
        ASSERT_TRUE(e.minX == all.minX && e.minY == all.minY && e.maxX == all.maxX &&
                    e.maxY == all.maxY)
            << "round " << round;
        for (int q = 0; q < 5; ++q) {
            Extents window;
            window.add(Point{coordinate(), coordinate()});
            window.add(Point{coordinate(), coordinate()});
            ASSERT_EQ(host().segmentsInside(window), insideByScan(d(), window))
                << "round " << round;
            const Point p{coordinate(), coordinate()};
            ASSERT_EQ(host().nearestSegment(p), nearestByScan(d(), p, 3.0, false))
                << "round " << round;
            ASSERT_EQ(host().nearestElement(p), nearestByScan(d(), p, 3.0, true))
                << "round " << round;
        }
    }
}

// Everything a change may touch: segments with their elements, layers, the current layer.
std::vector<std::vector<double>> everything(const Drawing& d) {
    std::vector<std::vector<double>> out{{double(d.currentLayer())}};
    for (const auto& [number, layer] : d.layers())
        out.push_back({double(number), double(std::hash<std::string>{}(layer.name))});
    for (const auto& [id, s] : d.segments()) {
        out.push_back({double(id), double(s.kind), double(s.layer), double(s.closed)});
        for (const std::vector<double>& row : test::snapshot(s)) out.push_back(row);
    }
    return out;
}

// A recorded run of changes taken back leaves the drawing, its look-ups and its
// index as they were before it, and made again as it left them; ids once handed
// out are never handed out again.
TEST_F(Lookups, ARecordedRunOfChangesGoesBackAndForthWhole) {
    host().setAperture(3.0);
    for (int k = 0; k < 30; ++k) addSquare();
    for (int round = 0; round < 30; ++round) {
        const auto before = everything(d());
        d().recordChanges();
        for (int c = 0, n = 1 + static_cast<int>(any(round % 3 == 2 ? 40 : 4)); c < n; ++c)
            changeSomething();
        const DrawingChange change = d().finishChanges();
        const auto after = everything(d());
        ASSERT_EQ(change.empty(), before == after) << "round " << round;
        const int nextId = d().nextId();
        for (bool back : {true, false, true, false}) {
            d().applyChange(change, back);
            ASSERT_EQ(everything(d()), back ? before : after) << "round " << round;
            ASSERT_EQ(d().nextId(), nextId);
            for (const auto& [id, s] : d().segments())
                for (int i = 0; i < static_cast<int>(s.elements.size()); ++i)
                    ASSERT_EQ(d().element(s.elements[i].id), &s.elements[i]);
            Extents window;
            window.add(Point{coordinate(), coordinate()});
            window.add(Point{coordinate(), coordinate()});
            ASSERT_EQ(host().segmentsInside(window), insideByScan(d(), window));
            const Point p{coordinate(), coordinate()};
            ASSERT_EQ(host().nearestElement(p), nearestByScan(d(), p, 3.0, true));
        }
        if (round % 4 == 3) d().applyChange(change, true);  // some runs stay undone
    }
}

TEST_F(Lookups, ExtentsOfTheDrawingLeaveOutOnlyWhatIsNotFinite) {
    test::insertOutline(d(), {{0, 0}, {10, 0}, {10, 5}}, nullptr);
    const int far = d().createSegment(SegmentKind::Figure);
    d().appendElement(far,
                      vel::arcFigure({1e308, 0}, 1e308, {0, 0}, {1e308, 1e308}));  // reaches past
    d().appendElement(far, lineFigure({-3, -4}, {-2, 7}));
    // Measured afresh, and then from the boxes of the index a query has built.
    for (int pass = 0; pass < 2; ++pass) {
        const Extents e = d().drawnExtents();
        EXPECT_EQ(e.minX, -3) << pass;
        EXPECT_EQ(e.minY, -4) << pass;
        EXPECT_EQ(e.maxX, 10) << pass;
        EXPECT_EQ(e.maxY, 7) << pass;
        host().segmentsInside(Extents{0, 0, 1, 1});
    }
}

TEST_F(Lookups, ACopyAnswersForItsOwnSegments) {
    const int kept = d().createSegment(SegmentKind::Figure);
    d().appendElement(kept, lineFigure({0, 0}, {1, 0}));
    Extents window;
    window.add(Point{-1, -1});
    window.add(Point{2, 2});
    ASSERT_EQ(d().segmentsInside(window), std::vector<int>{kept});
    const Drawing copy = d();
    editSegment(d(), kept, {0, 0}, {50, 0}, 0.0, 1.0, true);
    EXPECT_TRUE(d().segmentsInside(window).empty());
    EXPECT_EQ(copy.segmentsInside(window), std::vector<int>{kept});
}

TEST_F(Lookups, SelectionKeepsPickOrderAndEachSegmentOnce) {
    for (int id : {5, 3, 5, 9, 3}) host().addToSelection(id);
    std::vector<int> order;
    for (const SelIdRecord& r : host().selection()) order.push_back(r.segmentId);
    EXPECT_EQ(order, (std::vector<int>{5, 3, 9}));
    host().clearSelection();
    host().addToSelection(5);
    EXPECT_EQ(host().selection().size(), 1u) << "a cleared selection takes a segment again";
}

// Ids a file gives may lie anywhere: close together, far apart, far ones first and the gap
// filled later; elements are found by each of them, and by the ids the counter goes on with,
// through insertions, removals and whole lists appended.
TEST_F(Lookups, ElementsAreFoundByTheirIdsHoweverFarApartTheyLie) {
    Drawing& drawing = d();
    const int seg = drawing.createSegmentWithId(SegmentKind::Figure, 7);
    std::vector<int> ids;
    for (int id : {3000, 2'000'000'000, 40}) ids.push_back(id);
    for (int id = 41; id < 3100; ++id)
        if (id != 3000) ids.push_back(id);
    for (size_t k = 0; k < ids.size(); ++k)
        ASSERT_EQ(drawing.appendElement(seg, lineFigure({double(k), 0}, {double(k), 1}), ids[k]),
                  ids[k]);
    EXPECT_EQ(drawing.appendElement(seg, lineFigure({0, 0}, {1, 1}), 3000), -1) << "taken";
    EXPECT_EQ(drawing.createSegmentWithId(SegmentKind::Figure, 2'000'000'000), -1) << "taken";
    EXPECT_EQ(drawing.element(39), nullptr);
    EXPECT_EQ(drawing.element(2'000'000'001), nullptr);

    // Counter ids run on past the largest; a list appended takes them in its order.
    const int next = drawing.appendElement(seg, lineFigure({0, 0}, {0, 2}));
    EXPECT_EQ(next, 2'000'000'001);
    std::vector<Element> list(3);
    ASSERT_TRUE(drawing.appendElements(seg, std::move(list)));
    EXPECT_FALSE(drawing.appendElements(12345, std::vector<Element>(1)));
    for (int k = 0; k < 3; ++k) ids.push_back(next + 1 + k);
    ids.insert(ids.end() - 3, next);

    // An element inserted at the front moves every other one up a place.
    const int front = drawing.insertElementBefore(ids.front(), lineFigure({0, 0}, {0, 3}));
    ids.insert(ids.begin(), front);
    ASSERT_TRUE(drawing.deleteElement(40));
    ids.erase(std::find(ids.begin(), ids.end(), 40));
    EXPECT_EQ(drawing.element(40), nullptr);

    const Segment& s = *drawing.segment(seg);
    ASSERT_EQ(s.elements.size(), ids.size());
    for (size_t k = 0; k < ids.size(); ++k) {
        ASSERT_EQ(s.elements[k].id, ids[k]);
        ASSERT_EQ(drawing.elementIndex(ids[k]), static_cast<int>(k)) << ids[k];
        ASSERT_EQ(drawing.element(ids[k]), &s.elements[k]) << ids[k];
        ASSERT_EQ(drawing.segmentOfElement(ids[k]), &s) << ids[k];
    }
    ASSERT_TRUE(drawing.deleteSegment(seg));
    for (int id : {3000, 2'000'000'000, 41, next + 2}) EXPECT_EQ(drawing.element(id), nullptr);
}

TEST_F(Lookups, NamedLayersTakeTheLowestNumberOfTheirNameOrTheNextFreeOne) {
    d().createLayer(1000);
    d().createLayer(1002);
    EXPECT_EQ(d().layerForName("walls"), 1001);
    EXPECT_EQ(d().layerForName("doors"), 1003);
    EXPECT_EQ(d().layerForName("walls"), 1001);
    d().createLayer(7, "doors");
    EXPECT_EQ(d().layerForName("doors"), 7) << "the lowest number with the name";
    d().createLayer(1004, "roof");
    EXPECT_EQ(d().layerForName("roof"), 1004);
    EXPECT_EQ(d().layerForName("cellar"), 1005);
}

}  // namespace
}  // namespace vel

// ScreenViewTest.cpp - the window's view of a drawing without the window: segment views
// kept across changes as if taken afresh, and the wheel's zoom limits at their edges.
#include <gtest/gtest.h>

#include "tests/support/Drawings.h"
#include "vel/io/ScreenView.h"

namespace vel::test {
namespace {

constexpr double kWidth = 1200.0, kHeight = 800.0;

void expectSameBox(const Extents& a, const Extents& b) {
    EXPECT_EQ(a.minX, b.minX);
    EXPECT_EQ(a.minY, b.minY);
    EXPECT_EQ(a.maxX, b.maxX);
    EXPECT_EQ(a.maxY, b.maxY);
}

// Segment by segment and text by text, what was kept is what a fresh take of the drawing gives.
void expectAsTakenAfresh(const ScreenView& kept, const Drawing& d) {
    ScreenView fresh;
    fresh.takeDrawing(d, true, kWidth, kHeight);
    ASSERT_EQ(kept.segments().size(), fresh.segments().size());
    for (size_t i = 0; i < fresh.segments().size(); ++i) {
        const ScreenView::CachedSegment& k = kept.segments()[i];
        const ScreenView::CachedSegment& f = fresh.segments()[i];
        EXPECT_EQ(k.id, f.id);
        expectSameBox(k.box, f.box);
        EXPECT_EQ(k.view.shapes.size(), f.view.shapes.size()) << "segment " << f.id;
        ASSERT_EQ(k.view.texts.size(), f.view.texts.size()) << "segment " << f.id;
        for (size_t t = 0; t < f.view.texts.size(); ++t) {
            EXPECT_EQ(k.view.texts[t].anchor, f.view.texts[t].anchor) << "segment " << f.id;
            EXPECT_EQ(k.view.texts[t].height, f.view.texts[t].height) << "segment " << f.id;
        }
        EXPECT_EQ(kept.find(f.id), &k);
    }
    expectSameBox(kept.everything(), fresh.everything());
}

// A square from (0, 0) to (100, 100), zoomed to fit.
ScreenView fittedSquare() {
    Drawing d;
    addPolygon(d, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
    ScreenView view;
    view.takeDrawing(d, true, kWidth, kHeight);
    view.zoomToFit(kWidth, kHeight);
    return view;
}

double scaleAfter(ScreenView view, double notches) {
    view.zoomAt({600, 400}, notches, kWidth, kHeight);
    return view.transform().scale();
}

}  // namespace

TEST(ScreenView, KeptViewsFollowEveryChangeAsAFreshTakeWould) {
    Drawing d = sampleDrawing();
    ScreenView kept;
    kept.takeDrawing(d, true, kWidth, kHeight);

    // A long line makes the drawing larger, and with it every text, sized by the whole drawing.
    std::vector<int> far;
    const int line = addPolygon(d, {{0, 0}, {3000, 0}}, false, &far);
    kept.takeDrawing(d, false, kWidth, kHeight);
    expectAsTakenAfresh(kept, d);
    d.element(far.front())->figure()->values[2] = 500;
    kept.takeDrawing(d, false, kWidth, kHeight);
    expectAsTakenAfresh(kept, d);

    // A segment taken out and brought back by an undo comes before others kept.
    d.recordChanges();
    ASSERT_TRUE(d.deleteSegment(d.segments().begin()->first));
    const DrawingChange change = d.finishChanges();
    kept.takeDrawing(d, false, kWidth, kHeight);
    expectAsTakenAfresh(kept, d);
    d.applyChange(change, true);
    kept.takeDrawing(d, false, kWidth, kHeight);
    expectAsTakenAfresh(kept, d);

    ASSERT_TRUE(d.deleteSegment(line));
    kept.takeDrawing(d, false, kWidth, kHeight);
    expectAsTakenAfresh(kept, d);
    EXPECT_EQ(kept.find(line), nullptr);
}

TEST(ScreenView, TheWheelStopsAtTheZoomLimits) {
    const ScreenView view = fittedSquare();
    const double fit = view.transform().scale();
    // Out: down to a thousandth of the fitted scale, and there it stays.
    EXPECT_DOUBLE_EQ(scaleAfter(view, -100), fit * ScreenView::kZoomOutLimit);
    EXPECT_DOUBLE_EQ(scaleAfter(view, -101), fit * ScreenView::kZoomOutLimit);
    EXPECT_GT(scaleAfter(view, -30), fit * ScreenView::kZoomOutLimit) << "short of the limit";
    // In: the screen's width at the fitted scale, 180 units, lies farther from the origin than
    // any point of the square, and is what the reach counts.
    const double deepest = ScreenView::kZoomInReach / (kWidth / fit);
    EXPECT_DOUBLE_EQ(scaleAfter(view, 300), deepest);
    EXPECT_DOUBLE_EQ(scaleAfter(view, 301), deepest);
    EXPECT_LT(scaleAfter(view, 120), deepest) << "short of the limit";

    // The point under the cursor stays under it, at the limit too.
    ScreenView deep = view;
    const Point before = deep.transform().toDrawing({300, 200});
    deep.zoomAt({300, 200}, 300, kWidth, kHeight);
    const Point after = deep.transform().toDrawing({300, 200});
    EXPECT_NEAR(after.x, before.x, 1e-9);
    EXPECT_NEAR(after.y, before.y, 1e-9);
}

TEST(ScreenView, AViewBeyondTheLimitsIsOnlyBroughtBack) {
    ScreenView close = fittedSquare();
    close.showArea({50, 50, 50 + 1e-12, 50 + 1e-12}, kWidth, kHeight);
    const double tooDeep = close.transform().scale();
    EXPECT_EQ(scaleAfter(close, 1), tooDeep);
    EXPECT_DOUBLE_EQ(scaleAfter(close, -1), tooDeep / ScreenView::kWheelZoom);

    ScreenView distant = fittedSquare();
    distant.showArea({-1e9, -1e9, 1e9, 1e9}, kWidth, kHeight);
    const double tooFar = distant.transform().scale();
    EXPECT_EQ(scaleAfter(distant, -1), tooFar);
    EXPECT_DOUBLE_EQ(scaleAfter(distant, 1), tooFar * ScreenView::kWheelZoom);
}

TEST(ScreenView, AResizeKeepsTheAreaShownOrTheFitUntilTheViewIsMoved) {
    ScreenView view = fittedSquare();
    view.resize(600, 600);
    EXPECT_DOUBLE_EQ(view.transform().scale(), (600 - 2 * 50) / 100.0) << "fitted again";

    view.showArea({0, 0, 10, 10}, 600, 600);
    view.resize(300, 300);
    EXPECT_DOUBLE_EQ(view.transform().scale(), 30.0) << "the same area in less room";

    view.pan(5, 5);
    const ViewTransform panned = view.transform();
    view.resize(600, 600);
    EXPECT_EQ(view.transform().scale(), panned.scale());
    EXPECT_EQ(view.transform().toScreen({0, 0}), panned.toScreen({0, 0}));
}

}  // namespace vel::test

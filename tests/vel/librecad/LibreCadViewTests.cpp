// LibreCadViewTests.cpp - LibreCAD's view learnt from the points its clicks gave.
#include <gtest/gtest.h>

#include <cmath>

#include "vel/librecad/LibreCadView.h"

namespace vel::librecad {
namespace {

// A view as LibreCAD has one: a click lands on a whole pixel and gives the point under it.
struct Clicks {
    ViewTransform view;
    LibreCadView learnt;
    Point click(double px, double py) {
        const Point at = view.toDrawing({px, py});
        learnt.clicked({px, py}, at);
        return at;
    }
};

TEST(LibreCadView, TwoClicksApartTellTheViewThatPutsEveryPointWhereLibreCadShowsIt) {
    for (const ViewTransform view :
         {ViewTransform(4.96, 180.0, 670.0), ViewTransform(0.0031, -12.5, 900.25),
          ViewTransform(2.5e4, -3.1e6, 4.4e6)}) {
        Clicks c{view, {}};
        c.click(1000, 130);
        c.click(100, 720);
        const std::optional<ViewTransform> learnt = c.learnt.transform();
        ASSERT_TRUE(learnt) << view.scale();
        EXPECT_NEAR(learnt->scale(), view.scale(), view.scale() * 1e-9);
        for (const Point pixel : {Point{0, 0}, Point{1380, 880}, Point{512, 64}}) {
            const Point on = learnt->toScreen(view.toDrawing(pixel));
            EXPECT_NEAR(on.x, pixel.x, 1e-6);
            EXPECT_NEAR(on.y, pixel.y, 1e-6);
        }
    }
}

TEST(LibreCadView, ClicksOnOneLineTellTheScaleOfTheirAxis) {
    Clicks c{ViewTransform(3.0, 100.0, 500.0), {}};
    c.click(200, 300);
    c.click(260, 300);
    ASSERT_TRUE(c.learnt.transform());
    EXPECT_DOUBLE_EQ(c.learnt.transform()->scale(), 3.0);
}

TEST(LibreCadView, TellsNothingItCannotKnow) {
    Clicks one{ViewTransform(3.0, 100.0, 500.0), {}};
    one.click(200, 300);
    EXPECT_FALSE(one.learnt.transform()) << "one click";

    Clicks close{ViewTransform(3.0, 100.0, 500.0), {}};
    close.click(200, 300);
    close.click(230, 320);
    EXPECT_FALSE(close.learnt.transform()) << "clicks too close to tell a scale";

    Clicks zoomed{ViewTransform(3.0, 100.0, 500.0), {}};
    zoomed.click(200, 300);
    zoomed.learnt.moved();
    zoomed.click(900, 700);
    EXPECT_FALSE(zoomed.learnt.transform()) << "a click before the view moved";

    // A snap moved the second point far, to a point of a coarse grid: the axes disagree.
    Clicks snapped{ViewTransform(3.0, 100.0, 500.0), {}};
    snapped.click(200, 300);
    const Point at = ViewTransform(3.0, 100.0, 500.0).toDrawing({900, 700});
    snapped.learnt.clicked({900, 700},
                           {std::round(at.x / 100) * 100, std::round(at.y / 100) * 100});
    EXPECT_FALSE(snapped.learnt.transform()) << "a snapped point";

    // The drawing's y runs up the screen; points that say otherwise are no view.
    LibreCadView mirrored;
    mirrored.clicked({100, 100}, {0, 0});
    mirrored.clicked({300, 300}, {10, 10});
    EXPECT_FALSE(mirrored.transform());
}

TEST(LibreCadView, TheLatestTwoClicksCount) {
    Clicks c{ViewTransform(3.0, 100.0, 500.0), {}};
    c.learnt.clicked({5, 5}, {1e6, -1e6});  // of another view, long ago
    c.click(200, 300);
    c.click(900, 700);
    ASSERT_TRUE(c.learnt.transform());
    EXPECT_DOUBLE_EQ(c.learnt.transform()->scale(), 3.0);
}

}  // namespace
}  // namespace vel::librecad

// DrawingViewTest.cpp - how dimensions are shown: the measured value clear of
// the dimension's own lines, arrowheads at the ends of the measure line.
#include <gtest/gtest.h>

#include "tests/support/Drawings.h"
#include "vel/io/DrawingView.h"

namespace vel::test {
namespace {

// A part from (0, 0) to (100, 60), and a horizontal dimension measuring `span`
// from the part's left side outwards (a on the part, b on the insert), its text 2.9 high
// as the file gave it.
DrawingView viewWithDimension(double span) {
    Drawing d;
    addPolygon(d, {{0, 0}, {100, 0}, {100, 60}, {0, 60}}, true);
    d.setDimensionTextHeight(2.9);
    DimensionElement dim;
    dim.a = {0, 30};
    dim.b = {-span, 30};
    dim.direction = 180.0;
    dim.decimals = 1;
    dim.arrow = {4, 0.8, 1.0};
    d.appendElement(d.createSegment(SegmentKind::Dimension), dim);
    return viewOf(d);
}

std::vector<Arrowhead> arrowsOf(const DrawingView& view) {
    std::vector<Arrowhead> heads;
    for (const ViewShape& s : view.shapes)
        if (const auto* head = std::get_if<Arrowhead>(&s.geometry)) heads.push_back(*head);
    return heads;
}

}  // namespace

TEST(DrawingView, DimensionTextStaysClearOfItsLines) {
    // Room enough: the value sits over the middle of the line, off it by a margin.
    DrawingView wide = viewWithDimension(60.0);
    ASSERT_EQ(wide.texts.size(), 1u);
    const ViewText& over = wide.texts.front();
    EXPECT_NEAR(over.anchor.x, -30.0, 1e-9);
    EXPECT_GE(over.anchor.y - 30.0, 0.4 * over.height - 1e-9);
    EXPECT_EQ(over.angleDegrees, 0.0);  // reads left to right though measured leftwards

    // Too short for its text: beyond the outer end (away from the part), on the line's level.
    DrawingView narrow = viewWithDimension(3.0);
    ASSERT_EQ(narrow.texts.size(), 1u);
    const ViewText& beyond = narrow.texts.front();
    const double halfWidth = 0.6 * 1.5 * beyond.height;  // "3.0": three narrow characters
    EXPECT_LT(beyond.anchor.x + halfWidth, -3.0);
    EXPECT_LT(std::fabs(beyond.anchor.y + 0.35 * beyond.height - 30.0), 1e-9);
}

TEST(DrawingView, ArrowheadsPointAtTheExtensionLines) {
    for (double span : {60.0, 3.0}) {
        const std::vector<Arrowhead> heads = arrowsOf(viewWithDimension(span));
        ASSERT_EQ(heads.size(), 2u) << span;
        // Tips at the two ends of the measure line, bases square to it.
        EXPECT_NEAR(heads[0].tip.x, 0.0, 1e-9);
        EXPECT_NEAR(heads[1].tip.x, -span, 1e-9);
        for (const Arrowhead& h : heads) {
            EXPECT_NEAR(h.tip.y, 30.0, 1e-9);
            EXPECT_NEAR(h.left.x, h.right.x, 1e-9);
            EXPECT_NEAR(h.left.y + h.right.y, 60.0, 1e-9);
        }
        // Inside the line when it holds them, outside pointing in when it does not.
        const bool inside = heads[0].left.x < 0.0 && heads[1].left.x > -span;
        EXPECT_EQ(inside, span > 10.0) << span;
    }
}

}  // namespace vel::test

// KernelTestSupport.h - builders and geometric checks shared by the kernel tests:
// figure elements, outlines chained the way the plug-in builds them, and
// distances to lines.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Figures.h"
#include "vel/kernel/Drawing.h"

namespace vel::test {

// A closed outline through the given corners in the given order, built as the
// plug-in does: the last edge first, each earlier edge inserted before it.
// Returns the segment id; ids receives the element ids in segment order.
inline int insertOutline(Drawing& d, const std::vector<Point>& corners, std::vector<int>* ids) {
    const int seg = d.createSegment(SegmentKind::Figure);
    const size_t n = corners.size();
    int head = d.appendElement(seg, lineFigure(corners[n - 1], corners[0]));
    for (size_t k = n - 1; k-- > 0;)
        head = d.insertElementBefore(head, lineFigure(corners[k], corners[k + 1]));
    d.segment(seg)->closed = true;
    if (ids) {
        ids->clear();
        for (const Element& e : d.segment(seg)->elements) ids->push_back(e.id);
    }
    return seg;
}

// The 100 x 60 rectangle, counter-clockwise: UL->LL, LL->LR, LR->UR, UR->UL.
inline int insertRectangle(Drawing& d, std::vector<int>* ids) {
    return insertOutline(d, {{0, 60}, {0, 0}, {100, 0}, {100, 60}}, ids);
}

// Signed distance of q from the infinite line a->b, positive to the right.
inline double rightDistance(Point a, Point b, Point q) {
    return -cross(normalized(b - a), q - a);
}

inline Line asLine(const Primitive& p) {
    EXPECT_TRUE(std::holds_alternative<Line>(p));
    const Line* l = std::get_if<Line>(&p);
    return l ? *l : Line{};
}

inline Point startOf(const Primitive& p) {
    if (const Arc* a = std::get_if<Arc>(&p)) return a->start();
    return asLine(p).start;
}

inline Point endOf(const Primitive& p) {
    if (const Arc* a = std::get_if<Arc>(&p)) return a->end();
    return asLine(p).end;
}

// Element bodies and ids, to show that a refused call changed nothing.
inline std::vector<std::vector<double>> snapshot(const Segment& s) {
    std::vector<std::vector<double>> out;
    for (const Element& e : s.elements) {
        std::vector<double> row{double(e.id)};
        if (const FigureElement* f = e.figure()) {
            row.push_back(double(f->type));
            row.insert(row.end(), std::begin(f->values), std::end(f->values));
        }
        out.push_back(row);
    }
    return out;
}

}  // namespace vel::test

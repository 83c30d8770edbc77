// Figures.h - figure elements for the tests: the kernel's own builders (the shapes' placer makes
// its figures with them too), and a point of an element read back.
#pragma once

#include "vel/kernel/Drawing.h"
#include "vel/kernel/FigureBuilders.h"

namespace vel::test {

// The point whose x is values[i] (a line's start at 0 and end at 2, an arc's centre at 0).
inline Point pt(const FigureElement& f, int i) {
    return {f.values[i], f.values[i + 1]};
}

}  // namespace vel::test

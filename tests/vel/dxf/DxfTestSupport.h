// DxfTestSupport.h - what the DXF tests share: a drawing written to DXF text and read back
// from it, a file of entities alone, and points compared within a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/support/Drawings.h"
#include "vel/dxf/DxfFormat.h"

namespace vel::test {

inline std::string toDxf(const Drawing& d) {
    return writeWith(*makeDxfWriter(), d);
}

inline DxfReadReport fromDxf(const std::string& text, Drawing& d,
                             const std::string& name = "test.dxf") {
    std::istringstream in(text);
    return readDxfDrawing(in, name, d);
}

// A minimal text DXF with just an ENTITIES section.
inline std::string entities(const std::string& body) {
    return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n";
}

inline void expectNear(Point p, Point q, double tol = 1e-9) {
    EXPECT_NEAR(p.x, q.x, tol);
    EXPECT_NEAR(p.y, q.y, tol);
}

}  // namespace vel::test

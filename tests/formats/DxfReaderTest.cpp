// DxfReaderTest.cpp - reading DXF files from other programs: the code page the
// header names, the \U+XXXX escapes, the UTF-8 of later versions.
#include <gtest/gtest.h>

#include <sstream>

#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"

namespace vel::test {
namespace {

// A file of the given version and code page with one line on the named layer.
std::string OneLineOnLayer(const std::string& acadver, const std::string& codepage,
                           const std::string& layer) {
    std::string header = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + acadver + "\n";
    if (!codepage.empty()) header += "9\n$DWGCODEPAGE\n3\n" + codepage + "\n";
    return header + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n" + layer +
           "\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n";
}

TEST(DxfReader, NamesAreReadInTheFilesCodePageWithEscapesDecoded) {
    struct Case {
        const char* what;
        std::string file;
        std::string name;
    };
    const Case cases[] = {
        {"ANSI_949", OneLineOnLayer("AC1015", "ANSI_949", "\xBF\xDC\xB0\xFB\xBC\xB1"), "외곽선"},
        {"ANSI_1252", OneLineOnLayer("AC1009", "ANSI_1252", "Caf\xE9"), "Café"},
        {"no code page", OneLineOnLayer("AC1015", "", "Caf\xE9"), "Café"},
        {"escapes", OneLineOnLayer("AC1015", "ANSI_1252", "\\U+C678\\U+ACFD\\U+C120 1"),
         "외곽선 1"},
        {"escaped surrogates", OneLineOnLayer("AC1015", "ANSI_1252", "\\U+D83D\\U+DE00"), "😀"},
        {"broken escape", OneLineOnLayer("AC1015", "ANSI_1252", "a\\U+12"), "a\\U+12"},
        {"UTF-8 of 2007", OneLineOnLayer("AC1021", "ANSI_1252", "외곽선"), "외곽선"},
        {"UTF-8 in a Latin file", OneLineOnLayer("AC1015", "ANSI_1252", "외곽선"), "외곽선"},
        {"bytes a code page lacks", OneLineOnLayer("AC1015", "ANSI_949", "a\xFF"), "a\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Drawing d;
        std::istringstream in(c.file);
        readDxfDrawing(in, "names.dxf", d);
        ASSERT_EQ(d.segments().size(), 1u);
        const int layer = d.segments().begin()->second.layer;
        EXPECT_EQ(d.layers().at(layer).name, c.name);
    }
}

}  // namespace
}  // namespace vel::test

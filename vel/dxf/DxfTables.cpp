// DxfTables.cpp - the records of the TABLES section, group by group in the order readers have
// always been given them.
#include "vel/dxf/DxfTables.h"

#include <cmath>

#include "vel/dxf/DxfObjects.h"
#include "vel/kernel/Text.h"

namespace vel {

void writeViewportTable(const StreamDxfWriter& dw) {
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, "VPORT");
    dw.dxfHex(5, 0x8);
    dw.subClass("AcDbSymbolTable");
    dw.dxfInt(70, 1);
    dw.tableEntry("VPORT", "AcDbViewportTableRecord");
    dw.dxfString(2, "*Active");
    dw.dxfInt(70, 0);
    // Corners, centre, snap and grid of a sheet-sized view; the readers fit it to the drawing.
    const struct {
        int code;
        double value;
    } view[] = {{10, 0.0},   {20, 0.0},  {11, 1.0}, {21, 1.0},   {12, 286.3055555555555},
                {22, 148.5}, {13, 0.0},  {23, 0.0}, {14, 10.0},  {24, 10.0},
                {15, 10.0},  {25, 10.0}, {16, 0.0}, {26, 0.0},   {36, 1.0},
                {17, 0.0},   {27, 0.0},  {37, 0.0}, {40, 297.0}, {41, 1.92798353909465},
                {42, 50.0},  {43, 0.0},  {44, 0.0}, {50, 0.0},   {51, 0.0}};
    for (const auto& [code, value] : view) dw.dxfReal(code, value);
    for (const auto& [code, value] : {std::pair{71, 0},
                                      {72, 100},
                                      {73, 1},
                                      {74, 3},
                                      {75, 1},
                                      {76, 1},
                                      {77, 0},
                                      {78, 0},
                                      {281, 0},
                                      {65, 1}})
        dw.dxfInt(code, value);
    // The UCS: the world's origin and axes.
    const struct {
        int code;
        double value;
    } ucs[] = {{110, 0.0}, {120, 0.0}, {130, 0.0}, {111, 1.0}, {121, 0.0},
               {131, 0.0}, {112, 0.0}, {122, 1.0}, {132, 0.0}};
    for (const auto& [code, value] : ucs) dw.dxfReal(code, value);
    dw.dxfInt(79, 0);
    dw.dxfReal(146, 0.0);
    dw.tableEnd();
}

void writeLineTypeRecord(const StreamDxfWriter& dw, const std::string& name,
                         const std::string& description, const std::vector<double>& pattern) {
    if (name.empty()) return;  // a record no reader could name
    const std::string key = asciiUpper(name);
    const bool byBlock = key == "BYBLOCK", byLayer = key == "BYLAYER",
               continuous = key == "CONTINUOUS";
    dw.tableEntry("LTYPE", "AcDbLinetypeTableRecord",
                  byBlock      ? 0x14
                  : byLayer    ? 0x15
                  : continuous ? 0x16
                               : 0);
    dw.dxfString(2, name);
    dw.dxfInt(70, 0);
    if (byBlock || byLayer || continuous) {
        dw.dxfString(3, continuous ? "Solid line" : "");
        dw.dxfInt(72, 65);
        dw.dxfInt(73, 0);
        dw.dxfReal(40, 0.0);
        return;
    }
    double length = 0.0;
    for (double v : pattern) length += std::fabs(v);
    dw.dxfString(3, description);
    dw.dxfInt(72, 65);  // 'A': aligned
    dw.dxfInt(73, static_cast<int>(pattern.size()));
    dw.dxfReal(40, length);
    for (double v : pattern) {
        dw.dxfReal(49, v);
        dw.dxfInt(74, 0);  // a plain dash, no shape or text in it
    }
}

void writeLayerRecord(const StreamDxfWriter& dw, const std::string& name, const DxfAttributes& a) {
    if (name.empty()) return;  // a record no reader could name
    dw.tableEntry("LAYER", "AcDbLayerTableRecord", name == "0" ? 0x10 : 0);
    dw.dxfString(2, name);
    dw.dxfInt(70, 0);
    dw.dxfInt(62, a.color >= 256 ? 7 : a.color);
    if (a.color24 != -1) dw.dxfInt(420, a.color24);
    dw.dxfString(6, a.lineType.empty() ? std::string("CONTINUOUS") : a.lineType);
    if (asciiUpper(name) == "DEFPOINTS") dw.dxfInt(290, 0);  // not plotted
    if (a.width != -1) dw.dxfInt(370, a.width);
    dw.dxfHex(390, kNormalPlotStyle);
}

unsigned long writeStandardTextStyle(const StreamDxfWriter& dw, double textHeight) {
    dw.dxfString(0, "STYLE");
    const unsigned long handle = dw.handle();
    dw.subClass("AcDbSymbolTableRecord");
    dw.subClass("AcDbTextStyleTableRecord");
    dw.dxfString(2, "Standard");
    dw.dxfInt(70, 0);
    dw.dxfReal(40, 0.0);  // no fixed height
    dw.dxfReal(41, 1.0);  // unstretched
    dw.dxfReal(50, 0.0);  // upright
    dw.dxfInt(71, 0);
    dw.dxfReal(42, textHeight);
    dw.dxfString(3, "");
    dw.dxfString(4, "");
    dw.dxfString(1001, "ACAD");
    dw.dxfString(1000, "txt");
    dw.dxfInt(1071, 0);  // neither bold nor italic
    return handle;
}

void writeDimensionStyleTable(const StreamDxfWriter& dw, double textHeight,
                              unsigned long textStyleHandle) {
    const double h = textHeight;
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, "DIMSTYLE");
    dw.dxfHex(5, 0xA);
    dw.subClass("AcDbSymbolTable");
    dw.dxfInt(70, 1);
    dw.subClass("AcDbDimStyleTable");
    dw.dxfInt(71, 0);
    dw.dxfString(0, "DIMSTYLE");
    dw.dxfHex(105, 0x27);
    dw.subClass("AcDbSymbolTableRecord");
    dw.subClass("AcDbDimStyleTableRecord");
    dw.dxfString(2, "Standard");
    dw.dxfReal(41, h);      // arrow size
    dw.dxfReal(42, h / 4);  // extension line offset
    dw.dxfReal(43, 3.75);   // baseline spacing
    dw.dxfReal(44, h / 4);  // extension line extension
    dw.dxfInt(70, 0);
    dw.dxfInt(73, 0);
    dw.dxfInt(74, 0);
    dw.dxfInt(77, 1);
    dw.dxfInt(78, 8);
    dw.dxfReal(140, h);  // text height
    dw.dxfReal(141, 2.5);
    dw.dxfReal(143, 0.03937007874016);
    dw.dxfReal(147, h / 4);  // gap around the text
    dw.dxfInt(171, 3);
    dw.dxfInt(172, 1);
    for (const auto& [code, value] :
         {std::pair{271, 2}, {272, 2}, {274, 3}, {278, 44}, {283, 0}, {284, 8}})
        dw.dxfInt(code, value);
    dw.dxfHex(340, static_cast<int>(textStyleHandle));
    dw.tableEnd();
}

}  // namespace vel

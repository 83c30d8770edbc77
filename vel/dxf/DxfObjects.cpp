// DxfObjects.cpp - the OBJECTS section: the root dictionary and those it lists,
// the plot style and multiline style they name, and the layouts of the model and
// the two sheets with the block records they belong to.
#include "vel/dxf/DxfObjects.h"

#include <initializer_list>
#include <utility>

#include "vel/dxf/StreamDxfWriter.h"

namespace vel {

namespace {

void objectStart(const StreamDxfWriter& dw, const char* type, int handle, int owner) {
    dw.dxfString(0, type);
    dw.dxfHex(5, handle);
    dw.dxfHex(330, owner);
}

void dictionary(const StreamDxfWriter& dw, int handle, int owner,
                std::initializer_list<std::pair<const char*, int>> entries) {
    objectStart(dw, "DICTIONARY", handle, owner);
    dw.subClass("AcDbDictionary");
    dw.dxfInt(281, 1);
    for (const auto& [name, entry] : entries) {
        dw.dxfString(3, name);
        dw.dxfHex(350, entry);
    }
}

void layout(const StreamDxfWriter& dw, int handle, const char* name, int tab, int blockRecord) {
    objectStart(dw, "LAYOUT", handle, kLayoutDictionary);
    dw.subClass("AcDbPlotSettings");
    dw.dxfString(1, "");
    dw.dxfString(2, "none_device");
    dw.dxfString(4, "");
    dw.dxfString(6, "");
    for (int code : {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 140, 141}) dw.dxfReal(code, 0.0);
    dw.dxfReal(142, 1.0);
    dw.dxfReal(143, 1.0);
    dw.dxfInt(70, tab == 0 ? 1712 : 688);  // the plot flags of a model and a sheet
    dw.dxfInt(72, 0);
    dw.dxfInt(73, 0);
    dw.dxfInt(74, tab == 0 ? 0 : 5);
    dw.dxfString(7, "");
    dw.dxfInt(75, tab == 0 ? 0 : 16);
    dw.dxfReal(147, 1.0);
    dw.dxfReal(148, 0.0);
    dw.dxfReal(149, 0.0);
    dw.subClass("AcDbLayout");
    dw.dxfString(1, name);
    dw.dxfInt(70, 1);
    dw.dxfInt(71, tab);
    dw.coord(10, 0.0, 0.0);
    dw.coord(11, 420.0, 297.0);
    dw.coord(12, 0.0, 0.0);
    dw.coord(14, 0.0, 0.0);
    dw.coord(15, 0.0, 0.0);
    dw.dxfReal(146, 0.0);
    dw.coord(13, 0.0, 0.0);
    dw.coord(16, 1.0, 0.0);
    dw.coord(17, 0.0, 1.0);
    dw.dxfInt(76, 0);
    dw.dxfHex(330, blockRecord);
}

}  // namespace

void writeDxfObjects(const StreamDxfWriter& dw) {
    dw.section("OBJECTS");
    dictionary(dw, kRootDictionary, 0,
               {{"ACAD_GROUP", kGroupDictionary},
                {"ACAD_LAYOUT", kLayoutDictionary},
                {"ACAD_MLINESTYLE", kMlineStyleDictionary},
                {"ACAD_PLOTSETTINGS", kPlotSettingsDictionary},
                {"ACAD_PLOTSTYLENAME", kPlotStyleDictionary}});
    dictionary(dw, kGroupDictionary, kRootDictionary, {});
    objectStart(dw, "ACDBDICTIONARYWDFLT", kPlotStyleDictionary, kRootDictionary);
    dw.subClass("AcDbDictionary");
    dw.dxfInt(281, 1);
    dw.dxfString(3, "Normal");
    dw.dxfHex(350, kNormalPlotStyle);
    dw.subClass("AcDbDictionaryWithDefault");
    dw.dxfHex(340, kNormalPlotStyle);
    objectStart(dw, "ACDBPLACEHOLDER", kNormalPlotStyle, kPlotStyleDictionary);
    dictionary(dw, kMlineStyleDictionary, kRootDictionary, {{"Standard", kStandardMlineStyle}});
    objectStart(dw, "MLINESTYLE", kStandardMlineStyle, kMlineStyleDictionary);
    dw.subClass("AcDbMlineStyle");
    dw.dxfString(2, "STANDARD");
    dw.dxfInt(70, 0);
    dw.dxfString(3, "");
    dw.dxfInt(62, 256);
    dw.dxfReal(51, 90.0);
    dw.dxfReal(52, 90.0);
    dw.dxfInt(71, 2);
    for (double offset : {0.5, -0.5}) {
        dw.dxfReal(49, offset);
        dw.dxfInt(62, 256);
        dw.dxfString(6, "BYLAYER");
    }
    dictionary(dw, kPlotSettingsDictionary, kRootDictionary, {});
    dictionary(dw, kLayoutDictionary, kRootDictionary,
               {{"Model", kModelLayout}, {"Layout1", kPaperLayout}, {"Layout2", kPaperLayout0}});
    layout(dw, kModelLayout, "Model", 0, kModelSpaceRecord);
    layout(dw, kPaperLayout, "Layout1", 1, kPaperSpaceRecord);
    layout(dw, kPaperLayout0, "Layout2", 2, kPaperSpace0Record);
    dw.sectionEnd();
}

}  // namespace vel

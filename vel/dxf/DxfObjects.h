// DxfObjects.h - the fixed handles of the tables, the block records and their
// layouts and those of the objects written beside them, and the OBJECTS section
// that holds the dictionaries and layouts every reader expects.
#pragma once

namespace vel {

class StreamDxfWriter;

// Fixed handles of the block records and their layouts, and those of the objects
// written here; all lie below 0x30, where the writer's counting starts.
inline constexpr int kBlockRecordTable = 0x1;
inline constexpr int kModelSpaceRecord = 0x1F;
inline constexpr int kPaperSpaceRecord = 0x1B;
inline constexpr int kPaperSpace0Record = 0x23;
inline constexpr int kModelLayout = 0x22;
inline constexpr int kPaperLayout = 0x1E;
inline constexpr int kPaperLayout0 = 0x26;
inline constexpr int kRootDictionary = 0xC;
inline constexpr int kGroupDictionary = 0xD;
inline constexpr int kPlotStyleDictionary = 0xE;
inline constexpr int kNormalPlotStyle = 0xF;  // the plot style the layers name (group 390)
inline constexpr int kMlineStyleDictionary = 0x17;
inline constexpr int kStandardMlineStyle = 0x18;
inline constexpr int kPlotSettingsDictionary = 0x19;
inline constexpr int kLayoutDictionary = 0x1A;
// The empty VIEW and UCS tables, the ACAD application's record, and the model's and the sheets'
// blocks (each block's end has the handle after its start's).
inline constexpr int kViewTable = 0x6;
inline constexpr int kUcsTable = 0x7;
inline constexpr int kAcadAppid = 0x12;
inline constexpr int kPaperSpaceBlock = 0x1C;
inline constexpr int kModelSpaceBlock = 0x20;
inline constexpr int kPaperSpace0Block = 0x24;

// The dictionaries every reader of this version expects, each object owned
// by the dictionary that lists it.
void writeDxfObjects(const StreamDxfWriter& dw);

}  // namespace vel

// DxfTables.h - the records of the TABLES section that every file of ours holds: the viewport,
// line types, layers, the text style and the dimension style, each as readers expect it.
#pragma once

#include <string>
#include <vector>

#include "vel/dxf/StreamDxfWriter.h"

namespace vel {

// The viewport table with its one "*Active" record.
void writeViewportTable(const StreamDxfWriter& dw);

// A line type's record. BYBLOCK, BYLAYER and CONTINUOUS (in any case) are the fixed ones, under
// their fixed handles and with their fixed texts; any other has its description and its pattern
// (dashes positive, gaps negative).
void writeLineTypeRecord(const StreamDxfWriter& dw, const std::string& name,
                         const std::string& description, const std::vector<double>& pattern);

// A layer's record: its colour index (256 and beyond, which a layer cannot have, as 7), true
// colour, line type (none: CONTINUOUS) and line weight. Layer 0 has its fixed handle; Defpoints
// is not plotted.
void writeLayerRecord(const StreamDxfWriter& dw, const std::string& name, const DxfAttributes& a);

// The "Standard" text style's record, whose last height used is the drawing's text height;
// returns its handle, which the dimension style names.
unsigned long writeStandardTextStyle(const StreamDxfWriter& dw, double textHeight);

// The dimension style table with its "Standard" record, sized for the text height.
void writeDimensionStyleTable(const StreamDxfWriter& dw, double textHeight,
                              unsigned long textStyleHandle);

}  // namespace vel

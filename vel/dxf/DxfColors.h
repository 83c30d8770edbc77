// DxfColors.h - the colours of DXF's colour indexes 1 to 255.
#pragma once

namespace vel {

// The colour of a colour index as 0xRRGGBB; -1 for an index outside 1 to 255. Index 7 is white
// here, as the table has it, though readers draw it black on a light background.
int indexColorRgb(int index);

}  // namespace vel

// ColorStatics.h - the painted colour swatches: StaticMainColor shows a palette colour chosen by
// name (the "Create Insert" dialog), StaticBkColor the colour that its own control id stands for
// (the colour picker).
#pragma once

#include <string>

#include "ui/TemplateDialog.h"

class StaticMainColor : public StaticControl {
public:
    // The palette name of the colour shown; the owner repaints after changing it.
    std::u16string mColorName = u"MAINCOLOR01";

protected:
    void OnPaint(DrawingContext& dc, const UiRect& client) override;
};

class StaticBkColor : public StaticControl {
public:
    // The palette name that a picker swatch id stands for: 17015 "MAINCOLOR01", 17032 to 17046
    // "MAINCOLOR02" to "MAINCOLOR16"; empty for any other id.
    static std::u16string ColorNameOfControl(int32_t id);

protected:
    void OnPaint(DrawingContext& dc, const UiRect& client) override;
};

// OrvantaDlg.h - the "Create Insert" dialog, in which every insert setting is edited: it loads
// its values from the registry itself, keeps its members in step with the controls, opens the
// colour and line-type pickers, and on request writes all values back.
#pragma once

#include <cstdint>
#include <string>

#include "ui/ColorStatics.h"
#include "ui/TemplateDialog.h"

class OrvantaDlg : public TemplateDialog {
public:
    OrvantaDlg();
    ~OrvantaDlg() override;

    // Writes all 30 values from the members under the dialog's sub-key, together: a kill
    // mid-save leaves the old values or the new ones, never some of each. Works after the window
    // is gone. True when every value was stored; otherwise CurrentUserRegistry().lastError()
    // tells why.
    bool SaveToRegistry();

    // The dialog's own copy of the settings sub-key; all its registry access uses it.
    std::u16string mSubKey;
    DlgItem mTypeList;
    int32_t mType = 0;
    int32_t Method = 0;
    std::u16string mValueUpLeft;
    std::u16string mValueUpRight;
    std::u16string mValueDownLeft;
    std::u16string mValueDownRight;
    DlgItem mUpLeftList;
    int32_t mUpLeft = 0;
    DlgItem mUpRightList;
    int32_t mUpRight = 0;
    DlgItem mDownLeftList;
    int32_t mDownLeft = 0;
    DlgItem mDownRightList;
    int32_t mDownRight = 0;
    std::u16string mDisUp;
    std::u16string mDisDown;
    std::u16string mDisLeft;
    std::u16string mDisRight;
    int32_t mIsCurLayer = 0;
    std::u16string mLayer;
    int32_t mIsCurColor = 0;
    int32_t mIsLimit = 0;
    DlgItem mLimitList;
    int32_t mLimit = 0;
    int32_t mIsCheckHole = 0;
    std::u16string mLayerHole;
    std::u16string mOffsetHole;
    std::u16string mCornerRHole;
    int32_t mIsCornerConvHole = 0;
    std::u16string mChamferHole;
    int32_t mIsChamferConvHole = 0;
    StaticMainColor mColorSwatch;      // holds the insert colour name ("Color")
    StaticMainColor mColorHoleSwatch;  // holds the hole colour name ("ColorHole")
    std::u16string LType;
    std::u16string LTypeHole;

protected:
    void DoDataExchange(bool save) override;
    bool PreTranslateMessage(const KeyMessage& key) override;
    bool OnInitDialog() override;
    void MapMessages() override;

    void UpdateControlStates();
    void LoadFromRegistry();
    // Shows the picture of a line type in the insert (kind 1) or hole (kind 2) line-type static.
    void SetLineTypeBitmap(int32_t kind, const std::u16string& name);

    void OnSelChangeType();
    void OnClickedMethod0();
    void OnClickedMethod1();
    void OnSelChangeUpLeft();
    void OnSelChangeUpRight();
    void OnSelChangeDownLeft();
    void OnSelChangeDownRight();
    void OnClickedCurLayer();
    void OnClickedCurColor();
    void OnClickedLimit();
    void OnSelChangeLimit();
    void OnClickedCheckHole();
    void OnClickedCornerConvHole();
    void OnClickedChamferConvHole();
    void OnClickedColor();
    void OnClickedColorHole();
    void OnClickedLType();
    void OnClickedLTypeHole();

private:
    void PickColor(StaticMainColor& swatch, const std::u16string& valueName);
    void PickLineType(std::u16string& name, int32_t kind, const std::u16string& valueName);
};

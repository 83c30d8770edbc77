// EditPopups.h - the two popups of the editing step, opened at the mouse cursor: one for a side
// distance (template 12004), one for a corner's size and kind (template 17081). Enter confirms,
// Escape or the cancel button cancels.
#pragma once

#include <cstdint>
#include <string>

#include "ui/TemplateDialog.h"

// What both popups share: the value edit, whose text becomes the value text whenever it loses
// the focus (closing the popup takes it away too), and the placement at the cursor.
class EditPopupBase : public TemplateDialog {
public:
    // The value text: set before DoModal, read after it returned OK.
    std::u16string mValue;

protected:
    explicit EditPopupBase(int32_t templateId);
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void MapMessages() override;
    // Copies the edit's text into the value text, as losing the focus does.
    void OnKillFocusValue();
    // Moves the popup's top-left corner to the cursor, then wholly onto its screen.
    void PlaceAtCursor();

    DlgItem mEdit;  // bound to 12025
};

class OrvantaDimLengthDlg : public EditPopupBase {
public:
    OrvantaDimLengthDlg();
    ~OrvantaDimLengthDlg() override;

protected:
    void DoDataExchange(bool save) override;
};

class OrvantaDimLeaderDlg : public EditPopupBase {
public:
    OrvantaDimLeaderDlg();
    ~OrvantaDimLeaderDlg() override;

    // 0 none, 1 corner R, 2 chamfer; exchanged with the radio group 12000 to 12002.
    int32_t mKind = 0;

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void MapMessages() override;

    // A click on a kind closes the popup with OK at once.
    void OnClickedKind(int32_t kind);
};

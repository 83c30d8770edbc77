// KaStPickers.h - the colour picker ("Color Property") and the line-type picker ("Line Type
// Property"): the user clicks an entry, which a red frame marks; a double click, Enter or Space
// confirms, Escape cancels.
#pragma once

#include <array>
#include <span>
#include <string>

#include "ui/ColorStatics.h"
#include "ui/TemplateDialog.h"

// One entry of a picker: its control and the palette name it stands for.
struct PickerEntry {
    int32_t controlId;
    const char16_t* name;
};

// What both pickers share: the selection, the frames that mark it, the keys and the clicks.
class SelectionPicker : public TemplateDialog {
public:
    // The selection to show when the picker opens: a name differing (letter case ignored) from
    // the current selection becomes the selection, and the current one the previous selection,
    // whose frame the first paint paints over.
    void Seed(const std::u16string& name);

    std::u16string mSelection;
    std::u16string mPrevSelection;

    // The control that a name is framed around: the entry's, or the first control for a name
    // outside the table.
    int32_t ControlOfName(const std::u16string& name) const;

protected:
    SelectionPicker(int32_t templateId, std::span<const PickerEntry> entries,
                    std::u16string initial, TemplateDialog* parent);

    bool PreTranslateMessage(const KeyMessage& key) override;
    void OnPaint(DrawingContext& dc) override;
    void MapMessages() override;

    // A click on the entry's control: selects its name unless it is selected already.
    void OnClickedEntry(const std::u16string& name);
    // A double click: the same, then the picker closes with OK.
    void OnDblClickedEntry(const std::u16string& name);

    std::span<const PickerEntry> entries_;

private:
    void FrameControl(DrawingContext& dc, const std::u16string& name, UiColor color);
};

class KaStColorDlg : public SelectionPicker {
public:
    explicit KaStColorDlg(TemplateDialog* parent = nullptr);
    ~KaStColorDlg() override;

    // The sixteen swatches, in palette order.
    std::array<StaticBkColor, 16> mSwatches;

protected:
    void DoDataExchange(bool save) override;
    bool PreTranslateMessage(const KeyMessage& key) override;
    bool OnInitDialog() override;
};

class KaStLTypeDlg : public SelectionPicker {
public:
    explicit KaStLTypeDlg(TemplateDialog* parent = nullptr);
    ~KaStLTypeDlg() override;

protected:
    bool PreTranslateMessage(const KeyMessage& key) override;
    bool OnInitDialog() override;
};

// The entries of the two pickers, in palette order.
std::span<const PickerEntry> ColorPickerEntries();
std::span<const PickerEntry> LineTypePickerEntries();

// EditSteps.cpp - the editing step of the annotated method. A picked annotation
// opens the popup of its row; after OK the value (and a corner's kind) changes
// in the in-memory settings only, and the insert with all its annotations is
// rebuilt around the retained figures.
#include "host/EditSteps.h"

#include "geometry/Annotations.h"
#include "geometry/InsertAnnotations.h"
#include "host/PickRecords.h"
#include "host/PickSteps.h"
#include "host/RecordedIds.h"
#include "host/StepMessages.h"
#include "settings/InsertSettings.h"
#include "settings/TextConversions.h"
#include "ui/Dialogs.h"

namespace {

const char16_t kPromptEdit[] = u"수치변경하실 치수지시 :";

// One annotation: its recorded id and the settings it shows. A side dimension
// has no kind. The rows are in the order in which a pick is matched and in
// which the annotations are deleted for a rebuild.
struct AnnotationRow {
    int32_t InsertAnnotations::*id;
    double InsertSettings::*value;
    int32_t InsertSettings::*kind;
};

constexpr AnnotationRow kRows[] = {
    {&InsertAnnotations::leaderUpLeft, &InsertSettings::mValueUpLeft, &InsertSettings::mUpLeft},
    {&InsertAnnotations::leaderUpRight, &InsertSettings::mValueUpRight, &InsertSettings::mUpRight},
    {&InsertAnnotations::leaderDownLeft, &InsertSettings::mValueDownLeft,
     &InsertSettings::mDownLeft},
    {&InsertAnnotations::leaderDownRight, &InsertSettings::mValueDownRight,
     &InsertSettings::mDownRight},
    {&InsertAnnotations::dimensionUp, &InsertSettings::mDisUp, nullptr},
    {&InsertAnnotations::dimensionDown, &InsertSettings::mDisDown, nullptr},
    {&InsertAnnotations::dimensionLeft, &InsertSettings::mDisLeft, nullptr},
    {&InsertAnnotations::dimensionRight, &InsertSettings::mDisRight, nullptr},
};

const AnnotationRow* RowOf(int elementId) {
    // 0 is a deleted annotation and -1 one the host could not make; neither is
    // an element that can be picked.
    if (elementId <= 0) return nullptr;
    for (const AnnotationRow& row : kRows)
        if (gInsertAnnotations.*row.id == elementId) return &row;
    return nullptr;
}

void Arm(VelExecuteFunc execute) {
    VelEvtSetEventMask(VEL_MASK_ELEMENT);
    VelEvtSetCompareFunction(IsAnnotationElement);
    VelMsgPutMessage(kPromptEdit);
    VelCtlSetExecuteFunc(execute, u"");
}

// What a popup edits: the row's value and, at a corner, its kind.
struct RowValues {
    double value = 0.0;
    int32_t kind = 0;
};

RowValues ValuesOf(const AnnotationRow& row) {
    const InsertSettings& s = gInsertSettings;
    return {s.*row.value, row.kind ? s.*row.kind : 0};
}

void SetValues(const AnnotationRow& row, const RowValues& values) {
    InsertSettings& s = gInsertSettings;
    s.*row.value = values.value;
    if (row.kind) s.*row.kind = values.kind;
}

// Runs the row's popup. True after OK, with the typed value (and the chosen
// kind) stored in the settings; false after Cancel, with nothing changed.
template <typename Popup>
bool RunPopup(const AnnotationRow& row) {
    InsertSettings& s = gInsertSettings;
    bool accepted = false;
    try {
        UiScope scope;
        {
            Popup popup;
            // The popup shows one decimal; the value itself may hold more.
            const std::u16string shown = OneDecimalText(s.*row.value);
            popup.mValue = shown;
            if constexpr (requires { popup.mKind; }) popup.mKind = s.*row.kind;
            if (popup.DoModal() == IDOK) {
                // Confirming the text as shown keeps the full value: 7.25 stays 7.25.
                if (popup.mValue != shown) s.*row.value = TextToReal(popup.mValue);
                if constexpr (requires { popup.mKind; }) s.*row.kind = popup.mKind;
                accepted = true;
            }
        }
    } catch (...) {
        // A popup that cannot be shown counts as cancelled.
        accepted = false;
    }
    return accepted;
}

// Replaces the insert and its annotations by new ones made with the current
// settings around the retained figures. The new insert is made first and the
// old one deleted only once the new one stands, so an edit the insert cannot
// take never costs the user the insert they had.
bool RebuildInsert() {
    InsertAnnotations old = gInsertAnnotations;
    if (!CreateAnnotatedInsert(gRetainedFigures, gRetainedFigures.count)) return false;
    DeleteRecordedSegment(old.outlineSegment);
    for (const AnnotationRow& row : kRows) DeleteRecordedElement(old.*row.id);
    return true;
}

enum class Picked { Figures, TwoPoints };

int Edit(int code, VelEventData* data, Picked picked) {
    VelPoint point{};
    if (VelEvtGetPoint(code, data, &point) != 0) {
        if (code != VEL_EVENT_CONFIRM) return VEL_EXEC_UNUSED;
        // Editing is over: the hole follows the final insert.
        MakeHole();
        if (picked == Picked::TwoPoints) DeleteRecordedSegment(gPickRectangle.rectangle.id);
        return VEL_EXEC_END;
    }
    VelEvtGetSegmentId(code, data);
    const int element = VelEvtGetElementId(code, data);
    VelEvtGetInstanceId(code, data);

    const AnnotationRow* row = RowOf(element);
    if (row == nullptr) return VEL_EXEC_END;
    const bool corner = row->kind != nullptr;
    const RowValues before = ValuesOf(*row);
    const bool accepted =
        corner ? RunPopup<OrvantaDimLeaderDlg>(*row) : RunPopup<OrvantaDimLengthDlg>(*row);
    if (!accepted) return VEL_EXEC_UNUSED;

    if (!RebuildInsert()) {
        // The insert stands as it was, so the settings say what it shows.
        SetValues(*row, before);
        VelDlgMessageBox(corner ? kCannotRebuildAfterCorner : kCannotRebuildAfterSide);
        return VEL_EXEC_END;
    }
    VelCtlSetReadyFunc(picked == Picked::TwoPoints ? ArmEditRect : ArmEdit);
    return VEL_EXEC_NEXT;
}

}  // namespace

int ArmEdit() {
    Arm(ExecEdit);
    return 0;
}

int ArmEditRect() {
    Arm(ExecEditRect);
    return 0;
}

int IsAnnotationElement(int elementId) {
    return RowOf(elementId) != nullptr ? 1 : 0;
}

int ExecEdit(int code, VelEventData* data) {
    return Edit(code, data, Picked::Figures);
}

int ExecEditRect(int code, VelEventData* data) {
    return Edit(code, data, Picked::TwoPoints);
}

// PickSteps.cpp - the pick steps of the insert command: arming each step (event
// mask, echo, prompt, execute function) and handling its input: one figure,
// several figures or two corners, continuous or annotated, and the settings
// dialog that the confirm input opens at a first prompt.
#include "host/PickSteps.h"

#include <optional>

#include "geometry/Annotations.h"
#include "geometry/HoleOutline.h"
#include "geometry/InsertOutline.h"
#include "host/EditSteps.h"
#include "host/PickRecords.h"
#include "host/RecordedIds.h"
#include "host/StepMessages.h"
#include "settings/InsertSettings.h"
#include "ui/Dialogs.h"

namespace {

const char16_t kPromptPickOne[] = u"형상 선택(확정:Dialog Open)";
const char16_t kPromptPickMany[] = u"형상 복수 선택(확정:Dialog Open)";
const char16_t kPromptFirstCorner[] = u"제 1점 선택(확정:Dialog Open)";
const char16_t kPromptSecondCorner[] = u"제 2점 선택 :";

// The host's scratch id set that is emptied around reading the selection.
constexpr int kScratchIdSet = 5;

enum class Reset { No, Yes };
enum class Echo { No, FromFirstCorner };

void Arm(Reset reset, int mask, Echo echo, const char16_t* prompt, VelExecuteFunc execute) {
    if (reset == Reset::Yes) VelIddClearSysIdData();
    VelEvtSetEventMask(mask);
    if (echo == Echo::FromFirstCorner) {
        EchoData data{};
        data.kind = 2;
        data.point = gPickRectangle.firstCorner;
        VelEvtSetEcho(&data);
    }
    VelMsgPutMessage(prompt);
    VelCtlSetExecuteFunc(execute, u"");
}

int GiveUp(const char16_t* message) {
    VelDlgMessageBox(message);
    return VEL_EXEC_END;
}

// "Create Insert" at a first prompt. OK stores the dialog's values and makes
// them current at once; either way the run ends, so the next run starts from
// what is stored.
int RunSettingsDialog() {
    try {
        UiScope scope;
        {
            OrvantaDlg dlg;
            if (dlg.DoModal() == IDOK) {
                dlg.SaveToRegistry();
                LoadInsertSettings();
            }
        }
    } catch (...) {
        // A dialog that cannot be shown counts as cancelled: nothing is saved.
    }
    return VEL_EXEC_END;
}

// Input without a point (or, at a selection, anything but its end) at a first
// prompt: confirm opens the settings, everything else waits.
int FirstPromptInput(int code) {
    return code == VEL_EVENT_CONFIRM ? RunSettingsDialog() : VEL_EXEC_UNUSED;
}

// The figure of a pick event as a one-figure list.
void ReadPickedFigure(int code, VelEventData* data, FigureList& list) {
    list.count = 1;
    list.slots[1].id = VelEvtGetSegmentId(code, data);
    list.slots[1].instanceId = VelEvtGetInstanceId(code, data);
}

int AcceptEverySegment(int) {
    return 1;
}

// Appends the finished selection to the list in pick order. False when it holds
// more figures than the list has room for: the list then stops at its last slot
// and the caller refuses the selection, as an insert around only part of it
// would look right while missing figures.
bool ReadSelection(FigureList& list) {
    const int handle = VelIddOpenSelIdData(1);
    if (VelSgmSearchSegment2(0, AcceptEverySegment, kScratchIdSet) == 0) {
        VelIddOpenApIdData(kScratchIdSet, 1);
        VelIddInitApIdData(kScratchIdSet);
        VelIddCloseApIdData(kScratchIdSet);
    }
    VelIddOpenApIdData(kScratchIdSet, 1);
    SelIdRecord record{};
    int r = VelIddGetHeadSelIdData(handle, &record);
    VelIddInitApIdData(kScratchIdSet);
    bool fits = true;
    while (r != -1) {
        if (list.count >= FigureList::kMaxFigures) {
            fits = false;
            break;
        }
        ++list.count;
        list.slots[list.count] = FigureRef{record.instanceId, record.segmentId};
        r = VelIddGetNextSelIdData(handle, &record);
    }
    VelIddCloseApIdData(kScratchIdSet);
    VelIddCloseSelIdData(handle);
    return fits;
}

int PickFirstCorner(int code, VelEventData* data, VelReadyFunc next) {
    VelPoint point{};
    if (VelEvtGetPoint(code, data, &point) != 0) return FirstPromptInput(code);
    gPickRectangle.firstCorner = point;
    VelCtlSetReadyFunc(next);
    return VEL_EXEC_NEXT;
}

FigureData LineFigure(double x1, double y1, double x2, double y2) {
    FigureData f{};
    f.type = VEL_FIG_LINE;
    f.values[0] = x1;
    f.values[1] = y1;
    f.values[2] = x2;
    f.values[3] = y2;
    return f;
}

// Takes the second corner and draws the temporary rectangle through both
// corners, each line ending where the one before it begins. Nothing when it is
// drawn; otherwise what the step answers: without a point there is nothing to
// do here, confirm included; when the host refuses a part of the rectangle,
// what was drawn goes again, no id is recorded, and the step gives up with
// `refused`.
std::optional<int> DrawPickRectangle(int code, VelEventData* data, const char16_t* refused) {
    VelPoint point{};
    if (VelEvtGetPoint(code, data, &point) != 0) return VEL_EXEC_UNUSED;
    gPickRectangle.secondCorner = point;
    const double x1 = gPickRectangle.firstCorner.x, y1 = gPickRectangle.firstCorner.y;
    const double x2 = point.x, y2 = point.y;

    CreatedSegments made;
    const int segment = VelSgmCreateSegment(VEL_SEG_FIGURE, 0);
    if (!made.Keep(segment)) return GiveUp(refused);
    FigureData line = LineFigure(x1, y1, x1, y2);
    const int e1 = VelFigCreateFigure(segment, &line);
    if (e1 == -1) return GiveUp(refused);
    line = LineFigure(x2, y1, x1, y1);
    const int e2 = VelFigInsertFigure(e1, &line);
    if (e2 == -1) return GiveUp(refused);
    line = LineFigure(x2, y2, x2, y1);
    const int e3 = VelFigInsertFigure(e2, &line);
    if (e3 == -1) return GiveUp(refused);
    line = LineFigure(x1, y2, x2, y2);
    if (VelFigInsertFigure(e3, &line) == -1 || VelFigSetClosed(segment, 1) == -1)
        return GiveUp(refused);
    made.Commit();
    gPickRectangle.rectangle = FigureRef{0, segment};
    return std::nullopt;
}

}  // namespace

int ArmPickOne() {
    Arm(Reset::Yes, VEL_MASK_FIGURE, Echo::No, kPromptPickOne, ExecPickOne);
    return 0;
}

int ArmPickMany() {
    Arm(Reset::Yes, VEL_MASK_SELECTION, Echo::No, kPromptPickMany, ExecPickMany);
    return 0;
}

int ArmFirstCorner() {
    Arm(Reset::Yes, VEL_MASK_POINT, Echo::No, kPromptFirstCorner, ExecFirstCorner);
    return 0;
}

int ArmSecondCorner() {
    Arm(Reset::No, VEL_MASK_POINT, Echo::FromFirstCorner, kPromptSecondCorner, ExecSecondCorner);
    return 0;
}

int ArmSecondCornerAnnotated() {
    Arm(Reset::No, VEL_MASK_POINT, Echo::FromFirstCorner, kPromptSecondCorner,
        ExecSecondCornerAnnotated);
    return 0;
}

bool IsAnnotatedMethod(int method) {
    return method != 0;
}

bool IsTwoPointMode(int pickMode) {
    return pickMode != 0 && pickMode != 1;
}

void MakeHole() {
    if (CreateHoleOutline() == HoleResult::Failed) VelDlgMessageBox(kCannotCreateHole);
}

void ArmFirstStep(int pickMode, int method) {
    const bool annotated = IsAnnotatedMethod(method);
    switch (pickMode) {
        case 0:
            Arm(Reset::Yes, VEL_MASK_FIGURE, Echo::No, kPromptPickOne,
                annotated ? ExecPickOneAnnotated : ExecPickOne);
            break;
        case 1:
            Arm(Reset::Yes, VEL_MASK_SELECTION, Echo::No, kPromptPickMany,
                annotated ? ExecPickManyAnnotated : ExecPickMany);
            break;
        default:
            Arm(Reset::Yes, VEL_MASK_POINT, Echo::No, kPromptFirstCorner,
                annotated ? ExecFirstCornerAnnotated : ExecFirstCorner);
            break;
    }
}

int ExecPickOne(int code, VelEventData* data) {
    VelPoint point{};
    if (VelEvtGetPoint(code, data, &point) != 0) return FirstPromptInput(code);
    FigureList list;
    ReadPickedFigure(code, data, list);
    if (!CreateInsertOutline(list, 1)) return GiveUp(kCannotCreateInsert);
    MakeHole();
    VelCtlSetReadyFunc(ArmPickOne);
    return VEL_EXEC_NEXT;
}

int ExecPickOneAnnotated(int code, VelEventData* data) {
    VelPoint point{};
    if (VelEvtGetPoint(code, data, &point) != 0) return FirstPromptInput(code);
    ReadPickedFigure(code, data, gRetainedFigures);
    if (!CreateAnnotatedInsert(gRetainedFigures, 1)) return GiveUp(kCannotCreateAnnotated);
    // The hole waits until the user has finished editing the insert.
    VelCtlSetReadyFunc(ArmEdit);
    return VEL_EXEC_NEXT;
}

int ExecPickMany(int code, VelEventData*) {
    if (code != VEL_EVENT_SELECTION_DONE) return FirstPromptInput(code);
    FigureList list;
    const bool fits = ReadSelection(list);
    if (!fits || list.count < 1 || !CreateInsertOutline(list, list.count))
        return GiveUp(kCannotCreateInsert);
    MakeHole();
    VelCtlSetReadyFunc(ArmPickMany);
    return VEL_EXEC_NEXT;
}

int ExecPickManyAnnotated(int code, VelEventData*) {
    if (code != VEL_EVENT_SELECTION_DONE) return FirstPromptInput(code);
    gRetainedFigures.count = 0;
    const bool fits = ReadSelection(gRetainedFigures);
    // An empty selection is left to the geometry, which refuses it.
    if (!fits || !CreateAnnotatedInsert(gRetainedFigures, gRetainedFigures.count))
        return GiveUp(kCannotCreateAnnotated);
    VelCtlSetReadyFunc(ArmEdit);
    return VEL_EXEC_NEXT;
}

int ExecFirstCorner(int code, VelEventData* data) {
    return PickFirstCorner(code, data, ArmSecondCorner);
}

int ExecFirstCornerAnnotated(int code, VelEventData* data) {
    return PickFirstCorner(code, data, ArmSecondCornerAnnotated);
}

int ExecSecondCorner(int code, VelEventData* data) {
    if (const std::optional<int> ended = DrawPickRectangle(code, data, kCannotCreateInsert))
        return *ended;
    FigureList rectangle;
    rectangle.count = 1;
    rectangle.slots[1] = gPickRectangle.rectangle;
    // On failure the rectangle stays until the run's end removes it.
    if (!CreateInsertOutline(rectangle, 1)) return GiveUp(kCannotCreateInsert);
    MakeHole();
    DeleteRecordedSegment(gPickRectangle.rectangle.id);
    VelCtlSetReadyFunc(ArmFirstCorner);
    return VEL_EXEC_NEXT;
}

int ExecSecondCornerAnnotated(int code, VelEventData* data) {
    if (const std::optional<int> ended = DrawPickRectangle(code, data, kCannotCreateFromCorners))
        return *ended;
    // The rectangle stays while the insert is edited: every rebuild measures it.
    gRetainedFigures.slots[1] = gPickRectangle.rectangle;
    gRetainedFigures.count = 1;
    if (!CreateAnnotatedInsert(gRetainedFigures, 1)) return GiveUp(kCannotCreateFromCorners);
    VelCtlSetReadyFunc(ArmEditRect);
    return VEL_EXEC_NEXT;
}

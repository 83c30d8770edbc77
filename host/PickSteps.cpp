// PickSteps.cpp - arming the pick steps: event mask, echo, prompt and the
// execute function of each step.
#include "host/PickSteps.h"

#include "host/PickRecords.h"

namespace {

const char16_t kPromptPickOne[] = u"형상 선택(확정:Dialog Open)";
const char16_t kPromptPickMany[] = u"형상 복수 선택(확정:Dialog Open)";
const char16_t kPromptFirstCorner[] = u"제 1점 선택(확정:Dialog Open)";
const char16_t kPromptSecondCorner[] = u"제 2점 선택 :";

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

// Until the pick handling is in place a step only ends the run on confirm.
int AwaitConfirm(int code) {
    return code == VEL_EVENT_CONFIRM ? VEL_EXEC_END : VEL_EXEC_UNUSED;
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

void ArmFirstStep(int pickMode, int method) {
    // Only 0 selects the continuous method; every other value is annotated.
    const bool annotated = method != 0;
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

int ExecPickOne(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecPickOneAnnotated(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecPickMany(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecPickManyAnnotated(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecFirstCorner(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecFirstCornerAnnotated(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecSecondCorner(int code, VelEventData*) {
    return AwaitConfirm(code);
}
int ExecSecondCornerAnnotated(int code, VelEventData*) {
    return AwaitConfirm(code);
}

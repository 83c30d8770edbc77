// EditSteps.h - the editing step of the annotated method: the user picks a
// corner leader or a side dimension of the insert just made, changes its value
// in a popup, and the insert is rebuilt with it; confirm makes the hole.
#pragma once

#include "host/VelLib.h"

// Ready functions: offer the eight annotations for picking. ArmEdit follows a
// figure pick, ArmEditRect a two-point pick.
int ArmEdit();
int ArmEditRect();

// Compare function: 1 for an element that is one of the recorded annotations.
int IsAnnotationElement(int elementId);

// Execute functions of the editing step.
int ExecEdit(int code, VelEventData* data);
int ExecEditRect(int code, VelEventData* data);

// PickSteps.h - the ready and execute functions of the pick steps.
#pragma once

#include "host/VelLib.h"

// Ready functions: each arms its step and returns 0.
int ArmPickOne();
int ArmPickMany();
int ArmFirstCorner();
int ArmSecondCorner();
int ArmSecondCornerAnnotated();

// Execute functions of the first prompts (continuous and annotated) and the second corner.
int ExecPickOne(int code, VelEventData* data);
int ExecPickOneAnnotated(int code, VelEventData* data);
int ExecPickMany(int code, VelEventData* data);
int ExecPickManyAnnotated(int code, VelEventData* data);
int ExecFirstCorner(int code, VelEventData* data);
int ExecFirstCornerAnnotated(int code, VelEventData* data);
int ExecSecondCorner(int code, VelEventData* data);
int ExecSecondCornerAnnotated(int code, VelEventData* data);

// How the stored choices select the first step: only 0 is the continuous
// method, and every pick mode but 0 (one figure) and 1 (several) is two points.
bool IsAnnotatedMethod(int method);
bool IsTwoPointMode(int pickMode);

// Arms the first step of a run from the pick mode and the creation method.
void ArmFirstStep(int pickMode, int method);

// Makes the hole of the last insert when the settings ask for one, and tells
// the user when it cannot be made; the insert itself stays either way.
void MakeHole();

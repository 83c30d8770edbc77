// Lifecycle.cpp - the callbacks that start and end a run of the insert command.
#include "host/Lifecycle.h"

#include "geometry/InsertAnnotations.h"
#include "host/PickRecords.h"
#include "host/PickSteps.h"
#include "host/RecordedIds.h"
#include "settings/InsertSettings.h"

FigureList gRetainedFigures;
PickRectangle gPickRectangle;

int FirstReady() {
    // Every run starts from the stored settings: edits made through the
    // annotation popups of an earlier run live only in memory and end here.
    LoadInsertSettings();
    ArmFirstStep(gInsertSettings.mType, gInsertSettings.Method);
    return 0;
}

int PreStart() {
    return 0;
}

void Terminate() {
    if (gInsertSettings.Method == 1) {
        InsertAnnotations& a = gInsertAnnotations;
        DeleteRecordedElement(a.leaderUpLeft);
        DeleteRecordedElement(a.leaderUpRight);
        DeleteRecordedElement(a.leaderDownLeft);
        DeleteRecordedElement(a.leaderDownRight);
        DeleteRecordedElement(a.dimensionUp);
        DeleteRecordedElement(a.dimensionDown);
        DeleteRecordedElement(a.dimensionLeft);
        DeleteRecordedElement(a.dimensionRight);
    }
    if (gInsertSettings.mType == 2) DeleteRecordedSegment(gPickRectangle.rectangle.id);
}

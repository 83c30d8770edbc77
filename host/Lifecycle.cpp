// Lifecycle.cpp - the callbacks that start and end a run of the insert command.
#include "host/Lifecycle.h"

#include "geometry/InsertAnnotations.h"
#include "host/PickRecords.h"
#include "host/PickSteps.h"
#include "host/RecordedIds.h"
#include "settings/InsertSettings.h"

FigureList gRetainedFigures;
PickRectangle gPickRectangle;

namespace {

// What the running command was started as. The end of the run removes what
// that choice made temporary, even when the settings dialog has since stored
// and loaded other choices.
struct RunChoice {
    bool annotated = false;
    bool twoPoints = false;
};
RunChoice gRunChoice;

}  // namespace

int FirstReady() {
    // Every run starts from the stored settings: edits made through the
    // annotation popups of an earlier run live only in memory and end here.
    LoadInsertSettings();
    const InsertSettings& s = gInsertSettings;
    gRunChoice = {IsAnnotatedMethod(s.Method), IsTwoPointMode(s.mType)};
    ArmFirstStep(s.mType, s.Method);
    return 0;
}

int PreStart() {
    return 0;
}

void Terminate() {
    if (gRunChoice.annotated) {
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
    if (gRunChoice.twoPoints) DeleteRecordedSegment(gPickRectangle.rectangle.id);
}

// SettingsDialogTests.cpp - the confirm input at a first prompt opens "Create
// Insert" (answered by the dialog robot): OK stores every value, makes it
// current at once and ends the run, so that the next run works with it; Cancel
// stores nothing.
#include "settings/Palette.h"
#include "tests/support/Sessions.h"

namespace e2e {
namespace {

class SettingsDialog : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        UseDrawing(kPlateDrawing);
    }
};

TEST_F(SettingsDialog, OkStoresReloadsAndEndsTheRunAndTheNextRunFollows) {
    // Two points, continuous; the dialog switches to one figure, annotated.
    Registry({{"mType", "2"}, {"Method", "0"}});
    const SessionResult r =
        Run("run\ndialog choose 12023 0, click 12001, ok\nconfirm\nrun\npick 50 0\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const Step& confirm = r.Execute(0);
    EXPECT_EQ(confirm.code, 7);
    EXPECT_EQ(confirm.Names(), std::vector<std::string>{"VelEvtGetPoint"});
    EXPECT_EQ(r.ExecuteResult(0), 0);
    EXPECT_NE(RegistryText().find("\"mType\"=\"0\""), std::string::npos);
    EXPECT_NE(RegistryText().find("\"Method\"=\"1\""), std::string::npos);

    // The run's end removes what the run was started as, two points: the
    // rectangle's record (none was drawn), not the annotations of the new method.
    const auto ends = r.Terminates();
    ASSERT_GE(ends.size(), 1u);
    EXPECT_EQ(ends[0]->Names(), std::vector<std::string>{"VelSgmDeleteSegment"});

    // The next run picks one figure and goes on to editing.
    const Step& armed = r.steps[r.Executes()[0] + 3];
    ASSERT_EQ(armed.callback, "ready");
    EXPECT_EQ(armed.calls.at(1)["args"][0], 0x800);
    EXPECT_EQ(armed.calls.at(2)["args"][0], kPromptPickOne);
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.ReadyAfter(1).calls.at(0)["args"][0], 0x1000);
}

TEST_F(SettingsDialog, CancelStoresNothingAndEndsTheRun) {
    Registry({{"mType", "2"}, {"Method", "0"}});
    ASSERT_EQ(Run("run\nescape\n").status, 0);
    const std::string stored = RegistryText();

    const SessionResult r =
        Run("run\ndialog choose 12023 0, click 12001, type 12002 30, cancel\nconfirm\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(0), 0);
    EXPECT_EQ(RegistryText(), stored);
    // Nothing was reloaded: the run's end still sees the two-point mode.
    const auto ends = r.Terminates();
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0]->Names(), std::vector<std::string>{"VelSgmDeleteSegment"});
}

TEST_F(SettingsDialog, ConfirmAtEveryFirstPromptOpensTheDialog) {
    struct Case {
        const char* type;
        const char* method;
    };
    for (const Case c : {Case{"0", "0"}, Case{"0", "1"}, Case{"1", "0"}, Case{"1", "1"},
                         Case{"2", "0"}, Case{"2", "1"}}) {
        SCOPED_TRACE(std::string("mType ") + c.type + " Method " + c.method);
        Registry({{"mType", c.type}, {"Method", c.method}, {"mDisUp", "5.0"}});
        const SessionResult r = Run("run\ndialog type 12002 12.5, ok\nconfirm\n");
        ASSERT_EQ(r.status, 0) << r.err << r.out;
        EXPECT_EQ(r.ExecuteResult(0), 0);
        EXPECT_NE(RegistryText().find("\"mDisUp\"=\"12.5\""), std::string::npos);
    }
}

TEST_F(SettingsDialog, HoleSetInTheDialogWithAColourPickerAppliesToTheNextRun) {
    Registry({{"mType", "0"}, {"Method", "0"}, {"mIsCheckHole", "0"}});
    const SessionResult r =
        Run("run\n"
            "dialog click 12033, type 12035 3, click 12038, dblclick 17042, ok\n"
            "confirm\nrun\npick 50 0\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_NE(RegistryText().find("\"mIsCheckHole\"=\"1\""), std::string::npos);
    EXPECT_NE(RegistryText().find("\"mOffsetHole\"=\"3\""), std::string::npos);
    EXPECT_NE(RegistryText().find("\"ColorHole\"=\"MAINCOLOR12\""), std::string::npos);

    int holes = 0;
    for (const json& s : SegmentsOfKind(r.drawing, 0)) {
        if (s["layer"] != 100) continue;
        ++holes;
        const Box b = LineBox(s);
        EXPECT_NEAR(b.minX, -9, 1e-9);
        EXPECT_NEAR(b.maxY, 58, 1e-9);
        for (const json& e : s["elements"])
            EXPECT_EQ(e["color"], ResolveColorNumber(u"MAINCOLOR12"));
    }
    EXPECT_EQ(holes, 1);
}

}  // namespace
}  // namespace e2e

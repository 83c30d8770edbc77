// EditTests.cpp - editing an annotated insert end to end in velhost: a picked
// leader or dimension opens its popup (answered by the dialog robot), OK
// rebuilds the insert with the new value, Cancel changes nothing, a rebuild
// that fails ends the run with its message, and confirm makes the hole. The
// edits never reach the registry.
#include "tests/support/Sessions.h"

namespace e2e {
namespace {

using P = AnnotationPoints;

class Editing : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        UseDrawing(kPlateDrawing);
    }
};

// The ids an annotated insert was made with, in the order a rebuild deletes them:
// outline, then the leaders upper-left, upper-right, lower-left, lower-right,
// then the dimensions up, down, left, right.
struct InsertIds {
    int outline = -1;
    std::vector<int> annotations;
};

InsertIds IdsMadeBy(const Step& step) {
    InsertIds ids;
    for (const json& call : step.calls) {
        if (call["fn"] == "VelSgmCreateSegment" && call["args"][0] == 0 && ids.outline < 0)
            ids.outline = call["ret"];
        if (call["fn"] == "VelCmtCreateLeader") ids.annotations.push_back(call["ret"]);
    }
    for (const json& call : step.CallsOf("VelDimCreateLineLength"))
        ids.annotations.push_back(call["ret"]);
    return ids;
}

std::optional<json> DimensionWithId(const json& drawing, int id) {
    for (const json& s : SegmentsOfKind(drawing, 1))
        for (const json& e : s["elements"])
            if (e["id"] == id) return e["dimension"];
    return std::nullopt;
}

std::vector<std::string> LeaderTexts(const json& drawing) {
    std::vector<std::string> texts;
    for (const json& s : SegmentsOfKind(drawing, 2))
        for (const json& e : s["elements"]) texts.push_back(e["leader"]["text"]);
    return texts;
}

TEST_F(Editing, UpDistanceEditedFromFiveToSevenAndAQuarterRebuildsTheInsert) {
    Registry({{"mType", "0"}, {"Method", "1"}, {"mDisUp", "5.0"}});
    const SessionResult r = Run("run\npick 50 0\ndialog type 12025 7.25, key enter\n" +
                                Pick(P::up) + "save " + Path("mid.json") + "\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_TRUE(r.Messages().empty());
    const InsertIds before = IdsMadeBy(r.Execute(0));
    ASSERT_EQ(before.annotations.size(), 8u);

    const Step& edit = r.Execute(1);
    const auto& c = edit.calls;
    ASSERT_GE(c.size(), 13u);
    const auto names = edit.Names();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string>{"VelEvtGetPoint", "VelEvtGetSegmentId",
                                        "VelEvtGetElementId", "VelEvtGetInstanceId"}));
    EXPECT_EQ(c[2]["ret"], before.annotations[4]) << "the up dimension was picked";
    // The new insert is made first; the old one goes once it stands, in its fixed order.
    const size_t old = std::find(names.begin(), names.end(), "VelSgmDeleteSegment") - names.begin();
    ASSERT_LE(old + 10, c.size());
    EXPECT_EQ(std::count(names.begin(), names.begin() + old, "VelSgmCreateSegment"), 9);
    EXPECT_EQ(c[old]["args"][0], before.outline);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(c[old + 1 + i]["fn"], "VelElmDeleteElement");
        EXPECT_EQ(c[old + 1 + i]["args"][0], before.annotations[i]);
        EXPECT_EQ(c[old + 1 + i]["ret"], 0);
    }
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.ReadyAfter(1).calls[0]["args"][0], 0x1000);
    EXPECT_EQ(r.ReadyAfter(1).calls[2]["args"][0], kPromptEdit);

    const json mid = ReadDrawing("mid.json");
    EXPECT_EQ(CountOutlines(mid, -6, -6, 105, 57.25), 1);
    EXPECT_EQ(CountOutlines(mid, -6, -6, 105, 55), 0);
    EXPECT_EQ(SegmentsOfKind(mid, 1).size(), 4u);
    EXPECT_EQ(SegmentsOfKind(mid, 2).size(), 4u);
    const InsertIds after = IdsMadeBy(edit);
    ASSERT_EQ(after.annotations.size(), 8u);
    const auto up = DimensionWithId(mid, after.annotations[4]);
    ASSERT_TRUE(up.has_value());
    EXPECT_DOUBLE_EQ((*up)["b"][1].get<double>(), 57.25);
    // The new annotations can be picked in turn.
    EXPECT_EQ(r.ExecuteResult(2), 3);
    EXPECT_NE(RegistryText().find("\"mDisUp\"=\"5.0\""), std::string::npos);
}

TEST_F(Editing, EnterOnTheShownValueKeepsTheFullValue) {
    // 7.25 is shown as "7.2"; taking it unchanged with Enter keeps 7.25, and so
    // does retyping what is shown. Any other text is the new value.
    Registry({{"mType", "0"}, {"Method", "1"}, {"mDisUp", "7.25"}});
    const SessionResult r =
        Run("run\npick 50 0\ndialog key enter\n" + Pick(P::up) + "save " + Path("mid.json") +
            "\ndialog type 12025 7.2, key enter\n" + Pick(P::up) + "save " + Path("mid2.json") +
            "\ndialog type 12025 7.20, key enter\n" + Pick(P::up) + "save " + Path("end2.json") +
            "\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(CountOutlines(ReadDrawing("mid.json"), -6, -6, 105, 57.25), 1);
    EXPECT_EQ(CountOutlines(ReadDrawing("mid2.json"), -6, -6, 105, 57.25), 1);
    EXPECT_EQ(CountOutlines(ReadDrawing("end2.json"), -6, -6, 105, 57.2), 1);
}

TEST_F(Editing, CornerEditChangesKindAndSizeAtOnce) {
    // Upper-left starts as a chamfer of 2; typing 3.5 and choosing corner R closes the popup.
    Registry({{"mType", "0"}, {"Method", "1"}, {"mUpLeft", "2"}, {"mValueUpLeft", "2.0"}});
    const SessionResult r = Run("run\npick 50 0\ndialog type 12025 3.5, click 12001\n" +
                                Pick(P::upLeft) + "save " + Path("mid.json") + "\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.Execute(1).calls[2]["ret"], IdsMadeBy(r.Execute(0)).annotations[0]);
    const json mid = ReadDrawing("mid.json");
    const auto texts = LeaderTexts(mid);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "R3.5"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "C2.0"), texts.end());
    // The outline's upper-left corner is now an arc of radius 3.5 tangent to both sides.
    int rounds = 0;
    for (const json& s : SegmentsOfKind(mid, 0)) {
        for (const json& e : ElementsOfType(s, 7)) {
            const auto& v = e["values"];
            if (std::fabs(v[6].get<double>() - 3.5) > 1e-9) continue;
            ++rounds;
            EXPECT_NEAR(v[0].get<double>(), -6 + 3.5, 1e-9);
            EXPECT_NEAR(v[1].get<double>(), 55 - 3.5, 1e-9);
        }
    }
    EXPECT_EQ(rounds, 1);
    EXPECT_NE(RegistryText().find("\"mUpLeft\"=\"2\""), std::string::npos);
}

TEST_F(Editing, CancelKeepsSettingsInsertAndAnnotations) {
    Registry({{"mType", "0"}, {"Method", "1"}});
    const SessionResult r =
        Run("run\npick 50 0\nsave " + Path("before.json") + "\ndialog type 12025 40, cancel\n" +
            Pick(P::up) + "save " + Path("after.json") + "\ndialog key enter\n" + Pick(P::up) +
            "save " + Path("again.json") + "\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(1), 3) << "the step keeps waiting";
    EXPECT_EQ(r.Execute(1).Names(),
              (std::vector<std::string>{"VelEvtGetPoint", "VelEvtGetSegmentId",
                                        "VelEvtGetElementId", "VelEvtGetInstanceId"}));
    EXPECT_EQ(ReadDrawing("before.json"), ReadDrawing("after.json"));
    // The value in memory is still 5: taking the popup as it opens rebuilds the same insert.
    EXPECT_EQ(r.ExecuteResult(2), 2);
    EXPECT_EQ(CountOutlines(ReadDrawing("again.json"), -6, -6, 105, 55), 1);
}

TEST_F(Editing, FailedRebuildAfterASideEditShowsMessageFourAndKeepsTheInsert) {
    Registry({{"mType", "0"}, {"Method", "1"}});
    const SessionResult r = Run("run\npick 50 0\nsave " + Path("before.json") +
                                "\ndialog type 12025 -100, key enter\n" + Pick(P::up));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot4});
    EXPECT_EQ(r.ExecuteResult(1), 0);
    EXPECT_FALSE(r.Execute(1).Has("VelSgmDeleteSegment"));
    EXPECT_FALSE(r.Execute(1).Has("VelElmDeleteElement"));
    // The insert stands as it was; the run's end takes its annotations, as always.
    const json before = ReadDrawing("before.json");
    EXPECT_EQ(CountOutlines(before, -6, -6, 105, 55), 1);
    EXPECT_EQ(CountOutlines(r.drawing, -6, -6, 105, 55), 1);
    EXPECT_EQ(SegmentsOfKind(r.drawing, 0).size(), 3u);
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 1).empty());
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 2).empty());
    const auto ends = r.Terminates();
    ASSERT_EQ(ends.size(), 1u);
    const InsertIds made = IdsMadeBy(r.Execute(0));
    ASSERT_EQ(ends[0]->calls.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(ends[0]->calls[i]["args"][0], made.annotations[i]);
        EXPECT_EQ(ends[0]->calls[i]["ret"], 0);
    }
}

TEST_F(Editing, ConfirmAfterEditsMakesTheHoleAroundTheEditedInsert) {
    Registry({{"mType", "0"}, {"Method", "1"}, {"mIsCheckHole", "1"}});
    const SessionResult r =
        Run("run\npick 50 0\ndialog type 12025 10, key enter\n" + Pick(P::right) + "confirm\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.ExecuteResult(2), 0);
    EXPECT_FALSE(r.Execute(2).Has("VelSgmDeleteSegment")) << "nothing but the hole on confirm";
    EXPECT_EQ(CountOutlines(r.drawing, -6, -6, 110, 55), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 1);
    EXPECT_TRUE(SegmentById(r.drawing, 1).has_value());
    EXPECT_TRUE(SegmentById(r.drawing, 6).has_value());
    // The run's end removes the annotations of the rebuilt insert.
    const InsertIds current = IdsMadeBy(r.Execute(1));
    const auto ends = r.Terminates();
    ASSERT_EQ(ends.size(), 1u);
    ASSERT_EQ(ends[0]->calls.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(ends[0]->calls[i]["args"][0], current.annotations[i]);
        EXPECT_EQ(ends[0]->calls[i]["ret"], 0);
    }
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 1).empty());
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 2).empty());
}

TEST_F(Editing, ConfirmAfterATwoPointPickRemovesTheRectangle) {
    Registry({{"mType", "2"}, {"Method", "1"}, {"mIsCheckHole", "1"}});
    // Corners (10, 20) and (40, 5): the insert spans x 4 to 45 and y -1 to 25.
    const SessionResult r = Run(
        "run\npick 10 20\npick 40 5\ndialog type 12025 1, key enter\npick 24.5 22.5\nconfirm\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const int rect = r.Execute(1).CallsOf("VelSgmCreateSegment").at(0)["ret"];
    // The rebuild measures the rectangle again.
    EXPECT_EQ(r.ExecuteResult(2), 2);
    const auto reads = r.Execute(2).CallsOf("VelFigGetFigure2");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0]["args"][0]["id"], rect);
    EXPECT_EQ(r.ReadyAfter(2).calls[3]["fn"], "VelCtlSetExecuteFunc");

    const Step& confirm = r.Execute(3);
    EXPECT_EQ(confirm.code, 7);
    EXPECT_EQ(r.ExecuteResult(3), 0);
    ASSERT_FALSE(confirm.calls.empty());
    EXPECT_EQ(confirm.calls.back()["fn"], "VelSgmDeleteSegment");
    EXPECT_EQ(confirm.calls.back()["args"][0], rect);
    EXPECT_EQ(confirm.calls.back()["ret"], 0);
    // The run's end deletes the annotations, then the forgotten rectangle id 0.
    const auto ends = r.Terminates();
    ASSERT_EQ(ends.size(), 1u);
    ASSERT_EQ(ends[0]->calls.size(), 9u);
    EXPECT_EQ(ends[0]->calls[8]["fn"], "VelSgmDeleteSegment");
    EXPECT_EQ(ends[0]->calls[8]["args"][0], 0);

    EXPECT_FALSE(SegmentById(r.drawing, rect).has_value());
    EXPECT_EQ(CountOutlines(r.drawing, 4, -1, 45, 21), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 1);
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 1).empty());
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 2).empty());
}

TEST_F(Editing, PopupEditsLeaveTheRegistryAndTheNextRunAsStored) {
    Registry({{"mType", "0"}, {"Method", "1"}});
    ASSERT_EQ(Run("run\nescape\n").status, 0);
    const std::string stored = RegistryText();
    ASSERT_NE(stored.find("\"mDisUp\"=\"5.0\""), std::string::npos);

    const SessionResult r =
        Run("run\npick 50 0\ndialog type 12025 9, key enter\n" + Pick(P::up) +
            "dialog type 12025 4, click 12002\n" + "pick -7.5 60.5\n" +
            "confirm\nrun\npick 50 0\nsave " + Path("next.json") + "\nescape\n");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.ExecuteResult(2), 2);
    EXPECT_EQ(RegistryText(), stored);
    // The next run starts again from 5 above the plate.
    const json next = ReadDrawing("next.json");
    EXPECT_EQ(CountOutlines(next, -6, -6, 105, 55), 1);
}

}  // namespace
}  // namespace e2e

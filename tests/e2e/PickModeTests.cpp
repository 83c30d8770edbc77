// PickModeTests.cpp - the pick steps end to end in velhost: one figure, several
// figures and two corners, each continuous and annotated; what every waiting
// state does with each kind of input, the host calls it makes, the failure
// message it shows, and the inserts, holes and rectangles left in the drawing.
#include "tests/support/Sessions.h"

namespace e2e {
namespace {

class PickModes : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        UseDrawing(kPlateDrawing);
    }
};

const std::vector<std::string> kReadPick = {"VelEvtGetPoint", "VelEvtGetSegmentId",
                                            "VelEvtGetInstanceId"};

std::vector<std::string> ArmingWithReset(int mask, const std::string& prompt, const Step& ready) {
    EXPECT_EQ(ready.calls.size(), 4u);
    if (ready.calls.size() != 4u) return {};
    EXPECT_EQ(ready.calls[1]["args"][0], mask);
    EXPECT_EQ(ready.calls[2]["args"][0], prompt);
    return ready.Names();
}

const std::vector<std::string> kArmReset = {"VelIddClearSysIdData", "VelEvtSetEventMask",
                                            "VelMsgPutMessage", "VelCtlSetExecuteFunc"};
const std::vector<std::string> kArmEdit = {"VelEvtSetEventMask", "VelEvtSetCompareFunction",
                                           "VelMsgPutMessage", "VelCtlSetExecuteFunc"};

void ExpectArmsEdit(const Step& ready) {
    EXPECT_EQ(ready.Names(), kArmEdit);
    if (ready.calls.size() != 4u) return;
    EXPECT_EQ(ready.calls[0]["args"][0], 0x1000);
    EXPECT_EQ(ready.calls[2]["args"][0], kPromptEdit);
}

// ---- one figure -------------------------------------------------------------------

TEST_F(PickModes, OneFigureContinuousMakesInsertAndHoleAndPicksAgain) {
    Registry({{"mType", "0"}, {"Method", "0"}, {"mIsCheckHole", "1"}, {"mOffsetHole", "2"}});
    const SessionResult r = Run("run\npick 50 0\npick 60 25\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.Messages().empty());

    ASSERT_EQ(r.Executes().size(), 4u);
    for (size_t n : {0u, 1u}) {
        SCOPED_TRACE(n);
        const Step& pick = r.Execute(n);
        const auto names = pick.Names();
        ASSERT_GE(names.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3), kReadPick);
        EXPECT_EQ(names.back(), "VelCtlSetReadyFunc");
        EXPECT_EQ(pick.calls[1]["ret"], n == 0 ? 1 : 6) << "the picked segment";
        EXPECT_EQ(r.ExecuteResult(n), 2);
        EXPECT_EQ(ArmingWithReset(0x800, kPromptPickOne, r.ReadyAfter(n)), kArmReset);
    }
    EXPECT_EQ(r.ExecuteResult(2), 3) << "other input waits";
    EXPECT_EQ(r.Execute(2).Names(), std::vector<std::string>{"VelEvtGetPoint"});

    // One insert around the rectangle, one around the circle, a hole for each.
    EXPECT_EQ(CountOutlines(r.drawing, -6, -6, 105, 55), 1);
    EXPECT_EQ(CountOutlines(r.drawing, 34, 9, 65, 40), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 2);
    for (const json& hole : SegmentsOfKind(r.drawing, 0)) {
        if (hole["layer"] != 100) continue;
        const Box b = LineBox(hole);
        EXPECT_TRUE(std::fabs(b.maxX - b.minX - 115) < 1e-9 ||
                    std::fabs(b.maxX - b.minX - 35) < 1e-9)
            << "offset by 2 on each side of an insert";
    }
}

TEST_F(PickModes, OneFigureContinuousFailureShowsTheMessageAndEndsTheRun) {
    // Side distances that leave the insert no width.
    Registry({{"mType", "0"}, {"Method", "0"}, {"mDisLeft", "-60"}, {"mDisRight", "-60"}});
    const SessionResult r = Run("run\npick 50 0\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot});
    EXPECT_EQ(r.ExecuteResult(0), 0);
    EXPECT_EQ(r.Execute(0).Names().back(), "VelDlgMessageBox");
    EXPECT_TRUE(r.CallsOf("VelSgmCreateSegment").empty());
    EXPECT_EQ(r.drawing["segments"].size(), 2u);
}

// A corner R the host cannot cut into the 111 x 61 insert: the step shows its
// message and the drawing is as it was, in both methods.
TEST_F(PickModes, CornerTooLargeForTheInsertLeavesTheDrawingUnchanged) {
    for (const char* method : {"0", "1"}) {
        SCOPED_TRACE(method);
        Registry({{"mType", "0"}, {"Method", method}, {"mUpRight", "1"}, {"mValueUpRight", "70"}});
        const SessionResult r = Run("run\npick 50 0\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.Messages(), std::vector<std::string>{method[0] == '0' ? kCannot : kCannot2});
        EXPECT_EQ(r.ExecuteResult(0), 0);
        ASSERT_EQ(r.drawing["segments"].size(), 2u) << "the part and its circle only";
        EXPECT_EQ(r.drawing["segments"][0]["id"], 1);
        EXPECT_EQ(r.drawing["segments"][1]["id"], 6);
        for (const json& call : r.CallsOf("VelElmDeleteElement")) EXPECT_NE(call["args"][0], -1);
        for (const json& call : r.CallsOf("VelSgmDeleteSegment")) EXPECT_NE(call["args"][0], -1);
    }
}

// A hole the host refuses (a layer it cannot make) is not left half made: the
// user is told, the insert stays, and the continuous run goes on.
TEST_F(PickModes, HoleThatCannotBeMadeIsToldAndTheRunGoesOn) {
    Registry({{"mType", "0"}, {"Method", "0"}, {"mIsCheckHole", "1"}, {"mLayerHole", "-5"}});
    const SessionResult r = Run("run\npick 50 0\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{"Hole 형상을 작성할 수 없습니다."});
    EXPECT_EQ(r.ExecuteResult(0), 2);
    EXPECT_EQ(CountOutlines(r.drawing, -6, -6, 105, 55), 1);
    EXPECT_EQ(SegmentsOfKind(r.drawing, 0).size(), 3u) << "the part, its circle, the insert";
}

TEST_F(PickModes, OneFigureAnnotatedMakesAnnotatedInsertWithoutHoleThenEdits) {
    Registry({{"mType", "0"}, {"Method", "1"}, {"mIsCheckHole", "1"}});
    const SessionResult r =
        Run("run\npick 50 0\nsave " + Path("mid.json") + "\nkey\nkey\nconfirm\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.ExecuteResult(0), 2);
    const auto names = r.Execute(0).Names();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3), kReadPick);
    ExpectArmsEdit(r.ReadyAfter(0));

    // While editing: the insert with four leaders and four dimensions, no hole.
    const json mid = ReadDrawing("mid.json");
    EXPECT_EQ(CountOutlines(mid, -6, -6, 105, 55), 1);
    EXPECT_EQ(SegmentsOfKind(mid, 2).size(), 4u);
    EXPECT_EQ(SegmentsOfKind(mid, 1).size(), 4u);
    EXPECT_EQ(CountOnLayer(mid, 100), 0);

    EXPECT_EQ(r.ExecuteResult(1), 3);
    // Confirm ends the editing with the hole; the run's end removes the annotations.
    EXPECT_EQ(r.ExecuteResult(3), 0);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 1);
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 1).empty());
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 2).empty());
    EXPECT_EQ(CountOutlines(r.drawing, -6, -6, 105, 55), 1);
    EXPECT_TRUE(SegmentById(r.drawing, 1).has_value()) << "the picked figure stays";
}

TEST_F(PickModes, OneFigureAnnotatedFailureShowsMessageTwo) {
    Registry({{"mType", "0"}, {"Method", "1"}, {"mDisUp", "-30"}, {"mDisDown", "-30"}});
    const SessionResult r = Run("run\npick 50 0\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot2});
    EXPECT_EQ(r.ExecuteResult(0), 0);
    EXPECT_TRUE(r.CallsOf("VelSgmCreateSegment").empty());
    EXPECT_EQ(r.drawing["segments"].size(), 2u) << "the part and its circle only";
}

// ---- several figures --------------------------------------------------------------

const std::vector<std::string> kSelectionRead = {
    "VelIddOpenSelIdData", "VelSgmSearchSegment2", "VelIddOpenApIdData",     "VelIddInitApIdData",
    "VelIddCloseApIdData", "VelIddOpenApIdData",   "VelIddGetHeadSelIdData", "VelIddInitApIdData"};

TEST_F(PickModes, SeveralFiguresContinuousReadsTheSelectionInPickOrder) {
    Registry({{"mType", "1"}, {"Method", "0"}, {"mIsCheckHole", "1"}});
    const SessionResult r =
        Run("run\npick 60 25\npick 50 0\ndone\nselect 39 14 61 36\ndone\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.Executes().size(), 4u) << "picks under a selection are no events";
    const Step& done = r.Execute(0);
    EXPECT_EQ(done.code, 0);
    EXPECT_FALSE(done.Has("VelEvtGetPoint"));
    const auto names = done.Names();
    ASSERT_GE(names.size(), 13u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 8), kSelectionRead);
    EXPECT_EQ(names[8], "VelIddGetNextSelIdData");
    EXPECT_EQ(names[9], "VelIddGetNextSelIdData");
    EXPECT_EQ(names[10], "VelIddCloseApIdData");
    EXPECT_EQ(names[11], "VelIddCloseSelIdData");
    EXPECT_EQ(done.calls[0]["args"], json::array({1}));
    EXPECT_EQ(done.calls[1]["args"][0], 0);
    EXPECT_EQ(done.calls[1]["args"][2], 5);
    EXPECT_EQ(done.calls[2]["args"], json::array({5, 1}));
    // The circle was picked first: measurement reads it first.
    EXPECT_EQ(done.calls[6]["args"][1]["segment"], 6);
    EXPECT_EQ(done.calls[8]["args"][1]["segment"], 1);
    EXPECT_EQ(done.calls[9]["ret"], -1);
    const auto reads = done.CallsOf("VelFigGetFigure2");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0]["args"][0]["id"], 6);
    EXPECT_EQ(reads[0]["args"][0]["instance"], 1);
    EXPECT_EQ(reads[1]["args"][0]["id"], 1);

    EXPECT_EQ(r.ExecuteResult(0), 2);
    EXPECT_EQ(ArmingWithReset(0x20, kPromptPickMany, r.ReadyAfter(0)), kArmReset);
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.ExecuteResult(2), 3);
    EXPECT_TRUE(r.Execute(2).calls.empty()) << "other input reads nothing";

    EXPECT_EQ(CountOutlines(r.drawing, -6, -6, 105, 55), 1);
    EXPECT_EQ(CountOutlines(r.drawing, 34, 9, 65, 40), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 2);
}

TEST_F(PickModes, EmptySelectionContinuousShowsMessageWithoutGeometry) {
    Registry({{"mType", "1"}, {"Method", "0"}});
    const SessionResult r = Run("run\ndone\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot});
    EXPECT_EQ(r.ExecuteResult(0), 0);
    const auto names = r.Execute(0).Names();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[names.size() - 2], "VelIddCloseSelIdData");
    EXPECT_EQ(names.back(), "VelDlgMessageBox");
    EXPECT_EQ(r.drawing["segments"].size(), 2u) << "the part and its circle only";
}

TEST_F(PickModes, EmptySelectionAnnotatedShowsMessageTwo) {
    Registry({{"mType", "1"}, {"Method", "1"}});
    const SessionResult r = Run("run\ndone\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot2});
    EXPECT_EQ(r.ExecuteResult(0), 0);
    EXPECT_TRUE(r.CallsOf("VelSgmCreateSegment").empty());
    EXPECT_EQ(r.drawing["segments"].size(), 2u);
}

TEST_F(PickModes, SeveralFiguresAnnotatedGoesOnToEditing) {
    Registry({{"mType", "1"}, {"Method", "1"}});
    const SessionResult r = Run("run\nselect -1 -1 101 51\ndone\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.ExecuteResult(0), 2);
    ExpectArmsEdit(r.ReadyAfter(0));
    EXPECT_EQ(r.CallsOf("VelFigGetFigure2").size(), 2u) << "both figures measured";
    EXPECT_EQ(r.ExecuteResult(1), 3);
}

TEST_F(PickModes, SeveralFiguresFailureShowsTheMethodsMessage) {
    for (const std::string method : {"0", "1"}) {
        SCOPED_TRACE("Method " + method);
        Registry({{"mType", "1"}, {"Method", method}, {"mDisLeft", "-60"}, {"mDisRight", "-60"}});
        const SessionResult r = Run("run\nselect -1 -1 101 51\ndone\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.Messages(), std::vector<std::string>{method == "0" ? kCannot : kCannot2});
        EXPECT_EQ(r.ExecuteResult(0), 0);
        EXPECT_EQ(r.drawing["segments"].size(), 2u) << "the part and its circle only";
    }
}

// ---- two corners --------------------------------------------------------------------

TEST_F(PickModes, TwoCornersDrawTheRectangleLoopAndTheInsertAroundIt) {
    Registry({{"mType", "2"}, {"Method", "0"}, {"mIsCheckHole", "1"}});
    const SessionResult r = Run("run\npick 10 20\npick 40 5\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;

    const Step& first = r.Execute(0);
    EXPECT_EQ(first.Names(), (std::vector<std::string>{"VelEvtGetPoint", "VelCtlSetReadyFunc"}));
    EXPECT_EQ(r.ExecuteResult(0), 2);
    const Step& armSecond = r.ReadyAfter(0);
    EXPECT_EQ(armSecond.Names(),
              (std::vector<std::string>{"VelEvtSetEventMask", "VelEvtSetEcho", "VelMsgPutMessage",
                                        "VelCtlSetExecuteFunc"}))
        << "the second point keeps the host's id data";
    EXPECT_EQ(armSecond.calls[0]["args"][0], 0x60000);
    EXPECT_EQ(armSecond.calls[1]["args"][0], json({{"kind", 2}, {"point", {10.0, 20.0}}}));
    EXPECT_EQ(armSecond.calls[2]["args"][0], kPromptSecondCorner);

    const Step& second = r.Execute(1);
    const auto& c = second.calls;
    ASSERT_GE(c.size(), 8u);
    EXPECT_EQ(c[0]["fn"], "VelEvtGetPoint");
    EXPECT_EQ(c[1]["fn"], "VelSgmCreateSegment");
    EXPECT_EQ(c[1]["args"], json::array({0, 0}));
    const int seg = c[1]["ret"];
    auto line = [](double x1, double y1, double x2, double y2) {
        return json({{"type", 1}, {"values", {x1, y1, x2, y2, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}}});
    };
    EXPECT_EQ(c[2]["fn"], "VelFigCreateFigure");
    EXPECT_EQ(c[2]["args"], json::array({seg, line(10, 20, 10, 5)}));
    EXPECT_EQ(c[3]["fn"], "VelFigInsertFigure");
    EXPECT_EQ(c[3]["args"], json::array({c[2]["ret"], line(40, 20, 10, 20)}));
    EXPECT_EQ(c[4]["fn"], "VelFigInsertFigure");
    EXPECT_EQ(c[4]["args"], json::array({c[3]["ret"], line(40, 5, 40, 20)}));
    EXPECT_EQ(c[5]["fn"], "VelFigInsertFigure");
    EXPECT_EQ(c[5]["args"], json::array({c[4]["ret"], line(10, 5, 40, 5)}));
    EXPECT_EQ(c[6]["fn"], "VelFigSetClosed");
    EXPECT_EQ(c[6]["args"], json::array({seg, 1}));
    // No layer, colour or line type is given to the rectangle.
    const std::vector<int> rectangleIds = {seg, c[2]["ret"], c[3]["ret"], c[4]["ret"], c[5]["ret"]};
    for (const json& call : c) {
        if (call["fn"] != "VelSgmChangeLayer" && call["fn"] != "VelFigSetLineType") continue;
        for (int id : rectangleIds) EXPECT_NE(call["args"][0], id);
    }
    // After the insert and its hole the rectangle goes, then the first corner again.
    ASSERT_GE(c.size(), 2u);
    EXPECT_EQ(c[c.size() - 2]["fn"], "VelSgmDeleteSegment");
    EXPECT_EQ(c[c.size() - 2]["args"][0], seg);
    EXPECT_EQ(c.back()["fn"], "VelCtlSetReadyFunc");
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(ArmingWithReset(0x60000, kPromptFirstCorner, r.ReadyAfter(1)), kArmReset);

    EXPECT_FALSE(SegmentById(r.drawing, seg).has_value());
    EXPECT_EQ(CountOutlines(r.drawing, 4, -1, 45, 25), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 1);
    // The run's end deletes the forgotten rectangle id 0, which is nothing.
    const auto ends = r.Terminates();
    ASSERT_EQ(ends.size(), 1u);
    ASSERT_EQ(ends[0]->calls.size(), 1u);
    EXPECT_EQ(ends[0]->calls[0]["args"][0], 0);
}

TEST_F(PickModes, TwoCornersGiveTheSameInsertWhicheverCornerComesFirst) {
    Registry({{"mType", "2"}, {"Method", "0"}});
    for (const char* script : {"run\npick 10 20\npick 40 5\n", "run\npick 40 5\npick 10 20\n",
                               "run\npick 10 5\npick 40 20\n", "run\npick 40 20\npick 10 5\n"}) {
        SCOPED_TRACE(script);
        const SessionResult r = Run(script);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(CountOutlines(r.drawing, 4, -1, 45, 25), 1);
        EXPECT_EQ(SegmentsOfKind(r.drawing, 0).size(), 3u) << "plate, circle and the insert";
    }
}

TEST_F(PickModes, ConfirmAndOtherInputAtTheSecondPointAreIgnored) {
    Registry({{"mType", "2"}, {"Method", "0"}});
    const SessionResult r = Run("run\npick 10 20\nconfirm\nkey\npick 40 5\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    for (size_t n : {1u, 2u}) {
        EXPECT_EQ(r.ExecuteResult(n), 3);
        EXPECT_EQ(r.Execute(n).Names(), std::vector<std::string>{"VelEvtGetPoint"});
    }
    EXPECT_EQ(r.Execute(1).code, 7);
    EXPECT_EQ(r.ExecuteResult(3), 2);
    EXPECT_EQ(CountOutlines(r.drawing, 4, -1, 45, 25), 1);
}

// Every pick mode but 0 and 1 picks two points, and the run's end removes its
// rectangle; every method but 0 is annotated, and the run's end removes its
// leaders and dimensions.
TEST_F(PickModes, TemporaryItemsGoWithTheRunForEveryValueThatChoseThem) {
    for (const char* mode : {"2", "5"}) {
        SCOPED_TRACE(mode);
        Registry({{"mType", mode}, {"Method", "0"}, {"mDisLeft", "-20"}, {"mDisRight", "-20"}});
        const SessionResult r = Run("run\npick 10 20\npick 40 5\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot});
        EXPECT_EQ(r.ExecuteResult(1), 0);
        const int seg = r.Execute(1).CallsOf("VelSgmCreateSegment").at(0)["ret"];
        EXPECT_FALSE(r.Execute(1).Has("VelSgmDeleteSegment")) << "kept until the run ends";
        const auto ends = r.Terminates();
        ASSERT_EQ(ends.size(), 1u);
        ASSERT_EQ(ends[0]->calls.size(), 1u);
        EXPECT_EQ(ends[0]->calls[0]["fn"], "VelSgmDeleteSegment");
        EXPECT_EQ(ends[0]->calls[0]["args"][0], seg);
        EXPECT_FALSE(SegmentById(r.drawing, seg).has_value());
    }

    // Method 2 is annotated too: its leaders and dimensions go at the run's end.
    Registry({{"mType", "0"}, {"Method", "2"}});
    const SessionResult annotated = Run("run\npick 50 0\nescape\n");
    ASSERT_EQ(annotated.status, 0) << annotated.err;
    EXPECT_EQ(annotated.ExecuteResult(0), 2);
    EXPECT_EQ(CountOutlines(annotated.drawing, -6, -6, 105, 55), 1);
    EXPECT_TRUE(SegmentsOfKind(annotated.drawing, 1).empty());
    EXPECT_TRUE(SegmentsOfKind(annotated.drawing, 2).empty());
}

TEST_F(PickModes, TwoCornersAnnotatedKeepTheRectangleForEditing) {
    Registry({{"mType", "2"}, {"Method", "1"}});
    const SessionResult r =
        Run("run\npick 10 20\npick 40 5\nsave " + Path("mid.json") + "\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.ExecuteResult(0), 2);
    EXPECT_EQ(r.ReadyAfter(0).calls[3]["fn"], "VelCtlSetExecuteFunc");
    EXPECT_EQ(r.ExecuteResult(1), 2);
    ExpectArmsEdit(r.ReadyAfter(1));
    const int seg = r.Execute(1).CallsOf("VelSgmCreateSegment").at(0)["ret"];
    EXPECT_FALSE(r.Execute(1).Has("VelSgmDeleteSegment"));
    const json mid = ReadDrawing("mid.json");
    EXPECT_TRUE(SegmentById(mid, seg).has_value()) << "the rectangle stays while editing";
    EXPECT_EQ(CountOutlines(mid, 4, -1, 45, 25), 1);
    EXPECT_EQ(r.ExecuteResult(2), 3);
    // Leaving the command removes annotations and rectangle alike.
    EXPECT_FALSE(SegmentById(r.drawing, seg).has_value());
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 1).empty());
    EXPECT_TRUE(SegmentsOfKind(r.drawing, 2).empty());
}

TEST_F(PickModes, TwoCornersAnnotatedFailureShowsMessageFive) {
    Registry({{"mType", "2"}, {"Method", "1"}, {"mDisUp", "-20"}, {"mDisDown", "-20"}});
    const SessionResult r = Run("run\npick 10 20\npick 40 5\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Messages(), std::vector<std::string>{kCannot5});
    EXPECT_EQ(r.ExecuteResult(1), 0);
    const int seg = r.Execute(1).CallsOf("VelSgmCreateSegment").at(0)["ret"];
    const auto ends = r.Terminates();
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0]->calls.back()["fn"], "VelSgmDeleteSegment");
    EXPECT_EQ(ends[0]->calls.back()["args"][0], seg);
}

// ---- first prompts --------------------------------------------------------------------

TEST_F(PickModes, OtherInputAtEveryFirstPromptWaits) {
    struct Case {
        const char* type;
        const char* method;
    };
    for (const Case c : {Case{"0", "0"}, Case{"0", "1"}, Case{"1", "0"}, Case{"1", "1"},
                         Case{"2", "0"}, Case{"2", "1"}}) {
        SCOPED_TRACE(std::string("mType ") + c.type + " Method " + c.method);
        Registry({{"mType", c.type}, {"Method", c.method}});
        const SessionResult r = Run("run\nkey\nkey\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.ExecuteResult(0), 3);
        EXPECT_EQ(r.CallsOf("VelSgmCreateSegment").size(), 0u);
        EXPECT_EQ(r.drawing["segments"].size(), 2u);
        EXPECT_TRUE(r.Messages().empty());
    }
}

// ---- selections at the size of a figure list --------------------------------------------

std::string GridOfCircles(int count) {
    std::string text = R"({"format": "vel-drawing", "version": 1, "segments": [)";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ",";
        text += R"({"kind": 0, "elements": [{"type": 2, "values": [)" + std::to_string(i % 50) +
                ", " + std::to_string(i / 50) + ", 0.2]}]}";
    }
    return text + "]}";
}

TEST_F(PickModes, SelectionOfNineHundredNinetyNineFiguresMakesOneInsert) {
    UseDrawing(GridOfCircles(999));
    Registry({{"mType", "1"}, {"Method", "0"}});
    const SessionResult r = Run("run\nselect -1 -1 51 21\ndone\nkey\nkey\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.Messages().empty());
    EXPECT_EQ(r.ExecuteResult(0), 2);
    EXPECT_EQ(r.Execute(0).CallsOf("VelFigGetFigure2").size(), 999u);
    // Circles from (0, 0) to (49, 19) of radius 0.2, with the default side distances.
    EXPECT_EQ(CountOutlines(r.drawing, -6.2, -6.2, 54.2, 24.2), 1);
}

TEST_F(PickModes, SelectionOfAThousandFiguresIsRefusedInBothMethods) {
    UseDrawing(GridOfCircles(1000));
    for (const std::string method : {"0", "1"}) {
        SCOPED_TRACE("Method " + method);
        Registry({{"mType", "1"}, {"Method", method}});
        const SessionResult r = Run("run\nselect -1 -1 51 21\ndone\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.Messages(), std::vector<std::string>{method == "0" ? kCannot : kCannot2});
        EXPECT_EQ(r.ExecuteResult(0), 0);
        const Step& done = r.Execute(0);
        EXPECT_FALSE(done.Has("VelFigGetFigure2")) << "nothing of the selection is measured";
        EXPECT_TRUE(r.CallsOf("VelSgmCreateSegment").empty());
        // The selection is still closed properly.
        EXPECT_EQ(done.CallsOf("VelIddCloseSelIdData").size(), 1u);
        EXPECT_EQ(done.CallsOf("VelIddCloseApIdData").size(), 2u);
        EXPECT_EQ(r.drawing["segments"].size(), 1000u);
    }
}

}  // namespace
}  // namespace e2e

// LifecycleTests.cpp - the plug-in's registration, the first step of a run chosen
// from the stored pick mode and method, and what the terminate callback deletes.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "geometry/InsertAnnotations.h"
#include "host/PickRecords.h"
#include "host/PickSteps.h"
#include "settings/InsertSettings.h"
#include "tests/host/HostTestSupport.h"
#include "tests/support/StoredDefaults.h"
#include "ui/UiScope.h"

using orvanta_test::HostFixture;

namespace {

class Lifecycle : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        gInsertAnnotations = {};
        gPickRectangle = {};
    }

    void RunAndEscape(const std::string& type, const std::string& method) {
        WriteRegistry({{"mType", type}, {"Method", method}});
        ASSERT_TRUE(host().startCommand());
        host().escape();
        ASSERT_FALSE(host().running());
    }

    std::vector<std::string> TerminateCalls() const {
        std::vector<std::string> names;
        for (const auto& call : CallsAfter("terminate")) names.push_back(call["fn"]);
        return names;
    }
};

TEST_F(Lifecycle, StartupRegistersTheThreeCallbacksOnce) {
    const auto lines = TraceLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["fn"], "VelCtlRegisterVelLib2");
    EXPECT_EQ(lines[0]["args"].size(), 3u);
    EXPECT_EQ(lines[0]["ret"], 1);
    EXPECT_TRUE(host().registered());
}

TEST_F(Lifecycle, TwoPointContinuousTerminateDeletesOnlyTheRectangle) {
    gPickRectangle.rectangle = {0, 77};
    RunAndEscape("2", "0");
    const auto calls = CallsAfter("terminate");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]["fn"], "VelSgmDeleteSegment");
    EXPECT_EQ(calls[0]["args"][0], 77);
}

TEST_F(Lifecycle, AnnotatedTerminateBeforeAnyInsertDeletesEightZeroIds) {
    RunAndEscape("0", "1");
    const auto calls = CallsAfter("terminate");
    ASSERT_EQ(calls.size(), 8u);
    for (const auto& call : calls) {
        EXPECT_EQ(call["fn"], "VelElmDeleteElement");
        EXPECT_EQ(call["args"][0], 0);
    }
}

TEST_F(Lifecycle, SeveralFiguresContinuousTerminateMakesNoHostCall) {
    gPickRectangle.rectangle = {0, 12};
    RunAndEscape("1", "0");
    EXPECT_TRUE(TerminateCalls().empty());
}

TEST_F(Lifecycle, AnnotationsAreDeletedInCornerThenSideOrderAndForgotten) {
    // Real elements stand behind the recorded ids, as after an annotated insert.
    vel::Drawing& d = host().drawing();
    std::vector<int> ids;
    for (int i = 0; i < 8; ++i) {
        const int seg =
            d.createSegment(i < 4 ? vel::SegmentKind::Comment : vel::SegmentKind::Dimension);
        ids.push_back(d.appendElement(seg, i < 4 ? vel::ElementBody{vel::LeaderElement{}}
                                                 : vel::ElementBody{vel::DimensionElement{}}));
    }
    InsertAnnotations& a = gInsertAnnotations;
    a.leaderUpLeft = ids[0], a.leaderUpRight = ids[1], a.leaderDownLeft = ids[2];
    a.leaderDownRight = ids[3], a.dimensionUp = ids[4], a.dimensionDown = ids[5];
    a.dimensionLeft = ids[6], a.dimensionRight = ids[7];

    RunAndEscape("0", "1");
    const auto calls = CallsAfter("terminate");
    ASSERT_EQ(calls.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(calls[i]["args"][0], ids[i]);
        EXPECT_EQ(calls[i]["ret"], 0);
    }
    EXPECT_TRUE(d.segments().empty()) << "emptied leader and dimension segments go too";

    // The host may hand out new ids; the next run's deletions must not reach them.
    const int seg = d.createSegment(vel::SegmentKind::Comment);
    const int fresh = d.appendElement(seg, vel::LeaderElement{});
    RunAndEscape("0", "1");
    for (const auto& call : CallsAfter("terminate")) EXPECT_EQ(call["args"][0], 0);
    EXPECT_NE(d.element(fresh), nullptr);
}

TEST_F(Lifecycle, DeletedRectangleIdIsForgotten) {
    const int rect = host().drawing().createSegment(vel::SegmentKind::Figure);
    gPickRectangle.rectangle = {0, rect};
    RunAndEscape("2", "0");
    EXPECT_EQ(host().drawing().segment(rect), nullptr);
    EXPECT_EQ(gPickRectangle.rectangle.id, 0);
}

// The end of a run removes what the choice that started it made temporary, by
// the same test that chose the step: a pick mode of 5 is two points, a method
// of 2 is annotated.
TEST_F(Lifecycle, CleanupFollowsTheChoiceThatStartedTheRun) {
    gPickRectangle.rectangle = {0, 55};
    WriteRegistry({{"mType", "5"}, {"Method", "0"}});
    ASSERT_TRUE(host().startCommand());
    EXPECT_EQ(gInsertSettings.mType, 5);
    EXPECT_EQ(host().eventMask(), VEL_MASK_POINT);
    EXPECT_EQ(host().executeFunc(), &ExecFirstCorner);
    ASSERT_FALSE(host().prompts().empty());
    EXPECT_EQ(host().prompts().back(), u"제 1점 선택(확정:Dialog Open)");
    host().escape();
    EXPECT_EQ(TerminateCalls(), std::vector<std::string>{"VelSgmDeleteSegment"});
    EXPECT_EQ(gPickRectangle.rectangle.id, 0);

    gInsertAnnotations.leaderUpLeft = 31;
    WriteRegistry({{"mType", "0"}, {"Method", "2"}});
    ASSERT_TRUE(host().startCommand());
    EXPECT_EQ(host().executeFunc(), &ExecPickOneAnnotated);
    // Settings stored during the run (the dialog's OK) do not change what is removed.
    WriteRegistry({{"mType", "0"}, {"Method", "0"}});
    LoadInsertSettings();
    host().escape();
    const auto calls = CallsAfter("terminate");
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[0]["fn"], "VelElmDeleteElement");
    EXPECT_EQ(calls[0]["args"][0], 31);
    EXPECT_EQ(gInsertAnnotations.leaderUpLeft, 0);
}

TEST_F(Lifecycle, FirstStepFollowsPickModeAndMethod) {
    struct Case {
        const char* type;
        const char* method;
        int mask;
        VelExecuteFunc execute;
    };
    const Case cases[] = {
        {"0", "0", VEL_MASK_FIGURE, ExecPickOne},
        {"0", "1", VEL_MASK_FIGURE, ExecPickOneAnnotated},
        {"1", "0", VEL_MASK_SELECTION, ExecPickMany},
        {"1", "1", VEL_MASK_SELECTION, ExecPickManyAnnotated},
        {"2", "0", VEL_MASK_POINT, ExecFirstCorner},
        {"2", "1", VEL_MASK_POINT, ExecFirstCornerAnnotated},
        {"-1", "7", VEL_MASK_POINT, ExecFirstCornerAnnotated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("mType ") + c.type + ", Method " + c.method);
        WriteRegistry({{"mType", c.type}, {"Method", c.method}});
        ASSERT_TRUE(host().startCommand());
        EXPECT_EQ(host().eventMask(), c.mask);
        EXPECT_EQ(host().executeFunc(), c.execute);
        host().escape();
    }
}

TEST_F(Lifecycle, EveryRunReloadsTheStoredSettings) {
    WriteRegistry({{"mType", "0"}, {"Method", "0"}, {"mDisUp", "5.0"}});
    ASSERT_TRUE(host().startCommand());
    gInsertSettings.mDisUp = 42.0;  // as an annotation popup would
    host().escape();
    ASSERT_TRUE(host().startCommand());
    EXPECT_EQ(gInsertSettings.mDisUp, 5.0);
    host().escape();
}

TEST_F(Lifecycle, FirstRunOnAnEmptyRegistryWritesEveryDefault) {
    ASSERT_TRUE(host().startCommand());
    host().escape();
    std::ifstream in(registryFile());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find(StoredDefaultLines()), std::string::npos) << text.str();
}

TEST_F(Lifecycle, StepsOnlyEndTheRunOnConfirm) {
    WriteRegistry({{"mType", "0"}, {"Method", "0"}});
    ASSERT_TRUE(host().startCommand());
    VelEventData other;
    other.code = VEL_EVENT_OTHER;
    EXPECT_EQ(host().dispatch(other), VEL_EXEC_UNUSED);
    EXPECT_TRUE(host().running());
    // Confirm opens the settings dialog; nobody answers it here, so it is
    // closed as soon as it shows, and the run ends all the same.
    UiScope scope;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    closer.start();
    VelEventData confirm;
    confirm.code = VEL_EVENT_CONFIRM;
    EXPECT_EQ(host().dispatch(confirm), VEL_EXEC_END);
    EXPECT_FALSE(host().running());
}

}  // namespace

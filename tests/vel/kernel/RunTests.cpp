// RunTests.cpp - the host's run of a registered command and the session script:
// pre-start, ready and execute results, escape, and what picks reach under each mask.
#include <gtest/gtest.h>

#include <sstream>

#include "vel/io/DrawingFile.h"
#include "vel/io/Script.h"
#include "vel/kernel/Host.h"

namespace {

// A small command whose answers the tests set.
struct Recorder {
    int preStartResult = 0;
    int readyCalls = 0;
    int terminateCalls = 0;
    int mask = VEL_MASK_FIGURE;
    std::vector<int> results;  // answers of the execute function, in turn
    std::vector<VelEventData> events;
    VelCompareFunc compare = nullptr;
};
Recorder rec;

int Execute(int, VelEventData* data) {
    rec.events.push_back(*data);
    if (rec.results.empty()) return VEL_EXEC_UNUSED;
    const int r = rec.results.front();
    rec.results.erase(rec.results.begin());
    return r;
}
int Ready() {
    ++rec.readyCalls;
    VelEvtSetEventMask(rec.mask);
    if (rec.compare) VelEvtSetCompareFunction(rec.compare);
    VelCtlSetExecuteFunc(Execute, u"");
    return 0;
}
int PreStart() {
    return rec.preStartResult;
}
void Terminate() {
    ++rec.terminateCalls;
}

class Run : public ::testing::Test {
protected:
    void SetUp() override {
        rec = Recorder{};
        host().reset();
        ASSERT_EQ(VelCtlRegisterVelLib2(Ready, PreStart, Terminate), 1);
        // Two 10 x 10 squares, side by side, and a dimension under them.
        square_[0] = Square(0, 0);
        square_[1] = Square(20, 0);
        const int dseg = host().drawing().createSegment(vel::SegmentKind::Dimension);
        vel::DimensionElement d;
        d.a = {0, -5};
        d.b = {30, -5};
        dimension_ = host().drawing().appendElement(dseg, d);
    }
    void TearDown() override { host().reset(); }

    static vel::Host& host() { return vel::Host::instance(); }

    int Square(double x, double y) {
        vel::Drawing& d = host().drawing();
        const int seg = d.createSegment(vel::SegmentKind::Figure);
        const vel::Point p[4] = {{x, y}, {x + 10, y}, {x + 10, y + 10}, {x, y + 10}};
        for (int i = 0; i < 4; ++i) {
            vel::FigureElement line;
            line.values[0] = p[i].x, line.values[1] = p[i].y;
            line.values[2] = p[(i + 1) % 4].x, line.values[3] = p[(i + 1) % 4].y;
            d.appendElement(seg, line);
        }
        d.segment(seg)->closed = true;
        return seg;
    }

    void RunScript(const std::string& text) {
        std::istringstream in(text);
        const vel::Script script = vel::parseScript(in, "test.vel");
        vel::ScriptRunner runner(host(), nullptr);
        runner.run(script);
    }

    int square_[2] = {};
    int dimension_ = 0;
};

TEST_F(Run, ExecuteResultsDriveTheRun) {
    rec.results = {VEL_EXEC_NEXT, VEL_EXEC_UNUSED, VEL_EXEC_END};
    ASSERT_TRUE(host().startCommand());
    EXPECT_EQ(rec.readyCalls, 1);
    VelEventData key;
    key.code = VEL_EVENT_OTHER;
    host().dispatch(key);
    EXPECT_EQ(rec.readyCalls, 2) << "2 calls the ready function set last";
    host().dispatch(key);
    EXPECT_EQ(rec.readyCalls, 2) << "3 keeps waiting";
    EXPECT_TRUE(host().running());
    host().dispatch(key);
    EXPECT_FALSE(host().running());
    EXPECT_EQ(rec.terminateCalls, 1);
    EXPECT_EQ(host().dispatch(key), -1) << "nothing waits after the run";
}

TEST_F(Run, PreStartCanCancelAndEscapeEndsTheRunOnce) {
    rec.preStartResult = 1;
    EXPECT_FALSE(host().startCommand());
    EXPECT_EQ(rec.readyCalls, 0);
    rec.preStartResult = 0;
    ASSERT_TRUE(host().startCommand());
    EXPECT_FALSE(host().startCommand()) << "already running";
    host().escape();
    host().escape();
    EXPECT_EQ(rec.terminateCalls, 1);
}

TEST_F(Run, FigurePickReportsTheNearestSegmentWithinTheAperture) {
    RunScript("run\npick 10.5 5\npick 19.6 5\n");
    ASSERT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(rec.events[0].segmentId, square_[0]);
    EXPECT_EQ(rec.events[0].instanceId, 1);
    EXPECT_EQ(rec.events[1].segmentId, square_[1]);
    EXPECT_TRUE(rec.events[1].hasPoint);
    EXPECT_THROW(RunScript("run\npick 15 5\n"), vel::FileError) << "5 units from anything";
    EXPECT_EQ(rec.terminateCalls, 2) << "the script's end leaves the run";
}

TEST_F(Run, PointPickCarriesOnlyThePoint) {
    rec.mask = VEL_MASK_POINT;
    RunScript("run\npick 500 -500\n");
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_EQ(rec.events[0].point.x, 500);
    EXPECT_EQ(rec.events[0].segmentId, -1);
}

int OnlyDimensions(int elementId) {
    const vel::Segment* s = vel::Host::instance().drawing().segmentOfElement(elementId);
    return s && s->kind == vel::SegmentKind::Dimension ? 1 : 0;
}

TEST_F(Run, ElementPickOffersOnlyWhatTheCompareFunctionAccepts) {
    rec.mask = VEL_MASK_ELEMENT;
    rec.compare = OnlyDimensions;
    // The square's bottom edge is nearer than the dimension at (5, -0.4), but not pickable.
    host().setAperture(5.0);
    RunScript("run\npick 5 -0.4\n");
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_EQ(rec.events[0].elementId, dimension_);
}

TEST_F(Run, SelectionGathersPicksAndWindowsThenDoneEndsIt) {
    rec.mask = VEL_MASK_SELECTION;
    RunScript("run\npick 20 5\nselect -1 -1 11 11\nselect -1 -50 100 -49\ndone\n");
    ASSERT_EQ(rec.events.size(), 1u) << "picks under the selection mask send no event";
    EXPECT_EQ(rec.events[0].code, VEL_EVENT_SELECTION_DONE);
    ASSERT_EQ(host().selection().size(), 2u);
    EXPECT_EQ(host().selection()[0].segmentId, square_[1]);
    EXPECT_EQ(host().selection()[1].segmentId, square_[0]);
}

TEST_F(Run, SelectNeedsTheSelectionMask) {
    try {
        RunScript("run\n\nselect 0 0 1 1\n");
        FAIL() << "select under the figure mask";
    } catch (const vel::FileError& e) {
        EXPECT_EQ(e.line(), 3);
    }
}

TEST_F(Run, ParserReportsTheFirstFaultyLine) {
    const char* bad[] = {"run extra\n", "pick 1 2 3\n",        "pick 1e999 0\n",
                         "save\n",      "dialog ok,,cancel\n", "Run\n"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        std::istringstream in(std::string("# header\n") + text);
        try {
            vel::parseScript(in, "s.vel");
            FAIL() << "accepted";
        } catch (const vel::FileError& e) {
            EXPECT_EQ(e.line(), 2);
            EXPECT_EQ(e.file(), "s.vel");
        }
    }
    std::istringstream good("dialog ok, cancel # two answers\nsave out dir/a b.json\n");
    const vel::Script s = vel::parseScript(good, "s.vel");
    ASSERT_EQ(s.commands.size(), 2u);
    EXPECT_EQ(s.commands[0].actions, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_EQ(s.commands[1].file, "out dir/a b.json");
}

TEST_F(Run, MessageBoxesPrintAndAnswerOk) {
    std::ostringstream out;
    host().setMessageStream(&out);
    EXPECT_EQ(VelDlgMessageBox(u"Insert 형상을 작성할 수 없습니다."), 1);
    EXPECT_EQ(out.str(), "message: Insert 형상을 작성할 수 없습니다.\n");
    ASSERT_EQ(host().messages().size(), 1u);
}

}  // namespace

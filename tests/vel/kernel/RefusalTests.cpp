// RefusalTest.cpp - every host call that refuses leaves a reason in plain words naming what
// was wrong; the answers a step asks for as a matter of course leave none.
#include <gtest/gtest.h>

#include <functional>

#include "host/VelLib.h"
#include "tests/vel/kernel/KernelTestSupport.h"
#include "vel/kernel/Host.h"

namespace vel::test {
namespace {

struct Refused {
    const char* call;
    std::function<int()> run;
    std::string reason;  // a part of what the host says
};

TEST(HostRefusals, EachRefusedCallSaysWhatWasWrong) {
    Host& host = Host::instance();
    host.reset();
    Drawing& d = host.drawing();
    std::vector<int> sides;
    const int plate = insertOutline(d, {{0, 0}, {8, 0}, {8, 4}, {0, 4}}, &sides);
    const int open = d.createSegment(SegmentKind::Figure);
    const int end = d.appendElement(open, lineFigure({0, 10}, {5, 10}));
    const int dims = d.createSegment(SegmentKind::Dimension);
    const int dim = d.appendElement(dims, DimensionElement{});
    const std::string p = std::to_string(plate), s0 = std::to_string(sides[0]);

    const VelPoint at{0, 0};
    FigureData circle{};
    circle.type = VEL_FIG_CIRCLE;
    circle.values[2] = -2;
    FigureData corner{};
    corner.type = VEL_FIG_CORNER_R;
    const LineAttributes red{5, 0, 0};
    const FigureRef plateRef{1, plate}, elsewhere{7, plate}, missing{1, 999};
    FigureBuffer buffer{};
    LengthDimensionData measure{};
    LeaderData leader{};
    ArrowData arrow{};
    SelIdRecord record{};
    VelPoint point{};
    const Refused cases[] = {
        {"create segment", [] { return VelSgmCreateSegment(7, 0); }, "segment kind 7 is none of"},
        {"delete segment", [] { return VelSgmDeleteSegment(999); }, "segment 999 does not exist"},
        {"change layer", [&] { return VelSgmChangeLayer(plate, -2); }, "layer -2 cannot be"},
        {"edit", [&] { return VelSgmEditSegment(plate, &at, &at, 0, 0, 0); }, "scaled by 0"},
        {"segment type", [] { return VelSgmGetType(999); }, "segment 999 does not exist"},
        {"delete element", [] { return VelElmDeleteElement(999); }, "element 999 does not exist"},
        {"next element", [] { return VelElmGetNextElementId(999); }, "element 999 does not"},
        {"create figure", [&] { return VelFigCreateFigure(dims, &circle); },
         "segment " + std::to_string(dims) + " is a dimension, not a figure"},
        {"bad circle", [&] { return VelFigCreateFigure(plate, &circle); },
         "a circle of radius -2 cannot be drawn"},
        {"insert corner", [&] { return VelFigInsertFigure(sides[0], &corner); },
         "a corner R is cut between two lines"},
        {"set closed", [&] { return VelFigSetClosed(dims, 1); }, "is a dimension, not a figure"},
        {"line type", [&] { return VelFigSetLineType(dim, &red); },
         "element " + std::to_string(dim) + " is a dimension, not a figure"},
        {"far corner", [&] { return VelFigAddCorner(sides[0], sides[2], 0, 1); },
         "are not next to each other"},
        {"big corner", [&] { return VelFigAddCorner(sides[0], sides[1], 0, 200); },
         "the corner R 200 does not fit where sides of 8 and 4 meet"},
        {"amend", [&] { return VelFigAmendCorner(sides[0], 1); },
         "element " + s0 + " is a line, not a corner"},
        {"remove", [&] { return VelFigRemoveCorner(sides[0]); }, "is a line, not a corner"},
        {"direction", [&] { return VelFigGetDirection(open); }, "is open: it has no inside"},
        {"offset", [&] { return VelFigOffset(&plateRef, -3); },
         "the offset of 3 inwards turns the 8 × 4 figure " + p + " inside out"},
        {"offset elsewhere", [&] { return VelFigOffset(&elsewhere, 1); },
         "instance 7 is not the drawing's"},
        {"get figure", [&] { return VelFigGetFigure(&missing, &buffer); },
         "element 999 does not exist"},
        {"layer", [] { return VelLyrCreateLayer(-1); }, "layer -1 cannot be"},
        {"dimension", [&] { return VelDimCreateLineLength(plate, &measure); },
         "segment " + p + " is a figure, not a dimension"},
        {"decimals", [&] { return VelDimSetDecimalPlace(dim, 13); }, "13 decimal places"},
        {"arrow", [&] { return VelDimSetArrow(sides[0], 0, &arrow); },
         "is a line, not a dimension"},
        {"leader", [&] { return VelCmtCreateLeader(dims, &leader); },
         "is a dimension, not a comment"},
        {"id set", [] { return VelIddCloseApIdData(3); }, "id set 3 is not the host's"},
        {"selection", [&] { return VelIddGetHeadSelIdData(9, &record); },
         "selection 9 is not open"},
        {"event", [&] { return VelEvtGetPoint(VEL_EVENT_POINTER, nullptr, &point); },
         "no event was given"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.call);
        host.takeRefusal();
        EXPECT_EQ(c.run(), -1);
        EXPECT_NE(host.takeRefusal().text().find(c.reason), std::string::npos) << c.reason;
    }

    // What a step asks as a matter of course: the end of a figure or of the selection, the
    // point of an input that has none, the removal of no segment at all.
    VelEventData confirm{};
    confirm.code = VEL_EVENT_CONFIRM;
    const int handle = VelIddOpenSelIdData(0);
    EXPECT_EQ(VelElmGetNextElementId(end), -1);
    EXPECT_EQ(VelIddGetNextSelIdData(handle, &record), -1);
    EXPECT_EQ(VelEvtGetPoint(VEL_EVENT_CONFIRM, &confirm, &point), -1);
    EXPECT_EQ(VelSgmDeleteSegment(0), -1);
    EXPECT_EQ(host.takeRefusal().text(), "");
    host.reset();
}

// A message is shown in the step that failed: what an earlier step was refused is no reason.
TEST(HostRefusals, EachInputStartsWithoutTheLastStepsRefusal) {
    Host& host = Host::instance();
    host.reset();
    static const VelExecuteFunc refuseOnKey = [](int code, VelEventData*) -> int {
        if (code == VEL_EVENT_OTHER) VelSgmDeleteSegment(999);
        return VEL_EXEC_UNUSED;
    };
    host.registerCommand([] { return VelCtlSetExecuteFunc(refuseOnKey, nullptr); }, nullptr,
                         nullptr);
    ASSERT_TRUE(host.startCommand());
    VelEventData input{};
    input.code = VEL_EVENT_OTHER;
    host.dispatch(input);
    EXPECT_NE(host.takeRefusal().text(), "");
    host.dispatch(input);  // refused, and no message to say so
    input.code = VEL_EVENT_CONFIRM;
    host.dispatch(input);
    EXPECT_EQ(host.takeRefusal().text(), "");
    host.reset();
}

}  // namespace
}  // namespace vel::test

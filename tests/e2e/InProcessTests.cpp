// InProcessTests.cpp - the steps that a session script cannot reach, driven in
// this process through the same stand-in host: a picked element that is no
// annotation, the ids the plug-in forgets once it deleted them, and the text a
// popup starts with.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "geometry/InsertAnnotations.h"
#include "host/EditSteps.h"
#include "host/Lifecycle.h"
#include "host/PickRecords.h"
#include "host/PickSteps.h"
#include "settings/InsertSettings.h"
#include "settings/TextConversions.h"
#include "tests/support/Sessions.h"
#include "ui/UiScope.h"
#include "vel/io/DrawingFile.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/kernel/Host.h"

namespace e2e {
namespace {

class InProcess : public orvanta_test::ScratchRegistryTest {
protected:
    InProcess() : ScratchRegistryTest("inprocess") {}

    void SetUp() override {
        ScratchRegistryTest::SetUp();
        host().reset();
        std::istringstream drawing(kPlateDrawing);
        vel::readJsonDrawing(drawing, "plate.json", host().drawing());
        host().registerCommand(FirstReady, PreStart, Terminate);
        gInsertAnnotations = {};
        gPickRectangle = {};
        gRetainedFigures.count = 0;
    }
    void TearDown() override {
        host().escape();
        host().reset();
        ScratchRegistryTest::TearDown();
    }

    static vel::Host& host() { return vel::Host::instance(); }

    void Registry(const std::vector<std::pair<std::string, std::string>>& values) const {
        writeRegistry(values);
    }

    static int PickSegment(int segment, double x, double y) {
        VelEventData e;
        e.code = VEL_EVENT_POINTER;
        e.hasPoint = true;
        e.point = {x, y};
        e.segmentId = segment;
        e.instanceId = 1;
        return host().dispatch(e);
    }
    static int PickElement(int element) {
        VelEventData e;
        e.code = VEL_EVENT_POINTER;
        e.hasPoint = true;
        e.elementId = element;
        e.segmentId = host().drawing().segmentOfElement(element)->id;
        e.instanceId = 1;
        return host().dispatch(e);
    }
    static int PickPoint(double x, double y) {
        VelEventData e;
        e.code = VEL_EVENT_POINTER;
        e.hasPoint = true;
        e.point = {x, y};
        return host().dispatch(e);
    }

    static int SegmentsOnLayer(int layer) {
        int n = 0;
        for (const auto& [id, s] : host().drawing().segments()) n += s.layer == layer;
        return n;
    }

    static std::vector<int> AnnotationIds() {
        const InsertAnnotations& a = gInsertAnnotations;
        return {a.leaderUpLeft, a.leaderUpRight, a.leaderDownLeft, a.leaderDownRight,
                a.dimensionUp,  a.dimensionDown, a.dimensionLeft,  a.dimensionRight};
    }
};

TEST_F(InProcess, PickedElementThatIsNoAnnotationEndsTheRunWithoutHole) {
    Registry({{"mType", "0"}, {"Method", "1"}, {"mIsCheckHole", "1"}});
    ASSERT_TRUE(host().startCommand());
    ASSERT_EQ(PickSegment(1, 50, 0), VEL_EXEC_NEXT);
    ASSERT_EQ(host().executeFunc(), &ExecEdit);
    // A line of the plate itself, which the compare function would not offer.
    EXPECT_EQ(IsAnnotationElement(2), 0);
    EXPECT_EQ(PickElement(2), VEL_EXEC_END);
    EXPECT_FALSE(host().running());
    EXPECT_EQ(SegmentsOnLayer(100), 0) << "no hole";
    // The run's end removed the annotations and forgot their ids; the insert stays.
    for (int id : AnnotationIds()) EXPECT_EQ(id, 0);
    EXPECT_NE(host().drawing().segment(gInsertAnnotations.outlineSegment), nullptr);
}

TEST_F(InProcess, CompareFunctionOffersExactlyTheEightAnnotations) {
    Registry({{"mType", "0"}, {"Method", "1"}});
    ASSERT_TRUE(host().startCommand());
    ASSERT_EQ(PickSegment(1, 50, 0), VEL_EXEC_NEXT);
    EXPECT_EQ(host().compare(), &IsAnnotationElement);
    int offered = 0;
    for (const auto& [id, s] : host().drawing().segments())
        for (const vel::Element& e : s.elements) offered += IsAnnotationElement(e.id);
    EXPECT_EQ(offered, 8);
    for (int id : AnnotationIds()) EXPECT_EQ(IsAnnotationElement(id), 1);
    EXPECT_EQ(IsAnnotationElement(0), 0);
    EXPECT_EQ(IsAnnotationElement(-1), 0);
    host().escape();
    // Deleted and forgotten: none is offered any more, id 0 least of all.
    for (int id : AnnotationIds()) EXPECT_EQ(id, 0);
    EXPECT_EQ(IsAnnotationElement(0), 0);
}

// A continuous run reads the settings once, at its start: a value changed in the registry
// between two of its inserts shapes only the next run's.
TEST_F(InProcess, AContinuousRunKeepsTheSettingsItStartedWith) {
    Registry({{"mType", "0"}, {"Method", "0"}, {"mDisUp", "5.0"}, {"mIsCurLayer", "1"}});
    ASSERT_TRUE(host().startCommand());
    auto topOfNewest = [] {
        return vel::drawnExtentsOf(host().drawing(),
                                   std::prev(host().drawing().segments().end())->second)
            .maxY;
    };
    ASSERT_EQ(PickSegment(6, 60, 25), VEL_EXEC_NEXT);  // the circle: top at 35
    EXPECT_DOUBLE_EQ(topOfNewest(), 40.0);
    Registry({{"mType", "0"}, {"Method", "0"}, {"mDisUp", "20.0"}, {"mIsCurLayer", "1"}});
    ASSERT_EQ(PickSegment(1, 50, 0), VEL_EXEC_NEXT);  // the plate: top at 50
    EXPECT_DOUBLE_EQ(topOfNewest(), 55.0) << "the run's own 5, not the stored 20";
    host().escape();
    ASSERT_TRUE(host().startCommand());
    ASSERT_EQ(PickSegment(1, 50, 0), VEL_EXEC_NEXT);
    EXPECT_DOUBLE_EQ(topOfNewest(), 70.0) << "the next run reads the stored 20";
}

// With two corners and the annotated method, the first corner arms the second as the continuous
// method does: a point, echoed from the first corner, with the second corner's prompt.
TEST_F(InProcess, TheAnnotatedMethodArmsTheSecondCornerFromTheFirst) {
    for (const char* method : {"0", "1"}) {
        SCOPED_TRACE(std::string("Method ") + method);
        Registry({{"mType", "2"}, {"Method", method}});
        ASSERT_TRUE(host().startCommand());
        const std::u16string first = host().prompts().back();
        ASSERT_EQ(PickPoint(-10, -10), VEL_EXEC_NEXT);
        EXPECT_EQ(host().eventMask(), 0x60000);
        ASSERT_TRUE(host().echo().has_value());
        EXPECT_EQ(host().echo()->x, -10);
        EXPECT_EQ(host().echo()->y, -10);
        EXPECT_NE(host().prompts().back(), first);
        EXPECT_EQ(host().prompts().back(), u"제 2점 선택 :");
        EXPECT_EQ(host().executeFunc(),
                  *method == '1' ? &ExecSecondCornerAnnotated : &ExecSecondCorner);
        host().escape();
    }
}

TEST_F(InProcess, RectangleIdIsForgottenOnceTheInsertAroundItIsMade) {
    Registry({{"mType", "2"}, {"Method", "0"}});
    ASSERT_TRUE(host().startCommand());
    ASSERT_EQ(PickPoint(10, 20), VEL_EXEC_NEXT);
    ASSERT_EQ(PickPoint(40, 5), VEL_EXEC_NEXT);
    EXPECT_EQ(gPickRectangle.rectangle.id, 0);
    EXPECT_EQ(gPickRectangle.rectangle.instanceId, 0);
    EXPECT_EQ(gPickRectangle.firstCorner.x, 10);
    EXPECT_EQ(gPickRectangle.secondCorner.y, 5);
    EXPECT_EQ(host().executeFunc(), &ExecFirstCorner);
}

// A second corner the host cannot draw a line to: the part of the rectangle
// made goes again, no failure id is recorded, and the step says it cannot.
TEST_F(InProcess, RectangleTheHostRefusesLeavesNothingAndNoFailureId) {
    for (const char* method : {"0", "1"}) {
        SCOPED_TRACE(method);
        Registry({{"mType", "2"}, {"Method", method}});
        ASSERT_TRUE(host().startCommand());
        const size_t segments = host().drawing().segments().size();
        ASSERT_EQ(PickPoint(10, 20), VEL_EXEC_NEXT);
        EXPECT_EQ(PickPoint(HUGE_VAL, 5), VEL_EXEC_END);
        EXPECT_EQ(host().messages().back(), method[0] == '0'
                                                ? u"Insert 형상을 작성할 수 없습니다."
                                                : u"Insert 형상을 작성할 수 없습니다.(5)");
        EXPECT_EQ(host().drawing().segments().size(), segments);
        EXPECT_EQ(gPickRectangle.rectangle.id, 0);
    }
}

TEST_F(InProcess, RectangleIdIsForgottenWhenConfirmEndsTheEditing) {
    Registry({{"mType", "2"}, {"Method", "1"}});
    ASSERT_TRUE(host().startCommand());
    ASSERT_EQ(PickPoint(10, 20), VEL_EXEC_NEXT);
    ASSERT_EQ(PickPoint(40, 5), VEL_EXEC_NEXT);
    const int rect = gPickRectangle.rectangle.id;
    ASSERT_GT(rect, 0);
    EXPECT_EQ(gRetainedFigures.count, 1);
    EXPECT_EQ(gRetainedFigures.slots[1].id, rect);
    EXPECT_EQ(gRetainedFigures.slots[1].instanceId, 0);
    ASSERT_EQ(host().executeFunc(), &ExecEditRect);
    VelEventData confirm;
    confirm.code = VEL_EVENT_CONFIRM;
    EXPECT_EQ(host().dispatch(confirm), VEL_EXEC_END);
    EXPECT_EQ(host().drawing().segment(rect), nullptr);
    EXPECT_EQ(gPickRectangle.rectangle.id, 0);
}

TEST_F(InProcess, SelectionBeyondTheListIsRefusedWithoutWritingPastIt) {
    // 1200 one-point figures, all selected: more than a list holds.
    vel::Drawing& d = host().drawing();
    d.clear();
    std::vector<int> segments;
    for (int i = 0; i < 1200; ++i) {
        const int seg = d.createSegment(vel::SegmentKind::Figure);
        FigureData f{};
        f.type = VEL_FIG_CIRCLE;
        f.values[0] = i % 40, f.values[1] = i / 40, f.values[2] = 0.1;
        ASSERT_GT(VelFigCreateFigure(seg, &f), 0);
        segments.push_back(seg);
    }
    Registry({{"mType", "1"}, {"Method", "1"}});
    ASSERT_TRUE(host().startCommand());
    for (int seg : segments) host().addToSelection(seg);
    VelEventData done;
    done.code = VEL_EVENT_SELECTION_DONE;
    EXPECT_EQ(host().dispatch(done), VEL_EXEC_END);
    ASSERT_FALSE(host().messages().empty());
    EXPECT_EQ(host().messages().back(), u"Insert 형상을 작성할 수 없습니다.(2)");
    EXPECT_EQ(gRetainedFigures.count, FigureList::kMaxFigures);
    EXPECT_EQ(gRetainedFigures.slots[FigureList::kMaxFigures].id, segments[998]);
    EXPECT_EQ(gRetainedFigures.slots[0].id, 0) << "slot 0 stays unused";
}

// Answers the next popup in this process as a user would: its value field gets
// the text and Enter is pressed in it. Lives while a UiScope does.
class PopupAnswer {
public:
    explicit PopupAnswer(QString text) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, text] {
            QWidget* popup = QApplication::activeModalWidget();
            auto* edit = popup ? popup->findChild<QLineEdit*>(QStringLiteral("12025")) : nullptr;
            if (!edit) return;
            timer_.stop();
            shown_ = edit->text();
            edit->setText(text);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(edit, &enter);
        });
        timer_.start();
    }
    const QString& Shown() const { return shown_; }

private:
    QTimer timer_;
    QString shown_;
};

// A chamfer of 70 does not fit the 61 high insert: the host refuses it after
// the new outline was made. The new outline goes again and the insert the user
// had stays, with the value it was made with.
TEST_F(InProcess, FailedRebuildAfterACornerEditShowsMessageThreeAndKeepsTheInsert) {
    Registry({{"mType", "0"}, {"Method", "1"}, {"mValueUpLeft", "2.0"}, {"mUpLeft", "2"}});
    ASSERT_TRUE(host().startCommand());
    ASSERT_EQ(PickSegment(1, 50, 0), VEL_EXEC_NEXT);
    const int outline = gInsertAnnotations.outlineSegment;
    const int leader = gInsertAnnotations.leaderUpLeft;
    const vel::Segment before = *host().drawing().segment(outline);

    UiScope scope;
    ASSERT_TRUE(scope.Available());
    PopupAnswer answer(QStringLiteral("70"));
    EXPECT_EQ(PickElement(leader), VEL_EXEC_END);
    EXPECT_EQ(answer.Shown(), QStringLiteral("2.0"));
    ASSERT_FALSE(host().messages().empty());
    EXPECT_EQ(host().messages().back(), u"Insert 형상을 작성할 수 없습니다.(3)");
    EXPECT_FALSE(host().running());
    EXPECT_EQ(gInsertSettings.mValueUpLeft, 2.0) << "the value typed is not kept";
    const vel::Segment* kept = host().drawing().segment(outline);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->elements.size(), before.elements.size());
    EXPECT_EQ(gInsertAnnotations.outlineSegment, outline);
    // Only the part, its circle and the insert: the run's end took the annotations.
    EXPECT_EQ(host().drawing().segments().size(), 3u);
    for (int id : AnnotationIds()) EXPECT_EQ(id, 0);
}

// ---- the text a popup starts with ----------------------------------------------------

TEST(OneDecimalText, OneDecimalLikePrintf) {
    EXPECT_EQ(OneDecimalText(5.0), u"5.0");
    EXPECT_EQ(OneDecimalText(7.26), u"7.3");
    EXPECT_EQ(OneDecimalText(2.0), u"2.0");
    EXPECT_EQ(OneDecimalText(-0.04), u"-0.0");
    EXPECT_EQ(OneDecimalText(0.05), u"0.1");  // 0.05 lies just above the half
    EXPECT_EQ(OneDecimalText(0.25), u"0.2");  // an exact half goes to even
    EXPECT_EQ(OneDecimalText(1e-300), u"0.0");
}

TEST(OneDecimalText, LargestValuesKeepEveryDigit) {
    const std::u16string max = OneDecimalText(DBL_MAX);
    EXPECT_EQ(max.size(), 309u + 2u);
    EXPECT_EQ(max.substr(0, 6), u"179769");
    EXPECT_EQ(max.substr(max.size() - 2), u".0");
    EXPECT_EQ(OneDecimalText(-DBL_MAX).size(), 309u + 3u);
    EXPECT_EQ(OneDecimalText(1e300).size(), 301u + 2u);
}

TEST(OneDecimalText, IgnoresTheUsersDecimalComma) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no de_DE.UTF-8 locale here (scripts/test.sh makes one)";
    EXPECT_EQ(OneDecimalText(7.25), u"7.2");
    EXPECT_EQ(OneDecimalText(1234.5), u"1234.5");
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
}  // namespace e2e

// WindowInputTests.cpp - what the person's hand does on the canvas reaches the command as
// meant: windows dragged either way, the rubber band, keys typed after a menu or a popup,
// points typed at a prompt, snapping to ends, texts picked as their lines, and Shift taking
// figures out of the selection.
#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <cmath>
#include <map>

#include "vel/io/DrawingView.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/robot/DialogRobot.h"

#include "tests/vel/gui/WindowTestSupport.h"

namespace e2e {
namespace {

// Dragged from right to left, the window takes every figure it meets, from left to right only
// those wholly inside: lines, arcs and circles beside it (their boxes over it or round it), across
// it and inside it. The window runs from (0, 0) to (10, 10).
TEST_F(WindowSessions, AWindowTakesWhatItMeetsDraggedLeftAndWhatItHoldsDraggedRight) {
    const std::vector<std::pair<const char*, std::string>> figures = {
        {"line beside", "LINE\n10\n12\n20\n0\n11\n12\n21\n10"},
        {"line across", "LINE\n10\n-5\n20\n5\n11\n15\n21\n5"},
        {"line inside", "LINE\n10\n2\n20\n2\n11\n8\n21\n3"},
        {"line with one end in", "LINE\n10\n5\n20\n5\n11\n20\n21\n20"},
        {"line past the corner", "LINE\n10\n9\n20\n13\n11\n13\n21\n9"},
        {"line across a corner", "LINE\n10\n-1.5\n20\n8\n11\n1.3\n21\n10.8"},
        {"arc round the corner", "ARC\n10\n5\n20\n5\n40\n9\n50\n0\n51\n90"},
        {"arc across", "ARC\n10\n5\n20\n-3\n40\n5\n50\n0\n51\n180"},
        {"arc inside", "ARC\n10\n5\n20\n5\n40\n3\n50\n0\n51\n90"},
        {"circle round the window", "CIRCLE\n10\n5\n20\n5\n40\n8"},
        {"circle across", "CIRCLE\n10\n10\n20\n5\n40\n3"},
        {"circle inside", "CIRCLE\n10\n4\n20\n6\n40\n2"},
        {"circle beside the corner", "CIRCLE\n10\n13\n20\n13\n40\n3.5"},
        // Figures far larger than the window, whose boxes hold it.
        {"long line across", "LINE\n10\n-1000\n20\n5\n11\n1000\n21\n6"},
        {"long line below", "LINE\n10\n-1000\n20\n-1\n11\n1000\n21\n-2"},
        {"big circle through", "CIRCLE\n10\n5\n20\n-995.5\n40\n1000"},
        {"big circle round the window", "CIRCLE\n10\n5\n20\n5\n40\n1000"},
        {"big arc through", "ARC\n10\n-994\n20\n4.5\n40\n1000\n50\n350\n51\n10"},
        // Its top, 0.05 inside the window's lower edge, lies between two of any 256 chords of it.
        {"big arc grazing", "ARC\n10\n5\n20\n-999.95\n40\n1000\n50\n0.7\n51\n179.3"},
    };
    std::string entities;
    for (const auto& [name, entity] : figures) entities += "0\n" + entity + "\n";
    Write("figures.dxf", "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n");
    Write("window.reg", ReadFile(kExamples + "/sessions/window-continuous.reg"));
    OpenWindow(Path("figures.dxf"));
    std::map<int, std::string> names;
    for (const auto& [id, segment] : host().drawing().segments())
        names[id] = figures.at(names.size()).first;
    vel::Extents around;  // the window and what lies beside it, over the whole canvas
    around.add(vel::Point{-6, -6});
    around.add(vel::Point{18, 18});
    canvas().showArea(around);

    auto taken = [&](QPoint from, QPoint to) {
        type(QStringLiteral("insert"));
        Drag(from, to);
        std::vector<std::string> out;
        for (const SelIdRecord& r : host().selection()) out.push_back(names.at(r.segmentId));
        QTest::keyClick(&canvas(), Qt::Key_Escape);
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(
        taken(PixelOf(10, 0), PixelOf(0, 10)),
        (std::vector<std::string>{"arc across", "arc inside", "big arc grazing", "big arc through",
                                  "big circle through", "circle across", "circle inside",
                                  "line across", "line across a corner", "line inside",
                                  "line with one end in", "long line across"}));
    EXPECT_EQ(taken(PixelOf(0, 10), PixelOf(10, 0)),
              (std::vector<std::string>{"arc inside", "circle inside", "line inside"}));
    EXPECT_EQ(host().drawing().segments().size(), figures.size()) << "nothing made";
}

// The rubber band from a rectangle's first corner goes when the second corner is taken, whatever
// the step after it: the first corner again (continuous) or the editing (annotated).
TEST_F(WindowSessions, TheRubberBandGoesWithTheStepThatAskedForIt) {
    for (const char* settings : {"corners-continuous", "corners-annotated"}) {
        SCOPED_TRACE(settings);
        Write("window.reg", ReadFile(kExamples + "/sessions/" + settings + ".reg"));
        OpenWindow(kExamples + "/bracket.dxf");
        std::vector<std::string> queue;
        Play("run\npick -4 -4\n", queue);
        EXPECT_TRUE(host().echo().has_value()) << "the band follows the mouse to the second corner";
        Play("pick 164 104\n", queue);
        ASSERT_TRUE(host().running());
        EXPECT_FALSE(host().echo().has_value()) << "the next step has no band";
        QTest::keyClick(&canvas(), Qt::Key_Escape);
        window_.reset();
    }
}

// A menu opened and left with Escape keeps no hold on the keyboard: typing over the canvas goes
// to the command line, as anywhere else over it.
TEST_F(WindowSessions, TypingOverTheCanvasGoesToTheCommandLineAfterAMenu) {
    OpenWindow(kExamples + "/bracket.dxf");
    QMenuBar* bar = window_->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(0)).center());
    ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "the File menu is open";
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTest::mouseMove(&canvas(), canvas().rect().center());
    QApplication::processEvents();
    // Typed as the window system hands keys over: to whatever holds the keyboard.
    for (const char c : std::string("insert")) QTest::keyClick(window_->windowHandle(), c);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "no menu opened by a letter";
    EXPECT_EQ(window_->commandLine().text(), QStringLiteral("insert"));
}

// After a popup closes, what is lit is what lies under the cursor then, not the leader that was
// clicked: the cursor went to the popup's buttons meanwhile.
TEST_F(WindowSessions, AfterAPopupClosesOnlyWhatLiesUnderTheCursorIsLit) {
    Write("window.reg", ReadFile(kExamples + "/sessions/window-annotated.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    std::vector<std::string> queue;
    std::ostringstream robotErrors;
    vel::DialogRobot robot(queue, robotErrors, false);
    Play("run\nselect -1 -1 161 101\ndone\n", queue);
    QTest::keyClick(&canvas(), Qt::Key_Home);
    const QPoint leader = PixelOf(-9.5, 109.5);
    ASSERT_TRUE(canvas().targetAt(leader).elementId.has_value());
    auto litPixels = [&] {
        const QImage image = canvas().grab().toImage();
        int lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) lit += image.pixel(x, y) == qRgb(255, 196, 64);
        return lit;
    };
    // The cursor rests where the popup's buttons will be; the click on the leader is a press and
    // a release there, and the popup is cancelled.
    QCursor::setPos(canvas().mapToGlobal(PixelOf(80, 50)));
    queue = {"cancel"};
    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, leader);
    EXPECT_TRUE(queue.empty()) << "the popup opened";
    EXPECT_EQ(litPixels(), 0);
    EXPECT_FALSE(robot.failed()) << robotErrors.str();
}

// Corners typed on the command line, absolute and relative to the last point, are taken as if
// clicked there; what is no point is said and leaves the prompt as it was.
TEST_F(WindowSessions, PointsTypedAtAPromptAreTakenAsClicks) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    const size_t before = host().drawing().segments().size();
    type(QStringLiteral("insert"));
    const std::u16string firstPrompt = host().prompts().back();
    QTest::keyClicks(&canvas(), QStringLiteral("12,abc"));
    QTest::keyClick(&window_->commandLine(), Qt::Key_Return);
    EXPECT_EQ(host().prompts().back(), firstPrompt);
    EXPECT_FALSE(host().echo().has_value()) << "no corner taken";
    EXPECT_EQ(window_->commandLine().text(), QStringLiteral("12,abc")) << "kept to be put right";
    window_->commandLine().clear();
    type(QStringLiteral("-4,-4"));
    EXPECT_TRUE(host().echo().has_value()) << "the first corner";
    type(QStringLiteral("@168,108"));  // to (164, 104)
    ASSERT_EQ(host().drawing().segments().size(), before + 2) << "the insert and its hole";
    // Around the corners' rectangle by the default distances: 6 left and below, 5 right and above.
    const vel::Extents outline = vel::drawnExtentsOf(
        host().drawing(), std::prev(host().drawing().segments().end(), 2)->second);
    EXPECT_DOUBLE_EQ(outline.minX, -10);
    EXPECT_DOUBLE_EQ(outline.minY, -10);
    EXPECT_DOUBLE_EQ(outline.maxX, 169);
    EXPECT_DOUBLE_EQ(outline.maxY, 109);
}

// One rule for a text that is no point, whatever its separators: refused with the reason and kept
// to be put right, space a blank within it; a click that answers the prompt takes it away, so that
// Enter at the next step confirms.
TEST_F(WindowSessions, TextThatIsNoPointIsKeptUntilAClickAnswersThePrompt) {
    Write("window.reg", ReadFile(kExamples + "/sessions/one-annotated.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    type(QStringLiteral("insert"));
    const std::u16string prompt = host().prompts().back();
    for (const QString& text :
         {QStringLiteral("12;5"), QStringLiteral("12 5"), QStringLiteral("12,abc")}) {
        SCOPED_TRACE(text.toStdString());
        window_->commandLine().clear();
        QTest::keyClicks(&canvas(), text);
        EXPECT_EQ(window_->commandLine().text(), text) << "space is a blank within a point";
        QTest::keyClick(&window_->commandLine(), Qt::Key_Return);
        EXPECT_EQ(host().prompts().back(), prompt);
        EXPECT_EQ(window_->commandLine().text(), text) << "kept to be put right";
        EXPECT_TRUE(
            window_->statusBar()->currentMessage().startsWith(QStringLiteral("not a point")))
            << window_->statusBar()->currentMessage().toStdString();
    }
    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, PixelOf(80, 0));
    ASSERT_EQ(host().eventMask(), VEL_MASK_ELEMENT) << "the editing step";
    EXPECT_EQ(window_->commandLine().text(), QString()) << "the click answered the prompt";
    QTest::keyClick(&window_->commandLine(), Qt::Key_Return);
    EXPECT_FALSE(host().running()) << "Enter confirmed the insert";
}

// An end worked out a hair left of the y axis reads as 0.000 in the status, never -0.000.
TEST_F(WindowSessions, StatusShowsASnapOnTheAxisAsZero) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    type(QStringLiteral("insert"));
    // The round corner's end there is 10 - 10.000000000000002: a pixel beside the line's own end
    // (0, 90) that snaps to it.
    std::optional<QPoint> corner;
    for (int dx = -4; dx <= 4 && !corner; ++dx)
        for (int dy = -4; dy <= 4 && !corner; ++dy) {
            const QPoint p = PixelOf(0, 90) + QPoint(dx, dy);
            const std::optional<vel::Snap> snap = canvas().snapAt(p);
            if (snap && snap->at.x < 0.0 && snap->at.x > -1e-9) corner = p;
        }
    ASSERT_TRUE(corner.has_value()) << "an end a hair left of the axis";
    QTest::mouseMove(&canvas(), *corner);
    auto* coordinates = window_->findChild<QLabel*>(QStringLiteral("coordinates"));
    ASSERT_NE(coordinates, nullptr);
    EXPECT_EQ(coordinates->text(), QStringLiteral("X 0.000   Y 90.000"));
}

// Two corners snapped to the part's ends, a few pixels off them; F3 turns snapping off, and the
// next window remembers it.
TEST_F(WindowSessions, CornersSnapToTheEndsTheCursorComesNear) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    const size_t before = host().drawing().segments().size();
    auto* snapState = window_->findChild<QLabel*>(QStringLiteral("snapState"));
    type(QStringLiteral("insert"));
    const QPoint nearEnd = PixelOf(10, 0) + QPoint(3, -2);
    QTest::mouseMove(&canvas(), nearEnd);
    EXPECT_EQ(snapState->text(), QStringLiteral("Endpoint"));
    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, nearEnd);
    QTest::mouseMove(&canvas(), PixelOf(150, 100) + QPoint(-2, 3));
    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, PixelOf(150, 100) + QPoint(-2, 3));
    ASSERT_EQ(host().drawing().segments().size(), before + 2) << "the insert and its hole";
    // Around the ends' rectangle by the default distances: 6 left and below, 5 right and above.
    const vel::Extents outline = vel::drawnExtentsOf(
        host().drawing(), std::prev(host().drawing().segments().end(), 2)->second);
    EXPECT_DOUBLE_EQ(outline.minX, 4);
    EXPECT_DOUBLE_EQ(outline.minY, -6);
    EXPECT_DOUBLE_EQ(outline.maxX, 155);
    EXPECT_DOUBLE_EQ(outline.maxY, 105);
    Shot("snapped-corners");

    QTest::keyClick(&canvas(), Qt::Key_F3);
    QTest::mouseMove(&canvas(), nearEnd);
    EXPECT_EQ(snapState->text(), QString());
    EXPECT_NE(canvas().pointAt(nearEnd).x, 10.0) << "off: the cursor's own point";
    window_.reset();
    host().escape();
    OpenWindow(kExamples + "/bracket.dxf");
    type(QStringLiteral("insert"));
    EXPECT_FALSE(canvas().snapAt(nearEnd).has_value()) << "still off in the next window";
    QTest::keyClick(&canvas(), Qt::Key_F3);
    EXPECT_TRUE(canvas().snapAt(nearEnd).has_value());
}

// In the editing step a leader's or a dimension's text is picked as its line is.
TEST_F(WindowSessions, TextsOfLeadersAndDimensionsArePickedAsTheirLines) {
    Write("window.reg", ReadFile(kExamples + "/sessions/window-annotated.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    std::vector<std::string> queue;
    Play("run\nselect -1 -1 161 101\ndone\n", queue);
    ASSERT_EQ(host().eventMask(), VEL_MASK_ELEMENT);
    QTest::keyClick(&canvas(), Qt::Key_Home);
    const vel::Drawing& d = host().drawing();
    const vel::ViewFrame frame = vel::frameFor(d, d.drawnExtents());
    int texts = 0;
    vel::SegmentView view;
    for (const auto& [id, s] : d.segments()) {
        if (s.kind != vel::SegmentKind::Comment && s.kind != vel::SegmentKind::Dimension) continue;
        vel::viewSegment(d, s, frame, view);
        for (const vel::ViewText& t : view.texts) {
            // Inside the text's first (or last) character, halfway up.
            const double a = t.angleDegrees * M_PI / 180.0;
            const vel::Point along{std::cos(a), std::sin(a)}, up{-along.y, along.x};
            const double side = t.align == vel::TextAlign::Left    ? 0.3
                                : t.align == vel::TextAlign::Right ? -0.3
                                                                   : 0.0;
            const vel::Point inside = t.anchor + along * (side * t.height) + up * (0.5 * t.height);
            const QPoint pixel = canvas().screenPointOf(inside);
            EXPECT_EQ(canvas().targetAt(pixel).elementId, t.elementId) << t.text;
            ++texts;
        }
    }
    EXPECT_EQ(texts, 8) << "four corner leaders and four side dimensions";
}

// Shift takes figures out of the selection, by a click or a window, and the status bar counts
// what is selected.
TEST_F(WindowSessions, ShiftTakesFiguresOutOfTheSelectionAndTheStatusCountsThem) {
    Write("window.reg", ReadFile(kExamples + "/sessions/window-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    std::vector<std::string> queue;
    Play("run\nselect -1 -1 161 101\n", queue);
    const size_t all = host().selection().size();
    ASSERT_EQ(all, 7u) << "the outline, five holes and the slot";
    auto* state = window_->findChild<QLabel*>(QStringLiteral("selectionState"));
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("7 selected")));
    // The bore by a Shift click on its edge, the lower-left hole by a Shift window around it.
    QTest::mouseClick(&canvas(), Qt::LeftButton, Qt::ShiftModifier, PixelOf(92, 50));
    EXPECT_EQ(host().selection().size(), all - 1);
    Drag(PixelOf(9, 21), PixelOf(21, 9), Qt::ShiftModifier);
    EXPECT_EQ(host().selection().size(), all - 2);
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("5 selected")))
        << state->text().toStdString();
    // The slot by a Shift window dragged leftwards across its lower edge alone.
    Drag(PixelOf(60, 30), PixelOf(50, 20), Qt::ShiftModifier);
    EXPECT_EQ(host().selection().size(), all - 3);
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("4 selected")))
        << state->text().toStdString();
    QTest::keyClick(&canvas(), Qt::Key_Escape);
    EXPECT_FALSE(state->isVisible()) << "no count outside a selection";
}

}  // namespace
}  // namespace e2e

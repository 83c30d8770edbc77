// WindowHistoryTests.cpp - what the window keeps from run to run: undo and redo insert by insert
// (and of the current layer) within the history's depth, the view fitted through them, and the
// command history with its prompts, typed lines, messages and the host's refusals.
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <set>
#include <string>

#include "vel/gui/UndoHistory.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/robot/DialogRobot.h"

#include "tests/vel/gui/WindowTestSupport.h"

namespace e2e {
namespace {

// One undo takes back all that one run did, redo puts it back; the plug-in is
// not asked. The pictures show the rubber band of the two-corner pick and the
// editing step with the annotation under the cursor lit.
TEST_F(WindowSessions, UndoTakesBackARunWholeAndThePicturesShowEachStep) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    const json before = json::parse(DrawingJson());
    std::vector<std::string> queue;
    std::ostringstream robotErrors;
    vel::DialogRobot robot(queue, robotErrors, false);
    Play("run\npick -4 -4\n", queue);
    QTest::mouseMove(&canvas(), PixelOf(120, 70));
    Shot("rubber-band");
    Play("pick 120 70\nescape\n", queue);
    const std::string after = DrawingJson();
    ASSERT_NE(json::parse(after), before);
    ASSERT_TRUE(window_->modified());

    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(json::parse(DrawingJson()), before);
    EXPECT_FALSE(window_->modified()) << "back to the drawing as read";
    QTest::keyClick(window_.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(DrawingJson(), after);
    EXPECT_TRUE(window_->modified());
    // Typed on the canvas, "u" + Enter undoes too; a run that changes nothing leaves no step.
    type(QStringLiteral("u"));
    EXPECT_EQ(json::parse(DrawingJson()), before);
    Play("run\nescape\n", queue);
    EXPECT_TRUE(window_->history().canRedo());
    // A command typed leaves the focus on the command line, whose text has undo keys of
    // its own: there Ctrl+Y redoes the drawing, and Ctrl+Z in a run leaves it and undoes.
    QTest::keyClicks(&canvas(), QStringLiteral("insert"));
    for (const Qt::Key key : {Qt::Key_Y, Qt::Key_Return, Qt::Key_Z})
        QTest::keyClick(&window_->commandLine(), key,
                        key == Qt::Key_Return ? Qt::NoModifier : Qt::ControlModifier);
    EXPECT_FALSE(host().running());
    EXPECT_EQ(json::parse(DrawingJson()), before);
    // A layer made current between runs is a step of its own, and a change to save.
    auto* layers = window_->findChild<QListWidget*>(QStringLiteral("layers"));
    ASSERT_NE(layers, nullptr);
    layers->setCurrentRow(layers->count() - 1);
    const int layer = layers->currentItem()->data(Qt::UserRole).toInt();
    QTest::keyClick(layers, Qt::Key_Return);
    EXPECT_EQ(host().drawing().currentLayer(), layer);
    EXPECT_TRUE(window_->modified());
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(host().drawing().currentLayer(), 0);
    EXPECT_FALSE(window_->modified());

    // The editing step, the upper left leader under the cursor.
    Write("window.reg", ReadFile(kExamples + "/sessions/window-annotated.reg"));
    Play("run\nselect -1 -1 161 101\ndone\n", queue);
    ASSERT_EQ(host().eventMask(), VEL_MASK_ELEMENT);
    QTest::keyClick(&canvas(), Qt::Key_Home);  // the insert and its annotations all in view
    QTest::mouseMove(&canvas(), PixelOf(-7.5, 106.5));
    const vel::PickTarget lit = canvas().targetAt(PixelOf(-7.5, 106.5));
    ASSERT_TRUE(lit.elementId.has_value());
    EXPECT_EQ(host().drawing().segmentOfElement(*lit.elementId)->kind, vel::SegmentKind::Comment);
    Shot("editing");
    EXPECT_FALSE(robot.failed()) << robotErrors.str();
}

// The command history keeps every prompt, what was typed and what the window said.
TEST_F(WindowSessions, TheCommandHistoryKeepsPromptsTypedLinesAndMessages) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    type(QStringLiteral("insert"));
    const QString firstCorner = QString::fromStdU16String(host().prompts().back());
    type(QStringLiteral("-4,-4"));
    const QString secondCorner = QString::fromStdU16String(host().prompts().back());
    type(QStringLiteral("@abc"));
    QTest::keyClick(&canvas(), Qt::Key_Escape);
    window_->commandLine().clear();
    type(QStringLiteral("nonsense"));
    auto* history = window_->findChild<QPlainTextEdit*>(QStringLiteral("commandHistory"));
    ASSERT_NE(history, nullptr);
    const QStringList lines = history->toPlainText().split(QLatin1Char('\n'));
    const QStringList expected = {
        firstCorner,
        QStringLiteral("> -4,-4"),
        secondCorner,
        QStringLiteral("> @abc"),
        QStringLiteral("not a point: type x,y, @dx,dy or @distance<angle"),
        QStringLiteral("> nonsense"),
        QStringLiteral("Unknown command: nonsense")};
    qsizetype from = 0;
    for (const QString& line : expected) {
        const qsizetype at = lines.indexOf(line, from);
        EXPECT_GE(at, from) << line.toStdString() << " in order in:\n"
                            << history->toPlainText().toStdString();
        from = std::max(from, at + 1);
    }
}

// A view fitted to the drawing stays fitted: larger while an insert around the part is there,
// and as it was once the insert is undone.
TEST_F(WindowSessions, AFittedViewStaysFittedThroughARunAndItsUndo) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    const QPoint origin = canvas().screenPointOf({0, 0});
    std::vector<std::string> queue;
    Play("run\npick -40 -40\npick 200 140\nescape\n", queue);
    EXPECT_NE(canvas().screenPointOf({0, 0}), origin) << "zoomed out to the insert";
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(canvas().screenPointOf({0, 0}), origin) << "fitted to the part again";
}

// When the host refuses what the plug-in asks, the history says why in plain words beside the
// plug-in's own message.
TEST_F(WindowSessions, TheHistoryNamesWhatTheHostRefused) {
    Write("window.reg",
          "Windows Registry Editor Version 5.00\n\n"
          "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\n"
          "\"mType\"=\"0\"\n\"Method\"=\"0\"\n\"mUpRight\"=\"1\"\n"
          "\"mValueUpRight\"=\"200\"\n");
    OpenWindow(kExamples + "/bracket.dxf");
    std::vector<std::string> queue;
    QTimer closer;  // the person reads the message and closes it
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    closer.start(20);
    Play("run\npick 80 0\n", queue);
    closer.stop();
    const QString history =
        window_->findChild<QPlainTextEdit*>(QStringLiteral("commandHistory"))->toPlainText();
    EXPECT_TRUE(
        history.contains(QStringLiteral("the host refused: the corner R 200 does not fit "
                                        "where sides of")))
        << history.toStdString();
}

// The history through undo and redo, a new run after an undo (which forgets what was undone),
// and more runs than it keeps: the drawing at every step is the one the step names, and the
// drawing is marked changed wherever it differs from the file.
TEST_F(WindowSessions, UndoAndRedoWalkTheHistoryOfRunsWithinItsDepth) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    std::vector<std::string> queue;
    std::vector<json> states = {json::parse(DrawingJson())};
    auto run = [&](int k) {  // a two-point insert of its own size
        Play("run\npick -4 -4\npick " + std::to_string(120 + k) + " 70\nescape\n", queue);
        states.push_back(json::parse(DrawingJson()));
        EXPECT_NE(states.back(), states[states.size() - 2]) << "run " << k << " made nothing";
    };
    auto undo = [&] { QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier); };
    auto redo = [&] { QTest::keyClick(window_.get(), Qt::Key_Y, Qt::ControlModifier); };
    auto now = [] { return json::parse(DrawingJson()); };
    for (int k = 1; k <= 3; ++k) run(k);
    undo(), undo();
    EXPECT_EQ(now(), states[1]);
    redo();
    EXPECT_EQ(now(), states[2]);
    run(4);  // states[4], after states[2]
    redo();
    EXPECT_EQ(now(), states[4]) << "nothing to redo after a new run";
    undo();
    EXPECT_EQ(now(), states[2]) << "the run undone before the new one stays forgotten";
    undo(), undo(), undo();
    EXPECT_EQ(now(), states[0]);
    EXPECT_FALSE(window_->modified());
    EXPECT_FALSE(window_->history().canUndo());

    // One run more than the history keeps: undo goes back to the first run, no further.
    states = {now()};
    const int runs = static_cast<int>(velgui::UndoHistory::kDepth) + 1;
    for (int k = 1; k <= runs; ++k) run(k);
    for (int k = 0; k < runs + 3; ++k) undo();
    EXPECT_EQ(now(), states[1]);
    EXPECT_TRUE(window_->modified())
        << "the first run cannot be undone: the drawing is not the file";
    for (int k = 0; k < runs + 3; ++k) redo();
    EXPECT_EQ(now(), states.back());
}

// What the drawing shows, whatever the ids: each segment's kind and drawn box, sorted.
std::multiset<std::string> Shown() {
    std::multiset<std::string> shown;
    const vel::Drawing& d = vel::Host::instance().drawing();
    for (const auto& [id, s] : d.segments()) {
        const vel::Extents e = vel::drawnExtentsOf(d, s);
        char line[160];
        std::snprintf(line, sizeof line, "%d %.6f %.6f %.6f %.6f", static_cast<int>(s.kind), e.minX,
                      e.minY, e.maxX, e.maxY);
        shown.insert(line);
    }
    return shown;
}

// A continuous run of three inserts takes three undos, one insert (with its hole) each; the
// rectangle the two-corner run shows meanwhile comes back with none of them, and a run that made
// nothing is no step.
TEST_F(WindowSessions, EachInsertOfAContinuousRunIsOneUndoStep) {
    Write("window.reg", ReadFile(kExamples + "/sessions/one-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    std::vector<std::string> queue;
    auto undo = [&] { QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier); };
    std::vector<std::multiset<std::string>> states{Shown()};
    Play("run\n", queue);
    for (const char* pick : {"pick 92 50\n", "pick 19 15\n", "pick 141 15\n"}) {
        Play(pick, queue);
        states.push_back(Shown());
        EXPECT_NE(states.back(), states[states.size() - 2]) << pick << " made nothing";
    }
    Play("escape\n", queue);
    for (int k = 2; k >= 0; --k) {
        undo();
        EXPECT_EQ(Shown(), states[k]) << "undo back to " << k << " inserts";
    }
    EXPECT_FALSE(window_->history().canUndo());
    Play("run\nescape\n", queue);
    EXPECT_FALSE(window_->history().canUndo()) << "a run that made nothing";

    // Two corners, twice: each undo leaves the drawing as the inserts before it made it, with no
    // rectangle back.
    window_.reset();
    host().escape();
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    const std::multiset<std::string> part = Shown();
    Play("run\npick -4 -4\npick 164 104\nescape\n", queue);
    const std::multiset<std::string> one = Shown();
    std::multiset<std::string> twice = one;  // the insert and its hole once more
    for (const std::string& made : one)
        if (!part.count(made)) twice.insert(made);
    Play("run\npick -4 -4\npick 164 104\npick -8 -8\npick 168 108\nescape\n", queue);
    undo();
    EXPECT_EQ(Shown(), twice) << "the second run's first insert stays, with no rectangle";
    undo();
    EXPECT_EQ(Shown(), one) << "the first run's insert";
    undo();
    EXPECT_EQ(Shown(), part);
    EXPECT_FALSE(window_->history().canUndo());
}

}  // namespace
}  // namespace e2e

// WindowSessionTests.cpp - the window driven as a person drives it (clicks,
// drags and keys on the canvas, offscreen) gives the same trace of host calls
// and the same drawing as velhost running the same session as a script: every
// example session, so every pick mode, both methods, the popups and the
// settings dialog. Pictures of what the person sees land in the test output.
#include <dlfcn.h>

#include <QApplication>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>

#include "tests/support/Sessions.h"
#include "vel/dxf/DrawingFiles.h"
#include "vel/gui/Canvas.h"
#include "vel/gui/HostWindow.h"
#include "vel/gui/UndoHistory.h"
#include "vel/gui/WindowLanguage.h"
#include "vel/io/Script.h"
#include "vel/kernel/DrawnSegment.h"
#include "vel/robot/DialogRobot.h"
#include "vel/dxf/DrawingFiles.h"

namespace e2e {
namespace {

const std::string kExamples = std::string(ORVANTA_SOURCE_DIR) + "/examples";
const QSize kCanvas(900, 600);

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// The plug-in as velhost loads it, once for the process; its command registered anew.
void StartPlugin() {
    static void* library = dlopen(ORVANTA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto startup = reinterpret_cast<int (*)()>(dlsym(library, "Startup"));
    ASSERT_NE(startup, nullptr);
    ASSERT_EQ(startup(), 0);
}

// The widget application the window runs in, as velhost makes it, for the whole
// program; the plug-in's dialogs run in it too. It goes before the program ends,
// and with it what the font system holds for it.
class Application : public ::testing::Environment {
public:
    void SetUp() override {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[10] = "gui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new Application);

class WindowSessions : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        QStandardPaths::setTestModeEnabled(true);  // recent files stay out of the home folder
        QSettings(QStringLiteral("Orvanta"), QStringLiteral("velhost"))
            .remove(QStringLiteral("snap"));
        registry_.emplace(Path("window.reg"));
        host().reset();
        StartPlugin();
    }
    void TearDown() override {
        window_.reset();
        host().escape();
        host().setTrace(nullptr);
        host().reset();
        registry_.reset();
        Session::TearDown();
    }

    static vel::Host& host() { return vel::Host::instance(); }

    void OpenWindow(const std::string& drawing) {
        velgui::WindowOptions options;
        options.leftOut = vel::readDrawing(host().drawing(), drawing);
        options.drawing = drawing;
        options.size = kCanvas;
        window_ = std::make_unique<velgui::HostWindow>(host(), options);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        QTest::qWait(20);
        EXPECT_EQ(canvas().size(), kCanvas);  // the drawing area has the size asked for
    }
    velgui::Canvas& canvas() { return window_->canvas(); }

    // The pixel a person clicks for a drawing point, and the drawing point it stands for.
    QPoint PixelOf(double x, double y) { return canvas().screenPointOf({x, y}); }
    std::string At(QPoint pixel) {
        const vel::Point p = canvas().drawingPointOf(pixel);
        return Number(p.x) + " " + Number(p.y);
    }

    void type(const QString& text) {
        QTest::keyClicks(&canvas(), text);
        EXPECT_EQ(window_->commandLine().text(), text);  // what is typed on the canvas lands here
        QTest::keyClick(&window_->commandLine(), Qt::Key_Return);
    }

    // Plays the example's script on the window; returns the same session as a
    // script whose points are those of the pixels clicked.
    std::string Play(const std::string& scriptText, std::vector<std::string>& dialogQueue) {
        std::istringstream in(scriptText);
        const vel::Script script = vel::parseScript(in, "example");
        std::string played;
        using Kind = vel::ScriptCommand::Kind;
        for (const vel::ScriptCommand& c : script.commands) {
            const std::vector<double>& n = c.numbers;
            switch (c.kind) {
                case Kind::Run:
                    type(QStringLiteral("INSERT"));
                    played += "run\n";
                    break;
                case Kind::Pick: {
                    // The point the pixel stands for before the click: a click that
                    // makes something can move the view.
                    const QPoint p = PixelOf(n[0], n[1]);
                    const vel::Point taken = canvas().pointAt(p);  // snapped, near a figure's point
                    played += "pick " + Number(taken.x) + " " + Number(taken.y) + "\n";
                    QTest::mouseMove(&canvas(), p);
                    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, p);
                    break;
                }
                case Kind::Select: {
                    const QPoint a = PixelOf(std::min(n[0], n[2]), std::max(n[1], n[3]));
                    const QPoint b = PixelOf(std::max(n[0], n[2]), std::min(n[1], n[3]));
                    QTest::mousePress(&canvas(), Qt::LeftButton, {}, a);
                    QTest::mouseMove(&canvas(), (a + b) / 2);
                    QTest::mouseMove(&canvas(), b);
                    played += "select " + At(a) + " " + At(b) + "\n";
                    QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, b);
                    break;
                }
                case Kind::Done:
                    QTest::keyClick(&canvas(), Qt::Key_Space);
                    played += "done\n";
                    break;
                case Kind::Confirm:
                    QTest::mouseClick(&canvas(), Qt::RightButton, {}, QPoint(5, 5));
                    played += "confirm\n";
                    break;
                case Kind::Escape:
                    QTest::keyClick(&canvas(), Qt::Key_Escape);
                    played += "escape\n";
                    break;
                case Kind::Key:
                    ADD_FAILURE() << "the examples have no key line";
                    break;
                case Kind::Save:
                    break;
                case Kind::Dialog:
                    dialogQueue.insert(dialogQueue.end(), c.actions.begin(), c.actions.end());
                    played += "dialog ";
                    for (size_t i = 0; i < c.actions.size(); ++i)
                        played += (i ? ", " : "") + c.actions[i];
                    played += "\n";
                    break;
            }
        }
        return played;
    }

    static std::string DrawingJson() {
        std::ostringstream out;
        vel::makeJsonWriter()->write(host().drawing(), out);
        return out.str();
    }

    void Shot(const std::string& name) {
        const fs::path folder = fs::path(ORVANTA_TEST_OUTPUT_DIR) / "window";
        fs::create_directories(folder);
        QCoreApplication::sendPostedEvents();  // the layout follows the texts that changed
        window_->grab().save(QString::fromStdString((folder / (name + ".png")).string()));
    }

    std::unique_ptr<velgui::HostWindow> window_;
    std::optional<orvanta_test::RegistryOverride> registry_;
};

TEST_F(WindowSessions, EveryExampleGivesTheScriptsTraceAndDrawing) {
    for (const char* name : {"bracket-insert", "one-continuous", "one-annotated",
                             "window-continuous", "window-annotated", "corners-continuous",
                             "corners-annotated", "edit-annotated", "settings-dialog"}) {
        SCOPED_TRACE(name);
        const std::string registry = ReadFile(kExamples + "/sessions/" + name + ".reg");
        Write("window.reg", registry);
        Write("registry.reg", registry);
        host().reset();
        std::ostringstream trace;
        host().setTrace(&trace);
        StartPlugin();
        OpenWindow(kExamples + "/bracket.dxf");

        std::vector<std::string> queue;
        std::ostringstream robotErrors;
        vel::DialogRobot robot(queue, robotErrors, false);
        const std::string script = Play(ReadFile(kExamples + "/sessions/" + name + ".vel"), queue);
        window_->escape();  // as the end of a script leaves the command
        host().setTrace(nullptr);
        EXPECT_FALSE(robot.failed()) << robotErrors.str();
        EXPECT_TRUE(queue.empty());
        Shot(name);
        vel::writeDrawing(host().drawing(), Path("window.json"));

        UseDrawingFile(kExamples + "/bracket.dxf");
        const double aperture = canvas().aperturePixels() / canvas().transform().scale();
        const SessionResult scripted = Run(script, "--aperture " + Number(aperture));
        ASSERT_EQ(scripted.status, 0) << scripted.err;

        std::vector<json> windowTrace;
        std::istringstream lines(trace.str());
        for (std::string line; std::getline(lines, line);) windowTrace.push_back(json::parse(line));
        ASSERT_FALSE(windowTrace.empty());
        EXPECT_EQ(windowTrace, scripted.trace);
        EXPECT_EQ(ReadDrawing("window.json"), scripted.drawing);
        EXPECT_EQ(ReadFile(Path("window.reg")), ReadFile(Path("registry.reg")));
        window_.reset();
    }
}

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
    };
    std::string entities;
    for (const auto& [name, entity] : figures) entities += "0\n" + entity + "\n";
    Write("figures.dxf", "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n");
    Write("window.reg", ReadFile(kExamples + "/sessions/window-continuous.reg"));
    OpenWindow(Path("figures.dxf"));
    std::map<int, std::string> names;
    for (const auto& [id, segment] : host().drawing().segments())
        names[id] = figures.at(names.size()).first;

    auto taken = [&](QPoint from, QPoint to) {
        type(QStringLiteral("insert"));
        QTest::mousePress(&canvas(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&canvas(), (from + to) / 2);
        QTest::mouseMove(&canvas(), to);
        QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, to);
        std::vector<std::string> out;
        for (const SelIdRecord& r : host().selection()) out.push_back(names.at(r.segmentId));
        QTest::keyClick(&canvas(), Qt::Key_Escape);
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(taken(PixelOf(10, 0), PixelOf(0, 10)),
              (std::vector<std::string>{"arc across", "arc inside", "circle across",
                                        "circle inside", "line across", "line across a corner",
                                        "line inside", "line with one end in"}));
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

// Under a Korean locale the window's own texts, its key line and the host's refusals are
// Korean; the plug-in's prompt is its own. Under English nothing is translated.
TEST_F(WindowSessions, UnderAKoreanLocaleTheWindowSpeaksKorean) {
    Write("window.reg", ReadFile(kExamples + "/sessions/corners-continuous.reg"));
    {
        const velgui::WindowLanguage korean(QLocale(QLocale::Korean, QLocale::SouthKorea));
        ASSERT_TRUE(korean.translated());
        OpenWindow(kExamples + "/bracket.dxf");
        auto* keys = window_->findChild<QLabel*>(QStringLiteral("keyLine"));
        EXPECT_EQ(window_->menuBar()->actions().front()->text(), QStringLiteral("파일(&F)"));
        EXPECT_EQ(keys->text(), QStringLiteral("insert 입력 후 Enter"));
        type(QStringLiteral("insert"));
        EXPECT_EQ(window_->prompt(), QStringLiteral("제 1점 선택(확정:Dialog Open)"));
        EXPECT_TRUE(keys->text().startsWith(QStringLiteral("클릭하거나 x,y 입력 · F3: 스냅")))
            << keys->text().toStdString();
        QTest::keyClicks(&canvas(), QStringLiteral("12,abc"));
        QTest::keyClick(&window_->commandLine(), Qt::Key_Return);
        EXPECT_EQ(window_->statusBar()->currentMessage(),
                  QStringLiteral("점이 아닙니다: x,y 또는 @dx,dy를 입력하십시오"));
        Shot("korean");
        // The host's reasons, their words translated with them; a value is put in as it is.
        const vel::Words why{
            VEL_WORDING("Refusals", "element %1 is %2, not %3"),
            {"%2", VEL_WORDING("Refusals", "an arc"), VEL_WORDING("Refusals", "a corner")}};
        EXPECT_EQ(velgui::say(why), QStringLiteral("요소 %2은(는) 코너이(가) 아니라 호입니다"));
        EXPECT_EQ(why.text(), "element %2 is an arc, not a corner");
        window_.reset();
        host().escape();
        // What reading a file left out, as the reader sums it up, in Korean.
        Write("plan.dxf",
              "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n9\n21\n0\n"
              "0\nTEXT\n8\n0\n10\n0\n20\n1\n40\n1\n1\nnote\n0\nENDSEC\n0\nEOF\n");
        OpenWindow(Path("plan.dxf"));
        EXPECT_TRUE(window_->findChild<QPlainTextEdit*>(QStringLiteral("commandHistory"))
                        ->toPlainText()
                        .contains(QStringLiteral("plan.dxf: 엔티티 1개 제외: 1 TEXT (도형 아님)")));
        // And what the file menu says.
        const QString saved = QString::fromStdString(Path("plan.json"));
        ASSERT_TRUE(window_->saveDrawing(saved));
        EXPECT_EQ(window_->statusBar()->currentMessage(), saved + QStringLiteral(" 저장됨"));
        window_.reset();
    }
    const velgui::WindowLanguage english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(english.translated());
    OpenWindow(kExamples + "/bracket.dxf");
    EXPECT_EQ(window_->menuBar()->actions().front()->text(), QStringLiteral("&File"));
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
    const vel::ViewFrame frame = vel::frameFor(d.drawnExtents());
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
    const QPoint a = PixelOf(9, 21), b = PixelOf(21, 9);
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::ShiftModifier, a);
    QTest::mouseMove(&canvas(), (a + b) / 2);
    QTest::mouseMove(&canvas(), b);
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::ShiftModifier, b);
    EXPECT_EQ(host().selection().size(), all - 2);
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("5 selected")))
        << state->text().toStdString();
    QTest::keyClick(&canvas(), Qt::Key_Escape);
    EXPECT_FALSE(state->isVisible()) << "no count outside a selection";
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
    const QStringList expected = {firstCorner,
                                  QStringLiteral("> -4,-4"),
                                  secondCorner,
                                  QStringLiteral("> @abc"),
                                  QStringLiteral("not a point: type x,y or @dx,dy"),
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

// What a mould designer does on the bracket with only the mouse and keys: the
// insert with its hole around the part, taken back; the annotated method and a
// window pick set in "Create Insert"; the upper left corner made R 8 in its
// popup, confirmed, and the drawing saved as DXF.
TEST_F(WindowSessions, ADesignersSessionWithTheMouseAndKeys) {
    Write("window.reg", ReadFile(kExamples + "/sessions/bracket-insert.reg"));
    OpenWindow(kExamples + "/bracket.dxf");
    const std::string part = DrawingJson();
    std::vector<std::string> queue;
    std::ostringstream robotErrors;
    auto robot = std::make_unique<vel::DialogRobot>(queue, robotErrors, false);
    auto onLayer = [](int layer) {
        int n = 0;
        for (const auto& [id, s] : host().drawing().segments()) n += s.layer == layer;
        return n;
    };

    Play("run\npick 0 50\n", queue);
    EXPECT_EQ(onLayer(100), 1) << "the hole";
    EXPECT_EQ(host().drawing().segments().size(), 7u + 2u) << "the part, its insert and hole";
    QTest::keyClick(&canvas(), Qt::Key_Z, Qt::ControlModifier);  // leaves the run, undoes it
    EXPECT_FALSE(host().running());
    EXPECT_EQ(DrawingJson(), part);

    // Confirm at the first prompt opens "Create Insert": the annotated method, several figures.
    type(QStringLiteral("insert"));
    queue = {"click 12001", "choose 12023 1", "ok"};
    QTest::mouseClick(&canvas(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(queue.empty());
    // Enter on an empty line: insert again; at its selection, with nothing selected
    // yet, Enter confirms there too ("Create Insert", cancelled); then insert again.
    queue = {"choose 12023 1", "cancel"};
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Return})
        QTest::keyClick(&canvas(), key);
    EXPECT_TRUE(queue.empty());
    ASSERT_TRUE(host().running());
    EXPECT_EQ(host().eventMask(), VEL_MASK_SELECTION);
    Play("select -1 -1 161 101\ndone\n", queue);
    ASSERT_EQ(host().eventMask(), VEL_MASK_ELEMENT);

    queue = {"type 12025 8", "click 12001"};  // a kind clicked takes the value typed
    Play("pick -9.5 109.5\n", queue);         // beside the corner 8 units out from the part's
    bool r8 = false;
    for (const auto& [id, s] : host().drawing().segments())
        for (const vel::Element& e : s.elements)
            if (const auto* leader = std::get_if<vel::LeaderElement>(&e.body))
                r8 = r8 || leader->text == u"R8.0";
    EXPECT_TRUE(r8) << "the rebuilt insert's upper left leader";
    Play("confirm\n", queue);
    EXPECT_FALSE(host().running());
    // What the canvas kept from change to change is what it draws taking everything afresh.
    auto picture = [&] {
        QImage image(canvas().size(), QImage::Format_RGB32);
        QPainter painter(&image);
        canvas().paintDrawing(painter, image.rect());
        return image;
    };
    const QImage kept = picture();
    canvas().refreshDrawing();
    EXPECT_TRUE(kept == picture());

    EXPECT_FALSE(robot->failed()) << robotErrors.str();
    robot.reset();  // the save dialog is the person's

    // After the dialogs, with no window manager to hand the activation back, the
    // window takes it itself: its shortcuts work.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // Ctrl+Shift+S, a name typed without extension, or with a dot of its own: the DXF
    // type chosen gives it.
    bool asked = false;
    auto saveAs = [&](const std::string& name) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        asked = false;
        QTimer::singleShot(0, window_.get(), [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            asked = dialog != nullptr;
            if (!dialog) return;
            dialog->selectFile(QString::fromStdString(Path(name)));
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (buttons && buttons->button(QDialogButtonBox::Save))
                QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
            if (dialog->isVisible()) dialog->reject();
        });
        QTest::keyClick(&canvas(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    };
    saveAs("bracket-insert");
    ASSERT_TRUE(asked) << "Ctrl+Shift+S opens the save dialog";
    EXPECT_FALSE(window_->modified());
    EXPECT_FALSE(fs::exists(Path("bracket-insert")));
    saveAs("bracket.v2");
    EXPECT_TRUE(fs::exists(Path("bracket.v2.dxf")));
    vel::Drawing saved;
    vel::readDrawing(saved, Path("bracket-insert.dxf"));
    size_t corners = 0;
    for (const auto& [id, s] : saved.segments()) corners += s.elements.size() > 8;
    EXPECT_GE(corners, 1u) << "the insert with its corners, as lines and arcs";
    Shot("designer-session");
}

// Saving over a file that held what the drawing cannot keep (a text here) asks first:
// Cancel keeps the file as it was, Overwrite writes it, and the file then holds the
// drawing, so the next save asks nothing.
TEST_F(WindowSessions, SavingOverAFileThatLostEntitiesOnReadingAsksFirst) {
    const std::string file = Path("plan.dxf");
    const std::string text =
        "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n9\n21\n0\n"
        "0\nTEXT\n8\n0\n10\n0\n20\n1\n40\n1\n1\nnote\n0\nENDSEC\n0\nEOF\n";
    Write("plan.dxf", text);
    Write("window.reg", ReadFile(kExamples + "/sessions/bracket-insert.reg"));
    OpenWindow(file);
    std::vector<std::string> queue;
    Play("run\npick 4.5 0\nescape\n", queue);
    ASSERT_TRUE(window_->modified());
    QString asked;
    auto answerLossBox = [&](const QString& button) {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box->objectName() != QStringLiteral("overwriteLossBox")) return;
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        asked = label ? label->text() : QStringLiteral("(a box without its text)");
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text().remove('&') == button) return QTest::mouseClick(b, Qt::LeftButton);
    };
    auto saveAnswering = [&](const QString& button) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));  // as after any box
        asked.clear();
        QTimer::singleShot(0, window_.get(), [&, button] { answerLossBox(button); });
        QTest::keyClick(&canvas(), Qt::Key_S, Qt::ControlModifier);
        return asked;
    };
    EXPECT_EQ(saveAnswering(QStringLiteral("Cancel")),
              QStringLiteral("Reading plan.dxf left out 1 entity: 1 TEXT (not figures).\n"
                             "Saving over the file loses what was left out."));
    EXPECT_EQ(ReadFile(file), text);
    // Save As onto the same file asks the same, past the file dialog's own question.
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    asked.clear();
    QTimer::singleShot(0, window_.get(), [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(QString::fromStdString(file));
        QTimer::singleShot(0, window_.get(), [&] { answerLossBox(QStringLiteral("Cancel")); });
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::keyClick(&canvas(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(asked.startsWith(QStringLiteral("Reading plan.dxf"))) << asked.toStdString();
    EXPECT_EQ(ReadFile(file), text);
    EXPECT_TRUE(window_->modified());
    EXPECT_FALSE(saveAnswering(QStringLiteral("Overwrite")).isEmpty());
    EXPECT_FALSE(window_->modified());
    EXPECT_NE(ReadFile(file), text);
    EXPECT_TRUE(saveAnswering(QStringLiteral("Overwrite")).isEmpty()) << "nothing left to lose";
}

// Reading or writing a large drawing shows its progress with Cancel (here at once, rather than
// after half a second); Cancel leaves the window's drawing, or the file, as it was.
TEST_F(WindowSessions, LongReadsAndWritesShowProgressAndCancelLeavesAllAsItWas) {
    std::string big = "0\nSECTION\n2\nENTITIES\n";
    constexpr int kLines = 30'000;
    for (int k = 0; k < kLines; ++k)
        big += "0\nLINE\n8\n0\n10\n" + std::to_string(k) + "\n20\n0\n11\n" + std::to_string(k) +
               "\n21\n5\n";
    Write("big.dxf", big + "0\nENDSEC\n0\nEOF\n");
    OpenWindow(kExamples + "/bracket.dxf");
    window_->setProgressDelay(std::chrono::milliseconds(0));
    const std::string before = DrawingJson();
    const QString title = window_->windowTitle();

    // Cancel in the box as soon as it shows; what the box said, and how far its bar had come.
    QString said;
    int reached = -1;
    bool working = true;
    std::function<void()> cancelWhenShown = [&] {
        auto* box = window_->findChild<QProgressDialog*>(QStringLiteral("fileProgress"));
        if (box && box->isVisible()) {
            said = box->labelText();
            reached = box->value();
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("Cancel")) QTest::mouseClick(b, Qt::LeftButton);
        } else if (working) {
            QTimer::singleShot(1, window_.get(), cancelWhenShown);
        }
    };
    auto cancelling = [&](auto work) {
        said.clear();
        working = true;
        QTimer::singleShot(0, window_.get(), cancelWhenShown);
        const bool done = work();
        working = false;
        return done;
    };
    const QString bigPath = QString::fromStdString(Path("big.dxf"));
    EXPECT_FALSE(cancelling([&] { return window_->openDrawing(bigPath); }));
    EXPECT_EQ(said, QStringLiteral("Reading big.dxf..."));
    EXPECT_GE(reached, 0);
    EXPECT_LT(reached, 1000) << "cancelled before the end";
    EXPECT_EQ(DrawingJson(), before);
    EXPECT_EQ(window_->windowTitle(), title);

    ASSERT_TRUE(window_->openDrawing(bigPath));  // the box comes and goes with nobody at it
    EXPECT_EQ(host().drawing().segments().size(), size_t{kLines});
    const std::string kept = Path("kept.json");
    Write("kept.json", "{}\n");
    EXPECT_FALSE(cancelling([&] { return window_->saveDrawing(QString::fromStdString(kept)); }));
    EXPECT_EQ(said, QStringLiteral("Writing kept.json..."));
    EXPECT_EQ(ReadFile(kept), "{}\n");
    for (const auto& entry : fs::directory_iterator(fs::path(kept).parent_path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    EXPECT_TRUE(window_->saveDrawing(QString::fromStdString(kept)));
    EXPECT_NE(ReadFile(kept), "{}\n");
    EXPECT_EQ(window_->findChild<QProgressDialog*>(), nullptr) << "no box stays behind";
}

}  // namespace
}  // namespace e2e

// WindowSessionTests.cpp - the window driven as a person drives it (clicks,
// drags and keys on the canvas, offscreen) gives the same trace of host calls
// and the same drawing as velhost running the same session as a script: every
// example session, so every pick mode, both methods, the popups and the
// settings dialog. And a designer's whole session with the mouse and keys, from
// the first insert to the drawing saved.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "vel/io/ScreenView.h"
#include "vel/robot/DialogRobot.h"

#include "tests/vel/gui/WindowTestSupport.h"

namespace e2e {
namespace {

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

// What a mould designer does on the bracket with only the mouse and keys: the
// insert with its hole around the part, taken back; the annotated method and a
// window pick set in "Create Insert"; the upper left corner made R 8 in its
// popup, confirmed, and the drawing saved as DXF.
// The texts of annotations, and the arrowheads they size, follow the insert they annotate: on a
// drawing of many parts an insert round one 100 x 60 part has texts a few units high that stand
// apart, as on a drawing of that part alone; a file's own dimension text height, where it gives
// one, is taken as it is.
TEST_F(WindowSessions, AnnotationsAreSizedToTheirInsertNotToTheDrawing) {
    auto rectangle = [](double x, double y, double w, double h) {
        return "0\nLWPOLYLINE\n8\n0\n90\n4\n70\n1\n10\n" + std::to_string(x) + "\n20\n" +
               std::to_string(y) + "\n10\n" + std::to_string(x + w) + "\n20\n" + std::to_string(y) +
               "\n10\n" + std::to_string(x + w) + "\n20\n" + std::to_string(y + h) + "\n10\n" +
               std::to_string(x) + "\n20\n" + std::to_string(y + h) + "\n";
    };
    std::string parts = rectangle(0, 0, 100, 60);
    for (int k = 1; k < 30; ++k) parts += rectangle(400.0 * (k % 6), 400.0 * (k / 6), 100, 60);
    const auto texts = [this] {  // as the canvas shows them
        std::vector<vel::ViewText> all;
        for (const vel::ScreenView::CachedSegment& s : canvas().view().segments())
            all.insert(all.end(), s.view.texts.begin(), s.view.texts.end());
        return all;
    };
    for (const std::string& header :
         {std::string(), std::string("9\n$DIMTXT\n40\n2.5\n9\n$DIMSCALE\n40\n2\n")}) {
        SCOPED_TRACE(header.empty() ? "no height in the file" : "$DIMTXT 2.5, $DIMSCALE 2");
        Write("parts.dxf", "0\nSECTION\n2\nHEADER\n" + header +
                               "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + parts +
                               "0\nENDSEC\n0\nEOF\n");
        Write("window.reg", ReadFile(kExamples + "/sessions/one-annotated.reg"));
        OpenWindow(Path("parts.dxf"));
        type(QStringLiteral("insert"));
        vel::Extents near;  // the first part, over the whole canvas
        near.add(vel::Point{-40, -40});
        near.add(vel::Point{140, 100});
        canvas().showArea(near);
        QTest::mouseClick(&canvas(), Qt::LeftButton, {}, PixelOf(50, 0));
        ASSERT_EQ(host().eventMask(), VEL_MASK_ELEMENT) << "the editing step";
        const std::vector<vel::ViewText> shown = texts();
        ASSERT_EQ(shown.size(), 8u) << "four leaders, four dimensions";
        for (const vel::ViewText& t : shown) {
            if (header.empty()) {
                // The insert is 111 x 71: texts between a thirtieth and a fifteenth of 71.
                EXPECT_GT(t.height, 71.0 / 30) << t.text;
                EXPECT_LT(t.height, 71.0 / 15) << t.text;
            } else {
                EXPECT_DOUBLE_EQ(t.height, 5.0) << t.text;
            }
        }
        // No two texts run into each other.
        for (size_t i = 0; i < shown.size(); ++i)
            for (size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_GT(vel::distance(shown[i].anchor, shown[j].anchor), shown[i].height)
                    << shown[i].text << " and " << shown[j].text;
        Shot(header.empty() ? "annotations-many-parts" : "annotations-file-height");
        QTest::keyClick(&canvas(), Qt::Key_Escape);
        window_.reset();
        host().escape();
    }
}

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

}  // namespace
}  // namespace e2e

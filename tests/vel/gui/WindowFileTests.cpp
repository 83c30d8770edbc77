// WindowFileTests.cpp - the window's files: saving over a file that held what the drawing
// could not keep asks first, and long reads and writes show their progress and can be
// cancelled with nothing changed.
#include <QFileDialog>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>

#include "tests/vel/gui/WindowTestSupport.h"

namespace e2e {
namespace {

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

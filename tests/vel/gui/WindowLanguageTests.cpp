// WindowLanguageTests.cpp - the window in the user's language: under a Korean locale its own
// texts, key line, messages and the host's refusals are Korean; under English nothing is
// translated.
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "vel/gui/WindowLanguage.h"

#include "tests/vel/gui/WindowTestSupport.h"

namespace e2e {
namespace {

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
                  QStringLiteral("점이 아닙니다: x,y, @dx,dy 또는 @거리<각도를 입력하십시오"));
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

}  // namespace
}  // namespace e2e

// UiScopeTests.cpp - the plug-in's UI context: its own offscreen application when the process has
// none (gone again when the last scope ends), the host's application used as it is otherwise,
// and the application object as the owner of the UI support.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <QApplication>
#include <QGuiApplication>

#include "host/Lifecycle.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"

namespace {

TEST(UiScope, CreatesItsOwnApplicationWhenThereIsNoneAndRemovesItWithTheLastScope) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(UiScope::Active());
    {
        UiScope outer;
        EXPECT_TRUE(outer.Available());
        EXPECT_TRUE(UiScope::Active());
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        ASSERT_NE(app, nullptr);
        EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
        EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
        {
            UiScope inner;
            EXPECT_EQ(QCoreApplication::instance(), app) << "nested scopes share it";
        }
        EXPECT_EQ(QCoreApplication::instance(), app);
    }
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(UiScope::Active());
    // And again, for the next dialog.
    {
        UiScope again;
        EXPECT_TRUE(again.Available());
        EXPECT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    }
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

TEST(UiScope, UsesTheHostsApplicationAndRestoresItsSettings) {
    int argc = 3;
    char arg0[] = "host", arg1[] = "-platform", arg2[] = "offscreen";
    char* argv[] = {arg0, arg1, arg2, nullptr};
    QApplication host(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(true);
    {
        UiScope scope;
        EXPECT_TRUE(scope.Available());
        EXPECT_EQ(QCoreApplication::instance(), &host);
        EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed())
            << "closing the plug-in's dialog must not end the host";
    }
    EXPECT_EQ(QCoreApplication::instance(), &host);
    EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
}

TEST(UiScope, NoDialogsUnderACoreApplicationWithoutWidgets) {
    int argc = 1;
    char arg0[] = "host";
    char* argv[] = {arg0, nullptr};
    QCoreApplication host(argc, argv);
    UiScope scope;
    EXPECT_FALSE(scope.Available());
    EXPECT_FALSE(UiScope::Active());
    EXPECT_EQ(QCoreApplication::instance(), &host);
}

// A display that is named but cannot be opened would end the whole host inside Qt. The plug-in's
// dialog is cancelled instead, with one line on standard error (in a child process, which gets
// the broken environment).
TEST(UiScopeDeathTest, AnUnreachableDisplayCancelsTheDialogWithOneLine) {
    EXPECT_EXIT(
        {
            ::unsetenv("QT_QPA_PLATFORM");
            ::unsetenv("WAYLAND_DISPLAY");
            ::setenv("DISPLAY", ":4711", 1);
            bool available = true;
            int result = -1;
            {
                UiScope scope;
                available = scope.Available();
                OrvantaDlg dlg;
                result = dlg.DoModal();
            }
            const bool ok = !available && result == IDCANCEL && !QCoreApplication::instance();
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "cannot open display ':4711'; the dialog is cancelled");
}

TEST(UiScope, TheApplicationObjectOwnsTheUiSupport) {
    COrvantaApp app;
    EXPECT_EQ(&UiSupport::Current(), &app.Ui());
    {
        UiScope scope;
        EXPECT_EQ(app.Ui().Depth(), 1);
        EXPECT_TRUE(app.Ui().OwnsApplication());
    }
    EXPECT_EQ(app.Ui().Depth(), 0);
    EXPECT_FALSE(app.Ui().OwnsApplication());
}

}  // namespace

// EditPopupTests.cpp - the two popups of the editing step: placed at the cursor (and kept on the
// screen), the value shown selected, Enter and Escape, and the corner kinds that confirm at once.
#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "host/EditPopups.h"
#include "tests/ui/UiTestSupport.h"

namespace ui_test {
namespace {

class EditPopups : public DialogTest {
protected:
    int Run(TemplateDialog& popup, ModalAction user) {
        WhenModal(std::move(user));
        return popup.DoModal();
    }
};

TEST_F(EditPopups, LengthPopupOpensAtTheCursorWithTheValueSelected) {
    QCursor::setPos(200, 150);
    OrvantaDimLengthDlg popup;
    popup.mValue = u"5.0";
    const int result = Run(popup, [](QDialog* d) {
        EXPECT_EQ(d->pos(), QPoint(200, 150));
        EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint) << "no caption, no frame";
        EXPECT_EQ(d->size(), QSize(90, 60)) << "60 x 37 dialog units";
        auto* edit = Item<QLineEdit>(d, 12025);
        EXPECT_EQ(edit->text(), "5.0");
        EXPECT_EQ(edit->selectedText(), "5.0");
        EXPECT_EQ(Item<QPushButton>(d, 2)->text(), "취소");
        EXPECT_EQ(Item(d, 1), nullptr) << "no OK button";
        SaveScreenshot(d, "dim-length.png");
        SaveNumberedScreenshot(d, "dim-length-numbered.png", {12025, 2});
        // Typing replaces the selection; Enter confirms.
        typeText(edit, "7.25");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(popup.mValue, u"7.25");
}

TEST_F(EditPopups, EscapeAndTheCancelButtonCancel) {
    OrvantaDimLengthDlg escape;
    escape.mValue = u"3.0";
    EXPECT_EQ(Run(escape,
                  [](QDialog* d) {
                      auto* edit = Item<QLineEdit>(d, 12025);
                      typeText(edit, "9");
                      QTest::keyClick(edit, Qt::Key_Escape);
                  }),
              IDCANCEL);
    OrvantaDimLeaderDlg button;
    button.mValue = u"1.0";
    EXPECT_EQ(Run(button, [](QDialog* d) { QTest::mouseClick(Item(d, 2), Qt::LeftButton); }),
              IDCANCEL);
    EXPECT_EQ(button.mKind, 0);
}

TEST_F(EditPopups, EnterOnTheFocusedCancelButtonCancels) {
    OrvantaDimLengthDlg popup;
    popup.mValue = u"3.0";
    EXPECT_EQ(Run(popup,
                  [](QDialog* d) {
                      ASSERT_TRUE(QTest::qWaitForWindowActive(d));
                      QTest::keyClick(Item(d, 12025), Qt::Key_Tab);
                      ASSERT_EQ(QApplication::focusWidget(), Item(d, 2));
                      QTest::keyClick(Item(d, 2), Qt::Key_Return);
                  }),
              IDCANCEL);
}

TEST_F(EditPopups, PopupAtTheScreensEdgeMovesWhollyOntoIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(screen.right() - 10, screen.bottom() - 5);
    OrvantaDimLeaderDlg popup;
    Run(popup, [screen](QDialog* d) {
        EXPECT_TRUE(screen.contains(d->frameGeometry())) << "inside the screen";
        EXPECT_EQ(d->frameGeometry().bottomRight(), screen.bottomRight());
        QTest::keyClick(Item(d, 12025), Qt::Key_Escape);
    });
}

TEST_F(EditPopups, CornerPopupChecksTheKindAndARadioClickConfirmsAtOnce) {
    OrvantaDimLeaderDlg popup;
    popup.mKind = 1;
    popup.mValue = u"4.0";
    const int result = Run(popup, [](QDialog* d) {
        EXPECT_EQ(d->size(), QSize(90, 117)) << "60 x 72 dialog units";
        EXPECT_TRUE(Item<QRadioButton>(d, 12001)->isChecked());
        EXPECT_EQ(Item<QRadioButton>(d, 12001)->text(), "코너R");
        EXPECT_EQ(Item<QLineEdit>(d, 12025)->selectedText(), "4.0");
        SaveScreenshot(d, "dim-leader.png");
        SaveNumberedScreenshot(d, "dim-leader-numbered.png", {12025, 12000, 12001, 12002, 2});
        typeText(Item(d, 12025), "2.5");
        QTest::mouseClick(Item(d, 12002), Qt::LeftButton);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(popup.mKind, 2);
    EXPECT_EQ(popup.mValue, u"2.5");
}

TEST_F(EditPopups, ClickingTheCheckedKindStillConfirms) {
    OrvantaDimLeaderDlg popup;
    popup.mKind = 0;
    popup.mValue = u"0.0";
    EXPECT_EQ(Run(popup, [](QDialog* d) { QTest::mouseClick(Item(d, 12000), Qt::LeftButton); }),
              IDOK);
    EXPECT_EQ(popup.mKind, 0);
    EXPECT_EQ(popup.mValue, u"0.0");
}

TEST_F(EditPopups, KindOutsideTheRangeShowsChamferAndEnterStoresTwo) {
    OrvantaDimLeaderDlg popup;
    popup.mKind = 7;
    popup.mValue = u"1.5";
    EXPECT_EQ(Run(popup,
                  [](QDialog* d) {
                      EXPECT_TRUE(Item<QRadioButton>(d, 12002)->isChecked());
                      EXPECT_FALSE(Item<QRadioButton>(d, 12000)->isChecked());
                      QTest::keyClick(Item(d, 12025), Qt::Key_Enter);
                  }),
              IDOK);
    EXPECT_EQ(popup.mKind, 2);
    EXPECT_EQ(popup.mValue, u"1.5");
}

TEST_F(EditPopups, LosingTheFocusCopiesTheText) {
    OrvantaDimLeaderDlg popup;
    popup.mValue = u"1.0";
    Run(popup, [&](QDialog* d) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        typeText(Item(d, 12025), "abc");
        EXPECT_EQ(popup.mValue, u"1.0");
        QTest::keyClick(Item(d, 12025), Qt::Key_Tab);
        EXPECT_EQ(popup.mValue, u"abc");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
}

}  // namespace
}  // namespace ui_test

#include <QAbstractItemView>
// CreateInsertDialogTests.cpp - the "Create Insert" dialog driven like a user would: what it loads
// from the registry, what OK stores, the keys it ignores, its enabling rules, and the pickers it
// opens from its swatches.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

#include "tests/support/KillMidWrite.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/OrvantaDlg.h"
#include "ui/Resources.h"

namespace ui_test {
namespace {

void TypeInto(QDialog* dialog, int id, const QString& text) {
    auto* edit = Item<QLineEdit>(dialog, id);
    ASSERT_NE(edit, nullptr) << id;
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        typeText(edit, text);
}

void Click(QDialog* dialog, int id) {
    QWidget* w = Item(dialog, id);
    ASSERT_NE(w, nullptr) << id;
    QTest::mouseClick(w, Qt::LeftButton);
}

// The colour in the middle of a control, as the dialog shows it.
QColor CentreColour(QDialog* dialog, int id) {
    QWidget* w = Item(dialog, id);
    return Grab(dialog).pixelColor(w->geometry().center());
}

class CreateInsert : public DialogTest {
protected:
    // Opens the dialog, lets `user` act on it once it is up, and returns the modal result.
    int Run(OrvantaDlg& dlg, ModalAction user) {
        WhenModal(std::move(user));
        return dlg.DoModal();
    }
};

TEST_F(CreateInsert, ShowsEveryStoredValueInItsControl) {
    WriteRegistry({{"mType", "1"},
                   {"Method", "1"},
                   {"mValueUpLeft", "1.5"},
                   {"mValueUpRight", "2.5"},
                   {"mValueDownLeft", "3.5"},
                   {"mValueDownRight", "4.5"},
                   {"mUpLeft", "0"},
                   {"mUpRight", "1"},
                   {"mDownLeft", "2"},
                   {"mDownRight", "1"},
                   {"mDisUp", "11.0"},
                   {"mDisDown", "12.0"},
                   {"mDisLeft", "13.0"},
                   {"mDisRight", "14.0"},
                   {"mIsCurLayer", "0"},
                   {"mLayer", "33"},
                   {"mIsCurColor", "0"},
                   {"Color", "MAINCOLOR12"},
                   {"LType", "LINETYPE05"},
                   {"mIsLimit", "1"},
                   {"mLimit", "2"},
                   {"mIsCheckHole", "1"},
                   {"mLayerHole", "101"},
                   {"mOffsetHole", "0.75"},
                   {"mCornerRHole", "1.25"},
                   {"mIsCornerConvHole", "1"},
                   {"mChamferHole", "2.25"},
                   {"mIsChamferConvHole", "1"},
                   {"ColorHole", "MAINCOLOR03"},
                   {"LTypeHole", "LINETYPE10"}});
    OrvantaDlg dlg;
    const int result = Run(dlg, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Create Insert");
        EXPECT_EQ(Item<QComboBox>(d, 12023)->currentText(), "복수지시");
        EXPECT_TRUE(Item<QRadioButton>(d, 12001)->isChecked());
        EXPECT_FALSE(Item<QRadioButton>(d, 12000)->isChecked());
        const std::pair<int, const char*> edits[] = {
            {12008, "1.5"},  {12006, "2.5"},  {12012, "3.5"},  {12010, "4.5"}, {12002, "11.0"},
            {12005, "12.0"}, {12004, "13.0"}, {12003, "14.0"}, {12015, "33"},  {12034, "101"},
            {12035, "0.75"}, {12036, "1.25"}, {12037, "2.25"}};
        for (const auto& [id, text] : edits)
            EXPECT_EQ(Item<QLineEdit>(d, id)->text(), QString::fromUtf8(text)) << id;
        EXPECT_EQ(Item<QComboBox>(d, 12009)->currentText(), "사용안함");
        EXPECT_EQ(Item<QComboBox>(d, 12007)->currentText(), "코너");
        EXPECT_EQ(Item<QComboBox>(d, 12013)->currentText(), "모따기");
        EXPECT_EQ(Item<QComboBox>(d, 12011)->currentIndex(), 1);
        EXPECT_EQ(Item<QComboBox>(d, 12024)->currentText(), "2");
        for (int id : {12021, 12033, 12040, 12029})
            EXPECT_TRUE(Item<QCheckBox>(d, id)->isChecked()) << id;
        for (int id : {12014, 12016}) EXPECT_FALSE(Item<QCheckBox>(d, id)->isChecked()) << id;
        EXPECT_EQ(CentreColour(d, 12019), QColor(0, 0, 255));
        EXPECT_EQ(CentreColour(d, 12038), QColor(60, 255, 80));
        EXPECT_EQ(Item<StaticWidget>(d, 12020)->Image(), LoadPluginBitmap(17050));
        EXPECT_EQ(Item<StaticWidget>(d, 12039)->Image(), LoadPluginBitmap(17055));
        SaveScreenshot(d, "create-insert-loaded.png");
        // The README's picture: the controls in the order its table explains them.
        SaveNumberedScreenshot(
            d, "create-insert-numbered.png",
            {12023, 12000, 12001, 12008, 12009, 12006, 12007, 12012, 12013, 12010, 12011,
             12002, 12005, 12004, 12003, 12014, 12015, 12016, 12019, 12020, 12021, 12024,
             12033, 12034, 12035, 12036, 12040, 12037, 12029, 12038, 12039, 1,     2});
        Click(d, 2);
    });
    EXPECT_EQ(result, IDCANCEL);
}

// Tab goes where the dialog manager takes it: through the template's tab stops in their order,
// the colour and line-type swatches included.
TEST_F(CreateInsert, TabVisitsTheSwatchesAsTheTemplateOrders) {
    OrvantaDlg dlg;
    std::vector<std::string> visited;
    Run(dlg, [&](QDialog* d) {
        for (int k = 0; k < 80; ++k) {
            QWidget* focus = d->focusWidget();
            if (!focus) break;
            visited.push_back(focus->objectName().toStdString());
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        Click(d, 2);
    });
    for (const auto& [swatch, lineType] :
         {std::pair{"12019", "12020"}, std::pair{"12038", "12039"}}) {
        const auto at = std::find(visited.begin(), visited.end(), swatch);
        ASSERT_NE(at, visited.end()) << swatch << " is a tab stop";
        ASSERT_NE(at + 1, visited.end());
        EXPECT_EQ(*(at + 1), lineType) << "the line type after its colour";
    }
}

TEST_F(CreateInsert, OkStoresEveryValueAgainUnchangedWhenNothingWasTouched) {
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg, [](QDialog* d) { Click(d, 1); }), IDOK);
    EXPECT_TRUE(dlg.SaveToRegistry());
    const auto stored = Registry();
    EXPECT_EQ(stored.size(), 30u) << "PA_Color and PA_LType are written by the pickers only";
    EXPECT_EQ(stored.at("mDisUp"), "5.0");
    EXPECT_EQ(stored.at("mUpLeft"), "2");
    EXPECT_EQ(stored.at("Color"), "MAINCOLOR06");
    EXPECT_EQ(stored.at("LTypeHole"), "LINETYPE07");
    EXPECT_EQ(stored.at("mLayerHole"), "100");
}

TEST_F(CreateInsert, MissingValuesAreWrittenBackWithTheirDefaultsBeforeAnyInput) {
    WriteRegistry({{"mDisUp", "9.0"}});  // "Color" and the rest are missing
    OrvantaDlg dlg;
    QColor swatch;
    std::map<std::string, std::string> whileOpen;
    Run(dlg, [&](QDialog* d) {
        whileOpen = Registry();
        swatch = CentreColour(d, 12019);
        Click(d, 2);
    });
    EXPECT_EQ(swatch, QColor(255, 0, 0)) << "the default colour MAINCOLOR06 is red";
    ASSERT_EQ(whileOpen.size(), 30u);
    EXPECT_EQ(whileOpen.at("Color"), "MAINCOLOR06");
    EXPECT_EQ(whileOpen.at("mDisUp"), "9.0");
    EXPECT_EQ(whileOpen.at("mLayer"), "7");
    EXPECT_EQ(Registry(), whileOpen) << "Cancel saves nothing";
}

TEST_F(CreateInsert, LengthsAreStoredRoundedToOneDecimalAndNonNumbersAsZero) {
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg,
                  [](QDialog* d) {
                      TypeInto(d, 12008, "2");       // mValueUpLeft
                      TypeInto(d, 12006, "2.25");    // mValueUpRight
                      TypeInto(d, 12012, "abc");     // mValueDownLeft
                      TypeInto(d, 12010, "");        // mValueDownRight
                      TypeInto(d, 12002, " 7.04x");  // mDisUp
                      TypeInto(d, 12005, "-0.04");   // mDisDown
                      Click(d, 1);
                  }),
              IDOK);
    EXPECT_EQ(dlg.mValueUpRight, u"2.25") << "the member holds the text as typed";
    dlg.SaveToRegistry();
    const auto stored = Registry();
    EXPECT_EQ(stored.at("mValueUpLeft"), "2.0");
    EXPECT_EQ(stored.at("mValueUpRight"), "2.3");
    EXPECT_EQ(stored.at("mValueDownLeft"), "0.0");
    EXPECT_EQ(stored.at("mValueDownRight"), "0.0");
    EXPECT_EQ(stored.at("mDisUp"), "7.0");
    EXPECT_EQ(stored.at("mDisDown"), "0.0");
}

TEST_F(CreateInsert, LayersAndHoleAmountsAreStoredExactlyAsTyped) {
    WriteRegistry({{"mIsCheckHole", "1"}, {"mIsCurLayer", "0"}});
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg,
                  [](QDialog* d) {
                      TypeInto(d, 12036, "0.25");
                      TypeInto(d, 12037, "abc");
                      TypeInto(d, 12035, " 3 ");
                      TypeInto(d, 12034, "층");
                      TypeInto(d, 12015, "");
                      Click(d, 1);
                  }),
              IDOK);
    dlg.SaveToRegistry();
    const auto stored = Registry();
    EXPECT_EQ(stored.at("mCornerRHole"), "0.25");
    EXPECT_EQ(stored.at("mChamferHole"), "abc");
    EXPECT_EQ(stored.at("mOffsetHole"), " 3 ");
    EXPECT_EQ(stored.at("mLayerHole"), "층");
    EXPECT_EQ(stored.at("mLayer"), "");
}

TEST_F(CreateInsert, OutOfRangeListValuesShowNoSelectionAndAreStoredAgain) {
    WriteRegistry({{"mType", "7"}, {"mUpRight", "-1"}, {"mLimit", "3"}, {"mDownLeft", "2"}});
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg,
                  [](QDialog* d) {
                      EXPECT_EQ(Item<QComboBox>(d, 12023)->currentIndex(), -1);
                      EXPECT_EQ(Item<QComboBox>(d, 12007)->currentIndex(), -1);
                      EXPECT_EQ(Item<QComboBox>(d, 12024)->currentIndex(), -1);
                      EXPECT_EQ(Item<QComboBox>(d, 12013)->currentIndex(), 2);
                      Click(d, 1);
                  }),
              IDOK);
    dlg.SaveToRegistry();
    const auto stored = Registry();
    EXPECT_EQ(stored.at("mType"), "7");
    EXPECT_EQ(stored.at("mUpRight"), "-1");
    EXPECT_EQ(stored.at("mLimit"), "3");
    EXPECT_EQ(stored.at("mDownLeft"), "2");
}

TEST_F(CreateInsert, ListEntriesChosenByKeyboardAreStoredByTheirIndex) {
    WriteRegistry({{"mType", "7"}, {"mIsLimit", "1"}});
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg,
                  [](QDialog* d) {
                      auto* mode = Item<QComboBox>(d, 12023);
                      EXPECT_EQ(mode->count(), 3);
                      EXPECT_EQ(mode->itemText(2), "두점지시");
                      QTest::keyClick(mode, Qt::Key_Home);
                      QTest::keyClick(mode, Qt::Key_Down);
                      QTest::keyClick(mode, Qt::Key_Down);
                      QTest::keyClick(Item(d, 12009), Qt::Key_Home);  // upper-left: none
                      QTest::keyClick(Item(d, 12024), Qt::Key_End);   // places: 2
                      Click(d, 1);
                  }),
              IDOK);
    EXPECT_EQ(dlg.mType, 2);
    dlg.SaveToRegistry();
    const auto stored = Registry();
    EXPECT_EQ(stored.at("mType"), "2");
    EXPECT_EQ(stored.at("mUpLeft"), "0");
    EXPECT_EQ(stored.at("mLimit"), "2");
}

TEST_F(CreateInsert, MethodTwoSelectsTheSecondRadioAndIsStoredAsOne) {
    WriteRegistry({{"Method", "2"}});
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg,
                  [](QDialog* d) {
                      EXPECT_TRUE(Item<QRadioButton>(d, 12001)->isChecked());
                      Click(d, 1);
                  }),
              IDOK);
    EXPECT_EQ(dlg.Method, 1);
    dlg.SaveToRegistry();
    EXPECT_EQ(Registry().at("Method"), "1");

    // And the first radio clicked stores 0.
    OrvantaDlg again;
    ASSERT_EQ(Run(again,
                  [](QDialog* d) {
                      Click(d, 12000);
                      Click(d, 1);
                  }),
              IDOK);
    again.SaveToRegistry();
    EXPECT_EQ(Registry().at("Method"), "0");
}

TEST_F(CreateInsert, EnterAndEscapeDoNothingWhereverTheFocusIs) {
    OrvantaDlg dlg;
    bool stillOpen = true;
    ASSERT_EQ(Run(dlg,
                  [&](QDialog* d) {
                      TypeInto(d, 12002, "8");
                      for (int id : {12002, 1, 2, 12023, 12014, 12000}) {
                          QWidget* w = Item(d, id);
                          w->setFocus();
                          for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                              QTest::keyClick(w, key);
                          stillOpen = stillOpen && d->isVisible();
                      }
                      QTest::keyClick(d, Qt::Key_Escape);
                      QTest::keyClick(d, Qt::Key_Return);
                      stillOpen = stillOpen && d->isVisible();
                      EXPECT_EQ(Item<QLineEdit>(d, 12002)->text(), "8");
                      Click(d, 1);
                  }),
              IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dlg.mDisUp, u"8");
}

TEST_F(CreateInsert, EnterAndEscapeInAnOpenListDoNothing) {
    OrvantaDlg dlg;
    int before = -1, after = -2;
    bool stillOpen = false;
    ASSERT_EQ(Run(dlg,
                  [&](QDialog* d) {
                      auto* combo = Item<QComboBox>(d, 12023);
                      before = combo->currentIndex();
                      combo->showPopup();
                      QWidget* list = combo->view();
                      QTest::keyClick(list, Qt::Key_Down);
                      QTest::keyClick(list, Qt::Key_Return);
                      QTest::keyClick(list, Qt::Key_Escape);
                      after = combo->currentIndex();
                      combo->hidePopup();
                      stillOpen = d->isVisible();
                      Click(d, 1);
                  }),
              IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(after, before) << "Enter in the open list picked nothing";
}

TEST_F(CreateInsert, CancelButtonAndCloseBoxEndWithCancel) {
    OrvantaDlg viaButton;
    EXPECT_EQ(Run(viaButton, [](QDialog* d) { Click(d, 2); }), IDCANCEL);
    OrvantaDlg viaCloseBox;
    EXPECT_EQ(Run(viaCloseBox,
                  [](QDialog* d) {
                      QCloseEvent close;
                      QCoreApplication::sendEvent(d->windowHandle(), &close);
                  }),
              IDCANCEL);
}

TEST_F(CreateInsert, CurrentLayerCheckDisablesTheLayerLabelAndEditAndUncheckingEnablesThem) {
    WriteRegistry({{"mIsCurLayer", "0"}});
    OrvantaDlg dlg;
    Run(dlg, [&](QDialog* d) {
        EXPECT_TRUE(Item(d, 12017)->isEnabled());
        EXPECT_TRUE(Item(d, 12015)->isEnabled());
        Click(d, 12014);
        EXPECT_EQ(dlg.mIsCurLayer, 1);
        EXPECT_FALSE(Item(d, 12017)->isEnabled());
        EXPECT_FALSE(Item(d, 12015)->isEnabled());
        Click(d, 12014);
        EXPECT_EQ(dlg.mIsCurLayer, 0);
        EXPECT_TRUE(Item(d, 12017)->isEnabled());
        EXPECT_TRUE(Item(d, 12015)->isEnabled());
        Click(d, 2);
    });
}

TEST_F(CreateInsert, CurrentColourCheckGreysOnlyItsLabel) {
    WriteRegistry({{"mIsCurColor", "0"}});
    OrvantaDlg dlg;
    Run(dlg, [&](QDialog* d) {
        Click(d, 12016);
        EXPECT_EQ(dlg.mIsCurColor, 1);
        EXPECT_FALSE(Item(d, 12018)->isEnabled());
        for (int id : {12019, 12020, 12038, 12039}) EXPECT_TRUE(Item(d, id)->isEnabled()) << id;
        Click(d, 12016);
        EXPECT_TRUE(Item(d, 12018)->isEnabled());
        Click(d, 2);
    });
}

TEST_F(CreateInsert, LimitCheckEnablesTheDecimalPlaces) {
    WriteRegistry({{"mIsLimit", "0"}});
    OrvantaDlg dlg;
    Run(dlg, [&](QDialog* d) {
        EXPECT_FALSE(Item(d, 12022)->isEnabled());
        EXPECT_FALSE(Item(d, 12024)->isEnabled());
        Click(d, 12021);
        EXPECT_TRUE(Item(d, 12022)->isEnabled());
        EXPECT_TRUE(Item(d, 12024)->isEnabled());
        Click(d, 2);
    });
}

TEST_F(CreateInsert, HoleCheckEnablesItsEditsAndConversionsButNeverTouchesItsSwatches) {
    WriteRegistry({{"mIsCheckHole", "0"}});
    const int holeControls[] = {12034, 12035, 12036, 12040, 12037, 12029};
    OrvantaDlg dlg;
    Run(dlg, [&](QDialog* d) {
        for (int id : holeControls) EXPECT_FALSE(Item(d, id)->isEnabled()) << id;
        for (int id : {12038, 12039}) EXPECT_TRUE(Item(d, id)->isEnabled()) << id;
        // The hole row's labels stay as they are.
        for (QLabel* label : d->findChildren<QLabel*>(QStringLiteral("-1")))
            EXPECT_TRUE(label->isEnabled()) << label->text().toStdString();
        Click(d, 12033);
        for (int id : holeControls) EXPECT_TRUE(Item(d, id)->isEnabled()) << id;
        Click(d, 12040);
        Click(d, 12029);
        Click(d, 12029);
        Click(d, 1);
    });
    dlg.SaveToRegistry();
    const auto stored = Registry();
    EXPECT_EQ(stored.at("mIsCheckHole"), "1");
    EXPECT_EQ(stored.at("mIsCornerConvHole"), "1");
    EXPECT_EQ(stored.at("mIsChamferConvHole"), "0");
}

TEST_F(CreateInsert, CancelKeepsTheRegistryExceptWhatThePickersWrote) {
    WriteRegistry({{"mDisUp", "5.0"},
                   {"Color", "MAINCOLOR06"},
                   {"ColorHole", "MAINCOLOR02"},
                   {"LType", "LINETYPE01"},
                   {"LTypeHole", "LINETYPE07"}});
    OrvantaDlg dlg;
    std::map<std::string, std::string> atOpen;
    const int result = Run(dlg, [&](QDialog* d) {
        atOpen = Registry();
        TypeInto(d, 12002, "44");
        Click(d, 12014);
        // Insert colour: sky blue; hole colour: cyan; insert and hole line types.
        WhenModal([](QDialog* picker) { QTest::mouseDClick(Item(picker, 17032), Qt::LeftButton); },
                  d);
        Click(d, 12019);
        WhenModal([](QDialog* picker) { QTest::mouseDClick(Item(picker, 17041), Qt::LeftButton); },
                  d);
        Click(d, 12038);
        WhenModal([](QDialog* picker) { QTest::mouseDClick(Item(picker, 17083), Qt::LeftButton); },
                  d);
        Click(d, 12020);
        WhenModal([](QDialog* picker) { QTest::mouseDClick(Item(picker, 17078), Qt::LeftButton); },
                  d);
        Click(d, 12039);
        EXPECT_EQ(CentreColour(d, 12019), QColor(0, 192, 255));
        EXPECT_EQ(CentreColour(d, 12038), QColor(0, 255, 255));
        EXPECT_EQ(Item<StaticWidget>(d, 12020)->Image(), LoadPluginBitmap(17052));
        EXPECT_EQ(Item<StaticWidget>(d, 12039)->Image(), LoadPluginBitmap(17047));
        Click(d, 2);
    });
    ASSERT_EQ(result, IDCANCEL);
    auto expected = atOpen;
    expected["PA_Color"] = "MAINCOLOR02";
    expected["ColorHole"] = "MAINCOLOR11";
    expected["PA_LType"] = "LINETYPE07";
    expected["LTypeHole"] = "LINETYPE02";
    EXPECT_EQ(Registry(), expected);
}

TEST_F(CreateInsert, InsertColourReachesColorOnlyWithOk) {
    OrvantaDlg dlg;
    ASSERT_EQ(Run(dlg,
                  [](QDialog* d) {
                      WhenModal(
                          [](QDialog* picker) {
                              QTest::mouseClick(Item(picker, 17046), Qt::LeftButton);
                              QTest::mouseClick(Item(picker, 1), Qt::LeftButton);
                          },
                          d);
                      Click(d, 12019);
                      Click(d, 1);
                  }),
              IDOK);
    EXPECT_EQ(Registry().at("Color"), "MAINCOLOR06");
    EXPECT_EQ(Registry().at("PA_Color"), "MAINCOLOR16");
    dlg.SaveToRegistry();
    EXPECT_EQ(Registry().at("Color"), "MAINCOLOR16");
}

TEST_F(CreateInsert, CancelledPickerChangesNeitherTheSwatchNorTheRegistry) {
    OrvantaDlg dlg;
    std::map<std::string, std::string> before;
    Run(dlg, [&](QDialog* d) {
        before = Registry();
        const QImage lineType = Item<StaticWidget>(d, 12039)->Image();
        // A change of selection, then CANCEL; Escape; the close box.
        WhenModal(
            [](QDialog* picker) {
                QTest::mouseClick(Item(picker, 17042), Qt::LeftButton);
                QTest::mouseClick(Item(picker, 2), Qt::LeftButton);
            },
            d);
        Click(d, 12038);
        WhenModal(
            [](QDialog* picker) {
                QTest::mouseClick(Item(picker, 17084), Qt::LeftButton);
                QTest::keyClick(picker, Qt::Key_Escape);
            },
            d);
        Click(d, 12039);
        WhenModal(
            [](QDialog* picker) {
                QTest::mouseClick(Item(picker, 17040), Qt::LeftButton);
                QCloseEvent close;
                QCoreApplication::sendEvent(picker->windowHandle(), &close);
            },
            d);
        Click(d, 12019);
        EXPECT_EQ(CentreColour(d, 12038), QColor(0, 192, 255));
        EXPECT_EQ(CentreColour(d, 12019), QColor(255, 0, 0));
        EXPECT_EQ(Item<StaticWidget>(d, 12039)->Image(), lineType);
        Click(d, 2);
    });
    EXPECT_EQ(Registry(), before);
}

TEST_F(CreateInsert, NamesOutsideThePaletteShowWhiteAndTheFirstLineType) {
    WriteRegistry({{"Color", "MAINCOLOR17"},
                   {"ColorHole", " MAINCOLOR06"},
                   {"LType", "LINETYPE11"},
                   {"LTypeHole", "linetype03"}});
    OrvantaDlg dlg;
    Run(dlg, [](QDialog* d) {
        EXPECT_EQ(CentreColour(d, 12019), QColor(255, 255, 255));
        EXPECT_EQ(CentreColour(d, 12038), QColor(255, 255, 255));
        EXPECT_EQ(Item<StaticWidget>(d, 12020)->Image(), LoadPluginBitmap(17046));
        EXPECT_EQ(Item<StaticWidget>(d, 12039)->Image(), LoadPluginBitmap(17048))
            << "names are compared without regard to letter case";
        // Confirming the picker without a click returns the unknown name unchanged.
        WhenModal([](QDialog* picker) { QTest::keyClick(picker, Qt::Key_Return); }, d);
        Click(d, 12019);
        Click(d, 1);
    });
    EXPECT_EQ(Registry().at("PA_Color"), "MAINCOLOR17");
    dlg.SaveToRegistry();
    EXPECT_EQ(Registry().at("Color"), "MAINCOLOR17");
    EXPECT_EQ(Registry().at("LTypeHole"), "linetype03");
}

TEST_F(CreateInsert, FocusStartsOnTheFirstTabStopAndTabFollowsTheTemplateOrder) {
    OrvantaDlg dlg;
    Run(dlg, [](QDialog* d) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        EXPECT_EQ(QApplication::focusWidget(), Item(d, 1)) << "the OK button comes first";
        QWidget* next = Item(d, 1)->nextInFocusChain();
        while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
        EXPECT_EQ(next, Item(d, 12000));
        Click(d, 2);
    });
}

TEST_F(CreateInsert, AKillMidSaveLeavesTheOldValuesOrTheNewOnes) {
    LeaveScope();  // saving needs no window, and the killed process shares no application
    OrvantaDlg dlg;
    // Every one of the 30 values differs between the two entries 0 and 1.
    auto enter = [&dlg](int n) {
        for (int32_t* member :
             {&dlg.mType, &dlg.Method, &dlg.mUpLeft, &dlg.mUpRight, &dlg.mDownLeft, &dlg.mDownRight,
              &dlg.mIsCurLayer, &dlg.mIsCurColor, &dlg.mIsLimit, &dlg.mLimit, &dlg.mIsCheckHole,
              &dlg.mIsCornerConvHole, &dlg.mIsChamferConvHole})
            *member = n;
        for (std::u16string* member :
             {&dlg.mValueUpLeft, &dlg.mValueUpRight, &dlg.mValueDownLeft, &dlg.mValueDownRight,
              &dlg.mDisUp, &dlg.mDisDown, &dlg.mDisLeft, &dlg.mDisRight, &dlg.mLayer,
              &dlg.mLayerHole, &dlg.mOffsetHole, &dlg.mCornerRHole, &dlg.mChamferHole, &dlg.LType,
              &dlg.LTypeHole, &dlg.mColorSwatch.mColorName, &dlg.mColorHoleSwatch.mColorName})
            *member = n ? u"1" : u"0";
    };
    enter(1);
    ASSERT_TRUE(dlg.SaveToRegistry());
    const auto entered = Registry();
    enter(0);
    ASSERT_TRUE(dlg.SaveToRegistry());
    const auto before = Registry();
    KillMidWrite([] {},
                 [&] {
                     for (int round = 1;; ++round) {
                         enter(round % 2);
                         dlg.SaveToRegistry();
                     }
                 },
                 [&](int kill) {
                     const auto stored = Registry();
                     EXPECT_TRUE(stored == before || stored == entered) << "kill " << kill;
                 });
}

TEST_F(CreateInsert, DialogWithoutAnApplicationAnswersCancel) {
    LeaveScope();  // no UI scope, no application
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    OrvantaDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.SaveToRegistry()) << "saving needs no window";
    EXPECT_EQ(Registry().at("Color"), "MAINCOLOR01") << "the members' initial colour";
}

}  // namespace
}  // namespace ui_test

// PickerDialogTests.cpp - the colour and line-type pickers: swatch colours, the red frame around
// the selection and the painted-over frame of the previous one (read from the painted pixels),
// clicks, double clicks and the keys that close them.
#include <QPushButton>

#include "settings/Palette.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KaStPickers.h"
#include "ui/Resources.h"

namespace ui_test {
namespace {

const QColor kRed(255, 0, 0);

// The four points where a frame around `control` lies: 3 pixels outside its rectangle, in the
// middle of each side, on the frame's 2-pixel stroke.
std::vector<QPoint> FramePoints(QWidget* control) {
    const QRect r = control->geometry();
    return {QPoint(r.left() - 3, r.center().y()), QPoint(r.right() + 3, r.center().y()),
            QPoint(r.center().x(), r.top() - 3), QPoint(r.center().x(), r.bottom() + 3)};
}

// Whether all four sides of the frame around `control` have the colour.
bool FramedIn(const QImage& image, QWidget* control, const QColor& colour) {
    for (const QPoint& p : FramePoints(control))
        if (image.pixelColor(p) != colour) return false;
    return true;
}

// Counts the paints of a window.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class Pickers : public DialogTest {
protected:
    int Run(SelectionPicker& picker, ModalAction user) {
        WhenModal(std::move(user));
        return picker.DoModal();
    }
};

TEST(StaticBkColor, ColourFollowsFromTheControlIdAlone) {
    EXPECT_EQ(StaticBkColor::ColorNameOfControl(17015), u"MAINCOLOR01");
    EXPECT_EQ(StaticBkColor::ColorNameOfControl(17032), u"MAINCOLOR02");
    EXPECT_EQ(StaticBkColor::ColorNameOfControl(17046), u"MAINCOLOR16");
    // Any other control paints black.
    for (int id : {17016, 17031, 17047, 0, -1})
        EXPECT_TRUE(StaticBkColor::ColorNameOfControl(id).empty()) << id;
}

TEST_F(Pickers, ColourSwatchesShowThePaletteInTwoRowsOfEight) {
    KaStColorDlg picker;
    Run(picker, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Color Property");
        const QImage image = Grab(d);
        const auto entries = ColorPickerEntries();
        ASSERT_EQ(entries.size(), 16u);
        // The palette's colours as its table gives them, MAINCOLOR01 to MAINCOLOR16.
        const QColor expected[16] = {
            {255, 255, 255}, {0, 192, 255},   {60, 255, 80},   {255, 64, 192},
            {224, 224, 0},   {255, 0, 0},     {255, 128, 128}, {0, 128, 255},
            {255, 255, 0},   {128, 128, 128}, {0, 255, 255},   {0, 0, 255},
            {128, 0, 255},   {128, 128, 255}, {128, 0, 128},   {128, 128, 0}};
        for (size_t i = 0; i < entries.size(); ++i) {
            QWidget* swatch = Item(d, entries[i].controlId);
            EXPECT_EQ(image.pixelColor(swatch->geometry().center()), expected[i])
                << entries[i].controlId;
            // Row of eight: the ninth starts the second row under the first.
            const QWidget* first = Item(d, entries[i % 8].controlId);
            EXPECT_EQ(swatch->x(), first->x());
            EXPECT_EQ(swatch->y() > first->y(), i >= 8);
        }
        EXPECT_EQ(Item<QPushButton>(d, 1)->text(), "OK");
        EXPECT_EQ(Item<QPushButton>(d, 2)->text(), "CANCEL");
        SaveScreenshot(d, "color-property.png");
        QTest::mouseClick(Item(d, 2), Qt::LeftButton);
    });
}

TEST_F(Pickers, SixthColourSeededIsFramedRedAndTheFirstSwatchIsPaintedOver) {
    KaStColorDlg picker;
    picker.Seed(u"MAINCOLOR06");
    EXPECT_EQ(picker.mPrevSelection, u"MAINCOLOR01");
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR06");
    const int result = Run(picker, [](QDialog* d) {
        const QImage image = Grab(d);
        const QColor background = d->palette().color(QPalette::Window);
        EXPECT_TRUE(FramedIn(image, Item(d, 17036), kRed));
        EXPECT_TRUE(FramedIn(image, Item(d, 17015), background));
        for (int id : {17032, 17035, 17037, 17044})
            EXPECT_FALSE(FramedIn(image, Item(d, id), kRed)) << id;
        SaveScreenshot(d, "color-property-maincolor06.png");
        QTest::keyClick(d, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR06");
}

TEST_F(Pickers, FirstColourSeededLeavesNoPreviousSelection) {
    KaStColorDlg picker;
    picker.Seed(u"maincolor01");
    EXPECT_TRUE(picker.mPrevSelection.empty());
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR01");
    Run(picker, [](QDialog* d) {
        EXPECT_TRUE(FramedIn(Grab(d), Item(d, 17015), kRed));
        QTest::keyClick(d, Qt::Key_Escape);
    });
}

TEST_F(Pickers, ClickMovesTheRedFrameAndPaintsOverTheOldOne) {
    KaStColorDlg picker;
    picker.Seed(u"MAINCOLOR06");
    const int result = Run(picker, [&](QDialog* d) {
        // Painted once with the seeded selection before the user clicks.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
        QTest::qWait(20);
        EXPECT_TRUE(FramedIn(Grab(d), Item(d, 17036), kRed));
        QTest::mouseClick(Item(d, 17042), Qt::LeftButton);
        EXPECT_EQ(picker.mSelection, u"MAINCOLOR12");
        EXPECT_EQ(picker.mPrevSelection, u"MAINCOLOR06");
        QTest::qWait(20);
        const QImage image = Grab(d);
        EXPECT_TRUE(FramedIn(image, Item(d, 17042), kRed));
        EXPECT_TRUE(FramedIn(image, Item(d, 17036), d->palette().color(QPalette::Window)));
        QTest::mouseClick(Item(d, 1), Qt::LeftButton);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR12");
}

TEST_F(Pickers, ClickingTheSelectedSwatchDoesNotRepaint) {
    KaStColorDlg picker;
    picker.Seed(u"MAINCOLOR03");
    const int result = Run(picker, [&](QDialog* d) {
        PaintCounter counter;
        d->installEventFilter(&counter);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
        // Let the paints of the opening settle.
        for (int last = -1, tries = 0; counter.paints != last && tries < 40; ++tries) {
            last = counter.paints;
            QTest::qWait(50);
        }
        const int before = counter.paints;
        ASSERT_GT(before, 0);
        QTest::mouseClick(Item(d, 17033), Qt::LeftButton);
        QTest::qWait(100);
        EXPECT_EQ(counter.paints, before);
        EXPECT_EQ(picker.mPrevSelection, u"MAINCOLOR01") << "unchanged by the click";
        QTest::mouseClick(Item(d, 17034), Qt::LeftButton);
        for (int tries = 0; counter.paints == before && tries < 40; ++tries) QTest::qWait(50);
        EXPECT_GT(counter.paints, before) << "a change of selection repaints";
        d->removeEventFilter(&counter);
        QTest::mouseClick(Item(d, 17033), Qt::LeftButton);
        QTest::mouseClick(Item(d, 1), Qt::LeftButton);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR03");
}

TEST_F(Pickers, DoubleClickClosesAsOkWithThatSwatch) {
    KaStColorDlg picker;
    picker.Seed(u"MAINCOLOR04");
    EXPECT_EQ(Run(picker, [](QDialog* d) { QTest::mouseDClick(Item(d, 17045), Qt::LeftButton); }),
              IDOK);
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR15");
    // Also on the entry already selected.
    KaStColorDlg again;
    again.Seed(u"MAINCOLOR15");
    EXPECT_EQ(Run(again, [](QDialog* d) { QTest::mouseDClick(Item(d, 17045), Qt::LeftButton); }),
              IDOK);
    EXPECT_EQ(again.mSelection, u"MAINCOLOR15");
}

// The picker opens with the first swatch focused, as the dialog manager focuses the first tab
// stop, and Tab goes on to the next swatch.
TEST_F(Pickers, TheFirstSwatchHasTheFocusAndTabGoesToTheNext) {
    KaStColorDlg picker;
    Run(picker, [](QDialog* d) {
        EXPECT_EQ(d->focusWidget(), Item(d, 17015));
        QTest::keyClick(Item(d, 17015), Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), Item(d, 17032));
        QTest::mouseClick(Item<QPushButton>(d, 2), Qt::LeftButton);
    });
}

TEST_F(Pickers, SpaceConfirmsEvenOnCancelAndEscapeCancelsEvenOnOk) {
    KaStColorDlg picker;
    EXPECT_EQ(Run(picker,
                  [](QDialog* d) {
                      QTest::mouseClick(Item(d, 17039), Qt::LeftButton);
                      Item(d, 2)->setFocus();
                      QTest::keyClick(Item(d, 2), Qt::Key_Space);
                  }),
              IDOK);
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR09");

    KaStLTypeDlg lineTypes;
    EXPECT_EQ(Run(lineTypes,
                  [](QDialog* d) {
                      Item(d, 1)->setFocus();
                      QTest::keyClick(Item(d, 1), Qt::Key_Escape);
                  }),
              IDCANCEL);
    KaStLTypeDlg enter;
    EXPECT_EQ(Run(enter,
                  [](QDialog* d) {
                      Item(d, 2)->setFocus();
                      QTest::keyClick(Item(d, 2), Qt::Key_Enter);
                  }),
              IDOK);
}

TEST_F(Pickers, NameOutsideThePaletteIsFramedAsTheFirstAndReturnedUnchanged) {
    KaStColorDlg picker;
    picker.Seed(u"PINK");
    EXPECT_EQ(picker.mPrevSelection, u"MAINCOLOR01");
    EXPECT_EQ(picker.ControlOfName(u"PINK"), 17015);
    EXPECT_EQ(Run(picker,
                  [](QDialog* d) {
                      // Painted over first, then framed red: the frame ends red.
                      EXPECT_TRUE(FramedIn(Grab(d), Item(d, 17015), kRed));
                      QTest::mouseClick(Item(d, 1), Qt::LeftButton);
                  }),
              IDOK);
    EXPECT_EQ(picker.mSelection, u"PINK");
}

TEST_F(Pickers, LineTypePickerShowsEachPictureInItsPlace) {
    KaStLTypeDlg picker;
    picker.Seed(u"LINETYPE07");
    Run(picker, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Line Type Property");
        const auto entries = LineTypePickerEntries();
        ASSERT_EQ(entries.size(), 10u);
        for (size_t i = 0; i < entries.size(); ++i) {
            auto* s = Item<StaticWidget>(d, entries[i].controlId);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->Image(), LoadPluginBitmap(17046 + static_cast<int>(i)));
            EXPECT_EQ(s->size(), QSize(64, 25)) << "the picture and its border";
        }
        // LINETYPE01 alone in the first column; the others three to a row.
        EXPECT_LT(Item(d, 17016)->x(), Item(d, 17078)->x());
        EXPECT_EQ(Item(d, 17078)->x(), Item(d, 17081)->x());
        EXPECT_EQ(Item(d, 17081)->x(), Item(d, 17084)->x());
        EXPECT_EQ(Item(d, 17082)->y(), Item(d, 17083)->y());
        const QImage image = Grab(d);
        EXPECT_TRUE(FramedIn(image, Item(d, 17083), kRed));
        EXPECT_TRUE(FramedIn(image, Item(d, 17016), d->palette().color(QPalette::Window)));
        SaveScreenshot(d, "line-type-property.png");
        QTest::mouseDClick(Item(d, 17085), Qt::LeftButton);
    });
    EXPECT_EQ(picker.mSelection, u"LINETYPE09");
}

}  // namespace
}  // namespace ui_test

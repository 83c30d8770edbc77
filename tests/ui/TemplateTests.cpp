// TemplateTests.cpp - the dialog templates as data and as built windows (controls where their
// dialog units put them, named by their ids, texts that fit), dialog-unit arithmetic, and the
// plug-in's bitmaps drawn from their descriptions.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <set>

#include "host/EditPopups.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KaStPickers.h"
#include "ui/OrvantaDlg.h"
#include "ui/Resources.h"

namespace ui_test {
namespace {

TEST(DialogUnits, ConvertWithTheFontsBaseUnitsRoundingToTheNearestPixel) {
    const DialogUnits units{6, 13};
    EXPECT_EQ(units.X(461), 692);  // 691.5 rounds up
    EXPECT_EQ(units.Y(334), 543);  // 542.75
    EXPECT_EQ(units.X(0), 0);
    EXPECT_EQ(units.Y(37), 60);  // 60.125
    EXPECT_EQ(units.X(-5), -8);  // -7.5 rounds away from zero
    EXPECT_EQ(DialogUnits::MulDivRounded(7, 3, 0), 0) << "no division by zero";
    // The average letter width as the dialog manager takes it.
    EXPECT_EQ(DialogUnits::BaseXFromAlphabetWidth(312), 6);
    EXPECT_EQ(DialogUnits::BaseXFromAlphabetWidth(338), 7);
}

TEST(DialogTemplates, CreateInsertIsKoreanWithFortyNineControlsAndTheFixedStyle) {
    const DialogTemplate* t = FindDialogTemplate(12017);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->language, 1042);
    EXPECT_EQ(t->caption, u"Create Insert");
    EXPECT_EQ(t->cx, 461);
    EXPECT_EQ(t->cy, 334);
    EXPECT_EQ(t->style, 0x80C800C8u);
    EXPECT_EQ(t->exStyle, 0u);
    EXPECT_EQ(t->fontName, u"MS Shell Dlg");
    EXPECT_EQ(t->fontPoints, 8);
    ASSERT_EQ(t->controls.size(), 49u);
    EXPECT_EQ(t->controls.front().id, 12028);
    EXPECT_EQ(t->controls[1].id, 1);
    EXPECT_EQ(t->controls.back().id, 12029);
    std::set<int> ids;
    for (const ControlTemplate& c : t->controls)
        if (c.id != -1) {
            EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
        }
    EXPECT_EQ(t->Find(12024)->style, 0x50210003u);
    EXPECT_EQ(t->Find(12019)->style, 0x50011106u);
    EXPECT_EQ(t->Find(12020)->style, 0x5081010Eu);
    EXPECT_EQ(t->Find(12028)->style, 0x5080010Eu);
    EXPECT_EQ(t->Find(12017)->text, u"레이어명 : ");
}

TEST(DialogTemplates, PickersAndPopupsHaveTheirSizesAndControls) {
    struct Expect {
        int id, cx, cy;
        size_t controls;
        bool caption;
    };
    for (const Expect& e : {Expect{17079, 212, 88, 18, true}, Expect{17080, 212, 99, 12, true},
                            Expect{12004, 60, 37, 2, false}, Expect{17081, 60, 72, 5, false}}) {
        const DialogTemplate* t = FindDialogTemplate(e.id);
        ASSERT_NE(t, nullptr) << e.id;
        EXPECT_EQ(t->cx, e.cx) << e.id;
        EXPECT_EQ(t->cy, e.cy) << e.id;
        EXPECT_EQ(t->controls.size(), e.controls) << e.id;
        EXPECT_EQ(t->HasCaption(), e.caption) << e.id;
        EXPECT_EQ(t->language, 1042) << e.id;
    }
    EXPECT_EQ(FindDialogTemplate(17081)->controls.front().id, 2) << "cancel comes first";
    EXPECT_EQ(FindDialogTemplate(17081)->controls.back().id, 12025);
    EXPECT_EQ(FindDialogTemplate(12345), nullptr);
}

class BuiltDialogs : public DialogTest {
protected:
    // Opens `dlg`, checks every control of its template in the built window, then cancels.
    void CheckLayout(TemplateDialog& dlg, const std::string& screenshot) {
        WhenModal([&](QDialog* d) {
            const DialogTemplate& t = dlg.Template();
            const DialogUnits& units = static_cast<DialogWindow*>(d)->Units();
            EXPECT_EQ(d->size(), QSize(units.X(t.cx), units.Y(t.cy)));
            EXPECT_EQ(d->objectName(), QString::number(t.id));
            // The window's controls, taken one by one by id and text in template order.
            QList<QWidget*> unclaimed;
            for (QObject* child : d->children())
                if (auto* w = qobject_cast<QWidget*>(child)) unclaimed << w;
            ASSERT_EQ(unclaimed.size(), static_cast<qsizetype>(t.controls.size()));
            QList<QWidget*> focusOrder;
            for (size_t i = 0; i < t.controls.size(); ++i) {
                const ControlTemplate& c = t.controls[i];
                SCOPED_TRACE("control " + std::to_string(c.id));
                const QString text = QString::fromUtf16(c.text.data(), c.text.size());
                QWidget* w = nullptr;
                for (QWidget* candidate : unclaimed) {
                    QString shown;
                    if (auto* l = qobject_cast<QLabel*>(candidate)) shown = l->text();
                    if (auto* b = qobject_cast<QAbstractButton*>(candidate)) shown = b->text();
                    if (auto* g = qobject_cast<QGroupBox*>(candidate)) shown = g->title();
                    if (candidate->objectName() == QString::number(c.id) && shown == text) {
                        w = candidate;
                        break;
                    }
                }
                ASSERT_NE(w, nullptr) << "named by its id";
                unclaimed.removeOne(w);
                if (w->focusPolicy() & Qt::TabFocus) focusOrder << w;
                EXPECT_EQ(w->pos(), QPoint(units.X(c.x), units.Y(c.y)));
                if (c.kind == ControlKind::BitmapStatic) {
                    // A bitmap static takes its picture's size and a 1-pixel border.
                    auto* s = qobject_cast<StaticWidget*>(w);
                    ASSERT_NE(s, nullptr);
                    ASSERT_FALSE(s->Image().isNull());
                    EXPECT_EQ(s->size(), s->Image().size() + QSize(2, 2));
                } else if (c.kind == ControlKind::DropDownList) {
                    EXPECT_EQ(w->width(), units.X(c.cx));
                    EXPECT_LT(w->height(), units.Y(c.cy)) << "the list drops below";
                } else {
                    EXPECT_EQ(w->size(), QSize(units.X(c.cx), units.Y(c.cy)));
                }
                // Nothing clipped: every text fits its control.
                if (auto* label = qobject_cast<QLabel*>(w)) {
                    EXPECT_EQ(label->text(), text);
                    EXPECT_LE(label->sizeHint().width(), w->width()) << text.toStdString();
                } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                    EXPECT_EQ(button->text(), text);
                    if (!text.isEmpty()) {
                        EXPECT_LE(button->fontMetrics().horizontalAdvance(text), w->width())
                            << text.toStdString();
                    }
                    EXPECT_LE(button->sizeHint().height(), w->height() + 8) << "readable height";
                } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
                    EXPECT_EQ(box->title(), text);
                }
            }
            // Tab goes through the controls in template order.
            for (qsizetype i = 0; i + 1 < focusOrder.size(); ++i) {
                QWidget* next = focusOrder[i]->nextInFocusChain();
                while (next && !(next->focusPolicy() & Qt::TabFocus))
                    next = next->nextInFocusChain();
                EXPECT_EQ(next, focusOrder[i + 1]) << focusOrder[i]->objectName().toStdString();
            }
            SaveScreenshot(d, screenshot);
            QTest::mouseClick(Item(d, 2), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
};

TEST_F(BuiltDialogs, CreateInsertControlsSitWhereTheirDialogUnitsPutThem) {
    OrvantaDlg dlg;
    CheckLayout(dlg, "create-insert.png");
}

TEST_F(BuiltDialogs, PickerControlsSitWhereTheirDialogUnitsPutThem) {
    KaStColorDlg colours;
    CheckLayout(colours, "color-property-default.png");
    KaStLTypeDlg lineTypes;
    CheckLayout(lineTypes, "line-type-property-default.png");
}

TEST_F(BuiltDialogs, PopupControlsSitWhereTheirDialogUnitsPutThem) {
    OrvantaDimLengthDlg length;
    CheckLayout(length, "dim-length-layout.png");
    OrvantaDimLeaderDlg leader;
    CheckLayout(leader, "dim-leader-layout.png");
}

TEST_F(BuiltDialogs, DialogFontFallsBackToAKoreanFaceAtEightPoints) {
    const QFont font = TemplateFont(*FindDialogTemplate(12017));
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_TRUE(font.families().join(',').contains("Nanum"))
        << font.families().join(',').toStdString();
    const DialogUnits units = DialogUnitsOf(font);
    EXPECT_GE(units.baseX, 5);
    EXPECT_LE(units.baseX, 8);
    EXPECT_GE(units.baseY, 11);
    EXPECT_LE(units.baseY, 16);
}

// The line-type picture's two pattern rows as a string, '#' for white: the remaining rows must
// be black.
std::string PatternRow(const QImage& image) {
    std::string row;
    for (int x = 0; x < image.width(); ++x) {
        const QColor top = image.pixelColor(x, 11);
        EXPECT_EQ(top, image.pixelColor(x, 12)) << "two pixels thick at x " << x;
        row += top == Qt::white ? '#' : top == Qt::black ? '.' : '?';
    }
    for (int y = 0; y < image.height(); ++y) {
        if (y == 11 || y == 12) continue;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != Qt::black) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is not black";
                return row;
            }
    }
    return row;
}

TEST(PluginBitmaps, LineTypePicturesAreWhitePatternsTwoPixelsThickOnBlack) {
    const std::map<int, std::string> expected = {
        {17046, "..##########################################################.."},
        {17047, "..###..###..###..###..###..###..###..###..###..###..###..###.."},
        {17048, "..######...###...######...###...######...###...######...###..."},
        {17049, "..######..###..###..######..###..###..######..###..###..####.."},
        {17050, "..######....######....######....######....######....######...."},
        {17051, "..###########...####...###########...####...###########...##.."},
        {17052, "..###########..###..###..###########..###..###..###########..."},
        {17053, "..##########.......##########.......##########.......#######.."},
        {17054, "..##########################.....######.....################.."},
        {17055, "..#######################....######....######....###########.."},
    };
    for (const auto& [id, row] : expected) {
        const QImage image = LoadPluginBitmap(id);
        ASSERT_EQ(image.size(), QSize(62, 23)) << id;
        EXPECT_EQ(image.depth(), 24) << id;
        EXPECT_EQ(PatternRow(image.convertToFormat(QImage::Format_RGB32)), row) << id;
    }
}

TEST(PluginBitmaps, InsertPictureIsAGreenOutlineWithYellowArrowsOnBlack) {
    const QImage image = LoadPluginBitmap(12003).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(156, 302));
    EXPECT_EQ(LoadPluginBitmap(12003).depth(), 24);
    int green = 0, yellow = 0, black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == Qt::black) ++black;
            if (c.green() > 150 && c.red() < 80 && c.blue() < 80) ++green;
            if (c.red() > 200 && c.green() > 200 && c.blue() < 80) ++yellow;
        }
    EXPECT_GT(black, image.width() * image.height() / 2) << "a black ground";
    EXPECT_GT(green, 400) << "the insert outline";
    EXPECT_GT(yellow, 200) << "the arrows";
    // The bottom-left corner is square: its outline pixels reach the corner point.
    EXPECT_GT(image.pixelColor(30, 259).green(), 150);
    // The top-left corner is chamfered: the left side stops short of the top.
    EXPECT_EQ(image.pixelColor(30, 50), QColor(Qt::black));
    EXPECT_GT(image.pixelColor(30, 100).green(), 150);
}

TEST(PluginBitmaps, UnknownIdsHaveNoBitmap) {
    EXPECT_TRUE(LoadPluginBitmap(17045).isNull());
    EXPECT_TRUE(LoadPluginBitmap(17056).isNull());
    EXPECT_TRUE(LoadPluginBitmap(0).isNull());
}

}  // namespace
}  // namespace ui_test

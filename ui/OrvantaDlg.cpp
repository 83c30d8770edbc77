// OrvantaDlg.cpp - the "Create Insert" dialog: loading and saving its values, the enabling rules,
// the handlers that keep members and controls in step, and the four picker handlers.
#include "ui/OrvantaDlg.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <vector>

#include "settings/InsertSettings.h"
#include "settings/Palette.h"
#include "settings/SettingsRegistry.h"
#include "settings/TextConversions.h"
#include "settings/Utf.h"
#include "ui/KaStPickers.h"
#include "ui/Resources.h"

namespace {

// Control ids of template 12017.
enum : int32_t {
    kPicture = 12028,
    kMethod0 = 12000,
    kMethod1 = 12001,
    kDisUpEdit = 12002,
    kDisRightEdit = 12003,
    kDisLeftEdit = 12004,
    kDisDownEdit = 12005,
    kValueUpRightEdit = 12006,
    kUpRightList = 12007,
    kValueUpLeftEdit = 12008,
    kUpLeftList = 12009,
    kValueDownRightEdit = 12010,
    kDownRightList = 12011,
    kValueDownLeftEdit = 12012,
    kDownLeftList = 12013,
    kCurLayerCheck = 12014,
    kLayerEdit = 12015,
    kCurColorCheck = 12016,
    kLayerLabel = 12017,
    kColorLabel = 12018,
    kColorSwatch = 12019,
    kLTypeSwatch = 12020,
    kLimitCheck = 12021,
    kLimitLabel = 12022,
    kTypeList = 12023,
    kLimitList = 12024,
    kChamferConvCheck = 12029,
    kCheckHole = 12033,
    kLayerHoleEdit = 12034,
    kOffsetHoleEdit = 12035,
    kCornerRHoleEdit = 12036,
    kChamferHoleEdit = 12037,
    kColorHoleSwatch = 12038,
    kLTypeHoleSwatch = 12039,
    kCornerConvCheck = 12040,
};

std::u16string FormatInt(int32_t value) {
    return Utf16(std::to_string(value));
}

std::u16string FormatFlag(int32_t value) {
    return value != 0 ? u"1" : u"0";
}

void Toggle(int32_t& flag) {
    flag = flag == 0 ? 1 : 0;
}

void AddEntries(QComboBox* list, std::initializer_list<const char16_t*> entries) {
    if (!list) return;
    for (const char16_t* entry : entries) list->addItem(QString::fromUtf16(entry));
}

// An index outside the list leaves it without a selection.
void SelectIndex(QComboBox* list, int32_t index) {
    if (!list) return;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

}  // namespace

OrvantaDlg::OrvantaDlg() : TemplateDialog(kCreateInsertTemplate), mSubKey(kSettingsSubKey) {}

OrvantaDlg::~OrvantaDlg() = default;

void OrvantaDlg::DoDataExchange(bool save) {
    TemplateDialog::DoDataExchange(save);
    DDX_Control(kTypeList, mTypeList);
    DDX_Radio(kMethod0, Method, save);
    DDX_Text(kValueUpLeftEdit, mValueUpLeft, save);
    DDX_Text(kValueUpRightEdit, mValueUpRight, save);
    DDX_Text(kValueDownLeftEdit, mValueDownLeft, save);
    DDX_Text(kValueDownRightEdit, mValueDownRight, save);
    DDX_Control(kUpLeftList, mUpLeftList);
    DDX_Control(kUpRightList, mUpRightList);
    DDX_Control(kDownLeftList, mDownLeftList);
    DDX_Control(kDownRightList, mDownRightList);
    DDX_Text(kDisUpEdit, mDisUp, save);
    DDX_Text(kDisDownEdit, mDisDown, save);
    DDX_Text(kDisLeftEdit, mDisLeft, save);
    DDX_Text(kDisRightEdit, mDisRight, save);
    DDX_Check(kCurLayerCheck, mIsCurLayer, save);
    DDX_Text(kLayerEdit, mLayer, save);
    DDX_Check(kCurColorCheck, mIsCurColor, save);
    DDX_Check(kLimitCheck, mIsLimit, save);
    DDX_Control(kLimitList, mLimitList);
    DDX_Check(kCheckHole, mIsCheckHole, save);
    DDX_Text(kLayerHoleEdit, mLayerHole, save);
    DDX_Text(kOffsetHoleEdit, mOffsetHole, save);
    DDX_Text(kCornerRHoleEdit, mCornerRHole, save);
    DDX_Check(kCornerConvCheck, mIsCornerConvHole, save);
    DDX_Text(kChamferHoleEdit, mChamferHole, save);
    DDX_Check(kChamferConvCheck, mIsChamferConvHole, save);
    DDX_Control(kColorSwatch, mColorSwatch);
    DDX_Control(kColorHoleSwatch, mColorHoleSwatch);
}

bool OrvantaDlg::PreTranslateMessage(QKeyEvent* key) {
    // Enter and Escape do nothing here, wherever the focus is: the dialog closes only by its
    // buttons or its close box.
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        default:
            return TemplateDialog::PreTranslateMessage(key);
    }
}

void OrvantaDlg::MapMessages() {
    auto list = [this](int32_t id, void (OrvantaDlg::*handler)()) {
        if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id)))
            connect(combo, &QComboBox::activated, this, handler);
    };
    auto button = [this](int32_t id, void (OrvantaDlg::*handler)()) {
        if (auto* b = qobject_cast<QAbstractButton*>(GetDlgItem(id)))
            connect(b, &QAbstractButton::clicked, this, handler);
    };
    auto picture = [this](int32_t id, void (OrvantaDlg::*handler)()) {
        if (auto* s = qobject_cast<StaticWidget*>(GetDlgItem(id)))
            connect(s, &StaticWidget::clicked, this, handler);
    };
    list(kTypeList, &OrvantaDlg::OnSelChangeType);
    button(kMethod0, &OrvantaDlg::OnClickedMethod0);
    button(kMethod1, &OrvantaDlg::OnClickedMethod1);
    list(kUpLeftList, &OrvantaDlg::OnSelChangeUpLeft);
    list(kUpRightList, &OrvantaDlg::OnSelChangeUpRight);
    list(kDownLeftList, &OrvantaDlg::OnSelChangeDownLeft);
    list(kDownRightList, &OrvantaDlg::OnSelChangeDownRight);
    button(kCurLayerCheck, &OrvantaDlg::OnClickedCurLayer);
    button(kCurColorCheck, &OrvantaDlg::OnClickedCurColor);
    button(kLimitCheck, &OrvantaDlg::OnClickedLimit);
    list(kLimitList, &OrvantaDlg::OnSelChangeLimit);
    button(kCheckHole, &OrvantaDlg::OnClickedCheckHole);
    button(kCornerConvCheck, &OrvantaDlg::OnClickedCornerConvHole);
    button(kChamferConvCheck, &OrvantaDlg::OnClickedChamferConvHole);
    picture(kColorSwatch, &OrvantaDlg::OnClickedColor);
    picture(kColorHoleSwatch, &OrvantaDlg::OnClickedColorHole);
    picture(kLTypeSwatch, &OrvantaDlg::OnClickedLType);
    picture(kLTypeHoleSwatch, &OrvantaDlg::OnClickedLTypeHole);
}

bool OrvantaDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    AddEntries(mTypeList, {u"단일지시", u"복수지시", u"두점지시"});
    for (QComboBox* corner :
         {mUpLeftList.data(), mUpRightList.data(), mDownLeftList.data(), mDownRightList.data()})
        AddEntries(corner, {u"사용안함", u"코너", u"모따기"});
    AddEntries(mLimitList, {u"0", u"1", u"2"});
    LoadFromRegistry();
    UpdateControlStates();
    SetLineTypeBitmap(1, LType);
    SetLineTypeBitmap(2, LTypeHole);
    return true;
}

void OrvantaDlg::LoadFromRegistry() {
    auto edit = [this](int32_t id, const std::u16string& text) {
        if (auto* e = qobject_cast<QLineEdit*>(GetDlgItem(id))) e->setText(ToQString(text));
    };
    auto check = [this](int32_t id, int32_t flag) {
        if (auto* b = qobject_cast<QAbstractButton*>(GetDlgItem(id))) b->setChecked(flag != 0);
    };
    std::vector<RegistryValue> missing;
    for (const SettingRow& row : InsertSettingRows()) {
        const std::u16string name(row.name);
        std::u16string text;
        if (!ReadSettingString(mSubKey, name, text)) {
            text = std::u16string(row.defaultText);
            missing.push_back({name, text});
        }
        if (name == u"mType") {
            mType = TextToInt(text);
            SelectIndex(mTypeList, mType);
        } else if (name == u"Method") {
            Method = TextToInt(text);
            const int32_t selected = Method != 0 ? kMethod1 : kMethod0;
            if (auto* r = qobject_cast<QRadioButton*>(GetDlgItem(selected))) r->setChecked(true);
        } else if (name == u"mValueUpLeft") {
            mValueUpLeft = text;
            edit(kValueUpLeftEdit, text);
        } else if (name == u"mValueUpRight") {
            mValueUpRight = text;
            edit(kValueUpRightEdit, text);
        } else if (name == u"mValueDownLeft") {
            mValueDownLeft = text;
            edit(kValueDownLeftEdit, text);
        } else if (name == u"mValueDownRight") {
            mValueDownRight = text;
            edit(kValueDownRightEdit, text);
        } else if (name == u"mUpLeft") {
            mUpLeft = TextToInt(text);
            SelectIndex(mUpLeftList, mUpLeft);
        } else if (name == u"mUpRight") {
            mUpRight = TextToInt(text);
            SelectIndex(mUpRightList, mUpRight);
        } else if (name == u"mDownLeft") {
            mDownLeft = TextToInt(text);
            SelectIndex(mDownLeftList, mDownLeft);
        } else if (name == u"mDownRight") {
            mDownRight = TextToInt(text);
            SelectIndex(mDownRightList, mDownRight);
        } else if (name == u"mDisUp") {
            mDisUp = text;
            edit(kDisUpEdit, text);
        } else if (name == u"mDisDown") {
            mDisDown = text;
            edit(kDisDownEdit, text);
        } else if (name == u"mDisLeft") {
            mDisLeft = text;
            edit(kDisLeftEdit, text);
        } else if (name == u"mDisRight") {
            mDisRight = text;
            edit(kDisRightEdit, text);
        } else if (name == u"mIsCurLayer") {
            mIsCurLayer = TextToFlag(text);
            check(kCurLayerCheck, mIsCurLayer);
        } else if (name == u"mLayer") {
            mLayer = text;
            edit(kLayerEdit, text);
        } else if (name == u"mIsCurColor") {
            mIsCurColor = TextToFlag(text);
            check(kCurColorCheck, mIsCurColor);
        } else if (name == u"Color") {
            mColorSwatch.mColorName = text;
        } else if (name == u"LType") {
            LType = text;
        } else if (name == u"mIsLimit") {
            mIsLimit = TextToFlag(text);
            check(kLimitCheck, mIsLimit);
        } else if (name == u"mLimit") {
            mLimit = TextToInt(text);
            SelectIndex(mLimitList, mLimit);
        } else if (name == u"mIsCheckHole") {
            mIsCheckHole = TextToFlag(text);
            check(kCheckHole, mIsCheckHole);
        } else if (name == u"mLayerHole") {
            mLayerHole = text;
            edit(kLayerHoleEdit, text);
        } else if (name == u"mOffsetHole") {
            mOffsetHole = text;
            edit(kOffsetHoleEdit, text);
        } else if (name == u"mCornerRHole") {
            mCornerRHole = text;
            edit(kCornerRHoleEdit, text);
        } else if (name == u"mIsCornerConvHole") {
            mIsCornerConvHole = TextToFlag(text);
            check(kCornerConvCheck, mIsCornerConvHole);
        } else if (name == u"mChamferHole") {
            mChamferHole = text;
            edit(kChamferHoleEdit, text);
        } else if (name == u"mIsChamferConvHole") {
            mIsChamferConvHole = TextToFlag(text);
            check(kChamferConvCheck, mIsChamferConvHole);
        } else if (name == u"ColorHole") {
            mColorHoleSwatch.mColorName = text;
        } else if (name == u"LTypeHole") {
            LTypeHole = text;
        }
    }
    // The defaults taken are written back together, before the user sees the dialog.
    if (!missing.empty()) WriteSettingStrings(mSubKey, missing);
    mColorSwatch.Invalidate();
    mColorHoleSwatch.Invalidate();
}

bool OrvantaDlg::SaveToRegistry() {
    std::vector<RegistryValue> values;
    for (const SettingRow& row : InsertSettingRows()) {
        const std::u16string name(row.name);
        std::u16string text;
        auto length = [](const std::u16string& typed) {
            return FormatSettingNumber(TextToReal(typed));
        };
        if (name == u"mType")
            text = FormatInt(mType);
        else if (name == u"Method")
            text = FormatInt(Method);
        else if (name == u"mValueUpLeft")
            text = length(mValueUpLeft);
        else if (name == u"mValueUpRight")
            text = length(mValueUpRight);
        else if (name == u"mValueDownLeft")
            text = length(mValueDownLeft);
        else if (name == u"mValueDownRight")
            text = length(mValueDownRight);
        else if (name == u"mUpLeft")
            text = FormatInt(mUpLeft);
        else if (name == u"mUpRight")
            text = FormatInt(mUpRight);
        else if (name == u"mDownLeft")
            text = FormatInt(mDownLeft);
        else if (name == u"mDownRight")
            text = FormatInt(mDownRight);
        else if (name == u"mDisUp")
            text = length(mDisUp);
        else if (name == u"mDisDown")
            text = length(mDisDown);
        else if (name == u"mDisLeft")
            text = length(mDisLeft);
        else if (name == u"mDisRight")
            text = length(mDisRight);
        else if (name == u"mIsCurLayer")
            text = FormatFlag(mIsCurLayer);
        else if (name == u"mLayer")
            text = mLayer;
        else if (name == u"mIsCurColor")
            text = FormatFlag(mIsCurColor);
        else if (name == u"Color")
            text = mColorSwatch.mColorName;
        else if (name == u"LType")
            text = LType;
        else if (name == u"mIsLimit")
            text = FormatFlag(mIsLimit);
        else if (name == u"mLimit")
            text = FormatInt(mLimit);
        else if (name == u"mIsCheckHole")
            text = FormatFlag(mIsCheckHole);
        else if (name == u"mLayerHole")
            text = mLayerHole;
        else if (name == u"mOffsetHole")
            text = mOffsetHole;
        else if (name == u"mCornerRHole")
            text = mCornerRHole;
        else if (name == u"mIsCornerConvHole")
            text = FormatFlag(mIsCornerConvHole);
        else if (name == u"mChamferHole")
            text = mChamferHole;
        else if (name == u"mIsChamferConvHole")
            text = FormatFlag(mIsChamferConvHole);
        else if (name == u"ColorHole")
            text = mColorHoleSwatch.mColorName;
        else if (name == u"LTypeHole")
            text = LTypeHole;
        else
            continue;
        values.push_back({name, text});
    }
    return WriteSettingStrings(mSubKey, values);
}

void OrvantaDlg::UpdateControlStates() {
    auto enable = [this](int32_t id, bool on) {
        if (QWidget* w = GetDlgItem(id)) w->setEnabled(on);
    };
    enable(kLayerLabel, mIsCurLayer == 0);
    enable(kLayerEdit, mIsCurLayer == 0);
    enable(kColorLabel, mIsCurColor == 0);
    enable(kLimitLabel, mIsLimit != 0);
    enable(kLimitList, mIsLimit != 0);
    for (int32_t id : {kLayerHoleEdit, kOffsetHoleEdit, kCornerRHoleEdit, kCornerConvCheck,
                       kChamferHoleEdit, kChamferConvCheck})
        enable(id, mIsCheckHole != 0);
}

void OrvantaDlg::SetLineTypeBitmap(int32_t kind, const std::u16string& name) {
    const int32_t id = kind == 1 ? kLTypeSwatch : kind == 2 ? kLTypeHoleSwatch : 0;
    if (auto* s = qobject_cast<StaticWidget*>(GetDlgItem(id)))
        s->SetImage(LoadPluginBitmap(LineTypePictureId(name)));
}

void OrvantaDlg::OnSelChangeType() {
    if (mTypeList) mType = mTypeList->currentIndex();
}
void OrvantaDlg::OnClickedMethod0() {
    Method = 0;
}
void OrvantaDlg::OnClickedMethod1() {
    Method = 1;
}
void OrvantaDlg::OnSelChangeUpLeft() {
    if (mUpLeftList) mUpLeft = mUpLeftList->currentIndex();
}
void OrvantaDlg::OnSelChangeUpRight() {
    if (mUpRightList) mUpRight = mUpRightList->currentIndex();
}
void OrvantaDlg::OnSelChangeDownLeft() {
    if (mDownLeftList) mDownLeft = mDownLeftList->currentIndex();
}
void OrvantaDlg::OnSelChangeDownRight() {
    if (mDownRightList) mDownRight = mDownRightList->currentIndex();
}
void OrvantaDlg::OnClickedCurLayer() {
    Toggle(mIsCurLayer);
    UpdateControlStates();
}
void OrvantaDlg::OnClickedCurColor() {
    Toggle(mIsCurColor);
    UpdateControlStates();
}
void OrvantaDlg::OnClickedLimit() {
    Toggle(mIsLimit);
    UpdateControlStates();
}
void OrvantaDlg::OnSelChangeLimit() {
    if (mLimitList) mLimit = mLimitList->currentIndex();
}
void OrvantaDlg::OnClickedCheckHole() {
    Toggle(mIsCheckHole);
    UpdateControlStates();
}
void OrvantaDlg::OnClickedCornerConvHole() {
    Toggle(mIsCornerConvHole);
}
void OrvantaDlg::OnClickedChamferConvHole() {
    Toggle(mIsChamferConvHole);
}

void OrvantaDlg::OnClickedColor() {
    PickColor(mColorSwatch, u"PA_Color");
}
void OrvantaDlg::OnClickedColorHole() {
    PickColor(mColorHoleSwatch, u"ColorHole");
}
void OrvantaDlg::OnClickedLType() {
    PickLineType(LType, 1, u"PA_LType");
}
void OrvantaDlg::OnClickedLTypeHole() {
    PickLineType(LTypeHole, 2, u"LTypeHole");
}

void OrvantaDlg::PickColor(StaticMainColor& swatch, const std::u16string& valueName) {
    KaStColorDlg picker(this);
    picker.Seed(swatch.mColorName);
    if (picker.DoModal() != IDOK) return;
    swatch.mColorName = picker.mSelection;
    Invalidate(false);
    swatch.Invalidate();
    WriteSettingString(mSubKey, valueName, swatch.mColorName);
}

void OrvantaDlg::PickLineType(std::u16string& name, int32_t kind, const std::u16string& valueName) {
    KaStLTypeDlg picker(this);
    picker.Seed(name);
    if (picker.DoModal() != IDOK) return;
    name = picker.mSelection;
    SetLineTypeBitmap(kind, name);
    WriteSettingString(mSubKey, valueName, name);
}

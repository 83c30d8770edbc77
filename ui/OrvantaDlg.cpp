// OrvantaDlg.cpp - the "Create Insert" dialog: loading and saving its values, the enabling rules,
// the handlers that keep members and controls in step, and the four picker handlers.
#include "ui/OrvantaDlg.h"

#include <array>
#include <variant>
#include <vector>

#include "platform/Utf.h"
#include "settings/InsertSettings.h"
#include "settings/Palette.h"
#include "settings/SettingsRegistry.h"
#include "settings/TextConversions.h"
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

void AddEntries(DlgItem& list, std::initializer_list<const char16_t*> entries) {
    for (const char16_t* entry : entries) list.AddString(entry);
}

// How the dialog shows a value and stores it back.
enum class Shown {
    ListIndex,     // a number member: the selected index of a drop-down list
    MethodRadio,   // Method: which of the two method radios is checked
    Text,          // a text member in an edit, stored as typed
    Length,        // a text member in an edit, stored as a length (FormatSettingNumber)
    Check,         // a flag member: a check box
    ColourSwatch,  // a swatch member: the colour name it holds
    LineTypeName,  // a text member: a line-type name, pictured once the dialog is up
};

using D = OrvantaDlg;
using S = InsertSettings;
using DialogMember = std::variant<int32_t D::*, std::u16string D::*, StaticMainColor D::*>;

// One value of the dialog: the settings field of its row, how it is shown, the member that
// holds it, and its control (none for the line types, which are pictures).
struct Binding {
    SettingMember setting;
    Shown shown;
    DialogMember member;
    int32_t control;
};

constexpr int32_t kNoControl = 0;

// In the order of the settings rows, so that row i and binding i are the same value.
constexpr std::array<Binding, 30> kBindings = {{
    {&S::mType, Shown::ListIndex, &D::mType, kTypeList},
    {&S::Method, Shown::MethodRadio, &D::Method, kMethod0},
    {&S::mValueUpLeft, Shown::Length, &D::mValueUpLeft, kValueUpLeftEdit},
    {&S::mValueUpRight, Shown::Length, &D::mValueUpRight, kValueUpRightEdit},
    {&S::mValueDownLeft, Shown::Length, &D::mValueDownLeft, kValueDownLeftEdit},
    {&S::mValueDownRight, Shown::Length, &D::mValueDownRight, kValueDownRightEdit},
    {&S::mUpLeft, Shown::ListIndex, &D::mUpLeft, kUpLeftList},
    {&S::mUpRight, Shown::ListIndex, &D::mUpRight, kUpRightList},
    {&S::mDownLeft, Shown::ListIndex, &D::mDownLeft, kDownLeftList},
    {&S::mDownRight, Shown::ListIndex, &D::mDownRight, kDownRightList},
    {&S::mDisUp, Shown::Length, &D::mDisUp, kDisUpEdit},
    {&S::mDisDown, Shown::Length, &D::mDisDown, kDisDownEdit},
    {&S::mDisLeft, Shown::Length, &D::mDisLeft, kDisLeftEdit},
    {&S::mDisRight, Shown::Length, &D::mDisRight, kDisRightEdit},
    {&S::mIsCurLayer, Shown::Check, &D::mIsCurLayer, kCurLayerCheck},
    {&S::mLayer, Shown::Text, &D::mLayer, kLayerEdit},
    {&S::mIsCurColor, Shown::Check, &D::mIsCurColor, kCurColorCheck},
    {&S::Color, Shown::ColourSwatch, &D::mColorSwatch, kColorSwatch},
    {&S::LType, Shown::LineTypeName, &D::LType, kNoControl},
    {&S::mIsLimit, Shown::Check, &D::mIsLimit, kLimitCheck},
    {&S::mLimit, Shown::ListIndex, &D::mLimit, kLimitList},
    {&S::mIsCheckHole, Shown::Check, &D::mIsCheckHole, kCheckHole},
    {&S::mLayerHole, Shown::Text, &D::mLayerHole, kLayerHoleEdit},
    {&S::mOffsetHole, Shown::Text, &D::mOffsetHole, kOffsetHoleEdit},
    {&S::mCornerRHole, Shown::Text, &D::mCornerRHole, kCornerRHoleEdit},
    {&S::mIsCornerConvHole, Shown::Check, &D::mIsCornerConvHole, kCornerConvCheck},
    {&S::mChamferHole, Shown::Text, &D::mChamferHole, kChamferHoleEdit},
    {&S::mIsChamferConvHole, Shown::Check, &D::mIsChamferConvHole, kChamferConvCheck},
    {&S::ColorHole, Shown::ColourSwatch, &D::mColorHoleSwatch, kColorHoleSwatch},
    {&S::LTypeHole, Shown::LineTypeName, &D::LTypeHole, kNoControl},
}};

// Binding i stands for the settings field of row i, and its member is of the kind its way of
// showing needs.
constexpr bool BindingsFollowTheRows() {
    for (std::size_t i = 0; i < kBindings.size(); ++i) {
        const Binding& binding = kBindings[i];
        if (binding.setting != kInsertSettingRows[i].member) return false;
        switch (binding.shown) {
            case Shown::ListIndex:
            case Shown::MethodRadio:
            case Shown::Check:
                if (!std::holds_alternative<int32_t D::*>(binding.member)) return false;
                break;
            case Shown::Text:
            case Shown::Length:
            case Shown::LineTypeName:
                if (!std::holds_alternative<std::u16string D::*>(binding.member)) return false;
                break;
            case Shown::ColourSwatch:
                if (!std::holds_alternative<StaticMainColor D::*>(binding.member)) return false;
                break;
        }
    }
    return true;
}
static_assert(kBindings.size() == kInsertSettingRows.size());
static_assert(BindingsFollowTheRows(), "the dialog's bindings must follow the settings rows");

// Puts a stored text into the binding's member and shows it in its control.
void ShowValue(OrvantaDlg& dlg, const Binding& binding, const std::u16string& text) {
    DialogSurface* window = dlg.Surface();
    if (!window) return;
    switch (binding.shown) {
        case Shown::ListIndex: {
            int32_t& value = dlg.*std::get<int32_t D::*>(binding.member);
            value = TextToInt(text);
            // An index outside the list leaves it without a selection.
            window->SetListSelection(binding.control, value);
            break;
        }
        case Shown::MethodRadio: {
            int32_t& value = dlg.*std::get<int32_t D::*>(binding.member);
            value = TextToInt(text);
            window->SetChecked(value != 0 ? kMethod1 : kMethod0, true);
            break;
        }
        case Shown::Text:
        case Shown::Length:
            dlg.*std::get<std::u16string D::*>(binding.member) = text;
            window->SetText(binding.control, text);
            break;
        case Shown::Check: {
            int32_t& value = dlg.*std::get<int32_t D::*>(binding.member);
            value = TextToFlag(text);
            window->SetChecked(binding.control, value != 0);
            break;
        }
        case Shown::ColourSwatch:
            (dlg.*std::get<StaticMainColor D::*>(binding.member)).mColorName = text;
            break;
        case Shown::LineTypeName:
            dlg.*std::get<std::u16string D::*>(binding.member) = text;
            break;
    }
}

// The text that the binding's member is stored as.
std::u16string StoredText(const OrvantaDlg& dlg, const Binding& binding) {
    switch (binding.shown) {
        case Shown::ListIndex:
        case Shown::MethodRadio:
            return FormatInt(dlg.*std::get<int32_t D::*>(binding.member));
        case Shown::Check:
            return FormatFlag(dlg.*std::get<int32_t D::*>(binding.member));
        case Shown::Length:
            return FormatSettingNumber(
                TextToReal(dlg.*std::get<std::u16string D::*>(binding.member)));
        case Shown::Text:
        case Shown::LineTypeName:
            return dlg.*std::get<std::u16string D::*>(binding.member);
        case Shown::ColourSwatch:
            return (dlg.*std::get<StaticMainColor D::*>(binding.member)).mColorName;
    }
    return {};
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

bool OrvantaDlg::PreTranslateMessage(const KeyMessage& key) {
    // Enter and Escape do nothing here, wherever the focus is: the dialog closes only by its
    // buttons or its close box.
    if (key.key == DialogKey::Enter || key.key == DialogKey::Escape) return true;
    return TemplateDialog::PreTranslateMessage(key);
}

void OrvantaDlg::MapMessages() {
    auto list = [this](int32_t id, void (OrvantaDlg::*handler)()) {
        OnMessage(Notification::SelectionChanged, id, [this, handler] { (this->*handler)(); });
    };
    auto button = [this](int32_t id, void (OrvantaDlg::*handler)()) {
        OnMessage(Notification::Clicked, id, [this, handler] { (this->*handler)(); });
    };
    auto picture = button;
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
    for (DlgItem* corner : {&mUpLeftList, &mUpRightList, &mDownLeftList, &mDownRightList})
        AddEntries(*corner, {u"사용안함", u"코너", u"모따기"});
    AddEntries(mLimitList, {u"0", u"1", u"2"});
    LoadFromRegistry();
    UpdateControlStates();
    SetLineTypeBitmap(1, LType);
    SetLineTypeBitmap(2, LTypeHole);
    return true;
}

void OrvantaDlg::LoadFromRegistry() {
    for (std::size_t i = 0; i < kBindings.size(); ++i) {
        const SettingRow& row = kInsertSettingRows[i];
        const std::u16string name(row.name);
        std::u16string text;
        if (!ReadSettingString(mSubKey, name, text)) {
            text = std::u16string(row.defaultText);
            WriteSettingString(mSubKey, name, text);  // back at once, before the user sees it
        }
        ShowValue(*this, kBindings[i], text);
    }
    mColorSwatch.Invalidate();
    mColorHoleSwatch.Invalidate();
}

bool OrvantaDlg::SaveToRegistry() {
    // The dialog's values are stored together, so that a save cut short by a crash or a kill
    // leaves the settings as they were or as entered, never a mix of the two.
    std::vector<RegistryValue> values;
    for (std::size_t i = 0; i < kBindings.size(); ++i) {
        values.push_back(
            {std::u16string(kInsertSettingRows[i].name), StoredText(*this, kBindings[i])});
    }
    return WriteSettingStrings(mSubKey, values);
}

void OrvantaDlg::UpdateControlStates() {
    auto enable = [this](int32_t id, bool on) {
        if (Surface()) Surface()->Enable(id, on);
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
    if (Surface()) Surface()->SetBitmap(id, LineTypePictureId(name));
}

void OrvantaDlg::OnSelChangeType() {
    if (mTypeList) mType = mTypeList.GetCurSel();
}
void OrvantaDlg::OnClickedMethod0() {
    Method = 0;
}
void OrvantaDlg::OnClickedMethod1() {
    Method = 1;
}
void OrvantaDlg::OnSelChangeUpLeft() {
    if (mUpLeftList) mUpLeft = mUpLeftList.GetCurSel();
}
void OrvantaDlg::OnSelChangeUpRight() {
    if (mUpRightList) mUpRight = mUpRightList.GetCurSel();
}
void OrvantaDlg::OnSelChangeDownLeft() {
    if (mDownLeftList) mDownLeft = mDownLeftList.GetCurSel();
}
void OrvantaDlg::OnSelChangeDownRight() {
    if (mDownRightList) mDownRight = mDownRightList.GetCurSel();
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
    if (mLimitList) mLimit = mLimitList.GetCurSel();
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

// DialogTemplates.cpp - the five dialog templates of the plug-in, control by control in template
// order (which is also the tab order), and the dialog-unit arithmetic.
#include <algorithm>
#include <cstdlib>

#include "ui/DialogTemplate.h"

namespace {

using K = ControlKind;

// Control styles as the templates give them.
constexpr uint32_t kPushButton = 0x50010000;
constexpr uint32_t kRadioGroupStart = 0x50020009;
constexpr uint32_t kRadio = 0x50000009;
constexpr uint32_t kGroupBox = 0x50000007;
constexpr uint32_t kCheckBox = 0x50010003;
constexpr uint32_t kEdit = 0x50810080;
constexpr uint32_t kDropDownList = 0x50210003;
constexpr uint32_t kLabel = 0x50020000;
constexpr uint32_t kColorSwatch = 0x50011106;
constexpr uint32_t kLineTypeSwatch = 0x5081010E;
constexpr uint32_t kPicture = 0x5080010E;

// "Create Insert".
constexpr ControlTemplate kCreateInsertControls[] = {
    {12028, K::BitmapStatic, 295, 28, 105, 187, u"", kPicture, 12003},
    {1, K::PushButton, 177, 310, 50, 14, u"확인", kPushButton},
    {12000, K::RadioGroupStart, 15, 36, 194, 10, u"현재 설정값으로 INSERT 연속 작성",
     kRadioGroupStart},
    {12001, K::Radio, 15, 51, 192, 10, u"치수 및 지시선 선택방식으로 INSERT 개별 작성", kRadio},
    {-1, K::GroupBox, 5, 5, 233, 67, u"TYPE", kGroupBox},
    {12002, K::Edit, 330, 9, 40, 14, u"", kEdit},
    {12003, K::Edit, 405, 115, 40, 14, u"", kEdit},
    {12004, K::Edit, 250, 115, 40, 14, u"", kEdit},
    {12005, K::Edit, 330, 220, 40, 14, u"", kEdit},
    {12006, K::Edit, 405, 9, 48, 14, u"", kEdit},
    {12007, K::DropDownList, 405, 24, 48, 57, u"", kDropDownList},
    {12008, K::Edit, 242, 9, 48, 14, u"", kEdit},
    {12009, K::DropDownList, 242, 24, 48, 57, u"", kDropDownList},
    {12010, K::Edit, 405, 196, 48, 14, u"", kEdit},
    {12011, K::DropDownList, 405, 212, 48, 57, u"", kDropDownList},
    {12012, K::Edit, 242, 196, 48, 14, u"", kEdit},
    {12013, K::DropDownList, 242, 212, 48, 57, u"", kDropDownList},
    {-1, K::GroupBox, 5, 75, 233, 50, u"LAYER", kGroupBox},
    {12014, K::CheckBox, 15, 89, 141, 10, u"현재 시스템 레이어로 작성", kCheckBox},
    {12017, K::Label, 37, 105, 43, 8, u"레이어명 : ", kLabel},
    {12015, K::Edit, 86, 102, 40, 14, u"", kEdit},
    {-1, K::GroupBox, 5, 128, 234, 56, u"COLOR", kGroupBox},
    {12016, K::CheckBox, 15, 143, 135, 10, u"현재 시스템 선색ㆍ선종으로 작성", kCheckBox},
    {12018, K::Label, 37, 161, 45, 8, u"선색ㆍ선종 : ", kLabel},
    {12019, K::MainColorSwatch, 87, 156, 20, 18, u"", kColorSwatch},
    {12020, K::BitmapStatic, 110, 156, 16, 14, u"", kLineTypeSwatch},
    {2, K::PushButton, 227, 310, 50, 14, u"취소", kPushButton},
    {-1, K::GroupBox, 5, 188, 233, 50, u"LIMIT", kGroupBox},
    {12021, K::CheckBox, 15, 202, 123, 10, u"거리량에 따른 정도지정", kCheckBox},
    {12022, K::Label, 37, 218, 55, 8, u"소수점자리수 : ", kLabel},
    {12024, K::DropDownList, 103, 215, 29, 54, u"", kDropDownList},
    {12023, K::DropDownList, 15, 19, 89, 57, u"", kDropDownList},
    {12033, K::CheckBox, 15, 267, 8, 10, u"", kCheckBox},
    {-1, K::Label, 32, 278, 41, 8, u"작성레이어", kLabel},
    {-1, K::Label, 81, 278, 41, 8, u"오프셋량", kLabel},
    {-1, K::Label, 129, 278, 30, 8, u"코너R량", kLabel},
    {-1, K::Label, 194, 278, 33, 8, u"모따기량", kLabel},
    {-1, K::Label, 281, 278, 25, 8, u"선속성", kLabel},
    {12034, K::Edit, 31, 264, 39, 14, u"", kEdit},
    {12035, K::Edit, 77, 264, 39, 14, u"", kEdit},
    {12036, K::Edit, 124, 264, 39, 14, u"", kEdit},
    {12037, K::Edit, 190, 264, 39, 14, u"", kEdit},
    {12038, K::MainColorSwatch, 259, 264, 20, 18, u"", kColorSwatch},
    {12039, K::BitmapStatic, 281, 264, 16, 14, u"", kLineTypeSwatch},
    {-1, K::GroupBox, 5, 241, 330, 54, u"HOLE", kGroupBox},
    {-1, K::Label, 165, 278, 17, 8, u"변환", kLabel},
    {-1, K::Label, 232, 278, 17, 8, u"변환", kLabel},
    {12040, K::CheckBox, 167, 267, 9, 10, u"", kCheckBox},
    {12029, K::CheckBox, 233, 267, 9, 10, u"", kCheckBox},
};

// "Color Property": the sixteen palette colours in two rows of eight.
constexpr ControlTemplate kColorPropertyControls[] = {
    {17015, K::BkColorSwatch, 12, 11, 20, 18, u"", kColorSwatch},
    {17032, K::BkColorSwatch, 36, 11, 20, 18, u"", kColorSwatch},
    {17033, K::BkColorSwatch, 60, 11, 20, 18, u"", kColorSwatch},
    {17034, K::BkColorSwatch, 83, 11, 20, 18, u"", kColorSwatch},
    {17035, K::BkColorSwatch, 107, 11, 20, 18, u"", kColorSwatch},
    {17036, K::BkColorSwatch, 131, 11, 20, 18, u"", kColorSwatch},
    {17037, K::BkColorSwatch, 155, 11, 20, 18, u"", kColorSwatch},
    {17038, K::BkColorSwatch, 179, 11, 20, 18, u"", kColorSwatch},
    {17039, K::BkColorSwatch, 12, 33, 20, 18, u"", kColorSwatch},
    {17040, K::BkColorSwatch, 36, 33, 20, 18, u"", kColorSwatch},
    {17041, K::BkColorSwatch, 60, 33, 20, 18, u"", kColorSwatch},
    {17042, K::BkColorSwatch, 83, 33, 20, 18, u"", kColorSwatch},
    {17043, K::BkColorSwatch, 107, 33, 20, 18, u"", kColorSwatch},
    {17044, K::BkColorSwatch, 131, 33, 20, 18, u"", kColorSwatch},
    {17045, K::BkColorSwatch, 155, 33, 20, 18, u"", kColorSwatch},
    {17046, K::BkColorSwatch, 179, 33, 20, 18, u"", kColorSwatch},
    {1, K::PushButton, 57, 62, 50, 14, u"OK", kPushButton},
    {2, K::PushButton, 108, 62, 50, 14, u"CANCEL", kPushButton},
};

// "Line Type Property": LINETYPE01 alone in the first column, the other nine in rows of three.
// The pictures are set when the dialog initialises.
constexpr ControlTemplate kLineTypePropertyControls[] = {
    {17016, K::BitmapStatic, 12, 11, 16, 14, u"", kLineTypeSwatch},
    {17078, K::BitmapStatic, 60, 11, 16, 14, u"", kLineTypeSwatch},
    {17079, K::BitmapStatic, 107, 11, 16, 14, u"", kLineTypeSwatch},
    {17080, K::BitmapStatic, 155, 11, 16, 14, u"", kLineTypeSwatch},
    {17081, K::BitmapStatic, 60, 30, 16, 14, u"", kLineTypeSwatch},
    {17082, K::BitmapStatic, 107, 30, 16, 14, u"", kLineTypeSwatch},
    {17083, K::BitmapStatic, 155, 30, 16, 14, u"", kLineTypeSwatch},
    {17084, K::BitmapStatic, 60, 49, 16, 14, u"", kLineTypeSwatch},
    {17085, K::BitmapStatic, 107, 49, 16, 14, u"", kLineTypeSwatch},
    {17086, K::BitmapStatic, 155, 49, 16, 14, u"", kLineTypeSwatch},
    {1, K::PushButton, 57, 71, 50, 14, u"OK", kPushButton},
    {2, K::PushButton, 108, 71, 50, 14, u"CANCEL", kPushButton},
};

// The length popup: an edit over a cancel button; Enter confirms.
constexpr ControlTemplate kDimLengthControls[] = {
    {2, K::PushButton, 15, 21, 29, 14, u"취소", kPushButton},
    {12025, K::Edit, 5, 5, 49, 14, u"", kEdit},
};

// The corner popup: the value, the three corner kinds and a cancel button.
constexpr ControlTemplate kDimLeaderControls[] = {
    {2, K::PushButton, 15, 58, 29, 14, u"취소", kPushButton},
    {12000, K::RadioGroupStart, 6, 21, 44, 10, u"사용안함", kRadioGroupStart},
    {12001, K::Radio, 6, 34, 45, 10, u"코너R", kRadio},
    {12002, K::Radio, 6, 47, 46, 10, u"모따기", kRadio},
    {12025, K::Edit, 5, 5, 49, 14, u"", kEdit},
};

using namespace winstyle;
constexpr uint32_t kCreateInsertStyle =
    kPopup | kCaption | kSysMenu | kModalFrame | kSetFont | kFixedSys;  // 0x80C800C8
constexpr uint32_t kPickerStyle = kPopup | kCaption | kSysMenu | kModalFrame | kSetFont;
constexpr uint32_t kPopupStyle = kPopup | kSetFont;  // no caption, no frame

constexpr DialogTemplate kTemplates[] = {
    {kCreateInsertTemplate, kLangKorean, u"Create Insert", 461, 334, kCreateInsertStyle, 0,
     u"MS Shell Dlg", 8, kCreateInsertControls},
    {kColorPropertyTemplate, kLangKorean, u"Color Property", 212, 88, kPickerStyle, 0,
     u"MS Shell Dlg", 8, kColorPropertyControls},
    {kLineTypePropertyTemplate, kLangKorean, u"Line Type Property", 212, 99, kPickerStyle, 0,
     u"MS Shell Dlg", 8, kLineTypePropertyControls},
    {kDimLengthTemplate, kLangKorean, u"", 60, 37, kPopupStyle, 0, u"MS Shell Dlg", 8,
     kDimLengthControls},
    {kDimLeaderTemplate, kLangKorean, u"", 60, 72, kPopupStyle, 0, u"MS Shell Dlg", 8,
     kDimLeaderControls},
};

static_assert(kCreateInsertStyle == 0x80C800C8u);
static_assert(std::size(kCreateInsertControls) == 49);

}  // namespace

const ControlTemplate* DialogTemplate::Find(int32_t controlId) const {
    for (const ControlTemplate& c : controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

std::vector<int32_t> DialogTemplate::RadioGroupOf(int32_t controlId) const {
    std::vector<int32_t> group;
    bool found = false;
    for (const ControlTemplate& c : controls) {
        const bool radio = c.kind == ControlKind::Radio || c.kind == ControlKind::RadioGroupStart;
        if (!radio || (c.kind == ControlKind::RadioGroupStart && !group.empty())) {
            if (found) break;
            group.clear();
        }
        if (radio) group.push_back(c.id);
        found = found || (radio && c.id == controlId);
    }
    return found ? group : std::vector<int32_t>{};
}

const DialogTemplate* FindDialogTemplate(int32_t id) {
    for (const DialogTemplate& t : kTemplates)
        if (t.id == id) return &t;
    return nullptr;
}

int DialogUnits::MulDivRounded(int a, int b, int c) {
    if (c == 0) return 0;
    const long long num = static_cast<long long>(a) * b;
    const long long half = std::llabs(c) / 2;
    const long long rounded = (num >= 0) == (c > 0) ? (std::llabs(num) + half) / std::llabs(c)
                                                    : -((std::llabs(num) + half) / std::llabs(c));
    return static_cast<int>(rounded);
}

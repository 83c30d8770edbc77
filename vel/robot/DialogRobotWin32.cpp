// DialogRobotWin32.cpp - performing dialog actions on the dialog manager's windows as a user
// would: clicks and key strokes posted to the controls, a turn at a time from a thread timer.
#include "vel/robot/DialogRobotWin32.h"

#include <windows.h>

#include <iostream>

#include "platform/Utf.h"
#include "vel/robot/DialogPicture.h"

namespace vel {

namespace {

// How often the robot looks for a dialog to answer; posted input is handled before the next
// look, as a timer's turn comes only once the queue holds nothing else.
constexpr UINT kTurnMs = 10;

// The robot whose turns the timer takes (one a thread at a time).
Win32DialogRobot* current = nullptr;

void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current) current->step();
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? length : 0);
}

std::string textOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return Utf8(std::u16string(text.begin(), text.end()));
}

// The thread's topmost dialog that takes input: the modal one (the dialog manager disables
// the dialogs beneath it), once it shows.
HWND activeDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (classOf(window) != L"#32770" || !IsWindowVisible(window) ||
                !IsWindowEnabled(window))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The id of the template the dialog was built from, which the dialogs' Win32 back end keeps as
// a window property (as the Qt one keeps it as the window's object name); 0 for another dialog.
int templateOf(HWND dialog) {
    return static_cast<int>(reinterpret_cast<intptr_t>(GetPropW(dialog, L"DialogTemplateId")));
}

UINT virtualKey(DialogAction::Key key) {
    switch (key) {
        case DialogAction::Key::Escape:
            return VK_ESCAPE;
        case DialogAction::Key::Space:
            return VK_SPACE;
        case DialogAction::Key::Tab:
            return VK_TAB;
        case DialogAction::Key::Enter:
            break;
    }
    return VK_RETURN;
}

// A key pressed and let go, posted as the keyboard brings it: the loop's TranslateMessage makes
// the character of a key that has one, and the dialog manager sees the press first.
void postKey(HWND target, UINT key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, 1 | scan);
    PostMessageW(target, WM_KEYUP, key, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

LPARAM centreOf(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    return MAKELPARAM(client.right / 2, client.bottom / 2);
}

// A dialog of the dialog manager as the robot acts on it.
class Win32RobotDialog final : public RobotDialog {
public:
    explicit Win32RobotDialog(HWND dialog) : dialog_(dialog) {}

    std::string id() const override {
        const int id = templateOf(dialog_);
        return id ? std::to_string(id) : std::string();
    }
    std::string title() const override { return textOf(dialog_); }
    Control kindOf(int id) const override {
        HWND control = GetDlgItem(dialog_, id);
        if (!control) return Control::None;
        const std::wstring name = classOf(control);
        if (_wcsicmp(name.c_str(), L"Edit") == 0) return Control::Edit;
        if (_wcsicmp(name.c_str(), L"ComboBox") == 0) return Control::List;
        if (_wcsicmp(name.c_str(), L"Button") == 0)
            return (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX
                       ? Control::Other
                       : Control::Button;
        return Control::Other;
    }
    bool isVisible(int id) const override { return IsWindowVisible(GetDlgItem(dialog_, id)); }
    bool isEnabled(int id) const override { return IsWindowEnabled(GetDlgItem(dialog_, id)); }
    int listCount(int id) const override {
        return static_cast<int>(SendDlgItemMessageW(dialog_, id, CB_GETCOUNT, 0, 0));
    }

    void type(int id, const std::string& text) override {
        HWND edit = GetDlgItem(dialog_, id);
        focus(edit);
        PostMessageW(edit, EM_SETSEL, 0, -1);
        // One character message a UTF-16 unit, as an input method delivers any script.
        const std::u16string units = text.empty() ? std::u16string(1, u'\b') : Utf16(text);
        for (const char16_t unit : units) PostMessageW(edit, WM_CHAR, unit, 1);
    }
    void click(int id) override {
        HWND control = GetDlgItem(dialog_, id);
        if (kindOf(id) == Control::Button) {
            PostMessageW(control, BM_CLICK, 0, 0);
            return;
        }
        const LPARAM at = centreOf(control);
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(control, WM_LBUTTONUP, 0, at);
    }
    void doubleClick(int id) override {
        HWND control = GetDlgItem(dialog_, id);
        const LPARAM at = centreOf(control);
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(control, WM_LBUTTONUP, 0, at);
        PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(control, WM_LBUTTONUP, 0, at);
    }
    void choose(int id, int index) override {
        HWND list = GetDlgItem(dialog_, id);
        focus(list);
        postKey(list, VK_HOME);
        for (int i = 0; i < index; ++i) postKey(list, VK_DOWN);
    }
    void press(DialogAction::Key key) override {
        HWND focus = GetFocus();
        if (!focus || (focus != dialog_ && !IsChild(dialog_, focus))) focus = dialog_;
        postKey(focus, virtualKey(key));
    }
    void closeBox() override { PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); }
    bool savePicture(const std::string& file) override { return saveWindowPicture(dialog_, file); }

private:
    // Moves the focus to the control as the dialog manager does for a user (the control that
    // loses it is told, an edit gets its text selected), in turn with the posted input.
    void focus(HWND control) { PostMessageW(dialog_, WM_NEXTDLGCTL, (WPARAM)control, TRUE); }

    HWND dialog_;
};

}  // namespace

Win32DialogRobot::Win32DialogRobot(std::vector<std::string>& queue, std::ostream& errors,
                                   bool interactive)
    : answerer_(queue, errors, interactive) {
    current = this;
    timer_ = SetTimer(nullptr, 0, kTurnMs, onTimer);
}

Win32DialogRobot::~Win32DialogRobot() {
    if (timer_) KillTimer(nullptr, timer_);
    if (current == this) current = nullptr;
}

void Win32DialogRobot::step() {
    // Painting a picture sends messages; none of them may start another turn meanwhile.
    if (busy_) return;
    HWND dialog = activeDialog();
    if (!dialog) return;
    busy_ = true;
    Win32RobotDialog robotDialog(dialog);
    // The timer brings the next turn to whichever modal loop runs then.
    answerer_.turn(robotDialog, [] {});
    busy_ = false;
}

}  // namespace vel

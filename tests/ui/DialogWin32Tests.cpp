// DialogWin32Tests.cpp - the dialogs as the Win32 dialog manager shows them, run under Wine: the
// controls of every template where their dialog units put them, with their classes and texts;
// clicks, list choices and keys reaching the dialog objects through the back end; the plug-in's
// bitmaps shown and released with the dialog; the popups kept on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/EditPopups.h"
#include "ui/KaStPickers.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"

namespace {

// What the "user" does once the dialog is up, run from the dialog's own modal loop.
thread_local std::function<void(HWND)> tUser;

HWND ActiveDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770" && IsWindowVisible(window) &&
                IsWindowEnabled(window)) {
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ActiveDialog();
    if (!dialog || !tUser) return;
    KillTimer(nullptr, timer);
    auto user = std::move(tUser);
    tUser = nullptr;
    user(dialog);
}

// Runs the dialog; `user` acts on its window once it is up.
int RunDialog(TemplateDialog& dlg, std::function<void(HWND)> user) {
    tUser = std::move(user);
    SetTimer(nullptr, 0, 10, OnTimer);
    return dlg.DoModal();
}

// Posts a key as the keyboard would: down, the character it makes, up.
void PostKey(HWND window, WPARAM key, wchar_t character) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    if (character) PostMessageW(window, WM_CHAR, character, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Whether the control's font has a glyph for every character of `text`.
bool FontShows(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size());
    const DWORD found = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return found != GDI_ERROR &&
           std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

class Win32Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        // The settings go to a key of the test's own.
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, nullptr), ERROR_SUCCESS);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvantaDialogTests");
        ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, L"Software\\OrvantaDialogTests", &key_),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, key_), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvantaDialogTests");
    }

    // Every control of the template in the window: its class, text, and the rectangle its
    // dialog units give (a bitmap static takes its bitmap's size, a drop-down list its closed
    // height).
    void CheckLayout(TemplateDialog& dlg) {
        RunDialog(dlg, [&](HWND window) {
            const DialogTemplate& t = dlg.Template();
            for (const ControlTemplate& c : t.controls) {
                if (c.id <= 0) continue;
                SCOPED_TRACE("control " + std::to_string(c.id));
                HWND item = GetDlgItem(window, c.id);
                ASSERT_NE(item, nullptr);
                // The dialog manager converts a control's position and size each on its own.
                RECT position{c.x, c.y, c.cx, c.cy};
                MapDialogRect(window, &position);
                const RECT expected{position.left, position.top, position.left + position.right,
                                    position.top + position.bottom};
                RECT shown;
                GetWindowRect(item, &shown);
                MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&shown), 2);
                EXPECT_EQ(shown.left, expected.left);
                EXPECT_EQ(shown.top, expected.top);
                wchar_t name[32] = {};
                GetClassNameW(item, name, 32);
                const std::wstring cls = name;
                if (c.kind == ControlKind::BitmapStatic) {
                    EXPECT_EQ(cls, L"Static");
                    const auto bitmap = reinterpret_cast<HBITMAP>(
                        SendMessageW(item, STM_GETIMAGE, IMAGE_BITMAP, 0));
                    EXPECT_NE(bitmap, nullptr) << "every bitmap static shows a picture";
                } else if (c.kind == ControlKind::DropDownList) {
                    EXPECT_EQ(cls, L"ComboBox");
                    EXPECT_EQ(shown.right, expected.right);
                    EXPECT_LT(shown.bottom, expected.bottom) << "the list drops below";
                } else {
                    EXPECT_EQ(shown.right, expected.right);
                    EXPECT_EQ(shown.bottom, expected.bottom);
                    if (c.kind != ControlKind::Edit) {
                        EXPECT_EQ(TextOf(item), Wide(c.text));
                        EXPECT_TRUE(FontShows(item, Wide(c.text))) << "Korean readable";
                    }
                }
            }
            EndDialog(window, IDCANCEL);
        });
    }

    HKEY key_ = nullptr;
    UiScope scope_;
};

TEST_F(Win32Dialogs, EveryControlSitsWhereItsDialogUnitsPutIt) {
    OrvantaDlg create;
    CheckLayout(create);
    KaStColorDlg colours;
    CheckLayout(colours);
    KaStLTypeDlg lineTypes;
    CheckLayout(lineTypes);
    OrvantaDimLengthDlg length;
    CheckLayout(length);
    OrvantaDimLeaderDlg corner;
    CheckLayout(corner);
}

TEST_F(Win32Dialogs, ClicksAndChoicesReachTheDialogAndOkSavesThem) {
    OrvantaDlg dlg;
    const int result = RunDialog(dlg, [](HWND window) {
        // The layer edit is off while "current layer" is checked; a click turns it on.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 12015)));
        SendMessageW(GetDlgItem(window, 12014), BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, 12015)));
        SetWindowTextW(GetDlgItem(window, 12002), L"7.25");
        // A choice in a list, as the keyboard makes it.
        HWND list = GetDlgItem(window, 12023);
        SetFocus(list);
        PostKey(list, VK_DOWN, 0);
        PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(dlg.mIsCurLayer, 0);
    EXPECT_EQ(dlg.mDisUp, u"7.25");
    EXPECT_EQ(dlg.mType, 1);
    EXPECT_TRUE(dlg.SaveToRegistry());
}

TEST_F(Win32Dialogs, EnterAndEscapeAreNoCommandsInCreateInsert) {
    OrvantaDlg enter;
    EXPECT_EQ(RunDialog(enter,
                        [](HWND window) {
                            PostKey(GetDlgItem(window, 12002), VK_RETURN, L'\r');
                            PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
                        }),
              IDCANCEL);
    OrvantaDlg escape;
    EXPECT_EQ(RunDialog(escape,
                        [](HWND window) {
                            PostKey(GetDlgItem(window, 12002), VK_ESCAPE, 0x1B);
                            PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
                        }),
              IDOK);
}

TEST_F(Win32Dialogs, PickerFramesTheClickedSwatchAndDoubleClickConfirms) {
    KaStColorDlg picker;
    picker.Seed(u"MAINCOLOR03");
    const int result = RunDialog(picker, [](HWND window) {
        HWND swatch = GetDlgItem(window, 17036);  // MAINCOLOR06
        PostMessageW(swatch, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        PostMessageW(swatch, WM_LBUTTONUP, 0, 0);
        PostMessageW(swatch, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
        PostMessageW(swatch, WM_LBUTTONUP, 0, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.mSelection, u"MAINCOLOR06");
    EXPECT_EQ(picker.mPrevSelection, u"MAINCOLOR03");
}

TEST_F(Win32Dialogs, SpaceConfirmsAPickerEvenOnItsCancelButtonAndEscapeCancelsIt) {
    KaStLTypeDlg confirmed;
    EXPECT_EQ(RunDialog(confirmed,
                        [](HWND window) {
                            HWND cancel = GetDlgItem(window, IDCANCEL);
                            SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel),
                                         TRUE);
                            PostKey(cancel, VK_SPACE, L' ');
                        }),
              IDOK);
    KaStLTypeDlg cancelled;
    EXPECT_EQ(RunDialog(cancelled, [](HWND window) { PostKey(window, VK_ESCAPE, 0x1B); }),
              IDCANCEL);
}

TEST_F(Win32Dialogs, PopupOpensAtTheCursorOnTheScreenAndEnterTakesTheTypedValue) {
    SetCursorPos(20000, 20000);  // beyond the screen's corner: the popup comes back onto it
    OrvantaDimLeaderDlg popup;
    popup.mValue.assign(1, u'3');  // (= u"3" trips a false -Wrestrict in GCC 12)
    popup.mKind = 1;
    const int result = RunDialog(popup, [](HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
        EXPECT_LE(r.right, info.rcWork.right);
        EXPECT_LE(r.bottom, info.rcWork.bottom);
        EXPECT_EQ(IsDlgButtonChecked(window, 12001), BST_CHECKED);
        HWND edit = GetDlgItem(window, 12025);
        EXPECT_EQ(GetFocus(), edit);
        // The value is selected: typing replaces it.
        PostMessageW(edit, WM_CHAR, L'5', 1);
        PostKey(edit, VK_RETURN, L'\r');
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(popup.mValue, u"5");
    EXPECT_EQ(popup.mKind, 1);
}

TEST_F(Win32Dialogs, BitmapsGoWithTheDialog) {
    HBITMAP shown = nullptr;
    OrvantaDlg dlg;
    RunDialog(dlg, [&](HWND window) {
        shown = reinterpret_cast<HBITMAP>(
            SendMessageW(GetDlgItem(window, 12028), STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP info{};
        ASSERT_EQ(GetObjectW(shown, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, 156);
        EXPECT_EQ(info.bmHeight, 302);
        EXPECT_EQ(info.bmBitsPixel, 24);
        EndDialog(window, IDCANCEL);
    });
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(GetObjectType(shown), 0u) << "released when the dialog closed";
}

}  // namespace

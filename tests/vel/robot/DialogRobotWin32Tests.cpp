// The Win32 dialog robot (run under Wine) on a small dialog of the test's own, run by the dialog
// manager: typing, choosing, clicking, keys through the dialog loop's message filter, a dialog
// opened by an action, failures, and pictures with their controls in them.
#include <wincodec.h>
#include <windows.h>
// windows.h's old pointer qualifiers would swallow the kernel's near().
#undef near
#undef far

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Utf.h"
#include "vel/robot/DialogRobotWin32.h"

namespace {

namespace fs = std::filesystem;

constexpr WORD kEdit = 101, kList = 102, kSwatch = 103, kCheck = 104, kLocked = 105;

// An in-memory dialog template: caption, then each control (class by atom, id, text).
class TemplateWriter {
public:
    explicit TemplateWriter(const wchar_t* caption) {
        DLGTEMPLATE head{};
        head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        head.cx = 200;
        head.cy = 100;
        Put(&head, sizeof head);
        Word(0), Word(0), String(caption);
        Word(8), String(L"MS Shell Dlg");
    }
    void Control(WORD atom, WORD id, DWORD style, short x, short y, short cx, short cy,
                 const wchar_t* text) {
        data_.resize((data_.size() + 3) & ~size_t{3});
        DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy, id};
        Put(&item, sizeof item);
        Word(0xFFFF), Word(atom), String(text), Word(0);
        reinterpret_cast<DLGTEMPLATE*>(data_.data())->cdit++;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    void Put(const void* p, size_t n) {
        const auto* b = static_cast<const char*>(p);
        data_.insert(data_.end(), b, b + n);
    }
    void Word(WORD w) { Put(&w, sizeof w); }
    void String(const wchar_t* s) { Put(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
    std::vector<char> data_;
};

// What the test dialog saw; a double click on the swatch opens a second dialog.
struct Seen {
    std::wstring text;
    std::wstring locked;  // a disabled edit's text
    int selection = -1;
    bool checked = false;
    int clicks = 0, doubleClicks = 0, selectionChanges = 0, enterInFilter = 0;
    RECT edit{};                 // the edit's place in the dialog's window
    std::vector<INT_PTR> inner;  // results of the dialogs opened from this one
};
Seen* seen = nullptr;

INT_PTR RunDialog(const wchar_t* caption, HWND owner);

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const wchar_t* entry : {L"zero", L"one", L"two"})
            SendDlgItemMessageW(dialog, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        SetTimer(dialog, 1, 20000, nullptr);  // a robot that never answers fails, not hangs
        return TRUE;
    }
    if (message == WM_TIMER) EndDialog(dialog, -1);
    if (message != WM_COMMAND) return FALSE;
    const WORD id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == kSwatch && code == STN_CLICKED) seen->clicks++;
    if (id == kSwatch && code == STN_DBLCLK) {
        seen->doubleClicks++;
        seen->inner.push_back(RunDialog(L"Inner", dialog));
    }
    if (id == kList && code == CBN_SELCHANGE) seen->selectionChanges++;
    if (id == IDOK || id == IDCANCEL) {
        wchar_t text[64] = {};
        GetDlgItemTextW(dialog, kEdit, text, 64);
        seen->text = text;
        GetDlgItemTextW(dialog, kLocked, text, 64);
        seen->locked = text;
        seen->selection = static_cast<int>(SendDlgItemMessageW(dialog, kList, CB_GETCURSEL, 0, 0));
        seen->checked = IsDlgButtonChecked(dialog, kCheck) == BST_CHECKED;
        RECT window;
        GetWindowRect(dialog, &window);
        GetWindowRect(GetDlgItem(dialog, kEdit), &seen->edit);
        OffsetRect(&seen->edit, -window.left, -window.top);
        EndDialog(dialog, id);
    }
    return TRUE;
}

LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        seen->enterInFilter++;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR RunDialog(const wchar_t* caption, HWND owner) {
    TemplateWriter t(caption);
    t.Control(0x0081, kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 80, 14, L"old");
    t.Control(0x0085, kList, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 10, 30, 80, 60, L"");
    t.Control(0x0082, kSwatch, SS_NOTIFY | SS_SUNKEN, 100, 10, 20, 14, L"");
    t.Control(0x0080, kCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 100, 30, 60, 10, L"check");
    t.Control(0x0081, kLocked, WS_BORDER | WS_DISABLED, 10, 50, 80, 14, L"locked");
    t.Control(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 80, 50, 14, L"OK");
    t.Control(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 100, 80, 50, 14, L"Cancel");
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, DialogProc, 0);
}

struct Answered {
    INT_PTR result = 0;
    Seen seen;
    bool failed = false;
    std::string errors;
    std::vector<std::string> left;
};

Answered answer(std::vector<std::string> actions) {
    Answered a;
    seen = &a.seen;
    std::ostringstream errors;
    HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, Filter, nullptr, GetCurrentThreadId());
    {
        vel::Win32DialogRobot robot(actions, errors, false);
        a.result = RunDialog(L"Robot Test", nullptr);
        a.failed = robot.failed();
    }
    UnhookWindowsHookEx(hook);
    a.errors = errors.str();
    a.left = actions;
    return a;
}

TEST(Win32DialogRobot, TypesChoosesClicksAndConfirms) {
    const Answered a =
        answer({"type 101 레이어 x", "choose 102 2", "click 104", "click 103", "type 105 x", "ok"});
    EXPECT_EQ(a.result, IDOK);
    EXPECT_EQ(a.seen.text, L"레이어 x");
    EXPECT_EQ(a.seen.selection, 2);
    EXPECT_GE(a.seen.selectionChanges, 1) << "chosen with the keys, the list tells its dialog";
    EXPECT_TRUE(a.seen.checked);
    EXPECT_EQ(a.seen.clicks, 1);
    EXPECT_EQ(a.seen.locked, L"locked") << "a disabled edit takes no typing";
    EXPECT_FALSE(a.failed);
    EXPECT_EQ(a.errors, "");
}

TEST(Win32DialogRobot, KeysAndEmptyTextGoThroughTheDialogLoop) {
    const Answered a = answer({"type 101", "key tab", "key enter"});
    EXPECT_EQ(a.result, IDOK) << "Enter pressed the default button";
    EXPECT_EQ(a.seen.text, L"");
    EXPECT_EQ(a.seen.enterInFilter, 1) << "the key was posted, as the keyboard brings it";
}

TEST(Win32DialogRobot, DialogOpenedByAnActionTakesTheActionsThatFollow) {
    const Answered a = answer({"dblclick 103", "type 101 inner", "cancel", "close"});
    EXPECT_EQ(a.seen.doubleClicks, 1);
    ASSERT_EQ(a.seen.inner.size(), 1u);
    EXPECT_EQ(a.seen.inner[0], IDCANCEL);
    EXPECT_EQ(a.result, IDCANCEL) << "the close box";
    EXPECT_EQ(a.seen.text, L"old") << "the outer dialog's edit was not typed into";
    EXPECT_EQ(a.errors, "");
}

TEST(Win32DialogRobot, ActionThatCannotBeCarriedOutFailsAndCancels) {
    const Answered a = answer({"type 101 new", "choose 102 3", "ok"});
    EXPECT_EQ(a.result, IDCANCEL);
    EXPECT_TRUE(a.failed);
    EXPECT_EQ(a.errors,
              "velhost: dialog action 'choose 102 3' on dialog \"Robot Test\": list 102 has 3 "
              "entries, no entry 3\n");
    EXPECT_TRUE(a.left.empty());
    for (const std::string bad : {"click 4711", "type 102 x", "choose 101 0"})
        EXPECT_TRUE(answer({bad}).failed) << bad;
}

TEST(Win32DialogRobot, DialogWithNothingQueuedIsCancelledWithAWarning) {
    const Answered a = answer({});
    EXPECT_EQ(a.result, IDCANCEL);
    EXPECT_FALSE(a.failed);
    EXPECT_EQ(a.errors,
              "velhost: warning: dialog \"Robot Test\" opened with no dialog action queued; "
              "cancelled\n");
}

// The pixel at (x, y) of a PNG file, read back through WIC; the picture's size in `size`.
COLORREF PixelOf(const fs::path& file, int x, int y, SIZE& size) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    BYTE bgra[4] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom))) {
        UINT w = 0, h = 0;
        converter->GetSize(&w, &h);
        size = {static_cast<LONG>(w), static_cast<LONG>(h)};
        const WICRect one{x, y, 1, 1};
        converter->CopyPixels(&one, 4, 4, bgra);
    }
    for (IUnknown* p : std::initializer_list<IUnknown*>{converter, frame, decoder, factory})
        if (p) p->Release();
    CoUninitialize();
    return RGB(bgra[2], bgra[1], bgra[0]);
}

TEST(Win32DialogRobot, ShotPaintsTheDialogWithItsControls) {
    const fs::path folder = fs::temp_directory_path() / L"robot-사진";
    fs::create_directories(folder);
    const fs::path file = folder / L"dialog.png";
    const std::string name = Utf8(file.u16string());
    const Answered a =
        answer({"type 101 shot", "shot " + name, "shot " + name + "/no/x.png", "ok"});
    EXPECT_TRUE(a.failed);
    EXPECT_NE(a.errors.find("cannot write the picture to " + name + "/no/x.png"), std::string::npos)
        << a.errors;
    SIZE size{};
    // Right of the edit's text, inside its border: the edit's own background, painted over the
    // dialog's.
    const RECT& e = a.seen.edit;
    EXPECT_EQ(PixelOf(file, e.right - 5, (e.top + e.bottom) / 2, size), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelOf(file, e.right + 2, e.bottom + 2, size), GetSysColor(COLOR_3DFACE));
    const int captionMiddle =
        GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    EXPECT_NE(PixelOf(file, size.cx / 3, captionMiddle, size), GetSysColor(COLOR_3DFACE))
        << "the caption is in the picture";
    EXPECT_GT(size.cx, e.right);
    EXPECT_GT(size.cy, e.bottom);
    fs::remove_all(folder);
}

}  // namespace

// Win32Dialogs.cpp - the dialogs' back end on Windows: each dialog is the dialog manager's own,
// run with DialogBoxIndirectParamW from an in-memory DLGTEMPLATE built from the template data
// (styles, font, control classes and rectangles as stored). Notifications come as WM_COMMAND,
// keys are pre-translated in a message-filter hook of the dialog's modal loop, owner-painted
// statics are subclassed, and the plug-in's bitmaps are GDI bitmaps released with the dialog.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Utf.h"
#include "ui/DialogSurface.h"
#include "ui/Resources.h"
#include "ui/win32/Win32Template.h"

namespace {

COLORREF ToColorRef(UiColor c) {
    return RGB(c.red, c.green, c.blue);
}

UiColor FromColorRef(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

std::vector<POINT> ToPoints(std::span<const UiPointF> points) {
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const UiPointF& p : points)
        out.push_back({static_cast<LONG>(std::lround(p.x)), static_cast<LONG>(std::lround(p.y))});
    return out;
}

// A device context over a GDI DC; what it selects is put back before each call returns.
class GdiContext : public DrawingContext {
public:
    GdiContext(HDC dc, UiColor background) : dc_(dc), background_(background) {}

    UiColor Background() const override { return background_; }

    void FillRect(const UiRect& rect, UiColor color) override {
        const RECT r{rect.left, rect.top, rect.Right(), rect.Bottom()};
        HBRUSH brush = CreateSolidBrush(ToColorRef(color));
        ::FillRect(dc_, &r, brush);
        DeleteObject(brush);
    }

    void FrameRect(const UiRect& rect, UiColor color, int pen) override {
        // Rectangle's outline runs from left, top to right - 1, bottom - 1, the pen centred on it.
        LOGBRUSH brush{BS_SOLID, ToColorRef(color), 0};
        HPEN framePen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER | PS_ENDCAP_SQUARE,
                                     static_cast<DWORD>(pen), &brush, 0, nullptr);
        HGDIOBJ oldPen = SelectObject(dc_, framePen);
        HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
        Rectangle(dc_, rect.left, rect.top, rect.Right(), rect.Bottom());
        SelectObject(dc_, oldBrush);
        SelectObject(dc_, oldPen);
        DeleteObject(framePen);
    }

    void Polyline(std::span<const UiPointF> points, UiColor color, double pen,
                  bool closed) override {
        std::vector<POINT> p = ToPoints(points);
        if (p.size() < 2) return;
        if (closed) p.push_back(p.front());
        HPEN linePen =
            CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(pen))), ToColorRef(color));
        HGDIOBJ oldPen = SelectObject(dc_, linePen);
        ::Polyline(dc_, p.data(), static_cast<int>(p.size()));
        SelectObject(dc_, oldPen);
        DeleteObject(linePen);
    }

    void FillPolygon(std::span<const UiPointF> points, UiColor color) override {
        const std::vector<POINT> p = ToPoints(points);
        if (p.size() < 3) return;
        HBRUSH brush = CreateSolidBrush(ToColorRef(color));
        HGDIOBJ oldBrush = SelectObject(dc_, brush);
        HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
        Polygon(dc_, p.data(), static_cast<int>(p.size()));
        SelectObject(dc_, oldPen);
        SelectObject(dc_, oldBrush);
        DeleteObject(brush);
    }

private:
    HDC dc_;
    UiColor background_;
};

// The plug-in's bitmap of the id as a 24-bit GDI bitmap, or null.
HBITMAP MakePluginBitmap(int32_t id) {
    const std::optional<UiSize> size = PluginBitmapSize(id);
    if (!size) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size->width;
    info.bmiHeader.biHeight = -size->height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    GdiContext dc(memory, {0, 0, 0});
    DrawPluginBitmap(id, dc);
    SelectObject(memory, old);
    DeleteDC(memory);
    return bitmap;
}

DialogKey KeyOfVirtualKey(WPARAM key) {
    switch (key) {
        case VK_RETURN:
            return DialogKey::Enter;
        case VK_ESCAPE:
            return DialogKey::Escape;
        case VK_SPACE:
            return DialogKey::Space;
        case VK_TAB:
            return DialogKey::Tab;
        default:
            return DialogKey::Other;
    }
}

DialogKey KeyOfCharacter(WPARAM ch) {
    switch (ch) {
        case L'\r':
            return DialogKey::Enter;
        case 0x1B:
            return DialogKey::Escape;
        case L' ':
            return DialogKey::Space;
        case L'\t':
            return DialogKey::Tab;
        default:
            return DialogKey::Other;
    }
}

// The key message a queued message stands for, if it is one.
std::optional<KeyMessage> KeyMessageOf(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return KeyMessage{KeyOfVirtualKey(msg.wParam), KeyMessage::Stage::Press};
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return KeyMessage{KeyOfVirtualKey(msg.wParam), KeyMessage::Stage::Release};
        case WM_CHAR:
        case WM_SYSCHAR:
            return KeyMessage{KeyOfCharacter(msg.wParam), KeyMessage::Stage::Other};
        default:
            return std::nullopt;
    }
}

// Faces that hold Hangul, tried in this order where the dialog's font has no glyph for a text.
constexpr const wchar_t* kHangulFaces[] = {L"Malgun Gothic", L"Gulim", L"Dotum", L"NanumGothic",
                                           L"NanumBarunGothic"};

bool HasGlyphs(HDC dc, HFONT font, std::wstring_view text) {
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<WORD> glyphs(text.size());
    const DWORD found = GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    return found != GDI_ERROR &&
           std::none_of(glyphs.begin(), glyphs.end(), [](WORD g) { return g == 0xFFFF; });
}

bool IsAscii(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

class Win32Surface;

// The dialogs running on this thread, newest last, and the one hook that pre-translates their
// keys while any runs.
thread_local std::vector<Win32Surface*> tRunning;
thread_local HHOOK tKeyHook = nullptr;

LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

class Win32Surface : public DialogSurface {
public:
    Win32Surface(DialogEvents& events, const DialogTemplate& tmpl, HWND owner)
        : events_(events), tmpl_(tmpl), owner_(owner), bytes_(BuildDialogTemplate(tmpl)) {}

    ~Win32Surface() override {
        for (auto& [id, bitmap] : bitmaps_) DeleteObject(bitmap);
        if (fallbackFont_) DeleteObject(fallbackFont_);
    }

    HWND Handle() const { return dialog_; }

    int RunModal() override {
        tRunning.push_back(this);
        if (!tKeyHook)
            tKeyHook = SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
        const INT_PTR result =
            DialogBoxIndirectParamW(ThisModule(), reinterpret_cast<LPCDLGTEMPLATEW>(bytes_.data()),
                                    owner_, DialogProc, reinterpret_cast<LPARAM>(this));
        const DWORD error = result == -1 ? GetLastError() : 0;
        std::erase(tRunning, this);
        if (tRunning.empty() && tKeyHook) {
            UnhookWindowsHookEx(tKeyHook);
            tKeyHook = nullptr;
        }
        if (result == -1) {
            std::fprintf(stderr, "Orvanta: dialog %d could not be shown (error %lu)\n",
                         static_cast<int>(tmpl_.id), error);
            return IDCANCEL;
        }
        return static_cast<int>(result);
    }

    void EndModal(int result) override {
        if (dialog_) EndDialog(dialog_, result);
    }

    bool HasControl(int32_t id) const override { return Item(id) != nullptr; }

    std::u16string Text(int32_t id) const override {
        HWND edit = ItemOfKind(id, ControlKind::Edit);
        if (!edit) return {};
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(
            static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return std::u16string(text.begin(), text.end());
    }
    void SetText(int32_t id, const std::u16string& text) override {
        if (HWND edit = ItemOfKind(id, ControlKind::Edit)) {
            SetWindowTextW(edit, reinterpret_cast<LPCWSTR>(text.c_str()));
            FitFont(edit, Wide(text));
        }
    }
    void SelectAllText(int32_t id) override {
        if (HWND edit = ItemOfKind(id, ControlKind::Edit)) SendMessageW(edit, EM_SETSEL, 0, -1);
    }

    bool IsChecked(int32_t id) const override {
        return IsButton(id) && IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
    }
    void SetChecked(int32_t id, bool checked) override {
        if (!IsButton(id)) return;
        // Checking a radio button unchecks the rest of its group, as a click does.
        if (checked) {
            for (int32_t other : tmpl_.RadioGroupOf(id))
                if (other != id) CheckDlgButton(dialog_, other, BST_UNCHECKED);
        }
        CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }

    void AddListEntry(int32_t id, const std::u16string& text) override {
        if (HWND list = ItemOfKind(id, ControlKind::DropDownList)) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            FitFont(list, Wide(text));
        }
    }
    int ListSelection(int32_t id) const override {
        HWND list = ItemOfKind(id, ControlKind::DropDownList);
        return list ? static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) : -1;
    }
    void SetListSelection(int32_t id, int index) override {
        HWND list = ItemOfKind(id, ControlKind::DropDownList);
        if (!list) return;
        const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
        SendMessageW(list, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
    }

    void Enable(int32_t id, bool enabled) override {
        if (HWND item = Item(id)) EnableWindow(item, enabled);
    }
    bool IsEnabled(int32_t id) const override {
        HWND item = Item(id);
        return item && IsWindowEnabled(item);
    }
    void Focus(int32_t id) override {
        if (HWND item = Item(id))
            SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    }
    bool TakesTabFocus(int32_t id) const override {
        HWND item = Item(id);
        return item && (GetWindowLongW(item, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(item);
    }
    void SetBitmap(int32_t id, int32_t bitmapId) override {
        HWND item = ItemOfKind(id, ControlKind::BitmapStatic);
        if (!item) return;
        HBITMAP& bitmap = bitmaps_[bitmapId];
        if (!bitmap) bitmap = MakePluginBitmap(bitmapId);
        // The static sizes itself to the bitmap; the bitmap stays ours.
        SendMessageW(item, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
    UiRect ControlRect(int32_t id) const override {
        HWND item = Item(id);
        if (!item) return {};
        RECT r;
        GetWindowRect(item, &r);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    void InvalidateControl(int32_t id) override {
        if (HWND item = Item(id)) InvalidateRect(item, nullptr, TRUE);
    }
    void Invalidate(bool erase) override {
        if (dialog_) InvalidateRect(dialog_, nullptr, erase);
    }

    UiSize WindowSize() const override {
        RECT r{};
        if (dialog_) GetWindowRect(dialog_, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    void MoveWindow(UiPoint topLeft) override {
        if (dialog_)
            SetWindowPos(dialog_, nullptr, topLeft.x, topLeft.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UiPoint CursorPosition() const override {
        POINT p{};
        GetCursorPos(&p);
        return {p.x, p.y};
    }
    UiRect WorkAreaAt(UiPoint point) const override {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!GetMonitorInfoW(MonitorFromPoint({point.x, point.y}, MONITOR_DEFAULTTONEAREST), &info))
            return {point.x, point.y, 0, 0};
        const RECT& r = info.rcWork;
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }

    // Messages of the dialog window.
    INT_PTR OnMessage(UINT message, WPARAM wParam) {
        switch (message) {
            case WM_COMMAND:
                OnCommand(LOWORD(wParam), HIWORD(wParam));
                return TRUE;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(dialog_, &ps);
                PaintDialog(dc);
                EndPaint(dialog_, &ps);
                return TRUE;
            }
            case WM_PRINTCLIENT:
                PaintDialog(reinterpret_cast<HDC>(wParam));
                return TRUE;
            case WM_NCDESTROY:
                RemovePropW(dialog_, kTemplateProperty);
                dialog_ = nullptr;
                return FALSE;
            default:
                return FALSE;
        }
    }

    void OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        // Which dialog this is, for whoever answers it (velhost's dialog robot).
        SetPropW(dialog_, kTemplateProperty, reinterpret_cast<HANDLE>(intptr_t{tmpl_.id}));
        for (const ControlTemplate& c : tmpl_.controls) {
            if (c.kind != ControlKind::MainColorSwatch && c.kind != ControlKind::BkColorSwatch &&
                c.kind != ControlKind::BitmapStatic)
                continue;
            HWND item = GetDlgItem(dialog_, c.id);
            if (!item) continue;
            // Owner objects may paint these statics (ui/TemplateDialog.h's StaticControl).
            SetPropW(item, kSurfaceProperty, this);
            SetPropW(item, kProcProperty,
                     reinterpret_cast<HANDLE>(SetWindowLongPtrW(
                         item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticProc))));
            if (c.bitmap != 0) SetBitmap(c.id, c.bitmap);
        }
        EnumChildWindows(
            dialog_,
            [](HWND item, LPARAM self) -> BOOL {
                wchar_t text[256] = {};
                GetWindowTextW(item, text, 256);
                reinterpret_cast<Win32Surface*>(self)->FitFont(item, text);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
        events_.InitDialog();
    }

    // Messages of an owner-painted static: its paint goes to the owner object when one is bound.
    LRESULT OnStaticMessage(HWND item, WNDPROC original, UINT message, WPARAM wParam,
                            LPARAM lParam) {
        if (message == WM_PAINT || message == WM_PRINTCLIENT) {
            PAINTSTRUCT ps{};
            HDC dc = message == WM_PAINT ? BeginPaint(item, &ps) : reinterpret_cast<HDC>(wParam);
            RECT r;
            GetClientRect(item, &r);
            GdiContext context(dc, FromColorRef(GetSysColor(COLOR_3DFACE)));
            const UiRect client{r.left, r.top, r.right - r.left, r.bottom - r.top};
            const bool painted = events_.PaintStatic(GetDlgCtrlID(item), context, client);
            if (!painted)
                CallWindowProcW(original, item, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                                PRF_CLIENT);
            if (message == WM_PAINT) EndPaint(item, &ps);
            return 0;
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropW(item, kSurfaceProperty);
            RemovePropW(item, kProcProperty);
        }
        return CallWindowProcW(original, item, message, wParam, lParam);
    }

    // Whether a queued message is for this dialog: the window, a control, or a window that a
    // control opened (the list of a drop-down list).
    bool Owns(HWND window) const {
        return dialog_ && window &&
               (window == dialog_ || IsChild(dialog_, window) ||
                GetWindow(window, GW_OWNER) == dialog_);
    }
    bool FilterKey(const MSG& msg) {
        const std::optional<KeyMessage> key = KeyMessageOf(msg);
        return key && Owns(msg.hwnd) && events_.PreTranslateKey(*key);
    }

    static constexpr wchar_t kTemplateProperty[] = L"DialogTemplateId";
    static constexpr wchar_t kSurfaceProperty[] = L"Orvanta.Surface";
    static constexpr wchar_t kProcProperty[] = L"Orvanta.Proc";

private:
    HWND Item(int32_t id) const { return dialog_ && id > 0 ? GetDlgItem(dialog_, id) : nullptr; }

    HWND ItemOfKind(int32_t id, ControlKind kind) const {
        const ControlTemplate* c = tmpl_.Find(id);
        return c && c->kind == kind ? Item(id) : nullptr;
    }

    bool IsButton(int32_t id) const {
        const ControlTemplate* c = tmpl_.Find(id);
        return c && Item(id) &&
               (c->kind == ControlKind::CheckBox || c->kind == ControlKind::Radio ||
                c->kind == ControlKind::RadioGroupStart);
    }

    void OnCommand(int32_t id, WORD code) {
        const ControlTemplate* c = tmpl_.Find(id);
        const ControlKind kind = c ? c->kind : ControlKind::PushButton;
        switch (kind) {
            case ControlKind::Edit:
                if (code == EN_KILLFOCUS) events_.Notify(id, Notification::KillFocus);
                return;
            case ControlKind::DropDownList:
                if (code == CBN_SELCHANGE) events_.Notify(id, Notification::SelectionChanged);
                return;
            case ControlKind::MainColorSwatch:
            case ControlKind::BkColorSwatch:
            case ControlKind::BitmapStatic:
            case ControlKind::Label:
                if (code == STN_CLICKED) events_.Notify(id, Notification::Clicked);
                if (code == STN_DBLCLK) events_.Notify(id, Notification::DoubleClicked);
                return;
            default:
                // Buttons, and IDOK / IDCANCEL as the dialog manager sends them for Enter,
                // Escape and the close box.
                if (code == BN_CLICKED) events_.Notify(id, Notification::Clicked);
                return;
        }
    }

    static std::wstring Wide(const std::u16string& text) {
        return std::wstring(text.begin(), text.end());
    }

    // A control whose text the dialog's font cannot show (Hangul in a font without it, where
    // the system links no other font in) takes a Hangul face of the same size.
    void FitFont(HWND item, std::wstring_view text) {
        if (IsAscii(text)) return;
        auto font = reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0));
        if (!font || font == fallbackFont_) return;
        HDC dc = GetDC(item);
        if (!HasGlyphs(dc, font, text)) {
            if (HFONT fallback = HangulFont(dc, font, text))
                SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(fallback), TRUE);
        }
        ReleaseDC(item, dc);
    }

    // The first of kHangulFaces that exists and shows `text`, at the size of `like`; made once.
    HFONT HangulFont(HDC dc, HFONT like, std::wstring_view text) {
        if (fallbackFont_ || fallbackTried_) return fallbackFont_;
        fallbackTried_ = true;
        LOGFONTW description{};
        GetObjectW(like, sizeof description, &description);
        description.lfCharSet = DEFAULT_CHARSET;
        for (const wchar_t* face : kHangulFaces) {
            lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
            HFONT candidate = CreateFontIndirectW(&description);
            HGDIOBJ old = SelectObject(dc, candidate);
            wchar_t chosen[LF_FACESIZE] = {};
            GetTextFaceW(dc, LF_FACESIZE, chosen);
            SelectObject(dc, old);
            // The system substitutes another face for one it lacks.
            if (lstrcmpiW(chosen, face) == 0 && HasGlyphs(dc, candidate, text)) {
                fallbackFont_ = candidate;
                break;
            }
            DeleteObject(candidate);
        }
        return fallbackFont_;
    }

    void PaintDialog(HDC dc) {
        GdiContext context(dc, FromColorRef(GetSysColor(COLOR_3DFACE)));
        events_.PaintDialog(context);
    }

    DialogEvents& events_;
    const DialogTemplate& tmpl_;
    HWND owner_;
    std::vector<uint8_t> bytes_;
    HWND dialog_ = nullptr;
    std::map<int32_t, HBITMAP> bitmaps_;
    HFONT fallbackFont_ = nullptr;
    bool fallbackTried_ = false;
};

LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX) {
        const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
        // The newest dialog is the one the user types into.
        for (auto it = tRunning.rbegin(); it != tRunning.rend(); ++it) {
            if (!(*it)->Owns(msg.hwnd)) continue;
            if ((*it)->FilterKey(msg)) return TRUE;
            break;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* surface = reinterpret_cast<Win32Surface*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        surface->OnInitDialog(dialog);
        return FALSE;  // the dialog object has set the focus
    }
    auto* surface = reinterpret_cast<Win32Surface*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return surface ? surface->OnMessage(message, wParam) : FALSE;
}

LRESULT CALLBACK StaticProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* surface = static_cast<Win32Surface*>(GetPropW(control, Win32Surface::kSurfaceProperty));
    auto original = reinterpret_cast<WNDPROC>(GetPropW(control, Win32Surface::kProcProperty));
    if (!original) return DefWindowProcW(control, message, wParam, lParam);
    if (!surface) return CallWindowProcW(original, control, message, wParam, lParam);
    return surface->OnStaticMessage(control, original, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<DialogSurface> CreateDialogSurface(DialogEvents& events, const DialogTemplate& tmpl,
                                                   DialogSurface* owner) {
    // A dialog of the command belongs to the host's window, over which it opens.
    HWND ownerWindow = owner ? static_cast<Win32Surface*>(owner)->Handle() : GetActiveWindow();
    return std::make_unique<Win32Surface>(events, tmpl, ownerWindow);
}

// DialogSurface.h - what the plug-in's dialogs see of the platform: a window built from a
// template whose controls are reached by id, the messages it sends back (clicks, double clicks,
// selection changes, a lost focus, keys before they are handled, paints), and a small drawing
// context. The dialog classes are written against this alone; each platform's back end (Qt
// Widgets, Win32) implements it and is chosen when the plug-in is linked.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "ui/DialogTemplate.h"

// Modal results, as the dialog manager numbers them (windows.h has them as macros).
#ifndef IDOK
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
#endif

struct UiPoint {
    int x = 0;
    int y = 0;
};

struct UiSize {
    int width = 0;
    int height = 0;
};

// A rectangle of pixels: left and top included, width and height wide.
struct UiRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }   // exclusive
    int Bottom() const { return top + height; }  // exclusive
};

struct UiColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const UiColor&, const UiColor&) = default;
};

struct UiPointF {
    double x = 0;
    double y = 0;
};

// A device context: where a dialog, an owner-painted static or one of the plug-in's bitmaps is
// painted. Coordinates are pixels of the surface, y down.
class DrawingContext {
public:
    virtual ~DrawingContext() = default;
    // The colour the surface is erased with.
    virtual UiColor Background() const = 0;
    virtual void FillRect(const UiRect& rect, UiColor color) = 0;
    // The outline of `rect` with a pen `pen` pixels wide centred on it, mitred corners.
    virtual void FrameRect(const UiRect& rect, UiColor color, int pen) = 0;
    // Straight lines through the points (closed: back to the first), smoothed where the surface
    // can.
    virtual void Polyline(std::span<const UiPointF> points, UiColor color, double pen,
                          bool closed) = 0;
    virtual void FillPolygon(std::span<const UiPointF> points, UiColor color) = 0;
};

// The keys that the dialogs' pre-translation looks at.
enum class DialogKey { Enter, Escape, Space, Tab, Other };

// A key message before the window handles it. Only a press acts; the other stages (a release,
// the character a press makes, the shortcut check an open list makes before the press) are
// reported so that a dialog that takes a key takes all of it.
struct KeyMessage {
    enum class Stage { Press, Release, Other };
    DialogKey key = DialogKey::Other;
    Stage stage = Stage::Press;

    bool Pressed() const { return stage == Stage::Press; }
};

// What a control tells its dialog.
enum class Notification {
    Clicked,           // a button, a check box, a radio button, a notifying static
    DoubleClicked,     // a notifying static
    SelectionChanged,  // a drop-down list, by the user
    KillFocus,         // an edit lost the focus
};

// What the window tells the dialog object; the back end calls these, the dialog answers.
class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // The window and its controls exist; the dialog fills them. False: the dialog has set the
    // focus itself.
    virtual bool InitDialog() = 0;
    // A key message for the window or any of its controls; true consumes it.
    virtual bool PreTranslateKey(const KeyMessage& key) = 0;
    // A control's notification; IDOK and IDCANCEL also stand for Enter and Escape as the
    // dialog manager turns them into commands, and IDCANCEL for the close box.
    virtual void Notify(int32_t id, Notification what) = 0;
    // Paints the client area, after the background and below the controls.
    virtual void PaintDialog(DrawingContext& dc) = 0;
    // Paints an owner-painted static's client area (inside its border); false when no owner
    // object paints it, so the static paints itself.
    virtual bool PaintStatic(int32_t id, DrawingContext& dc, const UiRect& client) = 0;
    // True when a repaint that does not erase paints over what is there.
    virtual bool PaintsOverBackground() const = 0;
};

// A running dialog window, built from its template, with its controls by id. Calls naming a
// control the window does not have, or one of another kind, do nothing and read as empty.
class DialogSurface {
public:
    virtual ~DialogSurface() = default;

    // Shows the window modally (InitDialog first) until EndModal; its result.
    virtual int RunModal() = 0;
    virtual void EndModal(int result) = 0;

    virtual bool HasControl(int32_t id) const = 0;
    // Edits.
    virtual std::u16string Text(int32_t id) const = 0;
    virtual void SetText(int32_t id, const std::u16string& text) = 0;
    virtual void SelectAllText(int32_t id) = 0;
    // Check boxes and radio buttons.
    virtual bool IsChecked(int32_t id) const = 0;
    virtual void SetChecked(int32_t id, bool checked) = 0;
    // Drop-down lists; -1 is no selection.
    virtual void AddListEntry(int32_t id, const std::u16string& text) = 0;
    virtual int ListSelection(int32_t id) const = 0;
    virtual void SetListSelection(int32_t id, int index) = 0;
    // Any control.
    virtual void Enable(int32_t id, bool enabled) = 0;
    virtual bool IsEnabled(int32_t id) const = 0;
    virtual void Focus(int32_t id) = 0;
    // Whether the control takes the focus by Tab.
    virtual bool TakesTabFocus(int32_t id) const = 0;
    // A bitmap static shows the plug-in's bitmap of the id and takes its size.
    virtual void SetBitmap(int32_t id, int32_t bitmapId) = 0;
    // The control's window rectangle in the dialog's client coordinates.
    virtual UiRect ControlRect(int32_t id) const = 0;
    virtual void InvalidateControl(int32_t id) = 0;
    // The whole client area; erase=false keeps what is painted (see PaintsOverBackground).
    virtual void Invalidate(bool erase) = 0;

    // Placement: the window's size, its top-left corner on the screen, the cursor, and the part
    // of the screen under a point that windows may use.
    virtual UiSize WindowSize() const = 0;
    virtual void MoveWindow(UiPoint topLeft) = 0;
    virtual UiPoint CursorPosition() const = 0;
    virtual UiRect WorkAreaAt(UiPoint point) const = 0;
};

// The back end's window for a dialog object; `owner` is the running dialog it opens over, or
// null for the host's window. Null when no window can be made (no user interface available).
std::unique_ptr<DialogSurface> CreateDialogSurface(DialogEvents& events, const DialogTemplate& tmpl,
                                                   DialogSurface* owner);

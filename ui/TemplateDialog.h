// TemplateDialog.h - the dialog machinery the plug-in's dialogs share, on any platform: a dialog
// object that lives before and after its window, a window built from a dialog template at run
// time (by the platform's back end, ui/DialogSurface.h), data exchange between members and
// controls, a message map, key pre-translation, and static controls that owner objects paint.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/DialogSurface.h"
#include "ui/DialogTemplate.h"

class TemplateDialog;

// A control of the running window, held by a dialog member and bound by DDX_Control. While no
// window runs, it reads as empty and changes nothing.
class DlgItem {
public:
    explicit operator bool() const { return Surface() && Surface()->HasControl(id_); }

    std::u16string GetWindowText() const;
    void SetWindowText(const std::u16string& text);
    void SelectAll();
    void SetFocus();
    // Drop-down lists.
    void AddString(const std::u16string& text);
    int GetCurSel() const;
    void SetCurSel(int index);

private:
    friend class TemplateDialog;
    DialogSurface* Surface() const;

    const TemplateDialog* dialog_ = nullptr;
    int32_t id_ = 0;
};

// The object side of an owner-painted static: exists with its dialog object, is bound to the
// window's static by id, and paints it.
class StaticControl {
public:
    StaticControl() = default;
    StaticControl(const StaticControl&) = delete;
    StaticControl& operator=(const StaticControl&) = delete;
    virtual ~StaticControl();

    // Repaints the static, while its window runs.
    void Invalidate();
    // The id it is bound to, or 0.
    int32_t GetDlgCtrlID() const { return id_; }

protected:
    friend class TemplateDialog;
    // Paints the client area (inside the border).
    virtual void OnPaint(DrawingContext& dc, const UiRect& client) = 0;

private:
    TemplateDialog* dialog_ = nullptr;
    int32_t id_ = 0;
};

// The dialog object: members and handlers that outlive one modal run of its window. DoModal
// builds the window from the template, runs OnInitDialog, runs the window modally, and destroys
// it; OK transfers the controls into the members (DoDataExchange) before the window goes.
class TemplateDialog : private DialogEvents {
public:
    // parent: the dialog that owns this one (its window becomes the owner window), or null.
    explicit TemplateDialog(int32_t templateId, TemplateDialog* parent = nullptr);
    ~TemplateDialog() override;
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    // IDOK or IDCANCEL. When no window can be made (no user interface) the answer is IDCANCEL.
    int DoModal();
    // Ends the modal run with the result.
    void EndDialog(int result);

    const DialogTemplate& Template() const { return *template_; }
    // The window while the dialog runs, else nullptr.
    DialogSurface* Surface() const { return surface_.get(); }

    // Transfers between members and controls: save=false puts members into controls, save=true
    // reads the controls into the members.
    bool UpdateData(bool save);
    // Repaints the whole client area; erase=false keeps what is painted and paints over it.
    void Invalidate(bool erase = true);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(bool save);
    // Key messages of the window and every control, before they are handled; true consumes.
    virtual bool PreTranslateMessage(const KeyMessage& key);
    virtual void OnOK();
    virtual void OnCancel();
    // Paints on the dialog's client area, after the background and below the controls.
    virtual void OnPaint(DrawingContext& dc);
    // Fills the message map (OnMessage); called once per window, before OnInitDialog.
    virtual void MapMessages() {}
    // Called before the window goes (after the modal run ended).
    virtual void OnDestroyWindow() {}
    // Whether the dialog paints itself without the background being erased on every repaint.
    void SetPaintsOverBackground(bool on) { paintsOverBackground_ = on; }

    // An entry of the message map: `handler` runs when control `id` sends `what`.
    void OnMessage(Notification what, int32_t id, std::function<void()> handler);

    // Exchange helpers.
    void DDX_Text(int32_t id, std::u16string& value, bool save);
    void DDX_Check(int32_t id, int32_t& value, bool save);
    // The radio buttons from firstId to the end of its group: the index of the checked one, -1
    // for none.
    void DDX_Radio(int32_t firstId, int32_t& value, bool save);
    void DDX_Control(int32_t id, StaticControl& control);
    void DDX_Control(int32_t id, DlgItem& control);

    TemplateDialog* parentDialog_ = nullptr;

private:
    friend class StaticControl;

    bool InitDialog() override;
    bool PreTranslateKey(const KeyMessage& key) override;
    void Notify(int32_t id, Notification what) override;
    void PaintDialog(DrawingContext& dc) override;
    bool PaintStatic(int32_t id, DrawingContext& dc, const UiRect& client) override;
    bool PaintsOverBackground() const override { return paintsOverBackground_; }

    void FocusFirstTabStop();
    void Unbind(StaticControl& control);

    struct MessageEntry {
        Notification what;
        int32_t id;
        std::function<void()> handler;
    };

    const DialogTemplate* template_;
    std::unique_ptr<DialogSurface> surface_;
    std::vector<MessageEntry> messageMap_;
    std::map<int32_t, StaticControl*> statics_;
    bool paintsOverBackground_ = false;
};

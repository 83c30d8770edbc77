// TemplateDialog.cpp - running a dialog object's window modally through the platform's back end,
// its message map, data exchange and owner-painted statics.
#include "ui/TemplateDialog.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Controls held by members

DialogSurface* DlgItem::Surface() const {
    return dialog_ ? dialog_->Surface() : nullptr;
}

std::u16string DlgItem::GetWindowText() const {
    return Surface() ? Surface()->Text(id_) : std::u16string();
}
void DlgItem::SetWindowText(const std::u16string& text) {
    if (Surface()) Surface()->SetText(id_, text);
}
void DlgItem::SelectAll() {
    if (Surface()) Surface()->SelectAllText(id_);
}
void DlgItem::SetFocus() {
    if (Surface()) Surface()->Focus(id_);
}
void DlgItem::AddString(const std::u16string& text) {
    if (Surface()) Surface()->AddListEntry(id_, text);
}
int DlgItem::GetCurSel() const {
    return Surface() ? Surface()->ListSelection(id_) : -1;
}
void DlgItem::SetCurSel(int index) {
    if (Surface()) Surface()->SetListSelection(id_, index);
}

StaticControl::~StaticControl() {
    if (dialog_) dialog_->Unbind(*this);
}

void StaticControl::Invalidate() {
    if (dialog_ && dialog_->Surface()) dialog_->Surface()->InvalidateControl(id_);
}

// ---------------------------------------------------------------------------------------------
// Dialog object

TemplateDialog::TemplateDialog(int32_t templateId, TemplateDialog* parent)
    : parentDialog_(parent), template_(FindDialogTemplate(templateId)) {
    if (!template_) template_ = FindDialogTemplate(kCreateInsertTemplate);
}

TemplateDialog::~TemplateDialog() {
    for (auto& [id, control] : statics_) control->dialog_ = nullptr;
}

int TemplateDialog::DoModal() {
    if (surface_) return IDCANCEL;
    surface_ =
        CreateDialogSurface(*this, *template_, parentDialog_ ? parentDialog_->Surface() : nullptr);
    if (!surface_) return IDCANCEL;
    messageMap_.clear();
    MapMessages();
    const int result = surface_->RunModal();
    OnDestroyWindow();
    surface_.reset();
    messageMap_.clear();
    return result == IDOK ? IDOK : IDCANCEL;
}

void TemplateDialog::EndDialog(int result) {
    if (surface_) surface_->EndModal(result);
}

bool TemplateDialog::UpdateData(bool save) {
    if (!surface_) return false;
    DoDataExchange(save);
    return true;
}

void TemplateDialog::Invalidate(bool erase) {
    if (surface_) surface_->Invalidate(erase || !paintsOverBackground_);
}

bool TemplateDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void TemplateDialog::DoDataExchange(bool) {}

bool TemplateDialog::PreTranslateMessage(const KeyMessage&) {
    return false;
}

void TemplateDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void TemplateDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void TemplateDialog::OnPaint(DrawingContext&) {}

void TemplateDialog::OnMessage(Notification what, int32_t id, std::function<void()> handler) {
    messageMap_.push_back({what, id, std::move(handler)});
}

bool TemplateDialog::InitDialog() {
    if (OnInitDialog()) FocusFirstTabStop();
    return false;
}

bool TemplateDialog::PreTranslateKey(const KeyMessage& key) {
    return surface_ && PreTranslateMessage(key);
}

void TemplateDialog::Notify(int32_t id, Notification what) {
    if (!surface_) return;
    if (what == Notification::Clicked && id == IDOK) {
        OnOK();
        return;
    }
    if (what == Notification::Clicked && id == IDCANCEL) {
        OnCancel();
        return;
    }
    // A handler may end the dialog or add nothing; the map stays as it is while it runs.
    for (const MessageEntry& entry : messageMap_) {
        if (entry.id == id && entry.what == what) {
            entry.handler();
            return;
        }
    }
}

void TemplateDialog::PaintDialog(DrawingContext& dc) {
    OnPaint(dc);
}

bool TemplateDialog::PaintStatic(int32_t id, DrawingContext& dc, const UiRect& client) {
    const auto it = statics_.find(id);
    if (it == statics_.end()) return false;
    it->second->OnPaint(dc, client);
    return true;
}

void TemplateDialog::FocusFirstTabStop() {
    for (const ControlTemplate& c : template_->controls) {
        if (!(c.style & winstyle::kTabStop)) continue;
        if (surface_->IsEnabled(c.id) && surface_->TakesTabFocus(c.id)) {
            surface_->Focus(c.id);
            return;
        }
    }
}

void TemplateDialog::DDX_Text(int32_t id, std::u16string& value, bool save) {
    if (!surface_ || !surface_->HasControl(id)) return;
    if (save)
        value = surface_->Text(id);
    else
        surface_->SetText(id, value);
}

void TemplateDialog::DDX_Check(int32_t id, int32_t& value, bool save) {
    if (!surface_ || !surface_->HasControl(id)) return;
    if (save)
        value = surface_->IsChecked(id) ? 1 : 0;
    else
        surface_->SetChecked(id, value != 0);
}

void TemplateDialog::DDX_Radio(int32_t firstId, int32_t& value, bool save) {
    if (!surface_) return;
    std::vector<int32_t> group = template_->RadioGroupOf(firstId);
    // The group's buttons from firstId on.
    group.erase(group.begin(), std::find(group.begin(), group.end(), firstId));
    if (group.empty()) return;
    if (save) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (surface_->IsChecked(group[i])) value = static_cast<int32_t>(i);
        return;
    }
    // A value outside the group leaves every button unchecked.
    for (size_t i = 0; i < group.size(); ++i)
        surface_->SetChecked(group[i], static_cast<int32_t>(i) == value);
}

void TemplateDialog::DDX_Control(int32_t id, StaticControl& control) {
    if (!surface_ || !surface_->HasControl(id)) return;
    if (control.dialog_ == this && control.id_ == id) return;
    if (control.dialog_) control.dialog_->Unbind(control);
    control.dialog_ = this;
    control.id_ = id;
    statics_[id] = &control;
    surface_->InvalidateControl(id);
}

void TemplateDialog::Unbind(StaticControl& control) {
    const auto it = statics_.find(control.id_);
    if (it != statics_.end() && it->second == &control) statics_.erase(it);
    control.dialog_ = nullptr;
    control.id_ = 0;
}

void TemplateDialog::DDX_Control(int32_t id, DlgItem& control) {
    control.dialog_ = this;
    control.id_ = id;
}

// The check box over the Win32 button: the box is ticked by this class, not by the system,
// so that every change goes through SetChecked.
#include "framework/CheckBox.h"

namespace fw {

TWinControl::TCreateParams TCheckBox::CreateParams() const {
    return {"BUTTON", WS_CHILD | WS_TABSTOP | BS_CHECKBOX, 0};
}

void TCheckBox::HandleCreated() {
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    checked_ = checked;
    if (HandleAllocated())
        SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick)
        OnClick(this);
}

void TCheckBox::Notify(WORD code) {
    if (code == BN_CLICKED)
        SetChecked(!checked_);
}

bool TCheckBox::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "Checked")
        checked_ = v.AsBoolean();
    else if (name == "OnClick")
        OnClick = e.Notify(v.AsIdent());
    else
        return TWinControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw

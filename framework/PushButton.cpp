// The push button over the Win32 button: clicks, the default frame and the modal result.
#include "framework/PushButton.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"

namespace fw {

TWinControl::TCreateParams TButton::CreateParams() const {
    // BS_NOTIFY: the form hears of focus, to move the default frame.
    const DWORD type = default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    return {"BUTTON", WS_CHILD | WS_TABSTOP | BS_NOTIFY | type, 0};
}

void TButton::Click() {
    if (OnClick)
        OnClick(this);
    if (modalResult_ != mrNone)
        if (TForm* form = Form())
            form->ModalResult = modalResult_;
}

void TButton::SetDefaultLook(bool look) {
    if (!HandleAllocated())
        return;
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    // Only plain push buttons; drawn buttons show focus their own way.
    if ((type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) || (type == BS_DEFPUSHBUTTON) == look)
        return;
    // The style's low word is replaced whole on some systems: BS_NOTIFY goes along.
    SendMessageA(Handle(), BM_SETSTYLE, BS_NOTIFY | (look ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                 TRUE);
}

void TButton::Notify(WORD code) {
    if (code == BN_CLICKED)
        Click();
    else if (code == BN_SETFOCUS || code == BN_KILLFOCUS)
        if (TForm* form = Form())
            form->ButtonFocused(code == BN_SETFOCUS ? this : nullptr);
}

bool TButton::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "OnClick")
        OnClick = e.Notify(v.AsIdent());
    else if (name == "Default")
        default_ = v.AsBoolean();
    else if (name == "Cancel")
        cancel_ = v.AsBoolean();
    else if (name == "ModalResult")
        modalResult_ = ModalResultFromName(v.AsIdent());
    else
        return TWinControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw

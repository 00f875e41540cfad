// The memo over the Win32 edit control.
#include "framework/Memo.h"

namespace fw {

TWinControl::TCreateParams TMemo::CreateParams() const {
    DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                  ES_WANTRETURN | ReadOnlyStyle() |
                  (horizontalScrollBar_ ? WS_HSCROLL | ES_AUTOHSCROLL : 0);
    return {"EDIT", style, WS_EX_CLIENTEDGE};
}

void TMemo::HandleCreated() {
    SendMessageA(TWinControl::Handle(), EM_SETLIMITTEXT, 0, 0); // as much text as the system allows
}

void TMemo::SetText(const std::string& text) {
    if (HandleAllocated() && !IsWindowVisible(TWinControl::Handle()))
        pending_ = text;
    else
        Write(text);
}

HWND TMemo::Handle() {
    Appearing();
    return TWinControl::Handle();
}

void TMemo::Appearing() {
    if (pending_) {
        std::string text = std::move(*pending_);
        pending_.reset();
        Write(text);
    }
}

void TMemo::Write(const std::string& text) {
    pending_.reset();
    writing_ = true;
    try {
        SetCaption(text);
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
}

bool TMemo::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name != "ScrollBars") // ssVertical, the default, or ssBoth
        return TCustomEdit::SetProperty(name, v, e);
    horizontalScrollBar_ = v.AsIdent() == "ssBoth";
    return true;
}

} // namespace fw

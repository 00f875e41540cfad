// The edit line over the Win32 edit control, hooked for its double-click.
#include "framework/Edit.h"

#include "framework/Application.h"

#include <commctrl.h>

namespace fw {

TWinControl::TCreateParams TEdit::CreateParams() const {
    // WS_GROUP: the arrow keys of radio buttons before it in the tab order stop short of it.
    const DWORD style = WS_CHILD | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ReadOnlyStyle();
    return {"EDIT", style, WS_EX_CLIENTEDGE};
}

void TEdit::HandleCreated() {
    SetWindowSubclass(Handle(), EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TEdit::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self) {
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, EditProc, id);
    // The edit selects the word under the pointer first, as it would without the hook.
    LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_LBUTTONDBLCLK)
        if (auto* edit = reinterpret_cast<TEdit*>(self); edit->OnDblClick)
            Application().Protect([edit] { edit->OnDblClick(edit); });
    return result;
}

bool TEdit::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name != "OnDblClick")
        return TCustomEdit::SetProperty(name, v, e);
    OnDblClick = e.Notify(v.AsIdent());
    return true;
}

} // namespace fw

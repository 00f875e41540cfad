// The read-only state and the colours of the edit controls.
#include "framework/CustomEdit.h"

namespace fw {

void TCustomEdit::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETREADONLY, readOnly, 0);
}

HBRUSH TCustomEdit::CtlColor(HDC dc) {
    // A read-only edit keeps the window colour: it shows a value or a document, not a
    // disabled field.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

bool TCustomEdit::SetProperty(const std::string& name, const TLayoutValue& v,
                              const TEventTable& e) {
    if (name != "ReadOnly")
        return TWinControl::SetProperty(name, v, e);
    readOnly_ = v.AsBoolean();
    return true;
}

} // namespace fw

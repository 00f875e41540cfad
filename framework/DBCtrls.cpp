// The data-aware controls' windows.
#include "framework/DBCtrls.h"

#include "framework/Exception.h"

namespace fw {

TWinControl::TCreateParams TDBLookupComboBox::CreateParams() const {
    return {"COMBOBOX", WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
}

void TDBLookupComboBox::HandleCreated() {
    // The window's height includes the dropped-down list: rows of items plus borders.
    int item = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    RECT r;
    GetWindowRect(Handle(), &r);
    int closed = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), closed + item * dropDownRows_ + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TDBLookupComboBox::SetProperty(const std::string& name, const TLayoutValue& v,
                                    const TEventTable& e) {
    if (name != "DropDownRows")
        return TWinControl::SetProperty(name, v, e);
    dropDownRows_ = v.AsInteger();
    return true;
}

TDBNavigator::TDBNavigator(TComponent* owner) : TWinControl(owner) {
    static const char* const glyphs[ButtonCount] = {"NAVFIRST",  "NAVPRIOR",  "NAVNEXT", "NAVLAST",
                                                    "NAVINSERT", "NAVDELETE", "NAVEDIT", "NAVPOST",
                                                    "NAVCANCEL", "NAVREFRESH"};
    for (size_t i = 0; i < ButtonCount; ++i) {
        buttons_[i] = new TSpeedButton(this);
        buttons_[i]->SetGlyph(glyphs[i]);
        buttons_[i]->SetParent(this);
    }
}

void TDBNavigator::Realign() {
    // The buttons share the width equally, the last takes what is left over.
    int w = Width() / static_cast<int>(ButtonCount);
    for (size_t i = 0; i < ButtonCount; ++i) {
        int left = static_cast<int>(i) * w;
        int width = i + 1 == ButtonCount ? Width() - left : w;
        buttons_[i]->SetBounds(left, 0, width, Height());
    }
}

bool TDBNavigator::SetProperty(const std::string& name, const TLayoutValue& v,
                               const TEventTable& e) {
    if (name != "Hints")
        return TWinControl::SetProperty(name, v, e);
    const auto& hints = v.Items();
    if (hints.size() != ButtonCount)
        throw Exception("The navigator needs one hint per button");
    for (size_t i = 0; i < ButtonCount; ++i)
        buttons_[i]->SetHint(hints[i].AsString());
    return true;
}

} // namespace fw

// The status bar over the common control.
#include "framework/StatusBar.h"

#include "framework/Exception.h"

#include <commctrl.h>

#include <algorithm>

namespace fw {

void TStatusPanel::SetText(const std::string& text) {
    if (text == text_)
        return;
    text_ = text;
    if (bar_)
        bar_->PanelChanged(index_);
}

TWinControl::TCreateParams TStatusBar::CreateParams() const {
    return {STATUSCLASSNAMEA, WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0};
}

void TStatusBar::HandleCreated() {
    std::vector<int> edges;
    int right = 0;
    for (const TStatusPanel& p : panels_)
        edges.push_back(right += p.width_);
    if (!edges.empty())
        edges.back() = -1; // the last panel runs to the bar's end
    SendMessageA(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < panels_.size(); ++i)
        ApplyText(static_cast<int>(i));
}

void TStatusBar::ApplyText(int index) {
    const TStatusPanel& p = panels_[index];
    // A leading tab centres the text in its part.
    std::string shown = (p.alignment_ == TAlignment::taCenter ? "\t" : "") + p.text_;
    SendMessageA(Handle(), SB_SETTEXTA, index, reinterpret_cast<LPARAM>(shown.c_str()));
}

void TStatusBar::PanelChanged(int index) {
    if (!Handle())
        return;
    if (updating_) {
        if (std::find(pending_.begin(), pending_.end(), index) == pending_.end())
            pending_.push_back(index);
        return;
    }
    ApplyText(index);
}

void TStatusBar::EndUpdate() {
    if (updating_ == 0 || --updating_ > 0 || !Handle() || pending_.empty())
        return;
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    for (int i : pending_)
        ApplyText(i);
    pending_.clear();
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::string TStatusBar::ShownText(size_t index) const {
    if (!Handle())
        return {};
    LRESULT info = SendMessageA(Handle(), SB_GETTEXTLENGTHA, index, 0);
    std::string text(LOWORD(info) + 1, '\0');
    SendMessageA(Handle(), SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    if (!text.empty() && text[0] == '\t')
        text.erase(0, 1);
    return text;
}

bool TStatusBar::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "Panels.Widths") {
        panels_.clear();
        for (const TLayoutValue& w : v.Items()) {
            TStatusPanel p;
            p.bar_ = this;
            p.index_ = static_cast<int>(panels_.size());
            p.width_ = w.AsInteger();
            panels_.push_back(p);
        }
    } else if (name == "Panels.Alignments") {
        const auto& items = v.Items();
        if (items.size() != panels_.size())
            throw Exception("Panels.Alignments must follow Panels.Widths, one per panel");
        for (size_t i = 0; i < items.size(); ++i)
            panels_[i].alignment_ =
                items[i].AsIdent() == "taCenter" ? TAlignment::taCenter : TAlignment::taLeftJustify;
    } else
        return TWinControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw

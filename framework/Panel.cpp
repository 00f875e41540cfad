// The panel's face, bevels and caption.
#include "framework/Panel.h"

namespace fw {

namespace {

// A one-pixel bevel around r, which then shrinks to the area inside it.
void DrawBevel(HDC dc, RECT& r, TPanelBevel bevel) {
    if (bevel == TPanelBevel::bvNone)
        return;
    const bool raised = bevel == TPanelBevel::bvRaised;
    const COLORREF topLeft = GetSysColor(raised ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
    const COLORREF bottomRight = GetSysColor(raised ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    auto line = [dc](int left, int top, int right, int bottom, COLORREF color) {
        const RECT edge{left, top, right, bottom};
        SetBkColor(dc, color);
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &edge, nullptr, 0, nullptr);
    };
    line(r.left, r.top, r.right - 1, r.top + 1, topLeft);
    line(r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    line(r.right - 1, r.top, r.right, r.bottom, bottomRight);
    line(r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    InflateRect(&r, -1, -1);
}

TPanelBevel BevelFromName(const std::string& name) {
    if (name == "bvLowered")
        return TPanelBevel::bvLowered;
    if (name == "bvRaised")
        return TPanelBevel::bvRaised;
    return TPanelBevel::bvNone;
}

} // namespace

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    if (bevel == bevelOuter_)
        return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    if (bevel == bevelInner_)
        return;
    bevelInner_ = bevel;
    Invalidate();
}

void TPanel::Paint(HDC dc) {
    RECT r = ClientRect();
    DrawBevel(dc, r, bevelOuter_);
    DrawBevel(dc, r, bevelInner_);
    SetBkColor(dc, Color());
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    const std::string text = Caption();
    if (text.empty())
        return;
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    SetTextColor(dc, Font().Color());
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

bool TPanel::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "BevelOuter" || name == "BevelInner") {
        const TPanelBevel bevel = BevelFromName(v.AsIdent());
        if (bevel == TPanelBevel::bvNone && v.AsIdent() != "bvNone")
            return false;
        (name == "BevelOuter" ? bevelOuter_ : bevelInner_) = bevel;
    } else
        return TCustomControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw

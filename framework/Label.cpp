// The label's painting and settings.
#include "framework/Label.h"

namespace fw {

void TLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_)
        return;
    wordWrap_ = wordWrap;
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    if (show == showAccelChar_)
        return;
    showAccelChar_ = show;
    Invalidate();
}

UINT TLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (alignment_ == TAlignment::taCenter)
        flags |= DT_CENTER;
    else if (alignment_ == TAlignment::taRightJustify)
        flags |= DT_RIGHT;
    if (wordWrap_)
        flags |= DT_WORDBREAK;
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    return flags;
}

COLORREF TLabel::TextColor() const {
    return Enabled() ? Font().Color() : GetSysColor(COLOR_GRAYTEXT);
}

void TLabel::PaintBackground(HDC dc) {
    if (transparent_)
        return; // the parent has painted what lies behind
    RECT r = ClientRect();
    SetBkColor(dc, Color());
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr); // fills with the colour
}

void TLabel::DrawCaption(HDC dc, const std::string& text, RECT rect, COLORREF color) {
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, TextFlags());
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void TLabel::Paint(HDC dc) {
    PaintBackground(dc);
    DrawCaption(dc, Caption(), ClientRect(), TextColor());
}

bool TLabel::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "Alignment") {
        const std::string& a = v.AsIdent();
        if (a == "taLeftJustify")
            alignment_ = TAlignment::taLeftJustify;
        else if (a == "taRightJustify")
            alignment_ = TAlignment::taRightJustify;
        else if (a == "taCenter")
            alignment_ = TAlignment::taCenter;
        else
            return false;
    } else if (name == "WordWrap")
        wordWrap_ = v.AsBoolean();
    else if (name == "Transparent")
        transparent_ = v.AsBoolean();
    else if (name == "ShowAccelChar")
        showAccelChar_ = v.AsBoolean();
    else
        return TGraphicControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw

// The group box, painted by hand so that its caption takes its colour.
#include "framework/GroupBox.h"

#include "framework/Application.h"

namespace fw {

bool TGroupBox::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name != "Font.Color")
        return TWinControl::SetProperty(name, v, e);
    captionColor_ = ColorFromName(v.AsIdent());
    return true;
}

RECT TGroupBox::AlignRect() const {
    RECT r = TWinControl::AlignRect();
    r.top += 16;
    r.left += 6;
    r.right -= 6;
    r.bottom -= 6;
    return r;
}

void TGroupBox::PaintWindow(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    HGDIOBJ oldFont = SelectObject(dc, Application().Font());
    std::string text = Caption();
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT frame = r;
    frame.top += size.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
        // The caption sits on the frame's top line, on the face colour.
        RECT label{8, 0, 8 + size.cx + 4, size.cy};
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, IsWindowEnabled(Handle()) ? captionColor_ : GetSysColor(COLOR_GRAYTEXT));
        ExtTextOutA(dc, label.left + 2, 0, ETO_OPAQUE, &label, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    }
    SelectObject(dc, oldFont);
}

LRESULT TGroupBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETTEXT) {
        LRESULT r = TWinControl::WndProc(msg, wParam, lParam);
        InvalidateRect(Handle(), nullptr, TRUE);
        return r;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

} // namespace fw

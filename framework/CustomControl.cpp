// Painting of self-drawn controls, their colour and font.
#include "framework/CustomControl.h"

namespace fw {

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), color_(GetSysColor(COLOR_BTNFACE)) {}

void TCustomControl::SetColor(COLORREF color) {
    if (color == color_)
        return;
    color_ = color;
    Invalidate();
}

bool TCustomControl::SetProperty(const std::string& name, const TLayoutValue& v,
                                 const TEventTable& e) {
    if (name != "Color")
        return TWinControl::SetProperty(name, v, e);
    color_ = ColorFromName(v.AsIdent());
    return true;
}

void TCustomControl::Invalidate() {
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, FALSE);
}

RECT TCustomControl::ClientRect() const {
    RECT r{0, 0, Width(), Height()};
    if (HandleAllocated())
        GetClientRect(Handle(), &r);
    return r;
}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // Paint covers everything
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETTEXT:
    case WM_ENABLE: {
        LRESULT r = TWinControl::WndProc(msg, wParam, lParam);
        Invalidate();
        return r;
    }
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

} // namespace fw

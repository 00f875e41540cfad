// Self-drawn windowed controls: no erasing, and a repaint when the text or the enabled
// state changes.
#include "framework/CustomControl.h"

namespace fw {

bool TCustomControl::SetProperty(const std::string& name, const TLayoutValue& v,
                                 const TEventTable& e) {
    return SetColorProperty(name, v) || TWinControl::SetProperty(name, v, e);
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

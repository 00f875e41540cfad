// The parent's painting under a child, through the parent's own erase and print-client
// handling with the DC's origin moved to the parent's corner.
#include "framework/Backdrop.h"

namespace fw {

void PaintParentBackground(HWND child, HDC dc) {
    HWND parent = GetParent(child);
    if (!parent)
        return;
    POINT corner{0, 0};
    MapWindowPoints(child, parent, &corner, 1);
    POINT old;
    OffsetViewportOrgEx(dc, -corner.x, -corner.y, &old);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

} // namespace fw

// What lies behind a child control that leaves part of itself unpainted (a transparent
// label, an icon's clear pixels): its parent's own painting, drawn onto the child's DC.
#pragma once

#include <windows.h>

namespace fw {

// Paints the part of child's parent that the child covers onto dc, which draws in the
// child's client co-ordinates. The parent erases and paints as for WM_PRINTCLIENT.
void PaintParentBackground(HWND child, HDC dc);

} // namespace fw

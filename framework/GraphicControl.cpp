// Graphic controls painted, clipped and hit-tested by their parent's window, with their
// hints as tooltip tools over their bounds.
#include "framework/GraphicControl.h"

#include "framework/Forms.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace fw {

namespace {

// The graphic control that holds the mouse; one at a time, as the system's capture.
TGraphicControl* captured = nullptr;

} // namespace

TGraphicControl::~TGraphicControl() {
    if (captured == this) {
        captured = nullptr;
        ReleaseCapture();
    }
    if (Parent() && Parent()->HandleAllocated()) {
        Invalidate();
        ParentWindowDestroying();
    }
}

void TGraphicControl::InvalidateRect(const RECT& r) const {
    if (Parent() && Parent()->HandleAllocated() && IsWindowVisible(Parent()->Handle()))
        ::InvalidateRect(Parent()->Handle(), &r, TRUE);
}

void TGraphicControl::Invalidate() {
    if (Visible())
        InvalidateRect(BoundsRect());
}

void TGraphicControl::Repaint() {
    Invalidate();
    if (Parent() && Parent()->HandleAllocated())
        UpdateWindow(Parent()->Handle());
}

bool TGraphicControl::HintTool(TOOLINFOA& tool) const {
    if (!Parent() || !Parent()->HandleAllocated())
        return false;
    tool.uFlags = 0;
    tool.hwnd = Parent()->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(this);
    // A hidden or disabled control takes no mouse, so its hint covers nothing.
    tool.rect = Visible() && Enabled() ? BoundsRect() : RECT{};
    return true;
}

void TGraphicControl::SetParent(TWinControl* parent) {
    Invalidate();
    TControl::SetParent(parent);
    Invalidate();
}

void TGraphicControl::UpdateHint() {
    TForm* f = Form();
    if (!f)
        return;
    const std::vector<TControl*>& siblings = Parent()->Controls();
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    for (auto below = std::make_reverse_iterator(self + 1); below != siblings.rend(); ++below)
        if (dynamic_cast<TGraphicControl*>(*below))
            f->UpdateHint(*below);
}

void TGraphicControl::ParentWindowCreated() {
    UpdateHint();
}

void TGraphicControl::ParentWindowDestroying() {
    if (TForm* f = Form())
        f->RemoveHint(this);
}

void TGraphicControl::BoundsChanged(const RECT& old) {
    if (Visible()) {
        InvalidateRect(old);
        Invalidate();
    }
    UpdateHint();
}

void TGraphicControl::VisibleChanged() {
    InvalidateRect(BoundsRect());
    UpdateHint();
}

void TGraphicControl::EnabledChanged() {
    Invalidate();
    UpdateHint();
}

bool TGraphicControl::SetProperty(const std::string& name, const TLayoutValue& v,
                                  const TEventTable& e) {
    return SetColorProperty(name, v) || TControl::SetProperty(name, v, e);
}

void TGraphicControl::PaintControls(TWinControl& parent, HDC dc, const RECT& clip) {
    for (TControl* c : parent.Controls()) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        const RECT bounds = c->BoundsRect();
        RECT common;
        if (!g || !g->Visible() || !IntersectRect(&common, &bounds, &clip))
            continue;
        const int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
        g->Paint(dc);
        RestoreDC(dc, saved);
    }
}

bool TGraphicControl::DispatchMouse(TWinControl& parent, UINT msg, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TGraphicControl* target = captured && captured->Parent() == &parent
                                  ? captured
                                  : dynamic_cast<TGraphicControl*>(parent.ControlAtPos(p));
    if (!target)
        return false;
    const int x = p.x - target->Left(), y = p.y - target->Top();
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)
        target->MouseDown(x, y);
    else if (msg == WM_LBUTTONUP)
        target->MouseUp(x, y);
    else
        target->MouseMove(x, y);
    return true;
}

void TGraphicControl::SetMouseCapture(bool capture) {
    if (capture && Parent() && Parent()->HandleAllocated()) {
        SetCapture(Parent()->Handle()); // tells whoever held the mouse before
        captured = this;
    } else if (!capture && captured == this) {
        captured = nullptr;
        ReleaseCapture();
    }
}

void TGraphicControl::CaptureChanged(TWinControl& parent) {
    if (!captured || captured->Parent() != &parent)
        return;
    TGraphicControl* lost = captured;
    captured = nullptr;
    lost->MouseCaptureLost();
}

} // namespace fw

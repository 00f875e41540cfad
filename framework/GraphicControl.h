// The graphic control: a control without a window of its own. Its parent paints it into
// its own window, clips it to its bounds, passes it the mouse when it is the control under
// the pointer, and shows its hint over its bounds. Each window not created is a round trip
// to the window server saved, at start and at every repaint.
#pragma once

#include "framework/Controls.h"

namespace fw {

class TGraphicControl : public TControl {
  public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    ~TGraphicControl() override;

    // Repaints the part of the parent's window the control covers (nothing while the
    // parent's window is hidden: it is painted whole when it appears).
    void Invalidate() override;
    void Repaint() override;
    bool HintTool(TOOLINFOA& tool) const override;
    void SetParent(TWinControl* parent) override;

    // Color beside the common properties.
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

    // For the parent's window: paints the visible graphic children that meet clip, each
    // within its bounds, over what the parent painted.
    static void PaintControls(TWinControl& parent, HDC dc, const RECT& clip);
    // For the parent's window: a left-button or move message of the mouse, passed to the
    // graphic child that holds the mouse or lies under it; false when there is none.
    static bool DispatchMouse(TWinControl& parent, UINT msg, LPARAM lParam);
    // The parent's window lost the mouse capture, maybe from under a graphic child.
    static void CaptureChanged(TWinControl& parent);

  protected:
    // Paints the whole control; the DC's origin is the control's top-left corner.
    virtual void Paint(HDC dc) = 0;
    RECT ClientRect() const { return {0, 0, Width(), Height()}; }
    // The left mouse button and the pointer's moves, in the control's co-ordinates; the
    // moves reach it while the pointer is over it or while it holds the mouse.
    virtual void MouseDown(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual void MouseMove(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual void MouseUp(int x, int y) {
        (void)x;
        (void)y;
    }
    // Holds the mouse, through the parent's window, until released or taken away.
    void SetMouseCapture(bool capture);
    virtual void MouseCaptureLost() {}

    void ParentWindowCreated() override;
    void ParentWindowDestroying() override;
    void BoundsChanged(const RECT& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void CaptionChanged() override { Invalidate(); }
    // This control's tool, then those of the graphic controls below it, topmost first:
    // where tools overlap, the tooltip takes the first it finds.
    void UpdateHint() override;

  private:
    void InvalidateRect(const RECT& r) const;
};

} // namespace fw

// A control that paints all of itself in its own colour and font: the window's paint, a
// print into another DC (WM_PRINTCLIENT) and the erasing all go to one Paint, which
// covers the whole client area.
#pragma once

#include "framework/Controls.h"

namespace fw {

class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* owner);
    // Asks for a repaint of the whole control (nothing while it has no window).
    void Invalidate();
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    // Color beside the windowed control's properties.
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    virtual void Paint(HDC dc) = 0;
    RECT ClientRect() const;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    COLORREF color_;
};

} // namespace fw

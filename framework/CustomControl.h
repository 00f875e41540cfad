// A windowed control that paints all of itself in its own colour and font: the window's
// paint and a print into another DC (WM_PRINTCLIENT) go to one Paint, which covers the
// whole client area, so nothing is erased before it.
#pragma once

#include "framework/Controls.h"

namespace fw {

class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
    void Invalidate() override;

    // Color beside the windowed control's properties.
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    virtual void Paint(HDC dc) = 0;
    void PaintWindow(HDC dc) override { Paint(dc); }
    RECT ClientRect() const;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

} // namespace fw

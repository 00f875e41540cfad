// A control that paints all of itself in its own colour and font: the window's paint, a
// print into another DC (WM_PRINTCLIENT) and the erasing all go to one Paint, which
// covers the whole client area.
#pragma once

#include "framework/Controls.h"
#include "framework/Font.h"

namespace fw {

class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* owner);
    // Asks for a repaint of the whole control (nothing while it has no window).
    void Invalidate();
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }

    // Color and the Font properties beside the windowed control's own.
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    virtual void Paint(HDC dc) = 0;
    RECT ClientRect() const;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    COLORREF color_;
    TFont font_;
};

} // namespace fw

// The group box with a coloured caption that frames a group of controls.
#pragma once

#include "framework/Controls.h"

namespace fw {

class TGroupBox : public TWinControl {
  public:
    explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}
    COLORREF CaptionColor() const { return captionColor_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    RECT AlignRect() const override;
    void PaintWindow(HDC dc) override;

  private:
    COLORREF captionColor_ = RGB(0, 0, 0);
};

} // namespace fw

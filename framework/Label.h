// The label: a windowless caption in its own font and colours, aligned across its width,
// word-wrapped or not, on its own colour or on whatever lies behind it, with "&" shown as
// an accelerator underline or as it is. Derived labels paint otherwise.
#pragma once

#include "framework/GraphicControl.h"

#include <string>

namespace fw {

class TLabel : public TGraphicControl {
  public:
    explicit TLabel(TComponent* owner) : TGraphicControl(owner) {}

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);

    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    void Paint(HDC dc) override;
    // The label's colour, or what lies behind the label when it is transparent.
    void PaintBackground(HDC dc);
    // DrawText's format: the alignment, tabs expanded, word breaks when wrapping, and no
    // prefix processing when accelerators are not shown.
    UINT TextFlags() const;
    // Draws text in the label's font and format, in that colour, within rect.
    void DrawCaption(HDC dc, const std::string& text, RECT rect, COLORREF color);
    // The font's colour, or the system's grey text while the label is disabled.
    COLORREF TextColor() const;

  private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
};

} // namespace fw

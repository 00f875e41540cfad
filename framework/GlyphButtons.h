// Buttons that show a glyph (a bitmap whose lower-left pixel colour is transparent):
// push buttons with glyph and caption, and the toolbar's glyph-only speed buttons.
#pragma once

#include "framework/PushButton.h"

#include <string>

namespace fw {

enum class TButtonLayout { blGlyphLeft, blGlyphRight };

class TBitBtn : public TButton {
  public:
    explicit TBitBtn(TComponent* owner) : TButton(owner) {}
    // The glyph by its bitmap resource name; empty for none.
    const std::string& Glyph() const { return glyph_; }
    void SetGlyph(const std::string& resourceName);
    TButtonLayout Layout() const { return layout_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    std::string glyph_;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
};

// A toolbar button: glyph only, never takes the focus.
class TSpeedButton : public TBitBtn {
  public:
    explicit TSpeedButton(TComponent* owner) : TBitBtn(owner) {}

  protected:
    TCreateParams CreateParams() const override;
};

// The bitmap resource of that name, loaded once for the run; raises when missing.
HBITMAP LoadGlyph(const std::string& resourceName);

} // namespace fw

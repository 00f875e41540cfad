// Buttons that show a glyph (a bitmap whose lower-left pixel colour is transparent):
// windowed push buttons with glyph and caption, and the toolbar's windowless glyph-only
// speed buttons.
#pragma once

#include "framework/Events.h"
#include "framework/GraphicControl.h"
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

// A toolbar button: glyph only, windowless, never takes the focus. It shows pushed while
// the left button, pressed on it, is held over it, and clicks when released there.
class TSpeedButton : public TGraphicControl {
  public:
    explicit TSpeedButton(TComponent* owner) : TGraphicControl(owner) {}
    const std::string& Glyph() const { return glyph_; }
    void SetGlyph(const std::string& resourceName);
    TNotifyEvent OnClick;
    void Click();
    // Glyph and OnClick beside the common properties.
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    void Paint(HDC dc) override;
    void MouseDown(int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(int x, int y) override;
    void MouseCaptureLost() override;

  private:
    void SetPushed(bool pushed);

    std::string glyph_;
    bool tracking_ = false; // the left button went down on this button and is held
    bool pushed_ = false;
};

// The bitmap resource of that name, loaded once for the run; raises when missing.
struct TGlyph;
const TGlyph& LoadGlyph(const std::string& resourceName);

} // namespace fw

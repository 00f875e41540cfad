// Standard controls: multi-line edits, push buttons and group boxes with a coloured
// caption.
#pragma once

#include "framework/Controls.h"
#include "framework/Events.h"

namespace fw {

class TMemo : public TWinControl {
  public:
    explicit TMemo(TComponent* owner) : TWinControl(owner) {}
    // The whole text, lines separated by CR LF.
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    void Clear() { SetCaption({}); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // Whether a horizontal scroll bar is added to the vertical one (the line then
    // scrolls instead of wrapping); fixed once the window exists.
    bool HorizontalScrollBar() const { return horizontalScrollBar_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    HBRUSH CtlColor(HDC dc) override;

  private:
    bool readOnly_ = false;
    bool horizontalScrollBar_ = false;
};

class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* owner) : TWinControl(owner) {}
    TNotifyEvent OnClick;
    void Click();
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void Notify(WORD code) override;
};

class TGroupBox : public TWinControl {
  public:
    explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}
    COLORREF CaptionColor() const { return captionColor_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    RECT AlignRect() const override;

  private:
    void Paint(HDC dc);
    COLORREF captionColor_ = RGB(0, 0, 0);
};

} // namespace fw

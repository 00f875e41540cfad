// Standard controls: multi-line edits, push buttons and group boxes with a coloured
// caption.
#pragma once

#include "framework/Controls.h"
#include "framework/Events.h"

#include <optional>
#include <string>

namespace fw {

class TMemo : public TWinControl {
  public:
    explicit TMemo(TComponent* owner) : TWinControl(owner) {}
    // The whole text, lines separated by CR LF.
    std::string Text() const { return pending_ ? *pending_ : Caption(); }
    // A memo that is not on screen takes its text when it appears: laying text out is
    // what an edit control spends its time on, and a window kept in the notification
    // area changes its tagline unseen.
    void SetText(const std::string& text);
    void Clear() { SetText({}); }
    // The window, holding the current text (for messages the class does not wrap).
    HWND Handle();
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
    void Appearing() override;
    HBRUSH CtlColor(HDC dc) override;
    // Whether the text is being written to the window: its change notices are not the
    // user's typing.
    bool Writing() const { return writing_; }

  private:
    void Write(const std::string& text);

    std::optional<std::string> pending_;
    bool writing_ = false;
    bool readOnly_ = false;
    bool horizontalScrollBar_ = false;
};

// A push button. The form's default button answers Return and its cancel button Escape;
// a button with a modal result closes its modal form with that result once clicked.
class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* owner) : TWinControl(owner) {}
    TNotifyEvent OnClick;
    void Click();
    bool IsDefault() const { return default_; }
    bool IsCancel() const { return cancel_; }
    int ModalResult() const { return modalResult_; }
    // Draws the default button's frame or not; the form moves it to the focused button.
    void SetDefaultLook(bool look);
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void Notify(WORD code) override;

  private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
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

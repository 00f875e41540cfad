// The multi-line edit: the signature editor, the draft and the memos of the dialogs. A memo
// off screen keeps its text until it appears.
#pragma once

#include "framework/CustomEdit.h"

#include <optional>
#include <string>

namespace fw {

class TMemo : public TCustomEdit {
  public:
    explicit TMemo(TComponent* owner) : TCustomEdit(owner) {}
    // The whole text, lines separated by CR LF.
    std::string Text() const { return pending_ ? *pending_ : Caption(); }
    // A memo that is not on screen takes its text when it appears: laying text out is
    // what an edit control spends its time on, and a window kept in the notification
    // area changes its tagline unseen.
    void SetText(const std::string& text);
    void Clear() { SetText({}); }
    // The window, holding the current text (for messages the class does not wrap).
    HWND Handle();
    // Whether a horizontal scroll bar is added to the vertical one (the line then
    // scrolls instead of wrapping); fixed once the window exists.
    bool HorizontalScrollBar() const { return horizontalScrollBar_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    void Appearing() override;
    // Whether the text is being written to the window: its change notices are not the
    // user's typing.
    bool Writing() const { return writing_; }

  private:
    void Write(const std::string& text);

    std::optional<std::string> pending_;
    bool writing_ = false;
    bool horizontalScrollBar_ = false;
};

} // namespace fw

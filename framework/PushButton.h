// The push button, with the form's default and cancel roles and a modal result.
#pragma once

#include "framework/Controls.h"
#include "framework/Events.h"

namespace fw {

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

} // namespace fw

// The check box: a box with a caption that the user ticks and clears.
#pragma once

#include "framework/Controls.h"
#include "framework/Events.h"

namespace fw {

// OnClick is raised whenever Checked changes, by the user or by code, so a form filling
// its boxes from its data hears the same notice as a click.
class TCheckBox : public TWinControl {
  public:
    explicit TCheckBox(TComponent* owner) : TWinControl(owner) {}
    TNotifyEvent OnClick;
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    void Notify(WORD code) override;

  private:
    bool checked_ = false;
};

} // namespace fw

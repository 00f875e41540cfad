// What the edit line and the memo share over the Win32 edit control: whether the user may
// change the text, and the colours it is shown in either way.
#pragma once

#include "framework/Controls.h"

namespace fw {

class TCustomEdit : public TWinControl {
  public:
    explicit TCustomEdit(TComponent* owner) : TWinControl(owner) {}
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    // The style bit the window is created with.
    DWORD ReadOnlyStyle() const { return readOnly_ ? ES_READONLY : 0; }
    HBRUSH CtlColor(HDC dc) override;

  private:
    bool readOnly_ = false;
};

} // namespace fw

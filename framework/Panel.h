// The panel: the toolbar's raised strip that holds the speed buttons.
#pragma once

#include "framework/Controls.h"

namespace fw {

class TPanel : public TWinControl {
  public:
    explicit TPanel(TComponent* owner) : TWinControl(owner) {}

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

} // namespace fw

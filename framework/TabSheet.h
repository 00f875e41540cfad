// The tab sheet: one page of a page control, whose caption is its tab's text.
#pragma once

#include "framework/Controls.h"

namespace fw {

// A sheet fills its page control's display area; only the active sheet is shown.
class TTabSheet : public TWinControl {
  public:
    explicit TTabSheet(TComponent* owner);
};

} // namespace fw

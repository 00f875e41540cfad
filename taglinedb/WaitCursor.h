// The hourglass pointer for as long as a slow table operation runs; the previous pointer
// comes back however the operation ends.
#pragma once

#include <windows.h>

class TWaitCursor {
  public:
    TWaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~TWaitCursor() { SetCursor(previous_); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

// TTimerPause: holds a timer off for a scope (a save, a box shown from a tick), so no
// tick comes meanwhile, and gives it back its state on every path.
#pragma once

#include "framework/ExtCtrls.h"

class TTimerPause {
  public:
    explicit TTimerPause(fw::TTimer& timer) : timer_(timer), enabled_(timer.Enabled()) {
        timer_.SetEnabled(false);
    }
    ~TTimerPause() { timer_.SetEnabled(enabled_); }
    TTimerPause(const TTimerPause&) = delete;
    TTimerPause& operator=(const TTimerPause&) = delete;

  private:
    fw::TTimer& timer_;
    bool enabled_;
};

// TTimerPause: holds a timer off for a scope (a save, a box shown from a tick), so no
// tick comes meanwhile, and gives it back its state when the scope ends normally. A
// scope left by an error keeps the timer off: the error box that follows must not be
// joined by a tick that fails the same way every second.
#pragma once

#include "framework/Timer.h"

#include <exception>

class TTimerPause {
  public:
    explicit TTimerPause(fw::TTimer& timer)
        : timer_(timer), enabled_(timer.Enabled()), errors_(std::uncaught_exceptions()) {
        timer_.SetEnabled(false);
    }
    ~TTimerPause() {
        if (std::uncaught_exceptions() == errors_)
            timer_.SetEnabled(enabled_);
    }
    TTimerPause(const TTimerPause&) = delete;
    TTimerPause& operator=(const TTimerPause&) = delete;

  private:
    fw::TTimer& timer_;
    bool enabled_;
    int errors_;
};

// TTimerPause: holds a timer off for a scope and gives it back the state it had. A save,
// or a box shown from a tick, gives it back only when the scope ends normally: the error
// box that follows must not be joined by a tick that fails the same way every second. A
// command that pauses the timer for its length gives it back on every path.
#pragma once

#include "framework/Timer.h"

#include <exception>

namespace fw {

class TTimerPause {
  public:
    enum class TRestore { Always, OnSuccess };

    explicit TTimerPause(TTimer& timer, TRestore restore = TRestore::OnSuccess)
        : timer_(timer), enabled_(timer.Enabled()), restore_(restore),
          errors_(std::uncaught_exceptions()) {
        timer_.SetEnabled(false);
    }
    ~TTimerPause() {
        if (restore_ == TRestore::Always || std::uncaught_exceptions() == errors_)
            timer_.SetEnabled(enabled_);
    }
    TTimerPause(const TTimerPause&) = delete;
    TTimerPause& operator=(const TTimerPause&) = delete;

  private:
    TTimer& timer_;
    bool enabled_;
    TRestore restore_;
    int errors_;
};

} // namespace fw

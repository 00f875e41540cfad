// The window timer, ticking on the application's window.
#pragma once

#include "framework/Component.h"
#include "framework/Events.h"

#include <windows.h>

#include <string>

namespace fw {

class TLayoutValue;
class TEventTable;

// Ticks every Interval milliseconds while Enabled, on the application's window. A timer
// read from a layout starts once loaded; one made in code starts with its first setter.
class TTimer : public TComponent {
  public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms); // restarts the count
    TNotifyEvent OnTimer;

    // Runs the tick of the timer with that identifier (the application's WM_TIMER).
    static void Dispatch(UINT_PTR id);
    bool SetProperty(const std::string& name, const TLayoutValue& value, const TEventTable& events);
    void Loaded() override;

  private:
    void Update();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    bool running_ = false;
    UINT_PTR id_;
};

} // namespace fw

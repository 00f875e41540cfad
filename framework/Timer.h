// The timer component, ticking in the thread's message loop.
#pragma once

#include "framework/Component.h"
#include "framework/Events.h"

#include <windows.h>

#include <string>

namespace fw {

class TLayoutValue;
class TEventTable;

// Ticks every Interval milliseconds while Enabled, from any message loop of the thread
// (a thread timer: no window is made for it). A timer read from a layout starts once
// loaded; one made in code starts with its first setter.
class TTimer : public TComponent {
  public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms); // restarts the count
    TNotifyEvent OnTimer;

    bool SetProperty(const std::string& name, const TLayoutValue& value, const TEventTable& events);
    void Loaded() override;

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    void Stop();
    void Update();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0; // the system's, while the timer runs
};

} // namespace fw

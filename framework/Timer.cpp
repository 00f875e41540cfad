// Window timers: one Win32 timer per component, found again by its identifier.
#include "framework/Timer.h"

#include "framework/Application.h"
#include "framework/LayoutReader.h"

#include <map>

namespace fw {

namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

UINT_PTR NextTimerId() {
    static UINT_PTR next = 1;
    return next++;
}

} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner), id_(NextTimerId()) {
    Timers()[id_] = this;
}

TTimer::~TTimer() {
    if (running_)
        KillTimer(Application().Handle(), id_);
    Timers().erase(id_);
}

void TTimer::Dispatch(UINT_PTR id) {
    auto it = Timers().find(id);
    if (it != Timers().end() && it->second->enabled_ && it->second->OnTimer)
        it->second->OnTimer(it->second);
}

void TTimer::Update() {
    HWND window = Application().Handle();
    if (running_)
        KillTimer(window, id_);
    running_ = enabled_ && interval_ > 0;
    if (running_)
        SetTimer(window, id_, interval_, nullptr);
}

void TTimer::Loaded() {
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(unsigned ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    Update();
}

bool TTimer::SetProperty(const std::string& name, const TLayoutValue& v,
                         const TEventTable& events) {
    if (name == "Enabled")
        enabled_ = v.AsBoolean();
    else if (name == "Interval")
        interval_ = static_cast<unsigned>(v.AsInteger());
    else if (name == "OnTimer")
        OnTimer = events.Notify(v.AsIdent());
    else
        return false;
    return true;
}

} // namespace fw

// Thread timers: one Win32 timer per component, with no window, found again by the
// identifier the system gave it.
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

} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    Stop();
}

void CALLBACK TTimer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    Application().Protect([id] {
        auto it = Timers().find(id);
        if (it != Timers().end() && it->second->enabled_ && it->second->OnTimer)
            it->second->OnTimer(it->second);
    });
}

void TTimer::Stop() {
    if (!id_)
        return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
}

void TTimer::Update() {
    Stop();
    if (enabled_ && interval_ > 0 && (id_ = SetTimer(nullptr, 0, interval_, Tick)) != 0)
        Timers()[id_] = this;
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

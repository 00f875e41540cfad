// Event types of the component model. Handlers are members of the owning form bound
// into these, named component + event (btnTimerClick).
#pragma once

#include <functional>
#include <set>

namespace fw {

class TComponent;

using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TShiftKey { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = std::set<TShiftKey>;

using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;

} // namespace fw

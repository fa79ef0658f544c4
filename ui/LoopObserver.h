// Hooks through which the event loop reports what it does: the simulator prints them as its
// trace, the real program ignores them.
#pragma once

#include <cstdint>

namespace velozor {

class LoopObserver {
public:
    virtual ~LoopObserver() = default;
    virtual void onLoad() {}
    virtual void onTick() {}
    virtual void onKey(int16_t /*keyCode*/) {}
    virtual void onClose() {}
    virtual void onUnload() {}
    virtual void onExit() {}
    virtual void onEnd() {}
    virtual void onTimerSet(bool /*enabled*/) {}
};

}  // namespace velozor

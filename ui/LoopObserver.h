// Hooks through which the event loop reports each thing it does, just before it does it: the
// simulator writes them as its trace, the program as its VELOZOR_TRACE lines (both through
// NamedEventObserver), the loop's benchmark times them. Every hook does nothing unless overridden.
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

// A loop observer that names each event as the traces write it ("load", "tick", "key\t37",
// "timer\ton", ...) and hands the name on: the one place those names are kept, for the
// program's VELOZOR_TRACE lines and the simulator's trace alike.
#pragma once

#include <cstdint>
#include <string>

#include "ui/LoopObserver.h"

namespace velozor {

class NamedEventObserver : public LoopObserver {
public:
    void onLoad() final { onEvent("load"); }
    void onTick() final { onEvent("tick"); }
    void onKey(int16_t keyCode) final { onEvent("key\t" + std::to_string(keyCode)); }
    void onClose() final { onEvent("close"); }
    void onUnload() final { onEvent("unload"); }
    void onExit() final { onEvent("exit"); }
    void onEnd() final { onEvent("end"); }
    void onTimerSet(bool enabled) final { onEvent(enabled ? "timer\ton" : "timer\toff"); }

protected:
    // One event, named; a tab separates the name from its argument.
    virtual void onEvent(const std::string& name) = 0;
};

}  // namespace velozor

// The game's hold on its timer: the tick and the keys pause and resume play by switching it.
#pragma once

namespace velozor {

class TimerSwitch {
public:
    virtual ~TimerSwitch() = default;
    // Sets Timer1's Enabled property. Switching it on starts a full interval from now;
    // switching it off drops a tick that is due.
    virtual void setTimerEnabled(bool enabled) = 0;
};

}  // namespace velozor

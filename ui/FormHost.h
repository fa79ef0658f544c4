// What Form1's handlers ask of the window they live in; the event loop provides it.
#pragma once

#include <string>

#include "game/TimerSwitch.h"

namespace velozor {

class FormHost : public TimerSwitch {
public:
    virtual void setCredits(const std::string& text) = 0;  // Label1's caption
    virtual void showWindow() = 0;
    virtual void focusWindow() = 0;
    // Unloads the window from inside a handler: Form_Unload runs now, and the program ends
    // when the running handler returns.
    virtual void unloadWindow() = 0;
};

}  // namespace velozor

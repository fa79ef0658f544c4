// The Win32 window's sleep on a waitable timer and the message queue at once.
#include "ui/win32/MessageWait.h"

#include <chrono>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace velozor {

using namespace std::chrono_literals;

MessageWait::MessageWait() {
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                    TIMER_ALL_ACCESS);
    if (timer_ == nullptr)
        timer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
}

MessageWait::~MessageWait() {
    if (timer_ != nullptr)
        CloseHandle(timer_);
}

void MessageWait::sleep(std::optional<Micros> remaining) {
    DWORD timeout = INFINITE;
    DWORD handleCount = 0;
    if (remaining) {
        LARGE_INTEGER due;
        due.QuadPart = -remaining->count() * 10;  // relative, in 100 ns units
        if (timer_ != nullptr && SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
            handleCount = 1;
        } else {
            timeout = static_cast<DWORD>((*remaining + 999us) / 1ms);
        }
    }
    MsgWaitForMultipleObjectsEx(handleCount, &timer_, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace velozor

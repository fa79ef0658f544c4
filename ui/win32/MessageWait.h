// The Win32 window's sleep between messages: until a message arrives for the thread or the
// event loop's deadline comes, whichever is first, on a waitable timer and the message queue
// together (MsgWaitForMultipleObjectsEx).
#pragma once

#include <windows.h>

#include <optional>

#include "base/Clock.h"

namespace velozor {

class MessageWait {
public:
    // Makes the timer: a high-resolution one, which wakes within a fraction of a millisecond of
    // the deadline (Windows 10 1803 and later), else a plain one, at the system's timer grain.
    // Without either, a wait times out in whole milliseconds, rounded up.
    MessageWait();
    ~MessageWait();
    MessageWait(const MessageWait&) = delete;
    MessageWait& operator=(const MessageWait&) = delete;

    // Sleeps until a message is queued for the thread or `remaining` (more than zero) has
    // passed; with no `remaining`, until a message. Messages already queued end it at once.
    void sleep(std::optional<Micros> remaining);

private:
    HANDLE timer_ = nullptr;
};

}  // namespace velozor

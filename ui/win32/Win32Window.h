// The real window on Windows: a Win32 window with the game's caption, icon and credits label,
// whose key, paint and close messages reach the event loop as WindowEvents.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "base/Clock.h"
#include "base/Language.h"
#include "ui/WindowEventQueue.h"
#include "ui/WindowSystem.h"
#include "ui/win32/MessageWait.h"

namespace velozor {

class Win32Window final : public WindowSystem {
public:
    // The icon resource in velozor.rc.
    static constexpr int kIconResource = 1;

    // Creates the window, hidden until show(), at the system's default place. `clock` times
    // the waits and must outlive the window. Returns nullptr and sets `error` to a one-line
    // message in `language` when no window can be made.
    static std::unique_ptr<Win32Window> open(const Clock& clock, Language language,
                                             std::string& error);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Dispatches the thread's messages, then sleeps in MessageWait until the next message or
    // the deadline, whichever comes first.
    WaitResult waitForEvent(std::optional<Micros> deadline) override;
    std::optional<WindowEvent> nextEvent() override;

    void setCredits(const std::string& text) override;
    // Shows the window and paints it at once: the introduction that follows blocks the loop.
    void show() override;
    void focus() override;
    void close() override;

    HWND handle() const { return window_; }

private:
    explicit Win32Window(const Clock& clock);

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void pumpMessages();
    void applyDpi(UINT dpi);

    const Clock& clock_;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
    HFONT font_ = nullptr;
    MessageWait wait_;
    WindowEventQueue queue_;
};

}  // namespace velozor

// The game's window in a web page: keys come from the page's key handler as virtual-key codes,
// and waiting hands the page its own event loop until a key arrives or the timer is due.
#pragma once

#include "ui/WindowEventQueue.h"
#include "ui/WindowSystem.h"

namespace velozor {

class PageWindow final : public WindowSystem {
public:
    explicit PageWindow(const Clock& clock) : clock_(clock) {}

    // A key-down from the page (its auto-repeats too). The game sees it at its next wait.
    void keyDown(int16_t keyCode, int16_t shift);

    WaitResult waitForEvent(std::optional<Micros> deadline) override;
    std::optional<WindowEvent> nextEvent() override;

    void setCredits(const std::string& text) override;  // the page's credits paragraph
    void show() override {}                             // the page is the window, always shown
    void focus() override;  // the game's area takes the keyboard focus within the page
    void close() override;  // the page says the game has ended and offers to play again

private:
    const Clock& clock_;
    WindowEventQueue events_;
};

}  // namespace velozor

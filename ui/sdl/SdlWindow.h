// The desktop program's window outside Windows: an SDL window with the game's caption, icon and
// credits label, whose events reach the event loop as Windows-style key, paint and close events.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>

#include "base/Clock.h"
#include "base/Language.h"
#include "ui/WindowEventQueue.h"
#include "ui/WindowLayout.h"
#include "ui/WindowSystem.h"
#include "ui/sdl/CreditsLabel.h"

namespace velozor {

class SdlWindow final : public WindowSystem {
public:
    // Creates the window, hidden until show(), its credits in the font `font` names. SDL's video
    // subsystem must be initialised. `clock` times the waits and must outlive the window.
    // Returns nullptr and sets `error` to a one-line message in `language` when no window can
    // be made.
    static std::unique_ptr<SdlWindow> open(const Clock& clock, const SansFontLookup& font,
                                           Language language, std::string& error);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // Sleeps in SDL until about 3 ms before the deadline, then in short steps, and stays awake
    // through the last millisecond, so it returns within a fraction of a millisecond of the
    // deadline while still waking for any event.
    WaitResult waitForEvent(std::optional<Micros> deadline) override;
    std::optional<WindowEvent> nextEvent() override;

    void setCredits(const std::string& text) override;
    // Maps the window and draws it at once: the introduction that follows blocks the loop.
    void show() override;
    void focus() override;
    void close() override;

    SDL_Window* handle() const { return window_; }

private:
    SdlWindow(const Clock& clock, SDL_Window* window, double scale, const SansFontLookup& font,
              Language language);
    // One line on standard error, in the window's language, that it cannot be drawn.
    void reportPaintFailure();

    void pumpEvents();
    void translate(const SDL_Event& event);
    void paint();
    // Repaints on an expose as soon as SDL reads it, even while a synchronous sound holds the
    // loop and the back end only pumps events.
    static int SDLCALL watchEvents(void* self, SDL_Event* event);

    const Clock& clock_;
    const Language language_;  // of the lines on standard error
    SDL_Window* window_;
    Uint32 windowId_;
    CreditsLabel label_;
    WindowEventQueue queue_;
    bool shown_ = false;
    bool paintFailureReported_ = false;
};

}  // namespace velozor

// Tests of the SDL window's events and waits, on SDL's dummy video driver (no display).
#include "ui/sdl/SdlWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "ui/sdl/SteadyClock.h"

namespace velozor {
namespace {

using namespace std::chrono_literals;
using Kind = WindowEvent::Kind;

class SdlWindowEvents : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
        std::string error;
        window = SdlWindow::open(clock, findSansFont(), Language::Spanish, error);
        ASSERT_TRUE(window) << error;
        while (window->nextEvent()) {
        }  // whatever creating the window queued
    }
    void TearDown() override {
        window.reset();
        SDL_Quit();
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    void push(Uint32 type) { push(SDL_Event{.type = type}); }
    void pushKey(SDL_Keycode key, SDL_Scancode place, Uint16 mod = 0, Uint8 repeat = 0) {
        SDL_Event event{.type = SDL_KEYDOWN};
        event.key.windowID = SDL_GetWindowID(window->handle());
        event.key.state = SDL_PRESSED;
        event.key.repeat = repeat;
        event.key.keysym = {place, key, mod, 0};
        push(event);
    }
    void pushWindowEvent(Uint8 what) {
        SDL_Event event{.type = SDL_WINDOWEVENT};
        event.window.windowID = SDL_GetWindowID(window->handle());
        event.window.event = what;
        push(event);
    }
    // The next events are exactly `expected`: a kind and, for keys, the code and shift state.
    void expectEvents(std::initializer_list<std::tuple<Kind, int16_t, int16_t>> expected) {
        for (const auto& [kind, code, shift] : expected) {
            const std::optional<WindowEvent> event = window->nextEvent();
            ASSERT_TRUE(event);
            EXPECT_EQ(event->kind, kind);
            EXPECT_EQ(event->keyCode, code);
            EXPECT_EQ(event->shift, shift);
        }
        EXPECT_FALSE(window->nextEvent());
    }

    SteadyClock clock;
    std::unique_ptr<SdlWindow> window;
};

TEST_F(SdlWindowEvents, DeliversKeysInOrderAndCloseAndQuitAsOneCloseRequestUntilClosed) {
    pushKey(SDLK_LEFT, SDL_SCANCODE_LEFT);
    pushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, 0, 1);            // auto-repeat: a press like any other
    pushKey(SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP);  // no Windows code: dropped
    push(SDL_MOUSEMOTION);
    pushKey(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LSHIFT);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    push(SDL_QUIT);
    pushKey(SDLK_F1, SDL_SCANCODE_F1);
    expectEvents({{Kind::KeyDown, vk::Left, 0},
                  {Kind::KeyDown, vk::Left, 0},
                  {Kind::KeyDown, vk::Enter, 1},
                  {Kind::CloseRequest, 0, 0},
                  {Kind::KeyDown, vk::F1, 0}});
    // Once closed, nothing more is read, and a wait says to stop.
    pushKey(SDLK_LEFT, SDL_SCANCODE_LEFT);
    window->close();
    EXPECT_FALSE(window->nextEvent());
    EXPECT_EQ(window->waitForEvent(std::nullopt), WindowSystem::WaitResult::Stop);
}

TEST_F(SdlWindowEvents, FoldsExposesIntoOnePendingPaint) {
    window->show();
    while (window->nextEvent()) {
    }
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    pushKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    const std::optional<WindowEvent> event = window->nextEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->kind, Kind::Paint);
    // Once that paint is handled, a new expose asks for a new one, behind the waiting key.
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    expectEvents({{Kind::KeyDown, vk::Escape, 0}, {Kind::Paint, 0, 0}});
}

TEST_F(SdlWindowEvents, AWaitEndsAtItsDeadlineOrOnAKeyPressedByAnotherThread) {
    const Micros deadline = clock.now() + 30ms;
    EXPECT_EQ(window->waitForEvent(deadline), WindowSystem::WaitResult::Ready);
    EXPECT_GE(clock.now(), deadline) << "the wait returned before its deadline";
    EXPECT_FALSE(window->nextEvent());
    // A deadline already past returns at once.
    EXPECT_EQ(window->waitForEvent(clock.now() - 1ms), WindowSystem::WaitResult::Ready);

    const Micros far = clock.now() + 10s;
    std::thread presser([&] {
        std::this_thread::sleep_for(20ms);
        pushKey(SDLK_RIGHT, SDL_SCANCODE_RIGHT);
    });
    EXPECT_EQ(window->waitForEvent(far), WindowSystem::WaitResult::Ready);
    presser.join();
    EXPECT_LT(clock.now(), far) << "the key did not end the wait";
    expectEvents({{Kind::KeyDown, vk::Right, 0}});
}

}  // namespace
}  // namespace velozor

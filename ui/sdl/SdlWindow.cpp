// The SDL window: creation, drawing, and the translation and timing of its events.
#include "ui/sdl/SdlWindow.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "base/ErrorLine.h"
#include "ui/sdl/KeyMap.h"
#include "ui/sdl/WindowIcon.h"
#include "ui/sdl/X11Window.h"

namespace velozor {

namespace {

using namespace std::chrono_literals;

// Below this much time before a deadline the wait stops trusting SDL's timeout, which counts
// whole milliseconds and was seen to overrun by one to two of them, and sleeps in short steps.
constexpr Micros kPreciseWindow = 3ms;
// The step of the precise wait: how late a deadline or an event can be noticed in it.
constexpr Micros kPreciseStep = 200us;
// The last stretch before a deadline is waited out awake: a thread that sleeps lets the
// processor idle, and waking it again took milliseconds now and then on virtual machines.
// Spinning this long every tick costs about 0.2% of one core.
constexpr Micros kSpinWindow = 1ms;

constexpr Uint8 kBackground = 240;  // the light grey of a dialog's face

// Pixels per 96-dpi pixel, floored to a quarter so a screen of ordinary density (whose
// reported dpi is often a little off 96) keeps the design size.
double displayScale() {
    float dpi = 0;
    if (SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) != 0 || !(dpi > 0))
        return 1.0;
    return std::clamp(std::floor(dpi / 96.0 * 4.0) / 4.0, 1.0, 4.0);
}

}  // namespace

std::unique_ptr<SdlWindow> SdlWindow::open(const Clock& clock, const SansFontLookup& font,
                                           Language language, std::string& error) {
    // A high-density screen scales the client area by its dpi over 96, floored to a quarter
    // step.
    const double scale = displayScale();
    // The window is one still picture: SDL's own X11/shared-memory framebuffer draws it. An
    // accelerated one would start a GL renderer, which on X11 recreates the window and with
    // it drops the icon sizes set through Xlib.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window =
        SDL_CreateWindow("Velozor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                         static_cast<int>(std::lround(kClientWidth * scale)),
                         static_cast<int>(std::lround(kClientHeight * scale)), SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        error = inLanguage(language,
                           "no se puede crear la ventana: {} (empieza el juego dentro de una "
                           "sesión gráfica)",
                           "cannot create the window: {} (start the game inside a graphical "
                           "session)",
                           {SDL_GetError()});
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(clock, window, scale, font, language));
}

SdlWindow::SdlWindow(const Clock& clock, SDL_Window* window, double scale,
                     const SansFontLookup& font, Language language)
    : clock_(clock),
      language_(language),
      window_(window),
      windowId_(SDL_GetWindowID(window)),
      label_(scale, font, language) {
    if (!label_.hasFont()) {
        writeErrorLine(language_, "los créditos no se muestran: {}",
                       "the credits are not shown: {}", {label_.error()});
    }
    // Whatever the framebuffer hint says, make the surface before the icon is set, so a
    // window recreated for it still gets every icon size.
    if (SDL_GetWindowSurface(window_) == nullptr)
        reportPaintFailure();
    applyWindowIcon(window_, language_);
    // Keys arrive as key-downs only; text input would add IME work and events nobody reads.
    SDL_StopTextInput();
    SDL_AddEventWatch(&SdlWindow::watchEvents, this);
}

SdlWindow::~SdlWindow() {
    close();
}

WindowSystem::WaitResult SdlWindow::waitForEvent(std::optional<Micros> deadline) {
    if (window_ == nullptr)
        return WaitResult::Stop;
    for (;;) {
        pumpEvents();
        if (!queue_.empty())
            return WaitResult::Ready;
        SDL_Event event;
        if (!deadline) {
            if (SDL_WaitEvent(&event)) {
                translate(event);
            } else {
                writeErrorLine(language_, "falló la espera de eventos: {}",
                               "waiting for events failed: {}", {SDL_GetError()});
                std::this_thread::sleep_for(10ms);
            }
            continue;
        }
        const Micros remaining = *deadline - clock_.now();
        if (remaining <= Micros(0))
            return WaitResult::Ready;
        const auto coarse = (remaining - kPreciseWindow) / 1ms;
        if (coarse >= 1) {
            if (SDL_WaitEventTimeout(&event, static_cast<int>(coarse)))
                translate(event);
        } else if (remaining > kSpinWindow) {
            std::this_thread::sleep_for(std::min(remaining - kSpinWindow, kPreciseStep));
        } else {
            std::this_thread::yield();
        }
    }
}

std::optional<WindowEvent> SdlWindow::nextEvent() {
    if (window_ == nullptr)
        return std::nullopt;
    pumpEvents();
    return queue_.pop();
}

void SdlWindow::pumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        translate(event);
}

void SdlWindow::translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:  // auto-repeats included: they count as presses
            if (const std::optional<int16_t> code = virtualKeyCode(event.key.keysym)) {
                queue_.pushKey(*code, shiftState(event.key.keysym.mod));
            }
            break;
        case SDL_QUIT:  // the last window's close, or SIGINT/SIGTERM
            queue_.pushClose();
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId_)
                break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                queue_.pushClose();
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                queue_.pushPaint();
            }
            break;
        default:
            break;
    }
}

int SDLCALL SdlWindow::watchEvents(void* self, SDL_Event* event) {
    auto* window = static_cast<SdlWindow*>(self);
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_EXPOSED &&
        event->window.windowID == window->windowId_) {
        window->paint();
    }
    return 0;
}

void SdlWindow::paint() {
    if (window_ == nullptr || !shown_)
        return;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr ||
        SDL_FillRect(surface, nullptr,
                     SDL_MapRGB(surface->format, kBackground, kBackground, kBackground)) != 0) {
        reportPaintFailure();
        return;
    }
    label_.draw(surface);
    if (SDL_UpdateWindowSurface(window_) != 0)
        reportPaintFailure();
}

void SdlWindow::reportPaintFailure() {
    if (paintFailureReported_)
        return;
    writeErrorLine(language_, "no se puede dibujar la ventana: {}", "cannot draw the window: {}",
                   {SDL_GetError()});
    paintFailureReported_ = true;
}

void SdlWindow::setCredits(const std::string& text) {
    if (!label_.setText(text)) {
        writeErrorLine(label_.error());
    }
    paint();
}

void SdlWindow::show() {
    if (window_ == nullptr)
        return;
    SDL_ShowWindow(window_);  // on X11 this returns once the window is mapped
    shown_ = true;
    paint();
}

void SdlWindow::focus() {
    if (window_ == nullptr)
        return;
    // One window and no controls: focus within the program is the window's own. On X11 it
    // is taken only when no other application has it; elsewhere the compositor decides.
    takeX11FocusIfFree(window_);
}

void SdlWindow::close() {
    if (window_ == nullptr)
        return;
    SDL_DelEventWatch(&SdlWindow::watchEvents, this);
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    queue_.clear();
}

}  // namespace velozor

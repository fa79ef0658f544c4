// The page's window.
#include "ui/web/PageWindow.h"

#include <emscripten.h>

#include <cmath>

#include "sound/web/PageAudio.h"

EM_JS(void, velozor_page_set_credits, (const char* text),
      { Module.velozorPage.setCredits(UTF8ToString(text)); });
EM_JS(void, velozor_page_focus, (), { Module.velozorPage.focusGame(); });
EM_JS(void, velozor_page_close, (), { Module.velozorPage.gameEnded(); });

namespace velozor {

void PageWindow::keyDown(int16_t keyCode, int16_t shift) {
    events_.pushKey(keyCode, shift);
}

WindowSystem::WaitResult PageWindow::waitForEvent(std::optional<Micros> deadline) {
    while (events_.empty()) {
        const Micros now = clock_.now();
        if (deadline && now >= *deadline)
            break;
        // Rounded up: a timer that fires early only costs one more short pause.
        const int milliseconds =
            deadline ? static_cast<int>(std::ceil((*deadline - now).count() / 1000.0)) : -1;
        pausePage(milliseconds);
    }
    return WaitResult::Ready;
}

std::optional<WindowEvent> PageWindow::nextEvent() {
    return events_.pop();
}

void PageWindow::setCredits(const std::string& text) {
    velozor_page_set_credits(text.c_str());
}

void PageWindow::focus() {
    velozor_page_focus();
}

void PageWindow::close() {
    velozor_page_close();
}

}  // namespace velozor

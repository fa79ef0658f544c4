// The session's end and the console's control events, each on a thread of its own.
#include "ui/win32/SessionEndWatch.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "base/ErrorLine.h"
#include "sound/winmm/WideText.h"
#include "ui/EndSilencer.h"

namespace velozor {

namespace {

constexpr wchar_t kWatchClass[] = L"VelozorSessionWatch";
constexpr DWORD kSilenceMilliseconds = 2000;
constexpr UINT kControlCStatus = 130;

DWORD WINAPI silenceAndFlush(void* silence) {
    if (const auto& silencer = *static_cast<const std::function<void()>*>(silence))
        silencer();
    std::fflush(nullptr);  // a trace file keeps its last lines
    return 0;
}

[[noreturn]] void endNow(UINT status) {
    // A second end (Ctrl+C during the session's end) waits here until the first ends all.
    const std::function<void()>& silence = silencerForTheEnd();
    // On a thread of its own, so a system call that hangs cannot keep the process alive.
    const HANDLE silencing =
        CreateThread(nullptr, 0, silenceAndFlush,
                     const_cast<void*>(static_cast<const void*>(&silence)), 0, nullptr);
    if (silencing != nullptr)
        WaitForSingleObject(silencing, kSilenceMilliseconds);
    // TerminateProcess, not ExitProcess: the game's thread may be inside winmm, and detaching
    // the libraries under it, or running static destructors, could hang or crash the end.
    TerminateProcess(GetCurrentProcess(), status);
    for (;;)
        Sleep(INFINITE);
}

BOOL WINAPI onConsoleControl(DWORD event) {
    endNow(event == CTRL_C_EVENT ? kControlCStatus : 0);
}

LRESULT CALLBACK watchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION || (message == WM_ENDSESSION && wParam))
        endNow(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD dispatchMessages() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

// One line on standard error: a part of the session's watch, `spanish` or `english` by
// `language`, failed with the system's last error.
void warn(Language language, std::string_view spanish, std::string_view english) {
    const std::string reason = systemErrorText(GetLastError());
    writeErrorLine(language, "{} ({}); el fin de la sesión terminará el juego solo entre sonidos",
                   "{} ({}); the end of the session will end the game only between "
                   "sounds",
                   {inLanguage(language, spanish, english), reason});
}

// What the watcher's thread is handed: the event it sets once its window exists.
struct WatcherStart {
    HANDLE ready;
    Language language;
};

}  // namespace

void startSessionEndWatch(Language language) {
    if (!SetConsoleCtrlHandler(onConsoleControl, TRUE)) {
        const std::string reason = systemErrorText(GetLastError());
        writeErrorLine(language,
                       "no se puede vigilar Ctrl+C ({}); terminará el juego solo entre "
                       "sonidos",
                       "cannot watch for Ctrl+C ({}); it will end the game only between "
                       "sounds",
                       {reason});
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = watchProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWatchClass;
    if (RegisterClassExW(&windowClass) == 0) {
        warn(language, "no se puede registrar la clase de la ventana que vigila la sesión",
             "cannot register the session watch's window class");
        return;
    }
    // The window belongs to the thread that creates it, and the system sends the session's
    // messages to that thread: it is made on the watcher's own. Hidden and top-level, since a
    // message-only window receives no such broadcast.
    const HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The thread's own: the wait below fails at once when the event could not be made.
    auto* start = new WatcherStart{started, language};
    const HANDLE watcher = CreateThread(
        nullptr, 0,
        [](void* handed) -> DWORD {
            const WatcherStart start = *static_cast<const WatcherStart*>(handed);
            delete static_cast<const WatcherStart*>(handed);
            const HWND window = CreateWindowExW(0, kWatchClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                nullptr, GetModuleHandleW(nullptr), nullptr);
            if (window == nullptr) {
                warn(start.language, "no se puede crear la ventana que vigila la sesión",
                     "cannot create the session watch's window");
            }
            SetEvent(start.ready);
            return window != nullptr ? dispatchMessages() : 1;
        },
        start, 0, nullptr);
    if (watcher == nullptr) {
        warn(language, "no se puede empezar el hilo que vigila el fin de la sesión",
             "cannot start the thread that watches for the end of the session");
        delete start;
    } else {
        WaitForSingleObject(started, INFINITE);  // its window exists before the game goes on
        CloseHandle(watcher);
    }
    if (started != nullptr)
        CloseHandle(started);
}

}  // namespace velozor

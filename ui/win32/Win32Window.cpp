// The Win32 window: its class and creation at the monitor's dpi, the credits label, and the
// window system's verbs over its messages.
#include "ui/win32/Win32Window.h"

#include "sound/winmm/WideText.h"
#include "ui/WindowLayout.h"
#include "ui/win32/MessageEvents.h"
#include "ui/win32/WindowDpi.h"

namespace velozor {

namespace {

constexpr wchar_t kClassName[] = L"VelozorForm1";
// The label: 150 twips (10 px) from the left and right edges, 120 twips (8 px) from the top;
// it is as tall as the client area allows, so all six lines of the credits show.
constexpr int kLabelLeft = 10;
constexpr int kLabelTop = 8;

// The label shows lines split by CR alone as one line; a static control breaks at CR LF.
std::wstring withLineFeeds(const std::string& text) {
    std::string lines;
    for (char c : text) {
        lines += c;
        if (c == '\r')
            lines += '\n';
    }
    return wideFromUtf8(lines);
}

}  // namespace

std::unique_ptr<Win32Window> Win32Window::open(const Clock& clock, Language language,
                                               std::string& error) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Window::windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    if (RegisterClassExW(&windowClass) == 0) {
        error =
            inLanguage(language, "no se puede registrar la clase de la ventana: {}",
                       "cannot register the window class: {}", {systemErrorText(GetLastError())});
        return nullptr;
    }

    std::unique_ptr<Win32Window> self(new Win32Window(clock));
    const SIZE size = outerSize(systemDpi());
    // The window procedure keeps `self` from WM_NCCREATE on (lpCreateParams).
    self->window_ =
        CreateWindowExW(0, kClassName, L"Velozor", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        size.cx, size.cy, nullptr, nullptr, instance, self.get());
    if (self->window_ == nullptr) {
        error = inLanguage(language, "no se puede crear la ventana: {}",
                           "cannot create the window: {}", {systemErrorText(GetLastError())});
        return nullptr;
    }
    self->label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                   0, 0, 0, 0, self->window_, nullptr, instance, nullptr);
    self->applyDpi(windowDpi(self->window_));
    return self;
}

Win32Window::Win32Window(const Clock& clock) : clock_(clock) {}

Win32Window::~Win32Window() {
    close();
}

void Win32Window::applyDpi(UINT dpi) {
    const SIZE size = outerSize(dpi);
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const HFONT font = messageFont(dpi);
    if (font != nullptr) {
        SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (font_ != nullptr)
            DeleteObject(font_);
        font_ = font;
    }
    MoveWindow(label_, scaled(kLabelLeft, dpi), scaled(kLabelTop, dpi),
               scaled(kClientWidth - 2 * kLabelLeft, dpi),
               scaled(kClientHeight - 2 * kLabelTop, dpi), TRUE);
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (queueWindowEvent(window_, message, wParam, queue_))
        return 0;
    if (message == WM_DPICHANGED) {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        applyDpi(HIWORD(wParam));
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Window::pumpMessages() {
    MSG message;
    // No TranslateMessage: the game reads key-downs only, never characters.
    while (window_ != nullptr && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

WindowSystem::WaitResult Win32Window::waitForEvent(std::optional<Micros> deadline) {
    for (;;) {
        pumpMessages();
        if (window_ == nullptr)
            return WaitResult::Stop;
        if (!queue_.empty())
            return WaitResult::Ready;
        std::optional<Micros> remaining;
        if (deadline) {
            remaining = *deadline - clock_.now();
            if (*remaining <= Micros(0))
                return WaitResult::Ready;
        }
        wait_.sleep(remaining);
    }
}

std::optional<WindowEvent> Win32Window::nextEvent() {
    pumpMessages();
    if (window_ == nullptr)
        return std::nullopt;
    return queue_.pop();
}

void Win32Window::setCredits(const std::string& text) {
    if (label_ != nullptr)
        SetWindowTextW(label_, withLineFeeds(text).c_str());
}

void Win32Window::show() {
    if (window_ == nullptr)
        return;
    ShowWindow(window_, SW_SHOWDEFAULT);
    UpdateWindow(window_);
}

void Win32Window::focus() {
    if (window_ != nullptr)
        SetFocus(window_);
}

void Win32Window::close() {
    if (window_ == nullptr)
        return;
    const HWND window = window_;
    window_ = nullptr;  // messages sent while it goes away find no game window
    DestroyWindow(window);
    label_ = nullptr;
    if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    queue_.clear();
}

}  // namespace velozor

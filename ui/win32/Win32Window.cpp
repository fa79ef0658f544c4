// The Win32 window: creation at the monitor's dpi, the credits label, and the translation and
// timing of its messages.
#include "ui/win32/Win32Window.h"

#include <algorithm>
#include <chrono>

#include "sound/winmm/WideText.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace velozor {

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kClassName[] = L"VelozorForm1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The label: 150 twips (10 px) from the left and right edges, 120 twips (8 px) from the top;
// it is as tall as the client area allows, so all six lines of the credits show.
constexpr int kLabelLeft = 10;
constexpr int kLabelTop = 8;

// The per-monitor dpi calls came with Windows 10; on older systems the window keeps the
// system's dpi. They are looked up by name so the program still starts there.
struct DpiCalls {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;

    DpiCalls() {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr)
            return;
        load(getDpiForWindow, user32, "GetDpiForWindow");
        load(adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
        load(systemParametersInfoForDpi, user32, "SystemParametersInfoForDpi");
    }
    template <typename Function>
    static void load(Function& function, HMODULE module, const char* name) {
        function =
            reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const DpiCalls& dpiCalls() {
    static const DpiCalls calls;
    return calls;
}

UINT systemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

// The outer size of a window whose client area is the design size at `dpi`.
SIZE outerSize(UINT dpi) {
    RECT rect{0, 0, scaled(kClientWidth, dpi), scaled(kClientHeight, dpi)};
    if (dpiCalls().adjustWindowRectExForDpi)
        dpiCalls().adjustWindowRectExForDpi(&rect, kStyle, FALSE, 0, dpi);
    else
        AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The system's message font (the one of message boxes) at `dpi`.
HFONT messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    bool found = false;
    if (dpiCalls().systemParametersInfoForDpi) {
        found = dpiCalls().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics,
                                                      &metrics, 0, dpi) != 0;
    }
    if (!found) {
        found = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != 0;
        if (found)
            metrics.lfMessageFont.lfHeight =
                MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), systemDpi());
    }
    return found ? CreateFontIndirectW(&metrics.lfMessageFont) : nullptr;
}

int16_t shiftState() {
    int16_t state = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= 2;
    if (GetKeyState(VK_MENU) < 0)
        state |= 4;
    return state;
}

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

std::unique_ptr<Win32Window> Win32Window::open(const Clock& clock, std::string& error) {
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
        error = "cannot register the window class: " + systemErrorText(GetLastError());
        return nullptr;
    }

    std::unique_ptr<Win32Window> self(new Win32Window(clock));
    const SIZE size = outerSize(systemDpi());
    // The window procedure keeps `self` from WM_NCCREATE on (lpCreateParams).
    self->window_ = CreateWindowExW(0, kClassName, L"Velozor", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                    size.cx, size.cy, nullptr, nullptr, instance, self.get());
    if (self->window_ == nullptr) {
        error = "cannot create the window: " + systemErrorText(GetLastError());
        return nullptr;
    }
    self->label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                   0, 0, 0, 0, self->window_, nullptr, instance, nullptr);
    self->applyDpi(dpiCalls().getDpiForWindow ? dpiCalls().getDpiForWindow(self->window_)
                                              : systemDpi());
    // A high-resolution timer wakes within a fraction of a millisecond of the deadline
    // (Windows 10 1803 and later); elsewhere a plain one does, at the system's timer grain.
    self->timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
    if (self->timer_ == nullptr)
        self->timer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    return self;
}

Win32Window::Win32Window(const Clock& clock) : clock_(clock) {}

Win32Window::~Win32Window() {
    close();
    if (timer_ != nullptr)
        CloseHandle(timer_);
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
    switch (message) {
        case WM_KEYDOWN:  // auto-repeats included: they count as presses
            pending_.push_back(
                {WindowEvent::Kind::KeyDown, static_cast<int16_t>(wParam), shiftState()});
            return 0;
        case WM_CLOSE:  // the close box, Alt+F4, the task bar: the game decides, not Windows
            if (!closeQueued_) {
                closeQueued_ = true;
                pending_.push_back({WindowEvent::Kind::CloseRequest, 0, 0});
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window_, &paint);  // the class brush and the label draw everything
            EndPaint(window_, &paint);
            // Like an expose, one pending paint stands for any number of them.
            const bool paintPending = std::any_of(
                pending_.begin(), pending_.end(),
                [](const WindowEvent& e) { return e.kind == WindowEvent::Kind::Paint; });
            if (!paintPending)
                pending_.push_back({WindowEvent::Kind::Paint, 0, 0});
            return 0;
        }
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            applyDpi(HIWORD(wParam));
            return 0;
        }
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
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
        if (!pending_.empty())
            return WaitResult::Ready;
        DWORD timeout = INFINITE;
        DWORD handleCount = 0;
        if (deadline) {
            const Micros remaining = *deadline - clock_.now();
            if (remaining <= Micros(0))
                return WaitResult::Ready;
            LARGE_INTEGER due;
            due.QuadPart = -remaining.count() * 10;  // relative, in 100 ns units
            if (timer_ != nullptr && SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
                handleCount = 1;
            } else {
                timeout = static_cast<DWORD>((remaining + 999us) / 1ms);
            }
        }
        MsgWaitForMultipleObjectsEx(handleCount, &timer_, timeout, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

std::optional<WindowEvent> Win32Window::nextEvent() {
    pumpMessages();
    if (window_ == nullptr || pending_.empty())
        return std::nullopt;
    WindowEvent event = pending_.front();
    pending_.pop_front();
    return event;
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
    pending_.clear();
}

}  // namespace velozor

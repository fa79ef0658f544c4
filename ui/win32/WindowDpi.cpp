// The Win32 window's size and font at a monitor's dpi, through the dpi calls the system has.
#include "ui/win32/WindowDpi.h"

#include "ui/WindowLayout.h"

namespace velozor {

namespace {

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

}  // namespace

UINT systemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT windowDpi(HWND window) {
    return dpiCalls().getDpiForWindow ? dpiCalls().getDpiForWindow(window) : systemDpi();
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

SIZE outerSize(UINT dpi) {
    RECT rect{0, 0, scaled(kClientWidth, dpi), scaled(kClientHeight, dpi)};
    if (dpiCalls().adjustWindowRectExForDpi)
        dpiCalls().adjustWindowRectExForDpi(&rect, kWindowStyle, FALSE, 0, dpi);
    else
        AdjustWindowRectEx(&rect, kWindowStyle, FALSE, 0);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

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

}  // namespace velozor

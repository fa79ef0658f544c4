// The Win32 window's measures at a monitor's dpi: the outer size around the game's client area
// and the message font for the credits. The per-monitor dpi calls came with Windows 10; they
// are looked up by name, and older systems get the system's dpi, so the program still starts.
#pragma once

#include <windows.h>

namespace velozor {

// The style of the game's window: a caption, the system menu and a minimise box, no resizing.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The system's dpi (96 when the screen cannot be asked).
UINT systemDpi();
// The dpi of the monitor `window` is on, or the system's where that cannot be asked.
UINT windowDpi(HWND window);
// `pixels` at 96 dpi, in pixels at `dpi`.
int scaled(int pixels, UINT dpi);
// The outer size of a window whose client area is the design size (ui/WindowLayout.h) at `dpi`.
SIZE outerSize(UINT dpi);
// The system's message font (the one of message boxes) at `dpi`; the caller deletes it.
// nullptr when the system gives none.
HFONT messageFont(UINT dpi);

}  // namespace velozor

// What the window needs from X11 beyond SDL 2: every size of its icon, and the keyboard
// focus taken only when no other application holds it. Both do nothing on other systems.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace velozor {

// Sets the window's _NET_WM_ICON to `images` (width, height, then the 0xAARRGGBB pixels of
// each image in turn). Returns false when the window is not an X11 one or the property could
// not be set; the icon SDL set stays in place then.
bool setX11IconImages(SDL_Window* window, const std::vector<uint32_t>& images);

enum class FocusOutcome {
    Taken,          // no window had the keyboard; now this one has it
    AlreadyHeld,    // this window had it already
    HeldElsewhere,  // another application's window has it: it keeps it
    NotPossible,    // not on X11, or the window is not on screen yet
};

// Gives the window the X11 keyboard focus if it holds it already or nobody does (no focus
// window, or the focus following the pointer). Never takes it from another window.
FocusOutcome takeX11FocusIfFree(SDL_Window* window);

// SDL 2.26 sends its wake-up message (an XSendEvent on a second connection) to the window it
// last waited on, and can do so while the window is being destroyed; the server may see the
// message after the window is gone, and Xlib's default handler ends the process for that
// BadWindow error, turning a clean close into exit status 1. From this call on, that one
// error (BadWindow on X_SendEvent) is ignored and every other X error goes to Xlib's default
// handler. Call it before SDL_Init: SDL keeps the handler it finds and puts it back at
// SDL_Quit, when the late error is read.
void tolerateX11WakeUpsToGoneWindows();

}  // namespace velozor

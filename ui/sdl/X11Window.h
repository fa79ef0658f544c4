// What the window needs from X11 beyond SDL 2: every size of its icon, and the keyboard
// focus taken only when no other application holds it. Both do nothing on other systems.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace velozor {

// Sets the window's _NET_WM_ICON to `images` (width, height, then the 0xAARRGGBB pixels of
// each image in turn). Does nothing when the window is not an X11 one; when the property
// cannot be set, the icon SDL set stays in place, which is all a player would miss.
void setX11IconImages(SDL_Window* window, const std::vector<uint32_t>& images);

// Gives the window the X11 keyboard focus if nobody holds it (no focus window, or the focus
// following the pointer). Never takes it from another application's window; does nothing
// when the window has it already, is not on screen yet, or is not an X11 one.
void takeX11FocusIfFree(SDL_Window* window);

// SDL 2.26 sends its wake-up message (an XSendEvent on a second connection) to the window it
// last waited on, and can do so while the window is being destroyed; the server may see the
// message after the window is gone, and Xlib's default handler ends the process for that
// BadWindow error, turning a clean close into exit status 1. From this call on, that one
// error (BadWindow on X_SendEvent) is ignored and every other X error goes to Xlib's default
// handler. Call it before SDL_Init: SDL keeps the handler it finds and puts it back at
// SDL_Quit, when the late error is read.
void tolerateX11WakeUpsToGoneWindows();

}  // namespace velozor

// The SDL window's icon: the game's picture at each of its sizes.
#pragma once

#include <SDL.h>

#include "base/Language.h"
#include "ui/IconPicture.h"

namespace velozor {

// Gives `window` its icon. SDL takes one image, the 48-pixel one; on X11 the window also gets
// all three sizes in _NET_WM_ICON, so the window manager picks the one drawn for each place.
// A failure is one line on standard error, in `language`.
void applyWindowIcon(SDL_Window* window, Language language);

}  // namespace velozor

// Handing the icon to the SDL window and, on X11, to the window manager.
#include "ui/sdl/WindowIcon.h"

#include "base/ErrorLine.h"
#include "ui/sdl/X11Window.h"

namespace velozor {

void applyWindowIcon(SDL_Window* window, Language language) {
    const int largest = kIconSizes.back();
    std::vector<uint32_t> pixels = drawIcon(largest);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), largest, largest, 32, largest * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        writeErrorLine(language, "la ventana se queda con el icono por defecto: {}",
                       "the window keeps the default icon: {}", {SDL_GetError()});
        return;
    }
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);

    // _NET_WM_ICON: each image as its width, its height and its pixels, one after another.
    std::vector<uint32_t> images;
    for (const int size : kIconSizes) {
        images.push_back(static_cast<uint32_t>(size));
        images.push_back(static_cast<uint32_t>(size));
        const std::vector<uint32_t> image = drawIcon(size);
        images.insert(images.end(), image.begin(), image.end());
    }
    setX11IconImages(window, images);
}

}  // namespace velozor

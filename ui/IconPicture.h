// The game's picture as pixels, drawn from its shapes (ui/IconGeometry.h) for every window
// system's icon and the raster icons installed for the desktop.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velozor {

// The sizes the window's icon is drawn at: title bar and task bar (16), alt-tab lists (32, 48).
inline constexpr std::array<int, 3> kIconSizes{16, 32, 48};

// The picture at `size` by `size` pixels, row by row from the top, each pixel 0xAARRGGBB.
// Drawn at each size rather than scaled, so the lane markings stay sharp at 16 pixels.
std::vector<uint32_t> drawIcon(int size);

}  // namespace velozor

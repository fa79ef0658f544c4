// The window's size as the game's window was laid out: a client area of 3045 by 3735 twips,
// 203 by 249 pixels at 96 dpi (15 twips a pixel). Every window system scales it for the
// screen's density.
#pragma once

namespace velozor {

inline constexpr int kClientWidth = 203;   // pixels at 96 dpi
inline constexpr int kClientHeight = 249;  // pixels at 96 dpi

}  // namespace velozor

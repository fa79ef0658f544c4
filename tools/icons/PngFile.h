// Writing a square picture as a PNG file, for the raster icons installed for the desktop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velozor::icons {

// Writes `pixels` (row by row from the top, each 0xAARRGGBB) as an 8-bit RGBA PNG of `size` by
// `size`. Returns false with `error` naming the file and the cause; a half-written file is
// removed.
bool writePng(const std::string& path, const std::vector<uint32_t>& pixels, int size,
              std::string& error);

}  // namespace velozor::icons

// The game's icon as a Windows .ico file: each picture twice, at 8 bits per pixel (a palette
// and a transparency mask, for old or reduced-colour displays) and at 32 (with alpha).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velozor::icons {

// One square picture: `size` by `size` pixels, rows from the top, each pixel 0xAARRGGBB.
struct IconImage {
    int size = 0;
    std::vector<uint32_t> pixels;
};

// The bytes of an .ico holding, for each picture in order, an 8-bit and a 32-bit image.
// A picture of more than 256 colours is reduced to a fixed palette for the 8-bit image; a
// pixel of alpha below 128 is transparent there. Sizes must be 1 to 256.
std::vector<uint8_t> icoFile(const std::vector<IconImage>& images);

// Writes the icon of every size in kIconSizes to `path`. Returns false and sets `error` to a
// message naming the file when it cannot be written.
bool writeIco(const std::string& path, std::string& error);

}  // namespace velozor::icons

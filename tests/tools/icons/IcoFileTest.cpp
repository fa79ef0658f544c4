// Tests of the .ico writer: the file read back as Windows reads it, image by image.
#include "tools/icons/IcoFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ui/IconPicture.h"

namespace {

using velozor::icons::IconImage;

// The little-endian number of `size` bytes at `at`.
uint32_t number(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + i);
    return value;
}

// Every image of an .ico (directory, bitmap header, palette, colour rows, mask rows) with its
// bits per pixel, as 0xAARRGGBB pixels from the top row, alpha 0 where masked.
std::vector<std::pair<int, IconImage>> decode(const std::vector<uint8_t>& ico) {
    EXPECT_EQ(number(ico, 0, 4), 0x10000u) << "not an icon";
    std::vector<std::pair<int, IconImage>> images;
    for (uint32_t entry = 0; entry < number(ico, 4, 2); ++entry) {
        const size_t directory = 6 + 16 * entry;
        const size_t bitmap = number(ico, directory + 12, 4);
        const int size = ico.at(directory) == 0 ? 256 : ico.at(directory);
        const auto bits = static_cast<int>(number(ico, bitmap + 14, 2));
        EXPECT_EQ(number(ico, bitmap + 4, 4), static_cast<uint32_t>(size));
        EXPECT_EQ(number(ico, bitmap + 8, 4), static_cast<uint32_t>(2 * size));  // with the mask
        const size_t palette = bitmap + 40;
        const size_t colours = palette + (bits == 8 ? 4 * 256 : 0);
        const size_t colourRow = (size * bits + 31) / 32 * 4;
        const size_t mask = colours + colourRow * size;
        const size_t maskRow = (size + 31) / 32 * 4;
        EXPECT_EQ(number(ico, directory + 8, 4), mask + maskRow * size - bitmap);
        IconImage image{size, {}};
        for (size_t row = size; row-- > 0;) {  // bottom-up
            for (int x = 0; x < size; ++x) {
                const size_t at = colours + row * colourRow;
                const uint32_t pixel =
                    bits == 32 ? number(ico, at + 4 * x, 4)
                               : 0xFF000000 | number(ico, palette + 4 * ico.at(at + x), 3);
                const bool masked = ico.at(mask + row * maskRow + x / 8) & (0x80 >> (x % 8));
                image.pixels.push_back(masked ? 0 : pixel);
            }
        }
        images.emplace_back(bits, image);
    }
    return images;
}

// The game's pictures have few colours, so their 8-bit images are exact too; one of many
// colours (with a transparent diagonal) comes out at 8 bits on a near palette.
TEST(IcoFile, HoldsEachPictureAt32BitsAsDrawnAndAt8BitsOnANearPaletteWithItsMask) {
    IconImage gradient{32, {}};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            gradient.pixels.push_back(
                x == y ? 0x00000000 : 0xFF000000 | (x * 8) << 16 | (y * 8) << 8 | (x + y) * 4);
        }
    }
    std::vector<IconImage> pictures = {gradient};
    for (int size : velozor::kIconSizes)
        pictures.push_back({size, velozor::drawIcon(size)});
    const std::vector<std::pair<int, IconImage>> images = decode(velozor::icons::icoFile(pictures));
    ASSERT_EQ(images.size(), 2 * pictures.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const auto& [bits, image] = images[i];
        const IconImage& picture = pictures[i / 2];
        SCOPED_TRACE(std::to_string(picture.size) + " px, image " + std::to_string(i));
        EXPECT_EQ(bits, i % 2 == 0 ? 8 : 32);
        ASSERT_EQ(image.size, picture.size);
        const int tolerance = i == 0 ? 26 : 0;
        for (size_t at = 0; at < picture.pixels.size(); ++at) {
            for (int shift : {0, 8, 16, 24}) {
                const int error = std::abs(static_cast<int>((picture.pixels[at] >> shift) & 0xFF) -
                                           static_cast<int>((image.pixels[at] >> shift) & 0xFF));
                ASSERT_LE(error, tolerance) << "pixel " << at << ", channel at bit " << shift;
            }
        }
    }
}

}  // namespace

// Tests of the .ico writer: the file read back as Windows reads it, image by image.
#include "tools/icons/IcoFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ui/IconPicture.h"

namespace {

using velozor::icons::IconImage;

uint32_t number(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + i);
    return value;
}

struct Decoded {
    int size = 0;
    int bitsPerPixel = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first; alpha 0 where masked
};

// Reads every image of an .ico: directory, bitmap header, palette, colour rows, mask rows.
std::vector<Decoded> decode(const std::vector<uint8_t>& ico) {
    EXPECT_EQ(number(ico, 0, 2), 0u);
    EXPECT_EQ(number(ico, 2, 2), 1u) << "not an icon";
    std::vector<Decoded> images;
    for (uint32_t entry = 0; entry < number(ico, 4, 2); ++entry) {
        const size_t directory = 6 + 16 * entry;
        Decoded image;
        image.size = ico.at(directory) == 0 ? 256 : ico.at(directory);
        image.bitsPerPixel = static_cast<int>(number(ico, directory + 6, 2));
        const size_t bitmap = number(ico, directory + 12, 4);
        EXPECT_EQ(number(ico, bitmap + 4, 4), static_cast<uint32_t>(image.size));
        EXPECT_EQ(number(ico, bitmap + 8, 4), static_cast<uint32_t>(2 * image.size));
        EXPECT_EQ(number(ico, bitmap + 14, 2), static_cast<uint32_t>(image.bitsPerPixel));
        const size_t palette = bitmap + 40;
        const size_t colours = palette + (image.bitsPerPixel == 8 ? 4 * 256 : 0);
        const size_t colourRow = (image.size * image.bitsPerPixel + 31) / 32 * 4;
        const size_t mask = colours + colourRow * image.size;
        const size_t maskRow = (image.size + 31) / 32 * 4;
        EXPECT_EQ(number(ico, directory + 8, 4), mask + maskRow * image.size - bitmap);
        for (int y = 0; y < image.size; ++y) {
            const size_t row = image.size - 1 - y;  // bottom-up
            for (int x = 0; x < image.size; ++x) {
                uint32_t pixel =
                    image.bitsPerPixel == 32
                        ? number(ico, colours + row * colourRow + 4 * x, 4)
                        : 0xFF000000 |
                              number(ico, palette + 4 * ico.at(colours + row * colourRow + x), 3);
                if (ico.at(mask + row * maskRow + x / 8) & (0x80 >> (x % 8)))
                    pixel = 0;
                image.pixels.push_back(pixel);
            }
        }
        images.push_back(image);
    }
    return images;
}

TEST(IcoFile, HoldsEachPictureAt8And32BitsAsDrawn) {
    std::vector<IconImage> pictures;
    for (int size : velozor::kIconSizes)
        pictures.push_back({size, velozor::drawIcon(size)});
    const std::vector<Decoded> images = decode(velozor::icons::icoFile(pictures));
    ASSERT_EQ(images.size(), 2 * pictures.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& picture = pictures[i / 2];
        SCOPED_TRACE(std::to_string(picture.size) + " px, image " + std::to_string(i));
        EXPECT_EQ(images[i].size, picture.size);
        EXPECT_EQ(images[i].bitsPerPixel, i % 2 == 0 ? 8 : 32);
        // The game's picture has few colours, so the 8-bit image is exact too.
        EXPECT_EQ(images[i].pixels, picture.pixels);
    }
}

TEST(IcoFile, ReducesAPictureOfManyColoursToANearPaletteAndMasksTransparentPixels) {
    IconImage gradient{32, {}};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            gradient.pixels.push_back(
                x == y ? 0x00000000 : 0xFF000000 | (x * 8) << 16 | (y * 8) << 8 | (x + y) * 4);
        }
    }
    const std::vector<Decoded> images = decode(velozor::icons::icoFile({gradient}));
    ASSERT_EQ(images.size(), 2u);
    for (size_t at = 0; at < gradient.pixels.size(); ++at) {
        const uint32_t want = gradient.pixels[at];
        const uint32_t got = images[0].pixels[at];
        if (want == 0) {
            EXPECT_EQ(got, 0u) << "pixel " << at << " is not masked";
            continue;
        }
        for (int shift : {0, 8, 16}) {
            const int error = std::abs(static_cast<int>((want >> shift) & 0xFF) -
                                       static_cast<int>((got >> shift) & 0xFF));
            EXPECT_LE(error, 26) << "pixel " << at << ", channel at bit " << shift;
        }
    }
}

}  // namespace

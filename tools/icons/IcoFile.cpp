// Encoding of the .ico container and its two kinds of device-independent bitmap.
#include "tools/icons/IcoFile.h"

#include <cassert>
#include <fstream>
#include <map>

#include "ui/IconPicture.h"

namespace velozor::icons {

namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kDirectoryEntry = 16;
constexpr uint32_t kBitmapHeader = 40;
constexpr int kPaletteSize = 256;

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

bool opaque(uint32_t pixel) {
    return (pixel >> 24) >= 128;
}

// Rows of bitmaps are padded to whole 32-bit words.
size_t rowBytes(int size, int bitsPerPixel) {
    return (static_cast<size_t>(size) * bitsPerPixel + 31) / 32 * 4;
}

// The palette of an 8-bit image (0x00RRGGBB, 256 entries) and each pixel's index into it:
// the picture's own colours when they fit, else a 6x7x6 cube of evenly spaced levels.
struct Indexed {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices;
};

Indexed indexed(const IconImage& image) {
    std::map<uint32_t, uint8_t> colours;
    for (uint32_t pixel : image.pixels) {
        if (opaque(pixel) && colours.size() <= kPaletteSize)
            colours.emplace(pixel & 0xFFFFFF, 0);
    }
    Indexed result;
    result.palette.assign(kPaletteSize, 0);
    result.indices.reserve(image.pixels.size());
    if (colours.size() <= kPaletteSize) {
        uint8_t next = 0;
        for (auto& [colour, index] : colours) {
            index = next;
            result.palette[next++] = colour;
        }
        for (uint32_t pixel : image.pixels)
            result.indices.push_back(opaque(pixel) ? colours.at(pixel & 0xFFFFFF) : 0);
        return result;
    }
    const auto level = [](uint32_t channel, int steps) {
        return static_cast<int>((channel * (steps - 1) + 127) / 255);
    };
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 7; ++g) {
            for (int b = 0; b < 6; ++b) {
                result.palette[(r * 7 + g) * 6 + b] = static_cast<uint32_t>(r * 255 / 5) << 16 |
                                                      static_cast<uint32_t>(g * 255 / 6) << 8 |
                                                      static_cast<uint32_t>(b * 255 / 5);
            }
        }
    }
    for (uint32_t pixel : image.pixels) {
        const int r = level((pixel >> 16) & 0xFF, 6);
        const int g = level((pixel >> 8) & 0xFF, 7);
        const int b = level(pixel & 0xFF, 6);
        result.indices.push_back(opaque(pixel) ? static_cast<uint8_t>((r * 7 + g) * 6 + b) : 0);
    }
    return result;
}

// One image as the .ico holds it: the bitmap header (height doubled, for the colour rows and
// the mask rows), the palette if any, the colour rows and the 1-bit mask rows, bottom row
// first. A set mask bit is a transparent pixel.
std::vector<uint8_t> bitmap(const IconImage& image, int bitsPerPixel) {
    const int size = image.size;
    const size_t colourRow = rowBytes(size, bitsPerPixel);
    const size_t maskRow = rowBytes(size, 1);
    std::vector<uint8_t> out;
    put32(out, kBitmapHeader);
    put32(out, static_cast<uint32_t>(size));
    put32(out, static_cast<uint32_t>(2 * size));
    put16(out, 1);  // planes
    put16(out, static_cast<uint32_t>(bitsPerPixel));
    put32(out, 0);  // uncompressed
    put32(out, static_cast<uint32_t>((colourRow + maskRow) * size));
    put32(out, 0);
    put32(out, 0);
    put32(out, bitsPerPixel == 8 ? kPaletteSize : 0);
    put32(out, 0);

    const Indexed palette = bitsPerPixel == 8 ? indexed(image) : Indexed{};
    for (uint32_t colour : palette.palette)
        put32(out, colour);  // blue, green, red, 0: the little-endian bytes of 0x00RRGGBB
    for (int y = size - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < size; ++x) {
            const size_t at = static_cast<size_t>(y) * size + x;
            if (bitsPerPixel == 8)
                out.push_back(palette.indices[at]);
            else
                put32(out, image.pixels[at]);  // blue, green, red, alpha
        }
        out.resize(start + colourRow, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x) {
            if (!opaque(image.pixels[static_cast<size_t>(y) * size + x]))
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> icoFile(const std::vector<IconImage>& images) {
    std::vector<std::vector<uint8_t>> bitmaps;
    std::vector<std::pair<int, int>> entries;  // size, bits per pixel
    for (const IconImage& image : images) {
        assert(image.size >= 1 && image.size <= 256 &&
               image.pixels.size() == static_cast<size_t>(image.size) * image.size &&
               "an icon image is 1 to 256 pixels square, with size*size pixels");
        for (int bitsPerPixel : {8, 32}) {
            bitmaps.push_back(bitmap(image, bitsPerPixel));
            entries.emplace_back(image.size, bitsPerPixel);
        }
    }
    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<uint32_t>(bitmaps.size()));
    size_t offset = kDirectoryHeader + kDirectoryEntry * bitmaps.size();
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const auto [size, bitsPerPixel] = entries[i];
        out.push_back(static_cast<uint8_t>(size == 256 ? 0 : size));  // 0 stands for 256
        out.push_back(static_cast<uint8_t>(size == 256 ? 0 : size));
        out.push_back(0);  // colour count: 0 for 256 colours and more
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, static_cast<uint32_t>(bitsPerPixel));
        put32(out, static_cast<uint32_t>(bitmaps[i].size()));
        put32(out, static_cast<uint32_t>(offset));
        offset += bitmaps[i].size();
    }
    for (const std::vector<uint8_t>& image : bitmaps)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool writeIco(const std::string& path, std::string& error) {
    std::vector<IconImage> images;
    for (int size : kIconSizes)
        images.push_back({size, drawIcon(size)});
    const std::vector<uint8_t> bytes = icoFile(images);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path + " (check that its folder exists and is writable)";
        return false;
    }
    return true;
}

}  // namespace velozor::icons

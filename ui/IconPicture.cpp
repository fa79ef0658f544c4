// Drawing of the icon, one pixel at a time from its geometry.
#include "ui/IconPicture.h"

#include <algorithm>
#include <cmath>

#include "ui/IconGeometry.h"

namespace velozor {

namespace {

bool within(double value, double low, double high) {
    return value >= low && value < high;
}

// The colour at the pixel centred on (u, v), fractions of the side; the topmost shape wins.
uint32_t pixelAt(const IconGeometry& geometry, double u, double v, int size) {
    for (auto shape = geometry.shapes.rbegin(); shape != geometry.shapes.rend(); ++shape) {
        if (within(u, shape->left, shape->right) && within(v, shape->top, shape->bottom))
            return shape->colour;
    }
    for (const IconDashedLine& line : geometry.laneLines) {
        const double halfWidth = std::max(0.5, size * line.halfWidth) / size;
        if (std::abs(u - line.centre) < halfWidth &&
            std::fmod(v * line.dashes, 1.0) < line.dashFraction)
            return line.colour;
    }
    return geometry.background;
}

}  // namespace

std::vector<uint32_t> drawIcon(int size) {
    std::vector<uint32_t> pixels(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pixels[static_cast<std::size_t>(y) * size + x] =
                pixelAt(kIconGeometry, (x + 0.5) / size, (y + 0.5) / size, size);
        }
    }
    return pixels;
}

}  // namespace velozor

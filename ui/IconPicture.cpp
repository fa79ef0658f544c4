// Drawing of the icon, one pixel at a time from its geometry.
#include "ui/IconPicture.h"

#include <algorithm>
#include <cmath>

namespace velozor {

namespace {

constexpr uint32_t kGrass = 0xFF2E7D32;
constexpr uint32_t kAsphalt = 0xFF353A44;
constexpr uint32_t kMarking = 0xFFF5F5F5;
constexpr uint32_t kCar = 0xFFD32F2F;
constexpr uint32_t kWindscreen = 0xFF90CAF9;
constexpr uint32_t kObstacle = 0xFFFFC107;

// The road's edges and its two lane lines, as fractions of the icon's width.
constexpr double kRoadLeft = 0.08;
constexpr double kRoadRight = 0.92;
constexpr double kLaneWidth = (kRoadRight - kRoadLeft) / 3;

bool within(double value, double low, double high) {
    return value >= low && value < high;
}

uint32_t pixelAt(double u, double v, int size) {
    const double laneLeft = kRoadLeft + kLaneWidth;
    const double laneRight = kRoadLeft + 2 * kLaneWidth;
    if (within(u, 0.0, kRoadLeft) || within(u, kRoadRight, 1.0))
        return kGrass;
    // The car, with its windscreen towards the top where the obstacles come from.
    if (within(u, laneLeft + 0.05, laneRight - 0.05) && within(v, 0.55, 0.92)) {
        return within(v, 0.61, 0.70) && within(u, laneLeft + 0.08, laneRight - 0.08) ? kWindscreen
                                                                                     : kCar;
    }
    if (within(u, kRoadLeft + 0.05, laneLeft - 0.05) && within(v, 0.10, 0.28))
        return kObstacle;
    // Dashed lane lines, at least one pixel wide at every size.
    const double halfLine = std::max(0.5, size / 32.0) / size;
    const bool onLine = std::abs(u - laneLeft) < halfLine || std::abs(u - laneRight) < halfLine;
    if (onLine && std::fmod(v * 4.0, 1.0) < 0.6)
        return kMarking;
    return kAsphalt;
}

}  // namespace

std::vector<uint32_t> drawIcon(int size) {
    std::vector<uint32_t> pixels(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pixels[static_cast<std::size_t>(y) * size + x] =
                pixelAt((x + 0.5) / size, (y + 0.5) / size, size);
        }
    }
    return pixels;
}

}  // namespace velozor

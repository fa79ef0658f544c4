// The shapes of the game's picture as data: a three-lane road seen from above, the player's car
// in the centre lane and an obstacle coming down the left one. The window's raster icon and the
// desktop's scalable icon are both drawn from these, so there is one picture.
#pragma once

#include <array>
#include <cstdint>

namespace velozor {

// Coordinates are fractions of the icon's side, from its top left corner; colours 0xAARRGGBB.
struct IconRectangle {
    double left;
    double top;
    double right;  // exclusive, as `bottom`
    double bottom;
    uint32_t colour;
};

// A vertical dashed line down the whole height: `dashes` equal periods, each starting with a
// dash that covers `dashFraction` of it.
struct IconDashedLine {
    double centre;
    double halfWidth;  // never drawn thinner than one pixel, so it stays visible at 16 pixels
    int dashes;
    double dashFraction;
    uint32_t colour;
};

struct IconGeometry {
    uint32_t background;                      // the asphalt, under everything
    std::array<IconDashedLine, 2> laneLines;  // painted on the asphalt
    std::array<IconRectangle, 5> shapes;      // painted over the lines, in this order
};

namespace icon_layout {
constexpr double kRoadLeft = 0.08;
constexpr double kRoadRight = 0.92;
constexpr double kLaneWidth = (kRoadRight - kRoadLeft) / 3;
constexpr double kLaneLeft = kRoadLeft + kLaneWidth;       // between the left and centre lanes
constexpr double kLaneRight = kRoadLeft + 2 * kLaneWidth;  // between the centre and right lanes
}  // namespace icon_layout

inline constexpr IconGeometry kIconGeometry = [] {
    using namespace icon_layout;
    constexpr uint32_t kGrass = 0xFF2E7D32;
    constexpr uint32_t kAsphalt = 0xFF353A44;
    constexpr uint32_t kMarking = 0xFFF5F5F5;
    constexpr uint32_t kCar = 0xFFD32F2F;
    constexpr uint32_t kWindscreen = 0xFF90CAF9;
    constexpr uint32_t kObstacle = 0xFFFFC107;
    return IconGeometry{
        kAsphalt,
        {{
            {kLaneLeft, 1.0 / 32, 4, 0.6, kMarking},
            {kLaneRight, 1.0 / 32, 4, 0.6, kMarking},
        }},
        {{
            {kRoadLeft + 0.05, 0.10, kLaneLeft - 0.05, 0.28, kObstacle},
            // The car, with its windscreen towards the top where the obstacles come from.
            {kLaneLeft + 0.05, 0.55, kLaneRight - 0.05, 0.92, kCar},
            {kLaneLeft + 0.08, 0.61, kLaneRight - 0.08, 0.70, kWindscreen},
            // The verges, over everything that might reach the road's edges.
            {0.0, 0.0, kRoadLeft, 1.0, kGrass},
            {kRoadRight, 0.0, 1.0, 1.0, kGrass},
        }},
    };
}();

}  // namespace velozor

// SVG output: the asphalt, each dash of the lane lines and each shape as a rectangle, painted
// in the same order as the raster drawing.
#include "tools/icons/SvgIcon.h"

#include <cstdio>

namespace velozor::icons {

namespace {

constexpr double kCanvas = 256;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value * kCanvas);
    std::string result(text);
    result.erase(result.find_last_not_of('0') + 1);  // "12.500" -> "12.5", "12.000" -> "12."
    if (result.back() == '.')
        result.pop_back();
    return result;
}

std::string rectangle(double left, double top, double right, double bottom, uint32_t colour) {
    char fill[8];
    std::snprintf(fill, sizeof fill, "#%06X", colour & 0xFFFFFFu);
    std::string element = "  <rect x=\"" + number(left) + "\" y=\"" + number(top) + "\" width=\"" +
                          number(right - left) + "\" height=\"" + number(bottom - top) +
                          "\" fill=\"" + fill + "\"";
    const uint32_t alpha = colour >> 24;
    if (alpha != 0xFF) {
        char opacity[16];
        std::snprintf(opacity, sizeof opacity, "%.3f", alpha / 255.0);
        element += std::string(" fill-opacity=\"") + opacity + "\"";
    }
    return element + "/>\n";
}

}  // namespace

std::string svgIcon(const IconGeometry& geometry) {
    const std::string side = number(1.0);
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        side + "\" height=\"" + side + "\" viewBox=\"0 0 " + side + " " + side + "\">\n";
    svg += rectangle(0, 0, 1, 1, geometry.background);
    for (const IconDashedLine& line : geometry.laneLines) {
        const double period = 1.0 / line.dashes;
        for (int dash = 0; dash < line.dashes; ++dash) {
            const double top = dash * period;
            svg += rectangle(line.centre - line.halfWidth, top, line.centre + line.halfWidth,
                             top + period * line.dashFraction, line.colour);
        }
    }
    for (const IconRectangle& shape : geometry.shapes)
        svg += rectangle(shape.left, shape.top, shape.right, shape.bottom, shape.colour);
    return svg + "</svg>\n";
}

}  // namespace velozor::icons

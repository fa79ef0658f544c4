// Tests of the icon's drawing.
#include "ui/sdl/WindowIcon.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velozor {
namespace {

TEST(WindowIcon, KeepsTheLaneMarkingsAtSixteenPixels) {
    // The lines are the picture's point; a width below one pixel would drop them when small.
    const std::vector<uint32_t> small = drawIcon(16);
    const auto white = std::count_if(small.begin(), small.end(), [](uint32_t pixel) {
        return (pixel & 0xFF) > 0xE0 && ((pixel >> 8) & 0xFF) > 0xE0 &&
               ((pixel >> 16) & 0xFF) > 0xE0;
    });
    EXPECT_GE(white, 8);
}

}  // namespace
}  // namespace velozor

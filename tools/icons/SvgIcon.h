// The game's picture as a scalable SVG document, drawn from the same shapes as the raster icon.
#pragma once

#include <string>

#include "ui/IconGeometry.h"

namespace velozor::icons {

// The whole SVG document for `geometry`, on a 256-unit square canvas.
std::string svgIcon(const IconGeometry& geometry);

}  // namespace velozor::icons

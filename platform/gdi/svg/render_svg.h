// Rasterises SVG artwork for the build-time picture generators. A library of
// its own so that only the generators, not the program, link the SVG renderer.
#pragma once

#include <string>

#include "platform/gdi/argb_image.h"

namespace platform {

// Draws the document in `svg` scaled to fill `width` x `height` pixels on a
// transparent image. False, with a message in `error`, for a document the
// renderer cannot read or a size outside 1 .. 4096.
bool RenderSvg(const std::string& svg, int width, int height, ArgbImage& image, std::string& error);

}  // namespace platform

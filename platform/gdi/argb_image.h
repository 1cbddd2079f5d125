// A 32-bit image with an alpha channel, as cursors and rasterised artwork come:
// pixels 0xAARRGGBB, not premultiplied, rows top-down without padding.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    static constexpr uint32_t Alpha(uint32_t pixel) { return pixel >> 24; }
};

}  // namespace platform

// Pixel arithmetic shared by the drawing code of the layer.
#pragma once

#include <cstdint>

#include "platform/gdi/surface.h"

namespace platform::raster {

constexpr uint32_t kColourBits = 0x00FFFFFFu;

// Products of caller coordinates and extents need more than 64 bits.
__extension__ using Wide = __int128;

// Applies the four-bit truth table `table` bitwise: bit (S << 1) | D gives the
// result for source (or pen) S and destination D.
inline uint32_t Mix(unsigned table, uint32_t src, uint32_t dst)
{
    uint32_t result = 0;
    if (table & 1u)
        result |= ~src & ~dst;
    if (table & 2u)
        result |= ~src & dst;
    if (table & 4u)
        result |= src & ~dst;
    if (table & 8u)
        result |= src & dst;
    return Surface::kOpaque | (result & kColourBits);
}

}  // namespace platform::raster

// Brick pictures in the program's isometric projection: a step along x is 10
// pixels right and 5 up, along y 10 left and 5 up, along z 6 up. A picture is
// the bounding rectangle of the projected box and its mask the scan-converted
// outline of the box's six visible corners, both with the rectangle's top-left
// corner at (0, 0). Pixels hold shades 0 (lightest) .. 8 (darkest) of the
// brick's colour inside the mask and 0 outside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/palette_description.h"

namespace tools {

struct Point {
    long x = 0;
    long y = 0;
};

// Relative to the projection of the origin.
Point Project(long x, long y, long z);

struct BoxSize {
    int cx = 1;
    int cy = 1;
    int cz = 1;
};

// One pixel per byte, rows top-down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> mask;  // 1 inside
    std::string region;         // the mask as region block bytes
};

// The corners top, upper left, lower left, bottom, upper right, lower right of
// the box from (0, 0, 0), in picture coordinates.
void PictureCorners(const BoxSize& box, Point corners[6]);

enum class Top {
    studs,   // a stud on every cell
    smooth,  // a flat tile
};

// `outlined`: a dark edge round the whole outline (a brick); without it the
// top face runs into its neighbours (a baseplate cell).
Picture RenderBrick(const BoxSize& box, Top top, bool outlined = true);

// A bitmap file image, 8 bits a pixel, 256 colours, rows bottom-up.
std::string DibFileBytes(int width, int height, const std::vector<uint8_t>& pixels,
                         const std::vector<Rgb>& colourTable);

// The palette's colours with entries 0 .. 8 replaced by the shades of brick
// colour `colour`: how a brick picture looks drawn in that colour.
std::vector<Rgb> ShadedColourTable(const Palette& palette, int colour);

// A picture of `width` by `height` palette entries on white showing the brick
// in `colour`, scaled down to fit inside a margin when it is too large.
std::vector<uint8_t> RenderPreview(const Picture& picture, const Palette& palette, int colour, int width,
                                   int height, int margin);

}  // namespace tools

// The program's pictures, cursors, icons and background pictures from SVG
// artwork: the description that lists them (see resources/art/art.txt for its
// grammar), the mapping of rasterised artwork onto the shared palette, and the
// files written.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/argb_image.h"
#include "tools/palette_description.h"

namespace tools {

struct ArtItem {
    enum class Kind { picture, cursor, icon, background };
    Kind kind = Kind::picture;
    std::string name;    // the output file's name without its extension
    std::string source;  // the SVG file, relative to the description's folder
    int width = 0;
    int height = 0;
    // Pictures: laid on this entry, or cut out with it where uncovered.
    bool cutOut = false;
    int background = 255;
    // Cursors: the pixel the pointer position is.
    int hotX = 0;
    int hotY = 0;
    // Icons: the sizes after the first, each drawn from the same artwork.
    std::vector<std::pair<int, int>> moreSizes;

    std::string FileName() const
    {
        return name + (kind == Kind::cursor ? ".cur" : kind == Kind::icon ? ".ico" : ".bmp");
    }
    // Backgrounds: the thumbnail the file browser shows beside the picture.
    std::string PreviewName() const { return name + ".pbk"; }
};

// Reads and checks a description. On failure answers false with a message
// naming the line.
bool ReadArtDescription(const std::string& path, std::vector<ArtItem>& items, std::string& error);

// Palette indices, rows top-down, and which pixels the artwork covers.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> covered;  // 1 where drawn

    size_t Index(int x, int y) const
    {
        return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    }
    uint8_t At(int x, int y) const { return pixels[Index(x, y)]; }
    bool Covered(int x, int y) const { return covered[Index(x, y)] != 0; }
};

// The entry nearest a colour (weighted for the eye: green counts most, blue
// least); the lowest of equally near entries.
int NearestEntry(const Palette& palette, Rgb colour);

// The artwork laid on palette entry `background`: edges blend into it.
IndexedPicture OnBackground(const platform::ArgbImage& art, const Palette& palette, int background);

// Pixels at least half covered take the nearest entry to the colour they were
// drawn in, unblended; the rest take `transparent` and count as uncovered.
IndexedPicture CutOut(const platform::ArgbImage& art, const Palette& palette, int transparent);

// A bitmap file image: 8 bits a pixel, the palette as its colour table.
// `pixelsPerMetre` is the resolution written into the header.
std::string BitmapFileBytes(const IndexedPicture& picture, const Palette& palette, uint32_t pixelsPerMetre = 2835);

// The size of a background's thumbnail.
constexpr int kPreviewWidth = 80;
constexpr int kPreviewHeight = 60;

// The artwork shrunk to `width` x `height`: each pixel the average of the
// pixels its area covers, weighted by how opaque they are.
platform::ArgbImage Shrink(const platform::ArgbImage& art, int width, int height);

// A background's thumbnail as the program writes a model's: the artwork
// shrunk to 80 x 60 and laid on white, in the bitmap file format without a
// resolution.
std::string PreviewFileBytes(const platform::ArgbImage& art, const Palette& palette);

// A cursor file of one image: the directory with the hot spot, then the XOR
// image (8 bits a pixel on the palette, black where uncovered) and the AND
// mask (set where uncovered). The palette must hold black.
std::string CursorFileBytes(const IndexedPicture& picture, const Palette& palette, int hotX, int hotY);

// An icon file of one image per picture, each stored like a cursor's image.
// Empty when the palette holds no black, or there are no pictures, more than
// 16, or one larger than 256.
std::string IconFileBytes(const std::vector<IndexedPicture>& pictures, const Palette& palette);

}  // namespace tools

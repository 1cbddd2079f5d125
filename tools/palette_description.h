// The shared palette as its readable description states it (see
// resources/palette.txt for the grammar and the layout of the entries).
// Used by the palette generator and by the brick-picture generator, whose
// previews carry the palette's real colours.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tools {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

constexpr int kPaletteSize = 256;
constexpr int kBrickColours = 12;
constexpr int kShades = 9;

// Shade s (0 lightest .. 8 darkest) of brick colour c.
constexpr int ShadeEntry(int colour, int shade)
{
    return 17 + 9 * colour - shade;
}

struct Palette {
    std::array<Rgb, kPaletteSize> entries{};
    std::array<std::string, kBrickColours> colourNames{};
};

// Reads and checks a description: every entry given exactly once, twelve
// brick colours. On failure answers false with a message naming the line.
bool ReadPaletteDescription(const std::string& path, Palette& palette, std::string& error);

// The RIFF palette file: "RIFF", size, "PAL ", "data", chunk size, then the
// logical palette (version 0x300, 256 entries of red, green, blue, flags 0).
std::string RiffPaletteBytes(const Palette& palette);

}  // namespace tools

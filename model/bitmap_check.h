// Checks a packed bitmap image (a bitmap file's bytes, as brick pictures and
// previews are stored) before anything reads it: 8 bits per pixel,
// uncompressed, positive size, at most 256 colours, and every pixel inside the
// bytes given. A picture that fails counts as missing.
#pragma once

#include <cstddef>
#include <cstdint>

struct BitmapLayout {
    int width = 0;
    int height = 0;
    uint32_t colours = 0;      // entries in the colour table (0 in the header means 256)
    size_t infoOffset = 0;     // of the information header
    size_t tableOffset = 0;    // of the colour table
    size_t pixelOffset = 0;    // of the first (bottom) row
    size_t stride = 0;         // bytes per row
};

// `withFileHeader`: the bytes start with the 14-byte file header.
bool CheckPackedBitmap(const void* bytes, size_t size, bool withFileHeader, BitmapLayout* layout);

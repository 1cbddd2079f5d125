// Device-independent bitmaps as the program stores and draws them: a file
// header, an information header, a colour table and bottom-up rows padded to
// four bytes. The structures are laid out byte for byte as in the files, so
// the program can read them straight from resource and file bytes.
#pragma once

#include <cstdint>

#include "platform/core/types.h"

#pragma pack(push, 1)
struct BITMAPFILEHEADER {
    WORD bfType;  // "BM"
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: rows bottom-up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
#pragma pack(pop)

static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);

constexpr WORD kBitmapFileType = 0x4D42;  // "BM" as a little-endian word
constexpr DWORD BI_RGB = 0;

// How a DIB's colour table is read when drawn: as RGB entries, or as 16-bit
// indices into the palette selected into the device context.
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

// Bytes of one row of `width` pixels at `bitCount` bits, padded to 4 bytes.
constexpr uint64_t DibRowStride(int64_t width, int bitCount)
{
    return width <= 0 ? 0 : (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
}

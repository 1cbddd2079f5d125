// The background picture: a bitmap file read as the pane reads it, and what
// the reader accepts drawn into a small context, whole, shifted and as a tile.
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/core/global_memory.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/surface.h"
#include "tests/fuzz/fuzz_support.h"
#include "views/iso_brick_pane.h"

namespace {

constexpr size_t kFileHeader = 14;

void Draw(HGLOBAL picture)
{
    // As the pane takes the picture's size.
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(picture));
    if (header->biBitCount == 8 && header->biPlanes == 1 && header->biClrUsed == 0)
        header->biClrUsed = 256;
    const int w = static_cast<SHORT>(header->biWidth);
    const int h = static_cast<SHORT>(header->biHeight);
    GlobalUnlock(picture);

    platform::Surface surface(20, 20, RGB(1, 2, 3));
    CDC dc(&surface);
    DrawDIB(&dc, picture, RECT{0, 0, 20, 20}, nullptr);
    DrawDIB(&dc, picture, RECT{-5, 3, 30, 12}, nullptr);
    const POINT nearEnd{w - 3, h - 3};
    DrawDIB(&dc, picture, RECT{2, 2, 18, 18}, &nearEnd);
    const POINT before{-7, -4};
    DrawDIB(&dc, picture, RECT{0, 0, 16, 16}, &before);
    // One tile, reaching into the context from above and left.
    DrawDIB(&dc, picture, RECT{10 - w, 10 - h, 10, 10}, nullptr);
}

void Add16(fuzz::Bytes& b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void Add32(fuzz::Bytes& b, unsigned v)
{
    Add16(b, v & 0xFFFF);
    Add16(b, v >> 16);
}

// A small bitmap file with a patterned colour table and pixels.
fuzz::Bytes SmallBitmap(int width, int height, int bits, unsigned coloursUsed)
{
    const unsigned colours = coloursUsed ? coloursUsed : bits <= 8 ? 1u << bits : 0;
    const size_t stride = DibRowStride(width, bits);
    const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
    const unsigned pixelsAt = static_cast<unsigned>(kFileHeader + 40 + 4 * colours);
    fuzz::Bytes b;
    b.push_back('B');
    b.push_back('M');
    Add32(b, static_cast<unsigned>(pixelsAt + stride * rows));
    Add32(b, 0);
    Add32(b, pixelsAt);
    Add32(b, 40);
    Add32(b, static_cast<unsigned>(width));
    Add32(b, static_cast<unsigned>(height));
    Add16(b, 1);
    Add16(b, static_cast<unsigned>(bits));
    for (unsigned field : {0u, 0u, 2835u, 2835u, coloursUsed, 0u})
        Add32(b, field);
    for (unsigned i = 0; i < colours; ++i)
        Add32(b, (i * 0x3F1F07u) & 0xFFFFFF);
    for (size_t i = 0; i < stride * rows; ++i)
        b.push_back(static_cast<unsigned char>(colours ? i * 37 % colours : i * 37));
    return b;
}

}  // namespace

int FuzzBackgroundPicture(const uint8_t* data, size_t size)
{
    static const std::string path = fuzz::ScratchPath("background.bmp");
    if (!fuzz::WriteFile(path, data, size))
        fuzz::Fail("cannot write the scratch file");
    HGLOBAL picture = ReadDIBFile(path.c_str());
    if (!picture)
        return 0;
    if (size <= kFileHeader || GlobalSize(picture) != size - kFileHeader)
        fuzz::Fail("the picture read is not the file less its header");
    Draw(picture);
    GlobalFree(picture);
    return 0;
}

static void SeedBackgroundPicture(fuzz::Seeds& seeds)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(fuzz::ProgramFolder() + "/backgrnd", error)) {
        const fuzz::Bytes bytes = fuzz::ReadFile(entry.path().string());
        if (bytes.size() > 2 && bytes[0] == 'B' && bytes[1] == 'M')
            seeds.Add(entry.path().filename().string(), bytes);
    }
    seeds.Add("1bit", SmallBitmap(9, 3, 1, 0));
    seeds.Add("4bit-top-down", SmallBitmap(5, -4, 4, 6));
    seeds.Add("8bit", SmallBitmap(7, 5, 8, 0));
    seeds.Add("8bit-few-colours", SmallBitmap(3, 3, 8, 3));
    seeds.Add("16bit", SmallBitmap(3, 2, 16, 0));
    seeds.Add("24bit", SmallBitmap(5, 3, 24, 0));
    seeds.Add("32bit-top-down", SmallBitmap(2, -2, 32, 0));
    seeds.Add("stud", fuzz::ProgramResource("BRICKIMAGE", MAKEINTRESOURCE(100)));
}

DIZADO_FUZZ_TARGET(background_picture, FuzzBackgroundPicture, SeedBackgroundPicture)

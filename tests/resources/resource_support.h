// Readers for the tests of the generated resources: resource bytes, bitmap
// file images, span-region masks and the isometric outline of a box.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/region.h"
#include "platform/core/resources.h"

namespace resource_test {

using Bytes = std::vector<unsigned char>;

// at() so that bytes unlike what a test expects fail it rather than being read
// out of bounds.
inline uint32_t Get16(const Bytes& b, size_t at)
{
    return b.at(at) | (b.at(at + 1) << 8);
}
inline uint32_t Get32(const Bytes& b, size_t at)
{
    return Get16(b, at) | (Get16(b, at + 2) << 16);
}
inline int16_t GetShort(const Bytes& b, size_t at)
{
    return static_cast<int16_t>(Get16(b, at));
}

// Empty when the module holds no such resource.
inline Bytes Resource(HMODULE module, const char* name, const char* type)
{
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return {};
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    return bytes ? Bytes(bytes, bytes + SizeofResource(module, found)) : Bytes();
}
inline Bytes Resource(HMODULE module, unsigned id, const char* type)
{
    return Resource(module, MAKEINTRESOURCE(id), type);
}

inline std::string String(HMODULE module, unsigned id)
{
    char buffer[64];
    const int length = LoadStringA(module, id, buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

// A bitmap file image of 8 bits a pixel, uncompressed, with a full colour
// table; nullopt (and a test failure saying why) for anything else.
struct Dib {
    int width = 0;
    int height = 0;
    Bytes bytes;

    uint8_t Pixel(int x, int y) const  // y counts from the top row
    {
        const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
        return bytes.at(14 + 40 + 1024 + static_cast<size_t>(height - 1 - y) * stride + x);
    }
    // Colour table entry i as (red, green, blue).
    std::vector<int> Colour(int i) const
    {
        const size_t at = 14 + 40 + 4 * static_cast<size_t>(i);
        return {bytes.at(at + 2), bytes.at(at + 1), bytes.at(at)};
    }
};

inline std::optional<Dib> ReadDib(const Bytes& b)
{
    if (b.size() < 14 + 40 + 1024) {
        ADD_FAILURE() << "a bitmap of " << b.size() << " bytes";
        return std::nullopt;
    }
    Dib dib;
    dib.width = static_cast<int32_t>(Get32(b, 18));
    dib.height = static_cast<int32_t>(Get32(b, 22));
    bool ok = true;
    auto check = [&](bool condition, const std::string& what) {
        if (!condition) {
            ADD_FAILURE() << "bitmap: " << what;
            ok = false;
        }
    };
    check(b[0] == 'B' && b[1] == 'M', "file type BM");
    check(Get32(b, 10) == 14 + 40 + 1024, "pixels right after the colour table");
    check(Get32(b, 14) == 40, "information header of 40 bytes");
    check(dib.width > 0 && dib.height > 0, "positive size, rows bottom-up");
    check(Get16(b, 26) == 1, "one plane");
    check(Get16(b, 28) == 8, "8 bits a pixel");
    check(Get32(b, 30) == 0, "uncompressed");
    check(Get32(b, 46) == 256, "256 colours");
    if (!ok)
        return std::nullopt;
    const size_t stride = (static_cast<size_t>(dib.width) + 3) / 4 * 4;
    const size_t image = stride * static_cast<size_t>(dib.height);
    check(Get32(b, 34) == 0 || Get32(b, 34) == image, "image size of the rows");
    check(b.size() >= 14 + 40 + 1024 + image, "all rows present");
    if (!ok)
        return std::nullopt;
    dib.bytes = b;
    return dib;
}

// The program's projection relative to the origin: x steps 10 right and 5
// up, y 10 left and 5 up, z 6 up.
inline POINT Project(int x, int y, int z)
{
    return POINT{10 * x - 10 * y, -5 * x - 5 * y - 6 * z};
}

struct Box {
    int cx = 0;
    int cy = 0;
    int cz = 0;
};

// The six corners of the box from (0, 0, 0) in the order the scan conversion
// takes them (top, upper left, lower left, bottom, upper right, lower right),
// moved so that the projected box's bounding rectangle starts at (0, 0).
inline void Hexagon(const Box& b, POINT points[6])
{
    const int corners[6][3] = {{b.cx, b.cy, b.cz}, {0, b.cy, b.cz}, {0, b.cy, 0},
                               {0, 0, 0},          {b.cx, 0, b.cz}, {b.cx, 0, 0}};
    const LONG left = -10 * b.cy;
    const LONG top = -5 * b.cx - 5 * b.cy - 6 * b.cz;
    for (int i = 0; i < 6; ++i) {
        const POINT p = Project(corners[i][0], corners[i][1], corners[i][2]);
        points[i] = POINT{p.x - left, p.y - top};
    }
}

inline Bytes PolygonBytes(const Box& b)
{
    POINT points[6];
    Hexagon(b, points);
    CRegion region;
    region.SetPolygon(points);
    if (region.IsEmpty())
        return {};
    return Bytes(region.GetData(), region.GetData() + static_cast<uint16_t>(region.GetSize()));
}

// The pixels a region block covers, row by row, in a width by height grid.
inline std::vector<std::vector<bool>> MaskOf(const Bytes& region, int width, int height)
{
    std::vector<std::vector<bool>> inside(static_cast<size_t>(height), std::vector<bool>(static_cast<size_t>(width)));
    size_t at = 14;
    for (uint32_t s = 0; s < Get16(region, 2); ++s) {
        const int n = GetShort(region, at);
        for (int r = 0; r + 1 < n; r += 2)
            for (int y = GetShort(region, at + 2); y < GetShort(region, at + 4); ++y)
                for (int x = GetShort(region, at + 6 + 2 * r); x < GetShort(region, at + 8 + 2 * r); ++x) {
                    EXPECT_TRUE(x >= 0 && y >= 0 && x < width && y < height) << "(" << x << ", " << y << ")";
                    if (x >= 0 && y >= 0 && x < width && y < height)
                        inside[static_cast<size_t>(y)][static_cast<size_t>(x)] = true;
                }
        at += 2 * (static_cast<size_t>(n) + 4);
    }
    return inside;
}

// Every pixel inside the mask is one of the nine shades, and the mask covers
// some pixels.
inline void ExpectShadesInsideMask(const Dib& dib, const Bytes& region)
{
    const auto inside = MaskOf(region, dib.width, dib.height);
    int covered = 0;
    for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x)
            if (inside[static_cast<size_t>(y)][static_cast<size_t>(x)]) {
                ++covered;
                EXPECT_LE(dib.Pixel(x, y), 8) << "at (" << x << ", " << y << ")";
            }
    EXPECT_GT(covered, 0);
}

// Lit from the upper left like every brick of the program: the top and the
// left face lighter (smaller shades) than the right face. Catches pictures
// that are mirrored or stored upside down.
inline void ExpectLitFromTheUpperLeft(const Dib& dib, const Bytes& region, const Box& box)
{
    const auto inside = MaskOf(region, dib.width, dib.height);
    double sum[3] = {0, 0, 0};
    int count[3] = {0, 0, 0};
    const double frontX = 10.0 * box.cy;
    const double frontTopY = dib.height - 6.0 * box.cz;
    for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x) {
            if (!inside[static_cast<size_t>(y)][static_cast<size_t>(x)])
                continue;
            const double u = x + 0.5 - frontX;
            const double v = y + 0.5 - frontTopY;
            const int face = v + std::abs(u) / 2 < 0 ? 0 : u < 0 ? 1 : 2;
            sum[face] += dib.Pixel(x, y);
            ++count[face];
        }
    ASSERT_TRUE(count[0] && count[1] && count[2]);
    const double top = sum[0] / count[0];
    const double left = sum[1] / count[1];
    const double right = sum[2] / count[2];
    EXPECT_LT(top, right) << "top " << top << ", right face " << right;
    EXPECT_LT(left, right) << "left face " << left << ", right face " << right;
}

}  // namespace resource_test

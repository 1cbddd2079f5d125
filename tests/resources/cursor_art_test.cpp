// The tools' cursors, as the program's resources hold them and the window
// layer reads them.
#include <gtest/gtest.h>

#include <optional>

#include "platform/gdi/cursor_resource.h"
#include "resources/resource_ids.h"
#include "tests/resources/resource_support.h"

namespace {

using namespace resource_test;
using platform::ArgbImage;
using platform::CursorPicture;

constexpr struct {
    UINT id;
    const char* what;
} kCursors[] = {
    {IDC_TOOL_SELECT, "select"}, {IDC_TOOL_PAINT, "paint"},  {IDC_TOOL_NEW_BRICK, "new brick"},
    {IDC_TOOL_ERASE, "erase"},   {IDC_TOOL_OTHER, "other"},
};

bool Opaque(const ArgbImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width && y < image.height && ArgbImage::Alpha(image.At(x, y)) != 0;
}

int Brightness(uint32_t pixel)
{
    return (299 * ((pixel >> 16) & 0xFF) + 587 * ((pixel >> 8) & 0xFF) + 114 * (pixel & 0xFF)) / 1000;
}

// Sized for a child's hand, see-through or solid (nothing inverts the
// screen), the hot spot on the drawing, and the drawing edged in a dark
// colour around a light inside, so that it shows on light and dark
// backgrounds alike.
TEST(ToolCursors, AreClearOnAnyBackground)
{
    for (const auto& c : kCursors) {
        SCOPED_TRACE(c.what);
        const std::optional<CursorPicture> cursor = platform::LoadCursorPicture(AfxGetResourceHandle(),
                                                                                MAKEINTRESOURCE(c.id));
        ASSERT_TRUE(cursor);
        const ArgbImage& image = cursor->image;
        ASSERT_EQ(image.width, 32);
        ASSERT_EQ(image.height, 32);
        EXPECT_EQ(cursor->invertedPixels, 0);
        EXPECT_TRUE(Opaque(image, cursor->hotSpot.x, cursor->hotSpot.y));
        int drawn = 0;
        int edge = 0;
        int darkEdge = 0;
        int light = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const uint32_t pixel = image.At(x, y);
                if (!Opaque(image, x, y)) {
                    EXPECT_EQ(pixel, 0u) << "(" << x << ", " << y << ")";
                    continue;
                }
                EXPECT_EQ(ArgbImage::Alpha(pixel), 0xFFu);
                ++drawn;
                const bool onEdge = !Opaque(image, x - 1, y) || !Opaque(image, x + 1, y) ||
                                    !Opaque(image, x, y - 1) || !Opaque(image, x, y + 1);
                edge += onEdge;
                darkEdge += onEdge && Brightness(pixel) < 64;
                light += Brightness(pixel) >= 70;
            }
        EXPECT_GT(drawn, 150) << "big enough to see";
        EXPECT_GE(light * 3, drawn) << "a light inside";
        EXPECT_GE(darkEdge * 100, edge * 95) << "a dark edge";
    }
}

// Drawn on the shared palette: every image is 8 bits a pixel with the
// palette as its colour table.
TEST(ToolCursors, UseTheSharedPalette)
{
    const Bytes palette = Resource(AfxGetResourceHandle(), IDR_PALETTE, "MYPALETTE");
    ASSERT_EQ(palette.size(), 1048u);
    for (const auto& c : kCursors) {
        SCOPED_TRACE(c.what);
        const Bytes group = Resource(AfxGetResourceHandle(), c.id, RT_GROUP_CURSOR);
        const WORD id = platform::PickCursorImage(group.data(), group.size(), 32, 32);
        const Bytes image = Resource(AfxGetResourceHandle(), id, RT_CURSOR);
        ASSERT_GE(image.size(), 4u + 40 + 1024);
        EXPECT_EQ(Get16(image, 4 + 14), 8u);
        for (size_t i = 0; i < 256; ++i) {
            const size_t at = 4 + 40 + 4 * i;
            EXPECT_EQ(image.at(at + 2), palette.at(24 + 4 * i)) << "entry " << i;
            EXPECT_EQ(image.at(at + 1), palette.at(25 + 4 * i)) << "entry " << i;
            EXPECT_EQ(image.at(at), palette.at(26 + 4 * i)) << "entry " << i;
        }
    }
}

// The tools can be told apart by their cursors; the two arrows are one.
TEST(ToolCursors, EachToolHasItsOwnPicture)
{
    auto pixels = [](UINT id) {
        const std::optional<CursorPicture> c = platform::LoadCursorPicture(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
        return c ? c->image.pixels : std::vector<uint32_t>();
    };
    EXPECT_EQ(pixels(IDC_TOOL_SELECT), pixels(IDC_TOOL_OTHER));
    const UINT distinct[] = {IDC_TOOL_SELECT, IDC_TOOL_PAINT, IDC_TOOL_NEW_BRICK, IDC_TOOL_ERASE};
    for (UINT a : distinct)
        for (UINT b : distinct)
            if (a < b) {
                EXPECT_NE(pixels(a), pixels(b)) << a << " and " << b;
            }
}

}  // namespace

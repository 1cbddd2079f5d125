// The shared palette and the colour names, as the program's resources hold
// them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/resource_ids.h"
#include "tests/resources/resource_support.h"

namespace {

using namespace resource_test;

struct Entry {
    int r, g, b;
};

Bytes Palette()
{
    return Resource(AfxGetResourceHandle(), IDR_PALETTE, "MYPALETTE");
}

Entry At(const Bytes& palette, int i)
{
    const size_t at = 24 + 4 * static_cast<size_t>(i);
    return Entry{palette.at(at), palette.at(at + 1), palette.at(at + 2)};
}

int Brightness(Entry e)
{
    return 299 * e.r + 587 * e.g + 114 * e.b;
}

Entry Shade(const Bytes& palette, int colour, int shade)
{
    return At(palette, 17 + 9 * colour - shade);
}

TEST(SharedPalette, IsARiffPaletteOf256Entries)
{
    const Bytes p = Palette();
    ASSERT_EQ(p.size(), 1048u);
    EXPECT_EQ(std::string(p.begin(), p.begin() + 4), "RIFF");
    EXPECT_EQ(Get32(p, 4), p.size() - 8);
    EXPECT_EQ(std::string(p.begin() + 8, p.begin() + 16), "PAL data");
    EXPECT_EQ(Get32(p, 16), 4u + 4 * 256);
    EXPECT_EQ(Get16(p, 20), 0x300u);
    EXPECT_EQ(Get16(p, 22), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(p[24 + 4 * i + 3], 0) << "flags of entry " << i;
}

TEST(SharedPalette, HoldsTheInterfaceColours)
{
    const Bytes p = Palette();
    ASSERT_EQ(p.size(), 1048u);
    const struct {
        int index;
        Entry rgb;
    } cases[] = {{0, {0, 0, 0}}, {8, {192, 192, 192}}, {255, {255, 255, 255}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const Entry e = At(p, c.index);
        EXPECT_EQ(e.r, c.rgb.r);
        EXPECT_EQ(e.g, c.rgb.g);
        EXPECT_EQ(e.b, c.rgb.b);
    }
}

TEST(SharedPalette, EveryColourRunsFromLightToDark)
{
    const Bytes p = Palette();
    ASSERT_EQ(p.size(), 1048u);
    for (int c = 0; c < 12; ++c) {
        SCOPED_TRACE(c);
        for (int s = 1; s < 9; ++s)
            EXPECT_GT(Brightness(Shade(p, c, s - 1)), Brightness(Shade(p, c, s))) << "shade " << s;
        // Wide enough for a lit top, two faces and edges.
        EXPECT_GT(Brightness(Shade(p, c, 0)) - Brightness(Shade(p, c, 8)), 100 * 1000);
    }
}

// The pure colour in the middle of each run is the colour its name says.
TEST(SharedPalette, ColoursMatchTheirNames)
{
    const Bytes p = Palette();
    ASSERT_EQ(p.size(), 1048u);
    const struct {
        int colour;
        UINT name;
        const char* text;
        bool (*looks)(Entry);
    } cases[] = {
        {0, IDS_COLOR_RED, "Red", [](Entry e) { return e.r > 150 && e.g < 80 && e.b < 80; }},
        {1, IDS_COLOR_GREEN, "Green", [](Entry e) { return e.g > 100 && e.g > 2 * e.r && e.g > e.b; }},
        {2, IDS_COLOR_BLUE, "Blue", [](Entry e) { return e.b > 150 && e.r < 60 && e.g < e.b; }},
        {3, IDS_COLOR_YELLOW, "Yellow", [](Entry e) { return e.r > 200 && e.g > 170 && e.b < 80; }},
        {4, IDS_COLOR_WHITE, "White", [](Entry e) { return e.r > 220 && e.g > 220 && e.b > 220; }},
        {5, IDS_COLOR_GRAY, "Gray",
         [](Entry e) { return e.r > 100 && e.r < 200 && std::abs(e.r - e.g) < 16 && std::abs(e.g - e.b) < 16; }},
        {6, IDS_COLOR_BLACK, "Black", [](Entry e) { return e.r < 80 && e.g < 80 && e.b < 80; }},
        {7, IDS_COLOR_BROWN, "Brown", [](Entry e) { return e.r > e.g && e.g > e.b && e.r < 180; }},
        {8, IDS_COLOR_PURPLE, "Purple", [](Entry e) { return e.r > e.g + 40 && e.b > e.g + 40; }},
        {9, IDS_COLOR_PINK, "Pink", [](Entry e) { return e.r > 200 && e.b > e.g && e.g > 80; }},
        {10, IDS_COLOR_LT_BLUE, "Lt Blue", [](Entry e) { return e.b > 200 && e.g > 120 && e.r < e.g; }},
        {11, IDS_COLOR_LT_GREEN, "Lt Green", [](Entry e) { return e.g > 180 && e.r > 80 && e.b < e.r; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.name, static_cast<UINT>(IDS_COLOR_FIRST + c.colour));
        EXPECT_EQ(String(AfxGetResourceHandle(), c.name), c.text);
        const Entry pure = Shade(p, c.colour, 4);
        EXPECT_TRUE(c.looks(pure)) << pure.r << ", " << pure.g << ", " << pure.b;
    }
}

}  // namespace

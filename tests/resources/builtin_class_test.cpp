// The built-in brick class and the baseplate stud, as the program's resources
// hold them.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/resources/resource_support.h"

namespace {

using namespace resource_test;

HMODULE Program()
{
    return AfxGetResourceHandle();
}

Bytes Words(std::initializer_list<uint32_t> words)
{
    Bytes out;
    for (uint32_t w : words) {
        out.push_back(static_cast<unsigned char>(w & 0xFF));
        out.push_back(static_cast<unsigned char>(w >> 8));
    }
    return out;
}

TEST(BuiltInClass, ClassRecordNamesOneOrientationForAllFour)
{
    Bytes expected = {'B', 'R', 'C', 'K'};
    const Bytes rest = Words({0, 0xFFFF, 1, 0, 1, 100, 100, 100, 100});
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(Resource(Program(), IDC_BUILTIN_CLASS, "BRICKCLASS"), expected);
}

TEST(BuiltInClass, OrientationRecordHoldsTheUnitBox)
{
    const Bytes expected =
        Words({0, 0, 0, 1, 1, 1, 102, 103, 0, 0, 102, 103, 0, 0, 1, 8, 8, 8, 9, 9, 9, 0});
    EXPECT_EQ(Resource(Program(), IDR_BUILTIN_ORIENTATION, "BRICKORIENTATION"), expected);
}

TEST(BuiltInClass, MaskIsTheUnitBoxOutline)
{
    // The box that the orientation record gives, scan-converted the way the
    // pane places it: the mask's origin is the top-left of the projected box.
    const Bytes mask = Resource(Program(), IDR_BUILTIN_REGION, "REGION");
    EXPECT_EQ(mask, PolygonBytes(Box{1, 1, 1}));
    EXPECT_EQ(mask, Resource(Program(), IDR_PANE_REGION, "REGION"));
}

// Each picture drawn through its mask: the size of the projected unit box,
// and only brick shades where the mask lets pixels through.
TEST(BuiltInClass, PicturesFitTheirMasks)
{
    const struct {
        UINT image;
        UINT region;
    } cases[] = {
        {IDB_BUILTIN_BRICK, IDR_BUILTIN_REGION},
        {IDB_STUD, IDR_PANE_REGION},
        {IDB_BASEPLATE_STUD, IDR_PANE_REGION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        const std::optional<Dib> dib = ReadDib(Resource(Program(), c.image, "BRICKIMAGE"));
        ASSERT_TRUE(dib);
        EXPECT_EQ(dib->width, 20);
        EXPECT_EQ(dib->height, 16);
        const Bytes mask = Resource(Program(), c.region, "REGION");
        ExpectShadesInsideMask(*dib, mask);
        ExpectLitFromTheUpperLeft(*dib, mask, Box{1, 1, 1});
    }
}

TEST(BuiltInClass, PreviewShowsTheBrickInThePalettesColours)
{
    const std::optional<Dib> dib = ReadDib(Resource(Program(), IDC_BUILTIN_CLASS, "BRICKPREVIEW"));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->width, 64);
    EXPECT_EQ(dib->height, 32);

    // Shown as it stands, so its colour table is the palette itself.
    const Bytes palette = Resource(Program(), IDR_PALETTE, "MYPALETTE");
    ASSERT_EQ(palette.size(), 1048u);
    for (int i = 0; i < 256; ++i) {
        const size_t at = 24 + 4 * static_cast<size_t>(i);
        EXPECT_EQ(dib->Colour(i), (std::vector<int>{palette[at], palette[at + 1], palette[at + 2]})) << i;
    }

    // A red brick on white: the brick's shades of red are there.
    int red = 0;
    for (int y = 0; y < dib->height; ++y)
        for (int x = 0; x < dib->width; ++x) {
            const int p = dib->Pixel(x, y);
            red += p >= 9 && p <= 17;
        }
    EXPECT_GT(red, 100);
    EXPECT_EQ(dib->Pixel(0, 0), 255) << "white around the brick";
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The pixels of the surface that differ from `background`.
std::set<std::pair<int, int>> Changed(const platform::Surface& surface, COLORREF background)
{
    std::set<std::pair<int, int>> changed;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) != background)
                changed.insert({x, y});
    return changed;
}

TEST(Colour, IsStoredAsBlueGreenRed)
{
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(GetRValue(0x00563412u), 0x12);
    EXPECT_EQ(GetGValue(0x00563412u), 0x34);
    EXPECT_EQ(GetBValue(0x00563412u), 0x56);

    platform::Surface surface(4, 4);
    CDC dc(&surface);
    EXPECT_EQ(dc.SetPixel(1, 2, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(dc.GetPixel(1, 2), RGB(0x12, 0x34, 0x56));
    // The toolkit sees the same colour as 0xAARRGGBB.
    EXPECT_EQ(surface.ScanLine(2)[1], 0xFF123456u);
}

TEST(Pixels, OutsideTheSurfaceAreInvalidAndUntouched)
{
    platform::Surface surface(3, 3, kWhite);
    CDC dc(&surface);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}}) {
        EXPECT_EQ(dc.GetPixel(x, y), CLR_INVALID);
        EXPECT_EQ(dc.SetPixel(x, y, 0), CLR_INVALID);
    }
    EXPECT_TRUE(Changed(surface, kWhite).empty());

    CDC unattached;
    EXPECT_EQ(unattached.GetPixel(0, 0), CLR_INVALID);
    unattached.MoveTo(0, 0);
    EXPECT_TRUE(unattached.LineTo(5, 5));
}

TEST(Line, LeavesOutItsEndPoint)
{
    struct Case {
        int x0, y0, x1, y1;
    };
    const Case cases[] = {
        {2, 5, 9, 5},  {9, 5, 2, 5},  {5, 1, 5, 9},  {5, 9, 5, 1},  {1, 1, 8, 8}, {8, 8, 1, 1},
        {1, 8, 8, 1},  {0, 0, 11, 3}, {11, 3, 0, 0}, {3, 0, 5, 11}, {5, 11, 3, 0}, {0, 11, 11, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x0 << "," << c.y0 << ")-(" << c.x1 << "," << c.y1 << ")");
        platform::Surface surface(12, 12, kWhite);
        CDC dc(&surface);
        dc.MoveTo(c.x0, c.y0);
        dc.LineTo(c.x1, c.y1);

        const auto changed = Changed(surface, kWhite);
        const int steps = std::max(std::abs(c.x1 - c.x0), std::abs(c.y1 - c.y0));
        EXPECT_EQ(static_cast<int>(changed.size()), steps);
        EXPECT_TRUE(changed.count({c.x0, c.y0}));
        EXPECT_FALSE(changed.count({c.x1, c.y1}));
        // One pixel per step of the major axis, all within the line's box.
        for (auto [x, y] : changed) {
            EXPECT_GE(x, std::min(c.x0, c.x1));
            EXPECT_LE(x, std::max(c.x0, c.x1));
            EXPECT_GE(y, std::min(c.y0, c.y1));
            EXPECT_LE(y, std::max(c.y0, c.y1));
        }
        EXPECT_EQ(dc.GetPixel(c.x0, c.y0), RGB(0, 0, 0));
        EXPECT_EQ(dc.GetCurrentPosition().x, c.x1);
        EXPECT_EQ(dc.GetCurrentPosition().y, c.y1);
    }
}

TEST(Line, FollowsTheNearestPixelsAndJoinsItsSuccessor)
{
    platform::Surface surface(8, 4, kWhite);
    CDC dc(&surface);
    dc.MoveTo(0, 0);
    dc.LineTo(5, 2);
    const std::set<std::pair<int, int>> expected{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    EXPECT_EQ(Changed(surface, kWhite), expected);

    // A polyline covers the joints once: the end left out of one segment is the
    // start of the next.
    dc.SetROP2(R2_NOT);
    surface.Fill(kWhite);
    dc.MoveTo(0, 3);
    dc.LineTo(4, 3);
    dc.LineTo(7, 3);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(dc.GetPixel(x, 3), RGB(0, 0, 0)) << x;
    EXPECT_EQ(dc.GetPixel(7, 3), kWhite);
}

TEST(Line, IsClippedToTheSurface)
{
    platform::Surface surface(10, 10, kWhite);
    CDC dc(&surface);
    dc.MoveTo(-5, -5);
    dc.LineTo(100, 100);
    dc.MoveTo(-2147483647, 4);
    dc.LineTo(2147483647, 4);
    dc.MoveTo(2147483647, 6);
    dc.LineTo(-2147483647, 6);
    const auto changed = Changed(surface, kWhite);
    EXPECT_EQ(changed.size(), 10u + 10u + 10u - 2u);
    EXPECT_TRUE(changed.count({0, 0}));
    EXPECT_TRUE(changed.count({9, 9}));
}

TEST(MoveTo, AnswersThePreviousPosition)
{
    CDC dc;
    dc.MoveTo(3, 4);
    const POINT previous = dc.MoveTo(7, 8);
    EXPECT_EQ(previous.x, 3);
    EXPECT_EQ(previous.y, 4);
}

TEST(Pen, SelectionAnswersThePreviousPenAndSetsTheColour)
{
    platform::Surface surface(4, 1, kWhite);
    CDC dc(&surface);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* stock = dc.SelectObject(&red);
    EXPECT_EQ(stock, CPen::BlackPen());
    EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
    dc.MoveTo(0, 0);
    dc.LineTo(2, 0);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dc.SelectObject(stock), &red);
    dc.LineTo(4, 0);
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(0, 0, 0));

    CPen none(PS_NULL, 1, RGB(255, 0, 0));
    dc.SelectObject(&none);
    surface.Fill(kWhite);
    dc.MoveTo(0, 0);
    dc.LineTo(4, 0);
    EXPECT_TRUE(Changed(surface, kWhite).empty());
}

TEST(RasterOperation, EachCodeAppliesItsTruthTable)
{
    // With pen 0xCC and destination 0xAA in every channel, code r gives
    // 0x11 * (r - 1): its truth table read as a byte pattern.
    EXPECT_EQ(R2_BLACK, 1);
    EXPECT_EQ(R2_NOT, 6);
    EXPECT_EQ(R2_NOTXORPEN, 10);
    EXPECT_EQ(R2_COPYPEN, 13);
    EXPECT_EQ(R2_WHITE, 16);
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        platform::Surface surface(1, 1, RGB(0xAA, 0xAA, 0xAA));
        CDC dc(&surface);
        CPen pen(PS_SOLID, 1, RGB(0xCC, 0xCC, 0xCC));
        dc.SelectObject(&pen);
        dc.SetROP2(rop);
        dc.MoveTo(0, 0);
        dc.LineTo(1, 0);
        const BYTE v = static_cast<BYTE>(0x11 * (rop - 1));
        EXPECT_EQ(dc.GetPixel(0, 0), RGB(v, v, v)) << "rop " << rop;
    }
}

TEST(RasterOperation, SetAnswersThePreviousAndRefusesUnknownCodes)
{
    CDC dc;
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(R2_XORPEN), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(0), 0);
    EXPECT_EQ(dc.SetROP2(17), 0);
    EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
}

TEST(RasterOperation, InvertingMixesRestoreWhenDrawnTwice)
{
    for (int rop : {R2_NOT, R2_NOTXORPEN, R2_XORPEN}) {
        SCOPED_TRACE(rop);
        platform::Surface surface(6, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                surface.SetPixel(x, y, RGB(x * 40, y * 40, (x * y) & 0xFF));
        const platform::Surface before = surface;
        CDC dc(&surface);
        CPen pen(PS_SOLID, 1, RGB(0x35, 0x9A, 0xE1));
        dc.SelectObject(&pen);
        dc.SetROP2(rop);
        for (int pass = 0; pass < 2; ++pass) {
            dc.MoveTo(0, 1);
            dc.LineTo(6, 1);
            dc.MoveTo(0, 0);
            dc.LineTo(5, 5);
        }
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(surface.GetPixel(x, y), before.GetPixel(x, y)) << x << "," << y;
    }
}

}  // namespace

// Text drawn by a device context: lines placed by the format, in the text
// colour, inside the rectangle and the clip.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "platform/ui/app.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// The box of the pixels that are no longer black.
RECT Inked(const platform::Surface& surface)
{
    RECT box{surface.Width(), surface.Height(), 0, 0};
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) != kBlack) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class Text : public ::testing::Test {
protected:
    void SetUp() override { platform::EnsureToolkit(); }
};

TEST_F(Text, LinesStackFromTheTopAlignedAsAsked)
{
    const int line = CDC::GetTextLineHeight();
    ASSERT_GT(line, 6);
    struct Case {
        UINT format;
        int expectLeft;   // -1: not checked
        int expectRight;  // -1: not checked
    };
    for (const Case& c : {Case{DT_LEFT, 20, -1}, Case{DT_RIGHT, -1, 180}, Case{DT_CENTER, -1, -1}}) {
        platform::Surface surface(200, 200, kBlack);
        CDC dc(&surface);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.SetBkMode(TRANSPARENT);
        RECT place{20, 30, 180, 190};
        EXPECT_EQ(dc.DrawText("Wide line\n\nx", -1, &place, c.format), 3 * line);
        const RECT ink = Inked(surface);
        EXPECT_GE(ink.top, 30) << c.format;
        EXPECT_LE(ink.bottom, 30 + 3 * line) << c.format;
        EXPECT_GT(ink.bottom, 30 + 2 * line) << "the third line is drawn, below an empty one";
        if (c.expectLeft >= 0) {
            EXPECT_LE(std::abs(ink.left - c.expectLeft), 2) << c.format;
        }
        if (c.expectRight >= 0) {
            EXPECT_LE(std::abs(ink.right - c.expectRight), 2) << c.format;
        }
        if (c.format == DT_CENTER) {
            EXPECT_LE(std::abs((ink.left + ink.right) / 2 - 100), 3);
        }
    }
}

TEST_F(Text, StaysInsideTheRectangleAndTheClipAndFillsOnlyWhenOpaque)
{
    platform::Surface surface(200, 100, kBlack);
    CDC dc(&surface);
    dc.SetTextColor(RGB(255, 255, 0));
    dc.SetBkColor(RGB(0, 0, 255));
    RECT narrow{10, 10, 40, 90};
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText("a line much wider than its place", -1, &narrow, DT_LEFT);
    const RECT ink = Inked(surface);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 40);
    EXPECT_NE(surface.GetPixel(12, 12), RGB(0, 0, 255)) << "transparent: no background";

    platform::Surface clipped(200, 100, kBlack);
    CDC clip(&clipped);
    clip.SetTextColor(RGB(255, 255, 255));
    clip.SetBkColor(RGB(0, 0, 255));
    clip.SetBkMode(OPAQUE);
    clip.IntersectClipRect(0, 0, 60, 100);
    RECT wide{0, 0, 200, 100};
    clip.DrawText("MMMMMMMMMMMMMMMMMMMM", -1, &wide, DT_LEFT);
    EXPECT_LE(Inked(clipped).right, 60);
    EXPECT_EQ(clipped.GetPixel(1, 1), RGB(0, 0, 255)) << "opaque: the line's box is filled";
    EXPECT_EQ(clipped.GetPixel(1, CDC::GetTextLineHeight() + 2), kBlack) << "below the line nothing";
}

}  // namespace

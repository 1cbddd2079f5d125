#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

std::set<std::pair<int, int>> Changed(const platform::Surface& surface, COLORREF background)
{
    std::set<std::pair<int, int>> changed;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) != background)
                changed.insert({x, y});
    return changed;
}

std::set<std::pair<int, int>> Box(int left, int top, int right, int bottom)
{
    std::set<std::pair<int, int>> box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            box.insert({x, y});
    return box;
}

// What the pane does before drawing onto a page: the client area scaled
// uniformly to the page and centred on it.
void PreparePage(CDC& dc, SIZE client, SIZE page)
{
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(client);
    dc.SetViewportExt(page);
    const SIZE granted = dc.GetViewportExt();
    dc.SetViewportOrg((page.cx - granted.cx) / 2, (page.cy - granted.cy) / 2);
}

TEST(Isotropic, KeepsTheSmallerScaleOnBothAxesWithTheirSigns)
{
    struct Case {
        SIZE window, viewport, granted;
    };
    const Case cases[] = {
        {{800, 400}, {4800, 6000}, {4800, 2400}},  // wide client: page width
        {{400, 800}, {4800, 6000}, {3000, 6000}},  // tall client: page height
        {{100, 100}, {-50, 80}, {-50, 50}},
        {{100, -200}, {300, 300}, {150, 300}},
        {{3, 7}, {10, 10}, {4, 10}},               // rounds down
        {{1000000, 1}, {1, 1000000}, {1, 1}},      // never below one pixel
        {{640, 480}, {1280, 960}, {1280, 960}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.cx << "x" << c.window.cy << " to " << c.viewport.cx << "x"
                                        << c.viewport.cy);
        CDC dc;
        EXPECT_EQ(dc.SetMapMode(MM_ISOTROPIC), MM_TEXT);
        dc.SetWindowExt(c.window);
        dc.SetViewportExt(c.viewport);
        EXPECT_EQ(dc.GetViewportExt().cx, c.granted.cx);
        EXPECT_EQ(dc.GetViewportExt().cy, c.granted.cy);
        EXPECT_EQ(dc.GetWindowExt().cx, c.window.cx);
    }
}

TEST(Isotropic, PrintedPaneIsScaledToThePageAndCentred)
{
    struct Case {
        SIZE client, page;
        RECT corners;  // device corners of the client area
    };
    const Case cases[] = {
        {{800, 400}, {4800, 6000}, {0, 1800, 4800, 4200}},
        {{400, 800}, {4800, 6000}, {900, 0, 3900, 6000}},
        {{640, 480}, {2550, 3300}, {0, 694, 2550, 2606}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client.cx << "x" << c.client.cy);
        CDC dc;
        PreparePage(dc, c.client, c.page);
        RECT r{0, 0, c.client.cx, c.client.cy};
        dc.LPtoDP(&r);
        EXPECT_EQ(r.left, c.corners.left);
        EXPECT_EQ(r.top, c.corners.top);
        EXPECT_EQ(r.right, c.corners.right);
        EXPECT_EQ(r.bottom, c.corners.bottom);
        // Equal margins on the short axis.
        EXPECT_LE(std::abs((c.page.cx - r.right) - r.left), 1);
        EXPECT_LE(std::abs((c.page.cy - r.bottom) - r.top), 1);
    }
}

TEST(Mapping, PointsMapRoundingHalfAwayFromZeroAndBack)
{
    CDC dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowOrg(10, -4);
    dc.SetWindowExt(4, -3);
    dc.SetViewportOrg(100, 50);
    dc.SetViewportExt(6, 9);  // x: 1.5 per unit; y: -3 per unit
    struct Case {
        POINT logical, device;
    };
    const Case cases[] = {
        {{10, -4}, {100, 50}}, {{11, -4}, {102, 50}}, {{9, -4}, {98, 50}},   // +-1.5 rounds away from zero
        {{12, -4}, {103, 50}}, {{13, -4}, {105, 50}}, {{10, -3}, {100, 47}}, // y grows upward
        {{10, -6}, {100, 56}},
    };
    for (const Case& c : cases) {
        POINT p = c.logical;
        dc.LPtoDP(&p);
        EXPECT_EQ(p.x, c.device.x) << c.logical.x << "," << c.logical.y;
        EXPECT_EQ(p.y, c.device.y) << c.logical.x << "," << c.logical.y;
    }
    // Back again where the scale allows.
    POINT points[] = {{100, 50}, {103, 47}, {106, 56}};
    dc.DPtoLP(points, 3);
    EXPECT_EQ(points[0].x, 10);
    EXPECT_EQ(points[0].y, -4);
    EXPECT_EQ(points[1].x, 12);
    EXPECT_EQ(points[1].y, -3);
    EXPECT_EQ(points[2].x, 14);
    EXPECT_EQ(points[2].y, -6);

    // Far points saturate instead of wrapping.
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(1000, -1000);
    POINT far[] = {{INT32_MAX, INT32_MIN}};
    dc.LPtoDP(far);
    EXPECT_EQ(far[0].x, INT32_MAX);
    EXPECT_EQ(far[0].y, INT32_MAX);
}

TEST(Mapping, TextModeIgnoresExtentsAndZeroExtentsAreRefused)
{
    CDC dc;
    EXPECT_EQ(dc.SetMapMode(2), 0);  // metric modes are not offered
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    const SIZE ignored = dc.SetWindowExt(5, 5);
    EXPECT_EQ(ignored.cx, 1);
    EXPECT_EQ(dc.GetWindowExt().cx, 1);
    dc.SetViewportOrg(3, 4);
    POINT p{1, 1};
    dc.LPtoDP(&p);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 5);

    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(2, 3);
    const SIZE refused = dc.SetViewportExt(0, 7);
    EXPECT_EQ(refused.cx, 0);
    EXPECT_EQ(refused.cy, 0);
    EXPECT_EQ(dc.GetViewportExt().cx, 1);
    const SIZE previous = dc.SetWindowExt(4, 4);
    EXPECT_EQ(previous.cx, 2);
    EXPECT_EQ(previous.cy, 3);
    // Back to text: 1:1 again, origins kept.
    EXPECT_EQ(dc.SetMapMode(MM_TEXT), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetWindowExt().cx, 1);
    EXPECT_EQ(dc.GetViewportOrg().x, 3);
}

TEST(Mapping, DrawingCallsMapTheirCoordinates)
{
    platform::Surface surface(20, 20, kWhite);
    CDC dc(&surface);
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(2, 2);
    dc.SetViewportOrg(4, 2);

    dc.FillSolidRect(1, 1, 2, 1, kRed);  // device (6, 4) to (10, 6)
    EXPECT_EQ(Changed(surface, kWhite), Box(6, 4, 10, 6));
    EXPECT_EQ(dc.GetPixel(1, 1), kRed);
    EXPECT_EQ(dc.GetPixel(0, 0), kWhite);

    surface.Fill(kWhite);
    dc.MoveTo(0, 3);
    dc.LineTo(3, 3);  // device (4, 8) to (10, 8), one pixel thin
    EXPECT_EQ(Changed(surface, kWhite), Box(4, 8, 10, 9));

    surface.Fill(kWhite);
    EXPECT_EQ(dc.SetPixel(-1, -1, kRed), kRed);
    EXPECT_EQ(Changed(surface, kWhite), Box(2, 0, 3, 1));
    EXPECT_EQ(dc.SetPixel(-3, 0, kRed), CLR_INVALID);  // device (-2, 2)
}

TEST(Clip, EverythingDrawnStaysInsideTheClipBox)
{
    // Each drawing call with a clip rectangle changes exactly what it changes
    // without one, inside the rectangle.
    const RECT clips[] = {{2, 3, 9, 7}, {-5, -5, 4, 20}, {7, 0, 30, 2}, {5, 5, 5, 9}};
    using Draw = void (*)(CDC&);
    const std::pair<const char*, Draw> draws[] = {
        {"fill", [](CDC& dc) { dc.FillSolidRect(1, 1, 10, 8, kRed); }},
        {"brush", [](CDC& dc) {
             CBrush brush(kRed);
             const RECT r{0, 2, 12, 9};
             dc.FillRect(&r, &brush);
         }},
        {"lines", [](CDC& dc) {
             dc.MoveTo(-3, -1);
             dc.LineTo(14, 9);
             dc.LineTo(0, 9);
             dc.LineTo(6, -4);
             dc.MoveTo(11, 4);
             dc.LineTo(-2, 4);
         }},
        {"pixels", [](CDC& dc) {
             for (int i = 0; i < 12; ++i)
                 dc.SetPixel(i, (i * 5) % 10, kRed);
         }},
    };
    for (const RECT& clip : clips) {
        for (const auto& [name, draw] : draws) {
            SCOPED_TRACE(testing::Message() << name << " clipped to " << clip.left << "," << clip.top << "-"
                                            << clip.right << "," << clip.bottom);
            platform::Surface whole(12, 10, kWhite);
            CDC wholeDc(&whole);
            draw(wholeDc);

            platform::Surface surface(12, 10, kWhite);
            CDC dc(&surface);
            dc.IntersectClipRect(&clip);
            draw(dc);
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 12; ++x) {
                    const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                    ASSERT_EQ(surface.GetPixel(x, y), inside ? whole.GetPixel(x, y) : kWhite) << x << "," << y;
                }
            }
        }
    }
}

TEST(Clip, IntersectionNarrowsAndTheBoxIsAnsweredInLogicalUnits)
{
    platform::Surface surface(100, 80);
    CDC dc(&surface);
    RECT box;
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 80);
    EXPECT_EQ(dc.GetClipBox(nullptr), RGN_ERROR);

    dc.SetViewportOrg(10, 20);
    EXPECT_EQ(dc.IntersectClipRect(-20, -30, 50, 40), SIMPLEREGION);  // device (-10, -10)-(60, 60)
    EXPECT_EQ(dc.IntersectClipRect(0, 0, 200, 200), SIMPLEREGION);    // device (10, 20)-(210, 220)
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 50);
    EXPECT_EQ(box.bottom, 40);

    EXPECT_EQ(dc.IntersectClipRect(60, 0, 70, 10), NULLREGION);
    EXPECT_EQ(dc.GetClipBox(&box), NULLREGION);
    EXPECT_EQ(dc.SetPixel(5, 5, kRed), CLR_INVALID);

    const RECT device{90, 70, 200, 200};
    EXPECT_EQ(dc.SelectClipRect(&device), SIMPLEREGION);
    dc.GetClipBox(&box);
    EXPECT_EQ(box.left, 80);
    EXPECT_EQ(box.top, 50);
    EXPECT_EQ(box.right, 90);
    EXPECT_EQ(box.bottom, 60);
    EXPECT_EQ(dc.SelectClipRect(nullptr), SIMPLEREGION);
    dc.GetClipBox(&box);
    EXPECT_EQ(box.left, -10);
    EXPECT_EQ(box.right, 90);
    EXPECT_EQ(dc.IntersectClipRect(nullptr), RGN_ERROR);

    // A printed page: the clip box is the page in the pane's units.
    surface.Resize(4800, 6000);
    CDC page(&surface);
    PreparePage(page, SIZE{800, 400}, SIZE{4800, 6000});
    page.GetClipBox(&box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 800);
    EXPECT_EQ(box.top, -300);
    EXPECT_EQ(box.bottom, 700);
}

TEST(Line, FarEndsAreClippedWithoutWalkingThem)
{
    platform::Surface surface(10, 10, kWhite);
    CDC dc(&surface);
    dc.MoveTo(-2147483647, -2147483647);
    dc.LineTo(2147483647, 2147483647);
    std::set<std::pair<int, int>> diagonal;
    for (int i = 0; i < 10; ++i)
        diagonal.insert({i, i});
    EXPECT_EQ(Changed(surface, kWhite), diagonal);

    // Scaled beyond the device range, a line still draws where it crosses.
    surface.Fill(kWhite);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(1000000, 1);
    dc.MoveTo(-2000000, 3);
    dc.LineTo(2000000, 6);
    EXPECT_EQ(Changed(surface, kWhite).size(), 10u);
}

TEST(Fill, SolidRectanglesLeaveOutTheirFarEdges)
{
    struct Case {
        RECT rect;
        RECT filled;
    };
    const Case cases[] = {
        {{1, 2, 4, 3}, {1, 2, 4, 3}}, {{4, 3, 1, 2}, {1, 2, 4, 3}}, {{-5, -5, 2, 2}, {0, 0, 2, 2}},
        {{3, 3, 3, 8}, {0, 0, 0, 0}}, {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 6, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << "-" << c.rect.right << ","
                                        << c.rect.bottom);
        platform::Surface surface(6, 5, kWhite);
        CDC dc(&surface);
        dc.FillSolidRect(c.rect, kRed);
        EXPECT_EQ(Changed(surface, kWhite), Box(c.filled.left, c.filled.top, c.filled.right, c.filled.bottom));
        EXPECT_EQ(dc.GetBkColor(), kRed);

        surface.Fill(kWhite);
        CBrush brush(kRed);
        dc.FillRect(&c.rect, &brush);
        EXPECT_EQ(Changed(surface, kWhite), Box(c.filled.left, c.filled.top, c.filled.right, c.filled.bottom));
    }

    platform::Surface surface(6, 5, kWhite);
    CDC dc(&surface);
    dc.FillSolidRect(5, 4, -3, -2, kRed);
    EXPECT_EQ(Changed(surface, kWhite), Box(2, 2, 5, 4));
    surface.Fill(kWhite);
    CBrush none;
    const RECT all{0, 0, 6, 5};
    dc.FillRect(&all, &none);
    dc.FillRect(&all, nullptr);
    dc.FillSolidRect(nullptr, kRed);
    EXPECT_TRUE(Changed(surface, kWhite).empty());
}

TEST(SaveDC, RestoresTheStateOfEachLevel)
{
    platform::Surface surface(10, 10, kWhite);
    CDC dc(&surface);
    CPen red(PS_SOLID, 1, kRed);
    EXPECT_EQ(dc.SaveDC(), 1);
    dc.SelectObject(&red);
    dc.SetROP2(R2_XORPEN);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(3, 3);
    dc.IntersectClipRect(0, 0, 1, 1);
    dc.SetBkColor(kRed);
    dc.MoveTo(4, 4);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.SetViewportOrg(5, 5);
    EXPECT_EQ(dc.SaveDC(), 3);

    EXPECT_FALSE(dc.RestoreDC(4));
    EXPECT_FALSE(dc.RestoreDC(0));
    EXPECT_FALSE(dc.RestoreDC(-4));
    dc.SetViewportOrg(7, 7);
    EXPECT_TRUE(dc.RestoreDC(-1));  // level 3
    EXPECT_EQ(dc.GetViewportOrg().x, 5);
    EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
    EXPECT_EQ(dc.GetCurrentPosition().x, 4);
    EXPECT_FALSE(dc.RestoreDC(3));  // gone with its restore
    EXPECT_TRUE(dc.RestoreDC(1));   // past level 2
    EXPECT_FALSE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.GetBkColor(), kWhite);
    EXPECT_EQ(dc.GetCurrentPosition().x, 0);
    RECT box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box.right, 10);
    dc.MoveTo(0, 0);
    dc.LineTo(3, 0);
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 0, 0));  // the stock pen again
}

TEST(DeviceCaps, ComeFromTheSurface)
{
    platform::Surface page(850, 1100);
    page.SetDotsPerInch(100, 100);
    CDC dc(&page);
    struct Case {
        int index, value;
    };
    for (const Case& c : {Case{HORZRES, 850}, Case{VERTRES, 1100}, Case{LOGPIXELSX, 100}, Case{LOGPIXELSY, 100},
                          Case{HORZSIZE, 216}, Case{VERTSIZE, 279}, Case{BITSPIXEL, 32}, Case{PLANES, 1},
                          Case{NUMCOLORS, -1}, Case{12345, 0}}) {
        EXPECT_EQ(dc.GetDeviceCaps(c.index), c.value) << c.index;
    }
    EXPECT_TRUE(dc.GetDeviceCaps(RASTERCAPS) & RC_STRETCHDIB);
    EXPECT_FALSE(dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(CDC().GetDeviceCaps(HORZRES), 0);
    platform::Surface screen(10, 10);
    EXPECT_EQ(CDC(&screen).GetDeviceCaps(LOGPIXELSX), platform::Surface::kScreenDotsPerInch);

    EXPECT_FALSE(dc.IsPrinting());
    dc.SetPrinting(TRUE);
    EXPECT_TRUE(dc.IsPrinting());
}

}  // namespace

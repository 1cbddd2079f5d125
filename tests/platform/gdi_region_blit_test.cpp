#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/surface.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

using Pixels = std::set<std::pair<int, int>>;

Pixels RegionPixels(const CRgn& region, int size)
{
    Pixels pixels;
    for (int y = -size; y < size; ++y)
        for (int x = -size; x < size; ++x)
            if (region.PtInRegion(x, y))
                pixels.insert({x, y});
    return pixels;
}

Pixels Changed(const platform::Surface& surface, COLORREF background)
{
    Pixels changed;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) != background)
                changed.insert({x, y});
    return changed;
}

Pixels Box(int left, int top, int right, int bottom)
{
    Pixels pixels;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            pixels.insert({x, y});
    return pixels;
}

// --- Regions ---------------------------------------------------------------------

TEST(Region, RectangleAsPolygonCoversExactlyTheRectangle)
{
    const POINT square[] = {{2, 1}, {7, 1}, {7, 5}, {2, 5}};
    for (int mode : {ALTERNATE, WINDING}) {
        CRgn polygon;
        ASSERT_TRUE(polygon.CreatePolygonRgn(square, 4, mode));
        EXPECT_EQ(RegionPixels(polygon, 10), Box(2, 1, 7, 5));
        RECT box;
        EXPECT_EQ(polygon.GetRgnBox(&box), SIMPLEREGION);
        const RECT expected{2, 1, 7, 5};
        EXPECT_TRUE(EqualRect(&box, &expected));
        CRgn rect;
        rect.CreateRectRgn(7, 5, 2, 1);  // corners in any order
        EXPECT_TRUE(polygon.EqualRgn(&rect));
    }
}

TEST(Region, FillModesDifferWhereTheOutlineWindsTwice)
{
    // Two overlapping squares drawn as one outline in the same direction: the
    // overlap winds twice.
    const POINT twice[] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {3, 3}, {9, 3}, {9, 9}, {3, 9}, {3, 3}};
    CRgn alternate, winding;
    ASSERT_TRUE(alternate.CreatePolygonRgn(twice, 10, ALTERNATE));
    ASSERT_TRUE(winding.CreatePolygonRgn(twice, 10, WINDING));
    EXPECT_TRUE(winding.PtInRegion(4, 4));
    EXPECT_FALSE(alternate.PtInRegion(4, 4));
    EXPECT_TRUE(alternate.PtInRegion(1, 1));
    EXPECT_TRUE(alternate.PtInRegion(8, 8));
    RECT box;
    EXPECT_EQ(alternate.GetRgnBox(&box), COMPLEXREGION);
}

TEST(Region, HexagonHasNoPixelOutsideItsEdges)
{
    // The outline a brick's box projects to; slanted edges step by half.
    const POINT hexagon[] = {{20, 0}, {0, 10}, {0, 26}, {20, 36}, {40, 26}, {40, 10}};
    CRgn region;
    ASSERT_TRUE(region.CreatePolygonRgn(hexagon, 6, WINDING));
    RECT box;
    region.GetRgnBox(&box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 36);
    EXPECT_TRUE(region.PtInRegion(20, 18));
    EXPECT_FALSE(region.PtInRegion(1, 1));
    EXPECT_FALSE(region.PtInRegion(38, 34));
    // Symmetric about the vertical centre line x = 20 (pixel centres x + 1/2).
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(region.PtInRegion(x, y), region.PtInRegion(39 - x, y)) << x << "," << y;
}

TEST(Region, CombinesByEachMode)
{
    CRgn a, b;
    a.CreateRectRgn(0, 0, 4, 4);
    b.CreateRectRgn(2, 2, 6, 6);
    const Pixels pa = Box(0, 0, 4, 4), pb = Box(2, 2, 6, 6);
    struct Case {
        int mode;
        bool (*keep)(bool, bool);
    } cases[] = {
        {RGN_AND, [](bool x, bool y) { return x && y; }},
        {RGN_OR, [](bool x, bool y) { return x || y; }},
        {RGN_XOR, [](bool x, bool y) { return x != y; }},
        {RGN_DIFF, [](bool x, bool y) { return x && !y; }},
        {RGN_COPY, [](bool x, bool) { return x; }},
    };
    for (const Case& c : cases) {
        CRgn result;
        EXPECT_NE(result.CombineRgn(&a, &b, c.mode), ERROR);
        Pixels expected;
        for (int y = -1; y < 8; ++y)
            for (int x = -1; x < 8; ++x)
                if (c.keep(pa.count({x, y}) > 0, pb.count({x, y}) > 0))
                    expected.insert({x, y});
        EXPECT_EQ(RegionPixels(result, 10), expected) << "mode " << c.mode;
    }
    CRgn self;
    self.CreateRectRgn(0, 0, 4, 4);
    EXPECT_EQ(self.CombineRgn(&self, &b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(RegionPixels(self, 10), RegionPixels([&] {
                  CRgn u;
                  u.CombineRgn(&a, &b, RGN_OR);
                  return u;
              }(), 10));
    EXPECT_EQ(self.CombineRgn(&a, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(self.CombineRgn(&a, &b, 9), ERROR);
    // Rectangles side by side merge into one.
    CRgn left, right, both;
    left.CreateRectRgn(0, 0, 3, 3);
    right.CreateRectRgn(3, 0, 5, 3);
    EXPECT_EQ(both.CombineRgn(&left, &right, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(both.CombineRgn(&both, &both, RGN_DIFF), NULLREGION);
}

TEST(Region, OffsetsAndAnswersPointAndRectangleQueries)
{
    CRgn region;
    region.CreateRectRgn(0, 0, 4, 2);
    region.OffsetRgn(10, 20);
    EXPECT_TRUE(region.PtInRegion(10, 20));
    EXPECT_TRUE(region.PtInRegion(13, 21));
    EXPECT_FALSE(region.PtInRegion(14, 21));  // right edge outside
    EXPECT_FALSE(region.PtInRegion(13, 22));  // bottom edge outside
    const RECT touching{14, 20, 18, 22};
    const RECT meeting{13, 21, 18, 30};
    EXPECT_FALSE(region.RectInRegion(&touching));
    EXPECT_TRUE(region.RectInRegion(&meeting));
    EXPECT_FALSE(CRgn().CreatePolygonRgn(nullptr, 3, WINDING));
    const POINT one[] = {{0, 0}};
    EXPECT_FALSE(CRgn().CreatePolygonRgn(one, 1, WINDING));
    EXPECT_FALSE(CRgn().CreatePolygonRgn(one, 1, 7));
}

// --- Rectangle --------------------------------------------------------------------

TEST(Rectangle, PenAndBrushOfOneColourCoverTheRectangleExactly)
{
    platform::Surface surface(12, 12, kWhite);
    CDC dc(&surface);
    CPen pen(PS_SOLID, 1, RGB(10, 20, 30));
    CBrush brush(RGB(10, 20, 30));
    CPen* oldPen = dc.SelectObject(&pen);
    CBrush* oldBrush = dc.SelectObject(&brush);
    EXPECT_EQ(oldBrush, CBrush::StockBrush(WHITE_BRUSH));
    dc.Rectangle(2, 3, 8, 9);
    EXPECT_EQ(Changed(surface, kWhite), Box(2, 3, 8, 9));
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

TEST(Rectangle, BorderInPenInsideInBrushAndNullObjects)
{
    platform::Surface surface(12, 12, kWhite);
    CDC dc(&surface);
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush brush(RGB(0, 0, 255));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.Rectangle(1, 1, 5, 5);
    EXPECT_EQ(surface.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(surface.GetPixel(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(surface.GetPixel(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(surface.GetPixel(5, 5), kWhite);

    surface.Fill(kWhite);
    dc.SelectStockObject(NULL_PEN);
    dc.Rectangle(1, 1, 5, 5);  // one pixel smaller at right and bottom
    EXPECT_EQ(Changed(surface, kWhite), Box(1, 1, 4, 4));

    // The context keeps what it was given: a brush gone since draws on.
    surface.Fill(kWhite);
    {
        CBrush passing(RGB(0, 255, 0));
        dc.SelectObject(&passing);
    }
    dc.Rectangle(1, 1, 5, 5);
    EXPECT_EQ(surface.GetPixel(2, 2), RGB(0, 255, 0));

    surface.Fill(kWhite);
    dc.SelectObject(&pen);
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(1, 1, 5, 5);
    EXPECT_EQ(Changed(surface, kWhite).size(), 12u);  // the border only
    EXPECT_EQ(surface.GetPixel(2, 2), kWhite);
}

TEST(Rectangle, InvertingTwiceRestoresEveryPixel)
{
    platform::Surface surface(10, 10, RGB(1, 2, 3));
    for (int y = 0; y < 10; ++y)
        surface.SetPixel(y, y, RGB(200, 100, 50));
    const platform::Surface before = surface;
    CDC dc(&surface);
    dc.SetROP2(R2_NOT);
    dc.Rectangle(1, 2, 9, 7);
    EXPECT_NE(surface.GetPixel(1, 2), before.GetPixel(1, 2));
    dc.Rectangle(1, 2, 9, 7);
    EXPECT_EQ(Changed(surface, RGB(1, 2, 3)), Changed(before, RGB(1, 2, 3)));
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(surface.GetPixel(y, y), RGB(200, 100, 50));
}

TEST(Colour, PaletteRelativeColourDrawsItsRgbValue)
{
    platform::Surface surface(2, 1, kWhite);
    CDC dc(&surface);
    dc.FillSolidRect(0, 0, 1, 1, PALETTERGB(12, 34, 56));
    EXPECT_EQ(surface.GetPixel(0, 0), RGB(12, 34, 56));
    CBrush brush(PALETTERGB(1, 2, 3));
    CPen pen(PS_SOLID, 1, PALETTERGB(1, 2, 3));
    dc.SelectObject(&brush);
    dc.SelectObject(&pen);
    dc.Rectangle(1, 0, 2, 1);
    EXPECT_EQ(surface.GetPixel(1, 0), RGB(1, 2, 3));
}

// --- Clip regions -------------------------------------------------------------------

TEST(ClipRegion, DrawingStaysInsideAndInvertsEachPixelOnce)
{
    platform::Surface surface(20, 20, kWhite);
    CDC dc(&surface);
    CRgn a, b, clip;
    a.CreateRectRgn(2, 2, 8, 8);
    b.CreateRectRgn(6, 6, 14, 14);
    clip.CombineRgn(&a, &b, RGN_OR);
    EXPECT_EQ(dc.SelectClipRgn(&clip), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(dc.GetClipBox(&box), COMPLEXREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 14);
    dc.FillSolidRect(0, 0, 20, 20, kBlack);
    EXPECT_EQ(Changed(surface, kWhite), RegionPixels(clip, 20));
    std::vector<RECT> rects;
    const int count = dc.GetClipRects(&rects);
    EXPECT_EQ(count, static_cast<int>(rects.size()));
    EXPECT_GT(count, 1);
    Pixels covered;
    for (const RECT& r : rects)
        for (const auto& p : Box(r.left, r.top, r.right, r.bottom))
            EXPECT_TRUE(covered.insert(p).second);  // disjoint
    EXPECT_EQ(covered, RegionPixels(clip, 20));

    // Lines across several clip rectangles: each pixel is mixed once.
    surface.Fill(kWhite);
    dc.SetROP2(R2_NOT);
    for (int y = 0; y < 20; ++y) {
        dc.MoveTo(0, y);
        dc.LineTo(20, 19 - y);
    }
    const Pixels once = Changed(surface, kWhite);
    for (const auto& p : once)
        EXPECT_TRUE(clip.PtInRegion(p.first, p.second));
    for (int y = 0; y < 20; ++y) {
        dc.MoveTo(0, y);
        dc.LineTo(20, 19 - y);
    }
    EXPECT_TRUE(Changed(surface, kWhite).empty());

    EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
    dc.SetROP2(R2_COPYPEN);
    dc.FillSolidRect(0, 0, 1, 1, kBlack);
    EXPECT_EQ(surface.GetPixel(0, 0), kBlack);
}

TEST(ClipRegion, PicturesAndCopiesStayInsideToo)
{
    // An 8 x 8 black picture, 32 bits, top-down.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -8;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const std::vector<uint32_t> black(64, 0);
    platform::Surface source(8, 8, kBlack);
    CDC sourceDc(&source);

    CRgn a, b, clip;
    a.CreateRectRgn(0, 0, 3, 3);
    b.CreateRectRgn(5, 4, 8, 8);
    clip.CombineRgn(&a, &b, RGN_OR);
    for (int way = 0; way < 2; ++way) {
        platform::Surface surface(8, 8, kWhite);
        CDC dc(&surface);
        dc.SelectClipRgn(&clip);
        if (way == 0)
            dc.StretchDIBits(0, 0, 8, 8, 0, 0, 8, 8, black.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        else
            dc.BitBlt(0, 0, 8, 8, &sourceDc, 0, 0, SRCCOPY);
        EXPECT_EQ(Changed(surface, kWhite), RegionPixels(clip, 8)) << way;
    }
}

TEST(ClipRegion, VisibleRegionOfTheLayerStaysAcrossTheProgramsClip)
{
    platform::Surface surface(10, 10, kWhite);
    CDC dc(&surface);
    CRgn visible;
    visible.CreateRectRgn(0, 0, 5, 10);
    dc.SetVisibleRegion(&visible);
    dc.SelectClipRgn(nullptr);
    dc.IntersectClipRect(3, 0, 10, 10);
    dc.FillSolidRect(0, 0, 10, 10, kBlack);
    EXPECT_EQ(Changed(surface, kWhite), Box(3, 0, 5, 10));
    RECT box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.right, 5);
}

// --- Bitmaps and copies ---------------------------------------------------------------

TEST(Bitmap, MemoryContextDrawsIntoTheSelectedBitmap)
{
    platform::Surface screen(8, 8, kWhite);
    CDC screenDc(&screen);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screenDc));
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(&screenDc, 0, 4));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screenDc, 4, 3));
    CBitmap* stock = memory.SelectObject(&bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(memory.GetDeviceCaps(HORZRES), 4);
    EXPECT_FALSE(bitmap.DeleteObject());  // selected

    memory.FillSolidRect(0, 0, 4, 3, RGB(9, 9, 9));
    memory.SetPixel(3, 2, RGB(1, 2, 3));
    EXPECT_TRUE(screenDc.BitBlt(2, 2, 4, 3, &memory, 0, 0, SRCCOPY));
    EXPECT_EQ(Changed(screen, kWhite), Box(2, 2, 6, 5));
    EXPECT_EQ(screen.GetPixel(5, 4), RGB(1, 2, 3));

    // A second context cannot take a selected bitmap.
    CDC other;
    other.CreateCompatibleDC(nullptr);
    EXPECT_EQ(other.SelectObject(&bitmap), nullptr);
    EXPECT_EQ(memory.SelectObject(stock), &bitmap);
    EXPECT_TRUE(bitmap.DeleteObject());
}

TEST(Bitmap, DestroyedWhileSelectedLeavesTheContextSafe)
{
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    {
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(nullptr, 4, 4);
        memory.SelectObject(&bitmap);
    }
    memory.FillSolidRect(0, 0, 10, 10, kBlack);
    EXPECT_EQ(memory.GetCurrentBitmap(), CBitmap::StockBitmap());
}

TEST(BitBlt, InvertingCopyTwiceRestoresAndOtherCodesApply)
{
    platform::Surface dest(4, 1, RGB(0x0F, 0xF0, 0x33));
    platform::Surface src(4, 1, RGB(0xFF, 0x0F, 0x55));
    CDC d(&dest), s(&src);
    d.BitBlt(0, 0, 4, 1, &s, 0, 0, SRCINVERT);
    EXPECT_EQ(dest.GetPixel(0, 0), RGB(0xF0, 0xFF, 0x66));
    d.BitBlt(0, 0, 4, 1, &s, 0, 0, SRCINVERT);
    EXPECT_EQ(dest.GetPixel(0, 0), RGB(0x0F, 0xF0, 0x33));
    d.BitBlt(0, 0, 1, 1, &s, 0, 0, SRCAND);
    EXPECT_EQ(dest.GetPixel(0, 0), RGB(0x0F, 0x00, 0x11));
    d.BitBlt(1, 0, 1, 1, &s, 0, 0, SRCPAINT);
    EXPECT_EQ(dest.GetPixel(1, 0), RGB(0xFF, 0xFF, 0x77));
    d.PatBlt(2, 0, 1, 1, DSTINVERT);
    EXPECT_EQ(dest.GetPixel(2, 0), RGB(0xF0, 0x0F, 0xCC));
    CBrush brush(RGB(1, 2, 3));
    d.SelectObject(&brush);
    d.PatBlt(3, 0, 1, 1, PATCOPY);
    EXPECT_EQ(dest.GetPixel(3, 0), RGB(1, 2, 3));
    EXPECT_FALSE(d.BitBlt(0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(d.PatBlt(0, 0, 1, 1, SRCCOPY));
}

TEST(BitBlt, StretchesWhereTheMappingsScaleDifferently)
{
    // A 2 x 2 picture copied through a context that doubles: each pixel
    // becomes a 2 x 2 block (the preview and printer path).
    platform::Surface src(2, 2);
    src.SetPixel(0, 0, RGB(255, 0, 0));
    src.SetPixel(1, 0, RGB(0, 255, 0));
    src.SetPixel(0, 1, RGB(0, 0, 255));
    src.SetPixel(1, 1, kWhite);
    platform::Surface dest(6, 6, RGB(9, 9, 9));
    CDC s(&src), d(&dest);
    d.SetMapMode(MM_ISOTROPIC);
    d.SetWindowExt(1, 1);
    d.SetViewportExt(2, 2);
    d.BitBlt(1, 1, 2, 2, &s, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.GetPixel(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(dest.GetPixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(dest.GetPixel(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(dest.GetPixel(4, 2), RGB(0, 255, 0));
    EXPECT_EQ(dest.GetPixel(3, 5), RGB(0, 0, 255));
    EXPECT_EQ(dest.GetPixel(5, 5), kWhite);

    // Stretching down and mirroring with a negative source width.
    platform::Surface small(1, 1, RGB(9, 9, 9));
    CDC t(&small);
    t.StretchBlt(0, 0, 1, 1, &s, 0, 0, 2, 2, SRCCOPY);
    EXPECT_NE(small.GetPixel(0, 0), RGB(9, 9, 9));
    platform::Surface row(2, 1);
    CDC r(&row);
    r.StretchBlt(0, 0, 2, 1, &s, 2, 0, -2, 1, SRCCOPY);
    EXPECT_EQ(row.GetPixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(row.GetPixel(1, 0), RGB(255, 0, 0));
}

TEST(BitBlt, OverlappingCopyWithinOneSurfaceReadsBeforeWriting)
{
    platform::Surface surface(5, 1);
    for (int x = 0; x < 5; ++x)
        surface.SetPixel(x, 0, RGB(x, 0, 0));
    CDC dc(&surface);
    dc.BitBlt(1, 0, 4, 1, &dc, 0, 0, SRCCOPY);
    for (int x = 1; x < 5; ++x)
        EXPECT_EQ(surface.GetPixel(x, 0), RGB(x - 1, 0, 0));
}

TEST(BitBlt, SourceOutsideItsSurfaceLeavesTheDestination)
{
    platform::Surface src(2, 2, kBlack);
    platform::Surface dest(4, 4, kWhite);
    CDC s(&src), d(&dest);
    d.BitBlt(0, 0, 4, 4, &s, -1, -1, SRCCOPY);
    EXPECT_EQ(Changed(dest, kWhite), Box(1, 1, 3, 3));
}

TEST(GetDIBits, PixelsBecomeTheNearestEntryOfTheTable)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 3, 2));
    platform::Surface& s = *bitmap.GetSurface();
    s.SetPixel(0, 0, RGB(255, 0, 0));
    s.SetPixel(1, 0, RGB(250, 10, 0));  // nearest: red
    s.SetPixel(2, 0, RGB(0, 0, 255));
    s.SetPixel(0, 1, RGB(0, 0, 0));
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[3];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 3;
    info.header.biHeight = 2;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biClrUsed = 3;
    info.colours[0] = RGBQUAD{0, 0, 0, 7};
    info.colours[1] = RGBQUAD{0, 0, 255, 7};  // blue, green, red: red
    info.colours[2] = RGBQUAD{255, 0, 0, 7};  // blue
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    BYTE bits[8] = {};
    auto* bmi = reinterpret_cast<BITMAPINFO*>(&info);
    EXPECT_EQ(dc.GetDIBits(&bitmap, 0, 2, nullptr, bmi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.header.biSizeImage, 8u);
    EXPECT_EQ(dc.GetDIBits(&bitmap, 0, 2, bits, bmi, DIB_RGB_COLORS), 2);
    // Bottom-up: the stored first row is the picture's last.
    EXPECT_EQ(bits[0], 0);
    EXPECT_EQ(bits[4], 1);
    EXPECT_EQ(bits[5], 1);
    EXPECT_EQ(bits[6], 2);
    EXPECT_EQ(info.colours[1].rgbReserved, 7);  // the table is left as given
    info.header.biWidth = 4;
    EXPECT_EQ(dc.GetDIBits(&bitmap, 0, 2, bits, bmi, DIB_RGB_COLORS), 0);
}

TEST(PrinterContext, ReportsItsPageAndGrantsTheIsotropicExtent)
{
    platform::Surface page(2400, 3000);
    page.SetDotsPerInch(300, 300);
    CDC dc(&page);
    dc.SetPrinting(TRUE);
    EXPECT_TRUE(dc.IsPrinting());
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 2400);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 3000);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 300);
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(800, 400);
    dc.SetViewportExt(2400, 3000);
    const SIZE granted = dc.GetViewportExt();
    EXPECT_EQ(granted.cx, 2400);
    EXPECT_EQ(granted.cy, 1200);
    EXPECT_EQ(dc.RealizePalette(), dc.GetCurrentPalette()->GetEntryCount());
}

}  // namespace

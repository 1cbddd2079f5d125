#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Entry i of the test palette; no two alike, none white.
constexpr COLORREF Entry(int i)
{
    return RGB(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 100);
}

CPalette* TestPalette(int entries = 256)
{
    std::vector<BYTE> bytes(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(entries);
    for (int i = 0; i < entries; ++i)
        log->palPalEntry[i] = PALETTEENTRY{GetRValue(Entry(i)), GetGValue(Entry(i)), GetBValue(Entry(i)), 0};
    auto* palette = new CPalette;
    EXPECT_TRUE(palette->CreatePalette(log));
    return palette;
}

// A packed picture: header and colour table in one block, rows in another.
struct Dib {
    std::vector<BYTE> header;
    std::vector<BYTE> bits;
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(header.data()); }
    BITMAPINFOHEADER& Header() { return Info()->bmiHeader; }
};

Dib MakeHeader(int width, int height, int bitCount, size_t tableBytes)
{
    Dib dib;
    dib.header.assign(sizeof(BITMAPINFOHEADER) + tableBytes, 0);
    BITMAPINFOHEADER& h = dib.Header();
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    return dib;
}

// An 8-bit picture from its rows as seen (top first), with `table` as its
// colour table of WORD palette indices.
Dib MakePalDib(const std::vector<std::vector<BYTE>>& shown, bool topDown, const std::vector<WORD>& table)
{
    const int width = static_cast<int>(shown[0].size());
    const int height = static_cast<int>(shown.size());
    Dib dib = MakeHeader(width, topDown ? -height : height, 8, table.size() * sizeof(WORD));
    dib.Header().biClrUsed = static_cast<DWORD>(table.size());
    std::memcpy(dib.header.data() + sizeof(BITMAPINFOHEADER), table.data(), table.size() * sizeof(WORD));
    const size_t stride = DibRowStride(width, 8);
    dib.bits.assign(stride * height, 0xEE);
    for (int r = 0; r < height; ++r) {
        const int stored = topDown ? r : height - 1 - r;
        std::memcpy(dib.bits.data() + stored * stride, shown[r].data(), width);
    }
    return dib;
}

std::vector<WORD> IdentityTable(int entries = 256)
{
    std::vector<WORD> table(entries);
    for (int i = 0; i < entries; ++i)
        table[i] = static_cast<WORD>(i);
    return table;
}

bool SurfacesEqual(const platform::Surface& a, const platform::Surface& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Bits(), b.Bits(), sizeof(uint32_t) * a.Width() * a.Height()) == 0;
}

TEST(Palette, CreationChecksTheEntryCount)
{
    std::vector<BYTE> bytes(sizeof(LOGPALETTE) + 257 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
    log->palVersion = 0x300;
    for (WORD count : {0, 257, 0xFFFF}) {
        log->palNumEntries = count;
        CPalette palette;
        EXPECT_FALSE(palette.CreatePalette(log)) << count;
        EXPECT_EQ(palette.GetEntryCount(), 0u);
    }
    CPalette palette;
    EXPECT_FALSE(palette.CreatePalette(nullptr));
    log->palNumEntries = 256;
    log->palPalEntry[255] = PALETTEENTRY{1, 2, 3, 0};
    EXPECT_TRUE(palette.CreatePalette(log));
    EXPECT_EQ(palette.GetEntryCount(), 256u);
    EXPECT_EQ(palette.ColourOf(255), RGB(1, 2, 3));
    EXPECT_FALSE(palette.CreatePalette(log));  // already created
    EXPECT_TRUE(palette.DeleteObject());
    EXPECT_EQ(palette.GetEntryCount(), 0u);
    EXPECT_EQ(palette.ColourOf(0), kBlack);
}

TEST(Palette, EntriesAreCopiedOnlyWhereTheyExist)
{
    std::unique_ptr<CPalette> palette(TestPalette(10));
    PALETTEENTRY out[4] = {};
    struct Case {
        UINT start, count, copied;
    };
    for (const Case& c : {Case{0, 4, 4}, Case{8, 4, 2}, Case{10, 1, 0}, Case{0xFFFFFFFF, 4, 0}, Case{9, 0xFFFFFFFF, 1}}) {
        SCOPED_TRACE(testing::Message() << c.start << "+" << c.count);
        std::memset(out, 0xAB, sizeof out);
        ASSERT_EQ(palette->GetPaletteEntries(c.start, c.count, out), c.copied);
        for (UINT i = 0; i < c.copied; ++i)
            EXPECT_EQ(RGB(out[i].peRed, out[i].peGreen, out[i].peBlue), Entry(static_cast<int>(c.start + i)));
        if (c.copied < 4) {
            EXPECT_EQ(out[c.copied].peRed, 0xAB);
        }
    }
    EXPECT_EQ(palette->GetPaletteEntries(0, 4, nullptr), 10u);
}

TEST(Palette, NearestIndexPrefersTheFirstExactMatch)
{
    // Entry 1 is nearer to (10, 10, 10) than entry 3 is exact to anything
    // else; the duplicate exact entry 4 loses to 3.
    const PALETTEENTRY entries[] = {{0, 0, 0, 0}, {9, 10, 10, 0}, {200, 0, 0, 0}, {12, 12, 12, 0}, {12, 12, 12, 0}};
    std::vector<BYTE> bytes(sizeof(LOGPALETTE) + sizeof entries);
    auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
    log->palNumEntries = 5;
    std::memcpy(log->palPalEntry, entries, sizeof entries);
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(log));
    struct Case {
        COLORREF colour;
        BYTE index;
    };
    for (const Case& c : {Case{RGB(12, 12, 12), 3}, Case{RGB(10, 10, 10), 1}, Case{RGB(255, 0, 0), 2},
                          Case{RGB(1, 1, 1), 0}, Case{PALETTEINDEX(4), 4}}) {
        EXPECT_EQ(palette.GetNearestPaletteIndex(c.colour), c.index) << std::hex << c.colour;
    }
    EXPECT_EQ(NearestIndex(palette, RGB(12, 12, 12)), 3);
    EXPECT_EQ(NearestIndex(CPalette(), RGB(12, 12, 12)), 0);
    EXPECT_EQ(CPalette().GetNearestPaletteIndex(0), CLR_INVALID);
}

TEST(Palette, SelectionAnswersThePreviousAndResolvesIndexColours)
{
    std::unique_ptr<CPalette> palette(TestPalette());
    platform::Surface surface(4, 1, kWhite);
    CDC dc(&surface);
    EXPECT_EQ(dc.SelectPalette(nullptr, FALSE), nullptr);
    CPalette* stock = dc.SelectPalette(palette.get(), FALSE);
    EXPECT_EQ(stock, CPalette::DefaultPalette());
    EXPECT_EQ(dc.RealizePalette(), 256u);

    EXPECT_EQ(dc.SetPixel(0, 0, PALETTEINDEX(40)), Entry(40));
    EXPECT_EQ(dc.SetPixel(1, 0, PALETTEINDEX(999)), kBlack);
    EXPECT_EQ(dc.SetPixel(2, 0, PALETTERGB(1, 2, 3)), RGB(1, 2, 3));
    // A pen of an index colour follows the palette selected.
    CPen pen(PS_SOLID, 1, PALETTEINDEX(7));
    dc.SelectObject(&pen);
    dc.MoveTo(3, 0);
    dc.LineTo(4, 0);
    EXPECT_EQ(dc.GetPixel(3, 0), Entry(7));
    EXPECT_EQ(dc.SelectPalette(stock, FALSE), palette.get());
    dc.MoveTo(3, 0);
    dc.LineTo(4, 0);
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(192, 192, 192));  // entry 7 of the default palette
}

// A picture drawn as the bricks draw theirs: one StretchDIBits call per run of
// the paint region, each a row of the picture from the run's first pixel, with
// the header shrunk to that run.
TEST(DibRows, DrawnRunByRunLandTheirPaletteColoursInPlace)
{
    constexpr int kWidth = 7;
    constexpr int kHeight = 5;
    constexpr int kLeft = 3;
    constexpr int kTop = 2;
    constexpr int kColour = 2;  // blue: shades 0..8 are entries 35 down to 27

    std::vector<std::vector<BYTE>> shown(kHeight, std::vector<BYTE>(kWidth));
    for (int r = 0; r < kHeight; ++r)
        for (int c = 0; c < kWidth; ++c)
            shown[r][c] = static_cast<BYTE>((r * kWidth + c) % 12);
    std::vector<WORD> table = IdentityTable();
    for (int s = 0; s <= 8; ++s)
        table[s] = static_cast<WORD>(17 + 9 * kColour - s);
    Dib dib = MakePalDib(shown, false, table);
    // The top row ends the bytes, without its padding: a read past a run's
    // pixels would leave the block.
    const size_t stride = DibRowStride(kWidth, 8);
    dib.bits.resize(stride * (kHeight - 1) + kWidth);

    struct Run {
        int row, x0, x1;  // picture row as seen, columns [x0, x1)
    };
    const Run runs[] = {{0, 2, 5}, {1, 1, 6}, {2, 0, 7}, {3, 0, 3}, {3, 4, 7}, {4, 3, 4}, {4, 6, 7}};

    std::unique_ptr<CPalette> palette(TestPalette());
    platform::Surface surface(12, 9, kWhite);
    CDC dc(&surface);
    dc.SelectPalette(palette.get(), FALSE);
    BITMAPINFOHEADER& header = dib.Header();
    const BITMAPINFOHEADER saved = header;
    for (const Run& run : runs) {
        header.biWidth = run.x1 - run.x0;
        header.biHeight = 1;
        const BYTE* row = dib.bits.data() + (kHeight - 1 - run.row) * stride + run.x0;
        EXPECT_EQ(dc.StretchDIBits(kLeft + run.x0, kTop + run.row, run.x1 - run.x0, 1, 0, 0, run.x1 - run.x0, 1, row,
                                   dib.Info(), DIB_PAL_COLORS, SRCCOPY),
                  1);
    }
    header = saved;

    std::vector<int> expected(surface.Width() * surface.Height(), -1);
    for (const Run& run : runs)
        for (int c = run.x0; c < run.x1; ++c)
            expected[(kTop + run.row) * surface.Width() + kLeft + c] = table[shown[run.row][c]];
    const std::vector<BYTE> indices = platform::ReadIndices(surface, *palette);
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            const int want = expected[y * surface.Width() + x];
            if (want < 0)
                EXPECT_EQ(surface.GetPixel(x, y), kWhite) << x << "," << y;
            else
                EXPECT_EQ(indices[y * surface.Width() + x], want) << x << "," << y;
        }
    }
    // Shade 0 of blue at (5, 1) of the picture; value 9 at (2, 1) is entry 9.
    EXPECT_EQ(surface.GetPixel(kLeft + 5, kTop + 1), Entry(35));
    EXPECT_EQ(surface.GetPixel(kLeft + 2, kTop + 1), Entry(9));
}

// Rows 'top', 'middle', 'bottom' of a 2 x 3 picture hold 10, 20, 30 (+ column).
TEST(StretchDIBits, SourceRowsCountFromTheFirstRowStored)
{
    const std::vector<std::vector<BYTE>> shown = {{10, 11}, {20, 21}, {30, 31}};
    struct Case {
        bool topDown;
        int ySrc, rows;
        std::vector<int> shownRows;  // what lands on the surface, top first
    };
    const Case cases[] = {
        {false, 0, 3, {10, 20, 30}}, {false, 0, 2, {20, 30}}, {false, 1, 2, {10, 20}}, {false, 0, 1, {30}},
        {false, 2, 1, {10}},         {true, 0, 3, {10, 20, 30}}, {true, 0, 2, {10, 20}},  {true, 1, 2, {20, 30}},
        {true, 2, 1, {30}},
    };
    std::unique_ptr<CPalette> palette(TestPalette());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.topDown ? "top-down" : "bottom-up") << " ySrc " << c.ySrc << " rows "
                                        << c.rows);
        Dib dib = MakePalDib(shown, c.topDown, IdentityTable());
        platform::Surface surface(2, 4, kWhite);
        CDC dc(&surface);
        dc.SelectPalette(palette.get(), FALSE);
        EXPECT_EQ(dc.StretchDIBits(0, 0, 2, c.rows, 0, c.ySrc, 2, c.rows, dib.bits.data(), dib.Info(),
                                   DIB_PAL_COLORS, SRCCOPY),
                  c.rows);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 2; ++x) {
                const COLORREF want =
                    y < static_cast<int>(c.shownRows.size()) ? Entry(c.shownRows[y] + x) : kWhite;
                EXPECT_EQ(surface.GetPixel(x, y), want) << x << "," << y;
            }
        }
    }
}

TEST(StretchDIBits, EveryDepthReadsItsOwnPixelLayout)
{
    const COLORREF red = RGB(200, 0, 0);
    const COLORREF green = RGB(0, 200, 0);
    const COLORREF blue = RGB(0, 0, 200);
    struct Case {
        int bitCount;
        std::vector<RGBQUAD> table;
        std::vector<BYTE> row;  // one row of three pixels, padded
        COLORREF want[3];
    };
    const std::vector<RGBQUAD> rgb = {{0, 0, 200, 0}, {0, 200, 0, 0}, {200, 0, 0, 0}};  // red, green, blue
    const Case cases[] = {
        {1, {rgb[0], rgb[1]}, {0b01000000, 0, 0, 0}, {red, green, red}},
        {4, rgb, {0x21, 0x00, 0, 0}, {blue, green, red}},
        {8, rgb, {2, 0, 1, 0}, {blue, red, green}},
        {16, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}},
        {24, {}, {0, 0, 200, 0, 200, 0, 200, 0, 0, 0, 0, 0}, {red, green, blue}},
        {32, {}, {0, 0, 200, 9, 0, 200, 0, 9, 200, 0, 0, 9}, {red, green, blue}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitCount);
        Dib dib = MakeHeader(3, 1, c.bitCount, c.table.size() * sizeof(RGBQUAD));
        dib.Header().biClrUsed = static_cast<DWORD>(c.table.size());
        if (!c.table.empty())
            std::memcpy(dib.header.data() + sizeof(BITMAPINFOHEADER), c.table.data(), c.table.size() * sizeof(RGBQUAD));
        ASSERT_EQ(c.row.size(), DibRowStride(3, c.bitCount));
        platform::Surface surface(3, 1, kWhite);
        CDC dc(&surface);
        EXPECT_EQ(dc.StretchDIBits(0, 0, 3, 1, 0, 0, 3, 1, c.row.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY), 1);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(surface.GetPixel(x, 0), c.want[x]) << x;
    }
}

TEST(StretchDIBits, IndicesOutsideTheTableOrThePaletteDrawBlack)
{
    // Pixel 3 is past the three-entry table; table entries 1 and 2 are past
    // the sixteen-entry palette.
    Dib dib = MakePalDib({{0, 1, 2, 3}}, false, {5, 16, 0xFFFF});
    std::unique_ptr<CPalette> palette(TestPalette(16));
    CPalette empty;
    std::unique_ptr<CPalette> deleted(TestPalette());
    deleted->DeleteObject();
    struct Case {
        CPalette* palette;
        COLORREF want[4];
    };
    for (const Case& c : {Case{palette.get(), {Entry(5), kBlack, kBlack, kBlack}},
                          Case{&empty, {kBlack, kBlack, kBlack, kBlack}},
                          Case{deleted.get(), {kBlack, kBlack, kBlack, kBlack}}}) {
        platform::Surface surface(4, 1, kWhite);
        CDC dc(&surface);
        dc.SelectPalette(c.palette, FALSE);
        EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 1, 0, 0, 4, 1, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCCOPY), 1);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(surface.GetPixel(x, 0), c.want[x]) << x;
    }
}

TEST(StretchDIBits, StretchesAndMirrorsByNearestPixel)
{
    // One row 0 1 2 (entries 0, 1, 2) drawn into a row of the surface.
    Dib dib = MakePalDib({{0, 1, 2}}, false, IdentityTable());
    struct Case {
        int xDest, destWidth, xSrc, srcWidth;
        std::string want;  // surface row: '.' untouched, digits source columns
    };
    const Case cases[] = {
        {0, 3, 0, 3, "012...."},  {0, 6, 0, 3, "001122."}, {0, 7, 0, 3, "0011122"}, {0, 2, 0, 3, "02....."},
        {0, 1, 0, 3, "1......"},  {3, -3, 0, 3, "210...."}, {0, 3, 3, -3, "210...."}, {3, -3, 3, -3, "012...."},
        {0, 4, -1, 4, ".012..."}, {0, 3, 1, 3, "12....."}, {0, 6, 1, 2, "111222."},
    };
    std::unique_ptr<CPalette> palette(TestPalette());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.xDest << "," << c.destWidth << " from " << c.xSrc << "," << c.srcWidth);
        platform::Surface surface(7, 1, kWhite);
        CDC dc(&surface);
        dc.SelectPalette(palette.get(), FALSE);
        EXPECT_EQ(dc.StretchDIBits(c.xDest, 0, c.destWidth, 1, c.xSrc, 0, c.srcWidth, 1, dib.bits.data(), dib.Info(),
                                   DIB_PAL_COLORS, SRCCOPY),
                  1);
        std::string got;
        for (int x = 0; x < 7; ++x) {
            const COLORREF p = surface.GetPixel(x, 0);
            got += p == kWhite ? '.' : static_cast<char>('0' + NearestIndex(*palette, p));
        }
        EXPECT_EQ(got, c.want);
    }

    // Rows stretch the same way, and a negative height turns the picture over.
    Dib tall = MakePalDib({{0}, {1}}, false, IdentityTable());
    platform::Surface surface(1, 4, kWhite);
    CDC dc(&surface);
    dc.SelectPalette(palette.get(), FALSE);
    dc.StretchDIBits(0, 0, 1, 4, 0, 0, 1, 2, tall.bits.data(), tall.Info(), DIB_PAL_COLORS, SRCCOPY);
    EXPECT_EQ(platform::ReadIndices(surface, *palette), (std::vector<BYTE>{0, 0, 1, 1}));
    dc.StretchDIBits(0, 4, 1, -4, 0, 0, 1, 2, tall.bits.data(), tall.Info(), DIB_PAL_COLORS, SRCCOPY);
    EXPECT_EQ(platform::ReadIndices(surface, *palette), (std::vector<BYTE>{1, 1, 0, 0}));
}

TEST(StretchDIBits, IsClippedToTheSurfaceAndTheClipRectangle)
{
    std::vector<std::vector<BYTE>> shown(6, std::vector<BYTE>(9));
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 9; ++c)
            shown[r][c] = static_cast<BYTE>(r * 9 + c);
    Dib dib = MakePalDib(shown, false, IdentityTable());
    std::unique_ptr<CPalette> palette(TestPalette());

    struct Case {
        int x, y, width, height;  // destination, stretched from the 9 x 6 picture
        RECT clip;                // device pixels
    };
    const Case cases[] = {
        {-4, -3, 9, 6, {1, 1, 5, 4}}, {5, 4, 9, 6, {0, 0, 10, 8}},   {-20, 2, 40, 3, {3, 0, 4, 8}},
        {2, 2, 9, 6, {6, 5, 9, 9}},   {0, 0, 18, 12, {-5, -5, 3, 2}}, {1, 1, 9, 6, {4, 4, 4, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        // The picture drawn on a surface large enough to hold all of it.
        platform::Surface whole(64, 64, kWhite);
        CDC wholeDc(&whole);
        wholeDc.SelectPalette(palette.get(), FALSE);
        wholeDc.SetViewportOrg(30, 30);
        wholeDc.StretchDIBits(c.x, c.y, c.width, c.height, 0, 0, 9, 6, dib.bits.data(), dib.Info(), DIB_PAL_COLORS,
                              SRCCOPY);

        platform::Surface surface(10, 8, kWhite);
        CDC dc(&surface);
        dc.SelectPalette(palette.get(), FALSE);
        dc.SelectClipRect(&c.clip);
        EXPECT_EQ(dc.StretchDIBits(c.x, c.y, c.width, c.height, 0, 0, 9, 6, dib.bits.data(), dib.Info(),
                                   DIB_PAL_COLORS, SRCCOPY),
                  6);
        for (int y = 0; y < surface.Height(); ++y) {
            for (int x = 0; x < surface.Width(); ++x) {
                const bool inside = x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom;
                EXPECT_EQ(surface.GetPixel(x, y), inside ? whole.GetPixel(x + 30, y + 30) : kWhite) << x << "," << y;
            }
        }
    }
}

TEST(StretchDIBits, RefusesWhatItCannotDrawWithoutTouchingAnything)
{
    // Eight bytes: exactly the rows of the valid 2 x 2 picture; anything read
    // beyond them is a fault the sanitizer reports.
    struct Case {
        const char* what;
        void (*change)(BITMAPINFOHEADER&);
        UINT usage = DIB_PAL_COLORS;
        DWORD rop = SRCCOPY;
    };
    const Case cases[] = {
        {"bit count 12", [](BITMAPINFOHEADER& h) { h.biBitCount = 12; }},
        {"bit count 0", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -2; }},
        {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
        {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
        {"lowest height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
        {"huge height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MAX; h.biWidth = 4; }},
        {"huge width and height", [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = INT32_MAX; }},
        {"huge 32-bit rows", [](BITMAPINFOHEADER& h) { h.biWidth = INT32_MAX; h.biBitCount = 32; }},
        {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
        {"compressed", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
        {"core header size", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
        {"odd header size", [](BITMAPINFOHEADER& h) { h.biSize = 41; }},
        {"unknown usage", [](BITMAPINFOHEADER&) {}, 2},
        {"pattern copy", [](BITMAPINFOHEADER&) {}, DIB_PAL_COLORS, 0x00F00021},
    };
    std::unique_ptr<CPalette> palette(TestPalette());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Dib dib = MakePalDib({{1, 2}, {3, 4}}, false, IdentityTable());
        ASSERT_EQ(dib.bits.size(), 8u);
        c.change(dib.Header());
        platform::Surface surface(4, 4, kWhite);
        CDC dc(&surface);
        dc.SelectPalette(palette.get(), FALSE);
        EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, dib.bits.data(), dib.Info(), c.usage, c.rop), 0);
        if (c.rop == SRCCOPY) {
            EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, dib.bits.data(), dib.Info(), c.usage), 0);
        }
        EXPECT_TRUE(SurfacesEqual(surface, platform::Surface(4, 4, kWhite)));
    }

    Dib dib = MakePalDib({{1, 2}, {3, 4}}, false, IdentityTable());
    platform::Surface surface(4, 4, kWhite);
    CDC dc(&surface);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, nullptr, dib.Info(), DIB_PAL_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, dib.bits.data(), nullptr, DIB_PAL_COLORS, SRCCOPY), 0);
    // Empty rectangles and a source rectangle beside the picture draw nothing.
    EXPECT_EQ(dc.StretchDIBits(0, 0, 0, 2, 0, 0, 2, 2, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 0, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 2, 0, 2, 2, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, -2, 2, 2, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, dib.bits.data(), dib.Info(),
                               DIB_PAL_COLORS, SRCCOPY),
              0);
    EXPECT_TRUE(SurfacesEqual(surface, platform::Surface(4, 4, kWhite)));
}

TEST(StretchDIBits, RasterOperationsCombineSourceAndDestination)
{
    const std::vector<RGBQUAD> table = {{0xCC, 0xCC, 0xCC, 0}};
    Dib dib = MakeHeader(1, 1, 8, sizeof(RGBQUAD));
    dib.Header().biClrUsed = 1;
    std::memcpy(dib.header.data() + sizeof(BITMAPINFOHEADER), table.data(), sizeof(RGBQUAD));
    const BYTE bits[4] = {0, 0, 0, 0};
    struct Case {
        DWORD rop;
        BYTE want;  // with source 0xCC on destination 0xAA
    };
    for (const Case& c : {Case{SRCCOPY, 0xCC}, Case{SRCPAINT, 0xEE}, Case{SRCAND, 0x88}, Case{SRCINVERT, 0x66},
                          Case{SRCERASE, 0x44}, Case{NOTSRCCOPY, 0x33}, Case{NOTSRCERASE, 0x11},
                          Case{MERGEPAINT, 0xBB}, Case{DSTINVERT, 0x55}, Case{BLACKNESS, 0x00},
                          Case{WHITENESS, 0xFF}}) {
        platform::Surface surface(1, 1, RGB(0xAA, 0xAA, 0xAA));
        CDC dc(&surface);
        EXPECT_EQ(dc.StretchDIBits(0, 0, 1, 1, 0, 0, 1, 1, bits, dib.Info(), DIB_RGB_COLORS, c.rop), 1);
        EXPECT_EQ(surface.GetPixel(0, 0), RGB(c.want, c.want, c.want)) << std::hex << c.rop;
    }
}

TEST(SetDIBitsToDevice, DrawsBandsThatMakeUpTheWholePicture)
{
    std::vector<std::vector<BYTE>> shown(5, std::vector<BYTE>(3));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c)
            shown[r][c] = static_cast<BYTE>(r * 3 + c);
    Dib dib = MakePalDib(shown, false, IdentityTable());
    std::unique_ptr<CPalette> palette(TestPalette());
    const size_t stride = DibRowStride(3, 8);

    platform::Surface whole(6, 7, kWhite);
    CDC wholeDc(&whole);
    wholeDc.SelectPalette(palette.get(), FALSE);
    EXPECT_EQ(wholeDc.StretchDIBits(2, 1, 3, 5, 0, 0, 3, 5, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCCOPY), 5);

    platform::Surface banded(6, 7, kWhite);
    CDC dc(&banded);
    dc.SelectPalette(palette.get(), FALSE);
    dc.SetViewportOrg(1, 1);  // the origin maps; the size does not
    struct Band {
        UINT start, count;
        int answer;
    };
    for (const Band& band : {Band{0, 2, 2}, Band{2, 1, 1}, Band{3, 9, 2}}) {
        // Only the band's rows are handed over.
        std::vector<BYTE> rows(dib.bits.begin() + band.start * stride,
                               dib.bits.begin() + std::min<size_t>(band.start + band.count, 5) * stride);
        EXPECT_EQ(dc.SetDIBitsToDevice(1, 0, 3, 5, 0, 0, band.start, band.count, rows.data(), dib.Info(),
                                       DIB_PAL_COLORS),
                  band.answer);
    }
    EXPECT_TRUE(SurfacesEqual(banded, whole));
    EXPECT_EQ(dc.SetDIBitsToDevice(1, 0, 3, 5, 0, 0, 5, 1, dib.bits.data(), dib.Info(), DIB_PAL_COLORS), 0);
}

// Printing scales every run by the same mapping: runs drawn one row at a time
// cover the mapped picture exactly once, and at whole scales they give the
// picture drawn at once.
TEST(StretchDIBits, RunsTileUnderAScalingMapping)
{
    std::vector<std::vector<BYTE>> shown(4, std::vector<BYTE>(5));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            shown[r][c] = static_cast<BYTE>(1 + r * 5 + c);
    Dib dib = MakePalDib(shown, false, IdentityTable());
    std::unique_ptr<CPalette> palette(TestPalette());
    const size_t stride = DibRowStride(5, 8);

    for (int viewport : {2, 3, 4, 5, 6, 7}) {
        SCOPED_TRACE(testing::Message() << "scale " << viewport << "/2");
        auto prepare = [&](CDC& dc) {
            dc.SelectPalette(palette.get(), FALSE);
            dc.SetMapMode(MM_ISOTROPIC);
            dc.SetWindowExt(2, 2);
            dc.SetViewportExt(viewport, viewport);
            dc.SetViewportOrg(1, 2);
        };
        platform::Surface runs(32, 32, kWhite);
        CDC dc(&runs);
        prepare(dc);
        Dib run = dib;
        run.Header().biHeight = 1;
        for (int r = 0; r < 4; ++r) {
            for (auto [x0, x1] : {std::pair{0, 2}, std::pair{2, 5}}) {
                run.Header().biWidth = x1 - x0;
                dc.StretchDIBits(1 + x0, 1 + r, x1 - x0, 1, 0, 0, x1 - x0, 1,
                                 dib.bits.data() + (3 - r) * stride + x0, run.Info(), DIB_PAL_COLORS, SRCINVERT);
            }
        }
        // Inverting copies: a pixel drawn twice would come back white or
        // show the xor of two picture pixels, which no palette entry is.
        RECT r{1, 1, 6, 5};
        dc.LPtoDP(&r);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                const COLORREF p = runs.GetPixel(x, y);
                const COLORREF source = p ^ kWhite;  // SRCINVERT over white
                if (inside)
                    EXPECT_EQ(source, Entry(NearestIndex(*palette, source))) << x << "," << y;
                else
                    EXPECT_EQ(p, kWhite) << x << "," << y;
            }
        }

        if (viewport % 2 == 0) {
            platform::Surface whole(32, 32, kWhite);
            CDC wholeDc(&whole);
            prepare(wholeDc);
            wholeDc.StretchDIBits(1, 1, 5, 4, 0, 0, 5, 4, dib.bits.data(), dib.Info(), DIB_PAL_COLORS, SRCINVERT);
            EXPECT_TRUE(SurfacesEqual(runs, whole));
        }
    }
}

}  // namespace

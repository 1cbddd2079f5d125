#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/brick.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"
#include "tests/model/model_fixture.h"

namespace tk = testkit;

namespace {

constexpr COLORREF kBackground = RGB(1, 2, 3);

// Every entry a different colour, so a drawn pixel names its entry.
COLORREF EntryColour(int i)
{
    return RGB(i, 255 - i, (i * 7) & 0xFF);
}

class ModelPalette {
public:
    ModelPalette()
    {
        std::vector<BYTE> bytes(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
        log->palVersion = 0x300;
        log->palNumEntries = 256;
        for (int i = 0; i < 256; ++i) {
            const COLORREF c = EntryColour(i);
            log->palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        palette.CreatePalette(log);
    }
    CPalette palette;
};

// What the kit's picture shows for `colour` at (x, y) of the picture.
COLORREF ExpectedPixel(int x, int y, LONG colour)
{
    const BYTE value = tk::BuiltInPixels()[static_cast<size_t>(y * 4 + x)];
    return value <= 8 ? EntryColour(17 + 9 * colour - value) : EntryColour(value);
}

bool InMask(int x, int y)
{
    return y < 2 || (y == 2 && (x == 1 || x == 2));
}

}  // namespace

class BrickResourceTest : public ModelTest {
protected:
    // Draws a brick of `colour` with its picture's top-left at (left, top)
    // through `paint`, or its own screen region when none is given.
    platform::Surface DrawBrick(LONG colour, int left, int top, const CRegion* paint = nullptr)
    {
        CBrick* brick = MakeAt(root.get(), 0, 0, 0, tk::kBuiltIn, colour);
        platform::Surface surface(12, 10, kBackground);
        CDC dc(&surface);
        CPalette* old = dc.SelectPalette(&m_palette.palette, FALSE);
        POINT points[6];
        points[0] = {left + 2, top};
        points[1] = {left, top + 1};
        for (int i = 2; i < 6; ++i)
            points[i] = points[1];
        const CRegion own = brick->GetScreenRegion(points);
        const RECT screen{left, top, left + 4, top + 3};
        brick->Draw(&dc, paint ? *paint : own, screen);
        dc.SelectPalette(old, FALSE);
        return surface;
    }

    ModelPalette m_palette;
};

TEST_F(BrickResourceTest, DamagedClassResourcesCountAsMissing)
{
    struct Case {
        SHORT classId;
        bool known;    // a brick can take the class
        bool look;     // its orientation record can be read
        bool picture;  // its picture can be drawn
    };
    const Case cases[] = {
        {tk::kBuiltIn, true, true, true},        {tk::kNoOrientation, true, false, false},
        {tk::kShortClass, false, false, false},  {tk::kNoPoses, false, false, false},
        {tk::kFourBit, true, true, false},       {tk::kCutPicture, true, true, false},
        {tk::kPacked, true, true, false},        {tk::kManyColours, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.classId);
        EXPECT_EQ(services->HasBrickClass(c.classId) != FALSE, c.known);
        CBrick brick(c.classId, nullptr);
        EXPECT_EQ(brick.GetClassId(), c.known ? c.classId : tk::kBuiltIn);
        if (!c.known)
            continue;
        CBox3D box;
        EXPECT_EQ(brick.ReadClassBox(box) != FALSE, c.look);
        EXPECT_EQ(brick.Recalc() != FALSE, c.look);
        EXPECT_EQ(brick.GetPicture() != nullptr, c.picture);
        WORD image = 0;
        WORD region = 0;
        if (brick.ReadPictureRecord(image, region)) {
            HGLOBAL copy = CBrick::LoadImage(services->Module(), image);
            EXPECT_EQ(copy != nullptr, c.picture);
            GlobalFree(copy);
        }
    }
    EXPECT_EQ(CBrick::LoadImage(services->Module(), 9999), nullptr);
    EXPECT_EQ(services->opened, services->released);
}

TEST_F(BrickResourceTest, ColourRampsRunDownFromTheColoursTopEntry)
{
    struct Case {
        int colour;
        WORD first;
        WORD last;
    };
    for (const Case& c : {Case{0, 17, 9}, Case{11, 116, 108}, Case{3, 44, 36}}) {
        WORD table[10] = {};
        table[9] = 0xBEEF;
        CBrick::FillColorRamp(table, CBrick::kFirstShadeEntry + CBrick::kShadeCount * c.colour);
        EXPECT_EQ(table[0], c.first);
        EXPECT_EQ(table[8], c.last);
        EXPECT_EQ(table[4], c.first - 4);
        EXPECT_EQ(table[9], 0xBEEF);
    }
}

TEST_F(BrickResourceTest, ScreenRegionIsTheMaskMovedOrElseTheHexagon)
{
    POINT points[6] = {{20, 5}, {10, 9}, {10, 15}, {20, 19}, {30, 9}, {30, 15}};
    CBrick masked(tk::kBuiltIn, nullptr);
    masked.Recalc();
    const CRegion moved = masked.GetScreenRegion(points);
    EXPECT_EQ(moved.GetLeft(), 10);
    EXPECT_EQ(moved.GetTop(), 5);
    EXPECT_EQ(moved.GetRight(), 14);
    EXPECT_EQ(moved.GetBottom(), 8);
    EXPECT_TRUE(moved.PtInRegion({12, 7}));  // mask (2, 2)
    EXPECT_EQ(masked.GetRegionOrigin().x, 0);

    CBrick plain(tk::kSquare, nullptr);
    plain.Recalc();
    EXPECT_TRUE(plain.GetRegion().IsEmpty());
    CRegion hexagon;
    hexagon.SetPolygon(points);
    const CRegion region = plain.GetScreenRegion(points);
    EXPECT_EQ(region.GetBlockSize(), hexagon.GetBlockSize());
    EXPECT_EQ(std::memcmp(region.GetData(), hexagon.GetData(), hexagon.GetBlockSize()), 0);
}

TEST_F(BrickResourceTest, DrawingPutsTheColoursShadesInsideTheMaskOnly)
{
    for (LONG colour : {0L, 5L, 11L}) {
        SCOPED_TRACE(colour);
        const platform::Surface surface = DrawBrick(colour, 3, 2);
        for (int y = 0; y < surface.Height(); ++y) {
            for (int x = 0; x < surface.Width(); ++x) {
                const int px = x - 3;
                const int py = y - 2;
                const bool inside = px >= 0 && px < 4 && py >= 0 && py < 3 && InMask(px, py);
                const COLORREF expected = inside ? ExpectedPixel(px, py, colour) : kBackground;
                ASSERT_EQ(surface.GetPixel(x, y), expected) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(BrickResourceTest, PaintRegionIsClippedToThePicture)
{
    CRegion wide;
    wide.SetRect(0, 0, 12, 10);
    const platform::Surface surface = DrawBrick(2, 5, 4, &wide);
    int drawn = 0;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            const bool inPicture = x >= 5 && x < 9 && y >= 4 && y < 7;
            if (inPicture)
                EXPECT_EQ(surface.GetPixel(x, y), ExpectedPixel(x - 5, y - 4, 2)) << x << "," << y;
            else
                EXPECT_EQ(surface.GetPixel(x, y), kBackground) << x << "," << y;
            drawn += inPicture;
        }
    }
    EXPECT_EQ(drawn, 12);
}

TEST_F(BrickResourceTest, DrawingLeavesThePictureAndTheResourceAsTheyWere)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0, tk::kBuiltIn, 4);
    const size_t size = GlobalSize(brick->GetPicture());
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(brick->GetPicture()));
    const std::vector<BYTE> before(bytes, bytes + size);
    GlobalUnlock(brick->GetPicture());
    HRSRC resource = FindResourceA(services->Module(), MAKEINTRESOURCE(102), "BRICKIMAGE");
    const auto* kitBytes = static_cast<const BYTE*>(LockResource(LoadResource(services->Module(), resource)));
    const std::vector<BYTE> kitBefore(kitBytes, kitBytes + SizeofResource(services->Module(), resource));

    platform::Surface surface(8, 8);
    CDC dc(&surface);
    dc.SelectPalette(&m_palette.palette, FALSE);
    CRegion all;
    all.SetRect(0, 0, 8, 8);
    brick->Draw(&dc, all, RECT{0, 0, 4, 3});
    dc.SelectPalette(nullptr, FALSE);

    bytes = static_cast<const BYTE*>(GlobalLock(brick->GetPicture()));
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + size), before);
    GlobalUnlock(brick->GetPicture());
    EXPECT_EQ(std::vector<BYTE>(kitBytes, kitBytes + kitBefore.size()), kitBefore);
}

// Drawing runs inside a paint, so the box is shown once a run, not with
// every repaint of every such brick.
TEST_F(BrickResourceTest, MissingPictureDrawsNothingAndWarnsOnce)
{
    CBrick::AllowPictureWarningAgain();
    CBrick* brick = MakeAt(root.get(), 0, 0, 0, tk::kCutPicture);
    CBrick* another = MakeAt(root.get(), 4, 0, 0, tk::kCutPicture);
    ASSERT_EQ(brick->GetPicture(), nullptr);
    platform::Surface surface(8, 8, kBackground);
    CDC dc(&surface);
    dc.SelectPalette(&m_palette.palette, FALSE);
    CRegion all;
    all.SetRect(0, 0, 8, 8);
    for (int i = 0; i < 3; ++i) {
        brick->Draw(&dc, all, RECT{0, 0, 4, 3});
        another->Draw(&dc, all, RECT{0, 0, 4, 3});
    }
    dc.SelectPalette(nullptr, FALSE);
    EXPECT_EQ(messages, std::vector<std::string>{"Scream and Yell"});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(surface.GetPixel(x, y), kBackground);
}

TEST_F(BrickResourceTest, DrawThroughRegionIgnoresRunsOutsideThePicture)
{
    // A hand-made header whose table maps every value to itself.
    alignas(4) BYTE info[sizeof(BITMAPINFOHEADER) + 256 * sizeof(WORD)] = {};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 2;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 256;
    std::memcpy(info, &header, sizeof header);
    for (int i = 0; i < 256; ++i) {
        const WORD index = static_cast<WORD>(i);
        std::memcpy(info + sizeof header + 2 * i, &index, 2);
    }
    const BYTE pixels[8] = {30, 31, 0, 0, 40, 41, 0, 0};  // bottom row first, rows of 4 bytes
    CRegion region;
    region.SetRect(-5, -5, 20, 20);
    platform::Surface surface(6, 6, kBackground);
    CDC dc(&surface);
    dc.SelectPalette(&m_palette.palette, FALSE);
    auto* bitmap = reinterpret_cast<BITMAPINFO*>(info);
    CBrick::DrawThroughRegion(&dc, RECT{1, 1, 3, 3}, 2, 2, bitmap, pixels, region);
    dc.SelectPalette(nullptr, FALSE);
    EXPECT_EQ(surface.GetPixel(1, 1), EntryColour(40));
    EXPECT_EQ(surface.GetPixel(2, 1), EntryColour(41));
    EXPECT_EQ(surface.GetPixel(1, 2), EntryColour(30));
    EXPECT_EQ(surface.GetPixel(2, 2), EntryColour(31));
    EXPECT_EQ(surface.GetPixel(0, 0), kBackground);
    EXPECT_EQ(surface.GetPixel(3, 3), kBackground);
    EXPECT_EQ(bitmap->bmiHeader.biWidth, 2);
    EXPECT_EQ(bitmap->bmiHeader.biHeight, 2);

    CRegion empty;
    CBrick::DrawThroughRegion(&dc, RECT{1, 1, 3, 3}, 2, 2, bitmap, pixels, empty);
}

TEST(BuiltInBrick, ComesFromTheProgramsOwnResources)
{
    SetBrickServices(nullptr);
    CBrick brick;
    ASSERT_TRUE(brick.Recalc());
    EXPECT_EQ(brick.GetWorldBox(), CBox3D(0, 0, 0, 1, 1, 1));
    ASSERT_NE(brick.GetPicture(), nullptr);
    ASSERT_FALSE(brick.GetRegion().IsEmpty());
    brick.SetColorField(11);
    EXPECT_EQ(brick.GetColorIndex(), 11);

    const CRegion& mask = brick.GetRegion();
    const int width = mask.GetRight() + 4;
    const int height = mask.GetBottom() + 4;
    platform::Surface surface(width, height, kBackground);
    ModelPalette palette;
    CDC dc(&surface);
    dc.SelectPalette(&palette.palette, FALSE);
    brick.Draw(&dc, mask, RECT{0, 0, width, height});
    dc.SelectPalette(nullptr, FALSE);
    int drawn = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (surface.GetPixel(x, y) == kBackground)
                continue;
            ++drawn;
            // Rows and runs are half-open; the hit test counts both ends.
            ASSERT_TRUE(mask.PtInRegion({x, y})) << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 0);
}

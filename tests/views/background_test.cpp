#include "views_fixture.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "foundation/notification_codes.h"
#include "platform/core/tick_count.h"
#include "tests/support/scoped_hook.h"

namespace viewstest {
namespace {

// A bitmap file: header fields as given, then the table and rows.
struct Bmp {
    uint32_t headerSize = 40;
    int32_t width = 200;
    int32_t height = 100;
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t colours = 0;
    int rowsMissing = 0;  // pixel rows left out of the file
    const char* magic = "BM";
    BYTE fill = 3;        // every pixel's value
    BYTE red = 200, green = 30, blue = 40;

    std::vector<char> Bytes() const
    {
        const uint64_t tableEntries = bits <= 8 ? (colours ? colours : (1u << bits)) : colours;
        const uint64_t stride = (static_cast<uint64_t>(width > 0 ? width : 0) * bits + 31) / 32 * 4;
        const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
        std::vector<char> out;
        auto put = [&out](uint64_t value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                out.push_back(static_cast<char>(value >> (8 * i)));
        };
        out.push_back(magic[0]);
        out.push_back(magic[1]);
        put(0, 4), put(0, 4), put(14 + headerSize + 4 * tableEntries, 4);
        put(headerSize, 4), put(static_cast<uint32_t>(width), 4), put(static_cast<uint32_t>(height), 4);
        put(planes, 2), put(bits, 2), put(compression, 4), put(0, 4), put(0, 4), put(0, 4), put(colours, 4),
            put(0, 4);
        for (uint32_t i = 40; i < headerSize; ++i)
            out.push_back(0);
        for (uint64_t i = 0; i < tableEntries && tableEntries <= 4096; ++i) {
            out.push_back(static_cast<char>(blue));
            out.push_back(static_cast<char>(green));
            out.push_back(static_cast<char>(red));
            out.push_back(0);
        }
        if (rows > static_cast<uint64_t>(rowsMissing))
            out.insert(out.end(), stride * (rows - rowsMissing), static_cast<char>(fill));
        return out;
    }
};

class Background : public PaneTest {
protected:
    std::string File(const std::string& name, const std::vector<char>& bytes)
    {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        PaneTest::TearDown();
    }
    std::filesystem::path folder = [] {
        auto f = std::filesystem::temp_directory_path() / ("dizado-background-" + std::to_string(getpid()));
        std::filesystem::create_directories(f);
        return f;
    }();
};

TEST_F(Background, PicturesAreCheckedBeforeUse)
{
    struct Case {
        const char* name;
        Bmp bmp;
        bool good;
    };
    auto with = [](auto change) {
        Bmp b;
        change(b);
        return b;
    };
    const Case cases[] = {
        {"good 8-bit", Bmp{}, true},
        {"top-down", with([](Bmp& b) { b.height = -100; }), true},
        {"24-bit", with([](Bmp& b) { b.bits = 24; }), true},
        {"1-bit", with([](Bmp& b) { b.bits = 1; }), true},
        {"larger header", with([](Bmp& b) { b.headerSize = 124; }), true},
        {"not BM", with([](Bmp& b) { b.magic = "MB"; }), false},
        {"header of 12", with([](Bmp& b) { b.headerSize = 12; }), false},
        {"two planes", with([](Bmp& b) { b.planes = 2; }), false},
        {"7 bits", with([](Bmp& b) { b.bits = 7; }), false},
        {"zero width", with([](Bmp& b) { b.width = 0; }), false},
        {"negative width", with([](Bmp& b) { b.width = -5; }), false},
        {"zero height", with([](Bmp& b) { b.height = 0; }), false},
        {"compressed", with([](Bmp& b) { b.compression = 1; }), false},
        {"table past 256", with([](Bmp& b) { b.colours = 300; }), false},
        {"rows cut short", with([](Bmp& b) { b.rowsMissing = 1; }), false},
        {"huge width", with([](Bmp& b) { b.width = 0x7FFFFFFF, b.rowsMissing = 100; }), false},
    };
    for (const Case& c : cases) {
        HGLOBAL picture = ReadDIBFile(File("picture.bmp", c.bmp.Bytes()).c_str());
        EXPECT_EQ(picture != nullptr, c.good) << c.name;
        if (picture)
            GlobalFree(picture);
    }
    EXPECT_EQ(ReadDIBFile(File("short.bmp", {'B', 'M', 0, 0}).c_str()), nullptr);
    EXPECT_EQ(ReadDIBFile((folder / "missing.bmp").c_str()), nullptr);
    EXPECT_EQ(ReadDIBFile(folder.c_str()), nullptr) << "a folder is no picture";
}

TEST_F(Background, PictureIsCentredOnTheOriginAndThirtyPixelsBelowIt)
{
    doc.SetBaseplateSize(0, 0);
    doc.ChangeBackgroundImage(File("sky.bmp", Bmp{}.Bytes()).c_str());
    ASSERT_NE(pane.GetBackgroundPicture(), nullptr);
    const RECT r = pane.GetBackgroundRect();
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 220);
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 320);
    const platform::Surface s = Paint(CBrickPane::DrawMode::fast);
    EXPECT_EQ(s.GetPixel(120, 220), RGB(200, 30, 40));
    EXPECT_EQ(s.GetPixel(319, 319), RGB(200, 30, 40));
    EXPECT_EQ(s.GetPixel(320, 319), RGB(0, 0, 0));
    // A bad file leaves the colour alone; an empty path frees the picture.
    doc.ChangeBackgroundImage(File("bad.bmp", {'B', 'M', 1, 2, 3}).c_str());
    EXPECT_EQ(pane.GetBackgroundPicture(), nullptr);
    doc.ChangeBackgroundImage(File("sky.bmp", Bmp{}.Bytes()).c_str());
    doc.ChangeBackgroundImage("");
    EXPECT_EQ(pane.GetBackgroundPicture(), nullptr);
}

TEST_F(Background, TilesCoverTheAreaAndStayAnchored)
{
    doc.SetBaseplateSize(0, 0);
    Bmp tile;
    tile.width = 64;
    tile.height = 64;
    doc.ChangeBackgroundImage(File("tile.bmp", tile.Bytes()).c_str());
    doc.ChangeTiled(TRUE);
    const platform::Surface whole = Paint(CBrickPane::DrawMode::fast);
    for (int y = 0; y < kHeight; y += 5)
        for (int x = 0; x < kWidth; x += 5)
            ASSERT_EQ(whole.GetPixel(x, y), RGB(200, 30, 40));
    // A strip drawn alone puts its tiles where the whole drawing does.
    Bmp striped = tile;
    striped.height = 65;
    doc.ChangeBackgroundImage(File("striped.bmp", striped.Bytes()).c_str());
    const platform::Surface full = Paint(CBrickPane::DrawMode::fast);
    const RECT strip{37, 101, 301, 143};
    EXPECT_TRUE(SamePixels(Paint(CBrickPane::DrawMode::fast, &strip), [&] {
        platform::Surface s(kWidth, kHeight, RGB(1, 2, 3));
        for (int y = strip.top; y < strip.bottom; ++y)
            for (int x = strip.left; x < strip.right; ++x)
                s.SetPixel(x, y, full.GetPixel(x, y));
        return s;
    }()));
    // Tiles narrower than 64 pixels are not drawn.
    Bmp narrow;
    narrow.width = 63;
    narrow.height = 200;
    doc.ChangeBackgroundImage(File("narrow.bmp", narrow.Bytes()).c_str());
    const platform::Surface none = Paint(CBrickPane::DrawMode::fast);
    for (int y = 0; y < kHeight; y += 5)
        for (int x = 0; x < kWidth; x += 5)
            ASSERT_EQ(none.GetPixel(x, y), RGB(0, 0, 0));
}

// The outline blinks on idle ticks: more than 100 ms after the last flip,
// measured as an unsigned difference so that the counter's wrap is no stop.
TEST_F(PaneTest, OutlineBlinksOnIdleTicksAcrossTheClockWrap)
{
    DWORD now = 0xFFFFFF80u;
    ScopedHook clock(platform::SetTickSource, [&now] { return now; });
    CBlinker& blinker = pane.GetBlinker();
    CBrick* brick = Add(1, 1, 0);
    pane.OnBlinkTick();
    EXPECT_EQ(blinker.GetPhase(), 0) << "nothing selected, nothing blinks";
    brick->SetSelected(TRUE);
    EXPECT_TRUE(blinker.IsShown());
    EXPECT_EQ(blinker.GetPhase(), 0);
    pane.OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);  // long after construction: a flip
    EXPECT_EQ(blinker.GetPhase(), 1);
    const DWORD start = now;
    now = start + 100;
    pane.OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);
    EXPECT_EQ(blinker.GetPhase(), 1);
    now = start + 101;
    pane.OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);
    EXPECT_EQ(blinker.GetPhase(), 0);
    now = start + 101 + 150;  // past the wrap of the 32-bit counter
    ASSERT_LT(now, start);
    pane.OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);
    EXPECT_EQ(blinker.GetPhase(), 1);
}

// The paint ends with the outline in the current phase: inverted pixels in
// phase 0, none in phase 1; printing never draws it.
TEST_F(PaneTest, PaintDrawsTheOutlineInItsPhase)
{
    CBrick* brick = Add(1, 1, 0);
    const platform::Surface plain = Paint(CBrickPane::DrawMode::fast);
    brick->SetSelected(TRUE);
    const platform::Surface outlined = Paint(CBrickPane::DrawMode::fast);
    CRegion region;
    pane.BuildBrickRegion(&region, brick);
    const RECT& b = region.GetBounds();
    int inverted = 0;
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            if (outlined.GetPixel(x, y) != plain.GetPixel(x, y)) {
                ASSERT_EQ(outlined.GetPixel(x, y), plain.GetPixel(x, y) ^ 0xFFFFFF);
                ++inverted;
            }
    EXPECT_GT(inverted, 50);
    DWORD now = GetTickCount() + 1000;
    platform::TickSource previous = platform::SetTickSource([&now] { return now; });
    pane.OnBlinkTick();
    EXPECT_EQ(pane.GetBlinker().GetPhase(), 1);
    EXPECT_TRUE(SamePixels(Paint(CBrickPane::DrawMode::fast), plain));
    platform::SetTickSource(previous);
}

}  // namespace
}  // namespace viewstest

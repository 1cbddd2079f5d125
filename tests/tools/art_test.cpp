// The picture generator's steps: SVG rasterising, mapping onto a palette, the
// files written and the description read.
#include "tools/art.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "platform/gdi/cursor_resource.h"
#include "platform/gdi/svg/render_svg.h"

namespace {

using platform::ArgbImage;
using tools::IndexedPicture;
using tools::Palette;
using tools::Rgb;

uint32_t Get16(const std::string& b, size_t at)
{
    return static_cast<unsigned char>(b.at(at)) | (static_cast<unsigned char>(b.at(at + 1)) << 8);
}
uint32_t Get32(const std::string& b, size_t at)
{
    return Get16(b, at) | (Get16(b, at + 2) << 16);
}

TEST(RenderSvg, FillsTheSizeAskedFor)
{
    // Drawn in a 4 x 2 box, rendered twice as large: the red left half covers
    // columns 0 .. 3.
    const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 4 2">
        <rect x="0" y="0" width="2" height="2" fill="#ff0000"/></svg>)";
    ArgbImage image;
    std::string error;
    ASSERT_TRUE(platform::RenderSvg(svg, 8, 4, image, error)) << error;
    ASSERT_EQ(image.width, 8);
    ASSERT_EQ(image.height, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(image.At(x, y), x < 4 ? 0xFFFF0000u : 0u) << "(" << x << ", " << y << ")";
}

TEST(RenderSvg, RefusesWhatItCannotDraw)
{
    ArgbImage image;
    std::string error;
    EXPECT_FALSE(platform::RenderSvg("not a picture", 8, 8, image, error));
    EXPECT_FALSE(error.empty());
    const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1 1"/>)";
    for (int size : {0, -1, 4097})
        EXPECT_FALSE(platform::RenderSvg(svg, size, 8, image, error)) << size;
}

// Black, white, red, pink, then blue throughout.
Palette SmallPalette()
{
    Palette p;
    p.entries.fill(Rgb{0, 0, 255});
    p.entries[0] = Rgb{0, 0, 0};
    p.entries[1] = Rgb{255, 255, 255};
    p.entries[2] = Rgb{255, 0, 0};
    p.entries[3] = Rgb{255, 128, 128};
    return p;
}

ArgbImage Row(std::initializer_list<uint32_t> pixels)
{
    ArgbImage image;
    image.width = static_cast<int>(pixels.size());
    image.height = 1;
    image.pixels = pixels;
    return image;
}

TEST(PaletteMapping, TakesTheNearestAndTheFirstOfEquals)
{
    const Palette p = SmallPalette();
    EXPECT_EQ(tools::NearestEntry(p, Rgb{250, 10, 10}), 2);
    EXPECT_EQ(tools::NearestEntry(p, Rgb{240, 140, 130}), 3);
    EXPECT_EQ(tools::NearestEntry(p, Rgb{0, 0, 255}), 4);
    EXPECT_EQ(tools::NearestEntry(p, Rgb{30, 30, 30}), 0);
}

TEST(PaletteMapping, OnABackgroundEdgesBlendIntoIt)
{
    const IndexedPicture picture =
        tools::OnBackground(Row({0xFFFF0000, 0x80FF0000, 0x00FF0000, 0x00000000}), SmallPalette(), 1);
    EXPECT_EQ(picture.pixels, (std::vector<uint8_t>{2, 3, 1, 1}));
    EXPECT_EQ(picture.covered, (std::vector<uint8_t>{1, 1, 0, 0}));
}

TEST(PaletteMapping, CutOutKeepsColoursAndDropsWhatIsLessThanHalfCovered)
{
    const IndexedPicture picture =
        tools::CutOut(Row({0xFFFF0000, 0x80FF0000, 0x7FFF0000, 0x00FFFFFF}), SmallPalette(), 7);
    EXPECT_EQ(picture.pixels, (std::vector<uint8_t>{2, 2, 7, 7}));
    EXPECT_EQ(picture.covered, (std::vector<uint8_t>{1, 1, 0, 0}));
}

IndexedPicture Picture(int width, int height, std::vector<uint8_t> pixels, std::vector<uint8_t> covered)
{
    IndexedPicture p;
    p.width = width;
    p.height = height;
    p.pixels = std::move(pixels);
    p.covered = std::move(covered);
    return p;
}

TEST(PictureFiles, BitmapRowsRunBottomUpPaddedToFourBytes)
{
    const std::string b =
        tools::BitmapFileBytes(Picture(3, 2, {1, 2, 3, 4, 5, 6}, std::vector<uint8_t>(6, 1)), SmallPalette());
    const size_t pixelsAt = 14 + 40 + 1024;
    ASSERT_EQ(b.size(), pixelsAt + 8);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(Get32(b, 2), b.size());
    EXPECT_EQ(Get32(b, 10), pixelsAt);
    EXPECT_EQ(Get32(b, 18), 3u);
    EXPECT_EQ(Get32(b, 22), 2u);
    EXPECT_EQ(Get16(b, 28), 8u);
    EXPECT_EQ(Get32(b, 46), 256u);
    EXPECT_EQ(Get32(b, 14 + 40 + 4 * 2), 0x00FF0000u);  // red as blue, green, red, 0
    EXPECT_EQ(b.substr(pixelsAt), std::string("\4\5\6\0\1\2\3\0", 8));
}

TEST(PictureFiles, ShrinkAveragesTheAreaEachPixelCovers)
{
    // 4 x 2 to 2 x 1: a red and a blue square, the blue one half see-through,
    // whose colour still counts whole; 3 x 1 to 2 x 1 takes one then two pixels.
    ArgbImage art;
    art.width = 4;
    art.height = 2;
    art.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x000000FF,
                  0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00FFFFFF};
    const ArgbImage small = tools::Shrink(art, 2, 1);
    ASSERT_EQ(small.width, 2);
    ASSERT_EQ(small.height, 1);
    EXPECT_EQ(small.pixels, (std::vector<uint32_t>{0xFF808000, 0x800000FF}));
    EXPECT_EQ(tools::Shrink(Row({0xFF000000, 0xFFFF0000, 0xFF0000FF}), 2, 1).pixels,
              (std::vector<uint32_t>{0xFF000000, 0xFF800080}));
}

// A background's thumbnail is exactly what the program writes beside a model.
TEST(PictureFiles, PreviewIsAnEightyBySixtyModelPreview)
{
    ArgbImage art;
    art.width = 160;
    art.height = 120;
    art.pixels.assign(160 * 120, 0xFFFF0000);
    for (int y = 60; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            art.pixels[static_cast<size_t>(y) * 160 + static_cast<size_t>(x)] = 0xFF000000;
    const std::string b = tools::PreviewFileBytes(art, SmallPalette());
    ASSERT_EQ(b.size(), 5878u);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(Get32(b, 2), 5878u);
    EXPECT_EQ(Get32(b, 10), 1078u);
    EXPECT_EQ(Get32(b, 18), 80u);
    EXPECT_EQ(Get32(b, 22), 60u);
    EXPECT_EQ(Get16(b, 26), 1u);
    EXPECT_EQ(Get16(b, 28), 8u);
    EXPECT_EQ(Get32(b, 34), 4800u);
    EXPECT_EQ(Get32(b, 38), 0u);
    EXPECT_EQ(Get32(b, 42), 0u);
    EXPECT_EQ(Get32(b, 46), 256u);
    // Bottom-up: the black lower half first, the red upper half last.
    EXPECT_EQ(b[1078], 0);
    EXPECT_EQ(b[5877], 2);
}

// What windres makes of a cursor file: the hot spot before the image.
std::string ResourceImage(const std::string& cursorFile)
{
    return cursorFile.substr(10, 4) + cursorFile.substr(Get32(cursorFile, 18));
}

TEST(PictureFiles, CursorDecodesToTheDrawingWithItsHotSpot)
{
    // 3 x 2: red, pink, nothing / nothing, white, black.
    const IndexedPicture picture = Picture(3, 2, {2, 3, 9, 9, 1, 0}, {1, 1, 0, 0, 1, 1});
    const std::string file = tools::CursorFileBytes(picture, SmallPalette(), 1, 1);
    ASSERT_GE(file.size(), 22u);
    EXPECT_EQ(Get16(file, 2), 2u);  // cursors
    EXPECT_EQ(Get16(file, 4), 1u);
    EXPECT_EQ(static_cast<unsigned char>(file[6]), 3u);
    EXPECT_EQ(static_cast<unsigned char>(file[7]), 2u);
    EXPECT_EQ(Get32(file, 14) + 22, file.size());

    const std::string image = ResourceImage(file);
    const std::optional<platform::CursorPicture> c = platform::DecodeCursorImage(image.data(), image.size());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->hotSpot.x, 1);
    EXPECT_EQ(c->hotSpot.y, 1);
    EXPECT_EQ(c->invertedPixels, 0);
    EXPECT_EQ(c->image.pixels,
              (std::vector<uint32_t>{0xFFFF0000, 0xFFFF8080, 0, 0, 0xFFFFFFFF, 0xFF000000}));
}

// What windres makes of an icon file: one RT_ICON image per directory entry,
// which the window layer decodes like a cursor's image after its hot spot.
TEST(PictureFiles, IconHoldsOneImageASize)
{
    const IndexedPicture large = Picture(3, 2, {2, 3, 9, 9, 1, 0}, {1, 1, 0, 0, 1, 1});
    const IndexedPicture small = Picture(1, 1, {2}, {1});
    const std::string file = tools::IconFileBytes({large, small}, SmallPalette());
    ASSERT_GE(file.size(), 6u + 2 * 16);
    EXPECT_EQ(Get16(file, 2), 1u);  // icons
    ASSERT_EQ(Get16(file, 4), 2u);
    const std::vector<uint32_t> expected[] = {
        {0xFFFF0000, 0xFFFF8080, 0, 0, 0xFFFFFFFF, 0xFF000000},
        {0xFFFF0000},
    };
    size_t end = 6 + 2 * 16;
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<unsigned char>(file[entry]), i == 0 ? 3u : 1u);
        EXPECT_EQ(static_cast<unsigned char>(file[entry + 1]), i == 0 ? 2u : 1u);
        EXPECT_EQ(Get16(file, entry + 4), 1u);  // planes
        EXPECT_EQ(Get16(file, entry + 6), 8u);  // bits a pixel
        const uint32_t bytes = Get32(file, entry + 8);
        const uint32_t offset = Get32(file, entry + 12);
        EXPECT_EQ(offset, end);
        end = offset + bytes;
        ASSERT_LE(end, file.size());
        const std::string image = std::string(4, '\0') + file.substr(offset, bytes);
        const std::optional<platform::CursorPicture> c = platform::DecodeCursorImage(image.data(), image.size());
        ASSERT_TRUE(c);
        EXPECT_EQ(c->invertedPixels, 0);
        EXPECT_EQ(c->image.pixels, expected[i]);
    }
    EXPECT_EQ(end, file.size());
    EXPECT_TRUE(tools::IconFileBytes({}, SmallPalette()).empty());
}

TEST(PictureFiles, CursorNeedsBlackInThePalette)
{
    Palette p = SmallPalette();
    p.entries[0] = Rgb{1, 0, 0};
    EXPECT_TRUE(tools::CursorFileBytes(Picture(1, 1, {1}, {1}), p, 0, 0).empty());
}

class ArtDescription : public ::testing::Test {
protected:
    bool Read(const std::string& text)
    {
        {
            std::ofstream out(m_path);
            out << text;
        }
        m_error.clear();
        return tools::ReadArtDescription(m_path.string(), m_items, m_error);
    }
    void TearDown() override { std::filesystem::remove(m_path); }

    std::filesystem::path m_path = std::filesystem::temp_directory_path() /
                                   ("art_description_" + std::to_string(::getpid()) + ".txt");
    std::vector<tools::ArtItem> m_items;
    std::string m_error;
};

TEST_F(ArtDescription, ReadsPicturesAndCursors)
{
    ASSERT_TRUE(Read("# comment\n"
                     "picture plain a/plain.svg 80x60\n"
                     "\n"
                     "picture keyed keyed.svg 16x8 transparent 8   # cut out\n"
                     "picture laid laid.svg 1x1 background 3\n"
                     "cursor hand cursors/hand.svg 32x32 hotspot 31 0\n"
                     "icon frame frame.svg 32x32 16x16 48x48\n"
                     "  background sky backgrounds/sky.svg 640x480\n"))
        << m_error;
    ASSERT_EQ(m_items.size(), 6u);
    const tools::ArtItem& plain = m_items[0];
    EXPECT_EQ(plain.FileName(), "plain.bmp");
    EXPECT_EQ(plain.source, "a/plain.svg");
    EXPECT_EQ(plain.width, 80);
    EXPECT_EQ(plain.height, 60);
    EXPECT_FALSE(plain.cutOut);
    EXPECT_EQ(plain.background, 255);
    EXPECT_TRUE(m_items[1].cutOut);
    EXPECT_EQ(m_items[1].background, 8);
    EXPECT_FALSE(m_items[2].cutOut);
    EXPECT_EQ(m_items[2].background, 3);
    const tools::ArtItem& hand = m_items[3];
    EXPECT_EQ(hand.kind, tools::ArtItem::Kind::cursor);
    EXPECT_EQ(hand.FileName(), "hand.cur");
    EXPECT_EQ(hand.hotX, 31);
    EXPECT_EQ(hand.hotY, 0);
    const tools::ArtItem& frame = m_items[4];
    EXPECT_EQ(frame.kind, tools::ArtItem::Kind::icon);
    EXPECT_EQ(frame.FileName(), "frame.ico");
    EXPECT_EQ(frame.width, 32);
    EXPECT_EQ(frame.moreSizes, (std::vector<std::pair<int, int>>{{16, 16}, {48, 48}}));
    const tools::ArtItem& sky = m_items[5];
    EXPECT_EQ(sky.kind, tools::ArtItem::Kind::background);
    EXPECT_EQ(sky.FileName(), "sky.bmp");
    EXPECT_EQ(sky.PreviewName(), "sky.pbk");
    EXPECT_EQ(sky.width, 640);
    EXPECT_EQ(sky.height, 480);
}

TEST_F(ArtDescription, NamesTheLineOfAFault)
{
    const char* const faults[] = {
        "sprite a a.svg 8x8",
        "picture a a.svg",
        "picture a a.png 8x8",
        "picture a /abs/a.svg 8x8",
        "picture a ../a.svg 8x8",
        "picture a? a.svg 8x8",
        "picture a a.svg 0x8",
        "picture a a.svg 8x1025",
        "picture a a.svg 8by8",
        "picture a a.svg 8x8 background 256",
        "picture a a.svg 8x8 backdrop 3",
        "picture a a.svg 8x8 background",
        "cursor a a.svg 32x32",
        "cursor a a.svg 32x32 hotspot 32 0",
        "cursor a a.svg 32x32 hotspot 0",
        "cursor a a.svg 257x32 hotspot 0 0",
        "icon a a.svg 32x32 257x257",
        "icon a a.svg 32x32 16x16 32x32",
        "icon a a.svg 32x32 hotspot 0 0",
        "picture b b.svg 8x8\ncursor B b.svg 8x8 hotspot 0 0",
        "background a a.svg 63x64",
        "background a a.svg 64x63",
        "background a a.svg 80x60 background 3",
        "picture b b.svg 8x8\nbackground b b.svg 80x60",
        "background a a.svg 1025x480",
    };
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        EXPECT_FALSE(Read(std::string("# first\n") + fault + "\n"));
        const bool twoLines = std::string(fault).find('\n') != std::string::npos;
        EXPECT_NE(m_error.find(m_path.string() + (twoLines ? ":3:" : ":2:")), std::string::npos) << m_error;
    }
    std::filesystem::remove(m_path);
    EXPECT_FALSE(tools::ReadArtDescription(m_path.string(), m_items, m_error));
}

}  // namespace

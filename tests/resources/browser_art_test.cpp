// The file browser's and the About box's pictures as the program's resources
// hold them, and the background pictures laid out beside the program, each
// in the form and size its reader takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "resources/resource_ids.h"
#include "tests/resources/resource_support.h"

namespace {

using namespace resource_test;

const char* const kBitmap = MAKEINTRESOURCE(2);

HMODULE Program()
{
    return AfxGetResourceHandle();
}

// A bitmap resource is a packed picture without the file header: given one,
// so that it reads like a file image.
std::optional<Dib> ReadPacked(const Bytes& packed)
{
    if (packed.empty()) {
        ADD_FAILURE() << "no such bitmap";
        return std::nullopt;
    }
    const uint32_t size = static_cast<uint32_t>(packed.size()) + 14;
    Bytes file = {'B', 'M', static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                  static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24), 0, 0, 0, 0,
                  (14 + 40 + 1024) & 0xFF, (14 + 40 + 1024) >> 8, 0, 0};
    file.insert(file.end(), packed.begin(), packed.end());
    return ReadDib(file);
}

// Every picture is drawn with the shared palette as its colour table.
void ExpectSharedPalette(const Dib& dib)
{
    const Bytes palette = Resource(Program(), IDR_PALETTE, "MYPALETTE");
    ASSERT_EQ(palette.size(), 24u + 4 * 256);
    for (int i = 0; i < 256; ++i) {
        const size_t at = 24 + 4 * static_cast<size_t>(i);
        ASSERT_EQ(dib.Colour(i), (std::vector<int>{palette[at], palette[at + 1], palette[at + 2]})) << "entry " << i;
    }
}

Bytes Pixels(const Dib& dib)
{
    return Bytes(dib.bytes.begin() + 14 + 40 + 1024, dib.bytes.end());
}

struct ButtonPictures {
    const char* what;
    UINT normal;
    UINT pressed;
    int width;
    int height;
};

void ExpectButton(const ButtonPictures& b)
{
    SCOPED_TRACE(b.what);
    const std::optional<Dib> normal = ReadPacked(Resource(Program(), b.normal, kBitmap));
    const std::optional<Dib> pressed = ReadPacked(Resource(Program(), b.pressed, kBitmap));
    ASSERT_TRUE(normal && pressed);
    for (const Dib* dib : {&*normal, &*pressed}) {
        EXPECT_EQ(dib->width, b.width);
        EXPECT_EQ(dib->height, b.height);
        ExpectSharedPalette(*dib);
    }
    EXPECT_NE(Pixels(*normal), Pixels(*pressed)) << "pressed looks like normal";
}

// OK, Cancel, the baseplate toggle and the backdrop are the sign-in's and the
// kid frame's pictures, tested with them.
TEST(BrowserArt, ButtonsHaveTheirSizesAndAPressedPicture)
{
    const ButtonPictures buttons[] = {
        {"trash", IDB_TRASH, IDB_TRASH_DOWN, 48, 48},
        {"previous row", IDB_ROW_UP, IDB_ROW_UP_DOWN, 32, 64},
        {"next row", IDB_ROW_DOWN, IDB_ROW_DOWN_DOWN, 32, 64},
    };
    for (const ButtonPictures& b : buttons)
        ExpectButton(b);
}

// Each colour button shows its colour as near as the palette allows, in the
// order of the browser's colour table; chosen, it looks pushed in.
TEST(BrowserArt, ColourButtonsShowTheirColours)
{
    const int colours[IDB_BROWSER_COLOR_COUNT][3] = {
        {0, 0, 0},     {255, 255, 0}, {255, 102, 0},  {221, 0, 0},     {255, 0, 153},   {51, 0, 153},
        {0, 0, 204},   {0, 153, 255}, {0, 170, 0},    {0, 102, 0},     {102, 51, 0},    {153, 102, 51},
        {204, 204, 204}, {136, 136, 136}, {68, 68, 68}, {255, 255, 255},
    };
    for (UINT i = 0; i < IDB_BROWSER_COLOR_COUNT; ++i) {
        const UINT normal = IDB_BROWSER_COLOR_FIRST + 2 * i;
        ExpectButton({"colour", normal, normal + 1, 16, 16});
        const std::optional<Dib> dib = ReadPacked(Resource(Program(), normal, kBitmap));
        ASSERT_TRUE(dib);
        const std::vector<int> shown = dib->Colour(dib->Pixel(8, 8));
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(shown[static_cast<size_t>(c)], colours[i][c], 40) << "colour " << i << ", channel " << c;
    }
}

TEST(BrowserArt, ThumbnailsOfNoPictureAndOfAnEmptyPlace)
{
    const std::optional<Dib> black = ReadPacked(Resource(Program(), "BLACK", kBitmap));
    const std::optional<Dib> blank = ReadPacked(Resource(Program(), "BLANK", kBitmap));
    ASSERT_TRUE(black && blank);
    for (const Dib* dib : {&*black, &*blank}) {
        EXPECT_EQ(dib->width, 80);
        EXPECT_EQ(dib->height, 60);
        ExpectSharedPalette(*dib);
    }
    EXPECT_EQ(black->Colour(black->Pixel(2, 2)), (std::vector<int>{0, 0, 0}));
    EXPECT_NE(Pixels(*black), Pixels(*blank));
}

int Luminance(const std::vector<int>& rgb)
{
    return (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) / 1000;
}

// A bitmap file image behind the About box's white texts: dark under every
// pixel of their rectangle.
TEST(AboutArt, PictureIsDarkBehindTheText)
{
    const std::optional<Dib> about = ReadDib(Resource(Program(), IDB_ABOUT, "BRICKIMAGE"));
    ASSERT_TRUE(about);
    EXPECT_EQ(about->width, 550);
    EXPECT_EQ(about->height, 399);
    ExpectSharedPalette(*about);
    int brightest = 0;
    for (int y = 127; y < 332; ++y)
        for (int x = 172; x < 364; ++x)
            brightest = std::max(brightest, Luminance(about->Colour(about->Pixel(x, y))));
    EXPECT_LE(brightest, 80);
}

Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path BackgroundFolder()
{
    return std::filesystem::path(DIZADO_PROGRAM_FOLDER) / "backgrnd";
}

// The browser lists a background only with its thumbnail beside it: an
// 80 x 60 picture in exactly the form of a model's preview, showing the
// picture shrunk.
TEST(BackgroundArt, EachPictureHasItsThumbnail)
{
    std::set<std::string> pictures;
    std::set<std::string> thumbnails;
    for (const auto& entry : std::filesystem::directory_iterator(BackgroundFolder()))
        (entry.path().extension() == ".bmp" ? pictures : thumbnails).insert(entry.path().stem().string());
    EXPECT_EQ(pictures, thumbnails);
    for (const char* name : {"sky", "meadow", "sea", "space", "town"})
        EXPECT_TRUE(pictures.count(name)) << name;
    EXPECT_GE(pictures.size(), 8u);

    for (const std::string& name : pictures) {
        SCOPED_TRACE(name);
        const std::optional<Dib> picture = ReadDib(ReadFile(BackgroundFolder() / (name + ".bmp")));
        const Bytes preview = ReadFile(BackgroundFolder() / (name + ".pbk"));
        ASSERT_EQ(preview.size(), 5878u);
        const std::optional<Dib> thumbnail = ReadDib(preview);
        ASSERT_TRUE(picture && thumbnail);
        // Tiled pictures are drawn only from 64 x 64 up; the thumbnail is a
        // whole number of times smaller.
        EXPECT_GE(picture->width, 64);
        EXPECT_GE(picture->height, 64);
        ASSERT_EQ(thumbnail->width, 80);
        ASSERT_EQ(thumbnail->height, 60);
        ASSERT_EQ(picture->width % 80, 0);
        ASSERT_EQ(picture->height % 60, 0);
        EXPECT_EQ(Get32(preview, 2), 5878u);
        EXPECT_EQ(Get32(preview, 34), 4800u);
        ExpectSharedPalette(*picture);
        ExpectSharedPalette(*thumbnail);

        // Each thumbnail pixel near the average of the picture's block under
        // it: catches a thumbnail upside down, mirrored or of another picture.
        const int sx = picture->width / 80;
        const int sy = picture->height / 60;
        long error = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x) {
                int sum[3] = {0, 0, 0};
                for (int v = 0; v < sy; ++v)
                    for (int u = 0; u < sx; ++u) {
                        const std::vector<int> c = picture->Colour(picture->Pixel(x * sx + u, y * sy + v));
                        for (int k = 0; k < 3; ++k)
                            sum[k] += c[static_cast<size_t>(k)];
                    }
                const std::vector<int> shown = thumbnail->Colour(thumbnail->Pixel(x, y));
                for (int k = 0; k < 3; ++k)
                    error += std::abs(sum[k] / (sx * sy) - shown[static_cast<size_t>(k)]);
            }
        EXPECT_LT(error / (80 * 60 * 3), 16) << "mean difference per channel";
    }
}

}  // namespace

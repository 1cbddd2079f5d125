// The pictures of the kid frame and the sign-in dialog as the program's
// resources hold them and the picture buttons and backdrop painting read
// them: sizes, 8 bits a pixel on the shared palette, a pressed picture that
// differs from the normal one.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/resources/resource_support.h"

namespace {

using namespace resource_test;

const char* const kBitmap = MAKEINTRESOURCE(2);
const char* const kIcon = MAKEINTRESOURCE(3);
const char* const kGroupIcon = MAKEINTRESOURCE(14);

struct Button {
    UINT normal;
    UINT pressed;
    int width;
    int height;
    const char* what;
};

constexpr Button kButtons[] = {
    {IDB_TOOL_SELECT, IDB_TOOL_SELECT_PRESSED, 48, 48, "select tool"},
    {IDB_TOOL_PAINT, IDB_TOOL_PAINT_PRESSED, 48, 48, "paint tool"},
    {IDB_TOOL_NEW_BRICK, IDB_TOOL_NEW_BRICK_PRESSED, 48, 48, "new brick tool"},
    {IDB_TOOL_ERASE, IDB_TOOL_ERASE_PRESSED, 48, 48, "erase tool"},
    {IDB_FILE_NEW, IDB_FILE_NEW_PRESSED, 50, 28, "New"},
    {IDB_FILE_OPEN, IDB_FILE_OPEN_PRESSED, 50, 28, "Open"},
    {IDB_FILE_SAVE, IDB_FILE_SAVE_PRESSED, 50, 28, "Save"},
    {IDB_FILE_EXIT, IDB_FILE_EXIT_PRESSED, 50, 28, "Exit"},
    {IDB_PRINT, IDB_PRINT_PRESSED, 45, 45, "Print"},
    {IDB_UNDO, IDB_UNDO_PRESSED, 45, 45, "Undo"},
    {IDB_BACKGROUND, IDB_BACKGROUND_PRESSED, 45, 45, "Background"},
    {IDB_MOVE_BACK_LEFT, IDB_MOVE_BACK_LEFT_PRESSED, 45, 45, "direction 604"},
    {IDB_MOVE_UP, IDB_MOVE_UP_PRESSED, 45, 45, "direction 605"},
    {IDB_MOVE_BACK_RIGHT, IDB_MOVE_BACK_RIGHT_PRESSED, 45, 45, "direction 606"},
    {IDB_TURN_LEFT, IDB_TURN_LEFT_PRESSED, 45, 45, "direction 607"},
    {IDB_MOVE_FRONT_LEFT, IDB_MOVE_FRONT_LEFT_PRESSED, 45, 45, "direction 608"},
    {IDB_MOVE_DOWN, IDB_MOVE_DOWN_PRESSED, 45, 45, "direction 609"},
    {IDB_MOVE_FRONT_RIGHT, IDB_MOVE_FRONT_RIGHT_PRESSED, 45, 45, "direction 610"},
    {IDB_TURN_RIGHT, IDB_TURN_RIGHT_PRESSED, 45, 45, "direction 611"},
    {IDB_LIST_UP, IDB_LIST_UP_PRESSED, 64, 32, "list page up"},
    {IDB_LIST_DOWN, IDB_LIST_DOWN_PRESSED, 64, 32, "list page down"},
    // Shared with the file browser, whose OK and Cancel are 48 by 32.
    {IDB_SIGNIN_OK, IDB_SIGNIN_OK_PRESSED, 48, 32, "OK"},
    {IDB_SIGNIN_CANCEL, IDB_SIGNIN_CANCEL_PRESSED, 48, 32, "Cancel"},
};

// A packed picture as the picture button copies it: the information header,
// 256 colours (the shared palette) and every row, 8 bits a pixel. Answers the
// pixel bytes, top row first; empty (and a failure saying why) otherwise.
Bytes PackedPixels(const Bytes& b, const Bytes& palette, int width, int height)
{
    if (b.size() < 40 + 1024) {
        ADD_FAILURE() << "a picture of " << b.size() << " bytes";
        return {};
    }
    bool ok = true;
    auto check = [&](bool condition, const std::string& what) {
        if (!condition) {
            ADD_FAILURE() << what;
            ok = false;
        }
    };
    const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
    const size_t rows = stride * static_cast<size_t>(height);
    check(Get32(b, 0) == 40, "an information header of 40 bytes");
    check(static_cast<int32_t>(Get32(b, 4)) == width, "width " + std::to_string(Get32(b, 4)));
    check(static_cast<int32_t>(Get32(b, 8)) == height, "height " + std::to_string(Get32(b, 8)) + ", bottom-up");
    check(Get16(b, 12) == 1, "one plane");
    check(Get16(b, 14) == 8, "8 bits a pixel");
    check(Get32(b, 16) == 0, "uncompressed");
    check(Get32(b, 32) == 0 || Get32(b, 32) == 256, "256 colours");
    // The button copies the image size when it is given, else the rows.
    check(Get32(b, 20) == 0 || Get32(b, 20) == rows, "image size of the rows");
    check(b.size() >= 40 + 1024 + rows, "all rows present");
    for (size_t i = 0; i < 256 && ok; ++i) {
        const size_t at = 40 + 4 * i;
        check(b[at + 2] == palette.at(24 + 4 * i) && b[at + 1] == palette.at(25 + 4 * i) &&
                  b[at] == palette.at(26 + 4 * i),
              "colour table entry " + std::to_string(i) + " is the shared palette's");
    }
    if (!ok)
        return {};
    Bytes pixels;
    for (int y = height - 1; y >= 0; --y) {
        const auto row = b.begin() + static_cast<std::ptrdiff_t>(40 + 1024 + static_cast<size_t>(y) * stride);
        pixels.insert(pixels.end(), row, row + width);
    }
    return pixels;
}

Bytes Palette()
{
    const Bytes palette = Resource(AfxGetResourceHandle(), IDR_PALETTE, "MYPALETTE");
    EXPECT_EQ(palette.size(), 1048u);
    return palette;
}

size_t Differing(const Bytes& a, const Bytes& b)
{
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += a[i] != b[i];
    return n;
}

// Every button has both pictures at its size, and the pressed one is
// visibly pushed in: a good part of it changes, not a pixel or two.
TEST(KidArt, ButtonsHaveANormalAndAPressedPicture)
{
    const Bytes palette = Palette();
    for (const Button& button : kButtons) {
        SCOPED_TRACE(button.what);
        const Bytes normal = PackedPixels(Resource(AfxGetResourceHandle(), button.normal, kBitmap), palette,
                                          button.width, button.height);
        const Bytes pressed = PackedPixels(Resource(AfxGetResourceHandle(), button.pressed, kBitmap), palette,
                                           button.width, button.height);
        ASSERT_FALSE(normal.empty());
        ASSERT_FALSE(pressed.empty());
        EXPECT_GE(Differing(normal, pressed) * 5, normal.size()) << "pressed is at least a fifth changed";
    }
}

// One button a brick colour: colour i is bitmap 1001 + i, pressed 1013 + i,
// and inside its edge it is drawn mostly from that colour's run of the
// palette.
TEST(KidArt, ColourButtonsShowTheirColour)
{
    const Bytes palette = Palette();
    for (int c = 0; c < 12; ++c) {
        SCOPED_TRACE("colour " + std::to_string(c));
        for (UINT first : {IDB_COLOR_FIRST, IDB_COLOR_PRESSED_FIRST}) {
            const Bytes pixels = PackedPixels(
                Resource(AfxGetResourceHandle(), first + static_cast<UINT>(c), kBitmap), palette, 24, 24);
            ASSERT_FALSE(pixels.empty());
            int inRun = 0;
            for (int y = 4; y < 20; ++y)
                for (int x = 4; x < 20; ++x) {
                    const uint8_t p = pixels[static_cast<size_t>(24 * y + x)];
                    inRun += p >= 9 + 9 * c && p <= 17 + 9 * c;
                }
            EXPECT_GE(inRun * 3, 16 * 16 * 2) << "bitmap " << first + static_cast<UINT>(c);
        }
        const Bytes normal =
            PackedPixels(Resource(AfxGetResourceHandle(), IDB_COLOR_FIRST + c, kBitmap), palette, 24, 24);
        const Bytes pressed =
            PackedPixels(Resource(AfxGetResourceHandle(), IDB_COLOR_PRESSED_FIRST + c, kBitmap), palette, 24, 24);
        EXPECT_GE(Differing(normal, pressed) * 5, normal.size());
    }
}

// The backdrops are "BRICKIMAGE" bitmap file images that tile the frame
// (32 by 32) and the sign-in dialog (16 by 16), on the shared palette.
TEST(KidArt, BackdropsAreBitmapFileImages)
{
    const Bytes palette = Palette();
    const struct {
        UINT id;
        int size;
    } backdrops[] = {{IDB_FRAME_BACKDROP, 32}, {IDB_SIGNIN_BACKDROP, 16}};
    EXPECT_EQ(IDB_FRAME_BACKDROP, 104);
    EXPECT_EQ(IDB_SIGNIN_BACKDROP, 106);
    for (const auto& backdrop : backdrops) {
        SCOPED_TRACE(backdrop.id);
        const Bytes bytes = Resource(AfxGetResourceHandle(), backdrop.id, "BRICKIMAGE");
        const std::optional<Dib> dib = ReadDib(bytes);
        ASSERT_TRUE(dib);
        EXPECT_EQ(dib->width, backdrop.size);
        EXPECT_EQ(dib->height, backdrop.size);
        // Past the file header it is a packed picture like a button's.
        EXPECT_FALSE(PackedPixels(Bytes(bytes.begin() + 14, bytes.end()), palette, backdrop.size, backdrop.size)
                         .empty());
    }
}

// The frame's icon (resource 2, with its menu and accelerators) holds a 32 by
// 32 image of 8 bits a pixel, with images of other sizes beside it.
TEST(KidArt, FrameIconHasAStandardSize)
{
    const Bytes group = Resource(AfxGetResourceHandle(), IDR_MAINFRAME, kGroupIcon);
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(IDR_MAINFRAME, 2);
    EXPECT_EQ(Get16(group, 2), 1u) << "icons";
    const size_t count = Get16(group, 4);
    ASSERT_GE(group.size(), 6 + 14 * count);
    bool has32 = false;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 6 + 14 * i;
        const int width = group[at] == 0 ? 256 : group[at];
        const int height = group[at + 1] == 0 ? 256 : group[at + 1];
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        has32 = has32 || (width == 32 && height == 32);
        EXPECT_EQ(Get16(group, at + 6), 8u);
        const Bytes image = Resource(AfxGetResourceHandle(), Get16(group, at + 12), kIcon);
        ASSERT_GE(image.size(), 40u + 1024);
        EXPECT_EQ(Get32(image, 0), 40u);
        EXPECT_EQ(static_cast<int32_t>(Get32(image, 4)), width);
        EXPECT_EQ(static_cast<int32_t>(Get32(image, 8)), 2 * height) << "picture and mask";
        EXPECT_EQ(Get16(image, 14), 8u);
        const size_t rows = static_cast<size_t>(height) * ((static_cast<size_t>(width) + 3) / 4 * 4 +
                                                           (static_cast<size_t>(width) + 31) / 32 * 4);
        EXPECT_GE(image.size(), 40 + 1024 + rows);
    }
    EXPECT_TRUE(has32);
}

}  // namespace

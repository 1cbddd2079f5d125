// Picture buttons: pictures checked before they are copied, the size of
// picture 0 kept through failed loads, each picture drawn within itself, the
// picture chosen by state, toggles.
#include <gtest/gtest.h>

#include "platform/ui/synthetic_input.h"
#include "resources/resource_ids.h"
#include "shell/gtrans_button.h"
#include "shell_fixture.h"

namespace {

using shelltest::Picture;

TEST(PictureButton, PicturesAreCheckedBeforeTheyAreCopied)
{
    const std::vector<unsigned char> good = Picture(5, 3, RGB(255, 0, 0));
    constexpr size_t kNone = ~size_t{0};
    struct Case {
        const char* what;
        size_t offset;  // of the field changed; kNone: none
        uint32_t value;
        int width;
        size_t cut;  // bytes taken off the end
        bool accepted;
    } cases[] = {
        {"whole", kNone, 0, 4, 0, true},
        {"unknown header size", 0, 64, 4, 0, false},
        {"zero width", 4, 0, 4, 0, false},
        {"negative height", 8, static_cast<uint32_t>(-3), 4, 0, false},
        {"seven bits", 14, 7, 2, 0, false},
        {"more colours than 8 bits hold", 32, 300, 4, 0, false},
        {"last row missing a byte", kNone, 0, 4, 1, false},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = good;
        if (c.offset != kNone) {
            if (c.width == 2)
                shelltest::Put16(bytes, c.offset, static_cast<uint16_t>(c.value));
            else
                shelltest::Put32(bytes, c.offset, c.value);
        }
        bytes.resize(bytes.size() - c.cut);
        const size_t length = CGTransButton::CheckPackedPicture(bytes.data(), bytes.size());
        EXPECT_EQ(length != 0, c.accepted) << c.what;
    }
    EXPECT_EQ(CGTransButton::CheckPackedPicture(good.data(), good.size()), good.size());
    EXPECT_EQ(CGTransButton::CheckPackedPicture(nullptr, 100), 0u);
}

class TestButton : public CGTransButton {
public:
    BOOL Store(const std::vector<unsigned char>& bytes, int slot) { return StoreImage(bytes.data(), bytes.size(), slot); }
};

TEST(PictureButton, TheSizeIsAlwaysThatOfPictureZero)
{
    TestButton button;
    EXPECT_EQ(button.GetSlotCount(), 2);
    ASSERT_TRUE(button.Store(Picture(48, 40, RGB(1, 2, 3)), 0));
    EXPECT_EQ(button.GetImageWidth(), 48);
    EXPECT_EQ(button.GetImageHeight(), 40);
    // A failed load into another slot leaves the button its size.
    std::vector<unsigned char> broken = Picture(10, 10, RGB(1, 2, 3));
    broken.resize(50);
    EXPECT_FALSE(button.Store(broken, 1));
    EXPECT_FALSE(button.HasImage(1));
    EXPECT_EQ(button.GetImageWidth(), 48);
    EXPECT_EQ(button.GetImageHeight(), 40);
    EXPECT_FALSE(button.LoadImageResource(AfxGetResourceHandle(), 59999, 1));
    EXPECT_EQ(button.GetImageWidth(), 48);
    // Slot 3 grows the array to 4 slots, slot 2 empty.
    EXPECT_TRUE(button.Store(Picture(20, 20, RGB(0, 0, 0)), 3));
    EXPECT_EQ(button.GetSlotCount(), 4);
    EXPECT_FALSE(button.HasImage(2));
    // Emptying slot 0 leaves no size.
    EXPECT_TRUE(button.LoadImageResource(AfxGetResourceHandle(), 0, 0));
    EXPECT_EQ(button.GetImageWidth(), 0);
    EXPECT_EQ(button.GetImageHeight(), 0);
}

TEST(PictureButton, TheProgramsPicturesLoad)
{
    CGTransButton button;
    EXPECT_TRUE(button.LoadImageResource(AfxGetResourceHandle(), IDB_TOOL_SELECT, 0));
    EXPECT_TRUE(button.LoadImageResource(AfxGetResourceHandle(), IDB_TOOL_SELECT_PRESSED, 1));
    EXPECT_EQ(button.GetImageWidth(), 48);
    EXPECT_EQ(button.GetImageHeight(), 48);
}

TEST(PictureButton, AutoStateChoosesAPictureThatExists)
{
    TestButton button;
    ASSERT_TRUE(button.Store(Picture(8, 8, RGB(1, 1, 1)), 0));
    ASSERT_TRUE(button.Store(Picture(8, 8, RGB(2, 2, 2)), 1));
    ASSERT_TRUE(button.Store(Picture(8, 8, RGB(3, 3, 3)), 3));
    EXPECT_EQ(button.ChooseImage(ODS_SELECTED), 0);  // auto-state off
    button.SetAutoState(TRUE);
    EXPECT_EQ(button.ChooseImage(ODS_SELECTED), 1);
    EXPECT_EQ(button.ChooseImage(ODS_DISABLED), 3);
    EXPECT_EQ(button.ChooseImage(ODS_FOCUS), 0);  // no focused picture
    button.ShowImage(2);                          // empty: falls back to 0
    EXPECT_EQ(button.ChooseImage(0), 0);
}

TEST(PictureButton, EachPictureIsDrawnWithinItselfAndCutToPictureZero)
{
    const COLORREF marker = RGB(9, 99, 199);
    TestButton button;
    ASSERT_TRUE(button.Store(Picture(10, 10, RGB(255, 0, 0)), 0));
    ASSERT_TRUE(button.Store(Picture(4, 6, RGB(0, 255, 0)), 1));
    ASSERT_TRUE(button.Store(Picture(30, 30, RGB(0, 0, 255)), 2));
    struct Case {
        int image;
        COLORREF inside;
        POINT outside;  // a pixel the picture must not reach
    } cases[] = {{0, RGB(255, 0, 0), {10, 10}}, {1, RGB(0, 255, 0), {5, 2}}, {2, RGB(0, 0, 255), {10, 3}}};
    for (const Case& c : cases) {
        shelltest::Canvas canvas(40, 40, marker);
        DRAWITEMSTRUCT item;
        item.hDC = &canvas.dc;
        button.ShowImage(c.image);
        button.DrawItem(&item);
        EXPECT_EQ(canvas.dc.GetPixel(0, 0), c.inside) << c.image;
        EXPECT_EQ(canvas.dc.GetPixel(c.outside.x, c.outside.y), marker) << c.image;
    }
    // The short picture covers only its own rows.
    shelltest::Canvas canvas(40, 40, marker);
    DRAWITEMSTRUCT item;
    item.hDC = &canvas.dc;
    button.ShowImage(1);
    button.DrawItem(&item);
    EXPECT_EQ(canvas.dc.GetPixel(3, 5), RGB(0, 255, 0));
    EXPECT_EQ(canvas.dc.GetPixel(3, 6), marker);
}

TEST(PictureButton, AToggleShowsItsPressedPictureAfterAClick)
{
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_OVERLAPPED, RECT{0, 0, 200, 200}, nullptr, 0));
    CGTransButton button;
    ASSERT_TRUE(button.Create("t", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 10, 58, 58}, &parent, 600));
    button.LoadImageResource(AfxGetResourceHandle(), IDB_TOOL_PAINT, 0);
    button.LoadImageResource(AfxGetResourceHandle(), IDB_TOOL_PAINT_PRESSED, 1);
    button.SetToggle(TRUE);
    ASSERT_TRUE(platform::ClickControl(&parent, 600));
    EXPECT_EQ(button.GetCurrentImage(), 1);
    button.ShowImage(0);
    EXPECT_EQ(button.GetCurrentImage(), 0);
    parent.DestroyWindow();
}

}  // namespace

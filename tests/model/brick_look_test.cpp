#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_look.h"
#include "model/class_reading.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"
#include "tests/model/model_test_kit.h"

namespace tk = testkit;
using tk::Bytes;

namespace {

// Its four orientations show four different pictures through one mask.
constexpr SHORT kTurning = 3000;

std::vector<BYTE> TurnPixels(int orientation, int variant)
{
    std::vector<BYTE> pixels = tk::BuiltInPixels();
    pixels[0] = static_cast<BYTE>(orientation);
    pixels[9] = static_cast<BYTE>(200 + orientation + 10 * variant);
    return pixels;
}

// `variant` changes the pictures' pixels and nothing else, as an edited kit would.
Bytes TurningKit(int variant)
{
    tk::ResImage res;
    tk::PoseTable pose(1);
    for (WORD o = 0; o < 4; ++o) {
        pose[0][o] = static_cast<WORD>(500 + o);
        res.Add("BRICKORIENTATION", pose[0][o],
                tk::OrientationRecord(CBox3D(0, 0, 0, 1, 1, 1), static_cast<WORD>(600 + o), 700));
        tk::PictureSpec picture;
        picture.topDown = TurnPixels(o, variant);
        res.Add("BRICKIMAGE", static_cast<WORD>(600 + o), tk::Picture(picture));
    }
    res.Add("BRICKCLASS", kTurning, tk::ClassRecord(0xFFFF, pose));
    res.Add("REGION", 700, tk::RegionBytes(tk::BuiltInMask()));
    return res.Build();
}

struct Kit {
    explicit Kit(int variant)
        : bytes(TurningKit(variant)), module(platform::OpenResourceModuleFromMemory(bytes)), services(module)
    {
    }
    ~Kit() { FreeLibrary(module); }
    Bytes bytes;
    HMODULE module;
    tk::TestBrickServices services;
};

std::vector<BYTE> PictureBytes(const CBrick& brick)
{
    HGLOBAL picture = brick.GetPicture();
    if (!picture)
        return {};
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(picture));
    std::vector<BYTE> copy(bytes, bytes + GlobalSize(picture));
    GlobalUnlock(picture);
    return copy;
}

Bytes ResourceBytes(HMODULE module, WORD id)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(id), "BRICKIMAGE");
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    return Bytes(bytes, bytes + SizeofResource(module, resource));
}

// Every pixel the brick draws through its own mask, in palette-entry colours.
std::vector<COLORREF> Drawn(CBrick& brick)
{
    std::vector<BYTE> logical(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(logical.data());
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
        log->palPalEntry[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    CPalette palette;
    palette.CreatePalette(log);
    platform::Surface surface(4, 3, RGB(1, 2, 3));
    CDC dc(&surface);
    CPalette* old = dc.SelectPalette(&palette, FALSE);
    POINT points[6] = {};
    brick.Draw(&dc, brick.GetScreenRegion(points), RECT{0, 0, 4, 3});
    dc.SelectPalette(old, FALSE);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.push_back(surface.GetPixel(x, y));
    return pixels;
}

class BrickLookTest : public ::testing::Test {
protected:
    void SetUp() override { SetBrickServices(&m_kit.services); }
    void TearDown() override
    {
        root.reset();
        SetBrickServices(nullptr);
        EXPECT_EQ(CBrickLook::LooksAlive(), 0u) << "the last brick frees its look";
    }

    CBrick* Make(LONG colour, SHORT orientation)
    {
        return CBrick::Make(root.get(), CPoint3D(0, 0, 0), kTurning, colour, 0, orientation);
    }

    Kit m_kit{0};
    std::unique_ptr<CBrickGroup> root = std::make_unique<CBrickGroup>();
};

TEST_F(BrickLookTest, BricksShowingOnePictureShareItWhateverTheirColour)
{
    CBrick* red = Make(0, 0);
    CBrick* grey = Make(5, 0);
    CBrick* green = Make(11, 0);
    ASSERT_NE(red->GetPicture(), nullptr);
    EXPECT_EQ(grey->GetPicture(), red->GetPicture());
    EXPECT_EQ(green->GetPicture(), red->GetPicture());
    EXPECT_EQ(green->GetRegion().GetData(), red->GetRegion().GetData());
    EXPECT_EQ(PictureBytes(*red), ResourceBytes(m_kit.module, 600));
    EXPECT_EQ(CBrickLook::LooksAlive(), 1u);

    CBrick* turned = Make(0, 1);
    EXPECT_NE(turned->GetPicture(), red->GetPicture());
    EXPECT_EQ(PictureBytes(*turned), ResourceBytes(m_kit.module, 601));
    EXPECT_EQ(CBrickLook::LooksAlive(), 2u);

    // A copy goes through the stored record and still shares.
    CBrick* copy = red->Duplicate(CPoint3D(1, 0, 0));
    EXPECT_EQ(copy->GetPicture(), red->GetPicture());
    turned->Delete(TRUE);
    EXPECT_EQ(CBrickLook::LooksAlive(), 1u);
}

TEST_F(BrickLookTest, ChangingOneBrickLeavesTheOthersThatShareItsPicture)
{
    CBrick* changed = Make(2, 0);
    CBrick* other = Make(2, 0);
    const HGLOBAL picture = other->GetPicture();
    const std::vector<BYTE> bytes = PictureBytes(*other);
    const Bytes mask = tk::RegionBytes(other->GetRegion());
    const std::vector<COLORREF> pixels = Drawn(*other);

    auto otherIsAsItWas = [&] {
        EXPECT_EQ(other->GetPicture(), picture);
        EXPECT_EQ(PictureBytes(*other), bytes);
        EXPECT_EQ(tk::RegionBytes(other->GetRegion()), mask);
        EXPECT_EQ(Drawn(*other), pixels);
        EXPECT_EQ(other->GetColorIndex(), 2);
        EXPECT_EQ(other->GetOrientation(), 0);
    };

    changed->ChangeColor(7);
    otherIsAsItWas();
    EXPECT_NE(Drawn(*changed), pixels);
    EXPECT_EQ(changed->GetPicture(), picture);

    changed->NextOrientation();
    otherIsAsItWas();
    EXPECT_EQ(PictureBytes(*changed), ResourceBytes(m_kit.module, 601));
    changed->ChangeOrientation(0);
    changed->ChangeColor(2);
    EXPECT_EQ(Drawn(*changed), pixels);
    otherIsAsItWas();
}

TEST_F(BrickLookTest, AKitChangedUnderTheSameIdsIsReadAfresh)
{
    CBrick* before = Make(0, 0);
    const std::vector<COLORREF> drawnBefore = Drawn(*before);
    {
        Kit edited(1);
        SetBrickServices(&edited.services);
        CBrick* after = Make(0, 0);
        EXPECT_EQ(PictureBytes(*after), ResourceBytes(edited.module, 600));
        EXPECT_NE(after->GetPicture(), before->GetPicture());
        EXPECT_NE(Drawn(*after), drawnBefore);
        after->Delete(TRUE);
        SetBrickServices(&m_kit.services);
    }
    EXPECT_EQ(PictureBytes(*before), ResourceBytes(m_kit.module, 600));
    EXPECT_EQ(Drawn(*before), drawnBefore);
}

TEST_F(BrickLookTest, AReadingOpensEachClassOnceAndReadsWhatAFreshReadingWould)
{
    CBrick* outside = Make(3, 2);
    const int openedBefore = m_kit.services.opened;
    {
        CClassReading reading;
        for (int i = 0; i < 40; ++i) {
            CBrick* brick = CBrick::Make(root.get(), CPoint3D(i, 0, 0), kTurning, 3, 0, static_cast<SHORT>(i % 4));
            EXPECT_EQ(brick->GetWorldBox(), CBox3D(i, 0, 0, i + 1, 1, 1));
            EXPECT_EQ(PictureBytes(*brick), ResourceBytes(m_kit.module, static_cast<WORD>(600 + i % 4)));
            if (i % 4 == 2) {
                EXPECT_EQ(brick->GetPicture(), outside->GetPicture());
            }
        }
        EXPECT_EQ(m_kit.services.opened, openedBefore + 1);
        EXPECT_EQ(m_kit.services.released, openedBefore);
    }
    EXPECT_EQ(m_kit.services.released, m_kit.services.opened);
    EXPECT_EQ(CBrickLook::LooksAlive(), 4u);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../fixtures/kits/kit_ids.h"
#include "model/brick_class_library.h"
#include "platform/core/hooks.h"
#include "platform/gdi/palette.h"

namespace {

std::string TestData()
{
    const char* fromEnvironment = std::getenv("DIZADO_TEST_DATA");
    return fromEnvironment ? fromEnvironment : DIZADO_TEST_DATA_DIR;
}

struct KitRow {
    SHORT classId;
    std::string library;  // file name of the library that listed it
};

std::vector<KitRow> Rows(const CBrickKitListData& kit)
{
    std::vector<KitRow> rows;
    for (INT_PTR i = 0; i < kit.GetClassCount(); ++i) {
        const CString& path = kit.GetClassAt(i)->m_strLibraryPath;
        rows.push_back({kit.GetClassAt(i)->m_nClassId, path.Mid(path.ReverseFind('\\') + 1).str()});
    }
    return rows;
}

bool operator==(const KitRow& a, const KitRow& b)
{
    return a.classId == b.classId && a.library == b.library;
}

class KitScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        openBefore = platform::OpenLibraryCount();
        previousKeys = platform::SetKeyStateHook([this](int key) -> SHORT { return key == VK_UP && upHeld ? -32768 : 0; });
        previousBeep = platform::SetBeepHook([this](UINT) { ++beeps; });
    }
    void TearDown() override
    {
        platform::SetKeyStateHook(previousKeys);
        platform::SetBeepHook(previousBeep);
        EXPECT_EQ(platform::OpenLibraryCount(), openBefore);  // every load was freed
    }

    CBrickClassLibrary library{CString(TestData() + "/scanprogram")};
    bool upHeld = false;
    int beeps = 0;
    size_t openBefore = 0;
    platform::KeyStateHook previousKeys;
    platform::BeepHook previousBeep;
};

TEST_F(KitScanTest, GathersClassesByTagInScanOrder)
{
    library.ScanKits();
    const CKitList& kits = *library.GetKitList();
    ASSERT_EQ(kits.GetKitCount(), 2);

    const CBrickKitListData& toys = *kits.GetKitAt(0);
    EXPECT_EQ(toys.m_dwKitTag, static_cast<DWORD>('T' | 'O' << 8 | 'Y' << 16 | 'S' << 24));
    // The first library's label has no terminating zero; the second names the kit.
    EXPECT_EQ(toys.m_strLabel, "Toy Box");
    EXPECT_TRUE(toys.m_bClosed);
    // Hidden, missing, pose-less and short-table classes are left out.
    EXPECT_EQ(Rows(toys), (std::vector<KitRow>{{KIT_CAR, "a_first.bkt"},
                                               {KIT_TRUCK, "a_first.bkt"},
                                               {KIT_CAR, "b_second.BKT"},
                                               {KIT_BUS, "b_second.BKT"}}));
    const CBrickKitListData& buildings = *kits.GetKitAt(1);
    EXPECT_EQ(buildings.m_strLabel, "Buildings");
    EXPECT_EQ(Rows(buildings), (std::vector<KitRow>{{KIT_HOUSE, "b_second.BKT"}}));
    EXPECT_EQ(beeps, 0);

    for (INT_PTR i = 0; i < toys.GetClassCount(); ++i)
        EXPECT_EQ(toys.GetClassAt(i)->m_pKit, &toys);
}

TEST_F(KitScanTest, PreviewsSetTheRowHeightWhenTheyHoldTogether)
{
    library.ScanKits();
    const CBrickModData* car = library.GetKitList()->FindBrickData(KIT_CAR);
    ASSERT_NE(car, nullptr);
    EXPECT_NE(car->m_hPreview, nullptr);
    EXPECT_EQ(car->m_nRowHeight, 3);
    EXPECT_EQ(car->m_nRowWidth, 20);
    EXPECT_EQ(car->m_strText, "3001");
    EXPECT_EQ(car->m_dwKitTag, car->m_pKit->m_dwKitTag);

    const CBrickModData* bus = library.GetKitList()->FindBrickData(KIT_BUS);
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(bus->m_hPreview, nullptr);  // 12 bits per pixel is no preview
    EXPECT_EQ(bus->m_nRowHeight, 20);
}

TEST_F(KitScanTest, HiddenClassesComeWithTheUpArrowAndABeep)
{
    upHeld = true;
    library.ScanKits();
    EXPECT_NE(library.GetKitList()->FindBrickData(KIT_SECRET), nullptr);
    EXPECT_EQ(beeps, 1);
}

TEST_F(KitScanTest, ClassModulesAreTheFirstListingLibraryOrTheProgram)
{
    library.ScanKits();
    const CBrickModData* car = library.GetKitList()->FindBrickData(KIT_CAR);
    ASSERT_NE(car, nullptr);
    EXPECT_TRUE(car->m_strLibraryPath.Find("a_first.bkt") >= 0);  // the first entry wins

    HMODULE module = library.GetClassModule(KIT_CAR);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCE(KIT_ORIENT_DEEP), "BRICKORIENTATION"), nullptr);
    library.ReleaseClassModule(module);

    EXPECT_EQ(library.GetClassModule(CBrickClassLibrary::kBuiltInClass), AfxGetResourceHandle());
    library.ReleaseClassModule(AfxGetResourceHandle());  // never freed
    EXPECT_EQ(library.GetClassModule(KIT_NO_CLASS), nullptr);
    EXPECT_EQ(library.GetClassModule(KIT_SECRET), nullptr);

    struct Case {
        SHORT classId;
        BOOL has;
    };
    const Case cases[] = {{KIT_CAR, TRUE}, {KIT_HOUSE, TRUE}, {KIT_NO_CLASS, FALSE}, {KIT_NO_POSE, FALSE},
                          {KIT_SHORT_TABLE, FALSE}, {KIT_SECRET, FALSE}, {CBrickClassLibrary::kBuiltInClass, TRUE}};
    for (const Case& c : cases)
        EXPECT_EQ(library.HasBrickClass(c.classId), c.has) << c.classId;
}

TEST_F(KitScanTest, NoKitsFolderGivesAnEmptyListAndTheBuiltInClassStillWorks)
{
    CBrickClassLibrary empty(CString(TestData() + "/no-such-program"));
    empty.ScanKits();
    EXPECT_EQ(empty.GetKitList()->GetKitCount(), 0);
    EXPECT_TRUE(empty.HasBrickClass(CBrickClassLibrary::kBuiltInClass));
    EXPECT_FALSE(empty.HasBrickClass(KIT_CAR));
}

TEST(KitTag, TextStopsAtAZeroByte)
{
    EXPECT_EQ(CKitList::TagText('T' | 'O' << 8 | 'Y' << 16 | 'S' << 24), "TOYS");
    EXPECT_EQ(CKitList::TagText(1), "\x01");
}

}  // namespace

namespace {

TEST(SharedPalette, ComesFromTheProgramsPaletteResource)
{
    CBrickClassLibrary library;
    EXPECT_EQ(library.GetPalette(), nullptr);
    ASSERT_TRUE(library.LoadPalette());
    ASSERT_NE(library.GetPalette(), nullptr);
    EXPECT_EQ(library.GetPalette()->GetEntryCount(), 256u);
    // Shade 0 of every colour is lighter than its shade 8.
    for (int colour = 0; colour < 12; ++colour) {
        PALETTEENTRY light, dark;
        library.GetPalette()->GetPaletteEntries(17 + 9 * colour, 1, &light);
        library.GetPalette()->GetPaletteEntries(17 + 9 * colour - 8, 1, &dark);
        EXPECT_GT(light.peRed + light.peGreen + light.peBlue, dark.peRed + dark.peGreen + dark.peBlue) << colour;
    }
}

}  // namespace

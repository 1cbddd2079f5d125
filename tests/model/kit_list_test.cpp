#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "../fixtures/kits/kit_ids.h"
#include "model/brick_class_library.h"
#include "platform/core/hooks.h"
#include "platform/gdi/palette.h"
#include "tests/model/model_test_kit.h"
#include "tests/support/pe_library.h"

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
        // Every load was freed but the modules held for the classes in use.
        EXPECT_EQ(platform::OpenLibraryCount(), openBefore + library.GetHeldModuleCount());
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

    EXPECT_EQ(library.GetClassModule(IDC_BUILTIN_CLASS), AfxGetResourceHandle());
    library.ReleaseClassModule(AfxGetResourceHandle());  // never freed
    EXPECT_EQ(library.GetClassModule(KIT_NO_CLASS), nullptr);
    EXPECT_EQ(library.GetClassModule(KIT_SECRET), nullptr);

    struct Case {
        SHORT classId;
        BOOL has;
    };
    const Case cases[] = {{KIT_CAR, TRUE}, {KIT_HOUSE, TRUE}, {KIT_NO_CLASS, FALSE}, {KIT_NO_POSE, FALSE},
                          {KIT_SHORT_TABLE, FALSE}, {KIT_SECRET, FALSE}, {IDC_BUILTIN_CLASS, TRUE}};
    for (const Case& c : cases)
        EXPECT_EQ(library.HasBrickClass(c.classId), c.has) << c.classId;
}

TEST_F(KitScanTest, NoKitsFolderGivesAnEmptyListAndTheBuiltInClassStillWorks)
{
    CBrickClassLibrary empty(CString(TestData() + "/no-such-program"));
    empty.ScanKits();
    EXPECT_EQ(empty.GetKitList()->GetKitCount(), 0);
    EXPECT_TRUE(empty.HasBrickClass(IDC_BUILTIN_CLASS));
    EXPECT_FALSE(empty.HasBrickClass(KIT_CAR));
}

TEST(KitTag, TextStopsAtAZeroByte)
{
    EXPECT_EQ(CKitList::TagText('T' | 'O' << 8 | 'Y' << 16 | 'S' << 24), "TOYS");
    EXPECT_EQ(CKitList::TagText(1), "\x01");
}

// ---- Crafted kits: what a library can make the scan hold ----

// A program folder whose kits folder holds one library.
class OneKitProgram {
public:
    explicit OneKitProgram(const pelib::Bytes& kit)
        : m_folder(std::filesystem::temp_directory_path() / ("dizado-kitscan-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(m_folder / "kits");
        std::ofstream(m_folder / "kits" / "crafted.bkt", std::ios::binary)
            .write(reinterpret_cast<const char*>(kit.data()), static_cast<std::streamsize>(kit.size()));
    }
    ~OneKitProgram()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    OneKitProgram(const OneKitProgram&) = delete;
    OneKitProgram& operator=(const OneKitProgram&) = delete;

    CString Folder() const { return CString(m_folder.string().c_str()); }

private:
    std::filesystem::path m_folder;
};

// Strings 100 on, one per text, as the string table's blocks of 16; blocks
// of the same texts share their bytes, as a crafted library may.
void AddClassList(pelib::PeLibrary& kit, const std::vector<std::string>& texts)
{
    constexpr size_t kFirst = 100;
    std::map<pelib::Bytes, size_t> blocks;
    for (size_t block = kFirst / 16; block <= (kFirst + texts.size() - 1) / 16; ++block) {
        pelib::Bytes bytes;
        for (size_t id = 16 * block; id < 16 * block + 16; ++id) {
            const std::string text = id >= kFirst && id - kFirst < texts.size() ? texts[id - kFirst] : "";
            testkit::PutWord(bytes, static_cast<unsigned>(text.size()));
            for (char c : text)
                testkit::PutWord(bytes, static_cast<unsigned char>(c));
        }
        auto [known, added] = blocks.try_emplace(bytes, 0);
        if (added)
            known->second = kit.AddData(bytes);
        kit.Add(6, static_cast<WORD>(block + 1), known->second);
    }
}

size_t PreviewsHeld(const CKitList& kits)
{
    size_t held = 0;
    for (INT_PTR k = 0; k < kits.GetKitCount(); ++k)
        for (INT_PTR c = 0; c < kits.GetKitAt(k)->GetClassCount(); ++c)
            held += kits.GetKitAt(k)->GetClassAt(c)->m_hPreview != nullptr;
    return held;
}

TEST(CraftedKitScan, AClassListedAgainIsFiledOnce)
{
    // Strings 100 to 65,535 all list one class that has a preview.
    pelib::PeLibrary kit;
    AddClassList(kit, std::vector<std::string>(65436, "3001"));
    kit.Add("BRICKCLASS", 3001, kit.AddData(testkit::ClassRecord(0xFFFF, {{1, 1, 1, 1}})));
    kit.Add("BRICKPREVIEW", 3001, kit.AddData(testkit::Picture({})));
    OneKitProgram program(kit.Build());

    CBrickClassLibrary library{program.Folder()};
    const size_t blocksBefore = platform::GlobalBlocksAlive();
    library.ScanKits();
    const CKitList& kits = *library.GetKitList();
    ASSERT_EQ(kits.GetKitCount(), 1);
    ASSERT_EQ(kits.GetKitAt(0)->GetClassCount(), 1);
    EXPECT_EQ(kits.GetKitAt(0)->GetClassAt(0)->m_nClassId, 3001);
    EXPECT_EQ(PreviewsHeld(kits), 1u);
    // The copy, and a block on each of the two resources read.
    EXPECT_LE(platform::GlobalBlocksAlive() - blocksBefore, 3u);
}

TEST(CraftedKitScan, PreviewCopiesStayWithinTheLibrarysSize)
{
    // A thousand classes whose records and previews all share the same bytes.
    constexpr int kClasses = 1000;
    testkit::PictureSpec big;
    big.width = 64;
    big.height = 64;
    const pelib::Bytes picture = testkit::Picture(big);
    pelib::PeLibrary kit;
    std::vector<std::string> texts;
    const size_t record = kit.AddData(testkit::ClassRecord(0xFFFF, {{1, 1, 1, 1}}));
    const size_t preview = kit.AddData(picture);
    for (int i = 0; i < kClasses; ++i) {
        texts.push_back(std::to_string(3000 + i));
        kit.Add("BRICKCLASS", static_cast<WORD>(3000 + i), record);
        kit.Add("BRICKPREVIEW", static_cast<WORD>(3000 + i), preview);
    }
    AddClassList(kit, texts);
    const pelib::Bytes bytes = kit.Build();
    OneKitProgram program(bytes);

    CBrickClassLibrary library{program.Folder()};
    library.ScanKits();
    const CKitList& kits = *library.GetKitList();
    ASSERT_EQ(kits.GetKitCount(), 1);
    const CBrickKitListData& only = *kits.GetKitAt(0);
    ASSERT_EQ(only.GetClassCount(), kClasses);  // every class is listed, with or without its picture
    const size_t held = PreviewsHeld(kits);
    EXPECT_GE(held, 1u);
    EXPECT_LE(held * picture.size(), bytes.size());
    EXPECT_EQ(only.GetClassAt(0)->m_nRowHeight, 64);
    EXPECT_EQ(only.GetClassAt(kClasses - 1)->m_hPreview, nullptr);
    EXPECT_EQ(only.GetClassAt(kClasses - 1)->m_nRowHeight, 20);
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

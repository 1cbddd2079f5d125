// The kit scan at start-up: a library in the kits folder, found, loaded from
// its file and listed, then bricks of every class it lists, drawn.
#include <filesystem>
#include <string>

#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Every class listed, up to a bound that keeps one run short.
constexpr int kMostBricks = 24;

void MakeAndDraw(CBrickGroup& group, CBrickModData& listed, CPalette* palette)
{
    CBrick* brick = CBrick::Make(&group, CPoint3D(1, 2, 0), listed.m_nClassId, 3, 0, 1);
    if (!brick)
        return;
    platform::Surface surface(32, 32, RGB(1, 2, 3));
    CDC dc(&surface);
    if (palette)
        dc.SelectPalette(palette, FALSE);
    POINT points[6] = {{12, 2}, {2, 8}, {2, 20}, {12, 28}, {24, 8}, {24, 20}};
    const CRegion region = brick->GetScreenRegion(points);
    brick->Draw(&dc, region, RECT{0, 0, 32, 32});
    brick->NextOrientation();
    brick->ChangeColor(5);
    brick->Draw(&dc, region, RECT{-4, -4, 28, 28});
    dc.SelectPalette(nullptr, FALSE);
}

}  // namespace

int FuzzKitScan(const uint8_t* data, size_t size)
{
    fuzz::QuietHooks quiet;
    static const std::string program = fuzz::ScratchPath("scan");
    static unsigned run = 0;
    const std::filesystem::path kits = std::filesystem::path(program) / "kits";
    std::error_code error;
    std::filesystem::remove_all(kits, error);
    std::filesystem::create_directories(kits, error);
    // A new name each run: a library of the same name, size and time would
    // come back from the closed libraries kept parsed.
    if (!fuzz::WriteFile((kits / ("kit" + std::to_string(run++) + ".bkt")).string(), data, size))
        return 0;

    const size_t openBefore = platform::OpenLibraryCount();
    {
        CBrickClassLibrary library{CString(program.c_str())};
        library.LoadPalette();
        // The library takes itself out again when it goes.
        SetBrickServices(&library);
        library.ScanKits();
        CBrickGroup group;
        int made = 0;
        CKitList* list = library.GetKitList();
        for (INT_PTR k = 0; list && k < list->GetKitCount(); ++k) {
            CBrickKitListData* kit = list->GetKitAt(k);
            for (INT_PTR c = 0; c < kit->GetClassCount() && made < kMostBricks; ++c, ++made) {
                CBrickModData* listed = kit->GetClassAt(c);
                if (listed->m_hPreview)
                    fuzz::Touch(GlobalLock(listed->m_hPreview), GlobalSize(listed->m_hPreview));
                if (listed->m_hPreview)
                    GlobalUnlock(listed->m_hPreview);
                MakeAndDraw(group, *listed, library.GetPalette());
            }
        }
        group.DeleteContents();
    }
    if (platform::OpenLibraryCount() != openBefore)
        fuzz::Fail("the scan left a kit library open");
    return 0;
}

static void SeedKitScan(fuzz::Seeds& seeds)
{
    seeds.Add("testkit64", fuzz::TestData("testkit.bkt"));
    seeds.Add("testkit32", fuzz::TestData("testkit32.bkt"));
    seeds.Add("scan-first", fuzz::TestData("scanprogram/kits/a_first.bkt"));
    seeds.Add("scan-third", fuzz::TestData("scanprogram/kits/c_third.bkt"));
}

DIZADO_FUZZ_TARGET(kit_scan, FuzzKitScan, SeedKitScan)

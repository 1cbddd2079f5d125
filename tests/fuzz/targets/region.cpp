// REGION data: the span regions of brick masks and the pane outline, checked
// by CRegion::LoadData, then used as bricks use them.
#include <algorithm>

#include "foundation/region.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// What a region operation builds must load again as it is, as far as a
// REGION resource can hold it: regions built in memory grow past the 16-bit
// size word, and those are not meant to be read back.
void CheckBuilt(const CRegion& region, const char* what)
{
    if (region.IsEmpty() || region.GetBlockSize() > 0x7FFF)
        return;
    CRegion again;
    if (!again.LoadData(region.GetData(), region.GetBlockSize()))
        fuzz::Fail(what);
}

}  // namespace

int FuzzRegion(const uint8_t* data, size_t size)
{
    CRegion region;
    if (!region.LoadData(data, static_cast<DWORD>(std::min<size_t>(size, 0xFFFFFFFFu))))
        return 0;
    if (region.GetBlockSize() > size)
        fuzz::Fail("region block larger than its data");
    fuzz::Touch(region.GetData(), region.GetBlockSize());

    // Hit tests over the bounds and a margin, a bounded number of them.
    const RECT bounds = region.GetBounds();
    const long stepX = std::max<long>(1, (static_cast<long>(bounds.right) - bounds.left + 2) / 12);
    const long stepY = std::max<long>(1, (static_cast<long>(bounds.bottom) - bounds.top + 2) / 12);
    for (long y = bounds.top - 1; y <= bounds.bottom; y += stepY)
        for (long x = bounds.left - 1; x <= bounds.right; x += stepX)
            region.PtInRegion(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});

    CRegion box;
    box.SetRect(-3, 2, 9, 7);
    CRegion joined;
    joined.Union(region, box);
    CheckBuilt(joined, "union does not load again");
    CRegion self;
    self.Union(region, region);
    CheckBuilt(self, "union with itself does not load again");
    CRegion cut;
    cut.Subtract(region, box);
    CheckBuilt(cut, "subtraction does not load again");
    CRegion rest;
    rest.Subtract(box, region);
    CheckBuilt(rest, "subtraction from a box does not load again");

    CRegion moved(region);
    moved.OffsetX(5);
    moved.OffsetY(-3);
    platform::Surface surface(32, 24, RGB(1, 2, 3));
    CDC dc(&surface);
    moved.FillRows(&dc, RGB(200, 0, 0));
    moved.DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 200));
    region.DrawOutline(&dc, RGB(0, 160, 0), 1, 0);
    return 0;
}

static void SeedRegion(fuzz::Seeds& seeds)
{
    // The pane's outline and the built-in brick's mask.
    seeds.Add("pane", fuzz::ProgramResource("REGION", MAKEINTRESOURCE(10)));
    seeds.Add("builtin", fuzz::ProgramResource("REGION", MAKEINTRESOURCE(103)));
    CRegion top;
    top.SetRect(0, 0, 4, 2);
    CRegion bottom;
    bottom.SetRect(1, 2, 3, 3);
    CRegion mask;
    mask.Union(top, bottom);
    if (!mask.IsEmpty())
        seeds.Add("two-bands", fuzz::Bytes(mask.GetData(), mask.GetData() + mask.GetBlockSize()));
}

DIZADO_FUZZ_TARGET(region, FuzzRegion, SeedRegion)

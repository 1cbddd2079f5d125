#include "views_fixture.h"

#include "foundation/notification_codes.h"
#include "views/pane_walkers.h"

#include <algorithm>
#include <map>

namespace viewstest {
namespace {

// The pane's listener side, holds and walkers.
using Pane = PaneTest;

TEST_F(Pane, HoldsDeferTheRebuildUntilTheLastCloses)
{
    CBrick* brick = Add(0, 0, 0);
    BOOL open = FALSE, close = TRUE;
    pane.OnNotify(NOTIFY_ID_LIST, NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&open));
    pane.OnNotify(NOTIFY_ID_LIST, NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&open));
    brick->SetSelected(TRUE);
    EXPECT_TRUE(pane.GetBlinker().GetRegion().IsEmpty());
    pane.OnNotify(NOTIFY_ID_LIST, NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&close));
    EXPECT_TRUE(pane.GetBlinker().GetRegion().IsEmpty());
    pane.OnNotify(NOTIFY_ID_LIST, NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&close));
    EXPECT_FALSE(pane.GetBlinker().GetRegion().IsEmpty());
    EXPECT_TRUE(pane.GetBlinker().IsShown());
    // A close without an open leaves the count at -1; the next open runs it.
    pane.OnNotify(NOTIFY_ID_LIST, NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&close));
    EXPECT_EQ(pane.GetRebuildHolds(), -1);
    pane.OnNotify(NOTIFY_ID_LIST, NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&open));
    EXPECT_EQ(pane.GetRebuildHolds(), 0);
}

TEST_F(Pane, BrickChangesInvalidateItsOutlineAtBothPlaces)
{
    CBrick* brick = Add(2, 2, 0);
    pane.polygons.clear();
    brick->ChangePosition(CPoint3D(5, 2, 0));
    ASSERT_EQ(pane.polygons.size(), 2u);  // before and after
    EXPECT_EQ(pane.polygons[0][3].x, 220 + 20 - 20);
    EXPECT_EQ(pane.polygons[1][3].x, 220 + 50 - 20);
    EXPECT_TRUE(pane.IsPaintPending());
    // A colour change invalidates once, before.
    pane.polygons.clear();
    brick->ChangeColor(5);
    EXPECT_EQ(pane.polygons.size(), 1u);
    // The switch that group commands turn off stops it.
    pane.polygons.clear();
    CBrick::SetBrickInvalidation(FALSE);
    brick->ChangeColor(6);
    CBrick::SetBrickInvalidation(TRUE);
    EXPECT_TRUE(pane.polygons.empty());
}

TEST_F(Pane, PaintPendingOnlyWhenTheInvalidationMeetsTheClientArea)
{
    CBrick* far = Add(200, 0, 0);  // projects 2,000 pixels to the right
    Paint(CBrickPane::DrawMode::fast);  // a paint ends what was pending
    EXPECT_FALSE(pane.IsPaintPending());
    far->ChangeColor(3);
    EXPECT_FALSE(pane.IsPaintPending());
    Add(1, 1, 0)->ChangeColor(3);
    EXPECT_TRUE(pane.IsPaintPending());
}

TEST_F(Pane, CursorBrickFollowsTheDocumentAndFallsBackToTheBuiltInClass)
{
    doc.SetCurrentBrickType(2009);
    EXPECT_EQ(pane.GetCursorBrick()->GetClassId(), 2009);
    const POINT anchor = pane.GetCursorAnchor();
    // Other bricks' regions built since do not move the outline's anchor.
    CRegion other;
    pane.BuildBrickRegion(&other, Add(0, 0, 0, 2012));
    EXPECT_EQ(pane.GetCursorAnchor().x, anchor.x);
    EXPECT_EQ(pane.GetCursorAnchor().y, anchor.y);
    doc.SetCurrentBrickType(4321);  // no kit holds it
    EXPECT_EQ(pane.GetCursorBrick()->GetClassId(), IDC_BUILTIN_CLASS);
    EXPECT_TRUE(pane.IsOutlineForced());
}

TEST_F(Pane, HitTestFindsTheFrontBrickWhicheverCameFirst)
{
    for (bool frontFirst : {false, true}) {
        Root()->DeleteContents();
        CBrick* back = nullptr;
        CBrick* front = nullptr;
        if (frontFirst) {
            front = Add(0, 0, 3);
            back = Add(0, 0, 0);
        } else {
            back = Add(0, 0, 0);
            front = Add(0, 0, 3);
        }
        POINT p;
        pane.ProjectXYZ(&p, 2, 1, 6);
        CBrick* hit = nullptr;
        EXPECT_TRUE(pane.HitTest(POINT{p.x, p.y + 2}, &hit));
        EXPECT_EQ(hit, front);
        (void)back;
        EXPECT_FALSE(pane.HitTest(POINT{5, 5}, &hit));
        EXPECT_EQ(hit, nullptr);
    }
}

TEST(PaneWalkers, RectInRectExcludesRightAndBottomEdges)
{
    const RECT outer{0, 0, 100, 50};
    EXPECT_TRUE(CMarqueeSelectWalker::RectInRect(RECT{10, 10, 99, 49}, outer));
    EXPECT_FALSE(CMarqueeSelectWalker::RectInRect(RECT{10, 10, 100, 49}, outer));
    EXPECT_FALSE(CMarqueeSelectWalker::RectInRect(RECT{10, 10, 99, 50}, outer));
    EXPECT_TRUE(CMarqueeSelectWalker::RectInRect(RECT{0, 0, 1, 1}, outer));
}

TEST_F(Pane, MarqueeSelectsWhatLiesWhollyInsideAndShiftFlips)
{
    CBrick* inside = Add(0, 0, 0, 2001);
    CBrick* selected = Add(1, 0, 0, 2001);
    CBrick* outside = Add(12, 0, 0, 2001);
    selected->SetSelected(TRUE);
    outside->SetSelected(TRUE);
    RECT area{150, 200, 300, 300};
    CMarqueeSelectWalker plain(&pane, area, FALSE);
    plain.Walk();
    EXPECT_TRUE(inside->IsSelectedFlag());
    EXPECT_TRUE(selected->IsSelectedFlag());
    EXPECT_FALSE(outside->IsSelectedFlag());
    outside->SetSelected(TRUE);
    inside->SetSelected(FALSE);
    CMarqueeSelectWalker toggle(&pane, area, TRUE);
    toggle.Walk();
    EXPECT_TRUE(inside->IsSelectedFlag());
    EXPECT_FALSE(selected->IsSelectedFlag());
    EXPECT_TRUE(outside->IsSelectedFlag());
}

// The outline of a selection spread over the whole model is whole: every
// brick's region is in it.
TEST_F(Pane, SelectionOutlineOfFiveThousandScatteredBricksIsWhole)
{
    std::vector<CBrick*> bricks;
    {
        CPaneHold hold(Root());
        for (int i = 0; i < 5000; ++i) {
            // A grid of single studs, far enough apart that no two touch.
            CBrick* brick = Add((i % 100) * 3, (i / 100) * 3 - 150, (i * 7) % 13, 2012);
            brick->SetSelected(TRUE);
            bricks.push_back(brick);
        }
    }
    const CRegion& outline = pane.GetBlinker().GetRegion();
    ASSERT_FALSE(outline.IsEmpty());
    EXPECT_GT(outline.GetBlockSize(), CRegion::kMaxBlockBytes);
    std::map<int, std::vector<std::pair<int, int>>> rows;
    CRegion::BandReader band(outline);
    while (band.Next())
        for (int y = band.Top(); y < band.Bottom(); ++y)
            for (int i = 0; i < band.RunCount(); ++i)
                rows[y].emplace_back(band.RunStart(i), band.RunEnd(i));
    for (CBrick* brick : bricks) {
        CRegion own;
        pane.BuildBrickRegion(&own, brick);
        CRegion::BandReader part(own);
        while (part.Next())
            for (int y = part.Top(); y < part.Bottom(); ++y)
                for (int i = 0; i < part.RunCount(); ++i) {
                    const auto& runs = rows[y];
                    const bool covered = std::any_of(runs.begin(), runs.end(), [&](const std::pair<int, int>& r) {
                        return r.first <= part.RunStart(i) && part.RunEnd(i) <= r.second;
                    });
                    ASSERT_TRUE(covered) << "row " << y;
                }
    }
}

// Uniting pairwise gives the outline that uniting one by one draws.
TEST_F(Pane, PairwiseUnionDrawsTheSameOutlineAsOneByOne)
{
    CRegionAccumulator pairwise;
    CRegion oneByOne;
    for (int i = 0; i < 300; ++i) {
        CRegion own;
        pane.BuildBrickRegion(&own, Add((i * 7) % 23, (i * 5) % 19 - 6, i % 4, i % 2 ? 2012 : 2009));
        pairwise.Add(own);
        oneByOne.Union(oneByOne, own);
    }
    CRegion united;
    pairwise.Finish(&united);
    const RECT& b = oneByOne.GetBounds();
    auto outlinePixels = [&](const CRegion& region) {
        platform::Surface s(b.right - b.left + 4, b.bottom - b.top + 4, RGB(255, 255, 255));
        CDC dc(&s);
        dc.SetViewportOrg(2 - b.left, 2 - b.top);
        region.DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 0));
        region.FillRows(&dc, RGB(9, 9, 9));
        return s;
    };
    EXPECT_TRUE(SamePixels(outlinePixels(united), outlinePixels(oneByOne)));
}

TEST_F(Pane, BaseplateHintInvalidatesOnlyVisibleCells)
{
    doc.SetBaseplateSize(2, 2);
    pane.rects.clear();
    pane.OnUpdate(nullptr, 32777, nullptr);
    EXPECT_EQ(pane.rects.size(), 256u);  // 16 x 16 cells, all on screen
    const RECT& first = pane.rects.front();
    POINT p;
    pane.ProjectXYZ(&p, 16, 16, 0);
    EXPECT_EQ(first.left, p.x - 10);
    EXPECT_EQ(first.right, p.x + 12);
    EXPECT_EQ(first.top, p.y);
    EXPECT_EQ(first.bottom, p.y + 16);

    doc.SetBaseplateSize(0, 0);
    pane.rects.clear();
    pane.OnUpdate(nullptr, 32777, nullptr);
    EXPECT_TRUE(pane.rects.empty());

    // The largest plate: only the cells that meet the 480 x 360 pane.
    doc.SetBaseplateSize(32767, 32767);
    pane.rects.clear();
    pane.OnUpdate(nullptr, 32777, nullptr);
    EXPECT_GT(pane.rects.size(), 100u);
    EXPECT_LT(pane.rects.size(), 3000u);
    for (const RECT& r : pane.rects)
        ASSERT_TRUE(RectsMeet(r, RECT{0, 0, kWidth, kHeight}));
}

}  // namespace
}  // namespace viewstest

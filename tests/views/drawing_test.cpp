#include "views_fixture.h"

#include "platform/gdi/rgn.h"
#include "views/pane_walkers.h"

namespace viewstest {
namespace {

using Drawing = PaneTest;
using Mode = CBrickPane::DrawMode;

COLORREF At(const platform::Surface& s, POINT p)
{
    return s.GetPixel(p.x, p.y);
}

// A pixel inside the top face of a box, well away from its edges.
POINT TopCentre(CBrickPane& pane, const CBox3D& box)
{
    POINT p;
    pane.ProjectXYZ(&p, (box.Min().X() + box.Max().X()) / 2, (box.Min().Y() + box.Max().Y()) / 2, box.Max().Z());
    return p;
}

TEST_F(Drawing, EmptyModelShowsBackgroundAndBaseplateOnly)
{
    doc.SetBaseplateSize(0, 0);
    COLORREF blue = RGB(10, 20, 200);
    doc.ChangeBackgroundColor(&blue);
    const platform::Surface s = Paint(Mode::reference);
    EXPECT_EQ(s.GetPixel(5, 5), blue);
    EXPECT_EQ(s.GetPixel(kWidth - 1, kHeight - 1), blue);
}

TEST_F(Drawing, BackgroundColourIsMaskedTo24Bits)
{
    doc.SetBaseplateSize(0, 0);
    COLORREF odd = 0x01000000u | RGB(10, 20, 30);  // would read as a palette index
    doc.ChangeBackgroundColor(&odd);
    EXPECT_EQ(Paint(Mode::fast).GetPixel(3, 3), RGB(10, 20, 30));
}

TEST_F(Drawing, BaseplateStudsLieOnTheGround)
{
    doc.SetBaseplateSize(1, 1);
    COLORREF white = RGB(255, 255, 255);
    doc.ChangeBackgroundColor(&white);
    const platform::Surface s = Paint(Mode::reference);
    // The front cell's top edge is centred on the projection of (1, 1, 0).
    POINT p;
    pane.ProjectXYZ(&p, 1, 1, 0);
    EXPECT_NE(s.GetPixel(p.x, p.y + 8), white);
    // Outside the plate's hexagon only the background shows.
    pane.ProjectXYZ(&p, -3, -3, 0);
    EXPECT_EQ(s.GetPixel(p.x, p.y), white);
    // A plate with a zero side draws no studs.
    doc.SetBaseplateSize(0, 3);
    const platform::Surface none = Paint(Mode::reference);
    for (int y = 0; y < kHeight; y += 7)
        for (int x = 0; x < kWidth; x += 7)
            ASSERT_EQ(none.GetPixel(x, y), white);
}

// The largest baseplate visits only the cells on screen; the strip of it the
// pane shows is the same as that of a plate just large enough to fill it.
TEST_F(Drawing, HugeBaseplatePaintsOnlyWhatMeetsTheArea)
{
    doc.SetBaseplateSize(40, 40);
    const platform::Surface filled = Paint(Mode::fast);
    doc.SetBaseplateSize(32767, 32767);
    const platform::Surface huge = Paint(Mode::fast);
    EXPECT_TRUE(SamePixels(filled, huge));
}

TEST_F(Drawing, BrickOnTopHidesTheOneBelow)
{
    doc.SetBaseplateSize(0, 0);
    CBrick* below = Add(2, 2, 0, 2009, 1);
    CBrick* above = Add(2, 2, 3, 2009, 4);
    const platform::Surface s = Paint(Mode::reference);
    const COLORREF topColour = At(s, TopCentre(pane, above->GetWorldBox()));
    // Repainting with the upper brick alone gives the same top.
    below->SetVisible(FALSE);
    EXPECT_EQ(At(Paint(Mode::reference), TopCentre(pane, above->GetWorldBox())), topColour);
    // And it is not the lower brick's colour.
    above->SetVisible(FALSE);
    below->SetVisible(TRUE);
    EXPECT_NE(At(Paint(Mode::reference), TopCentre(pane, below->GetWorldBox())), topColour);
}

TEST_F(Drawing, EqualBoxesShowTheLaterBrickInTreeOrder)
{
    doc.SetBaseplateSize(0, 0);
    Add(1, 1, 0, 2007, 2);
    CBrick* later = Add(1, 1, 0, 2007, 6);
    const platform::Surface both = Paint(Mode::reference);
    CBrickGroup solo;
    (void)solo;
    later->SetVisible(FALSE);
    later->SetVisible(TRUE);
    // Drawn alone, the later brick gives the same pixels.
    Root()->GetBrickAt(0)->SetVisible(FALSE);
    EXPECT_TRUE(SamePixels(both, Paint(Mode::reference)));
}

TEST_F(Drawing, ModelOutsideTheAreaDrawsNothing)
{
    Add(2, 2, 0);
    const RECT corner{0, 0, 20, 20};
    const platform::Surface withBrick = Paint(Mode::reference, &corner);
    Root()->GetBrickAt(0)->SetVisible(FALSE);
    EXPECT_TRUE(SamePixels(withBrick, Paint(Mode::reference, &corner)));
}

// The fast drawing must give exactly the walkers' pixels: random scenes of
// the shipped kit, stacked, interpenetrating, with equal boxes, in groups and
// hidden bricks, drawn whole and through small areas.
TEST_F(Drawing, FastModeIsPixelIdenticalToTheWalkers)
{
    const SHORT classes[] = {2001, 2002, 2004, 2007, 2009, 2011, 2012, 2015, 2018, 2020, 2022, 1030};
    std::mt19937 random(20261210);
    for (int scene = 0; scene < 12; ++scene) {
        doc.GetBrickList()->DeleteContents();
        doc.SetBaseplateSize(scene % 3, 1 + scene % 2);
        std::uniform_int_distribution<int> pick(0, std::size(classes) - 1), xy(-2, 9), z(0, 7), colour(0, 11),
            turn(0, 3), groupPick(0, 3);
        std::vector<CBrickGroup*> groups{Root()};
        const int count = 20 + scene * 12;
        for (int i = 0; i < count; ++i) {
            if (groupPick(random) == 0 && groups.size() < 6) {
                auto* group = new CBrickGroup;
                group->SetParent(groups[random() % groups.size()]);
                groups.push_back(group);
            }
            CBrickGroup* into = groups[random() % groups.size()];
            CBrick* brick = Add(xy(random), xy(random), z(random), classes[pick(random)], colour(random),
                                static_cast<SHORT>(turn(random)), into);
            if (i % 5 == 0)  // an equal box on top of another
                Add(brick->GetPositionPtr()->X(), brick->GetPositionPtr()->Y(), brick->GetPositionPtr()->Z(),
                    brick->GetClassId(), colour(random), brick->GetOrientation(), into);
            if (i % 17 == 3)
                brick->SetVisible(FALSE);
        }
        SCOPED_TRACE(scene);
        ASSERT_TRUE(SamePixels(Paint(Mode::reference), Paint(Mode::fast)));
        const RECT strips[] = {{100, 80, 356, 336}, {0, 150, kWidth, 190}, {203, 0, 260, kHeight}, {-50, -50, 3, 3}};
        for (const RECT& strip : strips)
            ASSERT_TRUE(SamePixels(Paint(Mode::reference, &strip), Paint(Mode::fast, &strip)));
        // What the fast drawing keeps between paints follows moves, turns and the origin.
        for (int i = 0; i < Root()->GetSize(); i += 4) {
            CBrick* brick = Root()->GetBrickAt(i);
            if (i % 8 == 0)
                brick->ChangePosition(*brick->GetPositionPtr() + CPoint3D(1, 0, 1));
            else
                brick->NextOrientation();
        }
        pane.SetOrigin(220 + scene, 290 - scene, FALSE);
        ASSERT_TRUE(SamePixels(Paint(Mode::fast), Paint(Mode::reference)));
    }
}

// A small area of a large model: the bricks that may hide a drawn one lie in
// groups that miss the area, or beyond it, or in groups far from it.
TEST_F(Drawing, FastModeMatchesTheWalkersInSmallAreasOfALargeModel)
{
    doc.SetBaseplateSize(0, 0);
    CBrickGroup* previous = Root();
    for (int row = 0; row < 14; ++row) {
        auto* group = new CBrickGroup;
        group->SetParent(row % 3 == 2 ? previous : Root());
        previous = group;
        for (int column = 0; column < 14; ++column)
            Add(column - 2, row - 2, (column * 3 + row) % 7, column % 2 ? 2009 : 2012, (row + column) % 12,
                static_cast<SHORT>(row % 4), row % 4 == 0 ? Root() : group);
    }
    for (int y = 0; y < kHeight; y += 23) {
        for (int x = (y / 23) % 5; x < kWidth; x += 31) {
            const RECT area{x, y, x + 1 + (x + y) % 9, y + 1 + (x * y) % 7};
            SCOPED_TRACE(testing::Message() << x << "," << y);
            ASSERT_TRUE(SamePixels(Paint(Mode::reference, &area), Paint(Mode::fast, &area)));
        }
    }
}

// A paint clipped to the outline of a brick (the update region of a move)
// gives the same pixels both ways, and none outside the outline.
TEST_F(Drawing, FastModeKeepsToAClipRegion)
{
    for (int i = 0; i < 40; ++i)
        Add(i % 7, (i / 7) % 5, (i * 5) % 9, i % 3 ? 2009 : 2012, i % 12, static_cast<SHORT>(i % 4));
    const POINT hexagon[6] = {{200, 120}, {150, 150}, {150, 200}, {200, 230}, {260, 200}, {260, 150}};
    auto clipped = [&](Mode mode) {
        platform::Surface surface(kWidth, kHeight, RGB(1, 2, 3));
        CDC dc(&surface);
        CRgn region;
        region.CreatePolygonRgn(hexagon, 6, WINDING);
        dc.SelectClipRgn(&region);
        pane.SetDrawMode(mode);
        pane.OnDraw(&dc);
        return surface;
    };
    const platform::Surface fast = clipped(Mode::fast);
    EXPECT_TRUE(SamePixels(clipped(Mode::reference), fast));
    EXPECT_EQ(fast.GetPixel(151, 121), RGB(1, 2, 3));
    EXPECT_NE(fast.GetPixel(200, 180), RGB(1, 2, 3));
}

// A context whose mapping is not 1:1 (a preview, a page) is drawn through the
// bricks' own drawing, with the same pixels as the walkers.
TEST_F(Drawing, FastModeOnAScaledContextMatchesTheWalkers)
{
    for (int i = 0; i < 30; ++i)
        Add(i % 6, i / 6, (i * 7) % 5, i % 2 ? 2009 : 2018, i % 12);
    auto scaled = [&](Mode mode) {
        platform::Surface surface(160, 120, RGB(0, 0, 0));
        CDC dc(&surface);
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(kWidth, kHeight);
        dc.SetViewportExt(160, 120);
        pane.SetDrawMode(mode);
        pane.OnDraw(&dc);
        return surface;
    };
    EXPECT_TRUE(SamePixels(scaled(Mode::reference), scaled(Mode::fast)));
}

TEST_F(Drawing, AreaOfAtMost256PixelsIsDrawnOffScreenWithTheSamePixels)
{
    for (int i = 0; i < 10; ++i)
        Add(i, 0, i % 3, 2004, i);
    const RECT exact{40, 40, 296, 296};
    const RECT larger{40, 40, 297, 296};
    const platform::Surface whole = Paint(Mode::reference);
    for (const RECT& area : {exact, larger}) {
        const platform::Surface part = Paint(Mode::reference, &area);
        for (int y = area.top; y < area.bottom; y += 3)
            for (int x = area.left; x < area.right; x += 3)
                ASSERT_EQ(part.GetPixel(x, y), whole.GetPixel(x, y)) << x << "," << y;
        EXPECT_EQ(part.GetPixel(area.left - 1, area.top), RGB(1, 2, 3));
    }
}

}  // namespace
}  // namespace viewstest

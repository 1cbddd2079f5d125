#include "views_fixture.h"

namespace viewstest {
namespace {

using Projection = PaneTest;

TEST_F(Projection, GridPointsToScreenPoints)
{
    struct Case {
        int x, y, z;
        POINT screen;
    };
    const Case cases[] = {
        {0, 0, 0, {220, 290}},  {1, 0, 0, {230, 285}},      {0, 1, 0, {210, 285}},        {0, 0, 1, {220, 284}},
        {3, 2, 1, {230, 259}},  {-4, 0, 0, {180, 310}},     {32767, 0, 0, {327890, -163545}},
        {0, -32768, 0, {327900, 164130}},
    };
    for (const Case& c : cases) {
        POINT p;
        pane.ProjectXYZ(&p, c.x, c.y, c.z);
        EXPECT_EQ(p.x, c.screen.x) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(p.y, c.screen.y) << c.x << "," << c.y << "," << c.z;
    }
    RECT r;
    pane.ProjectBox(&r, CBox3D(1, 2, 3, 3, 6, 4));  // 2 x 4 x 1 from (1, 2, 3)
    EXPECT_EQ(r.left, 210 - 40);
    EXPECT_EQ(r.right, 210 + 20);
    EXPECT_EQ(r.bottom, 290 - 5 - 10 - 18);
    EXPECT_EQ(r.top, r.bottom - 10 - 20 - 6);
}

TEST_F(Projection, ScreenPointsToGridPointsOnEachPlane)
{
    struct Case {
        int x, y, value, axis;
        CPoint3D grid;
    };
    const Case cases[] = {
        // Ground plane: exact projections of non-negative points come back.
        {220, 290, 0, 2, {0, 0, 0}},
        {230, 285, 0, 2, {1, 0, 0}},
        {230, 259 + 6, 0, 2, {3, 2, 0}},
        // One pixel above the origin still lies on cell (0, 0); one below goes to (-1, -1).
        {220, 289, 0, 2, {0, 0, 0}},
        {220, 291, 0, 2, {-1, -1, 0}},
        // An exact negative multiple goes one step further: (-1, 0, 0) reads as (-2, 0, 0).
        {210, 295, 0, 2, {-2, 0, 0}},
        // The top of a brick three units up.
        {230, 285 - 18, 3, 2, {1, 0, 3}},
        // The plane of constant y.
        {220 - 20 + 30, 290 - 10 - 15 - 12, 2, 1, {3, 2, 2}},
        // The plane of constant x, derived the same way.
        {220 + 50 - 30, 290 - 25 - 15 - 12, 5, 0, {5, 3, 2}},
        // Far from the origin: 32-bit arithmetic, no 16-bit wrap of the products.
        {220 + 10 * 3000, 290 - 5 * 3000, 0, 2, {3000, 0, 0}},
        // Planes other than 0, 1 and 2.
        {230, 285, 0, 3, {0, 0, 0}},
        {230, 285, 0, 7, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        CPoint3D g;
        pane.ScreenToGrid(&g, c.x, c.y, c.value, c.axis);
        EXPECT_EQ(g, c.grid) << c.x << "," << c.y << " on " << c.axis << "=" << c.value;
    }
}

TEST_F(Projection, EveryPlaneInvertsTheProjectionOfItsPoints)
{
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            POINT p;
            CPoint3D g;
            pane.ProjectXYZ(&p, a, b, 4);
            pane.ScreenToGrid(&g, p.x, p.y, 4, 2);
            EXPECT_EQ(g, CPoint3D(a, b, 4));
            pane.ProjectXYZ(&p, a, 4, b);
            pane.ScreenToGrid(&g, p.x, p.y, 4, 1);
            EXPECT_EQ(g, CPoint3D(a, 4, b));
            pane.ProjectXYZ(&p, 4, a, b);
            pane.ScreenToGrid(&g, p.x, p.y, 4, 0);
            EXPECT_EQ(g, CPoint3D(4, a, b));
        }
    }
}

TEST_F(Projection, OriginMovesEverythingAndForcesTheOutline)
{
    pane.SetOrigin(100, 200, FALSE);
    POINT p;
    pane.ProjectXYZ(&p, 1, 0, 0);
    EXPECT_EQ(p.x, 110);
    EXPECT_EQ(p.y, 195);
    EXPECT_TRUE(pane.IsOutlineForced());
    CPoint3D g;
    pane.ScreenToGrid(&g, 110, 195, 0, 2);
    EXPECT_EQ(g, CPoint3D(1, 0, 0));
}

// The depth box holds the projected hexagon's extents along three screen
// directions: two boxes overlap on screen exactly when their depth boxes do.
TEST_F(Projection, DepthBoxesOverlapExactlyWhenHexagonsDo)
{
    CBox3D d;
    pane.GetDepthBox(&d, CBox3D(1, 2, 3, 3, 3, 4));
    EXPECT_EQ(d, CBox3D(10 - 20 + 2 * 33, 10 - 20 - 66 - 20 - 12, -10 - 10, 10 - 20 + 2 * 33 + 40 + 12,
                        10 - 20 - 66, -10 + 20));
    struct Case {
        CBox3D a, b;
        bool overlap;
    };
    const Case cases[] = {
        {{0, 0, 0, 2, 2, 3}, {2, 0, 0, 4, 2, 3}, true},   // side by side along x: the back one's face lies behind
        {{0, 0, 0, 2, 2, 3}, {0, 2, 0, 2, 4, 3}, true},   // side by side along y
        {{0, 0, 0, 2, 2, 3}, {2, -2, 0, 4, 0, 3}, false}, // diagonal neighbours: hexagons share an edge
        {{0, 0, 0, 2, 2, 3}, {1, 1, 0, 3, 3, 3}, true},   // interpenetrating
        {{0, 0, 0, 2, 2, 3}, {0, 0, 3, 2, 2, 6}, true},   // stacked: the upper one covers the lower's top
        {{0, 0, 0, 1, 1, 1}, {5, 5, 0, 6, 6, 1}, false},  // far behind: 50 pixels higher on screen
        {{0, 0, 0, 1, 1, 1}, {1, 1, 0, 2, 2, 1}, true},   // one step behind: overlaps the top
        {{0, 0, 0, 1, 1, 1}, {3, -3, 0, 4, -2, 1}, false},
    };
    for (const Case& c : cases) {
        CBox3D da, db;
        pane.GetDepthBox(&da, c.a);
        pane.GetDepthBox(&db, c.b);
        EXPECT_EQ(static_cast<bool>(da.Overlaps(db)), c.overlap);
        EXPECT_EQ(static_cast<bool>(db.Overlaps(da)), c.overlap);
    }
}

TEST(DrawOrder, RelationByCase)
{
    struct Case {
        CBox3D a, b;
        BOOL aInFront;
    };
    const Case cases[] = {
        {{0, 0, 3, 2, 2, 6}, {0, 0, 0, 2, 2, 3}, TRUE},     // wholly above
        {{0, 0, 0, 2, 2, 3}, {0, 0, 3, 2, 2, 6}, FALSE},
        {{0, 0, 0, 2, 2, 3}, {2, 0, 0, 4, 2, 3}, TRUE},     // nearer in x
        {{2, 0, 0, 4, 2, 3}, {0, 0, 0, 2, 2, 3}, FALSE},
        {{0, 0, 0, 2, 2, 3}, {0, 2, 0, 2, 4, 3}, TRUE},     // nearer in y
        {{0, 0, 0, 2, 2, 3}, {0, 0, 0, 2, 2, 3}, FALSE},    // the same box: neither
        {{0, 0, 0, 2, 2, 3}, {1, 0, 0, 3, 2, 3}, TRUE},     // interpenetrating, equal tops: smaller x
        {{1, 0, 0, 3, 2, 3}, {0, 0, 0, 2, 2, 3}, FALSE},
        {{0, 0, 0, 2, 2, 3}, {0, 1, 0, 2, 3, 3}, TRUE},     // equal tops and x: smaller y
        {{0, 0, 0, 2, 2, 4}, {0, 1, 1, 2, 3, 3}, TRUE},     // higher top, equal x
        {{0, 0, 0, 2, 2, 2}, {0, 1, 1, 2, 3, 3}, FALSE},    // lower top, equal x
        {{5, 5, 0, 6, 6, 1}, {0, 0, 0, 1, 1, 1}, FALSE},    // apart, behind: not overlapping
    };
    for (const Case& c : cases)
        EXPECT_EQ(CIsoBrickPane::InFront(c.a, c.b), c.aInFront);
}

// Two bricks whose depth boxes overlap never hide each other both ways, so
// no order of visits can change the picture.
TEST_F(Projection, OverlappingBoxesNeverHideEachOtherBothWays)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> at(-3, 3), size(1, 3);
    for (int i = 0; i < 20000; ++i) {
        const int ax = at(random), ay = at(random), az = at(random);
        const int bx = at(random), by = at(random), bz = at(random);
        const CBox3D a(ax, ay, az, ax + size(random), ay + size(random), az + size(random));
        const CBox3D b(bx, by, bz, bx + size(random), by + size(random), bz + size(random));
        CBox3D da, db;
        pane.GetDepthBox(&da, a);
        pane.GetDepthBox(&db, b);
        if (da.Overlaps(db)) {
            ASSERT_FALSE(CIsoBrickPane::InFront(a, b) && CIsoBrickPane::InFront(b, a));
        }
    }
}

}  // namespace
}  // namespace viewstest

#include <gtest/gtest.h>

#include "foundation/geometry3d.h"

namespace {

TEST(Point3D, ArithmeticWrapsAtSixteenBits)
{
    EXPECT_EQ(CPoint3D(32767, 0, 0) + CPoint3D(1, 0, 0), CPoint3D(-32768, 0, 0));
    EXPECT_EQ(CPoint3D(-32768, 0, 0) - CPoint3D(1, 0, 0), CPoint3D(32767, 0, 0));
    CPoint3D p(1, 2, 3);
    p += CPoint3D(10, 20, 30);
    p -= CPoint3D(1, 1, 1);
    EXPECT_EQ(p, CPoint3D(10, 21, 32));
    EXPECT_EQ(CPoint3D(-3, 3, 5) / 2, CPoint3D(-1, 1, 2));  // truncates toward zero
}

TEST(Point3D, ComparisonIsAPartialOrder)
{
    EXPECT_FALSE(CPoint3D(1, 0, 0) >= CPoint3D(0, 1, 0));
    EXPECT_FALSE(CPoint3D(0, 1, 0) >= CPoint3D(1, 0, 0));
    EXPECT_FALSE(CPoint3D(1, 0, 0) <= CPoint3D(0, 1, 0));
    EXPECT_TRUE(CPoint3D(1, 1, 1) >= CPoint3D(1, 0, 1));
    EXPECT_TRUE(CPoint3D(1, 2, 3) != CPoint3D(1, 2, 4));
}

TEST(Point3D, IndexAndDefaults)
{
    CPoint3D p(4, 5, 6);
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(p[1], 5);
    EXPECT_EQ(p[2], 6);
    EXPECT_EQ(p[7], 6);  // any other index is z
    p[7] = 9;
    EXPECT_EQ(p.Z(), 9);
    EXPECT_EQ(CPoint3D(), kOrigin3D);
    EXPECT_EQ(CBox3D(), CBox3D(0, 0, 0, 0, 0, 0));
}

TEST(Box3D, EmptyOverlapAndContainsUseTheirOwnEnds)
{
    EXPECT_TRUE(CBox3D(0, 0, 0, 2, 2, 0).IsEmpty());
    EXPECT_FALSE(CBox3D(0, 0, 0, 1, 1, 1).IsEmpty());
    // Half-open: touching boxes do not overlap...
    EXPECT_FALSE(CBox3D(0, 0, 0, 2, 2, 2).Overlaps(CBox3D(2, 0, 0, 4, 2, 2)));
    EXPECT_TRUE(CBox3D(0, 0, 0, 2, 2, 2).Overlaps(CBox3D(1, 1, 1, 4, 2, 2)));
    // ...but containment is closed at both ends.
    EXPECT_TRUE(CBox3D(0, 0, 0, 2, 2, 2).Contains(CPoint3D(2, 2, 2)));
    EXPECT_FALSE(CBox3D(0, 0, 0, 2, 2, 2).Contains(CPoint3D(3, 2, 2)));
}

TEST(Box3D, IncludeGrowsOrResets)
{
    CBox3D box(0, 0, 0, 2, 2, 2);
    box.Include(CPoint3D(5, -1, 1), TRUE);
    EXPECT_EQ(box, CBox3D(0, -1, 0, 5, 2, 2));
    box.Include(CPoint3D(7, 7, 7), FALSE);
    EXPECT_EQ(box, CBox3D(7, 7, 7, 7, 7, 7));

    CBox3D ordered;
    ordered.IncludeBox(CBox3D(4, 0, 0, 1, 2, 2), FALSE);  // x corners swapped
    EXPECT_EQ(ordered, CBox3D(1, 0, 0, 4, 2, 2));
    ordered.IncludeBox(CBox3D(-1, -1, -1, 0, 0, 0), TRUE);
    EXPECT_EQ(ordered, CBox3D(-1, -1, -1, 4, 2, 2));
}

TEST(Box3D, CenterRoundsHalvesUp)
{
    struct Case {
        CBox3D box;
        CPoint3D centre;
    };
    const Case cases[] = {
        {CBox3D(0, 0, 0, 1, 1, 1), CPoint3D(1, 1, 1)},
        {CBox3D(-3, -3, -3, 0, 0, 0), CPoint3D(-1, -1, -1)},
        {CBox3D(-1, 0, 0, 0, 0, 0), CPoint3D(0, 0, 0)},
        {CBox3D(0, 0, 0, 4, 3, 2), CPoint3D(2, 2, 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.box.Center(), c.centre);
}

TEST(Box3D, SizeExtentAndOffset)
{
    const CBox3D box(1, 2, 3, 4, 6, 8);
    EXPECT_EQ(box.Size(), CSize3D(3, 4, 5));
    EXPECT_EQ(box.Extent(0), 3);
    EXPECT_EQ(box.Extent(1), 4);
    EXPECT_EQ(box.Extent(5), 5);
    EXPECT_EQ(box + CPoint3D(1, 1, 1), CBox3D(2, 3, 4, 5, 7, 9));
}

TEST(Geometry, Helpers)
{
    EXPECT_EQ(Min16(-2, 3), -2);
    EXPECT_EQ(Max16(-2, 3), 3);
    EXPECT_EQ(SignIndex(-5), 0);
    EXPECT_EQ(SignIndex(0), 1);
    EXPECT_EQ(SignIndex(7), 2);
}

}  // namespace
